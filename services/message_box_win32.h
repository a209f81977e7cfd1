// The message box: a modal platform box without an owner, task-modal unless asked otherwise.
#pragma once
#include <cstdint>
#include <optional>

#include "services/message_box.h"

namespace korvane {

// Shows text (null is the empty text) under title (null gives "信息："), flags in the
// platform's MB_* format (absent is 0), and returns 0 for OK, 1 Cancel, 2 Abort, 3 Retry,
// 4 Ignore, 5 Yes, 6 No; a failed call also gives 0.
int32_t message_box(const char* text, std::optional<int32_t> flags = std::nullopt, const char* title = nullptr);

// The same for a message of another kind, shown in its text form.
int32_t message_box(const Message& message, std::optional<int32_t> flags = std::nullopt, const char* title = nullptr);

}  // namespace korvane
