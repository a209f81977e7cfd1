// The program's entry point: no command line, no environment, no configuration is read.
#include <windows.h>

#include "app/program_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return korvane::run_program(instance); }
