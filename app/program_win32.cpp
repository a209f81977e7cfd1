#include "app/program_win32.h"

#include <ole2.h>

#include <memory>

#include "app/fatal_report_win32.h"
#include "app/main_window_win32.h"
#include "app/window_definition.h"

namespace korvane {
namespace {

// What start-up acquired, released by the exit steps on both ways out (normal close and fatal
// report).
struct ProgramState {
  bool ole_initialised = false;
  std::unique_ptr<WindowDefinition> definition;
  std::unique_ptr<MainWindow> window;
};
ProgramState* g_state = nullptr;

void exit_steps() {
  if (!g_state) return;
  g_state->window.reset();  // releases the icons the window loaded
  if (g_state->ole_initialised) OleUninitialize();
  g_state->ole_initialised = false;
}

void make_executable_folder_current() {
  char path[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return;
  path[n] = '\0';
  char* last = nullptr;
  for (char* p = path; *p; ++p) {
    if (static_cast<unsigned char>(*p) >= 0x80 && p[1]) {
      ++p;  // a double-byte character's trail byte can be 0x5C
      continue;
    }
    if (*p == '\\') last = p;
  }
  if (!last) return;
  *last = '\0';
  SetCurrentDirectoryA(path);
}

bool handler_references_bound(const WindowDefinition& definition) {
  for (const ControlRecord& r : definition.records)
    for (const EventBinding& e : r.events)
      if (e.handler < -1 || e.handler >= kHandlerCount) return false;
  return true;
}

}  // namespace

int run_program(HINSTANCE) {
  static ProgramState state;
  g_state = &state;
  set_exit_steps(exit_steps);
  install_allocation_failure_report();

  state.ole_initialised = SUCCEEDED(OleInitialize(nullptr));
  make_executable_folder_current();

  std::optional<WindowDefinition> definition = read_window_definition(stored_window_definition());
  if (!definition || !handler_references_bound(*definition)) fatal_error_report("载入窗口模板数据段出错!");
  state.definition = std::make_unique<WindowDefinition>(std::move(*definition));

  state.window = MainWindow::build(*state.definition);
  if (!state.window) fatal_error_report("载入启动窗口失败");

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (state.window && state.window->pre_translate(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  run_exit_steps();
  return 0;
}

}  // namespace korvane
