// Settings of a picture button (图形按钮), read once from its stored record: little-endian 32-bit
// words version (0 or 1), kind (1 toggle, anything else push), checked (1 held down), transparent
// colour (0x00BBGGRR; 0xFF000000 for none), then the normal, hover, pressed and disabled pictures,
// each a 32-bit byte count and that many bytes of a picture file. The picture spans point into
// the record, which the caller keeps alive while they are used.
#pragma once
#include <cstdint>
#include <optional>

#include "values/bytes.h"

namespace korvane {

constexpr uint32_t kNoTransparentColour = 0xFF000000;

struct PictureButtonSettings {
  bool toggle = false;
  bool checked = false;
  uint32_t transparent_colour = kNoTransparentColour;
  ByteSpan normal;
  ByteSpan hover;
  ByteSpan pressed;
  ByteSpan disabled;

  bool has_transparent_colour() const { return transparent_colour != kNoTransparentColour; }
};

// A record of length 0 gives the defaults. nullopt for a version other than 0 or 1 or a record
// cut short; bytes after the last picture are ignored.
std::optional<PictureButtonSettings> parse_picture_button_settings(ByteSpan record);

enum class ButtonState { normal, hover, pressed };

// Which of the four pictures a button shows: the state's own picture when it has one, the
// disabled picture whenever the button is disabled and has one, the normal picture otherwise.
enum class ButtonPicture { none, normal, hover, pressed, disabled };
struct AvailablePictures {
  bool normal = false;
  bool hover = false;
  bool pressed = false;
  bool disabled = false;
};
ButtonPicture choose_button_picture(ButtonState state, bool enabled, const AvailablePictures& available);

}  // namespace korvane
