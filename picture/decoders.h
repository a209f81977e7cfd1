// The per-format decoders behind decode_picture. Each takes the whole input and returns a decoded
// picture or nothing; none prints, throws or keeps state.
#pragma once
#include <cstdint>
#include <new>
#include <optional>

#include "picture/picture.h"

namespace korvane {

std::optional<DecodedPicture> decode_bmp(ByteSpan bytes);
std::optional<DecodedPicture> decode_jpeg(ByteSpan bytes, DecodeObserver* observer = nullptr);
std::optional<DecodedPicture> decode_pcx(ByteSpan bytes);
// Icon and cursor: locates the chosen image; kind icon or cursor from the file's type word.
std::optional<DecodedPicture> decode_icon(ByteSpan bytes);
// The GIF header alone, without copying the stream: kind gif, width and height of the screen.
std::optional<DecodedPicture> check_gif(ByteSpan bytes);

// An uninitialised pixel block (big blocks are not zero-filled); empty on failure.
inline PixelBlock allocate_pixel_block(uint64_t size) {
  PixelBlock block;
  if (size == 0 || size > SIZE_MAX) return block;
  block.bytes.reset(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
  if (block.bytes) block.size = static_cast<size_t>(size);
  return block;
}

}  // namespace korvane
