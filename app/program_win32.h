// Start-up, the message loop and shutdown.
#pragma once
#include <windows.h>

namespace korvane {

int run_program(HINSTANCE instance);

}  // namespace korvane
