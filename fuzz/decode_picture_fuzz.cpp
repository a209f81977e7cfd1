#include "fuzz/fuzz_checks.h"
#include "picture/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const korvane::ByteSpan bytes{data, size};
  const korvane::PictureKind kind = korvane::recognise_picture(bytes);
  auto picture = korvane::decode_picture(bytes);
  if (!picture) return 0;
  if (picture->kind != kind &&
      !(kind == korvane::PictureKind::pcx1 || kind == korvane::PictureKind::pcx8))
    std::abort();
  korvane::check_decoded(*picture);
  if (picture->kind == korvane::PictureKind::icon || picture->kind == korvane::PictureKind::cursor) {
    const korvane::IconImage& image = picture->icon_image;
    if (image.offset > size || image.size > size - image.offset) std::abort();
  }
  return 0;
}
