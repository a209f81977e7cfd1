#include "support/picture_files.h"

#include <cstdio>
#include <cstring>

// jpeglib.h wants FILE and size_t declared first.
#include <jpeglib.h>

#include "tests/native/jpeg_writer.h"

namespace korvane::test {
namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

void put_info_header(std::vector<uint8_t>& out, int32_t width, int32_t height, uint16_t bits, uint32_t image_size) {
  put32(out, 40);
  put32(out, static_cast<uint32_t>(width));
  put32(out, static_cast<uint32_t>(height));
  put16(out, 1);
  put16(out, bits);
  put32(out, 0);
  put32(out, image_size);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
  put32(out, 0);
}

}  // namespace

TestImage patterned_image(int32_t width, int32_t height) {
  TestImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* p = &image.bgr[(static_cast<size_t>(y) * width + x) * 3];
      p[0] = static_cast<uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
      p[1] = static_cast<uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
      p[2] = ((x / 3 + y / 5) & 1) ? 230 : 20;
    }
  }
  return image;
}

TestImage solid_image(int32_t width, int32_t height, uint32_t rgb) {
  TestImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
  for (size_t i = 0; i < image.bgr.size(); i += 3) {
    image.bgr[i] = static_cast<uint8_t>(rgb);
    image.bgr[i + 1] = static_cast<uint8_t>(rgb >> 8);
    image.bgr[i + 2] = static_cast<uint8_t>(rgb >> 16);
  }
  return image;
}

std::vector<uint8_t> bmp_file_of(const TestImage& image) {
  const uint32_t row = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
  const uint32_t data = row * static_cast<uint32_t>(image.height);
  std::vector<uint8_t> out = {'B', 'M'};
  put32(out, 54 + data);
  put32(out, 0);
  put32(out, 54);
  put_info_header(out, image.width, image.height, 24, data);
  for (int32_t y = image.height - 1; y >= 0; --y) {
    const uint8_t* p = &image.bgr[static_cast<size_t>(y) * image.width * 3];
    out.insert(out.end(), p, p + image.width * 3);
    out.resize(out.size() + (row - static_cast<uint32_t>(image.width) * 3), 0);
  }
  return out;
}

std::vector<uint8_t> jpeg_file_of(const TestImage& image, int quality) {
  return write_jpeg(image.width, image.height, quality, false, [&](int y, uint8_t* rgb) {
    const uint8_t* p = &image.bgr[static_cast<size_t>(y) * image.width * 3];
    for (int32_t x = 0; x < image.width; ++x) {
      rgb[x * 3] = p[x * 3 + 2];
      rgb[x * 3 + 1] = p[x * 3 + 1];
      rgb[x * 3 + 2] = p[x * 3];
    }
  });
}

std::vector<uint8_t> icon_file_with_transparent_border() {
  constexpr int kSize = 32;
  constexpr uint32_t kXorRow = kSize / 2;  // 4 bits per pixel
  constexpr uint32_t kAndRow = 4;          // 1 bit per pixel, 32 bits
  constexpr uint32_t kImage = 40 + 16 * 4 + kXorRow * kSize + kAndRow * kSize;
  std::vector<uint8_t> out;
  put16(out, 0);
  put16(out, 1);
  put16(out, 1);
  out.insert(out.end(), {kSize, kSize, 16, 0});
  put16(out, 1);
  put16(out, 4);
  put32(out, kImage);
  put32(out, 6 + 16);
  put_info_header(out, kSize, kSize * 2, 4, kXorRow * kSize + kAndRow * kSize);
  // Colour 0 black, colour 1 red (blue, green, red, 0).
  put32(out, 0x00000000);
  put32(out, 0x00FF0000);
  for (int i = 2; i < 16; ++i) put32(out, 0);
  auto inside = [](int x, int y) { return x >= 8 && x < 24 && y >= 8 && y < 24; };
  for (int y = kSize - 1; y >= 0; --y) {  // colour rows, bottom-up
    for (int x = 0; x < kSize; x += 2) {
      out.push_back(static_cast<uint8_t>((inside(x, y) ? 0x10 : 0) | (inside(x + 1, y) ? 0x01 : 0)));
    }
  }
  for (int y = kSize - 1; y >= 0; --y) {  // mask rows: 1 is transparent
    for (int x = 0; x < kSize; x += 8) {
      uint8_t bits = 0;
      for (int b = 0; b < 8; ++b) bits |= static_cast<uint8_t>((inside(x + b, y) ? 0 : 1) << (7 - b));
      out.push_back(bits);
    }
  }
  return out;
}

std::vector<uint8_t> png_file_start() {
  return {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
          0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0, 0x90, 0x77, 0x53, 0xDE};
}

}  // namespace korvane::test
