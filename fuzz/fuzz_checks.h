// What every decoder's result must satisfy, whatever the input: a block of the size its kind
// implies, and every byte of it readable (touching each byte lets AddressSanitizer see it).
#pragma once
#include <cstdint>
#include <cstdlib>

#include "picture/picture.h"

namespace korvane {

inline void check_decoded(const DecodedPicture& p) {
  uint64_t expected = 0;
  switch (p.kind) {
    case PictureKind::bmp:
    case PictureKind::jpeg: expected = uint64_t(p.width) * p.height * 3; break;
    case PictureKind::pcx8: expected = 1064 + uint64_t(p.height) * p.row_bytes; break;
    case PictureKind::pcx1: expected = uint64_t(p.height) * p.row_bytes; break;
    default: expected = 0; break;
  }
  if (p.pixels.size != expected) std::abort();
  // A GIF's screen may claim 0 x 0; every other kind has pixels.
  if (p.kind != PictureKind::gif && (p.width <= 0 || p.height <= 0)) std::abort();
  if (p.pixels.size && uint64_t(p.width) * uint64_t(p.height) > kMaxPicturePixels) std::abort();
  volatile uint8_t sink = 0;
  for (size_t i = 0; i < p.pixels.size; i += 61) sink = sink ^ p.pixels.bytes[i];
  if (p.pixels.size) sink = sink ^ p.pixels.bytes[p.pixels.size - 1];
}

}  // namespace korvane
