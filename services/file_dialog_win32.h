// Shows a file dialog control as the platform's Explorer-style, resizable open or save dialog.
#pragma once
#include <windows.h>

#include "services/file_dialog.h"

namespace korvane {

// Puts up the open (type 0) or save (type 1) dialog over the program's active top-level window,
// which stays disabled while the dialog is up and gets its keyboard focus back afterwards.
// 1 when the user confirmed a name (then the file-name property holds the full path as the
// dialog completed it); 0 on cancel or any failure, with every property unchanged.
bool show_file_dialog(FileDialog& dialog);

// The window a dialog shown now would be owned by (null when the program has none active).
HWND file_dialog_owner();

}  // namespace korvane
