// Real windows for the picture box tests: a visible top-level parent on the test display, a
// message pump, and the capture of what a window shows right now as pixels.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "picture/scaler.h"

namespace korvane::test {

// A popup window at (100, 100), 200 x 200 client pixels, button-face coloured; destroyed with
// the object. Destroying a top-level window costs about 2 s under Wine (the X11 driver waits for
// the window to be withdrawn), so tests share one: shared_test_parent().
class TestParent {
 public:
  TestParent();
  ~TestParent();
  TestParent(const TestParent&) = delete;
  TestParent& operator=(const TestParent&) = delete;
  HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

// One parent for the whole test program, made on first use and kept until the process ends.
HWND shared_test_parent();

// Dispatches messages for about `ms` milliseconds (at least one round).
void pump_messages(DWORD ms);

// 0x00RRGGBB pixels, rows top-down.
struct ClientPixels {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> rgb;
  uint32_t at(int32_t x, int32_t y) const { return rgb[static_cast<size_t>(y) * width + x]; }
  bool operator==(const ClientPixels& o) const { return width == o.width && height == o.height && rgb == o.rgb; }
};
// The window as capture_window() delivers it (its whole rectangle; the box has no frame), or
// nothing when the capture is not a well-formed BMP file image.
ClientPixels captured(HWND window);

// What the box must show for `source` in a w x h client area: our scaler's output under the
// stretch rule of the current display depth.
ClientPixels expected_scaled(const ImageView& source, int32_t w, int32_t h);

// The number of pixels where a and b differ (sizes must match).
int differing_pixels(const ClientPixels& a, const ClientPixels& b);

}  // namespace korvane::test
