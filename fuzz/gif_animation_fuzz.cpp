// Plays hostile GIF bytes the way the picture box's player does: header, then frame steps
// composing onto the canvas (placements outside the screen, restoring disposals, colour keys).
#include <cstddef>
#include <cstdint>

#include "picture/gif_animation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  korvane::GifStream stream;
  if (!korvane::parse_gif_header(korvane::ByteSpan{data, size}, stream)) return 0;
  // Keep each input cheap: a large screen only costs time, not coverage.
  if (uint64_t{stream.screen_width} * stream.screen_height > (1u << 20)) return 0;
  korvane::GifAnimation animation(std::move(stream));
  animation.make_canvas();
  for (int i = 0; i < 8; ++i) {
    animation.step();
    animation.delay_ms();
  }
  return 0;
}
