// Plain windows for the Windows tests: a popup or child that paints a fixed 24-bit picture (or a
// plain colour), and a message pump that lets painting happen.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace korvane::test {

// Handles the messages waiting for this thread, for at least `milliseconds`.
void dispatch_messages(DWORD milliseconds = 50);

// Blue, green, red of each pixel, top row first, no padding.
struct TestPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;
  const uint8_t* at(int32_t x, int32_t y) const { return &pixels[(size_t(y) * width + x) * 3]; }
};

// Every pixel a different colour: blue = x, green = y, red = (x * 7 + y * 13) & 255.
TestPicture gradient_picture(int32_t width, int32_t height);
TestPicture plain_picture(int32_t width, int32_t height, uint8_t blue, uint8_t green, uint8_t red);

// A borderless window (popup when parent is null, child otherwise) at `rect` in the parent's
// client coordinates that paints `picture` at its top-left corner; shown at once. The picture
// must outlive the window.
class PictureWindow {
 public:
  PictureWindow(HWND parent, RECT rect, const TestPicture* picture);
  PictureWindow(const PictureWindow&) = delete;
  PictureWindow& operator=(const PictureWindow&) = delete;
  ~PictureWindow();
  HWND hwnd() const { return window_; }
  void destroy();

 private:
  HWND window_ = nullptr;
};

}  // namespace korvane::test
