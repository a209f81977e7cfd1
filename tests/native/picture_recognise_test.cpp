#include <string>

#include "picture_test_support.h"

namespace korvane::test {
namespace {

TEST(RecognisePicture, FirstSixBytesInTheTablesOrder) {
  struct Case { const char* name; ByteVector bytes; PictureKind kind; };
  const Case cases[] = {
      {"five bytes B M", {'B', 'M', 0, 0, 0}, PictureKind::unrecognised},
      {"six bytes B M", {'B', 'M', 0, 0, 0, 0}, PictureKind::bmp},
      {"jpeg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0}, PictureKind::jpeg},
      {"icon", {0, 0, 1, 0, 1, 0}, PictureKind::icon},
      {"icon of no images", {0, 0, 1, 0, 0, 0}, PictureKind::unrecognised},
      {"cursor", {0, 0, 2, 0, 3, 0}, PictureKind::cursor},
      {"gif87a", {'G', 'I', 'F', '8', '7', 'a'}, PictureKind::gif},
      {"gif89a", {'G', 'I', 'F', '8', '9', 'a'}, PictureKind::gif},
      {"gif88a", {'G', 'I', 'F', '8', '8', 'a'}, PictureKind::unrecognised},
      {"pcx 8-bit version 5", {0x0A, 5, 1, 8, 0, 0}, PictureKind::pcx8},
      {"pcx 8-bit version 6", {0x0A, 6, 1, 8, 0, 0}, PictureKind::unrecognised},
      {"pcx 1-bit", {0x0A, 3, 1, 1, 0, 0}, PictureKind::pcx1},
      {"pcx 1-bit version 5", {0x0A, 5, 1, 1, 0, 0}, PictureKind::unrecognised},
      {"pcx 8-bit version 3 tested first", {0x0A, 3, 1, 8, 0, 0}, PictureKind::pcx8},
      {"png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, PictureKind::unrecognised},
      {"empty", {}, PictureKind::unrecognised},
  };
  for (const Case& c : cases) EXPECT_EQ(recognise_picture(span_of(c.bytes)), c.kind) << c.name;
}

TEST(DecodePicture, PngNamedJpgAndGarbageGiveNoPicture) {
  const std::string png = scratch_path("picture.jpg");
  ASSERT_TRUE(convert("-size 4x4 xc:red 'png:" + png + "'"));
  EXPECT_FALSE(decode_picture(span_of(read_bytes(png))));
  const ByteVector text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
  EXPECT_FALSE(decode_picture(span_of(text)));
  EXPECT_FALSE(decode_picture(ByteSpan{}));
}

}  // namespace
}  // namespace korvane::test
