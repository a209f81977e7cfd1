// The program's event handlers: the created handler, the import and generate buttons, and the
// drop target's got-file event. They address controls by number only, through `ControlHost`,
// which the main window implements on the real controls and tests implement with fakes.
// Every value a host call returns belongs to the handler and is released on every path (the
// owning types do that by construction).
#pragma once
#include <cstdint>
#include <initializer_list>

#include "services/file_dialog.h"
#include "values/bytes.h"
#include "values/text.h"

namespace korvane {

constexpr uint32_t kMainWindowId = 0x52010001;
constexpr uint32_t kMainWindowControlId = 0x06010000;
constexpr uint32_t kDropTargetId = 0x16010032;
constexpr uint32_t kLabelId = 0x16010031;
constexpr uint32_t kBrowserBoxId = 0x16010030;
constexpr uint32_t kBadgeButtonId = 0x16010028;
constexpr uint32_t kSaveDialogId = 0x16010026;
constexpr uint32_t kGenerateButtonId = 0x1601001D;
constexpr uint32_t kPictureBoxId = 0x1601000C;
constexpr uint32_t kImportButtonId = 0x16010008;
constexpr uint32_t kOpenDialogId = 0x16010003;

// The picture box's picture property; the file dialogs' numbers are in services/file_dialog.h.
constexpr int kPictureProperty = 10;

constexpr const char kPictureFilter[] = "JPG文件(*.jpg)|*.jpg|GIF文件(*.GIF)|*.gif|BMP文件(*.BMP)|*.bmp";

class ControlHost {
 public:
  virtual ~ControlHost() = default;
  virtual Text read_text_property(uint32_t control_id, int property) = 0;
  virtual void write_text_property(uint32_t control_id, int property, const char* value) = 0;
  virtual void write_integer_property(uint32_t control_id, int property, int32_t value) = 0;
  virtual void write_bytes_property(uint32_t control_id, int property, ByteSpan value) = 0;
  virtual bool show_dialog(uint32_t control_id) = 0;
  virtual bool register_drop_window(uint32_t drop_target_id, uint32_t window_control_id) = 0;
  // The control's window captured as a BMP file image (empty on failure).
  virtual Bytes capture_control(uint32_t control_id) = 0;
  virtual Bytes read_file(const char* name) = 0;
  virtual int write_file(const char* name, std::initializer_list<ByteSpan> contents) = 0;
  virtual double current_time() = 0;
  virtual int32_t message_box(const char* text, int32_t flags, const char* title) = 0;
};

// Handler references, as the window definition stores them.
enum HandlerReference : int32_t {
  kCreatedHandler = 0,
  kImportHandler = 1,
  kGenerateHandler = 2,
  kGotFileHandler = 3,
  kHandlerCount = 4,
};

void on_created(ControlHost& host);
void on_import_clicked(ControlHost& host);
void on_generate_clicked(ControlHost& host);
void on_got_file(ControlHost& host, const char* path);

// Runs the handler a reference names; unknown references do nothing.
void run_handler(int32_t reference, ControlHost& host, const char* argument);

// The got-file rule: the text after the last "." of the path, lower-cased, is jpg, bmp or gif.
bool has_picture_extension(const char* path);

}  // namespace korvane
