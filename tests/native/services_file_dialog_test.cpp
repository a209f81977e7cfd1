#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/file_dialog.h"

using namespace korvane;

namespace {

// A settings record as the window definition stores it.
std::vector<uint8_t> record(uint32_t version, const std::vector<int32_t>& integers, const std::vector<std::string>& texts) {
  std::vector<uint8_t> r;
  auto put = [&r](uint32_t v) {
    for (int i = 0; i < 4; ++i) r.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put(version);
  for (int32_t v : integers) put(static_cast<uint32_t>(v));
  for (const std::string& t : texts) {
    put(static_cast<uint32_t>(t.size()));
    r.insert(r.end(), t.begin(), t.end());
  }
  return r;
}

std::vector<uint8_t> save_dialog_record() {
  return record(1, {1, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {"", "", "*.bmp ", "", "bmp", "", ""});
}

ByteSpan span(const std::vector<uint8_t>& v) { return ByteSpan{v.data(), v.size()}; }

}  // namespace

TEST(FileDialogSettings, StoredSaveDialogRecordIs101BytesAndGivesItsSettings) {
  std::vector<uint8_t> r = save_dialog_record();
  ASSERT_EQ(r.size(), 101u);
  std::optional<FileDialogSettings> s = parse_file_dialog_settings(span(r));
  ASSERT_TRUE(s);
  EXPECT_EQ(s->dialog_type, 1);
  EXPECT_EQ(s->filter, "*.bmp ");
  EXPECT_EQ(s->default_extension, "bmp");
  EXPECT_EQ(s->file_must_exist, 1);
  EXPECT_EQ(s->prompt_to_overwrite, 1);
  EXPECT_EQ(s->path_must_exist, 1);
  EXPECT_EQ(dialog_flags(FileDialog(*s)), 0x881826u);
}

TEST(FileDialogSettings, EmptyRecordGivesTheDefaults) {
  std::optional<FileDialogSettings> s = parse_file_dialog_settings(ByteSpan{});
  ASSERT_TRUE(s);
  FileDialog d(*s);
  EXPECT_EQ(d.integer_property(kDialogTypeProperty), 0);
  EXPECT_EQ(d.integer_property(kFileMustExistProperty), 1);
  EXPECT_TRUE(d.text_property(kFilterProperty).missing());
  EXPECT_EQ(dialog_flags(d), 0x881826u);
}

TEST(FileDialogSettings, LaterVersionAndCutRecordsAreRefused) {
  std::vector<uint8_t> later = save_dialog_record();
  later[0] = 2;
  EXPECT_FALSE(parse_file_dialog_settings(span(later)));
  std::vector<uint8_t> r = save_dialog_record();
  for (size_t cut : {size_t{3}, size_t{40}, size_t{91}, size_t{100}}) {
    EXPECT_FALSE(parse_file_dialog_settings(ByteSpan{r.data(), cut})) << cut;
  }
  // A text count far past the record's end.
  std::vector<uint8_t> huge = record(1, std::vector<int32_t>(15, 0), {});
  huge.insert(huge.end(), {0xFF, 0xFF, 0xFF, 0x7F});
  EXPECT_FALSE(parse_file_dialog_settings(span(huge)));
}

TEST(FileDialogProperties, IntegersAreClampedAsWritten) {
  struct Case { int number; int32_t written; int32_t stored; };
  const Case cases[] = {
      {kDialogTypeProperty, 1, 1},          {kDialogTypeProperty, 7, 3},
      {kDialogTypeProperty, -5, 0},         {kDialogTypeProperty, INT32_MIN, 0},
      {kInitialFilterIndexProperty, -1, 0}, {kInitialFilterIndexProperty, 2, 2},
      {kPromptToCreateProperty, 5, 5},      {kKeepCurrentDirectoryProperty, -1, -1},
      {3, 9, 0},                            {20, 9, 0},
  };
  for (const Case& c : cases) {
    FileDialog d;
    d.set_integer_property(c.number, c.written);
    EXPECT_EQ(d.integer_property(c.number), c.stored) << c.number << " " << c.written;
  }
}

TEST(FileDialogProperties, TextsAreCopiedAndEmptyReadsMissing) {
  FileDialog d;
  std::string name = "C:\\照片\\a.jpg";
  d.set_text_property(kFileNameProperty, name.c_str());
  name[0] = 'X';
  EXPECT_STREQ(d.text_property(kFileNameProperty).c_str(), "C:\\照片\\a.jpg");
  d.set_text_property(kFileNameProperty, nullptr);
  EXPECT_TRUE(d.text_property(kFileNameProperty).missing());
  d.set_text_property(kTitleProperty, "");
  EXPECT_TRUE(d.text_property(kTitleProperty).missing());
  d.set_text_property(kDialogTypeProperty, "1");  // not a text property
  EXPECT_EQ(d.integer_property(kDialogTypeProperty), 0);
}

// The strings the platform reads from a converted filter: up to the first empty one. Null
// when the list runs off its end without one.
std::optional<std::vector<std::string>> platform_strings(const std::string& list) {
  std::vector<std::string> strings;
  size_t at = 0;
  for (;;) {
    size_t nul = list.find('\0', at);
    if (nul == std::string::npos) return std::nullopt;
    if (nul == at) return strings;
    strings.push_back(list.substr(at, nul - at));
    at = nul + 1;
  }
}

TEST(FileDialogFilter, Conversion) {
  using Strings = std::vector<std::string>;
  struct Case { const char* filter; Strings strings; };
  const Case cases[] = {
      {"JPG文件(*.jpg)|*.jpg|GIF文件(*.GIF)|*.gif|BMP文件(*.BMP)|*.bmp",
       {"JPG文件(*.jpg)", "*.jpg", "GIF文件(*.GIF)", "*.gif", "BMP文件(*.BMP)", "*.bmp"}},
      {"a|*.a", {"a", "*.a"}},
      {"a|*.a|  ", {"a", "*.a"}},
      {"a|*.a||", {"a", "*.a"}},
      {"a|*.a \t\r\n\v\f", {"a", "*.a"}},
      {"*.bmp ", {"*.bmp"}},
      // 0x7C as the trail byte of a double-byte character is no separator.
      {"\x81|x|*.x", {"\x81|x", "*.x"}},
      {"\xB1|\xB1|\xB1|", {"\xB1|\xB1|\xB1|"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform_strings(convert_filter(c.filter)), c.strings) << c.filter;
  }
}

TEST(FileDialogFilter, BytesOfTheList) {
  struct Case { const char* filter; std::string list; };
  const Case cases[] = {
      {"a|*.a", std::string("a\0*.a\0\0", 7)},
      {"a|*.a||", std::string("a\0*.a\0\0", 7)},  // nothing appended
      {"a|*.a|  ", std::string("a\0*.a\0\0\0", 8)},
      {"x\x81", std::string("x\x81|\0", 4)},
      {"", ""},
      {" \t ", ""},
      {nullptr, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(convert_filter(c.filter), c.list) << (c.filter ? c.filter : "(null)");
  }
}

TEST(FileDialogFlags, EachSettingAddsItsBit) {
  struct Case { int number; int32_t value; uint32_t flags; };
  const Case cases[] = {
      {kPromptToCreateProperty, 1, 0x883826},       {kPromptToCreateProperty, 2, 0x881826},
      {kFileMustExistProperty, 0, 0x880826},        {kPromptToOverwriteProperty, 0, 0x881824},
      {kPathMustExistProperty, 0, 0x881026},        {kKeepCurrentDirectoryProperty, 1, 0x88182E},
      {kKeepCurrentDirectoryProperty, -1, 0x881826},
  };
  for (const Case& c : cases) {
    FileDialog d;
    d.set_integer_property(c.number, c.value);
    EXPECT_EQ(dialog_flags(d), c.flags) << c.number << "=" << c.value;
  }
  FileDialog none;
  for (int n : {kFileMustExistProperty, kPromptToOverwriteProperty, kPathMustExistProperty}) none.set_integer_property(n, 0);
  EXPECT_EQ(dialog_flags(none), 0x880024u);
}

TEST(FileDialogName, ProposedNameIsCutTo259Bytes) {
  FileDialog d;
  d.set_text_property(kFileNameProperty, std::string(300, 'n').c_str());
  EXPECT_EQ(proposed_file_name(d).size(), 259u);
  d.set_text_property(kFileNameProperty, "2024年5月6日7时8分9秒");
  EXPECT_EQ(proposed_file_name(d), "2024年5月6日7时8分9秒");
}
