#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "services/drop_effect.h"
#include "services/drop_target_win32.h"
#include "support/services_data_object.h"
#include "support/services_ui_driver.h"

using namespace korvane;
using namespace korvane::services_test;

namespace {

const std::vector<uint8_t> kStoredRecord = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
const DWORD kEveryEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

class DropTargetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    place_.left = 114;
    place_.top = 234;
    place_.width = 48;
    place_.height = 30;
    place_.child_id = 1009;
    target_ = DropTarget::create(ByteSpan{kStoredRecord.data(), kStoredRecord.size()}, place_, main_.hwnd());
    ASSERT_TRUE(target_);
    target_->set_got_file_handler([this](const char* text) { events_.push_back(text); });
  }
  void TearDown() override {
    target_.reset();
    OleUninitialize();
  }

  // One drag over the object as the platform makes it: enter, over, then drop.
  HRESULT drag_and_drop(IDataObject* data, DWORD key_state, DWORD& effect) {
    IDropTarget* object = target_->object();
    POINTL point = {150, 150};
    DWORD enter_effect = kEveryEffect;
    EXPECT_EQ(object->DragEnter(data, key_state, point, &enter_effect), S_OK);
    DWORD over_effect = kEveryEffect;
    EXPECT_EQ(object->DragOver(key_state, point, &over_effect), S_OK);
    EXPECT_EQ(over_effect, enter_effect);
    effect = kEveryEffect;
    return object->Drop(data, key_state, point, &effect);
  }

  TestMainWindow main_;
  ControlPlace place_;
  std::unique_ptr<DropTarget> target_;
  std::vector<std::string> events_;
};

}  // namespace

TEST_F(DropTargetTest, CreatesItsHiddenWindowAtItsPlace) {
  HWND window = target_->hwnd();
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(GetParent(window), main_.hwnd());
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetDlgCtrlID(window), 1009);
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(HWND_DESKTOP, main_.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 114);
  EXPECT_EQ(r.top, 234);
  EXPECT_EQ(r.right - r.left, 48);
  EXPECT_EQ(r.bottom - r.top, 30);
}

TEST_F(DropTargetTest, LaterRecordVersionIsRefused) {
  std::vector<uint8_t> later = kStoredRecord;
  later[0] = 2;
  EXPECT_FALSE(DropTarget::create(ByteSpan{later.data(), later.size()}, place_, main_.hwnd()));
  EXPECT_FALSE(DropTarget::create(ByteSpan{kStoredRecord.data(), 7}, place_, main_.hwnd()));
}

TEST_F(DropTargetTest, RegistersOneWindowOnceAndRevokesAtTeardown) {
  EXPECT_TRUE(target_->register_window(main_.hwnd()));
  EXPECT_FALSE(target_->register_window(main_.hwnd()));
  // The registration is in place: a second one for the window is refused by the platform.
  std::unique_ptr<DropTarget> other = DropTarget::create(ByteSpan{}, place_, main_.hwnd());
  ASSERT_TRUE(other);
  EXPECT_FALSE(other->register_window(main_.hwnd()));
  EXPECT_FALSE(other->register_window(target_->hwnd()));  // refused once, refused for good
  other.reset();
  target_.reset();
  EXPECT_EQ(RevokeDragDrop(main_.hwnd()), DRAGDROP_E_NOTREGISTERED);
}

TEST_F(DropTargetTest, AnswersIUnknownAndIDropTargetOnlyAndCountsReferences) {
  IDropTarget* object = target_->object();
  void* out = nullptr;
  EXPECT_EQ(object->QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(out, static_cast<void*>(object));
  EXPECT_EQ(object->QueryInterface(IID_IDropTarget, &out), S_OK);
  EXPECT_EQ(out, static_cast<void*>(object));
  out = &out;
  EXPECT_EQ(object->QueryInterface(IID_IDataObject, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  // One reference held by the control plus the two just handed out.
  EXPECT_EQ(object->Release(), 2u);
  EXPECT_EQ(object->Release(), 1u);
  EXPECT_EQ(object->AddRef(), 2u);
  EXPECT_EQ(object->Release(), 1u);
}

TEST_F(DropTargetTest, OneDroppedFileRaisesGotFileWithItsPath) {
  TestDataObject data;
  data.add_files({"Z:\\tmp\\photo.jpg"});
  DWORD effect = 0;
  EXPECT_EQ(drag_and_drop(&data, MK_LBUTTON, effect), E_FAIL);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  EXPECT_EQ(events_, std::vector<std::string>{"Z:\\tmp\\photo.jpg"});
  EXPECT_EQ(data.references(), 1);  // every reference the target took was given back
}

TEST_F(DropTargetTest, ThreeDroppedFilesRaiseOneEventWithEveryPathEndedByCrLf) {
  TestDataObject data;
  data.add_files({"C:\\a.jpg", "C:\\照片\\b.gif", "C:\\folder"});
  DWORD effect = 0;
  EXPECT_EQ(drag_and_drop(&data, 0, effect), E_FAIL);
  EXPECT_EQ(events_, std::vector<std::string>{"C:\\a.jpg\r\nC:\\照片\\b.gif\r\nC:\\folder\r\n"});
}

TEST_F(DropTargetTest, TextOnlyDataIsRefusedWithTheNoDropEffect) {
  TestDataObject data;
  data.add_text("selected words");
  DWORD effect = 0;
  EXPECT_EQ(drag_and_drop(&data, 0, effect), E_FAIL);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_TRUE(events_.empty());
  EXPECT_EQ(data.get_data_calls(), 0);
}

TEST_F(DropTargetTest, ModifierKeysAtTheDrop) {
  struct Case { DWORD keys; DWORD effect; bool event; };
  const Case cases[] = {
      {MK_SHIFT, DROPEFFECT_MOVE, true},
      {MK_CONTROL, DROPEFFECT_COPY, true},
      {MK_CONTROL | MK_SHIFT, DROPEFFECT_NONE, false},
  };
  for (const Case& c : cases) {
    events_.clear();
    TestDataObject data;
    data.add_files({"C:\\a.jpg"});
    DWORD effect = 0;
    EXPECT_EQ(drag_and_drop(&data, c.keys, effect), E_FAIL);
    EXPECT_EQ(effect, c.effect) << c.keys;
    EXPECT_EQ(events_.size(), c.event ? 1u : 0u) << c.keys;
  }
}

TEST_F(DropTargetTest, DropAfterLeaveOrOfDamagedListDoesNothing) {
  IDropTarget* object = target_->object();
  TestDataObject files;
  files.add_files({"C:\\a.jpg"});
  POINTL point = {0, 0};
  DWORD effect = kEveryEffect;
  object->DragEnter(&files, 0, point, &effect);
  object->DragLeave();
  effect = kEveryEffect;
  EXPECT_EQ(object->Drop(&files, 0, point, &effect), E_FAIL);
  EXPECT_EQ(effect, DROPEFFECT_NONE);

  // A list whose offset points past its block.
  TestDataObject damaged;
  std::vector<uint8_t> block(24, 0);
  block[0] = 0xF0;
  block[1] = 0xFF;
  damaged.add_file_block(block);
  EXPECT_EQ(drag_and_drop(&damaged, 0, effect), E_FAIL);
  EXPECT_EQ(damaged.get_data_calls(), 1);
  EXPECT_TRUE(events_.empty());
}

TEST_F(DropTargetTest, OleDragOverTheRegisteredWindowDrops) {
  ASSERT_TRUE(target_->register_window(main_.hwnd()));
  // A drag over a child control is served by the registered main window.
  RECT r;
  GetWindowRect(main_.edit(), &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  pump_messages();
  TestDataObject data;
  data.add_files({"Z:\\tmp\\dragged.bmp"});
  TestDropSource source(5);
  DWORD effect = 0;
  HRESULT hr = DoDragDrop(&data, &source, kEveryEffect, &effect);
  // The target tells the source that the drop did not complete; Wine hands that on as E_FAIL.
  EXPECT_TRUE(hr == E_FAIL || hr == DRAGDROP_S_DROP) << std::hex << hr;
  EXPECT_EQ(events_, std::vector<std::string>{"Z:\\tmp\\dragged.bmp"});
}
