#include "services/message_box.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "services/date_time.h"

namespace korvane {

const char kDefaultMessageTitle[] = "信息：";

namespace {

// Single-precision values are first rounded to 7 significant digits, halves away from zero,
// so that a float's binary tail (0.1f is 0.100000001...) never decides the shown digits.
double round_to_7_digits(float value) {
  double v = value;
  if (v == 0 || !std::isfinite(v)) return v;
  const double magnitude = std::fabs(v);
  const int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
  const double scale = std::pow(10.0, 6 - exponent);
  const double rounded = std::floor(magnitude * scale + 0.5) / scale;
  return v < 0 ? -rounded : rounded;
}

// Every number form fits; 100 bytes is the buffer the formats are written into.
struct Formatter {
  char buffer[100];

  Text operator()(std::monostate) { return Text(); }
  Text operator()(const char* text) { return Text::copy_of(text); }
  Text operator()(uint8_t v) { return print("%u", static_cast<unsigned>(v)); }
  Text operator()(int16_t v) { return print("%d", static_cast<int>(v)); }
  Text operator()(int32_t v) { return print("%d", static_cast<int>(v)); }
  Text operator()(int64_t v) { return print("%" PRId64, v); }
  Text operator()(float v) { return print("%.6g", round_to_7_digits(v)); }
  Text operator()(double v) { return print("%.13g", v); }
  Text operator()(bool v) { return Text::copy_of(v ? "真" : "假"); }
  Text operator()(DateTimeMessage v) { return date_time_text(v.value); }

  template <typename... Args>
  Text print(const char* format, Args... args) {
    std::snprintf(buffer, sizeof buffer, format, args...);
    return Text::copy_of(buffer);
  }
};

}  // namespace

Text message_text(const Message& message) { return std::visit(Formatter{}, message); }

int32_t message_box_flags(std::optional<int32_t> flags) {
  int32_t f = flags.value_or(0);
  return (f & kMbSystemModal) ? f : (f | kMbTaskModal);
}

int32_t message_box_result(int button_code) {
  return button_code >= 1 && button_code <= 7 ? button_code - 1 : 0;
}

}  // namespace korvane
