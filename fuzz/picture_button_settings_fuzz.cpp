// The picture button's settings record and its normal picture read as a 24-bit BMP, then the
// picture's shape: every span handed out must lie inside the input.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/badge_shape.h"
#include "picture/bmp_file.h"
#include "picture/picture_button.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace korvane;
  const ByteSpan input{data, size};
  const std::optional<PictureButtonSettings> settings = parse_picture_button_settings(input);
  if (!settings) return 0;
  for (ByteSpan picture : {settings->normal, settings->hover, settings->pressed, settings->disabled}) {
    if (picture.size && (picture.data < data || picture.data + picture.size > data + size)) __builtin_trap();
  }
  const std::optional<BmpView> bmp = view_bmp(settings->normal);
  if (!bmp || int64_t{bmp->width} * bmp->height > 1 << 20) return 0;
  std::vector<uint32_t> pixels(static_cast<size_t>(bmp->width) * static_cast<size_t>(bmp->height));
  for (int32_t y = 0; y < bmp->height; ++y)
    for (int32_t x = 0; x < bmp->width; ++x) {
      const uint8_t* p = bmp->pixel(x, y);
      pixels[static_cast<size_t>(y) * bmp->width + x] = uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
  size_t covered = 0;
  build_picture_shape(pixels.data(), bmp->width, bmp->height, settings->transparent_colour,
                      [&](const ShapeRect* rects, size_t n) {
                        for (size_t i = 0; i < n; ++i) {
                          if (rects[i].right > bmp->width || rects[i].bottom > bmp->height) __builtin_trap();
                          covered += static_cast<size_t>(rects[i].right - rects[i].left);
                        }
                      });
  if (covered > pixels.size()) __builtin_trap();
  return 0;
}
