#include "services/file_dialog.h"

#include <cstring>

#include "values/record_reader.h"

namespace korvane {

namespace {

// Record texts carry no terminator; a stray NUL inside one ends the text, as it would for any
// text value.
std::string record_text(ByteSpan span) {
  const void* nul = span.size ? std::memchr(span.data, 0, span.size) : nullptr;
  size_t n = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - span.data) : span.size;
  return std::string(reinterpret_cast<const char*>(span.data), n);
}

bool flag_set(int32_t value) { return value == 1; }

}  // namespace

std::optional<FileDialogSettings> parse_file_dialog_settings(ByteSpan record) {
  FileDialogSettings s;
  if (record.empty()) return s;
  RecordReader r(record);
  uint32_t version = 0;
  if (!r.u32(version) || version > 1) return std::nullopt;
  r.i32(s.dialog_type);
  r.i32(s.initial_filter_index);
  r.i32(s.prompt_to_create);
  r.i32(s.file_must_exist);
  r.i32(s.prompt_to_overwrite);
  r.i32(s.path_must_exist);
  r.i32(s.keep_current_directory);
  r.skip(8 * 4);  // integers of the non-file dialog kinds
  ByteSpan texts[7];
  for (ByteSpan& t : texts) r.counted(t);
  if (!r.ok()) return std::nullopt;
  s.title = record_text(texts[0]);
  s.file_name = record_text(texts[1]);
  s.filter = record_text(texts[2]);
  s.initial_directory = record_text(texts[3]);
  s.default_extension = record_text(texts[4]);
  return s;
}

FileDialog::FileDialog(const FileDialogSettings& settings) : values_(settings) {
  // Route the stored integers through the setters so that the record obeys the same clamping.
  set_integer_property(kDialogTypeProperty, settings.dialog_type);
  set_integer_property(kInitialFilterIndexProperty, settings.initial_filter_index);
}

int32_t FileDialog::integer_property(int number) const {
  switch (number) {
    case kDialogTypeProperty: return values_.dialog_type;
    case kInitialFilterIndexProperty: return values_.initial_filter_index;
    case kPromptToCreateProperty: return values_.prompt_to_create;
    case kFileMustExistProperty: return values_.file_must_exist;
    case kPromptToOverwriteProperty: return values_.prompt_to_overwrite;
    case kPathMustExistProperty: return values_.path_must_exist;
    case kKeepCurrentDirectoryProperty: return values_.keep_current_directory;
    default: return 0;
  }
}

void FileDialog::set_integer_property(int number, int32_t value) {
  switch (number) {
    case kDialogTypeProperty: values_.dialog_type = value < 0 ? 0 : (value > 3 ? 3 : value); break;
    case kInitialFilterIndexProperty: values_.initial_filter_index = value < 0 ? 0 : value; break;
    case kPromptToCreateProperty: values_.prompt_to_create = value; break;
    case kFileMustExistProperty: values_.file_must_exist = value; break;
    case kPromptToOverwriteProperty: values_.prompt_to_overwrite = value; break;
    case kPathMustExistProperty: values_.path_must_exist = value; break;
    case kKeepCurrentDirectoryProperty: values_.keep_current_directory = value; break;
    default: break;
  }
}

std::string* FileDialog::text_slot(int number) {
  return const_cast<std::string*>(static_cast<const FileDialog*>(this)->text_slot(number));
}

const std::string* FileDialog::text_slot(int number) const {
  switch (number) {
    case kTitleProperty: return &values_.title;
    case kFileNameProperty: return &values_.file_name;
    case kFilterProperty: return &values_.filter;
    case kInitialDirectoryProperty: return &values_.initial_directory;
    case kDefaultExtensionProperty: return &values_.default_extension;
    default: return nullptr;
  }
}

Text FileDialog::text_property(int number) const {
  const std::string* slot = text_slot(number);
  return slot ? Text::copy_of(slot->c_str()) : Text();
}

void FileDialog::set_text_property(int number, const char* value) {
  if (std::string* slot = text_slot(number)) slot->assign(value ? value : "");
}

const char* FileDialog::text_view(int number) const {
  const std::string* slot = text_slot(number);
  return slot ? slot->c_str() : kEmptyText;
}

std::string convert_filter(const char* filter) {
  std::string list = filter ? filter : "";
  while (!list.empty() && std::strchr(" \t\n\v\f\r", list.back()) != nullptr) list.pop_back();
  if (list.empty()) return list;
  if (list.size() < 2 || list.compare(list.size() - 2, 2, "||") != 0) list += "||";
  for (size_t i = 0; i < list.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(list[i]);
    if (c & 0x80) {
      ++i;  // the trail byte, whatever its value, stays (a 0x7C there is no separator)
    } else if (c == '|') {
      list[i] = '\0';
    }
  }
  return list;
}

uint32_t dialog_flags(const FileDialog& dialog) {
  uint32_t flags = kOfnHideReadOnly;
  if (flag_set(dialog.integer_property(kPromptToCreateProperty))) flags |= kOfnCreatePrompt;
  if (flag_set(dialog.integer_property(kFileMustExistProperty))) flags |= kOfnFileMustExist;
  if (flag_set(dialog.integer_property(kPromptToOverwriteProperty))) flags |= kOfnOverwritePrompt;
  if (flag_set(dialog.integer_property(kPathMustExistProperty))) flags |= kOfnPathMustExist;
  if (flag_set(dialog.integer_property(kKeepCurrentDirectoryProperty))) flags |= kOfnNoChangeDir;
  return flags | kOfnEnableHook | kOfnExplorer | kOfnEnableSizing;
}

std::string proposed_file_name(const FileDialog& dialog) {
  std::string name = dialog.text_view(kFileNameProperty);
  if (name.size() > kFileNameBufferSize - 1) name.resize(kFileNameBufferSize - 1);
  return name;
}

}  // namespace korvane
