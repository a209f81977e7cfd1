#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <string>

#include "picture/decoders.h"
#include "picture/picture.h"
#include "tests/native/jpeg_writer.h"
#include "picture_test_support.h"

namespace korvane::test {
namespace {

// A small photo-like JPEG straight from libjpeg, arithmetic-coded or not.
ByteVector compress_with_libjpeg(int width, int height, bool arithmetic) {
  const std::vector<uint8_t> bytes = write_jpeg(width, height, 75, arithmetic, [&](int y, JSAMPLE* row) {
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) row[size_t(x) * 3 + c] = JSAMPLE((x * (c + 1) * 7 + y * 5) % 256);
  });
  return ByteVector(bytes.begin(), bytes.end());
}

TEST(JpegDecoder, BaselineProgressiveAndGreyscaleMatchImageMagick) {
  struct Made { const char* name; const char* options; };
  const Made made[] = {
      {"baseline.jpg", "-quality 85"},
      {"progressive.jpg", "-quality 75 -interlace plane"},
      {"subsampled.jpg", "-quality 60 -sampling-factor 2x2"},
      {"grey.jpg", "-colorspace gray -quality 90"},
  };
  for (const Made& m : made) {
    const std::string path = scratch_path(m.name);
    // Noisy enough that the file spans several of the source's 4096-byte refills.
    ASSERT_TRUE(convert("-seed 5 -size 150x100 plasma:fractal -attenuate 2 +noise gaussian " +
                        std::string(m.options) + " '" + path + "'"));
    const ByteVector file = read_bytes(path);
    EXPECT_GT(file.size(), 4096u) << m.name;
    const ByteVector ours = our_bgr(file);
    ASSERT_EQ(ours.size(), 150u * 100 * 3) << m.name;
    EXPECT_EQ(ours, imagemagick_bgr(path)) << m.name;
  }
  const ByteVector grey = our_bgr(read_bytes(scratch_path("grey.jpg")));
  for (size_t i = 0; i + 2 < grey.size(); i += 3) {
    ASSERT_EQ(grey[i], grey[i + 1]);
    ASSERT_EQ(grey[i], grey[i + 2]);
  }
}

TEST(JpegDecoder, TruncatedFileShowsItsUpperPart) {
  const ByteVector whole = compress_with_libjpeg(64, 64, false);
  ByteVector cut(whole.begin(), whole.begin() + whole.size() / 2);
  int32_t width = 0, height = 0;
  const ByteVector full = our_bgr(whole), partial = our_bgr(cut, &width, &height);
  ASSERT_EQ(width, 64);
  ASSERT_EQ(height, 64);
  // The top rows survive (rows near the cut depend on smoothing with what follows).
  const size_t top_rows = 64 * 3 * 8;
  ASSERT_EQ(partial.size(), full.size());
  EXPECT_TRUE(std::equal(full.begin(), full.begin() + top_rows, partial.begin()));
  EXPECT_FALSE(std::equal(full.begin(), full.end(), partial.begin()));
}

TEST(JpegDecoder, RefusesArithmeticCodingAndHostileHeaders) {
  const ByteVector arithmetic = compress_with_libjpeg(16, 16, true);
  ASSERT_GT(arithmetic.size(), 100u);
  ByteVector claims_huge = compress_with_libjpeg(16, 16, false);
  // SOF0 height and width (big-endian at marker + 5 and + 7): 60000 x 60000 in a few hundred bytes.
  for (size_t i = 0; i + 9 < claims_huge.size(); ++i)
    if (claims_huge[i] == 0xFF && claims_huge[i + 1] == 0xC0) {
      claims_huge[i + 5] = claims_huge[i + 7] = 0xEA;
      claims_huge[i + 6] = claims_huge[i + 8] = 0x60;
      break;
    }
  struct Case { const char* name; ByteVector bytes; };
  const Case cases[] = {
      {"arithmetic", arithmetic},
      {"60000 x 60000", claims_huge},
      {"header only", ByteVector{0xFF, 0xD8, 0xFF, 0xD9, 0, 0}},
      {"garbage after SOI", ByteVector{0xFF, 0xD8, 1, 2, 3, 4, 5, 6, 7, 8}},
  };
  for (const Case& c : cases) EXPECT_FALSE(decode_picture(span_of(c.bytes))) << c.name;
  EXPECT_FALSE(decode_jpeg(ByteSpan{}));
  EXPECT_TRUE(decode_picture(span_of(compress_with_libjpeg(16, 16, false))));
}

// What an observer of the decode is told: the block's place once, the rows in order up to the
// height, then the end; a refused file ends with false (before its block is released).
struct RecordingObserver : DecodeObserver {
  const uint8_t* block = nullptr;
  int32_t width = 0, height = 0, last_rows = 0;
  bool in_order = true;
  int ends = 0;
  bool succeeded = false;
  void pixels_ready(const uint8_t* pixels, int32_t w, int32_t h) override {
    block = pixels;
    width = w;
    height = h;
  }
  void rows_complete(int32_t rows) override {
    if (rows <= last_rows) in_order = false;
    last_rows = rows;
  }
  void decoding_ended(bool ok) override {
    ++ends;
    succeeded = ok;
  }
};

TEST(JpegDecoder, ObserverSeesTheBlockThenEveryRowInOrder) {
  const ByteVector jpeg = compress_with_libjpeg(40, 70, false);
  RecordingObserver seen;
  std::optional<DecodedPicture> picture = decode_picture(ByteSpan{jpeg.data(), jpeg.size()}, &seen);
  ASSERT_TRUE(picture);
  EXPECT_EQ(seen.block, picture->pixels.bytes.get());
  EXPECT_EQ(seen.width, 40);
  EXPECT_EQ(seen.height, 70);
  EXPECT_EQ(seen.last_rows, 70);
  EXPECT_TRUE(seen.in_order);
  EXPECT_EQ(seen.ends, 1);
  EXPECT_TRUE(seen.succeeded);

  const ByteVector arithmetic = compress_with_libjpeg(16, 16, true);
  RecordingObserver refused;
  EXPECT_FALSE(decode_picture(ByteSpan{arithmetic.data(), arithmetic.size()}, &refused));
  EXPECT_EQ(refused.ends, 1);
  EXPECT_FALSE(refused.succeeded);
}

}  // namespace
}  // namespace korvane::test
