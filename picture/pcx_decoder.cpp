// PCX, 8 bits in one plane and 1 bit in one plane, run-length coded from byte 128.
// pcx8 comes out as a ready-made DIB (info header, 256-entry table, rows top-down padded to 4);
// pcx1 as monochrome rows top-down, padded to an even byte count, bit 1 white.
#include <cstring>

#include "picture/byte_reader.h"
#include "picture/decoders.h"

namespace korvane {
namespace {

constexpr size_t kPcxHeaderSize = 128;
constexpr uint64_t kDibHeaderSize = 40;
constexpr uint64_t kDibTableSize = 256 * 4;
// One run-length pair (2 bytes) expands to at most 63 bytes, so no real file decodes to more
// than about 32 bytes per input byte. A header claiming a block far larger than its data could
// fill is refused before anything is allocated.
constexpr uint64_t kMaxBlockPerInputByte = 64;
constexpr uint64_t kSmallBlockAllowance = 65536;

// The run-length stream: a byte above 192 repeats the next byte (byte - 192) times, any other
// byte (192 included) stands for itself. A run may carry on into the next row. Past the end of
// the data the stream yields zeros and reports itself exhausted.
class RunLengthReader {
 public:
  RunLengthReader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

  // Fills out[0, count) with the next decoded bytes.
  void read(uint8_t* out, size_t count) {
    while (count > 0) {
      if (run_left_ == 0 && !start_run()) {
        std::memset(out, 0, count);
        return;
      }
      size_t n = run_left_ < count ? run_left_ : count;
      std::memset(out, run_value_, n);
      out += n;
      count -= n;
      run_left_ -= n;
    }
  }
  // Drops count decoded bytes (rows wider than what is kept of them).
  void skip(size_t count) {
    while (count > 0) {
      if (run_left_ == 0 && !start_run()) return;
      size_t n = run_left_ < count ? run_left_ : count;
      count -= n;
      run_left_ -= n;
    }
  }
  const uint8_t* position() const { return p_; }
  size_t remaining() const { return static_cast<size_t>(end_ - p_); }

 private:
  bool start_run() {
    if (p_ == end_) return false;
    const uint8_t b = *p_++;
    if (b > 192) {
      if (p_ == end_) return false;
      run_left_ = b - 192u;
      run_value_ = *p_++;
    } else {
      run_left_ = 1;
      run_value_ = b;
    }
    return true;
  }

  const uint8_t* p_;
  const uint8_t* end_;
  size_t run_left_ = 0;
  uint8_t run_value_ = 0;
};

void put_u32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

bool block_is_backed(uint64_t block_size, size_t input_size) {
  return block_size <= checked_add(checked_mul(input_size, kMaxBlockPerInputByte), kSmallBlockAllowance);
}

std::optional<DecodedPicture> decode_pcx8(ByteSpan bytes, uint32_t width, uint32_t height,
                                          uint16_t bytes_per_line) {
  // A row shorter than the picture would make the DIB's rows reach past the block.
  if (bytes_per_line < width) return std::nullopt;
  const uint64_t row_length = round_up(bytes_per_line, 4);
  const uint64_t block_size = kDibHeaderSize + kDibTableSize + row_length * height;
  if (!block_is_backed(block_size, bytes.size)) return std::nullopt;

  DecodedPicture picture;
  picture.pixels = allocate_pixel_block(block_size);
  if (!picture.pixels.bytes) return std::nullopt;
  uint8_t* const block = picture.pixels.bytes.get();
  std::memset(block, 0, kDibHeaderSize + kDibTableSize);
  put_u32(block, 40);
  put_u32(block + 4, width);
  put_u32(block + 8, static_cast<uint32_t>(-static_cast<int32_t>(height)));  // rows top-down
  block[12] = 1;  // planes: only single-plane files reach here
  block[14] = 8;  // bits per pixel

  RunLengthReader rle(bytes.data + kPcxHeaderSize, bytes.size - kPcxHeaderSize);
  uint8_t* row = block + kDibHeaderSize + kDibTableSize;
  for (uint32_t y = 0; y < height; ++y, row += row_length) {
    rle.read(row, bytes_per_line);
    std::memset(row + bytes_per_line, 0, row_length - bytes_per_line);
  }
  // The colour table follows the rows behind a marker byte 12.
  if (rle.remaining() > 768 && rle.position()[0] == 12) {
    const uint8_t* rgb = rle.position() + 1;
    uint8_t* table = block + kDibHeaderSize;
    for (int i = 0; i < 256; ++i, rgb += 3, table += 4) {
      table[0] = rgb[2];
      table[1] = rgb[1];
      table[2] = rgb[0];
    }
  }
  picture.kind = PictureKind::pcx8;
  picture.width = static_cast<int32_t>(width);
  picture.height = static_cast<int32_t>(height);
  picture.row_bytes = static_cast<int32_t>(row_length);
  return picture;
}

std::optional<DecodedPicture> decode_pcx1(ByteSpan bytes, uint32_t width, uint32_t height,
                                          uint16_t bytes_per_line) {
  const uint64_t row_length = round_up((uint64_t{width} + 7) / 8, 2);
  const uint64_t block_size = row_length * height;
  if (!block_is_backed(block_size, bytes.size)) return std::nullopt;

  DecodedPicture picture;
  picture.pixels = allocate_pixel_block(block_size);
  if (!picture.pixels.bytes) return std::nullopt;
  uint8_t* row = picture.pixels.bytes.get();
  std::memset(row, 0, block_size);

  // Every row on disk is bytes_per_line bytes (often padded past the width); the first width
  // bits of it are kept, so padded rows do not drift.
  const uint64_t width_bytes = (uint64_t{width} + 7) / 8;
  const size_t kept = bytes_per_line < width_bytes ? bytes_per_line : static_cast<size_t>(width_bytes);
  const uint8_t last_byte_mask = static_cast<uint8_t>(0xFF00u >> (width % 8 == 0 ? 8 : width % 8));
  RunLengthReader rle(bytes.data + kPcxHeaderSize, bytes.size - kPcxHeaderSize);
  for (uint32_t y = 0; y < height; ++y, row += row_length) {
    rle.read(row, kept);
    rle.skip(bytes_per_line - kept);
    if (kept == width_bytes) row[kept - 1] &= last_byte_mask;
  }
  picture.kind = PictureKind::pcx1;
  picture.width = static_cast<int32_t>(width);
  picture.height = static_cast<int32_t>(height);
  picture.row_bytes = static_cast<int32_t>(row_length);
  return picture;
}

}  // namespace

std::optional<DecodedPicture> decode_pcx(ByteSpan bytes) {
  if (!bytes.data || bytes.size <= kPcxHeaderSize) return std::nullopt;
  const uint8_t* h = bytes.data;
  if (h[0] != 0x0A || h[1] > 5 || h[2] != 1) return std::nullopt;
  const int16_t x_start = static_cast<int16_t>(load_u16(h + 4)), y_start = static_cast<int16_t>(load_u16(h + 6));
  const int16_t x_end = static_cast<int16_t>(load_u16(h + 8)), y_end = static_cast<int16_t>(load_u16(h + 10));
  if (x_end < x_start || y_end < y_start) return std::nullopt;
  const uint32_t width = static_cast<uint32_t>(x_end - x_start + 1);
  const uint32_t height = static_cast<uint32_t>(y_end - y_start + 1);
  if (checked_mul(width, height) > kMaxPicturePixels) return std::nullopt;
  const uint8_t bits = h[3], planes = h[65];
  const uint16_t bytes_per_line = load_u16(h + 66);
  if (bits == 1 && planes == 1) return decode_pcx1(bytes, width, height, bytes_per_line);
  // Several 8-bit planes would make a DIB that cannot be drawn: refused.
  if (bits != 8 || planes != 1) return std::nullopt;
  return decode_pcx8(bytes, width, height, bytes_per_line);
}

}  // namespace korvane
