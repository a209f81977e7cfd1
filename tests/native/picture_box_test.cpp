#include "picture/picture_box.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace korvane {
namespace {

struct Record {
  std::vector<uint8_t> bytes;
  Record& u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  Record& counted(const std::string& s) {
    u32(static_cast<uint32_t>(s.size()));
    bytes.insert(bytes.end(), s.begin(), s.end());
    return *this;
  }
  ByteSpan span() const { return ByteSpan{bytes.data(), bytes.size()}; }
};

Record settings_record(uint32_t version, const std::string& picture) {
  Record r;
  r.u32(version).u32(0).u32(0x00FFFFFF).u32(1).u32(1).counted(picture);
  if (version >= 2) r.counted("source").counted("column");
  return r;
}

std::string text_of(const Bytes& b) {
  return b.missing() ? std::string() : std::string(reinterpret_cast<const char*>(b.data()), b.size());
}

TEST(PictureBoxSettings, ReadsTheRecordOfTheFrame) {
  auto s = parse_picture_box_settings(settings_record(2, "").span());
  ASSERT_TRUE(s);
  EXPECT_EQ(s->version, 2u);
  EXPECT_EQ(s->border_style, 0);
  EXPECT_EQ(s->background_colour, 0x00FFFFFFu);
  EXPECT_EQ(s->display_mode, 1);
  EXPECT_EQ(s->play_animation, 1);
  EXPECT_TRUE(s->picture.missing());
  EXPECT_EQ(text_of(s->data_source), "source");
  EXPECT_EQ(text_of(s->data_column), "column");
}

TEST(PictureBoxSettings, VersionOneHasNoDataSourceOrColumn) {
  auto s = parse_picture_box_settings(settings_record(1, "GIF89a").span());
  ASSERT_TRUE(s);
  EXPECT_EQ(text_of(s->picture), "GIF89a");
  EXPECT_TRUE(s->data_source.missing());
  EXPECT_TRUE(s->data_column.missing());
}

TEST(PictureBoxSettings, RefusesNewerVersionsAndShortRecords) {
  const Record full = settings_record(2, "xy");
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"version 3", settings_record(3, "").bytes},
      {"empty", {}},
      {"version only", std::vector<uint8_t>(full.bytes.begin(), full.bytes.begin() + 4)},
      {"picture cut short", std::vector<uint8_t>(full.bytes.begin(), full.bytes.begin() + 25)},
      {"no data column", std::vector<uint8_t>(full.bytes.begin(), full.bytes.end() - 10)},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(parse_picture_box_settings(ByteSpan{c.bytes.data(), c.bytes.size()})) << c.name;
  }
  Record huge_count;
  huge_count.u32(2).u32(0).u32(0).u32(1).u32(1).u32(0xFFFFFFF0u);
  EXPECT_FALSE(parse_picture_box_settings(huge_count.span()));
}

// ---- true-colour views --------------------------------------------------------------------

DecodedPicture picture_with_block(PictureKind kind, int32_t w, int32_t h, std::vector<uint8_t> block,
                                  int32_t row_bytes) {
  DecodedPicture p;
  p.kind = kind;
  p.width = w;
  p.height = h;
  p.row_bytes = row_bytes;
  p.pixels.size = block.size();
  p.pixels.bytes.reset(new uint8_t[block.size()]);
  std::memcpy(p.pixels.bytes.get(), block.data(), block.size());
  return p;
}

std::vector<uint8_t> top_row_of(const ImageView& v) {
  return std::vector<uint8_t>(v.rows, v.rows + v.width * 3);
}

TEST(TrueColour, BmpViewStartsAtTheTopRowOfABottomUpBlock) {
  // 2 x 2, bottom row first: bottom row red, red; top row blue, green.
  DecodedPicture p = picture_with_block(PictureKind::bmp, 2, 2,
                                        {0, 0, 255, 0, 0, 255, 255, 0, 0, 0, 255, 0}, 6);
  TrueColourPicture t = true_colour_of(p);
  ASSERT_TRUE(t.view.rows);
  EXPECT_EQ(t.view.stride, -6);
  EXPECT_EQ(top_row_of(t.view), (std::vector<uint8_t>{255, 0, 0, 0, 255, 0}));
}

TEST(TrueColour, Pcx8RowsIndexTheirColourTable) {
  std::vector<uint8_t> block(40 + 1024 + 2 * 4, 0);
  block[12] = 1;  // planes
  block[40 + 4 * 1 + 1] = 200;  // entry 1: green 200
  block[40 + 4 * 2 + 2] = 100;  // entry 2: red 100
  block[1064 + 0] = 1;
  block[1064 + 1] = 2;
  DecodedPicture p = picture_with_block(PictureKind::pcx8, 2, 2, block, 4);
  TrueColourPicture t = true_colour_of(p);
  ASSERT_TRUE(t.view.rows);
  EXPECT_EQ(top_row_of(t.view), (std::vector<uint8_t>{0, 200, 0, 0, 0, 100}));
}

TEST(TrueColour, Pcx1BitOneIsWhite) {
  DecodedPicture p = picture_with_block(PictureKind::pcx1, 3, 1, {0xA0, 0x00}, 2);
  TrueColourPicture t = true_colour_of(p);
  ASSERT_TRUE(t.view.rows);
  EXPECT_EQ(top_row_of(t.view), (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 255, 255, 255}));
}

TEST(TrueColour, BlocksSmallerThanTheirPictureGiveNothing) {
  struct Case {
    const char* name;
    DecodedPicture picture;
  };
  std::vector<uint8_t> pcx8_two_planes(40 + 1024 + 4, 0);
  pcx8_two_planes[12] = 2;
  Case cases[] = {
      {"bmp one byte short", picture_with_block(PictureKind::bmp, 2, 2, std::vector<uint8_t>(11), 6)},
      {"pcx8 rows missing", picture_with_block(PictureKind::pcx8, 2, 2, std::vector<uint8_t>(40 + 1024 + 4), 4)},
      {"pcx8 two planes", picture_with_block(PictureKind::pcx8, 2, 1, pcx8_two_planes, 4)},
      {"pcx1 rows missing", picture_with_block(PictureKind::pcx1, 3, 2, std::vector<uint8_t>(2), 2)},
      {"negative size", picture_with_block(PictureKind::jpeg, -2, 2, std::vector<uint8_t>(12), 6)},
  };
  for (const Case& c : cases) EXPECT_EQ(true_colour_of(c.picture).view.rows, nullptr) << c.name;
}

// ---- canvas --------------------------------------------------------------------------------

// A frame whose table holds red, green, blue, then red again at index 3.
GifFrame frame_of(int32_t w, int32_t h, uint8_t index) {
  GifFrame f;
  f.width = w;
  f.height = h;
  f.stride = (w + 3) / 4 * 4;
  f.indices.reset(new uint8_t[static_cast<size_t>(f.stride) * h]);
  std::memset(f.indices.get(), index, static_cast<size_t>(f.stride) * h);
  const uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFF0000};
  for (int i = 0; i < 4; ++i) {
    f.palette[i][0] = static_cast<uint8_t>(colours[i]);
    f.palette[i][1] = static_cast<uint8_t>(colours[i] >> 8);
    f.palette[i][2] = static_cast<uint8_t>(colours[i] >> 16);
  }
  return f;
}

int count_colour(const GifCanvas& c, uint32_t colour) {
  int n = 0;
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x) n += c.pixel_at(x, y) == colour;
  return n;
}

TEST(GifCanvas, StartsWhite) {
  auto c = GifCanvas::make(7, 5);
  ASSERT_TRUE(c);
  EXPECT_EQ(count_colour(*c, 0xFFFFFF), 35);
  EXPECT_EQ(c->view().stride, 28);
  EXPECT_EQ(c->view().bytes_per_pixel, 4);
}

TEST(GifCanvas, RefusesSizesNothingCouldBack) {
  EXPECT_FALSE(GifCanvas::make(0, 10));
  EXPECT_FALSE(GifCanvas::make(10, -1));
  EXPECT_FALSE(GifCanvas::make(65535, 65535));
}

TEST(GifCanvas, FramesAreClippedToTheCanvas) {
  struct Case {
    int left, top, width, height;
    int covered;  // canvas pixels the frame lands on
  } cases[] = {
      {0, 0, 10, 10, 100},    {2, 3, 4, 2, 8},        {8, 8, 5, 5, 4},
      {-3, -2, 5, 4, 4},      {10, 0, 3, 3, 0},       {0, 10, 3, 3, 0},
      {-5, 0, 5, 5, 0},       {-100, -100, 300, 300, 100},
      {2147483000, 2147483000, 1000, 1000, 0},
  };
  for (const Case& k : cases) {
    auto c = GifCanvas::make(10, 10);
    ASSERT_TRUE(c);
    GifFrame f = frame_of(k.width, k.height, 1);
    c->draw_frame(f, k.left, k.top, std::nullopt);
    EXPECT_EQ(count_colour(*c, 0x00FF00), k.covered) << k.left << "," << k.top;
    EXPECT_EQ(count_colour(*c, 0xFFFFFF), 100 - k.covered) << k.left << "," << k.top;
  }
}

TEST(GifCanvas, PixelsLandAtTheirPlaceFromAClippedFrame) {
  auto c = GifCanvas::make(4, 4);
  ASSERT_TRUE(c);
  GifFrame f = frame_of(3, 3, 0);
  f.indices[1 * f.stride + 2] = 2;  // frame (2, 1) is blue
  c->draw_frame(f, -1, 2, std::nullopt);
  EXPECT_EQ(c->pixel_at(1, 3), 0x0000FFu);
  EXPECT_EQ(c->pixel_at(0, 2), 0xFF0000u);
  EXPECT_EQ(c->pixel_at(2, 2), 0xFFFFFFu);
}

TEST(GifCanvas, ColourKeyLeavesEveryEntryOfThatColourSeeThrough) {
  auto c = GifCanvas::make(4, 1);
  ASSERT_TRUE(c);
  c->draw_frame(frame_of(4, 1, 1), 0, 0, std::nullopt);  // green underneath
  GifFrame f = frame_of(4, 1, 0);
  f.indices[1] = 3;  // red through another entry
  f.indices[2] = 2;  // blue
  c->draw_frame(f, 0, 0, 0xFF0000);
  EXPECT_EQ(c->pixel_at(0, 0), 0x00FF00u);
  EXPECT_EQ(c->pixel_at(1, 0), 0x00FF00u);
  EXPECT_EQ(c->pixel_at(2, 0), 0x0000FFu);
  EXPECT_EQ(c->pixel_at(3, 0), 0x00FF00u);
}

TEST(GifCanvas, SavedAreaComesBackWhereItWasTaken) {
  auto c = GifCanvas::make(6, 6);
  ASSERT_TRUE(c);
  c->draw_frame(frame_of(6, 6, 0), 0, 0, std::nullopt);  // A: red everywhere
  c->save_area(4, 4, 5, 5);                               // partly outside
  c->draw_frame(frame_of(5, 5, 2), 4, 4, std::nullopt);   // B: blue corner
  EXPECT_TRUE(c->has_saved_area());
  EXPECT_EQ(count_colour(*c, 0x0000FF), 4);
  c->restore_saved_area();
  EXPECT_FALSE(c->has_saved_area());
  EXPECT_EQ(count_colour(*c, 0xFF0000), 36);
  c->restore_saved_area();  // nothing saved: no change
  EXPECT_EQ(count_colour(*c, 0xFF0000), 36);
}

TEST(GifCanvas, FrameAsDecodedIgnoresTransparency) {
  GifFrame f = frame_of(3, 2, 2);
  auto c = canvas_of_frame(f);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->width(), 3);
  EXPECT_EQ(c->height(), 2);
  EXPECT_EQ(count_colour(*c, 0x0000FF), 6);
}

}  // namespace
}  // namespace korvane
