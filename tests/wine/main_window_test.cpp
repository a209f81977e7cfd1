// The main window as the user gets it: class, caption, frame, place, controls, keyboard,
// closing, and the fatal report of a program whose definition cannot be used.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/app_driver.h"
#include "support/test_paths.h"

namespace korvane::test {
namespace {

constexpr char kLabelText[] =
    "iPhone QQKorvane\r\n仅支持格式:GIF/JPG/BMP\r\n不支持PNG!\r\n可点击导入头像或者直接拖入图片\r\n"
    "然后生成头像即可!\r\nQ:80012345";

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.started());
    window_ = program_.wait_for_window("WTWindow", "Korvane");
    ASSERT_NE(window_, nullptr);
    program_.settle();
  }
  HWND child(int id) { return find_child_by_id(window_, id); }

  RunningProgram program_;
  HWND window_ = nullptr;
};

TEST_F(MainWindowTest, FixedFrameCentredOnTheScreen) {
  EXPECT_EQ(class_of(window_), "WTWindow");
  EXPECT_EQ(window_text(window_), "Korvane");
  LONG style = GetWindowLongA(window_, GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN),
            WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
  EXPECT_EQ(GetWindowLongA(window_, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST), 0);
  EXPECT_EQ(GetWindow(window_, GW_OWNER), nullptr);
  RECT r;
  GetWindowRect(window_, &r);
  EXPECT_EQ(r.right - r.left, 163);
  EXPECT_EQ(r.bottom - r.top, 306);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 163) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 306) / 2);
}

// Wine answers WM_GETICON from another process with no icon, so the icon is checked where the
// window takes it from: the program's own resource, in every size it carries, 32-bit colour.
TEST(ApplicationIcon, CarriesFourSizesInThirtyTwoBitColour) {
  HMODULE exe = LoadLibraryExA((program_folder() + "korvane.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  HRSRC group = FindResourceA(exe, MAKEINTRESOURCEA(1), reinterpret_cast<LPCSTR>(RT_GROUP_ICON));
  ASSERT_NE(group, nullptr);
  const auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(exe, group)));
  ASSERT_NE(dir, nullptr);
  const int count = dir[4] | dir[5] << 8;
  std::vector<int> sizes;
  for (int i = 0; i < count; ++i) {
    const BYTE* entry = dir + 6 + 14 * i;  // GRPICONDIRENTRY
    sizes.push_back(entry[0]);
    EXPECT_EQ(entry[6] | entry[7] << 8, 32);  // bits per pixel
  }
  EXPECT_EQ(sizes, (std::vector<int>{48, 32, 24, 16}));
  for (int size : {32, 16}) {
    HANDLE icon = LoadImageA(exe, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0);
    EXPECT_NE(icon, nullptr) << size;
    if (icon) DestroyIcon(static_cast<HICON>(icon));
  }
  FreeLibrary(exe);
}

TEST_F(MainWindowTest, ControlsStandAtTheirPlacesInCreationOrder) {
  struct Expected { int id; int left, top, width, height; bool visible; HWND parent; };
  HWND box = child(120);
  ASSERT_NE(box, nullptr);
  const Expected controls[] = {
      {100, 249, 300, 32, 24, false, window_}, {110, 3, 152, 72, 24, true, window_},
      {120, 2, 1, 150, 150, true, window_},    {130, 78, 153, 72, 24, true, window_},
      {140, 312, 280, 24, 48, false, window_}, {150, 94, 71, 60, 83, true, box},
      {160, 1, 1, 1, 1, true, window_},        {170, 2, 183, 153, 82, true, window_},
      {180, 114, 234, 48, 30, false, window_},
  };
  for (const Expected& e : controls) {
    SCOPED_TRACE(e.id);
    HWND h = child(e.id);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetParent(h), e.parent);
    RECT r = rect_in_parent(h);
    EXPECT_EQ(r.left, e.left);
    EXPECT_EQ(r.top, e.top);
    EXPECT_EQ(r.right - r.left, e.width);
    EXPECT_EQ(r.bottom - r.top, e.height);
    EXPECT_EQ(IsWindowVisible(h) != 0, e.visible);
  }
  EXPECT_EQ(class_of(child(110)), "Button");
  EXPECT_EQ(window_text(child(110)), "导入头像");
  EXPECT_EQ(window_text(child(130)), "生成头像");
  EXPECT_EQ(window_text(child(170)), kLabelText);
  for (int id : {110, 130}) {
    LONG style = GetWindowLongA(child(id), GWL_STYLE);
    EXPECT_EQ(style & 0x0F, BS_PUSHBUTTON);
    EXPECT_TRUE(style & WS_TABSTOP);
  }

  // Z order among the main window's children, top first.
  std::vector<int> order;
  for (HWND h = GetWindow(window_, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) order.push_back(GetDlgCtrlID(h));
  EXPECT_EQ(order, (std::vector<int>{180, 170, 160, 140, 130, 120, 110, 100}));
}

TEST_F(MainWindowTest, TabCyclesButtonsAndBrowserBoxBothWays) {
  EXPECT_EQ(program_.focus(), child(110));
  const int forward[] = {130, 160, 110};
  for (int id : forward) {
    press_key(program_, program_.focus(), VK_TAB);
    EXPECT_EQ(program_.focus(), child(id));
  }
  const int backward[] = {160, 130, 110};
  for (int id : backward) {
    press_key(program_, program_.focus(), VK_TAB, true);
    EXPECT_EQ(program_.focus(), child(id));
  }
  // Enter does nothing.
  press_key(program_, program_.focus(), VK_RETURN);
  EXPECT_EQ(program_.focus(), child(110));
  EXPECT_TRUE(IsWindow(window_));
}

TEST_F(MainWindowTest, EscapeClosesWithExitStatusZero) {
  press_key(program_, child(130), VK_ESCAPE);
  EXPECT_EQ(program_.wait_for_exit(), 0u);
}

TEST_F(MainWindowTest, CloseBoxEndsTheProgramWithStatusZero) {
  PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(program_.wait_for_exit(), 0u);
}

struct FatalCase {
  const char* exe;
  const char* message;
};

class FatalReportTest : public ::testing::TestWithParam<FatalCase> {};

TEST_P(FatalReportTest, ShowsTheReportAndExitsWithMinusOne) {
  RunningProgram program(GetParam().exe);
  ASSERT_TRUE(program.started());
  HWND box = program.wait_for_window("#32770", "错误");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
  EXPECT_EQ(message_box_text(box), std::string("运行时出错!\r\n\r\n错误信息：") + GetParam().message + "\r\n");
  EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
  EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(program.wait_for_exit(), static_cast<DWORD>(-1));
}

INSTANTIATE_TEST_SUITE_P(Definitions, FatalReportTest,
                         ::testing::Values(FatalCase{"korvane-truncated-definition.exe", "载入窗口模板数据段出错!"},
                                           FatalCase{"korvane-raised-version.exe", "载入启动窗口失败"}));

}  // namespace
}  // namespace korvane::test
