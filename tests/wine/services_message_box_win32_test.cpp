#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/message_box_win32.h"
#include "support/services_ui_driver.h"

using namespace korvane;
using namespace korvane::services_test;

namespace {

// What the driver saw of a message box while it was up.
struct SeenBox {
  bool found = false;
  std::string title;
  std::string text;
  int text_height = 0;
  bool has_icon = false;
  std::vector<int> buttons;
  bool main_enabled = true;
  bool topmost = false;
};

BOOL CALLBACK inspect_child(HWND child, LPARAM param) {
  auto* seen = reinterpret_cast<SeenBox*>(param);
  char cls[32] = {};
  GetClassNameA(child, cls, sizeof cls);
  const LONG style = GetWindowLongA(child, GWL_STYLE);
  if (std::string(cls) == "Button" && (style & WS_VISIBLE)) {
    seen->buttons.push_back(GetDlgCtrlID(child));
  } else if (std::string(cls) == "Static") {
    if ((style & SS_TYPEMASK) == SS_ICON) {
      seen->has_icon = seen->has_icon || SendMessageA(child, STM_GETICON, 0, 0) != 0;
    } else if (!window_text(child).empty()) {
      seen->text = window_text(child);
      RECT r;
      GetWindowRect(child, &r);
      seen->text_height = r.bottom - r.top;
    }
  }
  return TRUE;
}

// Shows a box on this thread while a driver looks at it and then presses `press`.
int32_t show_and_press(const char* text, std::optional<int32_t> flags, const char* title, int press, HWND main,
                       SeenBox& seen) {
  DriverThread driver([&] {
    HWND box = wait_for_dialog();
    if (!box) return;
    seen.found = true;
    seen.title = window_text(box);
    EnumChildWindows(box, inspect_child, reinterpret_cast<LPARAM>(&seen));
    seen.main_enabled = IsWindowEnabled(main) != FALSE;
    seen.topmost = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    click_button(box, press);
  });
  return message_box(text, flags, title);
}

}  // namespace

TEST(ServicesMessageBox, InformationBoxWithTitleAndOneOkButtonIsTaskModal) {
  TestMainWindow main;
  SeenBox seen;
  EXPECT_EQ(show_and_press("图片为空!", 64, "错误:", IDOK, main.hwnd(), seen), 0);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.title, "错误:");
  EXPECT_EQ(seen.text, "图片为空!");
  EXPECT_TRUE(seen.has_icon);
  EXPECT_EQ(seen.buttons, std::vector<int>{IDOK});
  // 64 reached the platform as 0x2040: task-modal, so the main window was disabled meanwhile.
  EXPECT_FALSE(seen.main_enabled);
  EXPECT_FALSE(seen.topmost);
  EXPECT_TRUE(IsWindowEnabled(main.hwnd()));
}

TEST(ServicesMessageBox, CrLfShowsTheTextOnTwoLines) {
  TestMainWindow main;
  SeenBox one, two;
  show_and_press("生成成功!文件已保存到", 64, "成功:", IDOK, main.hwnd(), one);
  show_and_press("生成成功!文件已保存到\r\nC:\\avatar.bmp", 64, "成功:", IDOK, main.hwnd(), two);
  ASSERT_TRUE(one.found && two.found);
  EXPECT_EQ(two.text, "生成成功!文件已保存到\r\nC:\\avatar.bmp");
  EXPECT_GE(two.text_height, one.text_height * 3 / 2);
}

TEST(ServicesMessageBox, MissingTitleIsInformationWithFullWidthColon) {
  TestMainWindow main;
  SeenBox seen;
  EXPECT_EQ(show_and_press("42", std::nullopt, nullptr, IDOK, main.hwnd(), seen), 0);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.title, "信息：");
  EXPECT_FALSE(seen.has_icon);
  EXPECT_FALSE(seen.main_enabled);
}

TEST(ServicesMessageBox, YesNoQuestionAnsweredNoReturns6) {
  TestMainWindow main;
  SeenBox seen;
  EXPECT_EQ(show_and_press("?", 0x24, "t", IDNO, main.hwnd(), seen), 6);
  EXPECT_EQ(seen.buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_TRUE(seen.has_icon);
  SeenBox yes;
  EXPECT_EQ(show_and_press("?", 0x24, "t", IDYES, main.hwnd(), yes), 5);
}

TEST(ServicesMessageBox, SystemModalFlagsReachThePlatformUnchanged) {
  TestMainWindow main;
  SeenBox seen;
  EXPECT_EQ(show_and_press("!", 0x1030, "t", IDOK, main.hwnd(), seen), 0);
  ASSERT_TRUE(seen.found);
  // Without MB_TASKMODAL added, an owner-less box leaves the main window enabled.
  EXPECT_TRUE(seen.main_enabled);
  EXPECT_TRUE(seen.topmost);
  EXPECT_TRUE(seen.has_icon);
}

TEST(ServicesMessageBox, RetryCancelResults) {
  TestMainWindow main;
  SeenBox retry, cancel;
  EXPECT_EQ(show_and_press("x", MB_RETRYCANCEL, "t", IDRETRY, main.hwnd(), retry), 3);
  EXPECT_EQ(show_and_press("x", MB_RETRYCANCEL, "t", IDCANCEL, main.hwnd(), cancel), 1);
}

TEST(ServicesMessageBox, MessageOfAnotherKindShowsItsTextForm) {
  TestMainWindow main;
  SeenBox seen;
  DriverThread driver([&] {
    HWND box = wait_for_dialog();
    if (!box) return;
    seen.found = true;
    EnumChildWindows(box, inspect_child, reinterpret_cast<LPARAM>(&seen));
    click_button(box, IDOK);
  });
  EXPECT_EQ(message_box(Message{true}, 64, "t"), 0);
  EXPECT_EQ(seen.text, "真");
}
