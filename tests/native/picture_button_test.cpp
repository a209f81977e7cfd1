#include "picture/picture_button.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane {
namespace {

struct Record {
  std::vector<uint8_t> bytes;
  Record& u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
    return *this;
  }
  Record& picture(std::vector<uint8_t> p) {
    u32(uint32_t(p.size()));
    bytes.insert(bytes.end(), p.begin(), p.end());
    return *this;
  }
  ByteSpan span() const { return ByteSpan{bytes.data(), bytes.size()}; }
};

Record full(uint32_t version, uint32_t kind, uint32_t checked, uint32_t colour) {
  Record r;
  r.u32(version).u32(kind).u32(checked).u32(colour);
  r.picture({1, 2, 3}).picture({}).picture({4}).picture({5, 6});
  return r;
}

TEST(PictureButtonSettings, EmptyRecordGivesDefaults) {
  const std::optional<PictureButtonSettings> s = parse_picture_button_settings(ByteSpan{});
  ASSERT_TRUE(s);
  EXPECT_FALSE(s->toggle);
  EXPECT_FALSE(s->checked);
  EXPECT_FALSE(s->has_transparent_colour());
  EXPECT_TRUE(s->normal.empty() && s->hover.empty() && s->pressed.empty() && s->disabled.empty());
}

TEST(PictureButtonSettings, FieldsAndPicturesAreRead) {
  const Record r = full(1, 1, 1, 0x00FF00FF);
  const PictureButtonSettings s = *parse_picture_button_settings(r.span());
  EXPECT_TRUE(s.toggle);
  EXPECT_TRUE(s.checked);
  EXPECT_EQ(s.transparent_colour, 0x00FF00FFu);
  ASSERT_EQ(s.normal.size, 3u);
  EXPECT_EQ(s.normal.data, r.bytes.data() + 20);
  EXPECT_EQ(s.hover.size, 0u);
  EXPECT_EQ(s.pressed.size, 1u);
  EXPECT_EQ(s.disabled.size, 2u);
  EXPECT_EQ(s.disabled.data[1], 6);
}

TEST(PictureButtonSettings, KindAndCheckedCountOnlyWhenOne) {
  for (uint32_t v : {0u, 2u, 0xFFFFFFFFu}) {
    const PictureButtonSettings s = *parse_picture_button_settings(full(0, v, v, 0).span());
    EXPECT_FALSE(s.toggle) << v;
    EXPECT_FALSE(s.checked) << v;
    EXPECT_TRUE(s.has_transparent_colour());
  }
}

TEST(PictureButtonSettings, RefusedRecords) {
  EXPECT_FALSE(parse_picture_button_settings(full(2, 0, 0, 0).span()));
  EXPECT_FALSE(parse_picture_button_settings(full(0x100, 0, 0, 0).span()));
  const Record good = full(1, 0, 0, 0);
  // Cut anywhere short of the end: refused.
  for (size_t n = 1; n < good.bytes.size(); ++n)
    EXPECT_FALSE(parse_picture_button_settings(ByteSpan{good.bytes.data(), n})) << n;
  // A picture count past the end of the record.
  Record lying;
  lying.u32(1).u32(0).u32(0).u32(0).u32(0x7FFFFFFF);
  EXPECT_FALSE(parse_picture_button_settings(lying.span()));
  // Trailing bytes are not an error.
  Record longer = good;
  longer.u32(99);
  EXPECT_TRUE(parse_picture_button_settings(longer.span()));
}

TEST(PictureButtonPicture, Choice) {
  struct Case {
    ButtonState state;
    bool enabled;
    AvailablePictures available;
    ButtonPicture expected;
  };
  const AvailablePictures all{true, true, true, true};
  const AvailablePictures normal_only{true, false, false, false};
  const AvailablePictures none{};
  const Case cases[] = {
      {ButtonState::normal, true, all, ButtonPicture::normal},
      {ButtonState::hover, true, all, ButtonPicture::hover},
      {ButtonState::pressed, true, all, ButtonPicture::pressed},
      {ButtonState::pressed, false, all, ButtonPicture::disabled},
      {ButtonState::hover, true, normal_only, ButtonPicture::normal},
      {ButtonState::pressed, false, normal_only, ButtonPicture::normal},
      {ButtonState::pressed, false, AvailablePictures{false, false, true, false}, ButtonPicture::pressed},
      {ButtonState::hover, true, none, ButtonPicture::none},
  };
  for (const Case& k : cases)
    EXPECT_EQ(choose_button_picture(k.state, k.enabled, k.available), k.expected)
        << int(k.state) << " enabled " << k.enabled;
}

}  // namespace
}  // namespace korvane
