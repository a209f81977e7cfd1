// The file dialog control: a window-less control that keeps the settings of one open or save
// dialog as numbered properties (8-19) and turns them into the platform's request when shown
// (file_dialog_win32.h). Texts are code page 936 byte strings owned by the control; reads hand
// out new copies. Settings come from a versioned little-endian record in the window definition.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "values/bytes.h"
#include "values/text.h"

namespace korvane {

enum FileDialogProperty : int {
  kDialogTypeProperty = 8,  // 0 open, 1 save (2 and 3 are stored but are no file dialogs)
  kTitleProperty = 9,
  kFileNameProperty = 10,
  kFilterProperty = 11,
  kInitialFilterIndexProperty = 12,  // 0-based
  kInitialDirectoryProperty = 13,
  kDefaultExtensionProperty = 14,  // without the dot
  kPromptToCreateProperty = 15,    // flags 15-19 count as set only when exactly 1
  kFileMustExistProperty = 16,
  kPromptToOverwriteProperty = 17,
  kPathMustExistProperty = 18,
  kKeepCurrentDirectoryProperty = 19,
};

// The defaults are what a file dialog holds before its record is applied.
struct FileDialogSettings {
  int32_t dialog_type = 0;
  int32_t initial_filter_index = 0;
  int32_t prompt_to_create = 0;
  int32_t file_must_exist = 1;
  int32_t prompt_to_overwrite = 1;
  int32_t path_must_exist = 1;
  int32_t keep_current_directory = 0;
  std::string title;
  std::string file_name;
  std::string filter;
  std::string initial_directory;
  std::string default_extension;
};

// An empty record gives the defaults; a version above 1, or a record cut short, gives nullopt.
std::optional<FileDialogSettings> parse_file_dialog_settings(ByteSpan record);

class FileDialog {
 public:
  FileDialog() : FileDialog(FileDialogSettings{}) {}
  explicit FileDialog(const FileDialogSettings& settings);

  // Integer properties (8, 12, 15-19); any other number reads 0 and ignores writes.
  int32_t integer_property(int number) const;
  void set_integer_property(int number, int32_t value);
  // Text properties (9, 10, 11, 13, 14): a new text, missing when empty. Writing copies; null
  // writes the empty text. Other numbers read missing and ignore writes.
  Text text_property(int number) const;
  void set_text_property(int number, const char* value);

  // Borrowed views for building the platform request; never null.
  const char* text_view(int number) const;

 private:
  std::string* text_slot(int number);
  const std::string* text_slot(int number) const;

  FileDialogSettings values_;
};

// The platform's filter list: names and patterns NUL-separated, the list ended by an empty
// string. Empty when the filter has nothing but white-space. A 0x7C that is the trail byte of
// a double-byte character is kept as it is.
std::string convert_filter(const char* filter);

constexpr uint32_t kOfnOverwritePrompt = 0x2;
constexpr uint32_t kOfnHideReadOnly = 0x4;
constexpr uint32_t kOfnNoChangeDir = 0x8;
constexpr uint32_t kOfnEnableHook = 0x20;
constexpr uint32_t kOfnPathMustExist = 0x800;
constexpr uint32_t kOfnFileMustExist = 0x1000;
constexpr uint32_t kOfnCreatePrompt = 0x2000;
constexpr uint32_t kOfnExplorer = 0x80000;
constexpr uint32_t kOfnEnableSizing = 0x800000;

// The request's Flags member, the hook, Explorer style and sizing included.
uint32_t dialog_flags(const FileDialog& dialog);

// The proposed name as it goes into the platform's 260-byte name buffer: at most 259 bytes.
constexpr size_t kFileNameBufferSize = 260;
std::string proposed_file_name(const FileDialog& dialog);

}  // namespace korvane
