// An animated GIF being played: the stream state of gif.h, the canvas of picture_box.h on which
// its frames are composed, and the saved area of the last frame. One frame step restores what
// the previous frame's disposal asks for, decodes the next frame from the compressed stream and
// composes it; no decoded frames are kept besides the canvas.
#pragma once
#include <cstdint>
#include <optional>
#include <utility>

#include "picture/gif.h"
#include "picture/picture_box.h"

namespace korvane {

// Not thread-safe; the player holds its canvas lock around step() and every use of canvas().
class GifAnimation {
 public:
  // `stream` has had its header parsed; its read position should be 0.
  explicit GifAnimation(GifStream stream) : stream_(std::move(stream)) {}

  // Makes the white canvas of the screen size; false when that is refused (the animation then
  // steps through its frames with nothing to draw on).
  bool make_canvas();

  // One frame: undo the last frame's disposal, take the next frame from the walker and compose
  // it. False when the walker gave no frame (the canvas is unchanged).
  bool step();

  // How long the frame just composed stays: its delay in milliseconds, 0 standing for 50.
  uint32_t delay_ms() const;

  const GifCanvas* canvas() const { return canvas_ ? &*canvas_ : nullptr; }
  const GifStream& stream() const { return stream_; }

 private:
  GifStream stream_;
  GifFrame frame_;
  std::optional<GifCanvas> canvas_;
};

// Whether the first frame of a freshly parsed stream is its only image: after decoding it the
// walker has reached the last byte (the trailer) or the end.
bool gif_is_single_image(const GifStream& after_first_frame);

}  // namespace korvane
