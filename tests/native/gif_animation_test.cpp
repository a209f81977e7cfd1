#include "picture/gif_animation.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/native/gif_writer.h"

namespace korvane {
namespace {

using test::gif_solid;
using test::GifTestImage;

constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00,
                   kYellow = 0xFFFF00;

GifAnimation animation_of(const std::vector<uint8_t>& gif) {
  GifStream stream;
  EXPECT_TRUE(parse_gif_header(ByteSpan{gif.data(), gif.size()}, stream));
  return GifAnimation(std::move(stream));
}

// A covers the screen, B (the disposal under test) a corner, C the opposite corner.
std::vector<uint8_t> abc_gif(uint32_t b_disposal) {
  std::vector<GifTestImage> frames = {gif_solid(0, 0, 8, 8, 0), gif_solid(1, 1, 3, 3, 1), gif_solid(5, 5, 3, 3, 2)};
  frames[0].disposal_code = 4;
  frames[1].disposal_code = b_disposal;
  std::vector<uint8_t> gif = test::make_gif(8, 8, {kRed, kBlue, kGreen, kYellow}, frames);
  gif[11] = 3;  // the background index names yellow, which restoring must not paint
  return gif;
}

TEST(GifAnimation, RestoringDisposalsBringBackWhatTheFrameCovered) {
  for (uint32_t disposal : {8u, 12u}) {
    GifAnimation a = animation_of(abc_gif(disposal));
    ASSERT_TRUE(a.make_canvas());
    ASSERT_TRUE(a.step());
    ASSERT_TRUE(a.step());
    EXPECT_EQ(a.canvas()->pixel_at(2, 2), kBlue);
    ASSERT_TRUE(a.step());
    EXPECT_EQ(a.canvas()->pixel_at(2, 2), kRed) << disposal;
    EXPECT_EQ(a.canvas()->pixel_at(6, 6), kGreen) << disposal;
  }
}

TEST(GifAnimation, OtherDisposalsLeaveTheFrameInPlace) {
  for (uint32_t disposal : {0u, 4u, 16u, 28u}) {
    GifAnimation a = animation_of(abc_gif(disposal));
    ASSERT_TRUE(a.make_canvas());
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(a.step());
    EXPECT_EQ(a.canvas()->pixel_at(2, 2), kBlue) << disposal;
  }
}

TEST(GifAnimation, TransparentPixelsShowTheCanvasAndTheTrailerStartsOver) {
  std::vector<GifTestImage> frames = {gif_solid(0, 0, 4, 4, 0), gif_solid(0, 0, 4, 4, 1)};
  frames[0].transparent = true;  // index 0 (red) is see-through: the white canvas shows
  frames[0].transparent_index = 0;
  frames[1].transparent = false;
  GifAnimation a = animation_of(test::make_gif(4, 4, {kRed, kBlue}, frames));
  ASSERT_TRUE(a.make_canvas());
  ASSERT_TRUE(a.step());
  EXPECT_EQ(a.canvas()->pixel_at(0, 0), kWhite);
  ASSERT_TRUE(a.step());
  EXPECT_EQ(a.canvas()->pixel_at(0, 0), kBlue);
  ASSERT_TRUE(a.step());  // the first frame again, drawn over what the canvas holds
  EXPECT_EQ(a.canvas()->pixel_at(3, 3), kBlue);
}

TEST(GifAnimation, DelaysInMillisecondsWithZeroStandingForFifty) {
  std::vector<GifTestImage> frames = {gif_solid(0, 0, 2, 2, 0), gif_solid(0, 0, 2, 2, 1), gif_solid(0, 0, 2, 2, 0)};
  frames[0].delay = 0;
  frames[1].delay = 20;
  frames[2].control = false;  // keeps the values of the last control block
  GifAnimation a = animation_of(test::make_gif(2, 2, {kRed, kBlue}, frames));
  ASSERT_TRUE(a.make_canvas());
  const uint32_t expected[] = {50, 200, 200};
  for (uint32_t ms : expected) {
    ASSERT_TRUE(a.step());
    EXPECT_EQ(a.delay_ms(), ms);
  }
}

TEST(GifAnimation, ScreensTooLargeForACanvasStillStep) {
  GifAnimation a = animation_of(test::make_gif(65535, 65535, {kRed, kBlue}, {gif_solid(0, 0, 2, 2, 0), gif_solid(0, 0, 2, 2, 1)}));
  EXPECT_FALSE(a.make_canvas());
  EXPECT_TRUE(a.step());
  EXPECT_EQ(a.canvas(), nullptr);
}

TEST(GifAnimation, SingleImageIsToldFromAnAnimationByTheFirstFrame) {
  const struct {
    int images;
    bool single;
  } cases[] = {{1, true}, {2, false}, {3, false}};
  for (const auto& c : cases) {
    std::vector<GifTestImage> frames(static_cast<size_t>(c.images), gif_solid(0, 0, 3, 3, 1));
    const std::vector<uint8_t> gif = test::make_gif(3, 3, {kRed, kBlue}, frames);
    GifStream s;
    ASSERT_TRUE(parse_gif_header(ByteSpan{gif.data(), gif.size()}, s));
    GifFrame f;
    ASSERT_TRUE(next_gif_frame(s, f));
    EXPECT_EQ(gif_is_single_image(s), c.single) << c.images;
  }
}

}  // namespace
}  // namespace korvane
