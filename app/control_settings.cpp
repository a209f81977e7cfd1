#include "app/control_settings.h"

#include "values/record_reader.h"

namespace korvane {
namespace {

bool read_flag(RecordReader& r, bool& out) {
  int32_t v;
  if (!r.i32(v)) return false;
  out = v != 0;
  return true;
}

bool read_text(RecordReader& r, std::string& out) {
  ByteSpan span;
  if (!r.counted(span)) return false;
  out.assign(reinterpret_cast<const char*>(span.data), span.size);
  return true;
}

// Reads the version word; false when it is missing or above what the kind knows.
bool read_version(RecordReader& r, uint32_t newest, uint32_t& version) {
  return r.u32(version) && version <= newest;
}

}  // namespace

std::optional<WindowSettings> read_window_settings(ByteSpan record) {
  WindowSettings s;
  RecordReader r(record);
  uint32_t version;
  if (!read_version(r, 6, version)) return std::nullopt;
  r.i32(s.frame_style);
  r.i32(s.background_layout);
  r.u32(s.background_colour);
  read_flag(r, s.maximise_button);
  read_flag(r, s.minimise_button);
  read_flag(r, s.control_box);
  r.i32(s.start_position);
  read_flag(r, s.movable);
  r.i32(s.music_playing);
  read_flag(r, s.enter_moves_focus);
  read_flag(r, s.esc_closes);
  read_flag(r, s.f1_opens_help);
  r.i32(s.help_topic);
  if (version >= 2) read_flag(r, s.shown_in_taskbar);
  if (version >= 3) {
    read_flag(r, s.drag_anywhere);
    r.i32(s.window_shape);
  }
  if (version >= 4) read_flag(r, s.always_on_top);
  if (version >= 5) read_flag(r, s.caption_stays_active);
  if (version >= 6) read_text(r, s.class_name);
  r.counted(s.background_picture);
  r.counted(s.icon);
  r.counted(s.background_music);
  read_text(r, s.caption);
  read_text(r, s.help_file);
  if (!r.ok()) return std::nullopt;
  return s;
}

std::optional<LabelSettings> read_label_settings(ByteSpan record) {
  LabelSettings s;
  RecordReader r(record);
  uint32_t version;
  if (!read_version(r, 2, version)) return std::nullopt;
  r.i32(s.text_effect);
  r.i32(s.shaded_frame_width);
  r.i32(s.frame_style);
  for (uint32_t& c : s.shaded_frame_colours) r.u32(c);
  r.u32(s.text_colour);
  r.u32(s.background_colour);
  r.i32(s.picture_layout);
  r.i32(s.shaded_background);
  for (uint32_t& c : s.shaded_background_colours) r.u32(c);
  r.i32(s.horizontal_alignment);
  r.i32(s.vertical_alignment);
  read_flag(r, s.word_wrap);
  r.counted(s.font);
  r.counted(s.picture);
  read_text(r, s.text);
  if (version >= 2) {
    read_text(r, s.data_source);
    read_text(r, s.data_column);
  }
  if (!r.ok()) return std::nullopt;
  return s;
}

std::optional<ButtonSettings> read_button_settings(ByteSpan record) {
  ButtonSettings s;
  RecordReader r(record);
  uint32_t version;
  if (!read_version(r, 1, version)) return std::nullopt;
  r.i32(s.button_type);
  r.i32(s.horizontal_alignment);
  r.i32(s.vertical_alignment);
  r.counted(s.picture);
  r.counted(s.font);
  read_text(r, s.caption);
  if (!r.ok()) return std::nullopt;
  return s;
}

std::optional<BrowserSettings> read_browser_settings(ByteSpan record) {
  BrowserSettings s;
  RecordReader r(record);
  uint32_t version;
  if (!read_version(r, 1, version)) return std::nullopt;
  r.i32(s.text_size);
  read_flag(r, s.offline);
  read_flag(r, s.silent);
  read_text(r, s.start_address);
  if (!r.ok()) return std::nullopt;
  return s;
}

}  // namespace korvane
