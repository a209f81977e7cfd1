#include <string>

#include "picture/decoders.h"
#include "picture_test_support.h"

namespace korvane::test {
namespace {

// A BMP written field by field, so that each header field can be set to the case under test.
// Pixel bytes follow a fixed pattern; colour table entries are distinct colours.
struct BmpFixture {
  int bits = 24;
  int32_t width = 5;
  int32_t height = 3;
  uint32_t compression = 0;
  uint32_t colours_used = 0;
  uint32_t header_size = 40;
  uint32_t table_entries = 0;
  int32_t data_offset_delta = 0;  // added to the offset where the data really starts
  uint32_t gap = 0;               // bytes between the table and the data

  ByteVector bytes() const {
    ByteVector v(14 + header_size, 0);
    v[0] = 'B';
    v[1] = 'M';
    put32(v, 14, header_size);
    put32(v, 18, uint32_t(width));
    put32(v, 22, uint32_t(height));
    put16(v, 26, 1);
    put16(v, 28, uint32_t(bits));
    put32(v, 30, compression);
    put32(v, 46, colours_used);
    for (uint32_t i = 0; i < table_entries; ++i) append(v, {int(i * 37 % 256), int(255 - i * 11), int(i * 90 % 256), 0});
    v.resize(v.size() + gap, 0xEE);
    put32(v, 10, uint32_t(int64_t(v.size()) + data_offset_delta));
    const uint64_t abs_h = height < 0 ? -int64_t(height) : height;
    const uint64_t stride = ((uint64_t(width) * bits + 31) / 32) * 4;
    // Indexed pixels stay inside the table, which ImageMagick insists on.
    const unsigned n = bits <= 8 && table_entries ? table_entries : 256;
    for (uint64_t i = 0; i < stride * abs_h; ++i) {
      const unsigned a = unsigned(i * 29 + i / 7), b = unsigned(i * 13 + 5);
      v.push_back(uint8_t(bits == 4 ? (a % n % 16) << 4 | (b % n % 16) : bits == 1 ? a : a % n));
    }
    put32(v, 2, uint32_t(v.size()));
    return v;
  }
};

void expect_same_as_imagemagick(const ByteVector& file, const std::string& name,
                                const std::string& imagemagick_options = "") {
  const std::string path = scratch_path(name);
  write_bytes(path, file);
  int32_t width = 0, height = 0;
  const ByteVector ours = our_bgr(file, &width, &height);
  ASSERT_FALSE(ours.empty()) << name << " refused";
  EXPECT_EQ(ours, imagemagick_bgr(path, imagemagick_options)) << name;
}

TEST(BmpDecoder, EachBitDepthAndHeaderMatchesImageMagick) {
  // ImageMagick writes the common layouts; our writer the ones it does not produce.
  struct Made { const char* name; const char* options; int bits; uint32_t header_size; };
  const Made made[] = {
      {"im24.bmp", "-type truecolor bmp3:", 24, 40},
      {"im8.bmp", "-colors 200 -type palette -compress none bmp3:", 8, 40},
      {"im4.bmp", "-colors 12 -type palette -compress none bmp3:", 4, 40},
      {"im1.bmp", "-monochrome bmp3:", 1, 40},
      {"im4v5.bmp", "-colors 9 -type palette -compress none bmp:", 4, 124},  // table after a 124-byte header
  };
  for (const Made& m : made) {
    const std::string path = scratch_path(m.name);
    ASSERT_TRUE(convert("-size 31x9 gradient:red-blue -seed 3 -attenuate 0.4 +noise uniform " +
                        std::string(m.options) + "'" + path + "'"));
    const ByteVector file = read_bytes(path);
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(file[28], m.bits) << m.name;
    EXPECT_EQ(file[14], m.header_size) << m.name;
    expect_same_as_imagemagick(file, m.name);
  }
  BmpFixture four_with_five_colours;
  four_with_five_colours.bits = 4;
  four_with_five_colours.colours_used = 5;
  four_with_five_colours.table_entries = 5;
  four_with_five_colours.width = 7;
  BmpFixture thirty_two;
  thirty_two.bits = 32;  // fourth bytes hold the pattern, ignored
  BmpFixture with_gap;
  with_gap.bits = 8;
  with_gap.table_entries = 256;
  with_gap.gap = 10;  // data offset past the table: skipped
  BmpFixture top_down;
  top_down.height = -4;
  expect_same_as_imagemagick(four_with_five_colours.bytes(), "four_with_five_colours.bmp");
  expect_same_as_imagemagick(thirty_two.bytes(), "thirty_two.bmp", "-alpha off");
  expect_same_as_imagemagick(with_gap.bytes(), "with_gap.bmp");
  expect_same_as_imagemagick(top_down.bytes(), "top_down.bmp");
}

TEST(BmpDecoder, TopDownAndBottomUpOfOneImageDecodeAlike) {
  BmpFixture bottom_up;
  bottom_up.width = 6;
  bottom_up.height = 4;
  ByteVector up = bottom_up.bytes();
  // The same rows in the other order, with the height negated.
  ByteVector down = up;
  const size_t stride = 20, data = 54;
  for (size_t r = 0; r < 4; ++r) std::copy_n(up.begin() + data + r * stride, stride, down.begin() + data + (3 - r) * stride);
  put32(down, 22, uint32_t(-4));
  auto a = decode_bmp(span_of(up)), b = decode_bmp(span_of(down));
  ASSERT_TRUE(a && b);
  ASSERT_EQ(a->pixels.size, 6u * 4 * 3);
  EXPECT_TRUE(std::equal(a->pixels.bytes.get(), a->pixels.bytes.get() + a->pixels.size, b->pixels.bytes.get()));
  // True colour: blue, green, red, bottom row first. The file's first row is the bottom row.
  EXPECT_EQ(a->pixels.bytes[0], up[data]);
  EXPECT_EQ(a->pixels.bytes[2], up[data + 2]);
}

TEST(BmpDecoder, RefusesWhatTheRulesRefuse) {
  auto with = [](auto change) {
    BmpFixture f;
    change(f);
    return f.bytes();
  };
  ByteVector huge = BmpFixture{}.bytes();
  huge.resize(100);
  put32(huge, 18, 60000);
  put32(huge, 22, 60000);
  ByteVector truncated = BmpFixture{}.bytes();
  truncated.resize(truncated.size() - 4);  // the last (top) row loses pixel bytes
  ByteVector short_table = with([](BmpFixture& f) { f.bits = 8; f.table_entries = 200; });  // expects 256
  ByteVector large_info_header_past_end = BmpFixture{}.bytes();
  put32(large_info_header_past_end, 14, 124);  // table and data would start at 138: offset 54 too small
  struct Case { const char* name; ByteVector bytes; };
  const Case cases[] = {
      {"bit fields", with([](BmpFixture& f) { f.bits = 32; f.compression = 3; })},
      {"run-length", with([](BmpFixture& f) { f.bits = 8; f.compression = 1; f.table_entries = 256; })},
      {"16 bits", with([](BmpFixture& f) { f.bits = 16; })},
      {"2 bits", with([](BmpFixture& f) { f.bits = 2; f.table_entries = 4; })},
      {"data offset inside the table", with([](BmpFixture& f) { f.bits = 4; f.table_entries = 16; f.data_offset_delta = -1; })},
      {"colours used past the file", with([](BmpFixture& f) { f.bits = 8; f.colours_used = 0x40000000; f.table_entries = 3; })},
      {"zero width", with([](BmpFixture& f) { f.width = 0; })},
      {"60000 x 60000 in 100 bytes", huge},
      {"short pixel data", truncated},
      {"short colour table", short_table},
      {"124-byte header counted", large_info_header_past_end},
      {"six bytes", ByteVector{'B', 'M', 0, 0, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_FALSE(decode_picture(span_of(c.bytes))) << c.name;
}

TEST(BmpDecoder, TableIsReadAfterTheHeadersOwnSize) {
  // A 108-byte header: the colour table starts at 14 + 108, not at 54.
  BmpFixture f;
  f.bits = 8;
  f.header_size = 108;
  f.table_entries = 256;
  f.width = 4;
  f.height = 1;
  const ByteVector file = f.bytes();
  auto picture = decode_bmp(span_of(file));
  ASSERT_TRUE(picture);
  const uint8_t first_index = file[14 + 108 + 1024];
  const uint8_t* entry = &file[14 + 108 + 4 * first_index];
  EXPECT_EQ(picture->pixels.bytes[0], entry[0]);
  EXPECT_EQ(picture->pixels.bytes[1], entry[1]);
  EXPECT_EQ(picture->pixels.bytes[2], entry[2]);
}

}  // namespace
}  // namespace korvane::test
