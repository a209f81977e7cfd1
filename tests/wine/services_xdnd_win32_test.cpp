// Drops files on a window from outside the process, as a Linux file manager does: the native
// xdnd-drop tool speaks XDND to the window's X window, Wine turns that into an OLE drop on the
// registered drop target.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/drop_target_win32.h"
#include "support/services_ui_driver.h"
#include "support/test_paths.h"
#include "support/unix_programs.h"

using namespace korvane;
using namespace korvane::services_test;

namespace {

std::string put_file(const std::string& path, const std::string& content) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(f);
  return path;
}

std::string content_of(const std::string& path) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return "(cannot open)";
  char buffer[256];
  DWORD got = 0;
  ReadFile(f, buffer, sizeof buffer, &got, nullptr);
  CloseHandle(f);
  return std::string(buffer, got);
}

class XdndDrop : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef KORVANE_XDND_DROP_TOOL
    GTEST_SKIP() << "built without the xdnd-drop tool";
#else
    if (!running_on_wine()) GTEST_SKIP() << "XDND drops reach a window only under Wine";
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ole_ = true;
    title_ = "Korvane XDND " + std::to_string(GetCurrentProcessId());
    main_ = std::make_unique<TestMainWindow>(title_.c_str());
    ControlPlace place;
    place.left = 114;
    place.top = 234;
    place.width = 48;
    place.height = 30;
    target_ = DropTarget::create(ByteSpan{}, place, main_->hwnd());
    ASSERT_TRUE(target_);
    target_->set_got_file_handler([this](const char* text) { events_.push_back(text); });
    ASSERT_TRUE(target_->register_window(main_->hwnd()));
#endif
  }
  void TearDown() override {
    target_.reset();
    main_.reset();
    if (ole_) OleUninitialize();
  }

  // Runs the tool on its own thread while this one serves the window's messages, through
  // which Wine hands the drop to the drop target.
  int drop(const std::vector<std::string>& args) {
    int status = -1;
#ifdef KORVANE_XDND_DROP_TOOL
    std::vector<std::string> command = {KORVANE_XDND_DROP_TOOL, "--title", title_, "--timeout", "20"};
    command.insert(command.end(), args.begin(), args.end());
    {
      DriverThread tool([&] { status = test::run_unix(command); });
    }
#endif
    return status;
  }

  bool ole_ = false;
  std::string title_;
  std::unique_ptr<TestMainWindow> main_;
  std::unique_ptr<DropTarget> target_;
  std::vector<std::string> events_;
};

}  // namespace

TEST_F(XdndDrop, DroppedFileFromOutsideRaisesGotFileWithItsPath) {
#ifdef KORVANE_XDND_DROP_TOOL
  const std::string folder = test::scratch_folder();
  const std::string picture = put_file(folder + "dropped photo.jpg", "xdnd one");
  EXPECT_EQ(drop({test::unix_path(picture)}), 0);
  pump_messages();
  ASSERT_EQ(events_.size(), 1u);
  // Wine names the file by one of its drives; the name and the content are the file's.
  const std::string& text = events_[0];
  RecordProperty("got_file", text);
  EXPECT_EQ(text.substr(text.size() - std::string("\\dropped photo.jpg").size()), "\\dropped photo.jpg") << text;
  EXPECT_EQ(content_of(text), "xdnd one") << text;
#endif
}

TEST_F(XdndDrop, ThreeFilesDroppedOnAChildControlGiveOneEvent) {
#ifdef KORVANE_XDND_DROP_TOOL
  const std::string folder = test::scratch_folder();
  std::vector<std::string> args = {"--x", "20", "--y", "20"};  // over the edit control
  for (const char* name : {"a.jpg", "b.gif", "c.bmp"}) args.push_back(test::unix_path(put_file(folder + name, name)));
  EXPECT_EQ(drop(args), 0);
  pump_messages();
  ASSERT_EQ(events_.size(), 1u);
  const std::string& text = events_[0];
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  std::vector<std::string> paths;
  for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) paths.push_back(text.substr(at, end - at));
  ASSERT_EQ(paths.size(), 3u) << text;
  EXPECT_EQ(content_of(paths[0]), "a.jpg");
  EXPECT_EQ(content_of(paths[1]), "b.gif");
  EXPECT_EQ(content_of(paths[2]), "c.bmp");
#endif
}
