#include "app/fatal_report_win32.h"

#include <windows.h>

#include "values/allocation.h"
#include "values/text.h"

namespace korvane {
namespace {
ExitSteps g_exit_steps = nullptr;

void on_allocation_failure(uint32_t size) {
  char message[96];
  allocation_failure_message(size, message, sizeof message);
  fatal_error_report(message);
}
}  // namespace

void set_exit_steps(ExitSteps steps) { g_exit_steps = steps; }

void run_exit_steps() {
  ExitSteps steps = g_exit_steps;
  g_exit_steps = nullptr;  // once, even if a step itself ends in a fatal report
  if (steps) steps();
}

void fatal_error_report(const char* message) {
  // Built on the stack: the report must work when the heap is what ran out.
  char text[1024];
  size_t used = 0;
  auto append = [&](const char* part) {
    while (*part && used + 1 < sizeof text) text[used++] = *part++;
    text[used] = '\0';
  };
  append("运行时出错!\r\n\r\n");
  if (message && *message) {
    append("错误信息：");
    append(message);
    append("\r\n");
  }
  // A window torn down on the way here may have posted the quit message, which would end the
  // box's own message loop at once.
  MSG pending;
  while (PeekMessageA(&pending, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  MessageBoxA(nullptr, text, "错误", MB_OK | MB_ICONERROR);
  run_exit_steps();
  ExitProcess(static_cast<UINT>(-1));
}

void install_allocation_failure_report() { set_allocation_failure_handler(on_allocation_failure); }

}  // namespace korvane
