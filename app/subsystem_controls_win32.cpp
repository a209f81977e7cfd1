// The controls whose kinds live in the picture and services subsystems, adapted to Control:
// picture box, picture button, file dialog and drop target.
#include "app/control_win32.h"
#include "picture/badge_button_win32.h"
#include "picture/picture_box_win32.h"
#include "services/drop_target_win32.h"
#include "services/file_dialog.h"
#include "services/file_dialog_win32.h"

namespace korvane {
namespace {

constexpr int kPictureBoxPicture = 10;
constexpr int kPictureButtonClicked = 0;
constexpr int kDropTargetGotFile = 3;

class PictureBoxControl : public Control {
 public:
  explicit PictureBoxControl(std::unique_ptr<PictureBox> box) : box_(std::move(box)) {}
  HWND hwnd() const override { return box_->hwnd(); }
  void write_bytes(int property, ByteSpan value) override {
    if (property == kPictureBoxPicture) box_->set_picture(value);
  }

 private:
  std::unique_ptr<PictureBox> box_;
};

class PictureButtonControl : public Control {
 public:
  explicit PictureButtonControl(std::unique_ptr<PictureButton> button) : button_(std::move(button)) {}
  HWND hwnd() const override { return button_->hwnd(); }

 private:
  std::unique_ptr<PictureButton> button_;
};

// A file dialog keeps its properties in memory and has a hidden window of its own.
class FileDialogControl : public Control {
 public:
  FileDialogControl(const FileDialogSettings& settings, HWND hwnd) : dialog_(settings), hwnd_(hwnd) {}
  ~FileDialogControl() override {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  HWND hwnd() const override { return hwnd_; }
  Text read_text(int property) override { return dialog_.text_property(property); }
  void write_text(int property, const char* value) override { dialog_.set_text_property(property, value); }
  void write_integer(int property, int32_t value) override { dialog_.set_integer_property(property, value); }
  bool show() override { return show_file_dialog(dialog_); }

 private:
  FileDialog dialog_;
  HWND hwnd_;
};

class DropTargetControl : public Control {
 public:
  explicit DropTargetControl(std::unique_ptr<DropTarget> target) : target_(std::move(target)) {}
  HWND hwnd() const override { return target_->hwnd(); }
  bool register_window(HWND window) override { return target_->register_window(window); }

 private:
  std::unique_ptr<DropTarget> target_;
};

}  // namespace

std::unique_ptr<Control> create_picture_box(ByteSpan settings, const ControlPlace& place, HWND parent) {
  std::unique_ptr<PictureBox> box = PictureBox::create(settings, place, parent);
  if (!box) return nullptr;
  return std::make_unique<PictureBoxControl>(std::move(box));
}

std::unique_ptr<Control> create_picture_button(ByteSpan settings, const ControlPlace& place, HWND parent,
                                               EventSink events) {
  std::unique_ptr<PictureButton> button = PictureButton::create(settings, place, parent);
  if (!button) return nullptr;
  button->set_click_handler([events] { events(kPictureButtonClicked, nullptr); });
  return std::make_unique<PictureButtonControl>(std::move(button));
}

std::unique_ptr<Control> create_file_dialog(ByteSpan settings, const ControlPlace& place, HWND parent) {
  std::optional<FileDialogSettings> parsed = parse_file_dialog_settings(settings);
  if (!parsed) return nullptr;
  HWND hwnd = create_hidden_control_window(parent, place);
  if (!hwnd) return nullptr;
  return std::make_unique<FileDialogControl>(*parsed, hwnd);
}

std::unique_ptr<Control> create_drop_target(ByteSpan settings, const ControlPlace& place, HWND parent,
                                            EventSink events) {
  std::unique_ptr<DropTarget> target = DropTarget::create(settings, place, parent);
  if (!target) return nullptr;
  target->set_got_file_handler([events](const char* text) { events(kDropTargetGotFile, text); });
  return std::make_unique<DropTargetControl>(std::move(target));
}

}  // namespace korvane
