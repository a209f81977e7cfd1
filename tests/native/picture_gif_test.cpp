#include <string>

#include "picture/gif.h"
#include "picture_test_support.h"

namespace korvane::test {
namespace {

// Frame pixels (top-down blue, green, red) through the frame's own table.
ByteVector frame_bgr(const GifFrame& frame) {
  ByteVector out;
  for (int32_t y = 0; y < frame.height; ++y)
    for (int32_t x = 0; x < frame.width; ++x) {
      const uint8_t* c = frame.palette[frame.indices[size_t(y) * frame.stride + x]];
      out.insert(out.end(), c, c + 3);
    }
  return out;
}

ByteVector make_gif(const std::string& name, const std::string& arguments) {
  const std::string path = scratch_path(name);
  EXPECT_TRUE(convert(arguments + " '" + path + "'")) << name;
  return read_bytes(path);
}

// A GIF built by hand around one image's LZW data (minimum code size 2, a 4-colour global table).
ByteVector hand_gif(const ByteVector& image_blocks, int width = 2, int height = 2) {
  ByteVector v = {'G', 'I', 'F', '8', '9', 'a'};
  put16(v, 6, uint32_t(width));
  put16(v, 8, uint32_t(height));
  append(v, {0x81, 0, 0});                                         // global table of 4
  append(v, {0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255});
  append(v, {0x2C, 0, 0, 0, 0, width, 0, height, 0, 0, 2});        // descriptor, code size 2
  v.insert(v.end(), image_blocks.begin(), image_blocks.end());
  v.push_back(0x3B);
  return v;
}

TEST(GifDecoder, StillImagesMatchImageMagick) {
  struct Made { const char* name; const char* arguments; };
  const Made made[] = {
      {"still.gif", "-size 23x13 gradient:red-blue -colors 16"},                                 // global table
      {"interlaced.gif", "-size 19x21 gradient:yellow-teal -colors 64 -interlace gif"},          // 89a, passes
      {"placed.gif", "-size 6x5 xc:red -fill blue -draw 'point 1 1' -transparent blue -page 12x9+3+2"},
      {"wide.gif", "-seed 9 -size 300x60 plasma:fractal -colors 256"},                            // table fills: 12-bit codes, clears
  };
  for (const Made& m : made) {
    const ByteVector file = make_gif(m.name, m.arguments);
    ASSERT_EQ(recognise_picture(span_of(file)), PictureKind::gif) << m.name;
    const ByteVector ours = our_bgr(file);
    ASSERT_FALSE(ours.empty()) << m.name;
    EXPECT_EQ(ours, imagemagick_bgr(scratch_path(m.name))) << m.name;
  }
  // The same image marked 87a decodes alike.
  ByteVector still87 = read_bytes(scratch_path("still.gif"));
  still87[4] = '7';
  EXPECT_EQ(our_bgr(still87), imagemagick_bgr(scratch_path("still.gif")));
}

TEST(GifDecoder, AnimationWithLocalTablesRewindsAtTheTrailer) {
  const ByteVector file = make_gif("animated.gif",
      "-delay 20 -dispose previous -size 17x9 gradient:red-blue -colors 32 "
      "-delay 7 -dispose background \\( -size 17x9 gradient:green-yellow -colors 8 \\) -loop 0");
  const std::string path = scratch_path("animated.gif");
  ASSERT_TRUE(convert("'" + path + "' -coalesce -depth 8 bgr:'" + path + ".bgr'"));
  const ByteVector both = read_bytes(path + ".bgr");
  ASSERT_EQ(both.size(), 2u * 17 * 9 * 3);
  const ByteVector first(both.begin(), both.begin() + both.size() / 2), second(both.begin() + both.size() / 2, both.end());

  GifStream state;
  ASSERT_TRUE(parse_gif_header(span_of(file), state));
  EXPECT_EQ(state.screen_width, 17);
  EXPECT_GT(state.global_colour_count, 0);
  GifFrame frame;
  ASSERT_TRUE(next_gif_frame(state, frame));
  EXPECT_EQ(frame_bgr(frame), first);
  EXPECT_EQ(state.delay, 20);
  EXPECT_EQ(state.disposal_code, 12u);
  const uint8_t* buffer = frame.indices.get();
  ASSERT_TRUE(next_gif_frame(state, frame));
  EXPECT_EQ(frame_bgr(frame), second);  // its own local table
  EXPECT_EQ(state.delay, 7);
  EXPECT_EQ(state.disposal_code, 8u);
  EXPECT_EQ(frame.indices.get(), buffer);  // same size: the buffer is reused
  ASSERT_TRUE(next_gif_frame(state, frame));  // past the trailer, the first again
  EXPECT_EQ(frame_bgr(frame), first);
  rewind_gif(state);
  EXPECT_EQ(state.read_position, 0u);
}

TEST(GifDecoder, OneImageComesBackAfterTheTrailerAndKeepsControlValues) {
  // Code size 2: clear (4), then 0 1 2 3 (a 2 x 2 picture), end (5). Codes start 3 bits wide
  // and grow to 4 once entry 7 is made (after code 2), least significant bit first.
  ByteVector gif = hand_gif({3, 0x44, 0x34, 0x05, 0});
  // A graphic control extension before the image: transparent index 2, delay 0x0105.
  const ByteVector gce = {0x21, 0xF9, 4, 0x08 | 0x01, 0x05, 0x01, 2, 0};  // restore to background
  gif.insert(gif.begin() + 13 + 12, gce.begin(), gce.end());
  GifStream state;
  ASSERT_TRUE(parse_gif_header(span_of(gif), state));
  GifFrame frame;
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(next_gif_frame(state, frame)) << round;
    EXPECT_EQ(frame.width, 2);
    EXPECT_EQ(frame.stride, 4);
    EXPECT_EQ(frame.indices[0], 0);
    EXPECT_EQ(frame.indices[1], 1);
    EXPECT_EQ(frame.indices[4], 2);
    EXPECT_EQ(frame.indices[5], 3);
  }
  EXPECT_TRUE(state.transparency);
  EXPECT_EQ(state.transparent_index, 2);
  EXPECT_EQ(state.delay, 0x0105);
  EXPECT_EQ(state.disposal_code, 8u);
  EXPECT_EQ(state.key_red, 255);  // table entry 2 is red
  EXPECT_EQ(state.key_green, 0);
}

TEST(GifDecoder, FramePlacedOutsideTheScreenLeavesTheCanvasWhite) {
  ByteVector gif = hand_gif({3, 0x44, 0x34, 0x05, 0});
  put16(gif, 26, 0xFFF0);  // left, far past the 2 x 2 screen
  GifStream state;
  GifFrame frame;
  ASSERT_TRUE(parse_gif_header(span_of(gif), state));
  ASSERT_TRUE(next_gif_frame(state, frame));  // the frame itself decodes; placing it is the canvas's job
  EXPECT_EQ(state.frame_left, 0xFFF0);
  EXPECT_EQ(our_bgr(gif), ByteVector(2 * 2 * 3, 0xFF));
}

TEST(GifDecoder, StreamsWithoutImagesEndWithoutHanging) {
  GifStream empty;
  GifFrame frame;
  EXPECT_FALSE(next_gif_frame(empty, frame));  // length 0
  ByteVector only_extensions = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0, 0, 0};
  append(only_extensions, {0x21, 0xFE, 3, 'a', 'b', 'c', 0, 0x21, 0xF9, 4, 0, 0, 0, 0, 0, 0x3B});
  GifStream state;
  ASSERT_TRUE(parse_gif_header(span_of(only_extensions), state));
  EXPECT_FALSE(next_gif_frame(state, frame));
  EXPECT_FALSE(next_gif_frame(state, frame));
  ByteVector trailer_first = {'G', 'I', 'F', '8', '9', 'a', 4, 0, 4, 0, 0, 0, 0, 0x3B};
  ASSERT_TRUE(parse_gif_header(span_of(trailer_first), state));
  EXPECT_FALSE(next_gif_frame(state, frame));
}

TEST(GifDecoder, RefusesBadCodesAndHeaders) {
  struct Case { const char* name; ByteVector image_blocks; };
  // 3-bit codes, least significant bit first.
  const Case cases[] = {
      {"first code past the first free", {2, 0x34, 0x00, 0}},  // clear, then code 6
      {"code past the next free", {2, 0xC4, 0x01, 0}},         // clear, 0, then 7 (next free is 6)
  };
  for (const Case& c : cases) {
    GifStream state;
    GifFrame frame;
    ASSERT_TRUE(parse_gif_header(span_of(hand_gif(c.image_blocks)), state));
    EXPECT_FALSE(next_gif_frame(state, frame)) << c.name;
  }
  // Missing data reads as ones: code 7 right after the clear refuses, no hang, no overrun.
  GifStream state;
  GifFrame frame;
  ASSERT_TRUE(parse_gif_header(span_of(hand_gif({1, 0x04}, 200, 200)), state));
  EXPECT_FALSE(next_gif_frame(state, frame));
  const ByteVector too_short = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0};
  EXPECT_FALSE(parse_gif_header(span_of(too_short), state));  // exactly 13 bytes
  ByteVector short_table = too_short;
  append(short_table, {1, 2, 3, 4, 5, 6});  // a 2-entry table needs more than 13 + 6 bytes
  EXPECT_FALSE(parse_gif_header(span_of(short_table), state));
  short_table.push_back(0x3B);
  EXPECT_TRUE(parse_gif_header(span_of(short_table), state));
}

}  // namespace
}  // namespace korvane::test
