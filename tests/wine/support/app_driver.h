// Drives korvane.exe from outside as a user would: starts it, finds its windows by class and
// title, presses keys and buttons, reads message boxes, waits for it to end.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace korvane::test {

class RunningProgram {
 public:
  // Starts the named program from the test's own folder (korvane.exe by default).
  explicit RunningProgram(const std::string& exe_name = "korvane.exe");
  ~RunningProgram();  // ends the process if it is still running
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD process_id() const { return process_id_; }
  DWORD thread_id() const { return thread_id_; }

  // The program's top-level window with this class and caption, waited for up to timeout_ms.
  HWND wait_for_window(const char* class_name, const char* title, DWORD timeout_ms = 15000) const;
  // A top-level window of the program that is not `except` and is visible (dialogs, boxes).
  HWND wait_for_other_window(const char* class_name, HWND except, DWORD timeout_ms = 15000) const;
  // Waits until the program ends; its exit code, or STILL_ACTIVE after the timeout.
  DWORD wait_for_exit(DWORD timeout_ms = 15000) const;
  // Waits until the program's UI thread is idle (waiting for input).
  void settle() const;

  HWND focus() const;  // the window with the keyboard focus on the program's UI thread

 private:
  HANDLE process_ = nullptr;
  DWORD process_id_ = 0;
  DWORD thread_id_ = 0;
};

// The child of `parent` with this child identifier (searching all descendants).
HWND find_child_by_id(HWND parent, int id);
// A window's rectangle in its parent's client coordinates.
RECT rect_in_parent(HWND window);
std::string window_text(HWND window);
std::string class_of(HWND window);

// Sends a key press to `target` as the keyboard would, with Shift held when asked: the key state
// is set on the program's input queue, then the key-down/up messages are posted.
void press_key(const RunningProgram& program, HWND target, WORD key, bool shift = false);

// The text of a message box (its static text control) and its title.
std::string message_box_text(HWND box);

}  // namespace korvane::test
