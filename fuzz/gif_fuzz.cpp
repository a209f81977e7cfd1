// The header, then the walker as the player drives it: many calls in a row, across rewinds,
// reusing one frame so that buffer reuse between frames of different sizes is exercised too.
#include <cstdlib>

#include "picture/gif.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  korvane::GifStream state;
  if (!korvane::parse_gif_header(korvane::ByteSpan{data, size}, state)) return 0;
  korvane::GifFrame frame;
  volatile uint8_t sink = 0;
  for (int call = 0; call < 24; ++call) {
    if (!korvane::next_gif_frame(state, frame)) continue;
    if (frame.width <= 0 || frame.height <= 0 || frame.stride < frame.width || frame.stride % 4 != 0 ||
        uint64_t(frame.stride) * frame.height > frame.capacity)
      std::abort();
    if (state.read_position > state.stream.size()) std::abort();
    sink = sink ^ frame.indices[0] ^ frame.indices[size_t(frame.stride) * frame.height - 1];
  }
  return 0;
}
