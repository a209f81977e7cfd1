#include "picture/picture_button.h"

#include "values/record_reader.h"

namespace korvane {

std::optional<PictureButtonSettings> parse_picture_button_settings(ByteSpan record) {
  PictureButtonSettings settings;
  if (record.empty()) return settings;
  RecordReader reader(record);
  uint32_t version = 0;
  uint32_t kind = 0;
  uint32_t checked = 0;
  reader.u32(version);
  if (!reader.ok() || version > 1) return std::nullopt;
  reader.u32(kind);
  reader.u32(checked);
  reader.u32(settings.transparent_colour);
  reader.counted(settings.normal);
  reader.counted(settings.hover);
  reader.counted(settings.pressed);
  reader.counted(settings.disabled);
  if (!reader.ok()) return std::nullopt;
  settings.toggle = kind == 1;
  settings.checked = checked == 1;
  return settings;
}

ButtonPicture choose_button_picture(ButtonState state, bool enabled, const AvailablePictures& available) {
  ButtonPicture candidate = ButtonPicture::none;
  if (state == ButtonState::hover && available.hover) candidate = ButtonPicture::hover;
  if (state == ButtonState::pressed && available.pressed) candidate = ButtonPicture::pressed;
  if (!enabled && available.disabled) return ButtonPicture::disabled;
  if (candidate != ButtonPicture::none) return candidate;
  return available.normal ? ButtonPicture::normal : ButtonPicture::none;
}

}  // namespace korvane
