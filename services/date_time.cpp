#include "services/date_time.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>

namespace korvane {

namespace {

constexpr double kLatest = 2958465.0;    // 31 December 9999
constexpr double kEarliest = -657434.0;  // 1 January 100
constexpr int64_t kDay0SinceUnixEpoch = -25569;  // 30 December 1899 counted from 1 January 1970

// Days since 1 January 1970 of a proleptic Gregorian date (Hinnant's days_from_civil).
int64_t days_from_civil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civil_from_days(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

}  // namespace

double date_time_value(int year, int month, int day, int hour, int minute, int second) {
  const double day_number = static_cast<double>(days_from_civil(year, month, day) - kDay0SinceUnixEpoch);
  const double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  return day_number < 0 ? day_number - fraction : day_number + fraction;
}

double current_time() {
  std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  // A clock that the calendar functions cannot convert gives the start of the day count.
  if (!local) return 0.0;
  return date_time_value(local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_hour,
                         local->tm_min, local->tm_sec);
}

Text date_time_text(double value) {
  double x = value;
  if (!(x <= kLatest)) x = kLatest;  // NaN lands here too
  if (x < kEarliest) x = kEarliest;
  x += x > 0 ? 1.0 / 172800.0 : -1.0 / 172800.0;

  const double whole = std::trunc(x);
  const double fraction = std::fabs(x - whole);
  int64_t seconds = static_cast<int64_t>(fraction * 86400.0);
  if (seconds > 86399) seconds = 86399;
  const int hour = static_cast<int>(seconds / 3600);
  const int minute = static_cast<int>(seconds / 60 % 60);
  const int second = static_cast<int>(seconds % 60);
  int year = 0, month = 0, day = 0;
  civil_from_days(static_cast<int64_t>(whole) + kDay0SinceUnixEpoch, year, month, day);

  // 26 bytes at most for years up to 9999; the buffer leaves room to spare.
  char text[64];
  int n = std::snprintf(text, sizeof text, "%d年%d月%d日", year, month, day);
  if (second != 0) {
    std::snprintf(text + n, sizeof text - n, "%d时%d分%d秒", hour, minute, second);
  } else if (minute != 0) {
    std::snprintf(text + n, sizeof text - n, "%d时%d分", hour, minute);
  } else if (hour != 0) {
    std::snprintf(text + n, sizeof text - n, "%d时", hour);
  }
  return Text::copy_of(text);
}

}  // namespace korvane
