// An icon or cursor image drawn over white without the system, for the native tool and tests.
// Only DIB-form images of 1, 4, 8, 24 and 32 bits: the colour rows, then the AND mask, both
// bottom-up. Each pixel is drawn as the system draws an icon onto a white background:
// (white AND mask) XOR colour, or, for 32-bit images that carry alpha, alpha-blended.
#include <cstring>

#include "picture/byte_reader.h"
#include "picture/icon_pixels.h"

namespace korvane {

std::optional<TrueColourImage> icon_over_white(ByteSpan bytes, const IconImage& image_place) {
  ByteReader file(bytes);
  ByteSpan image;
  if (!file.span(image_place.offset, image_place.size, image)) return std::nullopt;
  ByteReader in(image);
  uint32_t header_size = 0, colours_used = 0;
  int32_t width = 0, stored_height = 0;
  uint16_t bits = 0;
  if (!in.u32(0, header_size) || !in.i32(4, width) || !in.i32(8, stored_height) || !in.u16(14, bits) ||
      !in.u32(32, colours_used))
    return std::nullopt;
  const int32_t height = stored_height / 2;
  if (header_size < 40 || width <= 0 || height <= 0 || width > 4096 || height > 4096) return std::nullopt;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return std::nullopt;
  const uint64_t colours = bits <= 8 ? (colours_used ? colours_used : (uint64_t{1} << bits)) : 0;
  ByteSpan table;
  if (!in.span(header_size, checked_mul(colours, 4), table)) return std::nullopt;
  const uint64_t colour_row = round_up((uint64_t(width) * bits + 7) / 8, 4);
  const uint64_t mask_row = round_up((uint64_t(width) + 7) / 8, 4);
  ByteSpan colour_rows, mask_rows;
  const uint64_t colour_at = header_size + table.size;
  if (!in.span(colour_at, colour_row * height, colour_rows) ||
      !in.span(colour_at + colour_rows.size, mask_row * height, mask_rows))
    return std::nullopt;

  bool has_alpha = false;
  if (bits == 32)
    for (size_t i = 3; i < colour_rows.size && !has_alpha; i += 4) has_alpha = colour_rows.data[i] != 0;

  TrueColourImage out;
  out.width = width;
  out.height = height;
  out.pixels.resize(size_t(width) * height * 3);
  for (int32_t y = 0; y < height; ++y) {  // y counts from the bottom, as both files and output do
    const uint8_t* c = colour_rows.data + y * colour_row;
    const uint8_t* m = mask_rows.data + y * mask_row;
    uint8_t* o = out.pixels.data() + size_t(y) * width * 3;
    for (int32_t x = 0; x < width; ++x, o += 3) {
      uint8_t bgr[3] = {0, 0, 0};
      uint8_t alpha = 255;
      if (bits >= 24) {
        std::memcpy(bgr, c + x * (bits / 8), 3);
        if (has_alpha) alpha = c[x * 4 + 3];
      } else {
        const unsigned shift = 8 - bits * (x % (8 / bits) + 1);
        const unsigned index = (c[x * bits / 8] >> shift) & ((1u << bits) - 1);
        if (index < colours) std::memcpy(bgr, table.data + 4 * index, 3);
      }
      if (has_alpha) {
        for (int k = 0; k < 3; ++k) o[k] = static_cast<uint8_t>((bgr[k] * alpha + 255 * (255 - alpha) + 127) / 255);
      } else {
        const bool see_through = (m[x / 8] >> (7 - x % 8)) & 1;
        for (int k = 0; k < 3; ++k) o[k] = see_through ? static_cast<uint8_t>(0xFF ^ bgr[k]) : bgr[k];
      }
    }
  }
  return out;
}

}  // namespace korvane
