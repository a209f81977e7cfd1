// Picture files made at test time for the picture box tests: 24-bit BMP, baseline JPEG (through
// libjpeg's compressor), a 32 x 32 icon with a transparent border, and the first bytes of a PNG.
// Pixel buffers are blue, green, red, rows top-down, unpadded.
#pragma once
#include <cstdint>
#include <vector>

namespace korvane::test {

struct TestImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> bgr;  // width * height * 3, top row first
};

// A picture with structure in both directions (gradients and a checker), so that any mistake
// in placement or scaling shows.
TestImage patterned_image(int32_t width, int32_t height);
TestImage solid_image(int32_t width, int32_t height, uint32_t rgb);

std::vector<uint8_t> bmp_file_of(const TestImage& image);
std::vector<uint8_t> jpeg_file_of(const TestImage& image, int quality = 95);
// 32 x 32, 16 colours: a red square (8..23, 8..23) on a fully transparent border.
std::vector<uint8_t> icon_file_with_transparent_border();
std::vector<uint8_t> png_file_start();

}  // namespace korvane::test
