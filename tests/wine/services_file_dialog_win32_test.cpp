#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/file_dialog_win32.h"
#include "support/services_ui_driver.h"
#include "support/test_paths.h"

using namespace korvane;
using namespace korvane::services_test;

namespace {

const char kPictureFilter[] = "JPG文件(*.jpg)|*.jpg|GIF文件(*.GIF)|*.gif|BMP文件(*.BMP)|*.bmp";

// What the driver saw of the dialog while it was up.
struct SeenDialog {
  bool found = false;
  bool owned_by_main = false;
  bool main_enabled = true;
  std::vector<std::string> types;
  int selected_type = -1;
  std::string name_box;
};

// The file-name box: an edit in Wine's dialog, an edit inside a combo box in Windows'.
HWND name_box(HWND dialog) {
  if (HWND combo = GetDlgItem(dialog, cmb13)) {
    if (HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr)) return edit;
    return combo;
  }
  return GetDlgItem(dialog, edt1);
}

// Waits for the dialog over `main`, records what it shows, then lets `act` close it.
void drive(HWND main, SeenDialog& seen, const std::function<void(HWND)>& act) {
  HWND dialog = wait_for_owned_dialog(main);
  if (!dialog) return;
  seen.found = true;
  HWND types = GetDlgItem(dialog, cmb1);
  wait_until([&] { return SendMessageA(types, CB_GETCOUNT, 0, 0) > 0 && name_box(dialog); });
  seen.owned_by_main = GetWindow(dialog, GW_OWNER) == main;
  seen.main_enabled = IsWindowEnabled(main) != FALSE;
  const LRESULT count = SendMessageA(types, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[256] = {};
    SendMessageA(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    seen.types.push_back(text);
  }
  seen.selected_type = static_cast<int>(SendMessageA(types, CB_GETCURSEL, 0, 0));
  seen.name_box = window_text(name_box(dialog));
  act(dialog);
}

void type_name(HWND dialog, const std::string& name) {
  SendMessageA(name_box(dialog), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

class FileDialogShow : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = test::scratch_folder() + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    CreateDirectoryA(folder_.c_str(), nullptr);
    folder_ += "\\";
  }

  std::string make_file(const char* name) const {
    std::string path = folder_ + name;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(f);
    return path;
  }

  // The save dialog as the program holds it, about to propose a name.
  FileDialog save_dialog(const char* proposed) const {
    FileDialogSettings s;
    s.dialog_type = 1;
    s.filter = "*.bmp ";
    s.default_extension = "bmp";
    FileDialog d(s);
    d.set_text_property(kFilterProperty, kPictureFilter);
    d.set_text_property(kFileNameProperty, proposed);
    // The program leaves the folder to the platform; here it is the test's own.
    d.set_text_property(kInitialDirectoryProperty, folder_.c_str());
    return d;
  }

  std::string folder_;
};

const std::vector<std::string> kPictureTypes = {"JPG文件(*.jpg)", "GIF文件(*.GIF)", "BMP文件(*.BMP)"};

}  // namespace

TEST_F(FileDialogShow, OpenDialogIsOwnedByMainAndConfirmsTheProposedFile) {
  const std::string picture = make_file("a.jpg");
  TestMainWindow main;
  FileDialog open;
  open.set_text_property(kFilterProperty, kPictureFilter);
  open.set_text_property(kFileNameProperty, picture.c_str());
  SeenDialog seen;
  bool confirmed;
  {
    DriverThread driver([&] { drive(main.hwnd(), seen, [](HWND d) { click_button(d, IDOK); }); });
    confirmed = show_file_dialog(open);
  }
  ASSERT_TRUE(seen.found);
  EXPECT_TRUE(seen.owned_by_main);
  EXPECT_FALSE(seen.main_enabled);
  EXPECT_EQ(seen.types, kPictureTypes);
  EXPECT_EQ(seen.selected_type, 0);
  // The platform may show the folder apart and only the name in the box.
  EXPECT_TRUE(seen.name_box == picture || seen.name_box == "a.jpg") << seen.name_box;
  EXPECT_TRUE(confirmed);
  EXPECT_STREQ(open.text_property(kFileNameProperty).c_str(), picture.c_str());
  EXPECT_TRUE(IsWindowEnabled(main.hwnd()));
  EXPECT_EQ(GetFocus(), main.edit());
}

TEST_F(FileDialogShow, CancelledOpenDialogLeavesTheEarlierPath) {
  const std::string earlier = make_file("earlier.gif");
  TestMainWindow main;
  FileDialog open;
  open.set_text_property(kFilterProperty, kPictureFilter);
  open.set_text_property(kFileNameProperty, earlier.c_str());
  SeenDialog seen;
  bool confirmed;
  {
    DriverThread driver([&] { drive(main.hwnd(), seen, [](HWND d) { click_button(d, IDCANCEL); }); });
    confirmed = show_file_dialog(open);
  }
  ASSERT_TRUE(seen.found);
  EXPECT_FALSE(confirmed);
  EXPECT_STREQ(open.text_property(kFileNameProperty).c_str(), earlier.c_str());
  EXPECT_TRUE(IsWindowEnabled(main.hwnd()));
  EXPECT_EQ(GetFocus(), main.edit());
}

TEST_F(FileDialogShow, SaveDialogCompletesAnUnchangedNameWithAnExtension) {
  const char* proposed = "2024年5月6日7时8分9秒";
  TestMainWindow main;
  FileDialog save = save_dialog(proposed);
  SeenDialog seen;
  bool confirmed;
  {
    DriverThread driver([&] { drive(main.hwnd(), seen, [](HWND d) { click_button(d, IDOK); }); });
    confirmed = show_file_dialog(save);
  }
  ASSERT_TRUE(seen.found);
  EXPECT_TRUE(seen.owned_by_main);
  EXPECT_FALSE(seen.main_enabled);
  EXPECT_EQ(seen.types, kPictureTypes);
  EXPECT_EQ(seen.selected_type, 0);
  EXPECT_EQ(seen.name_box, proposed);
  ASSERT_TRUE(confirmed);
  // Windows' dialog takes the default extension; Wine's takes the selected filter's.
  const std::string extension = running_on_wine() ? ".jpg" : ".bmp";
  EXPECT_STREQ(save.text_property(kFileNameProperty).c_str(), (folder_ + proposed + extension).c_str());
}

TEST_F(FileDialogShow, SaveDialogKeepsATypedJpgName) {
  TestMainWindow main;
  FileDialog save = save_dialog("2024年5月6日7时");
  SeenDialog seen;
  bool confirmed;
  {
    DriverThread driver([&] {
      drive(main.hwnd(), seen, [](HWND d) {
        type_name(d, "头像.jpg");
        click_button(d, IDOK);
      });
    });
    confirmed = show_file_dialog(save);
  }
  ASSERT_TRUE(confirmed);
  EXPECT_STREQ(save.text_property(kFileNameProperty).c_str(), (folder_ + "头像.jpg").c_str());
}

TEST_F(FileDialogShow, CancelledSaveDialogLeavesTheProposedName) {
  TestMainWindow main;
  FileDialog save = save_dialog("2024年5月6日");
  SeenDialog seen;
  bool confirmed;
  {
    DriverThread driver([&] { drive(main.hwnd(), seen, [](HWND d) { click_button(d, IDCANCEL); }); });
    confirmed = show_file_dialog(save);
  }
  ASSERT_TRUE(seen.found);
  EXPECT_FALSE(confirmed);
  EXPECT_STREQ(save.text_property(kFileNameProperty).c_str(), "2024年5月6日");
  EXPECT_EQ(GetFocus(), main.edit());
}

TEST_F(FileDialogShow, SaveOverAnExistingFileAsksFirst) {
  make_file("old.jpg");
  TestMainWindow main;
  FileDialog save = save_dialog("x");
  SeenDialog seen;
  bool asked = false, still_up = false;
  bool confirmed;
  {
    DriverThread driver([&] {
      drive(main.hwnd(), seen, [&](HWND d) {
        type_name(d, "old.jpg");
        click_button(d, IDOK);
        // The question is a box owned by the dialog; answering no returns to the dialog.
        HWND question = wait_for_owned_dialog(d, 10000);
        asked = question != nullptr;
        if (question) click_button(question, IDNO);
        wait_until([&] { return !IsWindow(question); }, 5000);
        still_up = IsWindow(d) && IsWindowVisible(d);
        click_button(d, IDCANCEL);
      });
    });
    confirmed = show_file_dialog(save);
  }
  EXPECT_TRUE(asked);
  EXPECT_TRUE(still_up);
  EXPECT_FALSE(confirmed);
}

TEST_F(FileDialogShow, OtherDialogTypesAreNoFileDialogs) {
  FileDialog d;
  d.set_integer_property(kDialogTypeProperty, 2);
  EXPECT_FALSE(show_file_dialog(d));
}
