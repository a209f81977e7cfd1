// BMP: uncompressed 1, 4, 8, 24 and 32 bits per pixel, bottom-up or top-down, to the true-colour
// layout (blue, green, red; bottom row first; rows unpadded). File rows are already blue, green,
// red, so each row is copied or looked up straight into its place.
#include <cstring>

#include "picture/byte_reader.h"
#include "picture/decoders.h"

namespace korvane {
namespace {

constexpr uint64_t kFileHeaderSize = 14;

// Where the colour table starts: right after the info header, whose own size field names one of
// the known layouts (core-less Windows headers: 40, 52, 56 with bit masks, 108 version 4,
// 124 version 5). Anything else is read as the 40-byte header.
uint64_t colour_table_offset(uint32_t info_header_size) {
  switch (info_header_size) {
    case 40: case 52: case 56: case 108: case 124:
      return kFileHeaderSize + info_header_size;
    default:
      return kFileHeaderSize + 40;
  }
}

void expand_indexed_row(const uint8_t* in, uint8_t* out, uint32_t width, int bits,
                        const uint8_t (&palette)[256][3]) {
  const int per_byte = 8 / bits;
  const unsigned mask = (1u << bits) - 1;
  uint32_t x = 0;
  while (x < width) {
    const unsigned byte = *in++;
    for (int k = 0; k < per_byte && x < width; ++k, ++x) {
      const unsigned index = (byte >> (8 - bits * (k + 1))) & mask;
      out[0] = palette[index][0];
      out[1] = palette[index][1];
      out[2] = palette[index][2];
      out += 3;
    }
  }
}

}  // namespace

std::optional<DecodedPicture> decode_bmp(ByteSpan bytes) {
  ByteReader in(bytes);
  if (!in.has(0, 54)) return std::nullopt;
  uint32_t data_offset = 0, info_header_size = 0, compression = 0, colours_used = 0;
  int32_t stored_width = 0, stored_height = 0;
  uint16_t bits = 0;
  in.u32(10, data_offset);
  in.u32(14, info_header_size);
  in.i32(18, stored_width);
  in.i32(22, stored_height);
  in.u16(28, bits);
  in.u32(30, compression);
  in.u32(46, colours_used);
  if (compression != 0) return std::nullopt;  // run-length and bit-field bitmaps are not decoded

  uint8_t palette[256][3] = {};  // indexes past a short table show black
  uint64_t consumed = colour_table_offset(info_header_size);
  if (bits == 1 || bits == 4 || bits == 8) {
    const uint64_t colour_count = colours_used ? colours_used : (uint64_t{1} << bits);
    ByteSpan table;
    if (!in.span(consumed, checked_mul(colour_count, 4), table)) return std::nullopt;
    const uint64_t kept = colour_count < 256 ? colour_count : 256;
    for (uint64_t i = 0; i < kept; ++i) std::memcpy(palette[i], table.data + 4 * i, 3);
    consumed += table.size;
  } else if (bits != 24 && bits != 32) {
    return std::nullopt;
  }
  if (data_offset < consumed) return std::nullopt;

  // 64-bit before negating: -2^31 has no 32-bit absolute value.
  const int64_t signed_height = stored_height;
  const uint64_t width = stored_width < 0 ? -int64_t{stored_width} : stored_width;
  const uint64_t height = signed_height < 0 ? -signed_height : signed_height;
  // A picture of no pixels has nothing to draw.
  if (width == 0 || height == 0) return std::nullopt;
  if (checked_mul(width, height) > kMaxPicturePixels) return std::nullopt;

  // Each file row starts 4-byte aligned relative to the data offset; the last row's padding may
  // be missing from the file.
  const uint64_t row_bytes_in = (width * bits + 7) / 8;
  const uint64_t file_stride = round_up(row_bytes_in, 4);
  const uint64_t needed = checked_add(data_offset, checked_add(checked_mul(height - 1, file_stride), row_bytes_in));
  if (!in.has(0, needed)) return std::nullopt;  // checked before allocating anything

  const uint64_t row_bytes_out = width * 3;
  DecodedPicture picture;
  picture.pixels = allocate_pixel_block(row_bytes_out * height);
  if (!picture.pixels.bytes) return std::nullopt;
  picture.kind = PictureKind::bmp;
  picture.width = static_cast<int32_t>(width);
  picture.height = static_cast<int32_t>(height);
  picture.row_bytes = static_cast<int32_t>(row_bytes_out);

  const bool top_down = stored_height < 0;
  const uint8_t* file_row = bytes.data + data_offset;
  uint8_t* const out = picture.pixels.bytes.get();
  for (uint64_t i = 0; i < height; ++i, file_row += file_stride) {
    // Output rows run bottom first; file rows run bottom first unless the height is negative.
    uint8_t* out_row = out + (top_down ? height - 1 - i : i) * row_bytes_out;
    switch (bits) {
      case 24:
        std::memcpy(out_row, file_row, row_bytes_out);
        break;
      case 32:
        for (uint64_t x = 0; x < width; ++x) std::memcpy(out_row + 3 * x, file_row + 4 * x, 3);
        break;
      default:
        expand_indexed_row(file_row, out_row, static_cast<uint32_t>(width), bits, palette);
        break;
    }
  }
  return picture;
}

}  // namespace korvane
