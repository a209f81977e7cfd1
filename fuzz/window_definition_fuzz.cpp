// The window definition reader on hostile blocks: the input itself, and the stored block with
// the input's edits applied (a cut length, then (offset, byte) pairs), which reaches far deeper
// into the record area than random bytes do. Every settings record found is read too.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/control_settings.h"
#include "app/window_definition.h"
#include "services/drop_target.h"
#include "services/file_dialog.h"
#include "picture/picture_box.h"
#include "picture/picture_button.h"

namespace {

void read_everything(const std::vector<uint8_t>& block) {
  using namespace korvane;
  std::optional<WindowDefinition> d = read_window_definition(ByteSpan{block.data(), block.size()});
  if (!d) return;
  for (const ControlRecord& r : d->records) {
    switch (r.kind) {
      case kKindMainWindow: read_window_settings(r.settings); break;
      case kKindLabel: read_label_settings(r.settings); break;
      case kKindButton: read_button_settings(r.settings); break;
      case kKindBrowserBox: read_browser_settings(r.settings); break;
      case kKindFileDialog: parse_file_dialog_settings(r.settings); break;
      case kKindDropTarget: parse_drop_target_settings(r.settings); break;
      case kKindPictureBox: parse_picture_box_settings(r.settings); break;
      case kKindPictureButton: parse_picture_button_settings(r.settings); break;
      default: break;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Exact-size copies, so that any read past the end is caught.
  read_everything(std::vector<uint8_t>(data, data + size));

  const korvane::ByteSpan stored = korvane::stored_window_definition();
  std::vector<uint8_t> edited(stored.data, stored.data + stored.size);
  if (size >= 4) {
    uint32_t cut;
    std::memcpy(&cut, data, 4);
    if (cut % 4 == 0) edited.resize(cut % (stored.size + 1));
    for (size_t i = 4; i + 3 <= size && !edited.empty(); i += 3) {
      size_t at = (data[i] | data[i + 1] << 8) % edited.size();
      // Most of the structure is in the first 400 bytes; reach them more often.
      if (data[i + 1] & 0x80) at %= 400 < edited.size() ? 400 : edited.size();
      edited[at] = data[i + 2];
    }
  }
  read_everything(edited);
  return 0;
}
