#include "picture/badge_button_win32.h"

#include <gtest/gtest.h>

#include "assets/badge_picture.h"
#include "picture/bmp_file.h"
#include "picture/capture_win32.h"
#include "picture/gdi_owners_win32.h"
#include "support/test_windows.h"

namespace korvane {
namespace {

// The scene the badge lives in: a main window of the real outer size with the button-face
// background, a white 150 x 150 child at (2, 1) standing in for the picture box, and the
// generate button below it. Made once: destroying a top-level window is slow under Wine.
class Scene {
 public:
  static Scene& get() {
    static Scene scene;
    return scene;
  }
  HWND main() const { return main_; }
  HWND box() const { return box_->hwnd(); }

 private:
  Scene() : white_(test::plain_picture(150, 150, 255, 255, 255)) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "KorvaneBadgeTestMain";
    RegisterClassA(&wc);
    main_ = CreateWindowExA(0, wc.lpszClassName, "Korvane", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                            300, 200, 163, 306, nullptr, nullptr, wc.hInstance, nullptr);
    box_ = std::make_unique<test::PictureWindow>(main_, RECT{2, 1, 152, 151}, &white_);
    CreateWindowExA(0, "BUTTON", "\xC9\xFA\xB3\xC9\xCD\xB7\xCF\xF1", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 78, 153,
                    72, 24, main_, nullptr, wc.hInstance, nullptr);
    ShowWindow(main_, SW_SHOWNORMAL);
    UpdateWindow(main_);
    test::dispatch_messages(200);
  }
  test::TestPicture white_;
  HWND main_ = nullptr;
  std::unique_ptr<test::PictureWindow> box_;
};

std::vector<uint8_t> record(uint32_t colour, ByteSpan normal, uint32_t version = 1) {
  std::vector<uint8_t> r;
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) r.push_back(uint8_t(v >> (8 * i)));
  };
  u32(version);
  u32(0);
  u32(0);
  u32(colour);
  u32(uint32_t(normal.size));
  r.insert(r.end(), normal.data, normal.data + normal.size);
  u32(0);
  u32(0);
  u32(0);
  return r;
}

ByteSpan badge_bytes() { return ByteSpan{kBadgePicture, sizeof kBadgePicture}; }
BmpView badge_asset() { return *view_bmp(badge_bytes()); }

bool in_body(int32_t x, int32_t y) {
  if (y >= 8 && y <= 74) return x >= 4 && x <= 55;
  if ((y >= 4 && y <= 7) || (y >= 75 && y <= 78)) return x >= 8 && x <= 52;
  return false;
}

bool same(const uint8_t* a, const uint8_t* b) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }
bool is(const uint8_t* p, uint8_t blue, uint8_t green, uint8_t red) { return p[0] == blue && p[1] == green && p[2] == red; }

// A badge in the scene, shown as the window builder shows it.
std::unique_ptr<PictureButton> make_badge(const std::vector<uint8_t>& settings) {
  Scene& scene = Scene::get();
  ControlPlace place;
  place.left = 94;
  place.top = 71;
  place.width = 60;
  place.height = 83;
  place.child_id = 0x16010028;
  std::unique_ptr<PictureButton> button =
      PictureButton::create(ByteSpan{settings.data(), settings.size()}, place, scene.box());
  if (button) {
    ShowWindow(button->hwnd(), SW_SHOWNA);
    // The box repaints first, then the badge over it.
    RedrawWindow(scene.box(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    test::dispatch_messages(100);
  }
  return button;
}

TEST(BadgeButton, BadgeAloneShowsItsBodyAndWhatLiesBeneathElsewhere) {
  const std::vector<uint8_t> settings = record(0x00FF00FF, badge_bytes());
  ASSERT_EQ(settings.size(), 15026u);
  std::unique_ptr<PictureButton> badge = make_badge(settings);
  ASSERT_TRUE(badge);
  const Bytes capture = capture_window(badge->hwnd());
  ASSERT_EQ(capture.size(), 14994);
  ASSERT_EQ(0, memcmp(capture.data(), kBadgePicture, 54)) << "headers as the 60 x 83 dump";
  const BmpView shot = *view_bmp(capture.span());
  const BmpView asset = badge_asset();

  // Beyond the box's client area the main window shows: compare with its own capture.
  const Bytes main_capture = capture_window(Scene::get().main());
  const BmpView main_shot = *view_bmp(main_capture.span());
  RECT main_rect, badge_rect;
  GetWindowRect(Scene::get().main(), &main_rect);
  GetWindowRect(badge->hwnd(), &badge_rect);
  const int32_t dx = badge_rect.left - main_rect.left, dy = badge_rect.top - main_rect.top;

  for (int32_t y = 0; y < 83; ++y)
    for (int32_t x = 0; x < 60; ++x) {
      const uint8_t* p = shot.pixel(x, y);
      ASSERT_FALSE(is(p, 255, 0, 255)) << "magenta at (" << x << ", " << y << ")";
      if (x >= 56 || y >= 79) {
        ASSERT_TRUE(same(p, main_shot.pixel(x + dx, y + dy))) << "main window at (" << x << ", " << y << ")";
      } else if (in_body(x, y)) {
        ASSERT_TRUE(same(p, asset.pixel(x, y))) << "body at (" << x << ", " << y << ")";
      } else {
        ASSERT_TRUE(is(p, 255, 255, 255)) << "box white at (" << x << ", " << y << ")";
      }
    }
  // The bottom rows include the generate button's top edge, which is not button-face coloured.
  const uint32_t face = GetSysColor(COLOR_BTNFACE);
  EXPECT_TRUE(is(shot.pixel(58, 40), GetBValue(face), GetGValue(face), GetRValue(face)));
}

TEST(BadgeButton, BoxCaptureIsWhiteWithTheBadgeBodyAtTheLowerRight) {
  std::unique_ptr<PictureButton> badge = make_badge(record(0x00FF00FF, badge_bytes()));
  ASSERT_TRUE(badge);
  const Bytes capture = capture_window(Scene::get().box());
  ASSERT_EQ(capture.size(), 67854);
  const BmpView shot = *view_bmp(capture.span());
  const BmpView asset = badge_asset();
  for (int32_t y = 0; y < 150; ++y)
    for (int32_t x = 0; x < 150; ++x) {
      const uint8_t* p = shot.pixel(x, y);
      const int32_t bx = x - 94, by = y - 71;
      if (bx >= 0 && by >= 0 && in_body(bx, by)) {
        ASSERT_TRUE(same(p, asset.pixel(bx, by))) << "(" << x << ", " << y << ")";
      } else {
        ASSERT_TRUE(is(p, 255, 255, 255)) << "(" << x << ", " << y << ")";
      }
    }
}

TEST(BadgeButton, EmptyRecordPaintsBlack) {
  std::unique_ptr<PictureButton> button = make_badge({});
  ASSERT_TRUE(button);
  const Bytes capture = capture_window(button->hwnd());
  const BmpView shot = *view_bmp(capture.span());
  for (int32_t y = 0; y < 79; ++y)
    for (int32_t x = 0; x < 56; ++x) ASSERT_TRUE(is(shot.pixel(x, y), 0, 0, 0)) << "(" << x << ", " << y << ")";
}

TEST(BadgeButton, NoTransparentColourDrawsTheWholeRectangle) {
  std::unique_ptr<PictureButton> button = make_badge(record(0xFF000000, badge_bytes()));
  ASSERT_TRUE(button);
  const Bytes capture = capture_window(button->hwnd());
  const BmpView shot = *view_bmp(capture.span());
  const BmpView asset = badge_asset();
  for (int32_t y = 0; y < 79; ++y)
    for (int32_t x = 0; x < 56; ++x)
      ASSERT_TRUE(same(shot.pixel(x, y), asset.pixel(x, y))) << "(" << x << ", " << y << ")";
}

TEST(BadgeButton, PictureAllInTheKeyColourLeavesNothingVisible) {
  std::vector<uint8_t> rows(size_t(180) * 83);
  for (size_t i = 0; i < rows.size(); i += 3) rows[i] = 255, rows[i + 1] = 0, rows[i + 2] = 255;
  const Bytes all_key = encode_bmp(60, 83, rows.data());
  std::unique_ptr<PictureButton> button = make_badge(record(0x00FF00FF, all_key.span()));
  ASSERT_TRUE(button);
  const Bytes capture = capture_window(button->hwnd());
  const BmpView shot = *view_bmp(capture.span());
  for (int32_t y = 0; y < 79; ++y)
    for (int32_t x = 0; x < 56; ++x) ASSERT_TRUE(is(shot.pixel(x, y), 255, 255, 255)) << "(" << x << ", " << y << ")";
}

TEST(BadgeButton, RefusedRecordsCreateNothing) {
  const std::vector<uint8_t> good = record(0x00FF00FF, badge_bytes());
  std::vector<uint8_t> raised = record(0x00FF00FF, badge_bytes(), 2);
  std::vector<uint8_t> cut(good.begin(), good.end() - 1);
  EXPECT_FALSE(make_badge(raised));
  EXPECT_FALSE(make_badge(cut));
  EXPECT_TRUE(make_badge(record(0x00FF00FF, badge_bytes(), 0)));
}

TEST(BadgeButton, PointerOverTheBodyHoversAndAClickLeavesTheLookUnchanged) {
  std::unique_ptr<PictureButton> badge = make_badge(record(0x00FF00FF, badge_bytes()));
  ASSERT_TRUE(badge);
  int clicks = 0;
  badge->set_click_handler([&] { ++clicks; });
  const HWND w = badge->hwnd();
  const Bytes before = capture_window(w);

  SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));  // magenta margin: the box is under the pointer
  EXPECT_EQ(badge->state(), ButtonState::normal);
  EXPECT_NE(GetCapture(), w);
  SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(30, 40));
  EXPECT_EQ(badge->state(), ButtonState::hover);
  EXPECT_EQ(GetCapture(), w);
  SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 40));
  EXPECT_EQ(badge->state(), ButtonState::pressed);
  test::dispatch_messages(20);
  const Bytes pressed = capture_window(w);
  SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(30, 40));
  EXPECT_EQ(badge->state(), ButtonState::normal);
  EXPECT_EQ(clicks, 1);
  EXPECT_NE(GetCapture(), w);
  // A release outside changes nothing and raises no click.
  SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(-5, 200));
  EXPECT_EQ(clicks, 1);
  test::dispatch_messages(20);
  const Bytes after = capture_window(w);
  ASSERT_EQ(before.size(), 14994);
  EXPECT_EQ(0, memcmp(before.data(), pressed.data(), 14994));
  EXPECT_EQ(0, memcmp(before.data(), after.data(), 14994));
}

TEST(BadgeButton, CreatingAndDestroyingLeavesNoGdiObjects) {
  const std::vector<uint8_t> settings = record(0x00FF00FF, badge_bytes());
  make_badge(settings);  // first use makes the scene and anything cached
  const long owned = live_gdi_objects();
  const DWORD system = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 50; ++i) {
    std::unique_ptr<PictureButton> b = make_badge(settings);
    SendMessageA(b->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 40));
    SendMessageA(b->hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
  }
  EXPECT_EQ(live_gdi_objects(), owned);
  EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), system);
}

}  // namespace
}  // namespace korvane
