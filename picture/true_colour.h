// Decoded pictures as plain true-colour images, for the native tool and the tests: width x height
// pixels of blue, green, red, bottom row first, rows unpadded (the bmp and jpeg layout).
// GIF: the first frame composed on a white canvas of the logical screen, drawn at its place
// with its colour key applied, as the player composes it. Icons and cursors: the chosen image
// over white (DIB-form images only; see icon_pixels.h).
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "picture/picture.h"

namespace korvane {

struct TrueColourImage {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> pixels;  // width * height * 3
};

std::optional<TrueColourImage> to_true_colour(const DecodedPicture& picture, ByteSpan bytes);

// A 24-bit BMP file of the image: 54-byte header, rows bottom-up padded to 4 bytes.
std::vector<uint8_t> encode_bmp24(const TrueColourImage& image);

}  // namespace korvane
