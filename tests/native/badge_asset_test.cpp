#include "assets/badge_picture.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "picture/bmp_file.h"

namespace korvane {
namespace {

ByteSpan badge() { return ByteSpan{kBadgePicture, sizeof kBadgePicture}; }

bool is_magenta(const uint8_t* bgr) { return bgr[0] == 255 && bgr[1] == 0 && bgr[2] == 255; }

// Columns 4-55 of rows 8-74, columns 8-52 of rows 4-7 and 75-78.
bool in_body(int32_t x, int32_t y) {
  if (y >= 8 && y <= 74) return x >= 4 && x <= 55;
  if ((y >= 4 && y <= 7) || (y >= 75 && y <= 78)) return x >= 8 && x <= 52;
  return false;
}

TEST(BadgeAsset, IsASixtyByEightyThreeCaptureLayoutBmp) {
  ASSERT_EQ(sizeof kBadgePicture, 14994u);
  const std::optional<BmpView> view = view_bmp(badge());
  ASSERT_TRUE(view);
  EXPECT_EQ(view->width, 60);
  EXPECT_EQ(view->height, 83);
  // Same headers as a capture of a 60 x 83 window.
  std::vector<uint8_t> rows(14940, 0);
  const Bytes capture_like = encode_bmp(60, 83, rows.data());
  EXPECT_EQ(0, memcmp(kBadgePicture, capture_like.data(), 54));
}

TEST(BadgeAsset, MagentaIsExactlyTheMarginAndTheNotches) {
  const BmpView view = *view_bmp(badge());
  int magenta = 0;
  for (int32_t y = 0; y < 83; ++y)
    for (int32_t x = 0; x < 60; ++x) {
      const bool key = is_magenta(view.pixel(x, y));
      magenta += key;
      ASSERT_EQ(key, !in_body(x, y)) << "(" << x << ", " << y << ")";
    }
  EXPECT_EQ(magenta, 1136);
}

TEST(BadgeAsset, BodyIsLitFromTheUpperLeft) {
  const BmpView view = *view_bmp(badge());
  auto brightness = [&](int32_t x, int32_t y) {
    const uint8_t* p = view.pixel(x, y);
    return p[0] + p[1] + p[2];
  };
  EXPECT_GT(brightness(4, 40), brightness(55, 40));   // left edge lighter than right
  EXPECT_GT(brightness(30, 4), brightness(30, 78));   // top edge lighter than bottom
  // The screen is light blue, lighter toward its upper left.
  const uint8_t* upper_left = view.pixel(10, 14);
  const uint8_t* lower_right = view.pixel(49, 62);
  EXPECT_GT(upper_left[0], upper_left[2]);
  EXPECT_GT(lower_right[0], lower_right[2]);
  EXPECT_GT(brightness(10, 14), brightness(49, 62));
}

}  // namespace
}  // namespace korvane
