// Settings records of the kinds the main window builds itself: the window, the label, the
// buttons and the browser box. Each reader starts from the kind's defaults, reads the stored
// fields in order, leaves fields of later versions than the record's own at their defaults, and
// refuses (nothing) a record of a higher version than it knows or one cut short.
// Texts are code page 936 copies.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "values/bytes.h"

namespace korvane {

constexpr uint32_t kButtonFaceColour = 0xFF000000;  // "no colour": the system's button face

struct WindowSettings {
  int32_t frame_style = 2;
  int32_t background_layout = 1;
  uint32_t background_colour = kButtonFaceColour;
  bool maximise_button = false;
  bool minimise_button = true;
  bool control_box = true;
  int32_t start_position = 1;
  bool movable = true;
  int32_t music_playing = 0;
  bool enter_moves_focus = false;
  bool esc_closes = false;
  bool f1_opens_help = false;
  int32_t help_topic = 0;
  bool shown_in_taskbar = true;      // version 2
  bool drag_anywhere = false;        // version 3
  int32_t window_shape = 0;          // version 3
  bool always_on_top = false;        // version 4
  bool caption_stays_active = false; // version 5
  std::string class_name;            // version 6; empty means "WTWindow"
  ByteSpan background_picture, icon, background_music;
  std::string caption;
  std::string help_file;
};

struct LabelSettings {
  int32_t text_effect = 0;
  int32_t shaded_frame_width = 8;
  int32_t frame_style = 0;
  uint32_t shaded_frame_colours[3] = {0x808080, 0xFFFFFF, 0x808080};
  uint32_t text_colour = 0x000000;
  uint32_t background_colour = kButtonFaceColour;
  int32_t picture_layout = 1;
  int32_t shaded_background = 0;
  uint32_t shaded_background_colours[3] = {0x808080, 0xFFFFFF, 0x808080};
  int32_t horizontal_alignment = 0;
  int32_t vertical_alignment = 1;
  bool word_wrap = true;
  ByteSpan font, picture;
  std::string text;
  std::string data_source;  // version 2
  std::string data_column;  // version 2
};

struct ButtonSettings {
  int32_t button_type = 0;  // 1: default push button
  int32_t horizontal_alignment = 1;
  int32_t vertical_alignment = 1;
  ByteSpan picture, font;
  std::string caption;
};

struct BrowserSettings {
  int32_t text_size = 2;
  bool offline = false;
  bool silent = true;
  std::string start_address;
};

std::optional<WindowSettings> read_window_settings(ByteSpan record);
std::optional<LabelSettings> read_label_settings(ByteSpan record);
std::optional<ButtonSettings> read_button_settings(ByteSpan record);
std::optional<BrowserSettings> read_browser_settings(ByteSpan record);

}  // namespace korvane
