#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "picture/icon_win32.h"
#include "picture/picture.h"

namespace {

using korvane::ByteSpan;

void put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = uint8_t(x);
  v[at + 1] = uint8_t(x >> 8);
}
void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  put16(v, at, x);
  put16(v, at + 2, x >> 16);
}

// An icon (type 1) or cursor (type 2) file with one 4-bit image of side x side pixels: a
// 16-colour table, colour rows in two colours, and a mask that leaves the left half opaque.
std::vector<uint8_t> icon_file(int type, int side) {
  const size_t colour_row = ((size_t(side) * 4 + 31) / 32) * 4, mask_row = ((size_t(side) + 31) / 32) * 4;
  const size_t image_size = 40 + 16 * 4 + (colour_row + mask_row) * side;
  std::vector<uint8_t> v(6 + 16 + image_size, 0);
  put16(v, 2, uint32_t(type));
  put16(v, 4, 1);
  v[6] = uint8_t(side);
  v[7] = uint8_t(side);
  v[8] = 16;
  put32(v, 6 + 8, uint32_t(image_size));
  put32(v, 6 + 12, 22);
  const size_t dib = 22;
  put32(v, dib, 40);
  put32(v, dib + 4, uint32_t(side));
  put32(v, dib + 8, uint32_t(side * 2));
  put16(v, dib + 12, 1);
  put16(v, dib + 14, 4);
  for (int i = 0; i < 16; ++i) put32(v, dib + 40 + 4 * i, uint32_t(i * 0x111111));
  const size_t colours = dib + 40 + 64, mask = colours + colour_row * side;
  for (int y = 0; y < side; ++y) {
    for (size_t x = 0; x < colour_row; ++x) v[colours + y * colour_row + x] = (y % 2) ? 0x3C : 0xF1;
    for (size_t x = 0; x < mask_row; ++x) v[mask + y * mask_row + x] = x * 8 < size_t(side) / 2 ? 0x00 : 0xFF;
  }
  return v;
}

SIZE icon_size(HICON icon) {
  ICONINFO info{};
  SIZE size{0, 0};
  if (!GetIconInfo(icon, &info)) return size;
  BITMAP bm{};
  // A colour icon has a colour bitmap; the mask is as tall as the image.
  GetObject(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  size.cx = bm.bmWidth;
  size.cy = bm.bmHeight;
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return size;
}

TEST(SystemIcon, IconAndCursorFilesBecomeIconsOfTheRequestedSize) {
  struct Case { const char* name; int type; int side; korvane::PictureKind kind; };
  const Case cases[] = {
      {"icon 48", 1, 48, korvane::PictureKind::icon},
      {"icon 32", 1, 32, korvane::PictureKind::icon},
      {"cursor 24", 2, 24, korvane::PictureKind::cursor},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t> file = icon_file(c.type, c.side);
    const ByteSpan bytes{file.data(), file.size()};
    auto picture = korvane::decode_picture(bytes);
    ASSERT_TRUE(picture) << c.name;
    EXPECT_EQ(picture->kind, c.kind) << c.name;
    korvane::IconHandle icon = korvane::make_system_icon(bytes, picture->icon_image);
    ASSERT_TRUE(icon) << c.name;
    const SIZE size = icon_size(icon.get());
    EXPECT_EQ(size.cx, c.side) << c.name;
    EXPECT_EQ(size.cy, c.side) << c.name;
  }
}

TEST(SystemIcon, RefusedImageGivesNoIconAndHandlesMove) {
  std::vector<uint8_t> file = icon_file(1, 32);
  auto picture = korvane::decode_picture(ByteSpan{file.data(), file.size()});
  ASSERT_TRUE(picture);
  // The same image with its header wiped: the system cannot make an icon of it.
  for (size_t i = 22; i < 22 + 40; ++i) file[i] = 0;
  EXPECT_FALSE(korvane::make_system_icon(ByteSpan{file.data(), file.size()}, picture->icon_image));
  korvane::IconImage outside = picture->icon_image;
  outside.offset = file.size();
  EXPECT_FALSE(korvane::make_system_icon(ByteSpan{file.data(), file.size()}, outside));

  const std::vector<uint8_t> good = icon_file(1, 32);
  korvane::IconHandle a = korvane::make_system_icon(ByteSpan{good.data(), good.size()}, picture->icon_image);
  ASSERT_TRUE(a);
  const HICON raw = a.get();
  korvane::IconHandle b = std::move(a);
  EXPECT_FALSE(a);
  EXPECT_EQ(b.get(), raw);
}

}  // namespace
