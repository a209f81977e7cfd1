#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/handlers.h"
#include "services/date_time.h"

namespace korvane {
namespace {

// A host that records what the handlers ask of it.
class FakeHost : public ControlHost {
 public:
  std::map<std::pair<uint32_t, int>, std::string> texts;
  std::map<std::pair<uint32_t, int>, int32_t> integers;
  std::vector<std::string> calls;
  std::map<std::string, std::string> files;  // name -> content
  bool dialog_result = true;
  std::string dialog_confirms;               // what the dialog puts in its file name on OK
  int write_result = 1;
  std::string picture;                       // the picture box's bytes
  double now = date_time_value(2024, 5, 6, 7, 8, 9);

  std::string text(uint32_t id, int p) { return texts[{id, p}]; }
  int32_t integer(uint32_t id, int p) { return integers[{id, p}]; }

  Text read_text_property(uint32_t id, int p) override { return Text::copy_of(texts[{id, p}].c_str()); }
  void write_text_property(uint32_t id, int p, const char* v) override { texts[{id, p}] = v ? v : ""; }
  void write_integer_property(uint32_t id, int p, int32_t v) override { integers[{id, p}] = v; }
  void write_bytes_property(uint32_t id, int p, ByteSpan v) override {
    calls.push_back("set picture");
    if (id == kPictureBoxId && p == kPictureProperty) picture.assign(reinterpret_cast<const char*>(v.data), v.size);
  }
  bool show_dialog(uint32_t id) override {
    calls.push_back(id == kOpenDialogId ? "show open" : "show save");
    if (dialog_result && !dialog_confirms.empty()) texts[{id, kFileNameProperty}] = dialog_confirms;
    return dialog_result;
  }
  bool register_drop_window(uint32_t drop, uint32_t window) override {
    calls.push_back("register " + std::to_string(drop == kDropTargetId && window == kMainWindowControlId));
    return true;
  }
  Bytes capture_control(uint32_t id) override {
    calls.push_back(id == kPictureBoxId ? "capture box" : "capture badge");
    std::string s = id == kPictureBoxId ? "BOX" : "BADGE";
    return Bytes::copy_of(s.data(), s.size());
  }
  Bytes read_file(const char* name) override {
    auto it = files.find(name);
    if (it == files.end()) return Bytes();
    return Bytes::copy_of(it->second.data(), it->second.size());
  }
  int write_file(const char* name, std::initializer_list<ByteSpan> contents) override {
    std::string all;
    for (ByteSpan c : contents) all.append(reinterpret_cast<const char*>(c.data), c.size);
    calls.push_back(std::string("write ") + name);
    if (write_result) files[name] = all;
    return write_result;
  }
  double current_time() override { return now; }
  int32_t message_box(const char* text, int32_t flags, const char* title) override {
    calls.push_back(std::string("message ") + text + " | " + std::to_string(flags) + " | " + title);
    return 0;
  }
};

TEST(CreatedHandler, RegistersTheMainWindowWithTheDropTarget) {
  FakeHost host;
  on_created(host);
  EXPECT_EQ(host.calls, std::vector<std::string>{"register 1"});
}

TEST(ImportHandler, ReadsTheChosenFileIntoThePictureBox) {
  FakeHost host;
  host.files["C:\\p\\a.jpg"] = "JPEGDATA";
  host.dialog_confirms = "C:\\p\\a.jpg";
  on_import_clicked(host);
  EXPECT_EQ(host.text(kOpenDialogId, kFilterProperty), kPictureFilter);
  EXPECT_EQ(host.picture, "JPEGDATA");
  EXPECT_EQ(host.text(kOpenDialogId, kFileNameProperty), "C:\\p\\a.jpg");
}

TEST(ImportHandler, CancelChangesNothingAndAnyExtensionIsAccepted) {
  FakeHost host;
  host.texts[{kOpenDialogId, kFileNameProperty}] = "C:\\first.gif";
  host.dialog_result = false;
  on_import_clicked(host);
  EXPECT_EQ(host.calls, std::vector<std::string>{"show open"});
  EXPECT_EQ(host.text(kOpenDialogId, kFileNameProperty), "C:\\first.gif");

  host.dialog_result = true;
  host.dialog_confirms = "C:\\typed.png";  // unreadable: the box gets the empty value
  on_import_clicked(host);
  EXPECT_EQ(host.calls.back(), "set picture");
  EXPECT_EQ(host.picture, "");
}

TEST(GotFileRule, OnlyTheTextAfterTheLastDotCounts) {
  struct Case { const char* path; bool accepted; };
  const Case cases[] = {
      {"Z:\\pics\\photo.JPG", true},   {"Z:\\pics\\anim.Gif", true},   {"Z:\\a.bmp", true},
      {"Z:\\a.jpeg", false},            {"Z:\\a.png", false},           {"Z:\\noext", false},
      {"Z:\\my.pics\\photo", false},    {"Z:\\a.jpg\r\nZ:\\b.jpg\r\n", false},
      {"", false},                      {nullptr, false},               {"Z:\\folder.jpg", true},
      {"Z:\\图片.jpg", true},           {".gif", true},                  {"a.", false},
  };
  for (const Case& c : cases) EXPECT_EQ(has_picture_extension(c.path), c.accepted) << (c.path ? c.path : "null");
}

TEST(GotFileHandler, AcceptedDropRecordsThePathAndShowsThePicture) {
  FakeHost host;
  host.files["Z:\\a.GIF"] = "GIF89a...";
  on_got_file(host, "Z:\\a.GIF");
  EXPECT_EQ(host.text(kOpenDialogId, kFileNameProperty), "Z:\\a.GIF");
  EXPECT_EQ(host.picture, "GIF89a...");

  on_got_file(host, "Z:\\b.png");
  EXPECT_EQ(host.text(kOpenDialogId, kFileNameProperty), "Z:\\a.GIF");
  EXPECT_EQ(host.calls.size(), 1u);
}

TEST(GenerateHandler, RefusesWithoutAPicture) {
  FakeHost host;
  on_generate_clicked(host);
  EXPECT_EQ(host.calls, std::vector<std::string>{"message 图片为空! | 64 | 错误:"});
}

TEST(GenerateHandler, ProposesTheTimeCapturesBoxThenBadgeAndWritesBoth) {
  FakeHost host;
  host.texts[{kOpenDialogId, kFileNameProperty}] = "C:\\a.jpg";
  host.dialog_result = false;
  on_generate_clicked(host);
  EXPECT_EQ(host.text(kSaveDialogId, kFileNameProperty), "2024年5月6日7时8分9秒");
  EXPECT_EQ(host.text(kSaveDialogId, kFilterProperty), kPictureFilter);
  EXPECT_EQ(host.integer(kSaveDialogId, kDialogTypeProperty), 1);
  EXPECT_EQ(host.calls, std::vector<std::string>{"show save"});  // cancelled: nothing else

  host.calls.clear();
  host.dialog_result = true;
  host.dialog_confirms = "C:\\out\\avatar.bmp";
  on_generate_clicked(host);
  const std::vector<std::string> expected = {
      "show save", "capture box", "capture badge", "write C:\\out\\avatar.bmp",
      "message 生成成功!文件已保存到\r\nC:\\out\\avatar.bmp | 64 | 成功:"};
  EXPECT_EQ(host.calls, expected);
  EXPECT_EQ(host.files["C:\\out\\avatar.bmp"], "BOXBADGE");
}

TEST(GenerateHandler, AFailedWriteIsReportedAsAnError) {
  FakeHost host;
  host.texts[{kOpenDialogId, kFileNameProperty}] = "C:\\a.jpg";
  host.dialog_confirms = "C:\\locked.bmp";
  host.write_result = 0;
  on_generate_clicked(host);
  EXPECT_EQ(host.calls.back(), "message 保存失败!文件未能写入\r\nC:\\locked.bmp | 16 | 错误:");
}

}  // namespace
}  // namespace korvane
