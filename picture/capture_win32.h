// Window capture: what the display shows in a window's whole rectangle (frame included, child
// windows and anything visible through cut-away parts too) as one 24-bit BMP file image laid out
// as bmp_file.h describes. The window is not asked to redraw first.
#pragma once
#include <windows.h>

#include <cstdint>

#include "values/bytes.h"

namespace korvane {

// window 0 captures the whole primary screen. width and height: 0 keeps the natural size, n > 0
// asks for n pixels, -p for p percent of the natural size (at least 10 percent). Every failure
// (not a live window, a size of 0 or less, no bitmap, no rows read back) gives the empty value.
Bytes capture_window(HWND window, int32_t width = 0, int32_t height = 0);

// The target size rule on its own: natural size for 0, n for n > 0, and natural * max(p, 10) / 100
// rounded half up for -p.
int32_t capture_target_size(int32_t natural, int32_t requested);

}  // namespace korvane
