#include "picture/scaler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace korvane {
namespace {

struct Image {
  int32_t width, height, bpp;
  std::vector<uint8_t> bytes;
  Image(int32_t w, int32_t h, int32_t b = 3) : width(w), height(h), bpp(b), bytes(size_t(w) * h * b) {}
  uint8_t* at(int32_t x, int32_t y) { return &bytes[(size_t(y) * width + x) * bpp]; }
  ImageView view() const { return ImageView{bytes.data(), width, height, ptrdiff_t(width) * bpp, bpp}; }
  MutableImageView mutable_view() { return MutableImageView{bytes.data(), width, height, ptrdiff_t(width) * bpp, bpp}; }
};

// Deterministic content with every channel different.
Image pattern(int32_t w, int32_t h, int32_t bpp = 3) {
  Image img(w, h, bpp);
  uint32_t state = uint32_t(w * 7919 + h * 104729);
  for (auto& b : img.bytes) {
    state = state * 1664525u + 1013904223u;
    b = uint8_t(state >> 24);
  }
  return img;
}

// The exact mean of the source area under each target pixel, computed in floating point from the
// geometric overlap of the two pixel grids.
double reference_mean(const Image& src, int32_t tw, int32_t th, int32_t tx, int32_t ty, int32_t c) {
  const double x0 = double(tx) * src.width / tw, x1 = double(tx + 1) * src.width / tw;
  const double y0 = double(ty) * src.height / th, y1 = double(ty + 1) * src.height / th;
  double sum = 0, area = 0;
  for (int32_t y = 0; y < src.height; ++y) {
    const double oy = std::min<double>(y + 1, y1) - std::max<double>(y, y0);
    if (oy <= 0) continue;
    for (int32_t x = 0; x < src.width; ++x) {
      const double ox = std::min<double>(x + 1, x1) - std::max<double>(x, x0);
      if (ox <= 0) continue;
      sum += ox * oy * src.bytes[(size_t(y) * src.width + x) * src.bpp + c];
      area += ox * oy;
    }
  }
  return sum / area;
}

struct SizeCase {
  int32_t sw, sh, tw, th;
};

class AreaAverageSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(AreaAverageSizes, EveryPixelIsTheRoundedMeanOfItsArea) {
  const SizeCase k = GetParam();
  const Image src = pattern(k.sw, k.sh);
  Image dst(k.tw, k.th);
  scale_area_average(src.view(), dst.mutable_view());
  for (int32_t y = 0; y < k.th; ++y)
    for (int32_t x = 0; x < k.tw; ++x)
      for (int32_t c = 0; c < 3; ++c) {
        const double mean = reference_mean(src, k.tw, k.th, x, y, c);
        ASSERT_LE(std::fabs(dst.at(x, y)[c] - mean), 0.5 + 1e-9) << x << "," << y << " channel " << c;
      }
}

INSTANTIATE_TEST_SUITE_P(Shapes, AreaAverageSizes,
                         ::testing::Values(SizeCase{300, 200, 150, 150}, SizeCase{100, 50, 150, 150},
                                           SizeCase{150, 150, 150, 150}, SizeCase{7, 5, 3, 4},
                                           SizeCase{13, 1, 4, 3}, SizeCase{1, 9, 5, 2},
                                           SizeCase{1, 1, 6, 6}, SizeCase{149, 151, 150, 150},
                                           SizeCase{1000, 3, 150, 150}));

TEST(AreaAverage, EqualSizeIsAnExactCopy) {
  const Image src = pattern(37, 23);
  Image dst(37, 23);
  scale_area_average(src.view(), dst.mutable_view());
  EXPECT_EQ(dst.bytes, src.bytes);
  Image near(37, 23);
  scale_nearest(src.view(), near.mutable_view());
  EXPECT_EQ(near.bytes, src.bytes);
}

TEST(AreaAverage, HalvingAveragesTwoByTwoBlocksRoundingHalvesUp) {
  Image src(4, 2);
  const uint8_t left[4] = {10, 11, 20, 21};   // mean 15.5 -> 16
  const uint8_t right[4] = {0, 0, 0, 255};    // mean 63.75 -> 64
  for (int i = 0; i < 4; ++i) {
    src.at(i % 2, i / 2)[0] = left[i];
    src.at(2 + i % 2, i / 2)[0] = right[i];
    src.at(i % 2, i / 2)[1] = 200;
    src.at(2 + i % 2, i / 2)[2] = 1;  // mean 1
  }
  Image dst(2, 1);
  scale_area_average(src.view(), dst.mutable_view());
  EXPECT_EQ(dst.at(0, 0)[0], 16);
  EXPECT_EQ(dst.at(0, 0)[1], 200);
  EXPECT_EQ(dst.at(1, 0)[0], 64);
  EXPECT_EQ(dst.at(1, 0)[2], 1);
}

TEST(AreaAverage, EnlargingBlendsOnlyWhereTargetPixelsStraddleTwoSources) {
  Image src(2, 1);
  src.at(0, 0)[0] = 0;
  src.at(1, 0)[0] = 99;
  Image dst(3, 2);
  scale_area_average(src.view(), dst.mutable_view());
  for (int32_t y = 0; y < 2; ++y) {
    EXPECT_EQ(dst.at(0, y)[0], 0);
    EXPECT_EQ(dst.at(1, y)[0], 50);  // 49.5 rounds up
    EXPECT_EQ(dst.at(2, y)[0], 99);
  }
}

TEST(AreaAverage, OnePixelSourceFillsTheTarget) {
  Image src(1, 1);
  src.at(0, 0)[0] = 1, src.at(0, 0)[1] = 2, src.at(0, 0)[2] = 3;
  Image dst(150, 150);
  scale_area_average(src.view(), dst.mutable_view());
  for (int32_t i = 0; i < 150 * 150; ++i) {
    ASSERT_EQ(dst.bytes[i * 3], 1);
    ASSERT_EQ(dst.bytes[i * 3 + 1], 2);
    ASSERT_EQ(dst.bytes[i * 3 + 2], 3);
  }
}

TEST(Scalers, FourBytePixelsGiveTheSameColoursAsThreeBytePixels) {
  const Image src3 = pattern(31, 17);
  Image src4(31, 17, 4);
  for (size_t i = 0; i < size_t(31 * 17); ++i) std::memcpy(&src4.bytes[i * 4], &src3.bytes[i * 3], 3);
  for (auto scale : {scale_area_average, scale_nearest}) {
    Image dst3(20, 40), dst4(20, 40, 4), mixed(20, 40, 4);
    std::fill(mixed.bytes.begin(), mixed.bytes.end(), 0xEE);
    scale(src3.view(), dst3.mutable_view());
    scale(src4.view(), dst4.mutable_view());
    scale(src3.view(), mixed.mutable_view());
    for (size_t i = 0; i < size_t(20 * 40); ++i) {
      ASSERT_EQ(0, std::memcmp(&dst3.bytes[i * 3], &dst4.bytes[i * 4], 3));
      ASSERT_EQ(0, std::memcmp(&dst3.bytes[i * 3], &mixed.bytes[i * 4], 3));
      ASSERT_EQ(mixed.bytes[i * 4 + 3], 0);  // no fourth byte in the source: written as 0
    }
  }
}

TEST(Scalers, NegativeStridesReadBottomUpBuffersAndWriteBottomUpTargets) {
  const Image src = pattern(45, 33);
  // The same picture stored bottom-up with padded rows, as a DIB holds it.
  const ptrdiff_t padded = 45 * 3 + 1;
  std::vector<uint8_t> bottom_up(size_t(padded) * 33);
  for (int32_t y = 0; y < 33; ++y)
    std::memcpy(&bottom_up[size_t(32 - y) * padded], &src.bytes[size_t(y) * 45 * 3], 45 * 3);
  const ImageView flipped{bottom_up.data() + 32 * padded, 45, 33, -padded, 3};
  for (auto scale : {scale_area_average, scale_nearest}) {
    Image expected(150, 150);
    scale(src.view(), expected.mutable_view());
    std::vector<uint8_t> out(150 * 452);
    scale(flipped, MutableImageView{out.data() + 149 * 452, 150, 150, -452, 3});
    for (int32_t y = 0; y < 150; ++y)
      ASSERT_EQ(0, std::memcmp(&out[size_t(149 - y) * 452], expected.at(0, y), 450)) << "row " << y;
  }
}

TEST(Nearest, RepeatsAndDropsWholeColumnsAndRows) {
  Image src(4, 2);
  for (int32_t x = 0; x < 4; ++x) src.at(x, 0)[0] = uint8_t(x), src.at(x, 1)[0] = uint8_t(10 + x);
  Image wide(8, 4);
  scale_nearest(src.view(), wide.mutable_view());
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(wide.at(x, y)[0], (y < 2 ? 0 : 10) + x / 2);
  Image narrow(2, 1);
  scale_nearest(src.view(), narrow.mutable_view());
  // Each target pixel takes the source pixel under its centre.
  EXPECT_EQ(narrow.at(0, 0)[0], 11);
  EXPECT_EQ(narrow.at(1, 0)[0], 13);
}

TEST(Scalers, UnusableViewsLeaveTheTargetUntouched) {
  const Image src = pattern(4, 4);
  Image dst(2, 2);
  std::fill(dst.bytes.begin(), dst.bytes.end(), 7);
  ImageView empty = src.view();
  empty.width = 0;
  ImageView odd = src.view();
  odd.bytes_per_pixel = 2;
  for (auto scale : {scale_area_average, scale_nearest}) {
    scale(empty, dst.mutable_view());
    scale(odd, dst.mutable_view());
    scale(ImageView{}, dst.mutable_view());
  }
  for (uint8_t b : dst.bytes) ASSERT_EQ(b, 7);
}

// A source written row by row while it is scaled: the scaler waits for every row it reads,
// in order, and the result is the same as scaling the finished source.
class RecordingGate : public RowGate {
 public:
  explicit RecordingGate(int32_t give_up_after = -1) : give_up_after_(give_up_after) {}
  bool wait_for_rows(int32_t rows) override {
    if (rows < highest) out_of_order = true;
    highest = rows;
    ++waits;
    return give_up_after_ < 0 || waits <= give_up_after_;
  }
  int32_t highest = 0;
  int waits = 0;
  bool out_of_order = false;

 private:
  int give_up_after_;
};

TEST(AreaAverage, GatedSourceIsWaitedForRowByRowAndScalesTheSame) {
  const Image src = pattern(97, 61);
  Image whole(23, 17), gated(23, 17);
  scale_area_average(src.view(), whole.mutable_view());
  RecordingGate gate;
  EXPECT_TRUE(scale_area_average(src.view(), gated.mutable_view(), gate));
  EXPECT_EQ(gated.bytes, whole.bytes);
  EXPECT_EQ(gate.highest, 61);
  EXPECT_EQ(gate.waits, 61);
  EXPECT_FALSE(gate.out_of_order);

  RecordingGate giving_up(10);
  Image abandoned(23, 17);
  EXPECT_FALSE(scale_area_average(src.view(), abandoned.mutable_view(), giving_up));
  EXPECT_EQ(giving_up.waits, 11);
}

}  // namespace
}  // namespace korvane
