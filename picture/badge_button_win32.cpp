#include "picture/badge_button_win32.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "picture/badge_shape.h"
#include "picture/gdi_owners_win32.h"
#include "picture/picture.h"

namespace korvane {
namespace {

constexpr char kClassName[] = "KorvanePicBtn";

struct ButtonBitmap {
  BitmapOwner bitmap;  // in the display's format
  int32_t width = 0;
  int32_t height = 0;
};

// The bytes a decoded picture's kind needs, checked against what the decoder delivered.
bool holds(const PixelBlock& block, uint64_t needed) { return block.bytes && needed <= block.size; }

BitmapOwner display_bitmap(HDC screen, int32_t width, int32_t height) {
  return BitmapOwner(CreateCompatibleBitmap(screen, width, height));
}

// Bottom-up rows of blue, green, red, unpadded (bmp and jpeg): copied into a DIB's 4-byte rows.
ButtonBitmap from_true_colour(HDC screen, const DecodedPicture& picture) {
  const uint64_t w = static_cast<uint64_t>(picture.width);
  const uint64_t h = static_cast<uint64_t>(picture.height);
  if (picture.width <= 0 || picture.height <= 0 || !holds(picture.pixels, w * h * 3)) return {};
  const uint64_t stride = (w * 3 + 3) & ~uint64_t{3};
  std::vector<uint8_t> padded;
  const uint8_t* rows = picture.pixels.bytes.get();
  if (stride != w * 3) {
    padded.resize(static_cast<size_t>(stride * h));
    for (uint64_t y = 0; y < h; ++y) std::memcpy(&padded[y * stride], rows + y * w * 3, static_cast<size_t>(w * 3));
    rows = padded.data();
  }
  ButtonBitmap out{display_bitmap(screen, picture.width, picture.height), picture.width, picture.height};
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  if (!out.bitmap ||
      SetDIBits(screen, out.bitmap.get(), 0, static_cast<UINT>(h), rows, &info, DIB_RGB_COLORS) != picture.height) {
    return {};
  }
  return out;
}

// A ready-made top-down DIB: 40-byte header, 256 colours, rows of row_bytes.
ButtonBitmap from_pcx8(HDC screen, const DecodedPicture& picture) {
  constexpr uint64_t kTable = 40 + 256 * 4;
  if (picture.width <= 0 || picture.height <= 0 || picture.row_bytes <= 0 ||
      !holds(picture.pixels, kTable + uint64_t(picture.row_bytes) * uint64_t(picture.height))) {
    return {};
  }
  const uint8_t* dib = picture.pixels.bytes.get();
  ButtonBitmap out{display_bitmap(screen, picture.width, picture.height), picture.width, picture.height};
  if (!out.bitmap || SetDIBits(screen, out.bitmap.get(), 0, static_cast<UINT>(picture.height), dib + kTable,
                               reinterpret_cast<const BITMAPINFO*>(dib), DIB_RGB_COLORS) != picture.height) {
    return {};
  }
  return out;
}

// Monochrome rows top-down, bit 1 white: blitted into the display's format, where a
// monochrome source's 1 bits take the background colour (white) and 0 bits the text colour.
ButtonBitmap from_pcx1(HDC screen, const DecodedPicture& picture) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.row_bytes != (picture.width + 15) / 16 * 2 ||  // CreateBitmap wants word-aligned rows
      !holds(picture.pixels, uint64_t(picture.row_bytes) * uint64_t(picture.height))) {
    return {};
  }
  BitmapOwner mono(CreateBitmap(picture.width, picture.height, 1, 1, picture.pixels.bytes.get()));
  ButtonBitmap out{display_bitmap(screen, picture.width, picture.height), picture.width, picture.height};
  MemoryDc from(screen);
  MemoryDc to(screen);
  if (!mono || !out.bitmap || !from || !to) return {};
  SelectedObject from_selected(from.get(), mono.get());
  SelectedObject to_selected(to.get(), out.bitmap.get());
  SetTextColor(to.get(), RGB(0, 0, 0));
  SetBkColor(to.get(), RGB(255, 255, 255));
  if (!BitBlt(to.get(), 0, 0, picture.width, picture.height, from.get(), 0, 0, SRCCOPY)) return {};
  return out;
}

// Kinds without pixels of their own here (icons, cursors, GIF) give no bitmap.
ButtonBitmap bitmap_from_picture(ByteSpan bytes) {
  if (bytes.empty()) return {};
  const std::optional<DecodedPicture> picture = decode_picture(bytes);
  if (!picture) return {};
  WindowDc screen = WindowDc::client(nullptr);
  if (!screen) return {};
  switch (picture->kind) {
    case PictureKind::bmp:
    case PictureKind::jpeg: return from_true_colour(screen.get(), *picture);
    case PictureKind::pcx8: return from_pcx8(screen.get(), *picture);
    case PictureKind::pcx1: return from_pcx1(screen.get(), *picture);
    default: return {};
  }
}

RegionOwner region_from_rects(const ShapeRect* rects, size_t count) {
  std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(count);
  header->nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
  RECT bounds = {rects[0].left, rects[0].top, rects[0].right, rects[0].bottom};
  auto* out = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
  for (size_t i = 0; i < count; ++i) {
    out[i] = RECT{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
    bounds.left = std::min(bounds.left, out[i].left);
    bounds.top = std::min(bounds.top, out[i].top);
    bounds.right = std::max(bounds.right, out[i].right);
    bounds.bottom = std::max(bounds.bottom, out[i].bottom);
  }
  header->rcBound = bounds;
  return RegionOwner(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data())));
}

// The region of the bitmap's pixels that do not match `key`; null when it cannot be built.
RegionOwner picture_shape(const ButtonBitmap& picture, COLORREF key) {
  const int32_t w = picture.width;
  const int32_t h = picture.height;
  WindowDc screen = WindowDc::client(nullptr);
  if (!screen || w <= 0 || h <= 0) return RegionOwner();
  MemoryDc source(screen.get());
  MemoryDc copy(screen.get());
  if (!source || !copy) return RegionOwner();
  SelectedObject source_selected(source.get(), picture.bitmap.get());

  // A 32-bit copy read top row first.
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  BitmapOwner buffer(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!buffer || !bits) return RegionOwner();
  {
    SelectedObject copy_selected(copy.get(), buffer.get());
    if (!BitBlt(copy.get(), 0, 0, w, h, source.get(), 0, 0, SRCCOPY)) return RegionOwner();
  }
  GdiFlush();

  // The key as the bitmap's own format stores it: written into one pixel and read back. A
  // picture narrower or lower than 2 pixels lends its last column or row instead of (1, 1).
  const int32_t kx = std::min(1, w - 1);
  const int32_t ky = std::min(1, h - 1);
  const COLORREF remembered = GetPixel(source.get(), kx, ky);
  SetPixel(source.get(), kx, ky, key);
  const COLORREF seen = GetPixel(source.get(), kx, ky);
  SetPixel(source.get(), kx, ky, remembered);
  const uint32_t dib_key = uint32_t{GetRValue(seen)} << 16 | uint32_t{GetGValue(seen)} << 8 | GetBValue(seen);

  RegionOwner shape(CreateRectRgn(0, 0, 0, 0));
  if (!shape) return RegionOwner();
  bool failed = false;
  build_picture_shape(static_cast<const uint32_t*>(bits), w, h, dib_key, [&](const ShapeRect* rects, size_t n) {
    if (failed || n == 0) return;
    RegionOwner part = region_from_rects(rects, n);
    if (!part || CombineRgn(shape.get(), shape.get(), part.get(), RGN_OR) == ERROR) failed = true;
  });
  return failed ? RegionOwner() : std::move(shape);
}

}  // namespace

class PictureButton::Window {
 public:
  explicit Window(const PictureButtonSettings& settings)
      : toggle_(settings.toggle),
        checked_(settings.checked),
        transparent_colour_(settings.transparent_colour),
        has_key_(settings.has_transparent_colour()) {}
  ~Window() {
    if (hwnd_) DestroyWindow(hwnd_);
  }

  bool create_window(const ControlPlace& place, HWND parent);
  void load_pictures(const PictureButtonSettings& settings);
  void apply_shape();
  void apply_checked() { state_ = toggle_ && checked_ ? ButtonState::pressed : ButtonState::normal; }

  HWND hwnd_ = nullptr;
  std::function<void()> on_click_;
  ButtonState state_ = ButtonState::normal;
  bool toggle_;
  bool checked_;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  void OnPaint();
  void OnLeftButtonDown(POINT point);
  void OnMouseMove(POINT point, WPARAM keys);
  void OnLeftButtonUp(POINT point);
  void OnEnable();

  const ButtonBitmap* chosen_bitmap() const;
  void set_state(ButtonState state);
  bool enabled() const { return IsWindowEnabled(hwnd_) != FALSE; }
  bool inside_client(POINT point) const {
    RECT client;
    GetClientRect(hwnd_, &client);
    return PtInRect(&client, point) != FALSE;
  }
  void release_capture() {
    if (GetCapture() == hwnd_) ReleaseCapture();
  }

  uint32_t transparent_colour_;
  bool has_key_;
  ButtonBitmap normal_, hover_, pressed_, disabled_;
};

bool PictureButton::Window::create_window(const ControlPlace& place, HWND parent) {
  static const bool registered = [] {
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) return false;
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (place.disabled) style |= WS_DISABLED;
  if (place.tab_stop) style |= WS_TABSTOP;
  CreateWindowExA(0, kClassName, "", style, place.left, place.top, place.width, place.height, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.child_id)), GetModuleHandleA(nullptr), this);
  return hwnd_ != nullptr;
}

void PictureButton::Window::load_pictures(const PictureButtonSettings& settings) {
  normal_ = bitmap_from_picture(settings.normal);
  hover_ = bitmap_from_picture(settings.hover);
  pressed_ = bitmap_from_picture(settings.pressed);
  disabled_ = bitmap_from_picture(settings.disabled);
}

const ButtonBitmap* PictureButton::Window::chosen_bitmap() const {
  const AvailablePictures available{bool(normal_.bitmap), bool(hover_.bitmap), bool(pressed_.bitmap),
                                    bool(disabled_.bitmap)};
  switch (choose_button_picture(state_, enabled(), available)) {
    case ButtonPicture::normal: return &normal_;
    case ButtonPicture::hover: return &hover_;
    case ButtonPicture::pressed: return &pressed_;
    case ButtonPicture::disabled: return &disabled_;
    case ButtonPicture::none: break;
  }
  return nullptr;
}

void PictureButton::Window::apply_shape() {
  const ButtonBitmap* chosen = chosen_bitmap();
  RegionOwner shape;
  if (has_key_ && chosen) shape = picture_shape(*chosen, transparent_colour_);
  if (shape) {
    // On success the window owns the region.
    if (SetWindowRgn(hwnd_, shape.get(), TRUE)) shape.release();
  } else {
    SetWindowRgn(hwnd_, nullptr, TRUE);
  }
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void PictureButton::Window::set_state(ButtonState state) {
  if (state == state_) return;
  state_ = state;
  apply_shape();
  UpdateWindow(hwnd_);
}

LRESULT CALLBACK PictureButton::Window::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* self;
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcA(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcA(window, message, wparam, lparam);
  }
  return self->handle(message, wparam, lparam);
}

LRESULT PictureButton::Window::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  const POINT point{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  switch (message) {
    case WM_PAINT: OnPaint(); return 0;
    case WM_ERASEBKGND: return 1;  // painting covers everything
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnLeftButtonDown(point); return 0;
    case WM_MOUSEMOVE: OnMouseMove(point, wparam); return 0;
    case WM_LBUTTONUP: OnLeftButtonUp(point); return 0;
    case WM_ENABLE: OnEnable(); return 0;
    default: return DefWindowProcA(hwnd_, message, wparam, lparam);
  }
}

void PictureButton::Window::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(hwnd_, &paint);
  RECT client;
  GetClientRect(hwnd_, &client);
  const int32_t w = client.right;
  const int32_t h = client.bottom;
  MemoryDc canvas_dc(dc);
  BitmapOwner canvas(w > 0 && h > 0 ? CreateCompatibleBitmap(dc, w, h) : nullptr);
  if (canvas_dc && canvas) {
    SelectedObject canvas_selected(canvas_dc.get(), canvas.get());
    PatBlt(canvas_dc.get(), 0, 0, w, h, BLACKNESS);
    if (const ButtonBitmap* chosen = chosen_bitmap()) {
      MemoryDc picture_dc(dc);
      if (picture_dc) {
        SelectedObject picture_selected(picture_dc.get(), chosen->bitmap.get());
        BitBlt(canvas_dc.get(), 0, 0, std::min(w, chosen->width), std::min(h, chosen->height), picture_dc.get(), 0, 0,
               SRCCOPY);
      }
    }
    BitBlt(dc, 0, 0, w, h, canvas_dc.get(), 0, 0, SRCCOPY);
  } else if (w > 0 && h > 0) {
    PatBlt(dc, 0, 0, w, h, BLACKNESS);  // no off-screen bitmap: at least no stale pixels
  }
  EndPaint(hwnd_, &paint);
}

void PictureButton::Window::OnLeftButtonDown(POINT point) {
  if (toggle_ || !enabled() || !inside_client(point)) return;
  set_state(ButtonState::pressed);
  if (hwnd_ && GetCapture() != hwnd_) SetCapture(hwnd_);
}

void PictureButton::Window::OnMouseMove(POINT point, WPARAM keys) {
  if (toggle_ || !enabled()) {
    release_capture();
    return;
  }
  POINT on_screen = point;
  ClientToScreen(hwnd_, &on_screen);
  // WindowFromPoint honours window shapes: over a see-through part it names what lies beneath.
  const HWND under = WindowFromPoint(on_screen);
  const bool left_held = (keys & MK_LBUTTON) != 0;
  if (under == hwnd_ || (!under && inside_client(point))) {
    if (GetCapture() != hwnd_) SetCapture(hwnd_);
    set_state(left_held ? ButtonState::pressed : ButtonState::hover);
  } else {
    if (!left_held) release_capture();
    set_state(ButtonState::normal);
  }
}

void PictureButton::Window::OnLeftButtonUp(POINT point) {
  release_capture();
  if (!inside_client(point) || !enabled()) return;
  if (toggle_) {
    checked_ = !checked_;
    set_state(checked_ ? ButtonState::pressed : ButtonState::normal);
  } else {
    set_state(ButtonState::normal);
  }
  // Last: the handler may do anything, including destroying this button.
  if (on_click_) {
    std::function<void()> click = on_click_;
    click();
  }
}

void PictureButton::Window::OnEnable() {
  apply_shape();
  UpdateWindow(hwnd_);
}

PictureButton::PictureButton(std::unique_ptr<Window> window) : window_(std::move(window)) {}
PictureButton::~PictureButton() = default;

std::unique_ptr<PictureButton> PictureButton::create(ByteSpan settings_record, const ControlPlace& place,
                                                     HWND parent) {
  const std::optional<PictureButtonSettings> settings = parse_picture_button_settings(settings_record);
  if (!settings) return nullptr;
  auto window = std::make_unique<Window>(*settings);
  if (!window->create_window(place, parent)) return nullptr;
  window->load_pictures(*settings);
  window->apply_shape();
  window->apply_checked();
  return std::unique_ptr<PictureButton>(new PictureButton(std::move(window)));
}

HWND PictureButton::hwnd() const { return window_->hwnd_; }
void PictureButton::set_click_handler(std::function<void()> handler) { window_->on_click_ = std::move(handler); }
ButtonState PictureButton::state() const { return window_->state_; }
bool PictureButton::checked() const { return window_->checked_; }

}  // namespace korvane
