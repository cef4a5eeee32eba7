#include "device/registers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "device/format.h"

namespace kv7702 {
namespace {

std::string Binary(unsigned value, int digits) {
  std::string s;
  for (int bit = digits - 1; bit >= 0; --bit) s += ((value >> bit) & 1) ? '1' : '0';
  return s;
}

// All bit lists of the window, in one place for the checks that hold for each.
std::vector<const BitList*> AllBitLists() {
  std::vector<const BitList*> lists;
  for (const auto& l : kConfigLists) lists.push_back(&l);
  for (const auto& l : kTestModeLists) lists.push_back(&l);
  lists.push_back(&kEepromTestList);
  for (const auto& l : kDevConfLists) lists.push_back(&l);
  return lists;
}

TEST(RegisterTable, IsInStrictAddressOrderAndCoversEveryByteOfMultiByteRegisters) {
  const auto regs = AllRegisters();
  ASSERT_EQ(regs.size(), 62u);
  for (std::size_t i = 1; i < regs.size(); ++i) EXPECT_LT(regs[i - 1].addr, regs[i].addr);
  for (std::uint8_t a = 0x29; a <= 0x2E; ++a) EXPECT_STREQ(FindRegister(a)->name, "SERIAL_NR");
  for (std::uint8_t a = 0x7B; a <= 0x7D; ++a) EXPECT_STREQ(FindRegister(a)->name, "WAFER_LOT");
  for (std::uint8_t a = reg::TRIM_FIRST; a <= reg::TRIM_LAST; ++a) {
    EXPECT_EQ(FindRegister(a)->name, "TRIM_" + Hex(a, 2)) << int(a);
  }
}

TEST(RegisterTable, FindRegisterAnswersOnlyForListedAddresses) {
  for (const auto& r : AllRegisters()) EXPECT_EQ(FindRegister(r.addr), &r);
  for (std::uint8_t a : {0x01, 0x10, 0x20, 0x30, 0x40, 0x49, 0x4A, 0x61, 0x7F, 0x80, 0xFF}) {
    EXPECT_EQ(FindRegister(a), nullptr) << int(a);
  }
}

TEST(RegisterTable, AccessKinds) {
  struct Case {
    std::uint8_t addr;
    const char* name;
    Access access;
  };
  const Case cases[] = {
      {0x00, "", Access::Cmd},
      {0x12, "LOCK_CMD", Access::Cmd},
      {0x1F, "DFT_ENTRY", Access::Handshake},
      {0x24, "COMP_STAT", Access::R},
      {0x51, "CRC_CTRL", Access::W},
      {0x5E, "SCAN_MODE", Access::Cmd},
      {0x60, "EEPROM_TEST", Access::W},
      {0x63, "CRC_STORED", Access::W},
      {0x6E, "TRIM_6E", Access::RW},
      {0x7E, "FAB_INFO", Access::R},
  };
  for (const auto& c : cases) {
    const Register* r = FindRegister(c.addr);
    ASSERT_NE(r, nullptr) << int(c.addr);
    EXPECT_STREQ(r->name, c.name);
    EXPECT_EQ(r->access, c.access) << c.name;
  }
}

TEST(StatusLists, InReadOrderWithTheirItemCounts) {
  const std::uint8_t addrs[] = {0x21, 0x22, 0x23, 0x24};
  const std::size_t counts[] = {8, 8, 3, 4};
  for (std::size_t i = 0; i < kStatusLists.size(); ++i) {
    const auto& list = kStatusLists[i];
    EXPECT_EQ(list.addr, addrs[i]);
    EXPECT_EQ(list.items.size(), counts[i]) << list.control;
    EXPECT_EQ(std::string(list.label),
              std::string(FindRegister(list.addr)->name) + " 0x" + Hex(list.addr, 2));
    EXPECT_EQ(FindRegister(list.addr)->access, Access::R);
  }
  // First item is bit 0.
  EXPECT_STREQ(kStatusLists[0].items.front(), "HS_OL");
  EXPECT_STREQ(kStatusLists[0].items.back(), "BUCK_FAIL");
  EXPECT_STREQ(kStatusLists[2].items.front(), "PARITY_FAIL");
  EXPECT_STREQ(kStatusLists[3].items.back(), "BUCK3[1]");
}

TEST(StatusLists, MarksFollowBitI) {
  // PWR_STAT 0x01 ticks only the first item.
  for (int i = 0; i < 8; ++i) EXPECT_EQ(StatusMark(0x01, i), i == 0) << i;
  // SPI_STAT 0xFF ticks all three items; COMP_STAT 0xF0 ticks none of four.
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(StatusMark(0xFF, i));
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(StatusMark(0xF0, i));
}

TEST(BitLists, EveryListHasEightItemsAndAHandlerNamedAfterItsControl) {
  const auto lists = AllBitLists();
  ASSERT_EQ(lists.size(), 12u);
  for (const BitList* list : lists) {
    const Register* r = FindRegister(list->addr);
    ASSERT_NE(r, nullptr) << list->control;
    EXPECT_TRUE(r->access == Access::RW || r->access == Access::W) << list->control;
    EXPECT_TRUE(std::string_view(list->handler).starts_with(std::string(list->control) + "_"))
        << list->handler;
    for (const char* item : list->items) {
      ASSERT_NE(item, nullptr) << list->control;
      EXPECT_FALSE(std::string_view(item).empty()) << list->control;
    }
  }
}

TEST(BitLists, ConfigListsCarryRegisterLabelsAndTheirEventNames) {
  for (const auto& list : kConfigLists) {
    EXPECT_EQ(std::string(list.label),
              std::string(FindRegister(list.addr)->name) + " 0x" + Hex(list.addr, 2));
  }
  EXPECT_STREQ(kConfigLists[0].handler, "pwr_configBox_SelectedValueChanged");
  EXPECT_STREQ(kConfigLists[1].handler, "dev_configBox_SelectedIndexChanged");
  EXPECT_STREQ(kConfigLists[2].handler, "clock_configBox_SelectedIndexChanged");
}

TEST(BitLists, DftListsAreConsecutiveRegistersAndTm5RepeatsTm4Caption) {
  for (std::size_t i = 0; i < kTestModeLists.size(); ++i) {
    EXPECT_EQ(kTestModeLists[i].addr, reg::TM_ACT1 + i);
  }
  for (std::size_t i = 0; i < kDevConfLists.size(); ++i) {
    EXPECT_EQ(kDevConfLists[i].addr, reg::DEV_CONF1 + i);
  }
  EXPECT_STREQ(kTestModeLists[0].label, "Testmode Activation I");
  EXPECT_STREQ(kTestModeLists[3].label, "Testmode Activation IV");
  EXPECT_STREQ(kTestModeLists[4].label, kTestModeLists[3].label);
  EXPECT_STREQ(kEepromTestList.label, "EEPROM Test Control Reg");
  EXPECT_EQ(kEepromTestList.addr, reg::EEPROM_TEST);
  EXPECT_STREQ(kDevConfLists[2].label, "Device Config III");
}

TEST(BitLists, FirstItemIsBitSeven) {
  // Ticking only "BUCK2_EN" (item 1) writes 0x40; reading 0x01 ticks only "IRQ_TRESH".
  std::array<bool, 8> marks{};
  marks[1] = true;
  EXPECT_STREQ(kConfigLists[0].items[1], "BUCK2_EN");
  EXPECT_EQ(PackBitList(marks), 0x40);
  EXPECT_STREQ(kConfigLists[0].items[7], "IRQ_TRESH");
  for (int i = 0; i < 8; ++i) EXPECT_EQ(BitListMark(0x01, i), i == 7) << i;
}

TEST(BitLists, PackIsTheInverseOfMark) {
  for (unsigned v = 0; v < 256; ++v) {
    std::array<bool, 8> marks{};
    for (int i = 0; i < 8; ++i)
      marks[static_cast<std::size_t>(i)] = BitListMark(static_cast<std::uint8_t>(v), i);
    EXPECT_EQ(PackBitList(marks), v);
  }
}

TEST(Selectors, CountsLabelsAndRegisters) {
  const std::uint8_t addrs[] = {reg::IO_OBS, reg::ATB_SEL, reg::DTB_SEL};
  const std::size_t counts[] = {5, 35, 26};
  for (std::size_t i = 0; i < kTestBusSelectors.size(); ++i) {
    EXPECT_EQ(kTestBusSelectors[i].addr, addrs[i]);
    EXPECT_EQ(kTestBusSelectors[i].items.size(), counts[i]);
    EXPECT_EQ(FindRegister(addrs[i])->access, Access::RW);
  }
  EXPECT_STREQ(kTestBusSelectors[0].label, "Input/Output Observation register");
  EXPECT_STREQ(kTestBusSelectors[1].label, "Analog Testbus (ATB1 ; VT )");
  EXPECT_STREQ(kTestBusSelectors[2].label, "Digital Testbus (IRQLB; RESN; PRESN)");
}

TEST(Selectors, ItemIndexIsTheRegisterValue) {
  EXPECT_STREQ(kTestBusSelectors[0].items[4], "NAND-Tree");
  EXPECT_STREQ(kTestBusSelectors[1].items[0x22],
               "100010 (LDO Charge Pump force;LDO Charge Pump sense)");
  EXPECT_STREQ(kTestBusSelectors[2].items[0x19], "11001 (LED OL; LED CL; VT shutdown (filtered))");
  // Each test-bus item starts with its own value in binary: six digits for
  // ATB_SEL (item 0 reads "off"), five for DTB_SEL.
  const auto& atb = kTestBusSelectors[1].items;
  EXPECT_STREQ(atb[0], "off");
  for (unsigned v = 1; v < atb.size(); ++v) {
    EXPECT_TRUE(std::string_view(atb[v]).starts_with(Binary(v, 6) + " (")) << atb[v];
  }
  const auto& dtb = kTestBusSelectors[2].items;
  for (unsigned v = 0; v < dtb.size(); ++v) {
    EXPECT_TRUE(std::string_view(dtb[v]).starts_with(Binary(v, 5) + " ")) << dtb[v];
  }
}

// Texts with typographic characters and significant blanks, checked by their
// UTF-8 bytes so an editor's "smart" replacement cannot slip through.
TEST(ItemTexts, SpecialCharactersAndBlanksAreExact) {
  const std::string_view ldq = "\xE2\x80\x9C";  // left double quotation mark
  const std::string_view rdq = "\xE2\x80\x9D";
  const std::string_view ndash = "\xE2\x80\x93";
  const std::string atb3 = kTestBusSelectors[1].items[3];
  EXPECT_EQ(atb3, "000011 (TSD1 IPTAT  (use " + std::string(ldq) + "disconnect IPTAT test mode" +
                      std::string(rdq) + ", Addr. 0x06 to measure current); TSD1 VPTAT)");
  const std::string atb7 = kTestBusSelectors[1].items[7];
  EXPECT_NE(atb7.find("IPTAT (use " + std::string(ldq)), std::string::npos);
  EXPECT_NE(std::string_view(kTestBusSelectors[1].items[0x0E]).find("current  (all"),
            std::string_view::npos);
  EXPECT_EQ(std::string(kTestModeLists[1].items[1]),
            "do atb " + std::string(ldq) + "1101" + std::string(rdq) + " - " + std::string(ldq) +
                "1111" + std::string(rdq) + " with no current sources enabled");
  EXPECT_EQ(std::string(kEepromTestList.items[2]),
            "EEPROM Vt Shift Test " + std::string(ndash) + " Test Read");
  EXPECT_EQ(std::string(kEepromTestList.items[4]),
            "EEPROM Vt Shift Test " + std::string(ndash) + " Stress EEPROM Cell");
  EXPECT_STREQ(kDevConfLists[1].items[6], "dis over temp ");
  EXPECT_STREQ(kTestBusSelectors[1].items[0x1A], "011010 (Buck2 PGND ;Buck3 PGND )");
}

TEST(StateNames, NamedSlotsEmptySlotAndNumbersBeyondTheTable) {
  EXPECT_EQ(kStateNames.size(), 15u);
  struct Case {
    std::uint8_t value;
    const char* text;
  };
  const Case cases[] = {{0, "none"}, {10, "active"}, {13, "tsd"},
                        {14, ""},    {15, "15"},     {255, "255"}};
  for (const auto& c : cases) EXPECT_EQ(StateName(c.value), c.text) << int(c.value);
}

}  // namespace
}  // namespace kv7702
