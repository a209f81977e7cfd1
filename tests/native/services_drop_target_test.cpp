#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "services/drop_effect.h"
#include "services/drop_target.h"

using namespace korvane;

TEST(DropEffect, EveryKeyStateAndAllowedCombination) {
  constexpr uint32_t N = kDropEffectNone, C = kDropEffectCopy, M = kDropEffectMove, L = kDropEffectLink;
  // Rows: allowed effects 0..7 (copy 1, move 2, link 4). Columns: no modifier, Shift, Ctrl, Ctrl+Shift.
  const uint32_t expected[8][4] = {
      /* none           */ {N, N, N, N},
      /* copy           */ {C, N, C, N},
      /* move           */ {M, M, N, N},
      /* copy+move      */ {C, M, C, N},
      /* link           */ {L, N, N, N},
      /* copy+link      */ {C, N, C, N},
      /* move+link      */ {M, M, N, N},
      /* copy+move+link */ {C, M, C, N},
  };
  const uint32_t keys[4] = {0, kKeyShift, kKeyControl, kKeyControl | kKeyShift};
  constexpr uint32_t kLeftButton = 0x1, kAlt = 0x20;  // other key bits do not matter
  for (uint32_t allowed = 0; allowed < 8; ++allowed) {
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(drop_effect(true, keys[k], allowed), expected[allowed][k]) << allowed << " " << keys[k];
      EXPECT_EQ(drop_effect(true, keys[k] | kLeftButton | kAlt, allowed), expected[allowed][k]);
      EXPECT_EQ(drop_effect(false, keys[k], allowed), N);
    }
  }
  // Bits beyond the three effects are ignored (DROPEFFECT_SCROLL is 0x80000000).
  EXPECT_EQ(drop_effect(true, 0, 0x80000000u | kDropEffectMove), M);
}

namespace {

std::vector<uint8_t> settings_record(std::initializer_list<uint32_t> words) {
  std::vector<uint8_t> r;
  for (uint32_t v : words)
    for (int i = 0; i < 4; ++i) r.push_back(static_cast<uint8_t>(v >> (8 * i)));
  return r;
}

// A DROPFILES block: list offset, point, non-client flag, wide flag, then the names.
std::vector<uint8_t> drop_files(uint32_t list_offset, bool wide, const std::vector<uint8_t>& names) {
  std::vector<uint8_t> b = settings_record({list_offset, 0, 0, 0, wide ? 1u : 0u});
  b.resize(list_offset < b.size() ? b.size() : list_offset, 0);
  b.insert(b.end(), names.begin(), names.end());
  return b;
}

std::vector<uint8_t> bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

}  // namespace

TEST(DropTargetSettings, Record) {
  std::vector<uint8_t> stored = settings_record({1, 0, 0, 0, 1});
  std::optional<DropTargetSettings> s = parse_drop_target_settings(ByteSpan{stored.data(), stored.size()});
  ASSERT_TRUE(s);
  EXPECT_FALSE(s->accept_text || s->accept_html || s->accept_links);
  EXPECT_TRUE(s->accept_files);

  std::vector<uint8_t> all = settings_record({1, 1, 1, 1, 0});
  s = parse_drop_target_settings(ByteSpan{all.data(), all.size()});
  ASSERT_TRUE(s);
  EXPECT_TRUE(s->accept_text && s->accept_html && s->accept_links);
  EXPECT_FALSE(s->accept_files);

  std::vector<uint8_t> later = settings_record({2, 0, 0, 0, 1});
  EXPECT_FALSE(parse_drop_target_settings(ByteSpan{later.data(), later.size()}));
  EXPECT_FALSE(parse_drop_target_settings(ByteSpan{stored.data(), stored.size() - 1}));
  EXPECT_TRUE(parse_drop_target_settings(ByteSpan{}));
}

TEST(DropFilesCheck, AcceptsOnlyListsInsideTheBlock) {
  struct Case { const char* name; std::vector<uint8_t> block; bool ok; };
  const std::vector<uint8_t> one = bytes(std::string("Z:\\a.jpg\0\0", 10));
  const std::vector<uint8_t> wide_one = {'a', 0, '.', 0, 'j', 0, 0, 0, 0, 0};
  const Case cases[] = {
      {"one name", drop_files(20, false, one), true},
      {"two names", drop_files(20, false, bytes(std::string("a\0b\0\0", 5))), true},
      {"no names", drop_files(20, false, {0}), true},
      {"list placed further on", drop_files(32, false, one), true},
      {"wide names", drop_files(20, true, wide_one), true},
      {"header cut short", std::vector<uint8_t>(19, 0), false},
      {"list offset inside the header", drop_files(8, false, one), false},
      {"list offset past the end", drop_files(20, false, {}), false},
      {"offset far past the end", [&] { auto b = drop_files(20, false, one); b[3] = 0x7F; return b; }(), false},
      {"no final empty name", drop_files(20, false, bytes(std::string("a.jpg\0", 6))), false},
      {"no terminator at all", drop_files(20, false, bytes("a.jpg")), false},
      {"wide list with an odd tail", drop_files(20, true, {'a', 0, 0, 0, 0}), false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(drop_files_well_formed(ByteSpan{c.block.data(), c.block.size()}), c.ok) << c.name;
  }
}

TEST(GotFileText, OnePathAloneSeveralEachEndedByCrLf) {
  EXPECT_STREQ(got_file_text({"Z:\\tmp\\photo.jpg"}).c_str(), "Z:\\tmp\\photo.jpg");
  EXPECT_STREQ(got_file_text({"C:\\a.jpg", "C:\\b.gif", "C:\\照片"}).c_str(), "C:\\a.jpg\r\nC:\\b.gif\r\nC:\\照片\r\n");
  EXPECT_STREQ(got_file_text({"C:\\a", "C:\\b"}).c_str(), "C:\\a\r\nC:\\b\r\n");
  EXPECT_TRUE(got_file_text({}).missing());
}
