// The badge button's normal picture: a complete 60 x 83, 24-bit BMP file image (14,994 bytes,
// rows bottom-up, no padding) of a phone whose see-through parts are exactly magenta
// (255, 0, 255). Generated at build time by assets/make_badge.py.
#pragma once

namespace korvane {

constexpr int kBadgePictureSize = 14994;
extern const unsigned char kBadgePicture[kBadgePictureSize];

}  // namespace korvane
