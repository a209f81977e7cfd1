// A tiny GIF writer for test fixtures, shared by the native and the Windows tests.
// Image data is LZW with a minimum code size of 8 in which every pixel is its own literal code;
// a clear code comes often enough that the code width never grows past 9 bits, so any decoder
// reads it. Colours are 0x00RRGGBB.
#pragma once
#include <cstdint>
#include <vector>

namespace korvane::test {

struct GifTestImage {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<uint8_t> indices;  // width * height, rows top-down
  std::vector<uint32_t> local_table;  // empty: the frame uses the global table
  bool control = true;           // write a graphic control extension before the image
  uint32_t disposal_code = 0;    // unshifted: 0, 4, 8 or 12
  bool transparent = false;
  uint8_t transparent_index = 0;
  uint16_t delay = 0;            // hundredths of a second
};

inline void put16(std::vector<uint8_t>& out, int v) {
  out.push_back(static_cast<uint8_t>(v & 0xFF));
  out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

// Size field of a colour table: 2^(n+1) entries hold `count` colours.
inline int gif_table_bits(size_t count) {
  int n = 0;
  while ((size_t{2} << n) < count && n < 7) ++n;
  return n;
}

inline void put_table(std::vector<uint8_t>& out, const std::vector<uint32_t>& table) {
  const size_t entries = size_t{2} << gif_table_bits(table.size());
  for (size_t i = 0; i < entries; ++i) {
    const uint32_t c = i < table.size() ? table[i] : 0;
    out.push_back(static_cast<uint8_t>(c >> 16));
    out.push_back(static_cast<uint8_t>(c >> 8));
    out.push_back(static_cast<uint8_t>(c));
  }
}

inline void put_image_data(std::vector<uint8_t>& out, const std::vector<uint8_t>& indices) {
  constexpr int kClear = 256, kEnd = 257;
  std::vector<uint8_t> packed;
  uint32_t bits = 0;
  int bit_count = 0;
  auto code = [&](int c) {
    bits |= static_cast<uint32_t>(c) << bit_count;
    bit_count += 9;
    while (bit_count >= 8) {
      packed.push_back(static_cast<uint8_t>(bits & 0xFF));
      bits >>= 8;
      bit_count -= 8;
    }
  };
  // After a clear the first free code is 258; each literal after the first adds an entry, and
  // the width would grow at 512: 254 literals per clear stay well below.
  int since_clear = 254;
  for (uint8_t index : indices) {
    if (since_clear == 254) {
      code(kClear);
      since_clear = 0;
    }
    code(index);
    ++since_clear;
  }
  code(kEnd);
  if (bit_count > 0) packed.push_back(static_cast<uint8_t>(bits & 0xFF));
  out.push_back(8);
  for (size_t i = 0; i < packed.size(); i += 255) {
    const size_t n = packed.size() - i < 255 ? packed.size() - i : 255;
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(i),
               packed.begin() + static_cast<std::ptrdiff_t>(i + n));
  }
  out.push_back(0);
}

inline std::vector<uint8_t> make_gif(int screen_width, int screen_height,
                                     const std::vector<uint32_t>& global_table,
                                     const std::vector<GifTestImage>& images) {
  std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  put16(out, screen_width);
  put16(out, screen_height);
  out.push_back(global_table.empty() ? 0 : static_cast<uint8_t>(0x80 | 0x70 | gif_table_bits(global_table.size())));
  out.push_back(0);  // background index
  out.push_back(0);  // aspect
  if (!global_table.empty()) put_table(out, global_table);
  for (const GifTestImage& image : images) {
    if (image.control) {
      out.insert(out.end(), {0x21, 0xF9, 4});
      out.push_back(static_cast<uint8_t>((image.disposal_code & 0x1C) | (image.transparent ? 1 : 0)));
      put16(out, image.delay);
      out.push_back(image.transparent_index);
      out.push_back(0);
    }
    out.push_back(0x2C);
    put16(out, image.left);
    put16(out, image.top);
    put16(out, image.width);
    put16(out, image.height);
    out.push_back(image.local_table.empty() ? 0 : static_cast<uint8_t>(0x80 | gif_table_bits(image.local_table.size())));
    if (!image.local_table.empty()) put_table(out, image.local_table);
    put_image_data(out, image.indices);
  }
  out.push_back(0x3B);
  return out;
}

// A width x height image of one index.
inline GifTestImage gif_solid(int left, int top, int width, int height, uint8_t index) {
  GifTestImage image;
  image.left = left;
  image.top = top;
  image.width = width;
  image.height = height;
  image.indices.assign(static_cast<size_t>(width) * static_cast<size_t>(height), index);
  return image;
}

}  // namespace korvane::test
