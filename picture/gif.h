// GIF: header parser, block walker and LZW frame decoder. The stream state lives as long as the
// picture box shows the GIF; the walker never ends a stream (the trailer rewinds it).
// A frame comes out as 8-bit colour indices, rows top-down, `stride` = width rounded up to a
// multiple of 4, with its 256-entry colour table as blue, green, red, 0.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "values/bytes.h"

namespace korvane {

struct GifStream {
  uint16_t screen_width = 0;
  uint16_t screen_height = 0;
  uint8_t background_index = 0;   // read and kept, never used
  int global_colour_count = 0;    // 0 when there is no global table
  uint8_t global_table[256 * 3] = {};  // red, green, blue
  std::vector<uint8_t> stream;    // private copy of everything after the header and global table
  size_t read_position = 0;
  // Frame control values, set by the walker when it passes a graphic control extension.
  uint32_t disposal_code = 0;     // packed byte AND 0x1C, unshifted: 0, 4, 8, 12 (higher: reserved)
  bool transparency = false;
  uint8_t transparent_index = 0;
  uint16_t delay = 0;             // hundredths of a second
  // Placement of the last frame decoded.
  int32_t frame_left = 0, frame_top = 0, frame_width = 0, frame_height = 0;
  // Colour of the transparent index in the table the last frame used (set only with transparency).
  uint8_t key_red = 0, key_green = 0, key_blue = 0;
  // Scratch kept between frames so that a playing animation does not allocate per frame: the
  // current image's sub-blocks joined, and the pixels in stream order when they cannot be
  // decoded in place (interlaced, or width not a multiple of 4).
  std::vector<uint8_t> image_data;
  std::vector<uint8_t> stream_order;
};

struct GifFrame {
  int32_t width = 0;
  int32_t height = 0;
  int32_t stride = 0;
  std::unique_ptr<uint8_t[]> indices;  // height * stride bytes (at least)
  size_t capacity = 0;                 // bytes allocated at indices; reused while large enough
  uint8_t palette[256][4] = {};        // blue, green, red, 0
};

bool parse_gif_header(ByteSpan bytes, GifStream& state);
// Advances past the next image; false when the walker gives no frame.
bool next_gif_frame(GifStream& state, GifFrame& frame);
void rewind_gif(GifStream& state);

}  // namespace korvane
