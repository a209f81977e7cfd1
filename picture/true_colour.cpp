#include "picture/true_colour.h"

#include <cstring>

#include "picture/bmp_file.h"
#include "picture/gif.h"
#include "picture/icon_pixels.h"
#include "picture/picture_box.h"

namespace korvane {
namespace {

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
    case PictureKind::jpeg:
    case PictureKind::pcx8:
    case PictureKind::pcx1: {
      // The picture box's own view of the pixels, so the tool shows exactly what the box scales.
      const TrueColourPicture view = true_colour_of(picture);
      if (!view.view.rows || view.view.bytes_per_pixel != 3) return std::nullopt;
      TrueColourImage image = blank(view.view.width, view.view.height, 0);
      for (int32_t y = 0; y < view.view.height; ++y)
        std::memcpy(at(image, 0, y), view.view.rows + static_cast<ptrdiff_t>(y) * view.view.stride,
                    static_cast<size_t>(view.view.width) * 3);
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
  write_bmp_headers(file.data(), image.width, image.height, static_cast<int32_t>(data));
  for (int32_t y = 0; y < image.height; ++y)
    std::memcpy(file.data() + 54 + size_t(y) * padded, image.pixels.data() + size_t(y) * row, row);
  return file;
}

}  // namespace korvane
