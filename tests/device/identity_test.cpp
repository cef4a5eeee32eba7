#include "device/identity.h"

#include <gtest/gtest.h>

namespace kv7702 {
namespace {

TEST(IdentityTexts, SerialAndRevisionLabels) {
  EXPECT_EQ(SerialText({0x12, 0x34, 0x00, 0x01, 0x02, 0xAB}), "12 34 00 01 02 AB ");
  EXPECT_EQ(SerialText({}), "00 00 00 00 00 00 ");
  EXPECT_EQ(DevRevisionText(0x0A), "0A");
}

TEST(IdentityTexts, DieRevisionIsHighNibblePLowNibbleInDecimal) {
  struct Case {
    std::uint8_t die_rev;
    const char* text;
  };
  const Case cases[] = {
      {0x21, "2P1"}, {0x05, "0P5"}, {0x30, "3P0"}, {0xFF, "15P15"}, {0xA9, "10P9"}};
  for (const auto& c : cases) EXPECT_EQ(RevisionText(c.die_rev), c.text);
}

TEST(IdentityTexts, WaferLotNumber) {
  EXPECT_EQ(LotNumber(0x01, 0x02, 0x03), 0x030201u);
  EXPECT_EQ(LotNumberText(LotNumber(0x01, 0x02, 0x03)), "0x030201");
  EXPECT_EQ(LotNumberText(LotNumber(0xFF, 0xFF, 0xFF)), "0xFFFFFF");
  EXPECT_EQ(LotNumberText(LotNumber(0x05, 0, 0)), "0x000005");
}

TEST(IdentityTexts, FabInfoFields) {
  struct Case {
    std::uint8_t fab_info;
    std::uint8_t fab, wafer;
    bool bit0;
  };
  const Case cases[] = {
      {0xC3, 3, 1, true}, {0x3E, 0, 31, false}, {0x40, 1, 0, false}, {0x01, 0, 0, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(FabCode(c.fab_info), c.fab) << int(c.fab_info);
    EXPECT_EQ(WaferNumber(c.fab_info), c.wafer) << int(c.fab_info);
    EXPECT_EQ(FabInfoBit0(c.fab_info), c.bit0) << int(c.fab_info);
  }
  EXPECT_EQ(ByteText(FabCode(0xC3)), "0x03");
  EXPECT_EQ(ByteText(WaferNumber(0xC3)), "0x01");
  EXPECT_EQ(ByteText(0x05), "0x05");
}

TEST(Crc, ControlBytesOfARun) {
  EXPECT_EQ(CrcCtrlStart(false), 0x01);
  EXPECT_EQ(CrcCtrlAfter(false), 0x00);
  EXPECT_EQ(CrcCtrlStart(true), 0x03);
  EXPECT_EQ(CrcCtrlAfter(true), 0x02);
  EXPECT_FALSE(CrcError(0xFE));
  EXPECT_TRUE(CrcError(0x01));
}

}  // namespace
}  // namespace kv7702
