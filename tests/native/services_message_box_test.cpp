#include <gtest/gtest.h>

#include <string>

#include "services/date_time.h"
#include "services/message_box.h"

using namespace korvane;

TEST(MessageText, EachKindHasItsTextForm) {
  struct Case { Message message; const char* text; };
  const Case cases[] = {
      {Message{"图片为空!"}, "图片为空!"},
      {Message{static_cast<const char*>(nullptr)}, ""},
      {Message{uint8_t{255}}, "255"},
      {Message{int16_t{-32768}}, "-32768"},
      {Message{int32_t{42}}, "42"},
      {Message{int32_t{-2147483647 - 1}}, "-2147483648"},
      {Message{int64_t{-9223372036854775807 - 1}}, "-9223372036854775808"},
      {Message{0.1f}, "0.1"},
      {Message{1.2345675f}, "1.23457"},
      {Message{123456789.0f}, "1.23457e+08"},
      {Message{-0.000123456f}, "-0.000123456"},
      {Message{1.0 / 3.0}, "0.3333333333333"},
      {Message{1e20}, "1e+20"},
      {Message{2.5}, "2.5"},
      {Message{true}, "真"},
      {Message{false}, "假"},
      {Message{DateTimeMessage{date_time_value(2024, 5, 6, 7, 8, 9)}}, "2024年5月6日7时8分9秒"},
      {Message{std::monostate{}}, ""},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(message_text(c.message).c_str(), c.text) << c.text;
  }
}

TEST(MessageBoxFlags, TaskModalUnlessSystemModal) {
  struct Case { std::optional<int32_t> flags; int32_t platform; };
  const Case cases[] = {
      {64, 0x2040}, {std::nullopt, 0x2000}, {0, 0x2000}, {0x1030, 0x1030}, {0x24, 0x2024}, {0x2040, 0x2040},
  };
  for (const Case& c : cases) EXPECT_EQ(message_box_flags(c.flags), c.platform);
}

TEST(MessageBoxResult, ButtonCodeMinusOneForTheClassicButtons) {
  struct Case { int button; int32_t result; };
  const Case cases[] = {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6}, {0, 0}, {8, 0}, {10, 0}, {11, 0}, {-1, 0}};
  for (const Case& c : cases) EXPECT_EQ(message_box_result(c.button), c.result) << c.button;
}

TEST(MessageBoxTitle, DefaultHasAFullWidthColon) {
  EXPECT_EQ(std::string(kDefaultMessageTitle), "信息\xA3\xBA");
}
