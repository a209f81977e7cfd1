#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>

#include "services/date_time.h"

using namespace korvane;

TEST(DateTimeValue, CountsDaysFrom30December1899) {
  EXPECT_EQ(date_time_value(1899, 12, 30, 0, 0, 0), 0.0);
  EXPECT_EQ(date_time_value(1899, 12, 31, 0, 0, 0), 1.0);
  EXPECT_EQ(date_time_value(1899, 12, 29, 6, 0, 0), -1.25);
  EXPECT_EQ(date_time_value(1900, 3, 1, 0, 0, 0), 61.0);  // 1900 is no leap year
  EXPECT_EQ(date_time_value(9999, 12, 31, 0, 0, 0), 2958465.0);
  EXPECT_EQ(date_time_value(100, 1, 1, 0, 0, 0), -657434.0);
}

TEST(DateTimeText, ShortensTheTimeFromTheRight) {
  struct Case { int y, mo, d, h, mi, s; const char* text; };
  const Case cases[] = {
      {2009, 3, 5, 14, 7, 9, "2009年3月5日14时7分9秒"},
      {2009, 3, 5, 14, 7, 0, "2009年3月5日14时7分"},
      {2009, 3, 5, 14, 0, 0, "2009年3月5日14时"},
      {2009, 3, 5, 14, 0, 9, "2009年3月5日14时0分9秒"},
      {2009, 3, 5, 0, 5, 0, "2009年3月5日0时5分"},
      {2009, 3, 5, 0, 0, 30, "2009年3月5日0时0分30秒"},
      {2009, 3, 5, 0, 0, 0, "2009年3月5日"},
      {2024, 12, 31, 23, 59, 59, "2024年12月31日23时59分59秒"},
      {2024, 5, 6, 7, 8, 9, "2024年5月6日7时8分9秒"},
      {2024, 5, 6, 7, 0, 0, "2024年5月6日7时"},
      {2024, 2, 29, 12, 0, 0, "2024年2月29日12时"},
      {1899, 12, 29, 6, 0, 0, "1899年12月29日6时"},
      {1066, 10, 14, 9, 30, 0, "1066年10月14日9时30分"},
  };
  for (const Case& c : cases) {
    Text t = date_time_text(date_time_value(c.y, c.mo, c.d, c.h, c.mi, c.s));
    EXPECT_STREQ(t.c_str(), c.text);
  }
}

TEST(DateTimeText, ClampsAndRoundsValues) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case { double value; const char* text; };
  const Case cases[] = {
      {0.0, "1899年12月30日"},
      {0.5, "1899年12月30日12时"},
      {-1.25, "1899年12月29日6时"},
      {2958465.5, "9999年12月31日"},
      {2958465.0, "9999年12月31日"},
      {1e300, "9999年12月31日"},
      {inf, "9999年12月31日"},
      {nan, "9999年12月31日"},
      {-657434.0, "100年1月1日"},
      {-1e9, "100年1月1日"},
      {-inf, "100年1月1日"},
      // 14:07:59.9 rounds to the next minute.
      {date_time_value(2009, 3, 5, 14, 7, 59) + 0.9 / 86400, "2009年3月5日14时8分"},
      // 0.4 s before midnight rounds to the next day; 0.6 s after it stays on the day.
      {date_time_value(2009, 3, 6, 0, 0, 0) - 0.4 / 86400, "2009年3月6日"},
      {date_time_value(2009, 3, 5, 0, 0, 0) + 0.6 / 86400, "2009年3月5日0时0分1秒"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(date_time_text(c.value).c_str(), c.text) << c.value;
  }
}

TEST(DateTimeText, LongestTextIs26BytesAndHasNoDot) {
  Text t = date_time_text(date_time_value(2024, 12, 31, 23, 59, 59));
  EXPECT_EQ(t.length(), 26);
  EXPECT_EQ(std::string(t.c_str()).find('.'), std::string::npos);
}

TEST(CurrentTime, MatchesTheLocalClockToTheSecond) {
  std::time_t before = std::time(nullptr);
  double now = current_time();
  std::time_t after = std::time(nullptr);
  std::tm lo = *std::localtime(&before), hi = *std::localtime(&after);
  double low = date_time_value(lo.tm_year + 1900, lo.tm_mon + 1, lo.tm_mday, lo.tm_hour, lo.tm_min, lo.tm_sec);
  double high = date_time_value(hi.tm_year + 1900, hi.tm_mon + 1, hi.tm_mday, hi.tm_hour, hi.tm_min, hi.tm_sec);
  EXPECT_GE(now, low);
  EXPECT_LE(now, high);
  // Whole seconds: the time of day is a whole number of seconds.
  double seconds = (now - std::floor(now)) * 86400;
  EXPECT_NEAR(seconds, std::round(seconds), 1e-3);
}
