#include "picture/bmp_file.h"

#include <cstring>

namespace korvane {
namespace {

void put16(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
  put16(p, v);
  put16(p + 2, v >> 16);
}
uint32_t get16(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8; }
uint32_t get32(const uint8_t* p) { return get16(p) | get16(p + 2) << 16; }

}  // namespace

std::optional<BmpLayout> bmp_layout(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return std::nullopt;
  const int64_t stride = (int64_t{width} * 24 + 31) / 32 * 4;
  const int64_t image = stride * int64_t{height};
  if (image > int64_t{INT32_MAX} - kBmpHeaderSize) return std::nullopt;
  BmpLayout layout;
  layout.row_stride = static_cast<int32_t>(stride);
  layout.image_size = static_cast<int32_t>(image);
  layout.file_size = static_cast<int32_t>(image + kBmpHeaderSize);
  return layout;
}

void write_bmp_headers(uint8_t* out, int32_t width, int32_t height, int32_t image_size) {
  std::memset(out, 0, kBmpHeaderSize);
  out[0] = 'B';
  out[1] = 'M';
  put32(out + 2, static_cast<uint32_t>(image_size) + kBmpHeaderSize);
  put32(out + 10, kBmpHeaderSize);
  put32(out + 14, 40);
  put32(out + 18, static_cast<uint32_t>(width));
  put32(out + 22, static_cast<uint32_t>(height));
  put16(out + 26, 1);
  put16(out + 28, 24);
  put32(out + 34, static_cast<uint32_t>(image_size));
}

Bytes encode_bmp(int32_t width, int32_t height, const uint8_t* bottom_up_rows) {
  const std::optional<BmpLayout> layout = bmp_layout(width, height);
  if (!layout || !bottom_up_rows) return Bytes();
  Bytes file = Bytes::allocate(layout->file_size);
  write_bmp_headers(file.data(), width, height, layout->image_size);
  std::memcpy(file.data() + kBmpHeaderSize, bottom_up_rows, static_cast<size_t>(layout->image_size));
  // Padding bytes are zeros whatever the caller's rows held there.
  const int32_t padding = layout->row_stride - width * 3;
  if (padding > 0) {
    for (int32_t y = 0; y < height; ++y) {
      uint8_t* row = file.data() + kBmpHeaderSize + static_cast<ptrdiff_t>(y) * layout->row_stride;
      std::memset(row + width * 3, 0, static_cast<size_t>(padding));
    }
  }
  return file;
}

std::optional<BmpView> view_bmp(ByteSpan file) {
  if (!file.data || file.size < static_cast<size_t>(kBmpHeaderSize)) return std::nullopt;
  const uint8_t* p = file.data;
  if (p[0] != 'B' || p[1] != 'M' || get32(p + 10) != 54 || get32(p + 14) != 40 || get16(p + 26) != 1 ||
      get16(p + 28) != 24 || get32(p + 30) != 0 || get32(p + 46) != 0) {
    return std::nullopt;
  }
  const int32_t width = static_cast<int32_t>(get32(p + 18));
  const int32_t height = static_cast<int32_t>(get32(p + 22));
  const std::optional<BmpLayout> layout = bmp_layout(width, height);
  if (!layout || get32(p + 2) != static_cast<uint32_t>(layout->file_size) ||
      file.size != static_cast<size_t>(layout->file_size)) {
    return std::nullopt;
  }
  BmpView view;
  view.width = width;
  view.height = height;
  view.row_stride = layout->row_stride;
  view.bottom_row = p + kBmpHeaderSize;
  return view;
}

}  // namespace korvane
