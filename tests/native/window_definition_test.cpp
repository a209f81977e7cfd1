#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/control_settings.h"
#include "app/handlers.h"
#include "app/window_definition.h"
#include "services/drop_target.h"
#include "services/file_dialog.h"
#include "values/record_reader.h"

namespace korvane {
namespace {

struct Row {
  uint32_t id;
  uint32_t kind;
  const char* name;
  int32_t left, top, width, height;
  uint32_t parent;
  uint32_t flags;
  int32_t created_or_clicked;  // handler bound to the row's one event, or -1
  uint32_t event;
  uint32_t settings_size;
};

// The window and its nine controls as the program shows them.
const Row kExpected[] = {
    {kMainWindowControlId, kKindMainWindow, "", 50, 50, 163, 306, 0, 1, kCreatedHandler, 0, 0},
    {0x16010032, kKindDropTarget, "拖放对象1", 114, 234, 48, 30, 0, 0, kGotFileHandler, 3, 20},
    {0x16010031, kKindLabel, "标签1", 2, 183, 153, 82, 0, 1, -1, 0, 0},
    {0x16010030, kKindBrowserBox, "超文本浏览框1", 1, 1, 1, 1, 0, 5, -1, 0, 20},
    {0x16010028, kKindPictureButton, "图形按钮1", 94, 71, 60, 83, 0x1601000C, 1, -1, 0, 15026},
    {0x16010026, kKindFileDialog, "通用对话框1", 312, 280, 24, 48, 0, 0, -1, 0, 101},
    {0x1601001D, kKindButton, "按钮2", 78, 153, 72, 24, 0, 5, kGenerateHandler, 0, 0},
    {0x1601000C, kKindPictureBox, "图片框1", 2, 1, 150, 150, 0, 1, -1, 0, 32},
    {0x16010008, kKindButton, "按钮1", 3, 152, 72, 24, 0, 5, kImportHandler, 0, 0},
    {0x16010003, kKindFileDialog, "通用对话框2", 249, 300, 32, 24, 0, 0, -1, 0, 92},
};

TEST(WindowDefinition, StoredBlockYieldsTheControlTable) {
  std::optional<WindowDefinition> d = read_window_definition(stored_window_definition());
  ASSERT_TRUE(d);
  EXPECT_EQ(d->window_id, kMainWindowId);
  ASSERT_EQ(d->records.size(), 10u);
  for (size_t i = 0; i < 10; ++i) {
    const Row& want = kExpected[i];
    const ControlRecord& got = d->records[i];
    SCOPED_TRACE(want.name);
    EXPECT_EQ(got.control_id, want.id);
    EXPECT_EQ(got.kind, want.kind);
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.width, want.width);
    EXPECT_EQ(got.height, want.height);
    EXPECT_EQ(got.parent_id, want.parent);
    EXPECT_EQ(got.state_flags, want.flags);
    EXPECT_EQ(got.tab_order, 0);
    if (want.created_or_clicked >= 0) {
      ASSERT_EQ(got.events.size(), 1u);
      EXPECT_EQ(got.events[0].event, want.event);
      EXPECT_EQ(got.events[0].handler, want.created_or_clicked);
    } else {
      EXPECT_TRUE(got.events.empty());
    }
    if (want.settings_size) EXPECT_EQ(got.settings.size, want.settings_size);
  }
  // Only the picture box has a child: the badge.
  EXPECT_EQ(d->records[7].children, std::vector<uint32_t>{0x16010028});
  for (size_t i = 0; i < 10; ++i)
    if (i != 7) EXPECT_TRUE(d->records[i].children.empty());
}

TEST(WindowDefinition, StoredSettingsRecordsHoldTheProgramsValues) {
  std::optional<WindowDefinition> d = read_window_definition(stored_window_definition());
  ASSERT_TRUE(d);
  std::optional<WindowSettings> window = read_window_settings(d->records[0].settings);
  ASSERT_TRUE(window);
  EXPECT_EQ(window->frame_style, 2);
  EXPECT_EQ(window->caption, "Korvane");
  EXPECT_TRUE(window->class_name.empty());
  EXPECT_TRUE(window->esc_closes);
  EXPECT_FALSE(window->maximise_button);
  EXPECT_TRUE(window->minimise_button);
  EXPECT_EQ(window->start_position, 1);
  EXPECT_EQ(window->background_colour, kButtonFaceColour);

  std::optional<LabelSettings> label = read_label_settings(d->records[2].settings);
  ASSERT_TRUE(label);
  EXPECT_EQ(label->text.rfind("iPhone QQKorvane\r\n仅支持格式:GIF/JPG/BMP\r\n不支持PNG!\r\n"
                              "可点击导入头像或者直接拖入图片\r\n然后生成头像即可!\r\nQ:", 0),
            0u);
  EXPECT_TRUE(label->word_wrap);
  EXPECT_EQ(label->text_colour, 0u);

  EXPECT_EQ(read_button_settings(d->records[6].settings)->caption, "生成头像");
  EXPECT_EQ(read_button_settings(d->records[8].settings)->caption, "导入头像");
  std::optional<BrowserSettings> browser = read_browser_settings(d->records[3].settings);
  ASSERT_TRUE(browser);
  EXPECT_EQ(browser->text_size, 2);
  EXPECT_TRUE(browser->silent);
  EXPECT_FALSE(browser->offline);

  std::optional<FileDialogSettings> save = parse_file_dialog_settings(d->records[5].settings);
  ASSERT_TRUE(save);
  FileDialog save_dialog(*save);
  EXPECT_EQ(save_dialog.integer_property(8), 1);
  EXPECT_STREQ(save_dialog.text_property(11).c_str(), "*.bmp ");
  EXPECT_STREQ(save_dialog.text_property(14).c_str(), "bmp");
  EXPECT_EQ(dialog_flags(save_dialog), 0x881826u);
  std::optional<FileDialogSettings> open = parse_file_dialog_settings(d->records[9].settings);
  ASSERT_TRUE(open);
  EXPECT_EQ(FileDialog(*open).integer_property(8), 0);

  EXPECT_TRUE(parse_drop_target_settings(d->records[1].settings));

  // The badge's record: version 1, push button, magenta key, the 14,994-byte picture.
  ByteSpan badge = d->records[4].settings;
  const uint8_t head[] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0x92, 0x3A, 0, 0, 'B', 'M'};
  ASSERT_GE(badge.size, sizeof head);
  EXPECT_EQ(std::memcmp(badge.data, head, sizeof head), 0);
}

// Record builders for the version rules.
void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put_text(std::vector<uint8_t>& out, const char* s) {
  put32(out, static_cast<uint32_t>(std::strlen(s)));
  out.insert(out.end(), s, s + std::strlen(s));
}
ByteSpan span_of(const std::vector<uint8_t>& v) { return ByteSpan{v.data(), v.size()}; }

TEST(ControlSettings, OlderRecordsKeepDefaultsForLaterFields) {
  // Label of version 1: no data source and data column.
  std::vector<uint8_t> label;
  put32(label, 1);
  for (uint32_t v : {0u, 8u, 0u, 0x808080u, 0xFFFFFFu, 0x808080u, 0x123456u, 0xFF000000u, 1u, 0u, 0x808080u,
                     0xFFFFFFu, 0x808080u, 2u, 1u, 0u})
    put32(label, v);
  put_text(label, "");
  put_text(label, "");
  put_text(label, "hello");
  std::optional<LabelSettings> l = read_label_settings(span_of(label));
  ASSERT_TRUE(l);
  EXPECT_EQ(l->text, "hello");
  EXPECT_EQ(l->text_colour, 0x123456u);
  EXPECT_EQ(l->horizontal_alignment, 2);
  EXPECT_FALSE(l->word_wrap);
  EXPECT_TRUE(l->data_source.empty());

  // Window of version 1: no taskbar, drag, shape, always-on-top, caption-activity or class name.
  std::vector<uint8_t> window;
  put32(window, 1);
  for (uint32_t v : {4u, 1u, 0x00112233u, 1u, 0u, 1u, 0u, 0u, 2u, 1u, 0u, 1u, 7u}) put32(window, v);
  put_text(window, "");
  put_text(window, "");
  put_text(window, "");
  put_text(window, "Old");
  put_text(window, "");
  std::optional<WindowSettings> w = read_window_settings(span_of(window));
  ASSERT_TRUE(w);
  EXPECT_EQ(w->frame_style, 4);
  EXPECT_TRUE(w->maximise_button);
  EXPECT_EQ(w->help_topic, 7);
  EXPECT_EQ(w->caption, "Old");
  EXPECT_TRUE(w->shown_in_taskbar);
  EXPECT_FALSE(w->always_on_top);
  EXPECT_TRUE(w->class_name.empty());
}

TEST(ControlSettings, HigherVersionsAndShortRecordsAreRefused) {
  std::vector<uint8_t> v7;
  put32(v7, 7);
  EXPECT_FALSE(read_window_settings(span_of(v7)));
  std::vector<uint8_t> label3;
  put32(label3, 3);
  EXPECT_FALSE(read_label_settings(span_of(label3)));
  std::vector<uint8_t> button2;
  put32(button2, 2);
  EXPECT_FALSE(read_button_settings(span_of(button2)));
  std::vector<uint8_t> short_button;
  put32(short_button, 1);
  put32(short_button, 0);
  EXPECT_FALSE(read_button_settings(span_of(short_button)));
  EXPECT_FALSE(read_browser_settings(ByteSpan{}));
}

TEST(WindowDefinition, DamagedBlocksAreRefusedWithoutReadingOutOfBounds) {
  ByteSpan stored = stored_window_definition();
  // Every truncation of the block must be refused (and ASan watches every read).
  for (size_t n = 0; n < stored.size; n += (n < 2048 ? 1 : 997)) {
    std::vector<uint8_t> cut(stored.data, stored.data + n);  // exact-size heap copy
    EXPECT_FALSE(read_window_definition(ByteSpan{cut.data(), cut.size()})) << n;
  }
  // Offsets and counts pointing outside the block.
  std::vector<uint8_t> block(stored.data, stored.data + stored.size);
  auto poke = [&](size_t at, uint32_t v) {
    std::vector<uint8_t> copy = block;
    for (int i = 0; i < 4; ++i) copy[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return read_window_definition(ByteSpan{copy.data(), copy.size()});
  };
  const size_t list = 0, record_count = 4 + 8 + 8 + 8, area_length = record_count + 4;
  const size_t first_offset = area_length + 4 + 10 * 4;
  EXPECT_FALSE(poke(list, 0xFFFFFFF8));
  EXPECT_FALSE(poke(list, 7));
  EXPECT_FALSE(poke(record_count, 0x40000000));
  EXPECT_FALSE(poke(record_count, 0));
  EXPECT_FALSE(poke(area_length, 0xFFFFFFFF));
  EXPECT_FALSE(poke(first_offset, 0x7FFFFFFF));
  EXPECT_FALSE(poke(first_offset + 4 * 9, static_cast<uint32_t>(stored.size)));
}

}  // namespace
}  // namespace korvane
