#include "picture/badge_shape.h"

#include <gtest/gtest.h>

#include "assets/badge_picture.h"
#include "picture/bmp_file.h"

namespace korvane {
namespace {

constexpr uint32_t kMagenta = 0x00FF00FF;

struct Collected {
  std::vector<size_t> batch_sizes;
  std::vector<ShapeRect> rects;
};

Collected shape_of(const std::vector<uint32_t>& pixels, int32_t width, int32_t height, uint32_t key) {
  Collected c;
  build_picture_shape(pixels.data(), width, height, key, [&](const ShapeRect* r, size_t n) {
    c.batch_sizes.push_back(n);
    c.rects.insert(c.rects.end(), r, r + n);
  });
  return c;
}

// How many rectangles cover each pixel.
std::vector<int> coverage(const Collected& c, int32_t width, int32_t height) {
  std::vector<int> count(size_t(width) * height, 0);
  for (const ShapeRect& r : c.rects) {
    EXPECT_TRUE(r.left >= 0 && r.left < r.right && r.right <= width && r.top >= 0 && r.bottom == r.top + 1 &&
                r.bottom <= height);
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x) ++count[size_t(y) * width + x];
  }
  return count;
}

TEST(BadgeShape, BadgeShapeCoversExactlyItsNonMagentaPixels) {
  const BmpView view = *view_bmp(ByteSpan{kBadgePicture, sizeof kBadgePicture});
  std::vector<uint32_t> pixels(60 * 83);
  for (int32_t y = 0; y < 83; ++y)
    for (int32_t x = 0; x < 60; ++x) {
      const uint8_t* p = view.pixel(x, y);
      // The high byte is not part of the colour; put something there.
      pixels[size_t(y) * 60 + x] = 0xAB000000u | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
  const Collected c = shape_of(pixels, 60, 83, kMagenta);
  const std::vector<int> count = coverage(c, 60, 83);
  for (size_t i = 0; i < pixels.size(); ++i)
    ASSERT_EQ(count[i], (pixels[i] & 0xFFFFFF) == kMagenta ? 0 : 1) << "pixel " << i;
  // One run per body row: the badge's body has no magenta inside it.
  EXPECT_EQ(c.rects.size(), 75u);
  EXPECT_EQ(c.batch_sizes, std::vector<size_t>{75});
}

TEST(BadgeShape, EdgeCases) {
  struct Case {
    const char* name;
    int32_t width, height;
    std::vector<uint32_t> pixels;
    uint32_t key;
    size_t rects;
  };
  const Case cases[] = {
      {"every pixel the key", 3, 2, std::vector<uint32_t>(6, kMagenta), kMagenta, 0},
      {"no pixel the key", 3, 2, std::vector<uint32_t>(6, 0x00123456), kMagenta, 2},
      {"near miss in one channel is opaque", 2, 1, {0x00FF00FE, 0x00FE00FF}, kMagenta, 1},
      {"key high byte ignored", 2, 1, {kMagenta, 0x00000000}, 0xFF000000 | kMagenta, 1},
      {"runs split by single key pixels", 5, 1, {1, kMagenta, 2, 3, kMagenta}, kMagenta, 2},
      {"one pixel", 1, 1, {7}, kMagenta, 1},
  };
  for (const Case& k : cases) {
    const Collected c = shape_of(k.pixels, k.width, k.height, k.key);
    EXPECT_EQ(c.rects.size(), k.rects) << k.name;
    ASSERT_EQ(c.batch_sizes.size(), 1u) << k.name;  // the final delivery always comes
    const std::vector<int> count = coverage(c, k.width, k.height);
    for (size_t i = 0; i < k.pixels.size(); ++i)
      EXPECT_EQ(count[i], ((k.pixels[i] ^ k.key) & 0xFFFFFF) == 0 ? 0 : 1) << k.name << " pixel " << i;
  }
}

TEST(BadgeShape, RectanglesComeInBatchesOfTwoThousand) {
  // Every other pixel is the key: 50 runs a row, 5,000 in all.
  std::vector<uint32_t> pixels(100 * 100);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = (i % 2) ? kMagenta : 0;
  const Collected exact = shape_of(pixels, 100, 100, kMagenta);
  EXPECT_EQ(exact.batch_sizes, (std::vector<size_t>{2000, 2000, 1000}));
  // Exactly 4,000 rectangles: the last delivery is empty.
  const Collected even = shape_of(std::vector<uint32_t>(pixels.begin(), pixels.begin() + 8000), 100, 80, kMagenta);
  EXPECT_EQ(even.batch_sizes, (std::vector<size_t>{2000, 2000, 0}));
}

TEST(BadgeShape, NothingForUnusableInput) {
  int calls = 0;
  auto count = [&](const ShapeRect*, size_t) { ++calls; };
  const uint32_t one = 0;
  build_picture_shape(nullptr, 4, 4, 0, count);
  build_picture_shape(&one, 0, 1, 0, count);
  build_picture_shape(&one, 1, -1, 0, count);
  EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace korvane
