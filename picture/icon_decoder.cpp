// Icon and cursor files: the directory walk and the choice of image. The system icon itself is
// made on Windows (icon_win32.cpp) from the span this locates.
#include "picture/byte_reader.h"
#include "picture/decoders.h"

namespace korvane {
namespace {

constexpr uint64_t kDirectoryHeaderSize = 6;
constexpr uint64_t kEntrySize = 16;
// Far above any icon the system draws (256 x 256 is the largest in use).
constexpr int32_t kMaxIconSide = 4096;

bool is_png(ByteSpan image) {
  static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (image.size < 8) return false;
  for (int i = 0; i < 8; ++i)
    if (image.data[i] != signature[i]) return false;
  return true;
}

uint32_t load_u32_big_endian(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

// A DIB-form image must hold its header, colour table, colour rows and mask rows: the system
// call is never handed a bitmap that reaches past the bytes we give it.
bool dib_image_is_complete(ByteSpan image, int32_t width, int32_t height, uint16_t bits) {
  ByteReader in(image);
  uint32_t header_size = 0, colours_used = 0;
  if (!in.u32(0, header_size) || !in.u32(32, colours_used) || header_size < 40) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  uint64_t colours = 0;
  if (bits <= 8) colours = colours_used ? colours_used : (uint64_t{1} << bits);
  const uint64_t colour_row = round_up((uint64_t(width) * bits + 7) / 8, 4);
  const uint64_t mask_row = round_up((uint64_t(width) + 7) / 8, 4);
  uint64_t needed = checked_add(header_size, checked_mul(colours, 4));
  needed = checked_add(needed, checked_mul(checked_add(colour_row, mask_row), uint64_t(height)));
  return needed <= image.size;
}

}  // namespace

std::optional<DecodedPicture> decode_icon(ByteSpan bytes) {
  ByteReader in(bytes);
  uint16_t reserved = 0, type = 0, count = 0;
  if (!in.u16(0, reserved) || !in.u16(2, type) || !in.u16(4, count)) return std::nullopt;
  if (reserved != 0 || (type != 1 && type != 2) || count == 0) return std::nullopt;

  // The first 32-pixel-wide entry of at least 16 colours, else the last entry.
  uint64_t chosen = 0;
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t entry = kDirectoryHeaderSize + kEntrySize * i;
    if (!in.has(entry, kEntrySize)) return std::nullopt;
    chosen = entry;
    if (bytes.data[entry] == 32 && bytes.data[entry + 2] >= 16) break;
  }
  uint32_t image_size = 0, image_offset = 0;
  in.u32(chosen + 8, image_size);
  in.u32(chosen + 12, image_offset);
  ByteSpan image;
  if (!in.span(image_offset, image_size, image)) return std::nullopt;

  int32_t width = 0, height = 0;
  uint16_t bits = 0;
  if (is_png(image)) {
    // Windows Vista icons keep large images as PNG; their size is in the IHDR chunk.
    if (image.size < 24) return std::nullopt;
    width = static_cast<int32_t>(load_u32_big_endian(image.data + 16));
    height = static_cast<int32_t>(load_u32_big_endian(image.data + 20));
    bits = 32;
  } else {
    ByteReader dib(image);
    int32_t stored_height = 0;
    if (!dib.i32(4, width) || !dib.i32(8, stored_height) || !dib.u16(14, bits)) return std::nullopt;
    // The stored height counts colour rows and mask rows together.
    height = stored_height / 2;
  }
  if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide) return std::nullopt;
  if (!is_png(image) && !dib_image_is_complete(image, width, height, bits)) return std::nullopt;

  DecodedPicture picture;
  picture.kind = type == 1 ? PictureKind::icon : PictureKind::cursor;
  picture.width = width;
  picture.height = height;
  picture.icon_image.offset = image_offset;
  picture.icon_image.size = image_size;
  picture.icon_image.requested_width = width;
  picture.icon_image.requested_height = height;
  picture.icon_image.bit_count = bits;
  return picture;
}

}  // namespace korvane
