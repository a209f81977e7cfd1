#include "picture/picture_box.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "values/record_reader.h"

namespace korvane {
namespace {

constexpr uint32_t kWhite = 0x00FFFFFF;

Bytes copy_field(ByteSpan span) { return Bytes::copy_of(span); }

// width * height when both are positive and the product stays within `limit`, else 0.
uint64_t checked_pixels(int32_t width, int32_t height, uint64_t limit) {
  if (width <= 0 || height <= 0) return 0;
  const uint64_t n = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
  return n <= limit ? n : 0;
}

std::unique_ptr<uint8_t[]> try_allocate(uint64_t n) {
  if (n == 0 || n > SIZE_MAX) return nullptr;
  return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[static_cast<size_t>(n)]);
}

ImageView top_down_view(const uint8_t* pixels, int32_t width, int32_t height) {
  return ImageView{pixels, width, height, static_cast<ptrdiff_t>(width) * 3, 3};
}

TrueColourPicture true_colour_of_bgr(const DecodedPicture& p) {
  TrueColourPicture out;
  const uint64_t n = checked_pixels(p.width, p.height, kMaxPicturePixels);
  if (n == 0 || !p.pixels.bytes || p.pixels.size < n * 3) return out;
  // Bottom row first: the view starts at the last stored row and walks backwards.
  const ptrdiff_t row = static_cast<ptrdiff_t>(p.width) * 3;
  out.view = ImageView{p.pixels.bytes.get() + row * (p.height - 1), p.width, p.height, -row, 3};
  return out;
}

// Ready-made 8-bit DIB: 40-byte header, 256 colours (blue, green, red, 0), rows top-down.
TrueColourPicture true_colour_of_pcx8(const DecodedPicture& p) {
  TrueColourPicture out;
  constexpr uint64_t kHeader = 40 + 256 * 4;
  const uint64_t n = checked_pixels(p.width, p.height, kMaxPicturePixels);
  if (n == 0 || !p.pixels.bytes || p.row_bytes <= 0) return out;
  const uint64_t rows_size = static_cast<uint64_t>(p.row_bytes) * static_cast<uint64_t>(p.height);
  if (p.pixels.size < kHeader || p.pixels.size - kHeader < rows_size) return out;
  const uint8_t* block = p.pixels.bytes.get();
  const uint16_t planes = static_cast<uint16_t>(block[12] | block[13] << 8);
  if (planes != 1) return out;  // the platform cannot draw such a bitmap either
  out.pixels = try_allocate(n * 3);
  if (!out.pixels) return out;
  const uint8_t* table = block + 40;
  const int32_t used = std::min(p.width, p.row_bytes);
  for (int32_t y = 0; y < p.height; ++y) {
    const uint8_t* in = block + kHeader + static_cast<uint64_t>(y) * static_cast<uint64_t>(p.row_bytes);
    uint8_t* o = out.pixels.get() + static_cast<uint64_t>(y) * static_cast<uint64_t>(p.width) * 3;
    for (int32_t x = 0; x < used; ++x) std::memcpy(o + x * 3, table + in[x] * 4, 3);
    std::memset(o + used * 3, 0, static_cast<size_t>(p.width - used) * 3);
  }
  out.view = top_down_view(out.pixels.get(), p.width, p.height);
  return out;
}

// Monochrome rows top-down, most significant bit first, bit 1 white.
TrueColourPicture true_colour_of_pcx1(const DecodedPicture& p) {
  TrueColourPicture out;
  const uint64_t n = checked_pixels(p.width, p.height, kMaxPicturePixels);
  if (n == 0 || !p.pixels.bytes || p.row_bytes <= 0) return out;
  const uint64_t rows_size = static_cast<uint64_t>(p.row_bytes) * static_cast<uint64_t>(p.height);
  if (p.pixels.size < rows_size) return out;
  out.pixels = try_allocate(n * 3);
  if (!out.pixels) return out;
  const int64_t bits = static_cast<int64_t>(p.row_bytes) * 8;
  for (int32_t y = 0; y < p.height; ++y) {
    const uint8_t* in = p.pixels.bytes.get() + static_cast<uint64_t>(y) * static_cast<uint64_t>(p.row_bytes);
    uint8_t* o = out.pixels.get() + static_cast<uint64_t>(y) * static_cast<uint64_t>(p.width) * 3;
    for (int32_t x = 0; x < p.width; ++x) {
      const bool white = x < bits && ((in[x >> 3] >> (7 - (x & 7))) & 1);
      std::memset(o + x * 3, white ? 0xFF : 0x00, 3);
    }
  }
  out.view = top_down_view(out.pixels.get(), p.width, p.height);
  return out;
}

}  // namespace

std::optional<PictureBoxSettings> parse_picture_box_settings(ByteSpan record) {
  RecordReader in(record);
  PictureBoxSettings s;
  ByteSpan picture, source, column;
  in.u32(s.version);
  if (!in.ok() || s.version > 2) return std::nullopt;
  in.i32(s.border_style);
  in.u32(s.background_colour);
  in.i32(s.display_mode);
  in.i32(s.play_animation);
  in.counted(picture);
  if (s.version == 2) {
    in.counted(source);
    in.counted(column);
  }
  if (!in.ok()) return std::nullopt;
  s.picture = copy_field(picture);
  s.data_source = copy_field(source);
  s.data_column = copy_field(column);
  return s;
}

TrueColourPicture true_colour_of(const DecodedPicture& picture) {
  switch (picture.kind) {
    case PictureKind::bmp:
    case PictureKind::jpeg:
      return true_colour_of_bgr(picture);
    case PictureKind::pcx8:
      return true_colour_of_pcx8(picture);
    case PictureKind::pcx1:
      return true_colour_of_pcx1(picture);
    default:
      return TrueColourPicture{};
  }
}

std::optional<GifCanvas> GifCanvas::make(int32_t width, int32_t height) {
  const uint64_t n = checked_pixels(width, height, kMaxCanvasPixels);
  if (n == 0) return std::nullopt;
  GifCanvas canvas;
  canvas.pixels_ = try_allocate(n * 4);
  if (!canvas.pixels_) return std::nullopt;
  canvas.width_ = width;
  canvas.height_ = height;
  uint32_t* p = reinterpret_cast<uint32_t*>(canvas.pixels_.get());
  // Blue, green, red, 0 in memory: white is 0x00FFFFFF as a little-endian word.
  std::fill(p, p + n, kWhite);
  return canvas;
}

ImageView GifCanvas::view() const {
  return ImageView{pixels_.get(), width_, height_, static_cast<ptrdiff_t>(width_) * 4, 4};
}

uint32_t GifCanvas::pixel_at(int32_t x, int32_t y) const {
  const uint8_t* p = pixels_.get() + (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 4;
  return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

GifCanvas::Clip GifCanvas::clip(int32_t left, int32_t top, int32_t width, int32_t height) const {
  // 64-bit so that a far-off placement plus its size cannot overflow.
  const int64_t x0 = std::max<int64_t>(left, 0);
  const int64_t y0 = std::max<int64_t>(top, 0);
  const int64_t x1 = std::min<int64_t>(int64_t{left} + std::max(width, 0), width_);
  const int64_t y1 = std::min<int64_t>(int64_t{top} + std::max(height, 0), height_);
  if (x1 <= x0 || y1 <= y0) return Clip{};
  return Clip{static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1 - x0),
              static_cast<int32_t>(y1 - y0)};
}

void GifCanvas::draw_frame(const GifFrame& frame, int32_t left, int32_t top,
                           std::optional<uint32_t> key_colour) {
  if (!pixels_ || !frame.indices || frame.width <= 0 || frame.height <= 0 || frame.stride < frame.width) return;
  const Clip c = clip(left, top, frame.width, frame.height);
  if (c.width == 0) return;
  // The key is a colour, not an index: every table entry of that colour is see-through.
  bool see_through[256] = {};
  uint32_t colour[256];
  for (int i = 0; i < 256; ++i) {
    const uint8_t* e = frame.palette[i];
    colour[i] = uint32_t{e[2]} << 16 | uint32_t{e[1]} << 8 | e[0];
    see_through[i] = key_colour && colour[i] == *key_colour;
  }
  const int32_t fx = c.left - left;  // first frame column and row that land on the canvas
  const int32_t fy = c.top - top;
  for (int32_t y = 0; y < c.height; ++y) {
    const uint8_t* in = frame.indices.get() + static_cast<size_t>(fy + y) * static_cast<size_t>(frame.stride) + fx;
    uint32_t* out = reinterpret_cast<uint32_t*>(pixels_.get()) +
                    static_cast<size_t>(c.top + y) * static_cast<size_t>(width_) + c.left;
    for (int32_t x = 0; x < c.width; ++x) {
      if (!see_through[in[x]]) out[x] = colour[in[x]];
    }
  }
}

void GifCanvas::save_area(int32_t left, int32_t top, int32_t width, int32_t height) {
  saved_.reset();
  const Clip c = clip(left, top, width, height);
  if (c.width == 0 || !pixels_) return;
  const size_t row = static_cast<size_t>(c.width) * 4;
  saved_ = try_allocate(static_cast<uint64_t>(row) * static_cast<uint64_t>(c.height));
  if (!saved_) return;  // nothing to restore later: the frame then stays on the canvas
  saved_place_ = c;
  for (int32_t y = 0; y < c.height; ++y) {
    std::memcpy(saved_.get() + static_cast<size_t>(y) * row,
                pixels_.get() + (static_cast<size_t>(c.top + y) * static_cast<size_t>(width_) + c.left) * 4, row);
  }
}

void GifCanvas::restore_saved_area() {
  if (!saved_) return;
  const Clip c = saved_place_;
  const size_t row = static_cast<size_t>(c.width) * 4;
  for (int32_t y = 0; y < c.height; ++y) {
    std::memcpy(pixels_.get() + (static_cast<size_t>(c.top + y) * static_cast<size_t>(width_) + c.left) * 4,
                saved_.get() + static_cast<size_t>(y) * row, row);
  }
  saved_.reset();
}

std::optional<GifCanvas> canvas_of_frame(const GifFrame& frame) {
  std::optional<GifCanvas> canvas = GifCanvas::make(frame.width, frame.height);
  if (canvas) canvas->draw_frame(frame, 0, 0, std::nullopt);
  return canvas;
}

}  // namespace korvane
