#include <windows.h>

#include "services/message_box_win32.h"

namespace korvane {

int32_t message_box(const char* text, std::optional<int32_t> flags, const char* title) {
  // No owner: being task-modal, the box disables every top-level window of this thread itself.
  int button = MessageBoxA(nullptr, text ? text : kEmptyText, title ? title : kDefaultMessageTitle,
                           static_cast<UINT>(message_box_flags(flags)));
  return message_box_result(button);
}

int32_t message_box(const Message& message, std::optional<int32_t> flags, const char* title) {
  Text text = message_text(message);
  return message_box(text.c_str(), flags, title);
}

}  // namespace korvane
