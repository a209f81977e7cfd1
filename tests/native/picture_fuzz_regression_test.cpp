// Inputs the fuzz targets once stopped on (fuzz/regressions): each decodes or is refused, and
// what decodes is whole. GIFs are also walked as the player walks them.
#include <dirent.h>

#include <string>

#include "picture/gif.h"
#include "picture_test_support.h"

namespace korvane::test {
namespace {

TEST(FuzzRegressions, EveryInputDecodesWholeOrIsRefused) {
  const std::string dir = std::string(KORVANE_SOURCE_DIR) + "/fuzz/regressions";
  DIR* listing = opendir(dir.c_str());
  ASSERT_NE(listing, nullptr);
  int seen = 0;
  while (dirent* entry = readdir(listing)) {
    if (entry->d_name[0] == '.') continue;
    ++seen;
    const ByteVector file = read_bytes(dir + "/" + entry->d_name);
    const ByteSpan bytes = span_of(file);
    if (auto picture = decode_picture(bytes)) {
      if (auto image = to_true_colour(*picture, bytes)) {
        EXPECT_EQ(image->pixels.size(), size_t(image->width) * image->height * 3) << entry->d_name;
      }
    }
    GifStream state;
    GifFrame frame;
    if (!parse_gif_header(bytes, state)) continue;
    for (int i = 0; i < 8; ++i) {
      if (next_gif_frame(state, frame)) {
        EXPECT_LE(size_t(frame.stride) * frame.height, frame.capacity) << entry->d_name;
      }
    }
  }
  closedir(listing);
  EXPECT_GT(seen, 0);
}

}  // namespace
}  // namespace korvane::test
