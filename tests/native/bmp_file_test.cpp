#include "picture/bmp_file.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane {
namespace {

std::vector<uint8_t> hex(std::initializer_list<int> bytes, int zeros) {
  std::vector<uint8_t> v(bytes.begin(), bytes.end());
  v.insert(v.end(), size_t(zeros), 0);
  return v;
}

struct HeaderCase {
  int32_t width, height;
  std::vector<uint8_t> expected;
};

TEST(BmpFile, HeadersOfTheTwoCapturedWindows) {
  const HeaderCase cases[] = {
      {150, 150, hex({0x42, 0x4D, 0x0E, 0x09, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00,
                      0x00, 0x28, 0x00, 0x00, 0x00, 0x96, 0x00, 0x00, 0x00, 0x96, 0x00, 0x00, 0x00,
                      0x01, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0xD8, 0x08, 0x01, 0x00},
                     16)},
      {60, 83, hex({0x42, 0x4D, 0x92, 0x3A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x36, 0x00, 0x00,
                    0x00, 0x28, 0x00, 0x00, 0x00, 0x3C, 0x00, 0x00, 0x00, 0x53, 0x00, 0x00, 0x00,
                    0x01, 0x00, 0x18, 0x00, 0x00, 0x00, 0x00, 0x00, 0x5C, 0x3A, 0x00, 0x00},
                   16)},
  };
  for (const HeaderCase& k : cases) {
    const BmpLayout layout = *bmp_layout(k.width, k.height);
    std::vector<uint8_t> rows(size_t(layout.image_size), 0x5A);
    const Bytes file = encode_bmp(k.width, k.height, rows.data());
    ASSERT_EQ(file.size(), layout.file_size);
    ASSERT_EQ(k.expected.size(), 54u);
    EXPECT_EQ(std::vector<uint8_t>(file.data(), file.data() + 54), k.expected) << k.width << "x" << k.height;
  }
  EXPECT_EQ(bmp_layout(150, 150)->file_size, 67854);
  EXPECT_EQ(bmp_layout(60, 83)->file_size, 14994);
}

TEST(BmpFile, RowsKeepTheirOrderAndPaddingIsZeroed) {
  // 2 x 2: rows of 6 pixel bytes and 2 padding bytes, bottom row first.
  const uint8_t rows[16] = {1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 7, 8, 9, 10, 11, 12, 0xEE, 0xEE};
  const Bytes file = encode_bmp(2, 2, rows);
  ASSERT_EQ(file.size(), 54 + 16);
  const uint8_t expected[16] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  EXPECT_EQ(0, memcmp(file.data() + 54, expected, 16));
  const std::optional<BmpView> view = view_bmp(file.span());
  ASSERT_TRUE(view);
  EXPECT_EQ(view->pixel(0, 1)[0], 1);  // bottom-left pixel is the first stored
  EXPECT_EQ(view->pixel(1, 0)[2], 12);
}

TEST(BmpFile, UnusableSizesGiveNothing) {
  const uint8_t row[4] = {};
  for (auto [w, h] : {std::pair{0, 1}, {1, 0}, {-3, 5}, {5, -3}, {INT32_MAX, 2}, {20000, 40000}}) {
    EXPECT_FALSE(bmp_layout(w, h)) << w << "x" << h;
    EXPECT_TRUE(encode_bmp(w, h, row).missing());
  }
  EXPECT_TRUE(encode_bmp(1, 1, nullptr).missing());
}

TEST(BmpFile, ViewRefusesOtherLayouts) {
  const std::vector<uint8_t> rows(12 * 3, 0);
  const Bytes good = encode_bmp(3, 3, rows.data());
  ASSERT_TRUE(view_bmp(good.span()));
  struct Damage {
    size_t offset;
    uint8_t value;
  };
  for (Damage d : {Damage{0, 'X'}, {2, 0}, {10, 0x37}, {14, 12}, {22, 0xFD}, {28, 32}, {30, 1}, {46, 1}}) {
    std::vector<uint8_t> copy(good.data(), good.data() + good.size());
    copy[d.offset] = d.value;
    EXPECT_FALSE(view_bmp(ByteSpan{copy.data(), copy.size()})) << "offset " << d.offset;
  }
  EXPECT_FALSE(view_bmp(ByteSpan{good.data(), size_t(good.size()) - 1}));
  EXPECT_FALSE(view_bmp(ByteSpan{good.data(), 20}));
}

}  // namespace
}  // namespace korvane
