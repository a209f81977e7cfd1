// The main window: built from the window definition, it owns the nine controls, raises their
// events to the bound handlers, and implements the handlers' view of the controls.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "app/control_settings.h"
#include "app/control_win32.h"
#include "app/handlers.h"
#include "app/window_definition.h"

namespace korvane {

class MainWindow : public ControlHost {
 public:
  // Nothing when the window or any control cannot be made.
  static std::unique_ptr<MainWindow> build(const WindowDefinition& definition);
  ~MainWindow() override;

  HWND hwnd() const { return hwnd_; }
  // Keyboard handling before translation: true when the key was consumed.
  bool pre_translate(const MSG& message);

  // ControlHost
  Text read_text_property(uint32_t control_id, int property) override;
  void write_text_property(uint32_t control_id, int property, const char* value) override;
  void write_integer_property(uint32_t control_id, int property, int32_t value) override;
  void write_bytes_property(uint32_t control_id, int property, ByteSpan value) override;
  bool show_dialog(uint32_t control_id) override;
  bool register_drop_window(uint32_t drop_target_id, uint32_t window_control_id) override;
  Bytes capture_control(uint32_t control_id) override;
  Bytes read_file(const char* name) override;
  int write_file(const char* name, std::initializer_list<ByteSpan> contents) override;
  double current_time() override;
  int32_t message_box(const char* text, int32_t flags, const char* title) override;

  // The platform handle of a control's window, or null.
  HWND window_handle(uint32_t control_id) const;

 private:
  struct Entry {
    const ControlRecord* record = nullptr;
    size_t row = 0;  // 1-based row of the control table
    std::unique_ptr<Control> control;
  };

  MainWindow(const WindowDefinition& definition, WindowSettings settings);
  bool create_window();
  bool create_controls();
  void arrange_controls();
  void raise_event(uint32_t control_id, int event, const char* argument = nullptr);
  Entry* find(uint32_t control_id);
  const Entry* find(uint32_t control_id) const;
  std::vector<HWND> tab_cycle() const;
  void move_focus(bool backwards);

  static LRESULT CALLBACK window_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam);
  void on_paint();
  void on_command(WPARAM wparam, LPARAM lparam);
  void on_activate(WPARAM wparam);
  void on_destroy();

  const WindowDefinition& definition_;
  WindowSettings settings_;
  HWND hwnd_ = nullptr;
  HICON big_icon_ = nullptr;
  HICON small_icon_ = nullptr;
  HWND focus_before_deactivation_ = nullptr;
  std::vector<Entry> controls_;
};

}  // namespace korvane
