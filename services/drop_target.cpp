#include "services/drop_target.h"

#include "values/record_reader.h"

namespace korvane {

std::optional<DropTargetSettings> parse_drop_target_settings(ByteSpan record) {
  DropTargetSettings s;
  if (record.empty()) return s;
  RecordReader r(record);
  uint32_t version = 0;
  int32_t text = 0, html = 0, links = 0, files = 0;
  if (!r.u32(version) || version > 1) return std::nullopt;
  r.i32(text);
  r.i32(html);
  r.i32(links);
  r.i32(files);
  if (!r.ok()) return std::nullopt;
  s.accept_text = text != 0;
  s.accept_html = html != 0;
  s.accept_links = links != 0;
  s.accept_files = files != 0;
  return s;
}

bool drop_files_well_formed(ByteSpan block) {
  RecordReader r(block);
  uint32_t list_offset = 0, wide = 0;
  r.u32(list_offset);
  r.skip(12);  // point and non-client flag
  r.u32(wide);
  if (!r.ok() || list_offset < 20 || list_offset > block.size) return false;
  const size_t unit = wide ? 2 : 1;
  // Walk the names; the list ends at the first empty one.
  size_t position = list_offset;
  bool name_started = false;
  while (position + unit <= block.size) {
    const bool nul = block.data[position] == 0 && (unit == 1 || block.data[position + 1] == 0);
    position += unit;
    if (!nul) {
      name_started = true;
    } else if (name_started) {
      name_started = false;
    } else {
      return true;
    }
  }
  return false;
}

Text got_file_text(const std::vector<std::string>& paths) {
  if (paths.size() == 1) return Text::copy_of(paths[0].c_str());
  std::string text;
  for (const std::string& p : paths) {
    text += p;
    text += "\r\n";
  }
  return Text::copy_of(text.c_str());
}

}  // namespace korvane
