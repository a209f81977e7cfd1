#include <cstdlib>

#include "picture/byte_reader.h"
#include "picture/decoders.h"
#include "picture/icon_pixels.h"
#include "picture_test_support.h"

namespace korvane::test {
namespace {

struct IconEntry {
  int width;        // 0 in the directory means 256
  int colour_count;
  int bits = 4;
};

// An icon (type 1) or cursor (type 2) file of complete 4-bit DIB images, one per entry.
ByteVector icon_file(int type, const std::vector<IconEntry>& entries) {
  ByteVector v;
  append(v, {0, 0, type, 0, int(entries.size()), 0});
  v.resize(6 + 16 * entries.size(), 0);
  for (size_t i = 0; i < entries.size(); ++i) {
    const IconEntry& e = entries[i];
    const int side = e.width;
    const size_t image_at = v.size();
    ByteVector dib(40, 0);
    put32(dib, 0, 40);
    put32(dib, 4, uint32_t(side));
    put32(dib, 8, uint32_t(side * 2));
    put16(dib, 12, 1);
    put16(dib, 14, uint32_t(e.bits));
    dib.resize(40 + 4 * (1u << e.bits), 0x40);
    const size_t colour_row = ((size_t(side) * e.bits + 31) / 32) * 4, mask_row = ((size_t(side) + 31) / 32) * 4;
    dib.resize(dib.size() + (colour_row + mask_row) * side, 0x11);
    v.insert(v.end(), dib.begin(), dib.end());
    uint8_t* d = &v[6 + 16 * i];
    d[0] = uint8_t(side);
    d[1] = uint8_t(side);
    d[2] = uint8_t(e.colour_count);
    put32(v, 6 + 16 * i + 8, uint32_t(dib.size()));
    put32(v, 6 + 16 * i + 12, uint32_t(image_at));
  }
  return v;
}

TEST(IconDecoder, ChoosesFirst32PixelEntryOf16ColoursElseTheLast) {
  struct Case { const char* name; std::vector<IconEntry> entries; int chosen; };
  const Case cases[] = {
      {"16/16 then 32/16", {{16, 16}, {32, 16}}, 1},
      {"32/0 then 32/16 then 48/16", {{32, 0}, {32, 16}, {48, 16}}, 1},
      {"colour counts all 0", {{16, 0}, {32, 0}, {48, 0}}, 2},
      {"one entry", {{24, 16}}, 0},
  };
  for (const Case& c : cases) {
    const ByteVector file = icon_file(1, c.entries);
    auto picture = decode_picture(span_of(file));
    ASSERT_TRUE(picture) << c.name;
    EXPECT_EQ(picture->kind, PictureKind::icon);
    EXPECT_EQ(picture->icon_image.offset, load_u32(&file[6 + 16 * c.chosen + 12])) << c.name;
    const int side = c.entries[c.chosen].width;
    EXPECT_EQ(picture->icon_image.requested_width, side) << c.name;
    EXPECT_EQ(picture->icon_image.requested_height, side) << c.name;  // half the stored height
    EXPECT_EQ(picture->width, side);
    EXPECT_EQ(picture->icon_image.bit_count, 4);
  }
  auto cursor = decode_picture(span_of(icon_file(2, {{32, 16}})));
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor->kind, PictureKind::cursor);
}

TEST(IconDecoder, RefusesDirectoriesAndImagesPastTheFile) {
  ByteVector past_end = icon_file(1, {{32, 16}});
  put32(past_end, 6 + 12, uint32_t(past_end.size() - 10));  // offset: the image runs past the end
  ByteVector wrapping = icon_file(1, {{32, 16}});
  put32(wrapping, 6 + 8, 0xFFFFFFF0u);  // size + offset wraps in 32 bits
  ByteVector short_directory = icon_file(1, {{16, 0}, {16, 0}});
  short_directory[4] = 200;  // 200 entries claimed, two present, none chosen before the end
  short_directory.resize(6 + 16 * 2 + 40);
  ByteVector short_image = icon_file(1, {{32, 16}});
  put32(short_image, 6 + 8, 200);  // the colour and mask rows do not fit in 200 bytes
  ByteVector huge_image = icon_file(1, {{32, 16}});
  put32(huge_image, load_u32(&huge_image[6 + 12]) + 4, 100000);
  struct Case { const char* name; const ByteVector& bytes; };
  const Case cases[] = {{"image past the end", past_end}, {"wrapping size", wrapping},
                        {"short directory", short_directory}, {"short image", short_image},
                        {"100000 pixels wide", huge_image}};
  for (const Case& c : cases) EXPECT_FALSE(decode_picture(span_of(c.bytes))) << c.name;
}

TEST(IconDecoder, ChosenImageOverWhiteMatchesImageMagick) {
  // A 16-colour image with a mask, and a 32-bit one with partial alpha.
  struct Made { const char* name; const char* options; };
  const Made made[] = {
      {"sixteen.ico", "-size 32x32 gradient:red-blue -fill none -stroke black -draw 'circle 16,16 8,8' -colors 16"},
      {"alpha.ico", "-size 32x32 gradient:red-blue -alpha set -channel A -evaluate set 60% +channel"},
  };
  for (const Made& m : made) {
    const std::string path = scratch_path(m.name);
    ASSERT_TRUE(convert(std::string(m.options) + " -define icon:auto-resize=32 '" + path + "'"));
    const ByteVector ours = our_bgr(read_bytes(path)), theirs = imagemagick_bgr(path);
    ASSERT_EQ(ours.size(), theirs.size()) << m.name;
    // Blending with alpha rounds differently in ImageMagick's 16-bit arithmetic: one step.
    for (size_t i = 0; i < ours.size(); ++i) ASSERT_LE(std::abs(ours[i] - theirs[i]), 1) << m.name << " byte " << i;
  }
}

}  // namespace
}  // namespace korvane::test
