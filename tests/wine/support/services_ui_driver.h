// Helpers for the services' Windows tests that drive modal platform windows (message boxes,
// file dialogs) the way a user would, from a second thread while the test thread sits in the
// window's modal loop.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace korvane::services_test {

// Runs a function on its own thread; the destructor waits for it to end.
class DriverThread {
 public:
  explicit DriverThread(std::function<void()> work);
  DriverThread(const DriverThread&) = delete;
  DriverThread& operator=(const DriverThread&) = delete;
  ~DriverThread();

 private:
  static DWORD WINAPI run(void* self);
  std::function<void()> work_;
  HANDLE thread_ = nullptr;
};

// A visible top-level window of this process whose class is "#32770" (dialogs and message
// boxes) and whose title is `title` when given; null after timeout_ms.
HWND wait_for_dialog(const char* title = nullptr, DWORD timeout_ms = 15000);
// The same for a dialog owned by `owner`.
HWND wait_for_owned_dialog(HWND owner, DWORD timeout_ms = 15000);

// Waits until the condition holds or timeout_ms passes; tells which.
bool wait_until(const std::function<bool()>& condition, DWORD timeout_ms = 10000);

// The window's text as the window reports it (code page 936 bytes).
std::string window_text(HWND window);

// Presses a dialog button with the given identifier as a click would.
void click_button(HWND dialog, int id);

// A visible top-level window of a test class, standing in for the main window, with one edit
// control child (which gets the focus). Destroyed with the object.
class TestMainWindow {
 public:
  explicit TestMainWindow(const char* title = "Korvane test main window");
  TestMainWindow(const TestMainWindow&) = delete;
  TestMainWindow& operator=(const TestMainWindow&) = delete;
  ~TestMainWindow();

  HWND hwnd() const { return window_; }
  HWND edit() const { return edit_; }

 private:
  HWND window_ = nullptr;
  HWND edit_ = nullptr;
};

// Handles pending messages of this thread.
void pump_messages();

// True under Wine (ntdll exports wine_get_version).
bool running_on_wine();

}  // namespace korvane::services_test
