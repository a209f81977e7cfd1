#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "values/allocation.h"
#include "values/bytes.h"
#include "values/text.h"

namespace korvane {
namespace {

std::string str(const Text& t) { return t.missing() ? std::string("<missing>") : std::string(t.get()); }

TEST(CompareTexts, MissingAndEmptyAreEqualAndBytesAreUnsigned) {
  struct Case { const char* a; const char* b; int expected; };
  const Case cases[] = {
      {nullptr, "", 0},   {"", nullptr, 0},    {nullptr, nullptr, 0}, {nullptr, "a", -1},
      {"a", nullptr, 1},  {"ab", "a", 1},      {"a", "ab", -1},       {"\xB0", "a", 1},
      {"jpg", "jpg", 0},  {"jpg", "bmp", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(compare_texts(c.a, c.b), c.expected) << (c.a ? c.a : "null");
}

TEST(ConcatenateTexts, AlwaysAllocatesAndJoinsWithNothingBetween) {
  Text empty = concatenate_texts({"", nullptr});
  ASSERT_FALSE(empty.missing());
  EXPECT_EQ(empty.length(), 0);
  Text joined = concatenate_texts({"生成成功!文件已保存到\r\n", "C:\\x.bmp"});
  EXPECT_EQ(str(joined), std::string("生成成功!文件已保存到\r\n") + "C:\\x.bmp");
  // Code page 936 literals: 生 is C9 FA.
  EXPECT_EQ(static_cast<unsigned char>(joined.get()[0]), 0xC9);
}

TEST(TruncateToInteger, RoundsTowardZeroAndClampsOutOfRange) {
  EXPECT_EQ(truncate_to_integer(5.0 - (-1.0)), 6);
  EXPECT_EQ(truncate_to_integer(3.9), 3);
  EXPECT_EQ(truncate_to_integer(-3.9), -3);
  EXPECT_EQ(truncate_to_integer(2.7), 2);
  EXPECT_EQ(truncate_to_integer(-2.7), -2);
  EXPECT_EQ(truncate_to_integer(1e300), INT64_MIN);
  EXPECT_EQ(truncate_to_integer(-1e300), INT64_MIN);
  EXPECT_EQ(truncate_to_integer(0.0 / 0.0), INT64_MIN);
}

TEST(RightPart, CountsBytesAndReturnsMissingWhenEmpty) {
  struct Case { const char* t; int32_t n; const char* expected; };
  const Case cases[] = {
      {"abc", 2, "bc"}, {"abc", 0, "<missing>"}, {"abc", -1, "<missing>"},
      {"abc", 5, "abc"}, {"", 3, "<missing>"},   {"\xB0\xA1x", 2, "\xA1x"},
  };
  for (const Case& c : cases) EXPECT_EQ(str(right_part(c.t, c.n)), c.expected) << c.t << " " << c.n;
}

TEST(ReverseFind, FindsLastMatchOnCharacterBoundaries) {
  struct Case { const char* t; const char* needle; std::optional<int32_t> start; bool ci; int32_t expected; };
  const Case cases[] = {
      {"a.b.c", ".", std::nullopt, false, 4},
      {"abc", ".", std::nullopt, false, -1},
      {"abc.", ".", std::nullopt, false, 4},
      {"", ".", std::nullopt, false, -1},
      {"abc", "", std::nullopt, false, 1},
      {"", "", std::nullopt, false, -1},
      {"a.b.c", ".", 4, false, 2},
      {"a.b.c", ".", 1, false, -1},
      {"a.b.c", ".", 0, false, -1},
      {"A.JPG", ".jpg", std::nullopt, false, -1},
      {"A.JPG", ".jpg", std::nullopt, true, 2},
      {"\x81\x41\x41", "\x41", std::nullopt, false, 3},
      {"photo.Gif", ".", std::nullopt, false, 6},
      {"x\x81", "x", std::nullopt, false, 1},  // lone lead byte at the end stops the walk
  };
  for (const Case& c : cases)
    EXPECT_EQ(reverse_find(c.t, c.needle, c.start, c.ci), c.expected) << c.t << " / " << c.needle;
}

TEST(ToLowerCase, ChangesOnlyAsciiCapitalsOutsideDoubleByteCharacters) {
  struct Case { const char* t; const char* expected; };
  const Case cases[] = {
      {"PHOTO.JPG", "photo.jpg"},
      {"\x81\x41\x42", "\x81\x41\x62"},
      {"", "<missing>"},
      {"AB\x81", "ab\x81"},
      {"图片.GIF", "图片.gif"},
  };
  for (const Case& c : cases) EXPECT_EQ(str(to_lower_case(c.t)), c.expected) << c.t;
}

TEST(Values, MissingValuesReadAsEmptyAndReleaseIgnoresNull) {
  Text t;
  EXPECT_STREQ(t.c_str(), "");
  EXPECT_EQ(t.length(), 0);
  EXPECT_TRUE(Text::copy_of("").missing());
  Bytes b;
  EXPECT_EQ(b.size(), 0);
  EXPECT_TRUE(Bytes::copy_of(nullptr, 0).missing());
  Bytes c = Bytes::copy_of("abc", 3);
  EXPECT_EQ(c.size(), 3);
  EXPECT_EQ(std::memcmp(c.data(), "abc", 3), 0);
  release(nullptr);
}

TEST(AllocationService, FailureMessageNamesTheSize) {
  char message[64];
  allocation_failure_message(4096, message, sizeof message);
  EXPECT_STREQ(message, "分配 4096 字节内存失败!");
}

}  // namespace
}  // namespace korvane
