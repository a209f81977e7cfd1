// The window definition: the one constant block the main window and its nine controls are
// built from. `read_window_definition` walks the block without trusting any count or offset in
// it; the records it returns point into the block (which outlives them: it is constant data).
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "values/bytes.h"

namespace korvane {

extern const unsigned char kWindowDefinitionBlock[];
extern const size_t kWindowDefinitionBlockSize;

// Kind numbers: (module number << 16) + kind index.
enum ControlKind : uint32_t {
  kKindMainWindow = 0x10001,
  kKindPictureBox = 0x10006,
  kKindLabel = 0x1000A,
  kKindButton = 0x1000B,
  kKindFileDialog = 0x1001F,
  kKindPictureButton = 0x1002D,
  kKindBrowserBox = 0x20001,
  kKindDropTarget = 0x30001,
};

constexpr uint32_t kStateVisible = 1;
constexpr uint32_t kStateDisabled = 2;
constexpr uint32_t kStateTabStop = 4;

struct EventBinding {
  uint32_t event = 0;
  int32_t handler = -1;  // handler reference; -1 is none
};

struct ControlRecord {
  uint32_t control_id = 0;
  uint32_t kind = 0;
  std::string name;  // code page 936
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t parent_id = 0;  // 0: the main window
  std::vector<uint32_t> children;
  uint32_t state_flags = 0;
  int32_t tab_order = 0;
  std::vector<EventBinding> events;
  ByteSpan settings;  // the kind's own settings record, inside the block
};

struct WindowDefinition {
  uint32_t window_id = 0;
  std::vector<ControlRecord> records;  // the window's own record first, then the control table
};

// Nothing when the block cannot be read.
std::optional<WindowDefinition> read_window_definition(ByteSpan block);

inline ByteSpan stored_window_definition() {
  return ByteSpan{kWindowDefinitionBlock, kWindowDefinitionBlockSize};
}

}  // namespace korvane
