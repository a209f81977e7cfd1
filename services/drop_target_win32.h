// The drop target control: a hidden 48 x 30 child window of its own, and an OLE drop-target
// object (`EDropTarget`) that serves one other window registered with it (the main window).
// Dropped shell file lists raise got file with the path, or every path followed by "\r\n".
// OLE must be initialised on the thread (OleInitialize) before a window is registered.
#pragma once
#include <windows.h>
#include <ole2.h>

#include <functional>
#include <memory>

#include "services/drop_target.h"
#include "services/owners_win32.h"
#include "values/bytes.h"
#include "values/control_place.h"

namespace korvane {

class EDropTarget;

class DropTarget {
 public:
  // Creates the control's hidden window in parent at place; nullptr when the record's version
  // is above 1 (or the record is cut short) or the window cannot be made.
  static std::unique_ptr<DropTarget> create(ByteSpan settings_record, const ControlPlace& place, HWND parent);
  DropTarget(const DropTarget&) = delete;
  DropTarget& operator=(const DropTarget&) = delete;
  // Revokes the registration it made, destroys its window and gives up its reference to the
  // drop-target object (the platform may hold its own a little longer).
  ~DropTarget();

  HWND hwnd() const { return window_.get(); }
  // Registers window with the platform as served by this drop target. One window for the
  // control's life: a second call returns false and changes nothing, also after a refusal.
  bool register_window(HWND window);
  // The got-file handler (event 3); it gets a text that lives only while it runs.
  void set_got_file_handler(std::function<void(const char* text)> handler);

  // The object the platform calls; borrowed (the control holds a reference for its life).
  IDropTarget* object() const;

 private:
  DropTarget() = default;

  ComPtr<EDropTarget> object_;  // the control's reference, taken at creation
  WindowOwner window_;
  bool registration_asked_ = false;
  HWND registered_ = nullptr;
  bool registration_made_ = false;
};

}  // namespace korvane
