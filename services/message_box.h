// The message box's portable rules: how a message of any kind becomes the displayed text, the
// flags handed to the platform, and how the platform's button code becomes the result.
// The platform call itself is in message_box_win32.h.
#pragma once
#include <cstdint>
#include <optional>
#include <variant>

#include "values/text.h"

namespace korvane {

// A date-time value (see date_time.h), kept apart from an ordinary double.
struct DateTimeMessage {
  double value = 0;
};

// The message kinds; std::monostate stands for any kind without a text form. A null text is
// the empty text.
using Message = std::variant<std::monostate, const char*, uint8_t, int16_t, int32_t, int64_t, float,
                             double, bool, DateTimeMessage>;

// The displayed text (missing when empty).
Text message_text(const Message& message);

extern const char kDefaultMessageTitle[];  // "信息：", with a full-width colon

constexpr int32_t kMbSystemModal = 0x1000;
constexpr int32_t kMbTaskModal = 0x2000;

// Task-modal unless the caller asked for a system-modal box.
int32_t message_box_flags(std::optional<int32_t> flags);

// IDOK..IDNO (1..7) give 0..6; anything else, a failed call (0) included, gives 0.
int32_t message_box_result(int button_code);

}  // namespace korvane
