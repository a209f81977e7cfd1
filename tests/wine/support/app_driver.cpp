#include "support/app_driver.h"

#include "support/test_paths.h"

namespace korvane::test {
namespace {

struct FindData {
  DWORD pid;
  const char* class_name;
  const char* title;
  HWND except;
  HWND found;
};

BOOL CALLBACK find_top_level(HWND hwnd, LPARAM lparam) {
  auto* d = reinterpret_cast<FindData*>(lparam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != d->pid || hwnd == d->except) return TRUE;
  if (d->class_name && class_of(hwnd) != d->class_name) return TRUE;
  if (d->title && window_text(hwnd) != d->title) return TRUE;
  if (!IsWindowVisible(hwnd)) return TRUE;
  d->found = hwnd;
  return FALSE;
}

struct ChildSearch {
  int id;
  HWND found;
};

BOOL CALLBACK find_child(HWND hwnd, LPARAM lparam) {
  auto* s = reinterpret_cast<ChildSearch*>(lparam);
  if (GetDlgCtrlID(hwnd) == s->id) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

RunningProgram::RunningProgram(const std::string& exe_name) {
  std::string path = program_folder() + exe_name;
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  std::string command = "\"" + path + "\"";
  if (CreateProcessA(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    process_ = pi.hProcess;
    process_id_ = pi.dwProcessId;
    thread_id_ = pi.dwThreadId;
    CloseHandle(pi.hThread);
    WaitForInputIdle(process_, 15000);
  }
}

RunningProgram::~RunningProgram() {
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 99);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

HWND RunningProgram::wait_for_window(const char* class_name, const char* title, DWORD timeout_ms) const {
  DWORD start = GetTickCount();
  for (;;) {
    FindData d = {process_id_, class_name, title, nullptr, nullptr};
    EnumWindows(find_top_level, reinterpret_cast<LPARAM>(&d));
    if (d.found) return d.found;
    if (GetTickCount() - start > timeout_ms || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) return nullptr;
    Sleep(20);
  }
}

HWND RunningProgram::wait_for_other_window(const char* class_name, HWND except, DWORD timeout_ms) const {
  DWORD start = GetTickCount();
  for (;;) {
    FindData d = {process_id_, class_name, nullptr, except, nullptr};
    EnumWindows(find_top_level, reinterpret_cast<LPARAM>(&d));
    if (d.found) return d.found;
    if (GetTickCount() - start > timeout_ms || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) return nullptr;
    Sleep(20);
  }
}

DWORD RunningProgram::wait_for_exit(DWORD timeout_ms) const {
  if (WaitForSingleObject(process_, timeout_ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process_, &code);
  return code;
}

void RunningProgram::settle() const {
  WaitForInputIdle(process_, 5000);
  Sleep(50);
}

HWND RunningProgram::focus() const {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(thread_id_, &info)) return nullptr;
  return info.hwndFocus;
}

HWND find_child_by_id(HWND parent, int id) {
  ChildSearch s = {id, nullptr};
  EnumChildWindows(parent, find_child, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

RECT rect_in_parent(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::string window_text(HWND window) {
  // GetWindowText of another process's control returns its caption, not what it holds now:
  // ask the control itself.
  char text[1024] = {};
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &n))
    return std::string();
  return std::string(text, n < sizeof text ? n : 0);
}

std::string class_of(HWND window) {
  char name[256];
  int n = GetClassNameA(window, name, sizeof name);
  return std::string(name, n > 0 ? n : 0);
}

void press_key(const RunningProgram& program, HWND target, WORD key, bool shift) {
  // With the two input queues attached the program reads the same key state as this thread.
  DWORD self = GetCurrentThreadId();
  AttachThreadInput(self, program.thread_id(), TRUE);
  BYTE state[256];
  GetKeyboardState(state);
  state[VK_SHIFT] = shift ? 0x80 : 0;
  state[VK_LSHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(state);
  UINT scan = MapVirtualKeyA(key, 0);
  PostMessageA(target, WM_KEYDOWN, key, 1 | (scan << 16));
  PostMessageA(target, WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
  program.settle();
  state[VK_SHIFT] = 0;
  state[VK_LSHIFT] = 0;
  SetKeyboardState(state);
  AttachThreadInput(self, program.thread_id(), FALSE);
}

std::string message_box_text(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text ? window_text(text) : std::string();
}

}  // namespace korvane::test
