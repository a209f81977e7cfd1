#include "picture/true_colour.h"

#include <cstring>

#include "picture/gif.h"
#include "picture/icon_pixels.h"

namespace korvane {
namespace {

void put_u16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void put_u32(uint8_t* p, uint32_t v) {
  put_u16(p, v);
  put_u16(p + 2, v >> 16);
}

TrueColourImage blank(int32_t width, int32_t height, uint8_t fill) {
  TrueColourImage image;
  image.width = width;
  image.height = height;
  image.pixels.assign(size_t(width) * size_t(height) * 3, fill);
  return image;
}

// Pixel (x, y) counted from the top.
uint8_t* at(TrueColourImage& image, int64_t x, int64_t y) {
  return image.pixels.data() + ((image.height - 1 - y) * int64_t(image.width) + x) * 3;
}

std::optional<TrueColourImage> first_gif_frame(ByteSpan bytes) {
  GifStream state;
  if (!parse_gif_header(bytes, state)) return std::nullopt;
  // The screen is the header's word alone; the canvas is held to the same limit as pictures.
  if (uint64_t(state.screen_width) * state.screen_height > kMaxPicturePixels) return std::nullopt;
  TrueColourImage canvas = blank(state.screen_width, state.screen_height, 0xFF);
  GifFrame frame;
  if (!next_gif_frame(state, frame)) return canvas;
  for (int32_t y = 0; y < frame.height; ++y) {
    const int64_t cy = int64_t(state.frame_top) + y;
    if (cy >= canvas.height) break;
    for (int32_t x = 0; x < frame.width; ++x) {
      const int64_t cx = int64_t(state.frame_left) + x;
      if (cx >= canvas.width) break;
      const uint8_t* c = frame.palette[frame.indices[size_t(y) * frame.stride + x]];
      if (state.transparency && c[0] == state.key_blue && c[1] == state.key_green && c[2] == state.key_red)
        continue;
      std::memcpy(at(canvas, cx, cy), c, 3);
    }
  }
  return canvas;
}

}  // namespace

std::optional<TrueColourImage> to_true_colour(const DecodedPicture& picture, ByteSpan bytes) {
  switch (picture.kind) {
    case PictureKind::bmp:
    case PictureKind::jpeg: {
      TrueColourImage image;
      image.width = picture.width;
      image.height = picture.height;
      image.pixels.assign(picture.pixels.bytes.get(), picture.pixels.bytes.get() + picture.pixels.size);
      return image;
    }
    case PictureKind::pcx8: {
      TrueColourImage image = blank(picture.width, picture.height, 0);
      const uint8_t* table = picture.pixels.bytes.get() + 40;
      const uint8_t* rows = table + 1024;
      for (int32_t y = 0; y < picture.height; ++y)
        for (int32_t x = 0; x < picture.width; ++x)
          std::memcpy(at(image, x, y), table + 4 * rows[size_t(y) * picture.row_bytes + x], 3);
      return image;
    }
    case PictureKind::pcx1: {
      TrueColourImage image = blank(picture.width, picture.height, 0);
      const uint8_t* rows = picture.pixels.bytes.get();
      for (int32_t y = 0; y < picture.height; ++y)
        for (int32_t x = 0; x < picture.width; ++x)
          if (rows[size_t(y) * picture.row_bytes + x / 8] & (0x80 >> (x % 8))) std::memset(at(image, x, y), 0xFF, 3);
      return image;
    }
    case PictureKind::gif:
      return first_gif_frame(bytes);
    case PictureKind::icon:
    case PictureKind::cursor:
      return icon_over_white(bytes, picture.icon_image);
    default:
      return std::nullopt;
  }
}

std::vector<uint8_t> encode_bmp24(const TrueColourImage& image) {
  const size_t row = size_t(image.width) * 3, padded = (row + 3) & ~size_t{3};
  const size_t data = padded * size_t(image.height);
  std::vector<uint8_t> file(54 + data, 0);
  uint8_t* h = file.data();
  h[0] = 'B';
  h[1] = 'M';
  put_u32(h + 2, static_cast<uint32_t>(file.size()));
  put_u32(h + 10, 54);
  put_u32(h + 14, 40);
  put_u32(h + 18, static_cast<uint32_t>(image.width));
  put_u32(h + 22, static_cast<uint32_t>(image.height));
  put_u16(h + 26, 1);
  put_u16(h + 28, 24);
  put_u32(h + 34, static_cast<uint32_t>(data));
  for (int32_t y = 0; y < image.height; ++y)
    std::memcpy(h + 54 + size_t(y) * padded, image.pixels.data() + size_t(y) * row, row);
  return file;
}

}  // namespace korvane
