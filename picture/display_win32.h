// The stretch rule's question to the display, asked afresh every time (the user may change the
// colour depth while the program runs): does the current mode have more than 16 bits per pixel?
// A mode that cannot be read counts as no.
#pragma once
#include <windows.h>

namespace korvane {

inline bool display_deeper_than_16_bits() {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  return EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmBitsPerPel > 16;
}

}  // namespace korvane
