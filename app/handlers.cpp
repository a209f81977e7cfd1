#include "app/handlers.h"

#include "services/date_time.h"

namespace korvane {

void on_created(ControlHost& host) {
  // A refused registration only means no file drops; nothing is said.
  host.register_drop_window(kDropTargetId, kMainWindowControlId);
}

namespace {
// Reads the file whole and hands it to the picture box (an unreadable file gives the empty
// value, which leaves the box white).
void show_picture_file(ControlHost& host, const char* path) {
  Bytes picture = host.read_file(path);
  host.write_bytes_property(kPictureBoxId, kPictureProperty, picture.span());
}
}  // namespace

void on_import_clicked(ControlHost& host) {
  host.write_text_property(kOpenDialogId, kFilterProperty, kPictureFilter);
  if (!host.show_dialog(kOpenDialogId)) return;
  Text path = host.read_text_property(kOpenDialogId, kFileNameProperty);
  show_picture_file(host, path.c_str());
}

bool has_picture_extension(const char* path) {
  const char* p = path ? path : kEmptyText;
  int32_t position = reverse_find(p, ".");
  int32_t length = text_length(p);
  // The difference is formed in floating point, as the count has always been; for every real
  // length it is exactly length - position (with no dot: length + 1, the whole text).
  auto count = static_cast<int32_t>(truncate_to_integer(static_cast<double>(length) - position));
  Text extension = right_part(p, count);
  Text lower = to_lower_case(extension.c_str());
  for (const char* accepted : {"jpg", "bmp", "gif"})
    if (compare_texts(lower.get(), accepted) == 0) return true;
  return false;
}

void on_got_file(ControlHost& host, const char* path) {
  if (!has_picture_extension(path)) return;
  host.write_text_property(kOpenDialogId, kFileNameProperty, path);
  show_picture_file(host, path ? path : kEmptyText);
}

void on_generate_clicked(ControlHost& host) {
  Text source = host.read_text_property(kOpenDialogId, kFileNameProperty);
  if (compare_texts(source.get(), kEmptyText) == 0) {
    host.message_box("图片为空!", 64, "错误:");
    return;
  }
  host.write_text_property(kSaveDialogId, kFilterProperty, kPictureFilter);
  host.write_integer_property(kSaveDialogId, kDialogTypeProperty, 1);
  {
    Text proposed = date_time_text(host.current_time());
    host.write_text_property(kSaveDialogId, kFileNameProperty, proposed.c_str());
  }
  if (!host.show_dialog(kSaveDialogId)) return;

  // Both captures right after the dialog closed, with nothing redrawn in between.
  Bytes frame = host.capture_control(kPictureBoxId);
  Bytes badge = host.capture_control(kBadgeButtonId);
  Text target = host.read_text_property(kSaveDialogId, kFileNameProperty);
  int written = host.write_file(target.c_str(), {frame.span(), badge.span()});

  Text confirmed = host.read_text_property(kSaveDialogId, kFileNameProperty);
  if (written) {
    Text message = concatenate_texts({"生成成功!文件已保存到\r\n", confirmed.get()});
    host.message_box(message.c_str(), 64, "成功:");
  } else {
    // A file that could not be written is never reported as saved.
    Text message = concatenate_texts({"保存失败!文件未能写入\r\n", confirmed.get()});
    host.message_box(message.c_str(), 0x10, "错误:");
  }
}

void run_handler(int32_t reference, ControlHost& host, const char* argument) {
  switch (reference) {
    case kCreatedHandler: on_created(host); break;
    case kImportHandler: on_import_clicked(host); break;
    case kGenerateHandler: on_generate_clicked(host); break;
    case kGotFileHandler: on_got_file(host, argument); break;
    default: break;
  }
}

}  // namespace korvane
