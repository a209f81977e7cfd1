// korvane-picture INPUT OUTPUT.bmp: decodes INPUT as the picture box would and writes what it
// decoded as a 24-bit BMP (a GIF: its first frame on a white screen; an icon or cursor: the
// chosen image over white). Prints "WIDTHxHEIGHT KIND". Exit 0; 1 when the data is unrecognised
// or refused; 2 for usage or file errors.
#include <cstdio>
#include <vector>

#include "picture/picture.h"
#include "picture/true_colour.h"

namespace {

const char* kind_name(korvane::PictureKind kind) {
  switch (kind) {
    case korvane::PictureKind::bmp: return "bmp";
    case korvane::PictureKind::jpeg: return "jpeg";
    case korvane::PictureKind::icon: return "icon";
    case korvane::PictureKind::cursor: return "cursor";
    case korvane::PictureKind::gif: return "gif";
    case korvane::PictureKind::pcx8: return "pcx8";
    case korvane::PictureKind::pcx1: return "pcx1";
    case korvane::PictureKind::unrecognised: break;
  }
  return "unrecognised";
}

bool read_file(const char* path, std::vector<uint8_t>& out) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.insert(out.end(), chunk, chunk + n);
  const bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: korvane-picture INPUT OUTPUT.bmp\n");
    return 2;
  }
  std::vector<uint8_t> input;
  if (!read_file(argv[1], input)) {
    std::fprintf(stderr, "korvane-picture: cannot read %s\n", argv[1]);
    return 2;
  }
  const korvane::ByteSpan bytes{input.data(), input.size()};
  std::optional<korvane::DecodedPicture> picture = korvane::decode_picture(bytes);
  if (!picture) return 1;
  std::optional<korvane::TrueColourImage> image = korvane::to_true_colour(*picture, bytes);
  if (!image) return 1;
  const std::vector<uint8_t> file = korvane::encode_bmp24(*image);
  std::FILE* out = std::fopen(argv[2], "wb");
  if (!out) {
    std::fprintf(stderr, "korvane-picture: cannot write %s\n", argv[2]);
    return 2;
  }
  const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  if (std::fclose(out) != 0 || !written) {
    std::fprintf(stderr, "korvane-picture: cannot write %s\n", argv[2]);
    return 2;
  }
  std::printf("%dx%d %s\n", image->width, image->height, kind_name(picture->kind));
  return 0;
}
