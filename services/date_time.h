// Date-time values: a double counting days since midnight at the start of 30 December 1899,
// local time, in the proleptic Gregorian calendar. The whole part is the day number; the
// fraction is the time of day, added for day numbers >= 0 and subtracted below (6:00 on
// 29 December 1899 is -1.25). The text form is the Chinese one used for proposed file names.
#pragma once
#include "values/text.h"

namespace korvane {

// The system clock as local time (time() and localtime()), to the whole second.
double current_time();

// The value of a local date and time of day (month 1-12, day 1-31).
double date_time_value(int year, int month, int day, int hour, int minute, int second);

// Such as 2024年5月6日7时8分9秒; trailing zero time fields are left out, and the time part
// vanishes at midnight. Values are clamped to 1 January 100 .. 31 December 9999 (NaN counts as
// above the range) and rounded to the nearest second. Never missing.
Text date_time_text(double value);

}  // namespace korvane
