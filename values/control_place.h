// What the window builder hands every control's create operation besides its settings record:
// the place and outer size in the parent's client area, the state bits of the definition, and
// the child identifier the control's window gets.
#pragma once
#include <cstdint>

namespace korvane {

struct ControlPlace {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool visible = true;
  bool disabled = false;
  bool tab_stop = false;
  int32_t child_id = 0;
};

}  // namespace korvane
