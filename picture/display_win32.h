// The stretch rule's question to the display, asked afresh every time (the user may change the
// colour depth while the program runs): does the current mode have more than 16 bits per pixel?
// A mode that cannot be read counts as no.
#pragma once
#include <windows.h>

namespace korvane {

// From the current display settings (one capture asks once).
inline bool display_deeper_than_16_bits() {
  DEVMODEA mode = {};
  mode.dmSize = sizeof mode;
  return EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmBitsPerPel > 16;
}

// The same question put to a display drawing surface, for every paint: the current depth as
// the device reports it. Under Wine the display-settings call above costs about 0.2 ms (it asks
// the X server), more than the rest of a repaint.
inline bool display_deeper_than_16_bits(HDC display_dc) {
  return GetDeviceCaps(display_dc, BITSPIXEL) * GetDeviceCaps(display_dc, PLANES) > 16;
}

}  // namespace korvane
