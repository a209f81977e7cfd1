// The picture box's portable half: its settings record, the true-colour view of a decoded
// picture that the box scales, and the GIF canvas on which the player composes frames.
//
// GifCanvas pixels: 4 bytes each (blue, green, red, 0), rows top-down, stride = width * 4, owned
// by the canvas. A canvas is made white. Frames are drawn with a colour key (GIF transparency) and
// clipped to the canvas; one saved area at a time backs the "restore" disposals.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "picture/gif.h"
#include "picture/picture.h"
#include "picture/scaler.h"
#include "values/bytes.h"

namespace korvane {

// Colour value meaning "no colour": the system's button-face colour for a background.
constexpr uint32_t kNoColour = 0xFF000000;

struct PictureBoxSettings {
  uint32_t version = 2;
  int32_t border_style = 0;
  uint32_t background_colour = 0x00FFFFFF;  // 0x00BBGGRR, or kNoColour
  int32_t display_mode = 1;                 // 1: stretched over the client area
  int32_t play_animation = 1;
  Bytes picture;                            // initial picture; missing when the record has none
  Bytes data_source;                        // version 2 only
  Bytes data_column;                        // version 2 only
};

// Version 1 records end after the picture bytes; a version above 2 is refused, as is a record
// shorter than its fields. Bytes after the last field are ignored.
std::optional<PictureBoxSettings> parse_picture_box_settings(ByteSpan record);

// A decoded picture as blue, green, red pixels the scaler can read. For BMP and JPEG this is a
// view of the decoded block itself (bottom-up, so a negative stride); PCX pictures are expanded
// into `pixels`. Empty (`view.rows` null) for kinds without pixels or a block smaller than its
// header claims.
struct TrueColourPicture {
  ImageView view;
  std::unique_ptr<uint8_t[]> pixels;  // owned expansion, when the decoded layout needs one
};
TrueColourPicture true_colour_of(const DecodedPicture& picture);

// Canvases larger than this are not made (a GIF header names its screen size with nothing to back
// it): 2^25 pixels is a 128 MiB canvas, 5,792 x 5,792 when square.
constexpr uint64_t kMaxCanvasPixels = uint64_t{1} << 25;

class GifCanvas {
 public:
  // A white canvas, or nullopt when a side is not positive, the size is above kMaxCanvasPixels
  // or the memory cannot be had.
  static std::optional<GifCanvas> make(int32_t width, int32_t height);

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  ImageView view() const;
  // 0x00RRGGBB of the pixel at (x, y); (x, y) must lie on the canvas.
  uint32_t pixel_at(int32_t x, int32_t y) const;

  // Draws `frame` with its top-left corner at (left, top); the part outside the canvas is
  // dropped. With `key_colour` (0x00RRGGBB) every frame pixel of that colour leaves the canvas
  // as it was, whichever table entry it comes from.
  void draw_frame(const GifFrame& frame, int32_t left, int32_t top,
                  std::optional<uint32_t> key_colour);

  // Keeps a copy of the canvas under (left, top, width, height), clipped, replacing any earlier
  // copy; restore_saved_area() puts it back where it came from and drops it.
  void save_area(int32_t left, int32_t top, int32_t width, int32_t height);
  void restore_saved_area();
  bool has_saved_area() const { return saved_ != nullptr; }

 private:
  struct Clip {
    int32_t left = 0, top = 0, width = 0, height = 0;
  };
  Clip clip(int32_t left, int32_t top, int32_t width, int32_t height) const;

  int32_t width_ = 0;
  int32_t height_ = 0;
  std::unique_ptr<uint8_t[]> pixels_;
  Clip saved_place_;
  std::unique_ptr<uint8_t[]> saved_;
};

// A frame's pixels as decoded: its own size, every index in its table's colour, no transparency.
// This is what a single-image GIF shows.
std::optional<GifCanvas> canvas_of_frame(const GifFrame& frame);

}  // namespace korvane
