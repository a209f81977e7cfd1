#include "picture/picture_box_win32.h"

#include <atomic>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "picture/display_win32.h"
#include "picture/gdi_owners_win32.h"
#include "picture/gif.h"
#include "picture/gif_animation.h"
#include "picture/icon_win32.h"
#include "picture/picture.h"
#include "picture/picture_box.h"
#include "picture/scaler.h"

namespace korvane {
namespace {

constexpr char kClassName[] = "KorvanePicBox";

// BeginPaint / EndPaint around one paint request.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { EndPaint(window_, &paint_); }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// Icons, threads and events held by picture boxes. Wine counts neither GDI objects nor kernel
// handles (GetGuiResources and GetProcessHandleCount give 0), so the owners count their own.
std::atomic<long> live_box_handles{0};

// A kernel handle (thread, event) closed with CloseHandle.
class KernelHandle {
 public:
  KernelHandle() = default;
  explicit KernelHandle(HANDLE h) : handle_(h) {
    if (handle_) ++live_box_handles;
  }
  KernelHandle(const KernelHandle&) = delete;
  KernelHandle& operator=(const KernelHandle&) = delete;
  KernelHandle(KernelHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  KernelHandle& operator=(KernelHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  ~KernelHandle() { reset(); }
  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset() {
    if (handle_) {
      CloseHandle(handle_);
      --live_box_handles;
    }
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

// The shown icon, counted with the handles above.
class ShownIcon {
 public:
  ShownIcon() = default;
  ShownIcon(const ShownIcon&) = delete;
  ShownIcon& operator=(const ShownIcon&) = delete;
  ~ShownIcon() { reset(); }
  void take(IconHandle icon) {
    reset();
    icon_ = std::move(icon);
    if (icon_) ++live_box_handles;
  }
  void reset() {
    if (icon_) --live_box_handles;
    icon_.reset();
  }
  HICON get() const { return icon_.get(); }
  explicit operator bool() const { return static_cast<bool>(icon_); }

 private:
  IconHandle icon_;
};

// The canvas lock. A critical section rather than std::mutex: the mingw win32 thread model has no
// std::mutex.
class CanvasLock {
 public:
  CanvasLock() { InitializeCriticalSection(&section_); }
  CanvasLock(const CanvasLock&) = delete;
  CanvasLock& operator=(const CanvasLock&) = delete;
  ~CanvasLock() { DeleteCriticalSection(&section_); }

  class Held {
   public:
    explicit Held(CanvasLock& lock) : lock_(lock) { EnterCriticalSection(&lock_.section_); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() { LeaveCriticalSection(&lock_.section_); }

   private:
    CanvasLock& lock_;
  };

 private:
  CRITICAL_SECTION section_;
};

enum class StretchMode { area_average, nearest };

// Asked of the display every time: the user may change the depth while the program runs.
StretchMode current_stretch_mode(HDC display_dc) {
  return display_deeper_than_16_bits(display_dc) ? StretchMode::area_average : StretchMode::nearest;
}

// Large pictures are scaled on two threads, each computing half of the target rows: on a photo
// the scaling is then a small part of the decode it follows.
struct ScaleJob {
  const ImageView* source;
  const MutableImageView* target;
  int32_t first_row;
  int32_t end_row;
};

DWORD WINAPI run_scale_job(void* parameter) {
  const auto* job = static_cast<const ScaleJob*>(parameter);
  scale_area_average_rows(*job->source, *job->target, job->first_row, job->end_row);
  return 0;
}

void scale_in_two_halves(const ImageView& source, const MutableImageView& target) {
  constexpr int64_t kWorthASecondThread = 1 << 20;  // source pixels
  const int32_t middle = target.height / 2;
  HANDLE helper = nullptr;
  ScaleJob top{&source, &target, 0, middle};
  if (static_cast<int64_t>(source.width) * source.height >= kWorthASecondThread && middle > 0)
    helper = CreateThread(nullptr, 0, run_scale_job, &top, 0, nullptr);
  if (!helper) {
    scale_area_average(source, target);
    return;
  }
  scale_area_average_rows(source, target, middle, target.height);
  WaitForSingleObject(helper, INFINITE);
  CloseHandle(helper);
}

// A picture scaled to the client size, 32-bit top-down rows, kept until the picture, the stretch
// mode or the size changes.
struct ScaledImage {
  std::vector<uint8_t> pixels;
  int32_t width = 0;
  int32_t height = 0;
  StretchMode mode = StretchMode::area_average;
  uint64_t source_version = 0;
  bool valid = false;

  bool fits(int32_t w, int32_t h, StretchMode m, uint64_t version) const {
    return valid && width == w && height == h && mode == m && source_version == version;
  }

  bool make(const ImageView& source, int32_t w, int32_t h, StretchMode m, uint64_t version) {
    valid = false;
    if (!source.rows || w <= 0 || h <= 0) return false;
    pixels.resize(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    MutableImageView target{pixels.data(), w, h, static_cast<ptrdiff_t>(w) * 4, 4};
    if (m == StretchMode::area_average) {
      scale_in_two_halves(source, target);
    } else {
      scale_nearest(source, target);
    }
    width = w;
    height = h;
    mode = m;
    source_version = version;
    valid = true;
    return true;
  }

  // Takes pixels scaled elsewhere (beside the decoder) as the cached result.
  void adopt(std::vector<uint8_t> scaled, int32_t w, int32_t h, StretchMode m, uint64_t version) {
    pixels = std::move(scaled);
    width = w;
    height = h;
    mode = m;
    source_version = version;
    valid = true;
  }

  // A plain copy of the cached pixels to (0, 0) of the DC.
  void draw(HDC dc) const {
    if (!valid) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                      static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  }
};

SIZE client_size(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

// Scales a JPEG into the box while it is being decoded: a worker thread area-averages each
// source row as soon as the decoder has finished it, so that the first paint finds the result
// ready instead of spending a pass over the whole picture after the decode.
class StreamingScale : public DecodeObserver, public RowGate {
 public:
  StreamingScale(int32_t width, int32_t height) : width_(width), height_(height) {
    InitializeSRWLock(&lock_);
    InitializeConditionVariable(&more_rows_);
  }
  ~StreamingScale() override { stop(); }
  StreamingScale(const StreamingScale&) = delete;
  StreamingScale& operator=(const StreamingScale&) = delete;

  void pixels_ready(const uint8_t* pixels, int32_t width, int32_t height) override {
    if (width_ <= 0 || height_ <= 0 || thread_) return;
    const ptrdiff_t stride = static_cast<ptrdiff_t>(width) * 3;
    source_ = ImageView{pixels + (height - 1) * stride, width, height, -stride, 3};
    try {
      scaled_.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 4);
    } catch (...) {
      return;  // the first paint scales instead
    }
    thread_ = CreateThread(nullptr, 0, &StreamingScale::run, this, 0, nullptr);
  }
  void rows_complete(int32_t rows) override {
    AcquireSRWLockExclusive(&lock_);
    rows_ = rows;
    ReleaseSRWLockExclusive(&lock_);
    WakeAllConditionVariable(&more_rows_);
  }
  void decoding_ended(bool succeeded) override {
    if (!succeeded) stop();  // the block goes away when this returns
  }
  bool wait_for_rows(int32_t rows) override {
    AcquireSRWLockExclusive(&lock_);
    while (rows_ < rows && !abandoned_) SleepConditionVariableSRW(&more_rows_, &lock_, INFINITE, 0);
    const bool go_on = !abandoned_;
    ReleaseSRWLockExclusive(&lock_);
    return go_on;
  }

  // Waits for the worker; the scaled pixels when it ran to the end, else nothing.
  std::optional<std::vector<uint8_t>> finish() {
    join();
    if (!completed_) return std::nullopt;
    return std::move(scaled_);
  }

 private:
  static DWORD WINAPI run(void* parameter) {
    auto* self = static_cast<StreamingScale*>(parameter);
    MutableImageView target{self->scaled_.data(), self->width_, self->height_,
                            static_cast<ptrdiff_t>(self->width_) * 4, 4};
    self->completed_ = scale_area_average(self->source_, target, *self);
    return 0;
  }
  void stop() {
    AcquireSRWLockExclusive(&lock_);
    abandoned_ = true;
    ReleaseSRWLockExclusive(&lock_);
    WakeAllConditionVariable(&more_rows_);
    join();
  }
  void join() {
    if (!thread_) return;
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
  }

  const int32_t width_, height_;
  ImageView source_;
  std::vector<uint8_t> scaled_;
  SRWLOCK lock_;
  CONDITION_VARIABLE more_rows_;
  int32_t rows_ = 0;
  bool abandoned_ = false;
  bool completed_ = false;
  HANDLE thread_ = nullptr;
};

COLORREF background_of(uint32_t colour) {
  return colour == kNoColour ? GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour & 0x00FFFFFF);
}

enum class PlayerState { idle, running, stop_requested, stopped };

}  // namespace

class PictureBox::State {
 public:
  explicit State(const PictureBoxSettings& settings)
      : background_(CreateSolidBrush(background_of(settings.background_colour))) {}

  ~State() { stop_player(); }

  bool create_window(const ControlPlace& place, HWND parent);
  HWND hwnd() const { return hwnd_; }
  HANDLE player_thread() const { return player_state_ == PlayerState::idle ? nullptr : player_thread_.get(); }

  void set_picture(ByteSpan bytes);
  void destroy_window() {
    if (hwnd_) DestroyWindow(hwnd_);
  }

 private:
  static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  static DWORD WINAPI player_main(void* self);
  LRESULT on_message(UINT message, WPARAM w, LPARAM l);

  void on_paint();
  void paint_gif(HDC dc, SIZE size);
  void discard_picture();
  void start_player();
  void stop_player();
  void run_player();
  void play_frames();  // until a stop is requested; holds the window's DC meanwhile

  HWND hwnd_ = nullptr;
  GdiObject<HBRUSH> background_;

  Bytes picture_bytes_;
  std::optional<DecodedPicture> picture_;
  TrueColourPicture true_colour_;  // bmp, jpeg, pcx: the pixels the scaler reads
  ShownIcon icon_;                 // icon and cursor kinds
  std::optional<GifCanvas> single_image_;
  uint64_t picture_version_ = 0;   // bumped by every set picture; keys the scaled cache
  ScaledImage scaled_picture_;

  // Animated GIF: everything below the lock is shared with the player thread.
  bool player_started_ = false;
  CanvasLock canvas_lock_;
  std::unique_ptr<GifAnimation> animation_;
  uint64_t canvas_version_ = 0;    // bumped by every step that composed a frame
  ScaledImage scaled_canvas_;
  std::atomic<PlayerState> player_state_{PlayerState::idle};
  KernelHandle player_thread_;
  KernelHandle stop_event_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
};

bool PictureBox::State::create_window(const ControlPlace& place, HWND parent) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExA(instance, kClassName, &wc)) {
    wc.cbSize = sizeof wc;
    // Full repaint on resize, double clicks, the arrow; no class brush: painting fills.
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = window_procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    if (!RegisterClassExA(&wc)) return false;
  }
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (place.disabled) style |= WS_DISABLED;
  if (place.tab_stop) style |= WS_TABSTOP;
  CreateWindowExA(0, kClassName, "", style, place.left, place.top, place.width, place.height, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(place.child_id)), instance, this);
  return hwnd_ != nullptr;
}

LRESULT CALLBACK PictureBox::State::window_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<State*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<State*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!self) return DefWindowProcA(window, message, w, l);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return DefWindowProcA(window, message, w, l);
  }
  return self->on_message(message, w, l);
}

LRESULT PictureBox::State::on_message(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // painting fills the background
    case WM_PAINT:
      on_paint();
      return 0;
    case WM_DESTROY:
      // The player draws into this window: it must be gone before the window is.
      stop_player();
      break;
  }
  return DefWindowProcA(hwnd_, message, w, l);
}

void PictureBox::State::on_paint() {
  PaintDc paint(hwnd_);
  HDC dc = paint.get();
  const SIZE size = client_size(hwnd_);
  RECT all{0, 0, size.cx, size.cy};
  FillRect(dc, &all, background_.get());
  if (!picture_) return;
  switch (picture_->kind) {
    case PictureKind::icon:
    case PictureKind::cursor:
      if (icon_) DrawIconEx(dc, 0, 0, icon_.get(), size.cx, size.cy, 0, nullptr, DI_NORMAL);
      return;
    case PictureKind::gif:
      paint_gif(dc, size);
      return;
    default:
      break;
  }
  const StretchMode mode = current_stretch_mode(dc);
  if (!scaled_picture_.fits(size.cx, size.cy, mode, picture_version_)) {
    scaled_picture_.make(true_colour_.view, size.cx, size.cy, mode, picture_version_);
  }
  scaled_picture_.draw(dc);
}

void PictureBox::State::paint_gif(HDC dc, SIZE size) {
  const StretchMode mode = current_stretch_mode(dc);
  if (single_image_) {
    if (!scaled_picture_.fits(size.cx, size.cy, mode, picture_version_)) {
      scaled_picture_.make(single_image_->view(), size.cx, size.cy, mode, picture_version_);
    }
    scaled_picture_.draw(dc);
    return;
  }
  if (!animation_) return;
  if (!player_started_) {
    // The first paint starts the player and shows the background only.
    player_started_ = true;
    start_player();
    return;
  }
  CanvasLock::Held held(canvas_lock_);
  const GifCanvas* canvas = animation_->canvas();
  if (!canvas) return;
  if (!scaled_canvas_.fits(size.cx, size.cy, mode, canvas_version_)) {
    scaled_canvas_.make(canvas->view(), size.cx, size.cy, mode, canvas_version_);
  }
  scaled_canvas_.draw(dc);
}

void PictureBox::State::discard_picture() {
  stop_player();
  {
    CanvasLock::Held held(canvas_lock_);
    animation_.reset();
    scaled_canvas_ = ScaledImage{};
  }
  player_started_ = false;
  single_image_.reset();
  icon_.reset();
  true_colour_ = TrueColourPicture{};
  picture_.reset();
  scaled_picture_ = ScaledImage{};
  ++picture_version_;
}

void PictureBox::State::set_picture(ByteSpan bytes) {
  picture_bytes_ = Bytes::copy_of(bytes);
  discard_picture();
  const ByteSpan kept = picture_bytes_.span();
  if (!kept.empty()) {
    const PictureKind kind = recognise_picture(kept);
    if (kind == PictureKind::gif) {
      GifStream stream;
      if (parse_gif_header(kept, stream)) {
        // The first frame is decoded now only to tell a single image from an animation.
        GifFrame first;
        const bool got_frame = next_gif_frame(stream, first);
        if (gif_is_single_image(stream)) {
          if (got_frame) single_image_ = canvas_of_frame(first);
        } else {
          rewind_gif(stream);
          CanvasLock::Held held(canvas_lock_);
          animation_ = std::make_unique<GifAnimation>(std::move(stream));
        }
        picture_.emplace();
        picture_->kind = PictureKind::gif;
      }
    } else if (kind != PictureKind::unrecognised) {
      // The scale beside the decoder is worth it only where the paint would area-average.
      bool area_average = false;
      if (hwnd_) {
        WindowDc dc = WindowDc::client(hwnd_);
        area_average = dc.get() && current_stretch_mode(dc.get()) == StretchMode::area_average;
      }
      const SIZE size = hwnd_ ? client_size(hwnd_) : SIZE{0, 0};
      StreamingScale streaming(area_average ? size.cx : 0, size.cy);
      picture_ = decode_picture(kept, kind == PictureKind::jpeg ? &streaming : nullptr);
      std::optional<std::vector<uint8_t>> scaled = streaming.finish();
      if (picture_ && scaled)
        scaled_picture_.adopt(std::move(*scaled), size.cx, size.cy, StretchMode::area_average, picture_version_);
      if (picture_ && (picture_->kind == PictureKind::icon || picture_->kind == PictureKind::cursor)) {
        icon_.take(make_system_icon(kept, picture_->icon_image));
      } else if (picture_) {
        true_colour_ = true_colour_of(*picture_);
      }
    }
  }
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureBox::State::start_player() {
  if (!stop_event_) return;
  ResetEvent(stop_event_.get());
  player_state_ = PlayerState::running;
  DWORD id = 0;
  player_thread_ = KernelHandle(CreateThread(nullptr, 0, player_main, this, 0, &id));
  if (!player_thread_) player_state_ = PlayerState::idle;
}

void PictureBox::State::stop_player() {
  PlayerState expected = PlayerState::running;
  if (player_state_.compare_exchange_strong(expected, PlayerState::stop_requested)) {
    SetEvent(stop_event_.get());
  }
  if (player_thread_) {
    // The player never waits for this thread, so this wait ends: after the frame being drawn,
    // or at once while the player sleeps.
    WaitForSingleObject(player_thread_.get(), INFINITE);
    player_thread_.reset();
  }
  player_state_ = PlayerState::idle;
}

DWORD WINAPI PictureBox::State::player_main(void* self) {
  static_cast<State*>(self)->run_player();
  return 0;
}

void PictureBox::State::run_player() {
  play_frames();
  player_state_ = PlayerState::stopped;
}

void PictureBox::State::play_frames() {
  WindowDc dc = WindowDc::client(hwnd_);
  const StretchMode mode = current_stretch_mode(dc.get());
  {
    CanvasLock::Held held(canvas_lock_);
    animation_->make_canvas();
  }
  for (;;) {
    const ULONGLONG t0 = GetTickCount64();
    uint32_t delay;
    {
      CanvasLock::Held held(canvas_lock_);
      // A step without a frame leaves the canvas as it was, and its scaled copy still fits.
      if (animation_->step()) ++canvas_version_;
      const GifCanvas* canvas = animation_->canvas();
      if (canvas && dc && IsWindow(hwnd_)) {
        // Straight into the window, over the badge too, which shows again at its next paint.
        const SIZE size = client_size(hwnd_);
        if (!scaled_canvas_.fits(size.cx, size.cy, mode, canvas_version_)) {
          scaled_canvas_.make(canvas->view(), size.cx, size.cy, mode, canvas_version_);
        }
        scaled_canvas_.draw(dc.get());
        GdiFlush();
      }
      delay = animation_->delay_ms();
    }
    if (player_state_ != PlayerState::running) break;
    const ULONGLONG elapsed = GetTickCount64() - t0;
    if (elapsed < delay) {
      // Sleeps until the frame is due, waking at once when a stop is requested.
      if (WaitForSingleObject(stop_event_.get(), static_cast<DWORD>(delay - elapsed)) == WAIT_OBJECT_0) break;
    }
    if (player_state_ != PlayerState::running) break;
  }
}

PictureBox::PictureBox() = default;

PictureBox::~PictureBox() {
  if (!state_) return;
  state_->destroy_window();  // WM_DESTROY stops the player first
  state_.reset();
}

std::unique_ptr<PictureBox> PictureBox::create(ByteSpan settings_record, const ControlPlace& place, HWND parent) {
  std::optional<PictureBoxSettings> settings = parse_picture_box_settings(settings_record);
  if (!settings) return nullptr;
  std::unique_ptr<PictureBox> box(new PictureBox());
  box->state_ = std::make_unique<State>(*settings);
  if (!box->state_->create_window(place, parent)) return nullptr;
  box->state_->set_picture(settings->picture.span());
  return box;
}

HWND PictureBox::hwnd() const { return state_ ? state_->hwnd() : nullptr; }

void PictureBox::set_picture(ByteSpan bytes) {
  if (state_) state_->set_picture(bytes);
}

HANDLE PictureBox::player_thread() const { return state_ ? state_->player_thread() : nullptr; }

long PictureBox::live_handles() { return live_box_handles.load(); }

}  // namespace korvane
