// The 1 x 1 browser box as the running program has it. The web-browser control may or may not be
// embedded (a prefix without the HTML engine may refuse it); either way the host window stands
// at its place, takes the focus in the Tab cycle, lets keys through and the program goes on.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/app_driver.h"

namespace korvane::test {
namespace {

constexpr int kBrowserBoxId = 160;

std::vector<HWND> children_of(HWND parent) {
  std::vector<HWND> out;
  for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) out.push_back(h);
  return out;
}

class BrowserBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(program_.started());
    window_ = program_.wait_for_window("WTWindow", "Korvane");
    ASSERT_NE(window_, nullptr);
    program_.settle();
    box_ = find_child_by_id(window_, kBrowserBoxId);
    ASSERT_NE(box_, nullptr);
  }
  void tab_to_box() {
    press_key(program_, program_.focus(), VK_TAB);
    press_key(program_, program_.focus(), VK_TAB);
  }

  RunningProgram program_;
  HWND window_ = nullptr;
  HWND box_ = nullptr;
};

TEST_F(BrowserBoxTest, HostIsAOnePixelTabStopWhateverWasEmbedded) {
  EXPECT_EQ(GetParent(box_), window_);
  RECT r = rect_in_parent(box_);
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(r.top, 1);
  EXPECT_EQ(r.right - r.left, 1);
  EXPECT_EQ(r.bottom - r.top, 1);
  LONG style = GetWindowLongA(box_, GWL_STYLE);
  EXPECT_EQ(style & (WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP), WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP);
  EXPECT_TRUE(IsWindowVisible(box_));

  // An embedded control puts its window inside the host, over the host's client area; the
  // inert host has no children at all.
  std::vector<HWND> inside = children_of(box_);
  std::string classes;
  for (HWND h : inside) {
    classes += class_of(h) + " ";
    RECT c = rect_in_parent(h);
    EXPECT_EQ(c.left, 0) << class_of(h);
    EXPECT_EQ(c.top, 0) << class_of(h);
    EXPECT_LE(c.right - c.left, 1) << class_of(h);
    EXPECT_LE(c.bottom - c.top, 1) << class_of(h);
  }
  EXPECT_LE(inside.size(), 1u);
  RecordProperty("embedded_windows", inside.empty() ? "none" : classes);
}

TEST_F(BrowserBoxTest, KeysPassTheBoxAndTabLeavesIt) {
  tab_to_box();
  ASSERT_EQ(program_.focus(), box_);
  // Keys the embedded control, if any, does not take change nothing and keep the focus here.
  for (WORD key : {WORD{'A'}, WORD{VK_RETURN}, WORD{VK_DOWN}, WORD{VK_SPACE}}) {
    press_key(program_, program_.focus(), key);
    EXPECT_EQ(program_.focus(), box_) << key;
  }
  press_key(program_, program_.focus(), VK_TAB, true);
  EXPECT_EQ(program_.focus(), find_child_by_id(window_, 130));
  press_key(program_, program_.focus(), VK_TAB);
  EXPECT_EQ(program_.focus(), box_);
  press_key(program_, program_.focus(), VK_TAB);
  EXPECT_EQ(program_.focus(), find_child_by_id(window_, 110));
}

TEST_F(BrowserBoxTest, EscapeOnTheBoxClosesWithExitStatusZero) {
  tab_to_box();
  ASSERT_EQ(program_.focus(), box_);
  press_key(program_, box_, VK_ESCAPE);
  EXPECT_EQ(program_.wait_for_exit(), 0u);
}

}  // namespace
}  // namespace korvane::test
