// The handlers' view of the controls: property access by number, dialogs, captures, files and
// message boxes, all on the real controls and services.
#include "app/main_window_win32.h"
#include "picture/capture_win32.h"
#include "services/date_time.h"
#include "services/file_io.h"
#include "services/message_box_win32.h"

namespace korvane {

Text MainWindow::read_text_property(uint32_t control_id, int property) {
  Entry* e = find(control_id);
  return e ? e->control->read_text(property) : Text();
}

void MainWindow::write_text_property(uint32_t control_id, int property, const char* value) {
  if (Entry* e = find(control_id)) e->control->write_text(property, value);
}

void MainWindow::write_integer_property(uint32_t control_id, int property, int32_t value) {
  if (Entry* e = find(control_id)) e->control->write_integer(property, value);
}

void MainWindow::write_bytes_property(uint32_t control_id, int property, ByteSpan value) {
  if (Entry* e = find(control_id)) e->control->write_bytes(property, value);
}

bool MainWindow::show_dialog(uint32_t control_id) {
  Entry* e = find(control_id);
  return e && e->control->show();
}

bool MainWindow::register_drop_window(uint32_t drop_target_id, uint32_t window_control_id) {
  Entry* e = find(drop_target_id);
  HWND window = window_handle(window_control_id);
  return e && window && e->control->register_window(window);
}

Bytes MainWindow::capture_control(uint32_t control_id) {
  HWND window = window_handle(control_id);
  return window ? capture_window(window) : Bytes();
}

Bytes MainWindow::read_file(const char* name) { return korvane::read_file(name); }

int MainWindow::write_file(const char* name, std::initializer_list<ByteSpan> contents) {
  return korvane::write_file(name, contents);
}

double MainWindow::current_time() { return korvane::current_time(); }

int32_t MainWindow::message_box(const char* text, int32_t flags, const char* title) {
  return korvane::message_box(text, flags, title);
}

}  // namespace korvane
