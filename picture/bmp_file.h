// BMP file images as every window capture and the stored badge picture lay them out: a 14-byte
// file header, a 40-byte information header (24 bits per pixel, BI_RGB, positive height, no
// colour table), then `height` rows bottom-up, each `width` pixels of blue, green, red padded with
// zeros to a multiple of 4 bytes. All header fields are little-endian.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "values/bytes.h"

namespace korvane {

constexpr int32_t kBmpHeaderSize = 54;

// Row stride and total file length for width x height, or nullopt when either is not positive
// or the image would not fit a byte value (whose length is a signed 32-bit count).
struct BmpLayout {
  int32_t row_stride = 0;   // 3 * width rounded up to a multiple of 4
  int32_t image_size = 0;   // row_stride * height (biSizeImage)
  int32_t file_size = 0;    // 54 + image_size (bfSize)
};
std::optional<BmpLayout> bmp_layout(int32_t width, int32_t height);

// Writes the 54 header bytes for an image of `image_size` pixel bytes.
void write_bmp_headers(uint8_t* out, int32_t width, int32_t height, int32_t image_size);

// A complete BMP file image from rows in file order (bottom row first, each `row_stride` bytes as
// bmp_layout gives it, padding included). Empty when the size is unusable.
Bytes encode_bmp(int32_t width, int32_t height, const uint8_t* bottom_up_rows);

// A borrowed view of a BMP file image with exactly this layout; nullopt for anything else
// (another depth, compression, a colour table, top-down rows, a length that disagrees).
struct BmpView {
  int32_t width = 0;
  int32_t height = 0;
  int32_t row_stride = 0;
  const uint8_t* bottom_row = nullptr;  // first stored row
  // Blue, green, red of the pixel at (x, y), y counted from the top.
  const uint8_t* pixel(int32_t x, int32_t y) const {
    return bottom_row + static_cast<ptrdiff_t>(height - 1 - y) * row_stride + static_cast<ptrdiff_t>(x) * 3;
  }
};
std::optional<BmpView> view_bmp(ByteSpan file);

}  // namespace korvane
