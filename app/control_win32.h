// A control of the main window as the window builder and the handlers see it: a window, and
// numbered properties read and written as texts, integers or byte values. Each kind adapts its
// own class to this; properties a kind does not have read as missing and ignore writes.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "values/bytes.h"
#include "values/control_place.h"
#include "values/text.h"

namespace korvane {

class Control {
 public:
  virtual ~Control() = default;
  virtual HWND hwnd() const = 0;
  virtual Text read_text(int /*property*/) { return Text(); }
  virtual void write_text(int /*property*/, const char* /*value*/) {}
  virtual void write_integer(int /*property*/, int32_t /*value*/) {}
  virtual void write_bytes(int /*property*/, ByteSpan /*value*/) {}
  // Only the file dialogs show.
  virtual bool show() { return false; }
  // Only the drop target serves another window.
  virtual bool register_window(HWND /*window*/) { return false; }
  // Only the browser box offers keys to an embedded object: true when that object took the key.
  virtual bool translate_accelerator(const MSG& /*message*/) { return false; }
};

// How a control raises its events: event number and the event's text argument (or null).
using EventSink = std::function<void(int event, const char* argument)>;

// The window of a control that has no appearance of its own (file dialogs, the drop target):
// a plain child window at the control's stored place that is never shown.
HWND create_hidden_control_window(HWND parent, const ControlPlace& place);

// A standard push button (the platform's "BUTTON" class) with the default GUI font.
std::unique_ptr<Control> create_button(ByteSpan settings, const ControlPlace& place, HWND parent);
std::unique_ptr<Control> create_label(ByteSpan settings, const ControlPlace& place, HWND parent);
std::unique_ptr<Control> create_browser_box(ByteSpan settings, const ControlPlace& place, HWND parent);
// The kinds with subsystems of their own, adapted to Control.
std::unique_ptr<Control> create_picture_box(ByteSpan settings, const ControlPlace& place, HWND parent);
std::unique_ptr<Control> create_picture_button(ByteSpan settings, const ControlPlace& place, HWND parent,
                                               EventSink events);
std::unique_ptr<Control> create_file_dialog(ByteSpan settings, const ControlPlace& place, HWND parent);
std::unique_ptr<Control> create_drop_target(ByteSpan settings, const ControlPlace& place, HWND parent,
                                            EventSink events);

// Window styles every child control gets from the definition's state bits.
inline DWORD child_style(const ControlPlace& place) {
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (place.disabled) style |= WS_DISABLED;
  if (place.tab_stop) style |= WS_TABSTOP;
  return style;
}

}  // namespace korvane
