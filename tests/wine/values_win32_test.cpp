#include <windows.h>

#include <gtest/gtest.h>

#include "values/text.h"

// The Wine environment the tests run in: the ANSI code page is 936, so byte strings in the
// program's literals are shown as the Chinese texts they encode.
TEST(WineEnvironment, AnsiCodePageIs936) { EXPECT_EQ(GetACP(), 936u); }

TEST(WineEnvironment, LiteralsAreCodePage936) {
  wchar_t wide[16] = {};
  int n = MultiByteToWideChar(936, 0, "图片为空!", -1, wide, 16);
  EXPECT_EQ(n, 6);
  EXPECT_EQ(wide[0], L'\u56fe');
}
