#include <cstring>

#include "picture/byte_reader.h"
#include "picture/decoders.h"
#include "picture/picture.h"

namespace korvane {

PictureKind recognise_picture(ByteSpan bytes) {
  if (!bytes.data || bytes.size < 6) return PictureKind::unrecognised;
  const uint8_t* b = bytes.data;
  // Strong magic numbers first; the order decides between overlapping rules.
  if (b[0] == 0x42 && b[1] == 0x4D) return PictureKind::bmp;
  if (b[0] == 0xFF && b[1] == 0xD8) return PictureKind::jpeg;
  const uint16_t w0 = load_u16(b), w1 = load_u16(b + 2), w2 = load_u16(b + 4);
  if (w0 == 0 && w1 == 1 && w2 > 0) return PictureKind::icon;
  if (w0 == 0 && w1 == 2 && w2 > 0) return PictureKind::cursor;
  if (std::memcmp(b, "GIF87a", 6) == 0 || std::memcmp(b, "GIF89a", 6) == 0) return PictureKind::gif;
  if (b[0] == 0x0A && b[1] <= 5 && b[2] == 1 && b[3] == 8) return PictureKind::pcx8;
  if (b[0] == 0x0A && b[1] == 3 && b[2] == 1 && b[3] == 1) return PictureKind::pcx1;
  return PictureKind::unrecognised;
}

std::optional<DecodedPicture> decode_picture(ByteSpan bytes, DecodeObserver* observer) {
  switch (recognise_picture(bytes)) {
    case PictureKind::bmp: return decode_bmp(bytes);
    case PictureKind::jpeg: return decode_jpeg(bytes, observer);
    case PictureKind::icon:
    case PictureKind::cursor: return decode_icon(bytes);
    case PictureKind::gif: return check_gif(bytes);
    case PictureKind::pcx8:
    case PictureKind::pcx1: return decode_pcx(bytes);
    case PictureKind::unrecognised: break;
  }
  return std::nullopt;
}

}  // namespace korvane
