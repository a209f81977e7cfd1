#include <string>

#include "picture/byte_reader.h"
#include "picture/decoders.h"
#include "picture_test_support.h"

namespace korvane::test {
namespace {

// A PCX header; the caller appends the run-length data.
ByteVector pcx_header(int version, int bits, int planes, int width, int height, int bytes_per_line) {
  ByteVector v(128, 0);
  v[0] = 0x0A;
  v[1] = uint8_t(version);
  v[2] = 1;
  v[3] = uint8_t(bits);
  put16(v, 8, uint32_t(width - 1));
  put16(v, 10, uint32_t(height - 1));
  v[65] = uint8_t(planes);
  put16(v, 66, uint32_t(bytes_per_line));
  return v;
}

TEST(PcxDecoder, EightBitMatchesImageMagick) {
  const std::string path = scratch_path("p8.pcx");
  ASSERT_TRUE(convert("-size 29x11 gradient:lime-purple -seed 2 -attenuate 0.3 +noise uniform -colors 60 -type palette '" + path + "'"));
  const ByteVector file = read_bytes(path);
  ASSERT_EQ(recognise_picture(span_of(file)), PictureKind::pcx8);
  EXPECT_EQ(our_bgr(file), imagemagick_bgr(path));
  auto picture = decode_pcx(span_of(file));
  ASSERT_TRUE(picture);
  // A ready-made DIB: 40-byte header with the height negated, 8 bits, then table and rows of 32.
  const uint8_t* dib = picture->pixels.bytes.get();
  EXPECT_EQ(dib[0], 40);
  EXPECT_EQ(int32_t(load_u32(dib + 8)), -11);
  EXPECT_EQ(dib[14], 8);
  EXPECT_EQ(picture->row_bytes, 32);
  EXPECT_EQ(picture->pixels.size, 1064u + 11 * 32);
}

TEST(PcxDecoder, OneBitRowsPaddedOnDiskDoNotDrift) {
  // 13 pixels wide: 2 bytes of bits, but each row on disk is 4 bytes (bytes per line 4).
  ByteVector file = pcx_header(3, 1, 1, 13, 3, 4);
  const uint8_t rows[3][4] = {{0xFF, 0xFF, 0xAA, 0xAA}, {0x81, 0x0F, 0x55, 0x55}, {0x00, 0xF8, 0x12, 0x34}};
  append(file, {0xC2, 0xFF, 0xC2, 0xAA});                      // row 0: two runs
  append(file, {0x81, 0x0F, 0xC2, 0x55});                      // row 1: literals, then a run
  append(file, {0x00, 0xC1, 0xF8, 0x12, 0x34});                 // row 2
  auto picture = decode_picture(span_of(file));
  ASSERT_TRUE(picture);
  ASSERT_EQ(picture->kind, PictureKind::pcx1);
  ASSERT_EQ(picture->row_bytes, 2);
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(picture->pixels.bytes[y * 2], rows[y][0]) << y;
    EXPECT_EQ(picture->pixels.bytes[y * 2 + 1], rows[y][1] & 0xF8) << y;  // the first 13 bits only
  }
}

TEST(PcxDecoder, RunsPastRowsAndBlockAndShortDataStayInside) {
  ByteVector run_past_block = pcx_header(5, 8, 1, 4, 2, 4);
  append(run_past_block, {0xFF, 7, 0xFF, 7, 0xFF, 7});  // 189 bytes for a block of 8
  ByteVector short_data = pcx_header(5, 8, 1, 16, 16, 16);
  append(short_data, {0xC5, 3});
  ByteVector run_across_rows = pcx_header(3, 1, 1, 8, 3, 2);
  append(run_across_rows, {0xC5, 0xF0, 0xC1});  // a 5-byte run crosses rows; a dangling run byte
  for (const ByteVector* file : {&run_past_block, &short_data, &run_across_rows}) {
    auto picture = decode_picture(span_of(*file));
    ASSERT_TRUE(picture);
    EXPECT_EQ(our_bgr(*file).size(), size_t(picture->width) * picture->height * 3);
  }
  auto crossing = decode_pcx(span_of(run_across_rows));
  EXPECT_EQ(crossing->pixels.bytes[4], 0xF0);  // row 2 still gets the end of the run
}

TEST(PcxDecoder, RefusesWhatTheRulesRefuse) {
  ByteVector just_header = pcx_header(5, 8, 1, 4, 4, 4);
  ByteVector ends_before_start = pcx_header(5, 8, 1, 4, 4, 4);
  put16(ends_before_start, 4, 10);  // x start 10, x end 3
  ByteVector huge = pcx_header(5, 8, 1, 30000, 30000, 30000);
  ByteVector three_planes = pcx_header(5, 8, 3, 4, 4, 4);
  ByteVector short_lines = pcx_header(5, 8, 1, 40, 4, 8);  // rows shorter than the picture
  for (ByteVector* v : {&ends_before_start, &huge, &three_planes, &short_lines}) append(*v, {0, 0, 0, 0});
  struct Case { const char* name; const ByteVector& bytes; };
  const Case cases[] = {
      {"128 bytes", just_header}, {"end before start", ends_before_start}, {"30000 x 30000", huge},
      {"three planes", three_planes}, {"bytes per line below width", short_lines},
  };
  for (const Case& c : cases) EXPECT_FALSE(decode_picture(span_of(c.bytes))) << c.name;
}

}  // namespace
}  // namespace korvane::test
