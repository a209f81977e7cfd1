#include "picture/picture_box_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "picture/capture_win32.h"
#include "picture/gdi_owners_win32.h"
#include "picture/picture.h"
#include "picture/picture_box.h"
#include "support/box_window.h"
#include "support/picture_files.h"
#include "tests/native/gif_writer.h"

namespace korvane {
namespace {

using test::ClientPixels;

constexpr int32_t kSide = 150;
constexpr uint32_t kWhite = 0xFFFFFF, kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00,
                   kYellow = 0xFFFF00;

std::vector<uint8_t> settings_record() {
  std::vector<uint8_t> r;
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) r.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  u32(2);           // version
  u32(0);           // no border
  u32(0x00FFFFFF);  // white
  u32(1);           // stretched
  u32(1);           // animation on
  u32(0);           // no picture
  u32(0);           // data source
  u32(0);           // data column
  return r;
}

ByteSpan span_of(const std::vector<uint8_t>& v) { return ByteSpan{v.data(), v.size()}; }

uint32_t colour_at(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
}

int count_of(const ClientPixels& p, uint32_t colour) {
  return static_cast<int>(std::count(p.rgb.begin(), p.rgb.end(), colour));
}

class PictureBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ControlPlace place;
    place.left = 2;
    place.top = 1;
    place.width = kSide;
    place.height = kSide;
    place.child_id = 120;
    const std::vector<uint8_t> record = settings_record();
    box_ = PictureBox::create(span_of(record), place, test::shared_test_parent());
    ASSERT_TRUE(box_);
    ShowWindow(box_->hwnd(), SW_SHOWNA);
    test::pump_messages(50);
  }

  void show(const std::vector<uint8_t>& file, DWORD settle_ms = 60) {
    box_->set_picture(span_of(file));
    test::pump_messages(settle_ms);
  }

  ClientPixels shown() { return test::captured(box_->hwnd()); }

  // Waits up to `ms` for the pixel at (x, y) to take `colour`.
  bool wait_for(int x, int y, uint32_t colour, DWORD ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
      if (colour_at(box_->hwnd(), x, y) == colour) return true;
      test::pump_messages(2);
    }
    return false;
  }

  std::unique_ptr<PictureBox> box_;
};

TEST_F(PictureBoxTest, IsWhiteBeforeAnyPicture) {
  EXPECT_EQ(capture_window(box_->hwnd()).size(), 54 + 452 * 150);
  const ClientPixels p = shown();
  ASSERT_EQ(p.width, kSide);
  ASSERT_EQ(p.height, kSide);
  EXPECT_EQ(count_of(p, kWhite), kSide * kSide);
}

TEST_F(PictureBoxTest, ShowsWhatTheScalerComputes) {
  const struct {
    int32_t width, height;
  } sizes[] = {{300, 200}, {150, 150}, {100, 50}};
  for (const auto& size : sizes) {
    const test::TestImage image = test::patterned_image(size.width, size.height);
    show(test::bmp_file_of(image));
    const ImageView view{image.bgr.data(), image.width, image.height, static_cast<ptrdiff_t>(image.width) * 3, 3};
    EXPECT_EQ(test::differing_pixels(shown(), test::expected_scaled(view, kSide, kSide)), 0)
        << size.width << " x " << size.height;
  }
}

TEST_F(PictureBoxTest, JpegShowsItsDecodedPixelsScaled) {
  const std::vector<uint8_t> jpeg = test::jpeg_file_of(test::patterned_image(64, 48));
  std::optional<DecodedPicture> decoded = decode_picture(span_of(jpeg));
  ASSERT_TRUE(decoded);
  show(jpeg);
  EXPECT_EQ(test::differing_pixels(shown(), test::expected_scaled(true_colour_of(*decoded).view, kSide, kSide)), 0);
}

TEST_F(PictureBoxTest, RefusedOrEmptyBytesLeaveItWhite) {
  const std::vector<uint8_t> jpeg = test::jpeg_file_of(test::solid_image(40, 40, 0x204080));
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"png", test::png_file_start()},
      {"empty", {}},
      {"gif header only", {'G', 'I', 'F', '8', '9', 'a', 1, 0}},
      {"bmp cut short", {'B', 'M', 0, 0, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    show(jpeg);
    ASSERT_LT(count_of(shown(), kWhite), kSide * kSide / 2) << c.name;
    show(c.bytes);
    EXPECT_EQ(count_of(shown(), kWhite), kSide * kSide) << c.name;
  }
}

TEST_F(PictureBoxTest, IconIsDrawnAtFullSizeWithWhiteWhereItIsTransparent) {
  show(test::icon_file_with_transparent_border());
  const ClientPixels p = shown();
  // The red square covers icon pixels 8..23 of 32: 37.5..112.5 of 150.
  const struct {
    int x, y;
  } points[] = {{0, 0}, {30, 30}, {120, 75}, {149, 149}, {75, 5}};
  for (const auto& pt : points) EXPECT_EQ(p.at(pt.x, pt.y), kWhite) << pt.x << "," << pt.y;
  for (int xy : {42, 75, 108}) EXPECT_EQ(p.at(xy, xy), kRed) << xy;
  EXPECT_EQ(count_of(p, 0x000000), 0);
}

TEST_F(PictureBoxTest, TwoFrameGifAlternatesAtItsDelays) {
  std::vector<test::GifTestImage> frames = {test::gif_solid(0, 0, 10, 10, 0), test::gif_solid(0, 0, 10, 10, 1)};
  frames[0].delay = 0;   // stands for 50 ms
  frames[1].delay = 20;  // 200 ms
  show(test::make_gif(10, 10, {kRed, kBlue}, frames), 0);

  struct Run {
    uint32_t colour;
    ULONGLONG start;
  };
  std::vector<Run> runs;
  const ULONGLONG end = GetTickCount64() + 2000;
  while (GetTickCount64() < end) {
    const uint32_t c = colour_at(box_->hwnd(), 75, 75);
    if (runs.empty() || runs.back().colour != c) runs.push_back({c, GetTickCount64()});
    test::pump_messages(2);
  }
  std::vector<ULONGLONG> red, blue;
  for (size_t i = 1; i + 1 < runs.size(); ++i) {  // the first and last runs are cut by the window
    const ULONGLONG length = runs[i + 1].start - runs[i].start;
    if (runs[i].colour == kRed) red.push_back(length);
    else if (runs[i].colour == kBlue) blue.push_back(length);
    else ADD_FAILURE() << "unexpected colour " << std::hex << runs[i].colour;
    if (i + 1 < runs.size() && runs[i].colour == runs[i + 1].colour) ADD_FAILURE() << "no alternation";
  }
  ASSERT_GE(red.size(), 3u);
  ASSERT_GE(blue.size(), 3u);
  std::sort(red.begin(), red.end());
  std::sort(blue.begin(), blue.end());
  // Medians, with room for a loaded 2-core machine.
  EXPECT_GE(red[red.size() / 2], 25u);
  EXPECT_LE(red[red.size() / 2], 130u);
  EXPECT_GE(blue[blue.size() / 2], 150u);
  EXPECT_LE(blue[blue.size() / 2], 330u);
}

TEST_F(PictureBoxTest, RestoredFrameAreaShowsThePreviousFrameAgain) {
  // A covers the screen; B (disposal 8) a small area; C elsewhere. The background index names
  // yellow, which must not appear: restoring puts A's pixels back.
  std::vector<test::GifTestImage> frames = {test::gif_solid(0, 0, 20, 20, 0), test::gif_solid(2, 2, 6, 6, 1),
                                            test::gif_solid(12, 12, 6, 6, 2)};
  frames[0].disposal_code = 4;
  frames[0].delay = 10;
  frames[1].disposal_code = 8;
  frames[1].delay = 30;
  frames[2].delay = 500;
  std::vector<uint8_t> gif = test::make_gif(20, 20, {kRed, kBlue, kGreen, kYellow}, frames);
  gif[11] = 3;  // background index
  show(gif, 0);
  ASSERT_TRUE(wait_for(37, 37, kBlue, 3000)) << "B never shown";
  ASSERT_TRUE(wait_for(112, 112, kGreen, 3000)) << "C never shown";
  const ClientPixels p = shown();
  EXPECT_EQ(p.at(37, 37), kRed);
  EXPECT_EQ(p.at(112, 112), kGreen);
  for (uint32_t absent : {kBlue, kWhite, kYellow}) EXPECT_EQ(count_of(p, absent), 0) << std::hex << absent;
}

TEST_F(PictureBoxTest, SingleImageShowsItsTransparentIndexButAnAnimationShowsTheCanvas) {
  test::GifTestImage image = test::gif_solid(0, 0, 10, 10, 1);
  image.transparent = true;
  image.transparent_index = 1;
  show(test::make_gif(10, 10, {kRed, kBlue}, {image}));
  EXPECT_EQ(count_of(shown(), kBlue), kSide * kSide);

  test::GifTestImage second = test::gif_solid(0, 0, 10, 10, 0);
  second.delay = 100;
  image.delay = 100;
  show(test::make_gif(10, 10, {kRed, kBlue}, {image, second}), 0);
  ASSERT_TRUE(wait_for(75, 75, kWhite, 2000));
  EXPECT_EQ(count_of(shown(), kWhite), kSide * kSide);
}

TEST_F(PictureBoxTest, JpegSetWhileGifPlaysStopsThePlayerFirst) {
  std::vector<test::GifTestImage> frames = {test::gif_solid(0, 0, 10, 10, 0), test::gif_solid(0, 0, 10, 10, 1)};
  frames[0].delay = 2;
  frames[1].delay = 2;
  show(test::make_gif(10, 10, {kRed, kBlue}, frames), 0);
  ASSERT_TRUE(wait_for(75, 75, kBlue, 2000));
  ASSERT_NE(box_->player_thread(), nullptr);
  HANDLE player = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), box_->player_thread(), GetCurrentProcess(), &player,
                              SYNCHRONIZE, FALSE, 0));

  const std::vector<uint8_t> jpeg = test::jpeg_file_of(test::solid_image(30, 30, 0x208040));
  box_->set_picture(span_of(jpeg));
  EXPECT_EQ(WaitForSingleObject(player, 0), WAIT_OBJECT_0) << "player still running after set picture";
  EXPECT_EQ(box_->player_thread(), nullptr);
  CloseHandle(player);

  test::pump_messages(50);
  const ClientPixels jpeg_shown = shown();
  EXPECT_EQ(count_of(jpeg_shown, kRed) + count_of(jpeg_shown, kBlue), 0);
  for (int i = 0; i < 10; ++i) {
    test::pump_messages(30);
    EXPECT_TRUE(shown() == jpeg_shown) << "a GIF frame came over the JPEG";
  }
}

TEST_F(PictureBoxTest, ThousandPicturesLeaveNoGdiObjectsBehind) {
  std::vector<test::GifTestImage> frames = {test::gif_solid(0, 0, 16, 16, 0), test::gif_solid(4, 4, 8, 8, 1)};
  frames[1].disposal_code = 8;
  const std::vector<std::vector<uint8_t>> files = {
      test::jpeg_file_of(test::patterned_image(40, 30)),
      test::make_gif(16, 16, {kRed, kBlue}, frames),
      test::icon_file_with_transparent_border(),
      test::png_file_start(),
  };
  // Wine's GetGuiResources and GetProcessHandleCount count nothing (0); there the owners' own
  // counts stand in: GDI objects, and the box's icons, player threads and events.
  struct Counts {
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    long owned_gdi = live_gdi_objects();
    long owned_handles = PictureBox::live_handles();
    DWORD handles = 0;
    Counts() { GetProcessHandleCount(GetCurrentProcess(), &handles); }
  };
  for (const auto& f : files) show(f, 20);  // warm up: first-use allocations of the system
  const Counts before;
  for (int i = 0; i < 1000; ++i) {
    box_->set_picture(span_of(files[i % files.size()]));
    test::pump_messages(0);  // paints: draws the icon, starts the GIF player
  }
  show({}, 20);
  const Counts after;
  EXPECT_LE(after.gdi, before.gdi + 2);
  EXPECT_EQ(after.owned_gdi, before.owned_gdi);
  EXPECT_EQ(after.owned_handles, before.owned_handles);
  EXPECT_LE(after.handles, before.handles + 2);
}

}  // namespace
}  // namespace korvane
