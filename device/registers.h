// The KV7702 register vocabulary as data: every register the tool touches,
// with the item texts of its lists and selectors. The window builds its lists
// and drop-downs from these tables; nothing here knows about widgets.
//
// Conventions of the tables:
//  - bit list (configuration style): item i shows and sets bit 7-i;
//  - status list: item i shows bit i (lists may have fewer than 8 items);
//  - selector: the register value is the item index.
// Texts are UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace kv7702 {

namespace reg {
constexpr std::uint8_t WAKE_NOP = 0x00;
constexpr std::uint8_t LPM0_CMD = 0x11;
constexpr std::uint8_t LOCK_CMD = 0x12;
constexpr std::uint8_t DFT_ENTRY = 0x1F;
constexpr std::uint8_t PWR_STAT = 0x21;
constexpr std::uint8_t SYS_STAT = 0x22;
constexpr std::uint8_t SPI_STAT = 0x23;
constexpr std::uint8_t COMP_STAT = 0x24;
constexpr std::uint8_t SERIAL_NR = 0x29;  // 0x29-0x2E
constexpr std::uint8_t DEV_REVISION = 0x2F;
constexpr std::uint8_t PWR_CONFIG = 0x31;
constexpr std::uint8_t DEV_CONFIG = 0x32;
constexpr std::uint8_t CLOCK_CONFIG = 0x33;
constexpr std::uint8_t IO_OBS = 0x41;
constexpr std::uint8_t ATB_SEL = 0x42;
constexpr std::uint8_t DTB_SEL = 0x43;
constexpr std::uint8_t TM_ACT1 = 0x44;  // TM_ACT1-TM_ACT5: 0x44-0x48
constexpr std::uint8_t TM_ACT2 = 0x45;
constexpr std::uint8_t TM_ACT3 = 0x46;
constexpr std::uint8_t TM_ACT4 = 0x47;
constexpr std::uint8_t TM_ACT5 = 0x48;
constexpr std::uint8_t DIE_REV = 0x4B;
constexpr std::uint8_t FSM_STATE = 0x4F;
constexpr std::uint8_t BUCK_I2R_CNT = 0x50;
constexpr std::uint8_t CRC_CTRL = 0x51;
constexpr std::uint8_t CRC_STAT = 0x52;
constexpr std::uint8_t CRC_CALC = 0x53;
constexpr std::uint8_t SCAN_MODE = 0x5E;
constexpr std::uint8_t EEPROM_TEST = 0x60;
constexpr std::uint8_t CRC_STORED = 0x63;
constexpr std::uint8_t TRIM_FIRST = 0x64;  // TRIM_64-TRIM_75
constexpr std::uint8_t TRIM_LAST = 0x75;
constexpr std::uint8_t DEV_CONF1 = 0x76;  // DEV_CONF1-DEV_CONF3: 0x76-0x78
constexpr std::uint8_t DEV_CONF2 = 0x77;
constexpr std::uint8_t DEV_CONF3 = 0x78;
constexpr std::uint8_t DIE_X = 0x79;
constexpr std::uint8_t DIE_Y = 0x7A;
constexpr std::uint8_t WAFER_LOT = 0x7B;  // 0x7B-0x7D, 0x7B least significant
constexpr std::uint8_t FAB_INFO = 0x7E;
}  // namespace reg

// Command and handshake values.
namespace cmd {
constexpr std::uint8_t LPM0 = 0xAA;
constexpr std::uint8_t LOCK = 0x55;
constexpr std::uint8_t SCAN_MODE = 0x01;
constexpr std::array<std::uint8_t, 3> DFT_ENTER = {0x06, 0x03, 0x05};
constexpr std::uint8_t DFT_ACTIVE = 0x03;  // DFT_ENTRY reads this in DFT mode
constexpr std::uint8_t DFT_LEAVE = 0x07;
}  // namespace cmd

// One register named in the window: address, name, what the tool does with it.
enum class Access { R, W, RW, Cmd, Handshake };
struct Register {
  std::uint8_t addr;
  const char* name;
  Access access;
};
// Every register the tool touches, in address order.
std::span<const Register> AllRegisters();
const Register* FindRegister(std::uint8_t addr);

// A configuration-style bit list: items[i] is bit 7-i.
struct BitList {
  const char* control;  // objectName of the list, e.g. "pwr_configBox"
  const char* handler;  // handler name, e.g. "pwr_configBox_SelectedValueChanged"
  std::uint8_t addr;
  const char* label;    // caption above the list, e.g. "PWR_CONFIG 0x31"
  std::array<const char*, 8> items;
};

// A status list: items[i] is bit i; only the first count items exist.
struct StatusList {
  const char* control;  // e.g. "pwr_statBox"
  std::uint8_t addr;
  const char* label;    // e.g. "PWR_STAT 0x21"
  std::span<const char* const> items;
};

// A drop-down whose selected index is the register value.
struct Selector {
  const char* control;  // e.g. "atbBox"
  const char* handler;
  std::uint8_t addr;
  const char* label;
  std::span<const char* const> items;
};

// "Functional" page and status group, in the order the status refresh reads them.
extern const std::array<StatusList, 4> kStatusLists;  // pwr_statBox, sys_statBox, spi_statBox, freq_compBox
extern const std::array<BitList, 3> kConfigLists;     // pwr_configBox, dev_configBox, clock_configBox

// DFT page.
extern const std::array<Selector, 3> kTestBusSelectors;  // IO_observationBox, atbBox, dtbBox
extern const std::array<BitList, 5> kTestModeLists;      // tmA1Box..tmA5Box
extern const BitList kEepromTestList;                    // EEPROMtestBox
extern const std::array<BitList, 3> kDevConfLists;       // devconf1Box..devconf3Box

// FSM_STATE names: 15 slots, slot 14 empty. Values 15-255 have no slot and
// show as their decimal number.
extern const std::array<const char*, 15> kStateNames;
std::string StateName(std::uint8_t value);

// Bit-list packing: item i <-> bit 7-i.
std::uint8_t PackBitList(const std::array<bool, 8>& marks);
constexpr bool BitListMark(std::uint8_t value, int item) { return ((value >> (7 - item)) & 1) != 0; }
// Status lists: item i <-> bit i.
constexpr bool StatusMark(std::uint8_t value, int item) { return ((value >> item) & 1) != 0; }

}  // namespace kv7702
