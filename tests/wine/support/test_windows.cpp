#include "support/test_windows.h"

namespace korvane::test {
namespace {

constexpr char kClassName[] = "KorvaneTestPictureWindow";

void paint_picture(HDC dc, const TestPicture& picture) {
  // SetDIBitsToDevice wants bottom-up, 4-byte aligned rows.
  const int32_t stride = (picture.width * 3 + 3) & ~3;
  std::vector<uint8_t> rows(size_t(stride) * picture.height);
  for (int32_t y = 0; y < picture.height; ++y)
    memcpy(&rows[size_t(picture.height - 1 - y) * stride], picture.at(0, y), size_t(picture.width) * 3);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  SetDIBitsToDevice(dc, 0, 0, picture.width, picture.height, 0, 0, 0, picture.height, rows.data(), &info,
                    DIB_RGB_COLORS);
}

LRESULT CALLBACK picture_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    auto* picture = reinterpret_cast<const TestPicture*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (picture) paint_picture(dc, *picture);
    EndPaint(window, &paint);
    return 0;
  } else if (message == WM_ERASEBKGND) {
    return 1;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

void register_class() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = picture_window_proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);
  registered = true;
}

}  // namespace

void dispatch_messages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(5);
  } while (GetTickCount() - start < milliseconds);
}

TestPicture gradient_picture(int32_t width, int32_t height) {
  TestPicture p{width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* px = &p.pixels[(size_t(y) * width + x) * 3];
      px[0] = uint8_t(x);
      px[1] = uint8_t(y);
      px[2] = uint8_t((x * 7 + y * 13) & 255);
    }
  return p;
}

TestPicture plain_picture(int32_t width, int32_t height, uint8_t blue, uint8_t green, uint8_t red) {
  TestPicture p{width, height, std::vector<uint8_t>(size_t(width) * height * 3)};
  for (size_t i = 0; i < p.pixels.size(); i += 3) p.pixels[i] = blue, p.pixels[i + 1] = green, p.pixels[i + 2] = red;
  return p;
}

PictureWindow::PictureWindow(HWND parent, RECT rect, const TestPicture* picture) {
  register_class();
  const DWORD style = (parent ? WS_CHILD | WS_CLIPSIBLINGS : WS_POPUP) | WS_VISIBLE;
  window_ = CreateWindowExA(0, kClassName, "", style, rect.left, rect.top, rect.right - rect.left,
                            rect.bottom - rect.top, parent, nullptr, GetModuleHandleA(nullptr),
                            const_cast<TestPicture*>(picture));
  UpdateWindow(window_);
}

PictureWindow::~PictureWindow() { destroy(); }

void PictureWindow::destroy() {
  if (window_) DestroyWindow(window_);
  window_ = nullptr;
}

}  // namespace korvane::test
