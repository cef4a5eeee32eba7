#include "device/format.h"

#include <gtest/gtest.h>

namespace kv7702 {
namespace {

TEST(Hex, UpperCaseWithAtLeastTheAskedDigits) {
  struct Case {
    std::uint32_t value;
    int digits;
    const char* text;
  };
  const Case cases[] = {
      {0, 2, "00"},      {0x0A, 2, "0A"},
      {0xABC, 2, "ABC"}, {0x030201, 6, "030201"},
      {0x1F, 3, "01F"},  {0xFFFFFFFF, 2, "FFFFFFFF"},
      {5, 1, "5"},       {0xbeef, 0, "BEEF"},
  };
  for (const auto& c : cases) EXPECT_EQ(Hex(c.value, c.digits), c.text) << c.text;
}

TEST(LogLines, ExactTextsWithTheirDoubleBlanks) {
  EXPECT_EQ(ReadLogLine(0x21, 0x0A), "SPI  READ addr:0x21; Returned data: 0x0A\r\n");
  EXPECT_EQ(WriteLogLine(0x31, 0x40), "SPI WRITE addr:0x31; Written  data: 0x40\r\n");
  EXPECT_EQ(WriteLogLine(0x00, 0xFF), "SPI WRITE addr:0x00; Written  data: 0xFF\r\n");
}

TEST(ParseHexEntry, AcceptsOneToEightHexDigitsAfterTheFirstTwoCharacters) {
  struct Case {
    const char* text;
    std::optional<std::uint32_t> value;
  };
  const Case cases[] = {
      {"0xA5", 0xA5},
      {"0xa5", 0xA5},
      {"0x7", 0x07},
      {"0x000", 0},
      {"0x1fF", 0x1FF},
      {"zzFF", 0xFF},  // the first two characters are not looked at
      {"0x12345678", 0x12345678},
      {"0xFFFFFFFF", 0xFFFFFFFF},
      {"", std::nullopt},
      {"0", std::nullopt},
      {"0x", std::nullopt},
      {"0x7 ", std::nullopt},
      {"0x 7", std::nullopt},
      {"0x_7", std::nullopt},
      {"0x-1", std::nullopt},
      {"0x+1", std::nullopt},
      {"0x0x1", std::nullopt},
      {"0xG1", std::nullopt},
      {"0x123456789", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseHexEntry(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace kv7702
