#include "support/box_window.h"

#include <optional>

#include "picture/bmp_file.h"
#include "picture/capture_win32.h"
#include "values/bytes.h"

namespace korvane::test {
namespace {

constexpr char kParentClass[] = "KorvaneTestParent";

LRESULT CALLBACK parent_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  return DefWindowProcA(window, message, w, l);
}

}  // namespace

TestParent::TestParent() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExA(instance, kParentClass, &wc)) {
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = parent_procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kParentClass;
    RegisterClassExA(&wc);
  }
  hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kParentClass, "test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100,
                          200, 200, nullptr, nullptr, instance, nullptr);
  pump_messages(50);
}

TestParent::~TestParent() {
  if (hwnd_) DestroyWindow(hwnd_);
}

HWND shared_test_parent() {
  static TestParent* parent = new TestParent();  // never destroyed: see the header
  return parent->hwnd();
}

void pump_messages(DWORD ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (GetTickCount64() >= end) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  } while (GetTickCount64() < end);
}

ClientPixels captured(HWND window) {
  ClientPixels out;
  const Bytes bmp = capture_window(window);
  if (bmp.size() < kBmpHeaderSize) return out;
  const uint8_t* h = bmp.data();
  auto i32 = [h](int at) { return static_cast<int32_t>(h[at] | h[at + 1] << 8 | h[at + 2] << 16 | uint32_t{h[at + 3]} << 24); };
  out.width = i32(18);
  out.height = i32(22);
  const std::optional<BmpLayout> layout = bmp_layout(out.width, out.height);
  if (!layout || bmp.size() != layout->file_size) return ClientPixels{};
  out.rgb.resize(static_cast<size_t>(out.width) * out.height);
  for (int32_t y = 0; y < out.height; ++y) {
    const uint8_t* row = h + kBmpHeaderSize + static_cast<size_t>(out.height - 1 - y) * layout->row_stride;
    for (int32_t x = 0; x < out.width; ++x) {
      const uint8_t* p = row + x * 3;
      out.rgb[static_cast<size_t>(y) * out.width + x] = uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
  }
  return out;
}

ClientPixels expected_scaled(const ImageView& source, int32_t w, int32_t h) {
  DEVMODEA mode{};
  mode.dmSize = sizeof mode;
  const bool deep = !EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) || mode.dmBitsPerPel > 16;
  std::vector<uint8_t> scaled(static_cast<size_t>(w) * h * 4);
  MutableImageView target{scaled.data(), w, h, static_cast<ptrdiff_t>(w) * 4, 4};
  if (deep) {
    scale_area_average(source, target);
  } else {
    scale_nearest(source, target);
  }
  ClientPixels out;
  out.width = w;
  out.height = h;
  out.rgb.resize(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < out.rgb.size(); ++i) {
    const uint8_t* p = &scaled[i * 4];
    out.rgb[i] = uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
  }
  return out;
}

int differing_pixels(const ClientPixels& a, const ClientPixels& b) {
  if (a.rgb.size() != b.rgb.size()) return -1;
  int n = 0;
  for (size_t i = 0; i < a.rgb.size(); ++i) n += a.rgb[i] != b.rgb[i];
  return n;
}

}  // namespace korvane::test
