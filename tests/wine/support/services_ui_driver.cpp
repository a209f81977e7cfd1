#include "support/services_ui_driver.h"

namespace korvane::services_test {

DriverThread::DriverThread(std::function<void()> work) : work_(std::move(work)) {
  thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
}

DriverThread::~DriverThread() {
  if (!thread_) return;
  // The test thread may have to keep serving messages the driver sends to its windows.
  while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) pump_messages();
  CloseHandle(thread_);
}

DWORD WINAPI DriverThread::run(void* self) {
  static_cast<DriverThread*>(self)->work_();
  return 0;
}

namespace {

struct DialogSearch {
  const char* title;
  HWND owner;
  HWND found;
};

BOOL CALLBACK match_dialog(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<DialogSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  char cls[64] = {};
  GetClassNameA(window, cls, sizeof cls);
  if (std::string(cls) != "#32770") return TRUE;
  if (search->title && window_text(window) != search->title) return TRUE;
  if (search->owner && GetWindow(window, GW_OWNER) != search->owner) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

bool wait_until(const std::function<bool()>& condition, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeout_ms) return false;
    Sleep(20);
  }
  return true;
}

HWND wait_for_owned_dialog(HWND owner, DWORD timeout_ms) {
  DialogSearch search{nullptr, owner, nullptr};
  wait_until(
      [&] {
        EnumWindows(match_dialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeout_ms);
  return search.found;
}

HWND wait_for_dialog(const char* title, DWORD timeout_ms) {
  DialogSearch search{title, nullptr, nullptr};
  wait_until(
      [&] {
        EnumWindows(match_dialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeout_ms);
  return search.found;
}

std::string window_text(HWND window) {
  char text[1024] = {};
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
  return text;
}

void click_button(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  if (button) {
    PostMessageA(button, BM_CLICK, 0, 0);
  } else {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  }
}

namespace {

const char kMainClass[] = "KorvaneServicesTestMain";

LRESULT CALLBACK main_procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  return DefWindowProcA(window, message, w, l);
}

}  // namespace

TestMainWindow::TestMainWindow(const char* title) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = main_procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kMainClass;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
  window_ = CreateWindowExA(0, kMainClass, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300, nullptr,
                            nullptr, wc.hInstance, nullptr);
  edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 24, window_,
                          reinterpret_cast<HMENU>(1), wc.hInstance, nullptr);
  SetForegroundWindow(window_);
  SetActiveWindow(window_);
  SetFocus(edit_);
  pump_messages();
}

TestMainWindow::~TestMainWindow() {
  if (IsWindow(window_)) DestroyWindow(window_);
  pump_messages();
}

void pump_messages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool running_on_wine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace korvane::services_test
