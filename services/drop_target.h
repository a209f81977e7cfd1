// The drop target's portable half: its settings record, a bounds check of a shell file list
// (a DROPFILES block) before the platform walks it, and the got-file event text.
// The control and its COM object are in drop_target_win32.h.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "values/bytes.h"
#include "values/text.h"

namespace korvane {

// Kinds of data the drop target accepts. The defaults (an empty record) accept file lists only.
struct DropTargetSettings {
  bool accept_text = false;
  bool accept_html = false;
  bool accept_links = false;
  bool accept_files = true;
};

// Version (1), then accept text, HTML, links, files as 32-bit integers; set means non-zero.
// A version above 1 or a record cut short gives nullopt.
std::optional<DropTargetSettings> parse_drop_target_settings(ByteSpan record);

// Event numbers as the window definition binds them.
constexpr int kGotTextEvent = 0;
constexpr int kGotHtmlEvent = 1;
constexpr int kGotLinkEvent = 2;
constexpr int kGotFileEvent = 3;

// True when the block is a DROPFILES header (20 bytes: offset of the list, point, non-client
// flag, wide flag) whose list of NUL-terminated names, ended by an empty name, lies wholly
// inside the block. Data from another process is checked with this before it is read.
bool drop_files_well_formed(ByteSpan block);

// One path as it is; any other count, every path followed by "\r\n" (none gives the empty text).
Text got_file_text(const std::vector<std::string>& paths);

}  // namespace korvane
