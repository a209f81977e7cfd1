#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

#include "services/file_dialog_win32.h"

namespace korvane {

namespace {

// The hook only makes the platform treat the dialog as one a toolkit may attach to; it leaves
// every message to the dialog's default handling.
UINT_PTR CALLBACK file_dialog_hook(HWND, UINT, WPARAM, LPARAM) { return 0; }

// Disables the owner for the dialog's life and, afterwards, enables it again (if it was
// enabled before) and gives the focus back to the window that had it, if it still exists.
class OwnerDisabled {
 public:
  explicit OwnerDisabled(HWND owner) : owner_(owner), focus_(GetFocus()) {
    if (owner_) was_enabled_ = !EnableWindow(owner_, FALSE);
  }
  OwnerDisabled(const OwnerDisabled&) = delete;
  OwnerDisabled& operator=(const OwnerDisabled&) = delete;
  ~OwnerDisabled() {
    if (owner_ && was_enabled_ && IsWindow(owner_)) EnableWindow(owner_, TRUE);
    if (owner_ && IsWindow(owner_)) SetActiveWindow(owner_);
    if (focus_ && IsWindow(focus_)) SetFocus(focus_);
  }

 private:
  HWND owner_;
  HWND focus_;
  bool was_enabled_ = false;
};

}  // namespace

HWND file_dialog_owner() {
  HWND active = GetActiveWindow();
  if (!active) {
    HWND foreground = GetForegroundWindow();
    if (foreground && GetWindowThreadProcessId(foreground, nullptr) == GetCurrentThreadId()) active = foreground;
  }
  if (!active) return nullptr;
  HWND root = GetAncestor(active, GA_ROOTOWNER);
  if (!root) root = active;
  HWND popup = GetLastActivePopup(root);
  return popup && IsWindowVisible(popup) && IsWindowEnabled(popup) ? popup : root;
}

bool show_file_dialog(FileDialog& dialog) {
  const int32_t type = dialog.integer_property(kDialogTypeProperty);
  if (type != 0 && type != 1) return false;

  // The list and two extra NULs: the platform reads up to an empty string.
  const std::string converted = convert_filter(dialog.text_view(kFilterProperty));
  std::vector<char> filter(converted.begin(), converted.end());
  filter.insert(filter.end(), 2, '\0');

  char name[kFileNameBufferSize] = {};
  const std::string proposed = proposed_file_name(dialog);
  std::memcpy(name, proposed.data(), proposed.size());
  char file_title[64] = {};

  const char* title = dialog.text_view(kTitleProperty);
  const char* initial_directory = dialog.text_view(kInitialDirectoryProperty);
  const char* default_extension = dialog.text_view(kDefaultExtensionProperty);

  OPENFILENAMEA request = {};
  // The structure without its three trailing members: 76 bytes only in a 32-bit build, 136 in
  // ours; Wine refuses 76 from a 64-bit program with CDERR_STRUCTSIZE.
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  request.hwndOwner = file_dialog_owner();
  request.hInstance = GetModuleHandleA(nullptr);
  request.lpstrFilter = converted.empty() ? nullptr : filter.data();
  request.nFilterIndex = converted.empty() ? 0 : static_cast<DWORD>(dialog.integer_property(kInitialFilterIndexProperty)) + 1;
  request.lpstrFile = name;
  request.nMaxFile = sizeof name;
  request.lpstrFileTitle = file_title;
  request.nMaxFileTitle = sizeof file_title;
  request.lpstrInitialDir = *initial_directory ? initial_directory : nullptr;
  request.lpstrTitle = *title ? title : nullptr;
  request.Flags = dialog_flags(dialog);
  request.lpstrDefExt = *default_extension ? default_extension : nullptr;
  request.lpfnHook = file_dialog_hook;

  BOOL confirmed;
  {
    OwnerDisabled disabled(request.hwndOwner);
    confirmed = type == 0 ? GetOpenFileNameA(&request) : GetSaveFileNameA(&request);
  }
  if (!confirmed) return false;
  name[sizeof name - 1] = '\0';
  dialog.set_text_property(kFileNameProperty, name);
  return true;
}

}  // namespace korvane
