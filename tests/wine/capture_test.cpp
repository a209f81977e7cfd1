#include "picture/capture_win32.h"

#include <gtest/gtest.h>

#include "picture/bmp_file.h"
#include "support/test_windows.h"

namespace korvane {
namespace {

using test::PictureWindow;

TEST(Capture, WindowWithKnownContentComesBackPixelForPixel) {
  const test::TestPicture picture = test::gradient_picture(150, 150);
  PictureWindow window(nullptr, RECT{40, 30, 190, 180}, &picture);
  test::dispatch_messages();
  const Bytes capture = capture_window(window.hwnd());
  ASSERT_EQ(capture.size(), 67854);
  std::vector<uint8_t> expected_rows(size_t(452) * 150, 0);
  for (int32_t y = 0; y < 150; ++y) memcpy(&expected_rows[size_t(149 - y) * 452], picture.at(0, y), 450);
  const Bytes expected = encode_bmp(150, 150, expected_rows.data());
  ASSERT_EQ(0, memcmp(capture.data(), expected.data(), 54)) << "headers";
  for (int32_t row = 0; row < 150; ++row)
    ASSERT_EQ(0, memcmp(capture.data() + 54 + row * 452, expected.data() + 54 + row * 452, 452)) << "stored row " << row;
  // The first pixel stored is the bottom-left one.
  EXPECT_EQ(capture.data()[54 + 1], 149);
}

TEST(Capture, SixtyByEightyThreeWindowHasUnpaddedRows) {
  const test::TestPicture picture = test::gradient_picture(60, 83);
  PictureWindow window(nullptr, RECT{300, 30, 360, 113}, &picture);
  test::dispatch_messages();
  const Bytes capture = capture_window(window.hwnd());
  ASSERT_EQ(capture.size(), 14994);
  const std::optional<BmpView> view = view_bmp(capture.span());
  ASSERT_TRUE(view);
  EXPECT_EQ(view->row_stride, 180);
  for (int32_t y = 0; y < 83; ++y)
    ASSERT_EQ(0, memcmp(view->pixel(0, y), picture.at(0, y), 180)) << "row " << y;
}

TEST(Capture, DestroyedWindowGivesTheEmptyValue) {
  const test::TestPicture picture = test::plain_picture(10, 10, 1, 2, 3);
  PictureWindow window(nullptr, RECT{0, 0, 10, 10}, &picture);
  const HWND gone = window.hwnd();
  window.destroy();
  EXPECT_TRUE(capture_window(gone).missing());
}

TEST(Capture, RequestedSizesFollowThePercentRule) {
  const test::TestPicture picture = test::gradient_picture(150, 100);
  PictureWindow window(nullptr, RECT{40, 300, 190, 400}, &picture);
  test::dispatch_messages();
  struct Case {
    int32_t width, height, expected_width, expected_height;
  };
  for (Case k : {Case{-5, 0, 15, 100}, {-50, 0, 75, 100}, {300, 0, 300, 100}, {0, -1, 150, 10},
                 {-100, -200, 150, 200}, {7, 9, 7, 9}}) {
    const Bytes capture = capture_window(window.hwnd(), k.width, k.height);
    const std::optional<BmpView> view = view_bmp(capture.span());
    ASSERT_TRUE(view) << k.width << "," << k.height;
    EXPECT_EQ(view->width, k.expected_width);
    EXPECT_EQ(view->height, k.expected_height);
  }
  EXPECT_EQ(capture_window(window.hwnd(), 0, 0).size(), 54 + 452 * 100);
  // A size no bitmap can have captures nothing rather than part of an image.
  EXPECT_TRUE(capture_window(window.hwnd(), 0, INT32_MIN).missing());
}

TEST(Capture, TargetSizeRule) {
  struct Case {
    int32_t natural, requested, expected;
  };
  for (Case k : {Case{150, 0, 150}, {150, -5, 15}, {150, -1, 15}, {150, -9, 15}, {150, -50, 75},
                 {150, 300, 300}, {5, -10, 1}, {3, -10, 0}, {150, -33, 50}, {83, -50, 42}}) {
    EXPECT_EQ(capture_target_size(k.natural, k.requested), k.expected) << k.natural << " " << k.requested;
  }
}

TEST(Capture, NullHandleCapturesTheScreen) {
  const Bytes capture = capture_window(nullptr, 0, 0);
  const std::optional<BmpView> view = view_bmp(capture.span());
  ASSERT_TRUE(view);
  EXPECT_EQ(view->width, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(view->height, GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace
}  // namespace korvane
