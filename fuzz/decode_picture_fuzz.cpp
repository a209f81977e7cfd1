#include "fuzz/fuzz_checks.h"
#include "picture/picture.h"
#include "picture/true_colour.h"

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
  // What the native tool draws: icons over white, a GIF's first frame on its screen. Screens
  // of more than 4 megapixels are skipped here only to keep the target fast: their canvas is
  // just white.
  if (picture->kind == korvane::PictureKind::gif && uint64_t(picture->width) * picture->height > (1u << 22))
    return 0;
  if (auto image = korvane::to_true_colour(*picture, bytes))
    if (image->pixels.size() != size_t(image->width) * image->height * 3) std::abort();
  return 0;
}
