#include "device/registers.h"

#include <algorithm>

namespace kv7702 {

namespace {

// Registers with one name over several addresses (SERIAL_NR, WAFER_LOT) get
// one entry per address so that FindRegister answers for each byte.
constexpr Register kRegisters[] = {
    {reg::WAKE_NOP, "", Access::Cmd},  // wake frame and 15-bit frame; no name
    {reg::LPM0_CMD, "LPM0_CMD", Access::Cmd},
    {reg::LOCK_CMD, "LOCK_CMD", Access::Cmd},
    {reg::DFT_ENTRY, "DFT_ENTRY", Access::Handshake},
    {reg::PWR_STAT, "PWR_STAT", Access::R},
    {reg::SYS_STAT, "SYS_STAT", Access::R},
    {reg::SPI_STAT, "SPI_STAT", Access::R},
    {reg::COMP_STAT, "COMP_STAT", Access::R},
    {0x29, "SERIAL_NR", Access::R},
    {0x2A, "SERIAL_NR", Access::R},
    {0x2B, "SERIAL_NR", Access::R},
    {0x2C, "SERIAL_NR", Access::R},
    {0x2D, "SERIAL_NR", Access::R},
    {0x2E, "SERIAL_NR", Access::R},
    {reg::DEV_REVISION, "DEV_REVISION", Access::R},
    {reg::PWR_CONFIG, "PWR_CONFIG", Access::RW},
    {reg::DEV_CONFIG, "DEV_CONFIG", Access::RW},
    {reg::CLOCK_CONFIG, "CLOCK_CONFIG", Access::RW},
    {reg::IO_OBS, "IO_OBS", Access::RW},
    {reg::ATB_SEL, "ATB_SEL", Access::RW},
    {reg::DTB_SEL, "DTB_SEL", Access::RW},
    {reg::TM_ACT1, "TM_ACT1", Access::RW},
    {reg::TM_ACT2, "TM_ACT2", Access::RW},
    {reg::TM_ACT3, "TM_ACT3", Access::RW},
    {reg::TM_ACT4, "TM_ACT4", Access::RW},
    {reg::TM_ACT5, "TM_ACT5", Access::RW},
    {reg::DIE_REV, "DIE_REV", Access::R},
    {reg::FSM_STATE, "FSM_STATE", Access::R},
    {reg::BUCK_I2R_CNT, "BUCK_I2R_CNT", Access::R},
    {reg::CRC_CTRL, "CRC_CTRL", Access::W},
    {reg::CRC_STAT, "CRC_STAT", Access::R},
    {reg::CRC_CALC, "CRC_CALC", Access::R},
    {reg::SCAN_MODE, "SCAN_MODE", Access::Cmd},
    {reg::EEPROM_TEST, "EEPROM_TEST", Access::W},
    {reg::CRC_STORED, "CRC_STORED", Access::W},
    {0x64, "TRIM_64", Access::RW},
    {0x65, "TRIM_65", Access::RW},
    {0x66, "TRIM_66", Access::RW},
    {0x67, "TRIM_67", Access::RW},
    {0x68, "TRIM_68", Access::RW},
    {0x69, "TRIM_69", Access::RW},
    {0x6A, "TRIM_6A", Access::RW},
    {0x6B, "TRIM_6B", Access::RW},
    {0x6C, "TRIM_6C", Access::RW},
    {0x6D, "TRIM_6D", Access::RW},
    {0x6E, "TRIM_6E", Access::RW},
    {0x6F, "TRIM_6F", Access::RW},
    {0x70, "TRIM_70", Access::RW},
    {0x71, "TRIM_71", Access::RW},
    {0x72, "TRIM_72", Access::RW},
    {0x73, "TRIM_73", Access::RW},
    {0x74, "TRIM_74", Access::RW},
    {0x75, "TRIM_75", Access::RW},
    {reg::DEV_CONF1, "DEV_CONF1", Access::RW},
    {reg::DEV_CONF2, "DEV_CONF2", Access::RW},
    {reg::DEV_CONF3, "DEV_CONF3", Access::RW},
    {reg::DIE_X, "DIE_X", Access::R},
    {reg::DIE_Y, "DIE_Y", Access::R},
    {0x7B, "WAFER_LOT", Access::R},
    {0x7C, "WAFER_LOT", Access::R},
    {0x7D, "WAFER_LOT", Access::R},
    {reg::FAB_INFO, "FAB_INFO", Access::R},
};

// Status list items, first item = bit 0.
constexpr std::array<const char*, 8> kPwrStatItems = {
    "HS_OL", "BOOST_FAIL", "LDO_FAIL", "OT_BOOST", "OT_LDO", "OT_BUCK", "VREG_FAIL", "BUCK_FAIL",
};
constexpr std::array<const char*, 8> kSysStatItems = {
    "EC0", "EC1", "EC2", "EC_overflow", "SMPCLK_FAIL", "TestMode", "POR", "WD",
};
constexpr std::array<const char*, 3> kSpiStatItems = {
    "PARITY_FAIL",
    "CMD_ID_FAIL",
    "CLK_FAIL",
};
constexpr std::array<const char*, 4> kCompStatItems = {
    "BUCK2[0]",
    "BUCK2[1]",
    "BUCK3[0]",
    "BUCK3[1]",
};

// Selector items, index = register value.
constexpr std::array<const char*, 5> kIoObsItems = {
    "none", "VOL", "VOH", "--do not use--", "NAND-Tree",
};
constexpr std::array<const char*, 35> kAtbSelItems = {
    "off",
    "000001 (BG 1 reference voltage; internal BG 1 voltage)",
    "000010 (LP reference current; Normal Mode reference current)",
    "000011 (TSD1 IPTAT  (use “disconnect IPTAT test mode”, Addr. 0x06 to measure current); TSD1 "
    "VPTAT)",
    "000100 (BG 2 reference voltage; internal BG 2 voltage)",
    "000101 (IPTAT; VDD Powerdown)",
    "000110 (EEProm VT voltage ; EEProm VT/Programming voltage)",
    "000111 (TSD1 IPTAT (use “disconnect IPTAT test mode”, Addr. 0x06 to measure current); TSD2 "
    "VPTAT)",
    "001000 (VREG Charge Pump force; VREG Charge Pump sense)",
    "001001 (Buck 1 Overtemperature; VREG Overtemperature)",
    "001010 (Buck 2 Overtemperature; Buck 3 Overtemperature)",
    "001011 (Boost Overtemperature; 1 LDO Overtemperature)",
    "001100 (Buck 1 VCM positive current limit; -- )",
    "001101 (Buck 1 VCM slope (all current sources are enabled); --)",
    "001110 (Buck 1 ramp generation current  (all current sources are enabled); --)",
    "001111 (Buck 1 ramp generation voltage (all current sources are enabled); --)",
    "010000 (TSD reference voltage (acsae); TSD common mode voltage (all current sources are "
    "enabled))",
    "010001 (Ground loss 1; --)",
    "010010 (Ground loss 2; --)",
    "010011 (Ground loss 3; --)",
    "010100 (Ground loss 5; --)",
    "010101 (Buck2 OTA; Buck3 OTA )",
    "010110 (Buck2 1.2V Ref ; Buck3 1.2V Ref )",
    "010111 (Boost 1.2V Ref; --)",
    "011000 (Buck2 Summing Comparator Current; Buck3 Summing Comparator Current)",
    "011001 (Boost Summing Comparator Current ; --)",
    "011010 (Buck2 PGND ;Buck3 PGND )",
    "011011 (Buck2 PH; Buck3 PH )",
    "011100 (Buck2 VSUP; Buck3 VSUP)",
    "011101 (Boost PGND; Boost PH)",
    "011110 (LDO PAD; VSUP4)",
    "011111 (Buck2 HS/LS replica; Buck3 HS/LS replica)",
    "100000 (Buck2 HS/LS comparator bias current; Buck3 HS/LS comparator bias current)",
    "100001 (Boost LS replica; Boost comparator bias)",
    "100010 (LDO Charge Pump force;LDO Charge Pump sense)",
};
constexpr std::array<const char*, 26> kDtbSelItems = {
    "00000 off",
    "00001 (low power oscillator; Main oscillator; Buck 1 clock)",
    "00010 (VIN 8V Comparator; Buck 2 clock; VIN Overvoltage)",
    "00011 (VIN Undervoltage; VIO Undervoltage; VREGOK)",
    "00100 (Boost PWM signal; BUCK 2 PWM signal; BUCK 3 PWM signal)",
    "00101 (TSD1 signal; TSD2 signal; (both TSD signals are gated in this mode) VSSENSE IRQ)",
    "00110 (Buck 1 I2R lower comparator; Buck 1 I2R upper comparator; EXTSUP_OK comparator)",
    "00111 (Buck 1 Low Power Exit Signal; Buck 1 low power comparator; Buck 1 low power PWM "
    "generation)",
    "01000 (Buck 1 zero crossing comparator; Buck 1 summing comparator; VDD3 overvoltage)",
    "01001 (Buck 1 zero crossing comparator sample delay minimum off time; Buck 1 ZENABLE Signal; "
    "VREF VT SD)",
    "01010 (Buck 1 ZUPDOWN; Buck 1 LS Enable; VREG OT)",
    "01011 (OV detection; Buck2 and Buck3 Ground loss; Buck1 and Boost Ground loss)",
    "01100 (LPM loss of clock detection; BUCK 1 PWM; Buck3 Over Current)",
    "01101 (Buck2 Compensation select 1; Buck2 Compensation select 2; Boost Over Current)",
    "01110 (Buck3 Compensation select 1; Buck3 Compensation select 2; Buck2 Over Current)",
    "01111 (Buck1 Over Current; Buck1 Softstart Done; Buck2 Softstart Done)",
    "10000 (Buck3 Softstart Done; Boost Softstart Done; LDO Softstart Done)",
    "10001 (Buck1 UV; Buck1 OV; Buck1 OT)",
    "10010 (Buck2 UV; Buck2 OV; Buck2 OT)",
    "10011 (VREF OK; LDO current limit;VT VREF OK)",
    "10100 (Buck2 skip; Buck3 skip; Boost skip)",
    "10101 (Buck3 UV; Buck3 OV; Buck3 OT)",
    "10110 (Boost UV; Boost OV; Boost OT)",
    "10111 (LDO UV; LDO OV; LDO OT)",
    "11000 (LP COMP; LP COMP LATCH; LP COMP STROBE)",
    "11001 (LED OL; LED CL; VT shutdown (filtered))",
};

}  // namespace

std::span<const Register> AllRegisters() { return kRegisters; }

const Register* FindRegister(std::uint8_t addr) {
  const auto* it = std::lower_bound(std::begin(kRegisters), std::end(kRegisters), addr,
                                    [](const Register& r, std::uint8_t a) { return r.addr < a; });
  return (it != std::end(kRegisters) && it->addr == addr) ? it : nullptr;
}

constexpr std::array<StatusList, 4> kStatusLists = {
    StatusList{"pwr_statBox", reg::PWR_STAT, "PWR_STAT 0x21", kPwrStatItems},
    StatusList{"sys_statBox", reg::SYS_STAT, "SYS_STAT 0x22", kSysStatItems},
    StatusList{"spi_statBox", reg::SPI_STAT, "SPI_STAT 0x23", kSpiStatItems},
    StatusList{"freq_compBox", reg::COMP_STAT, "COMP_STAT 0x24", kCompStatItems},
};

// Bit lists below: items[i] is bit 7-i, so the first item is bit 7.
constexpr std::array<BitList, 3> kConfigLists = {
    BitList{"pwr_configBox",
            "pwr_configBox_SelectedValueChanged",
            reg::PWR_CONFIG,
            "PWR_CONFIG 0x31",
            {
                "--",
                "BUCK2_EN",
                "BUCK3_EN",
                "LDO_EN",
                "BOOST_EN",
                "HS_EN",
                "GPFETOV_EN",
                "IRQ_TRESH",
            }},
    BitList{"dev_configBox",
            "dev_configBox_SelectedIndexChanged",
            reg::DEV_CONFIG,
            "DEV_CONFIG 0x32",
            {
                "--",
                "--",
                "--",
                "--",
                "HS_CLDIS",
                "VT_EN",
                "VREF_EN",
                "LPM1",
            }},
    BitList{"clock_configBox",
            "clock_configBox_SelectedIndexChanged",
            reg::CLOCK_CONFIG,
            "CLOCK_CONFIG 0x33",
            {
                "F_EN",
                "SS_EN",
                "SS_MODE",
                "F4",
                "F3",
                "F2",
                "F1",
                "F0",
            }},
};

constexpr std::array<Selector, 3> kTestBusSelectors = {
    Selector{"IO_observationBox", "IO_observationBox_SelectedIndexChanged", reg::IO_OBS,
             "Input/Output Observation register", kIoObsItems},
    Selector{"atbBox", "atbBox_SelectedIndexChanged", reg::ATB_SEL, "Analog Testbus (ATB1 ; VT )",
             kAtbSelItems},
    Selector{"dtbBox", "dtbBox_SelectedIndexChanged", reg::DTB_SEL,
             "Digital Testbus (IRQLB; RESN; PRESN)", kDtbSelItems},
};

// TM_ACT5's caption repeats TM_ACT4's text: that is how the window labels it.
constexpr std::array<BitList, 5> kTestModeLists = {
    BitList{"tmA1Box",
            "tmA1Box_SelectedValueChanged",
            reg::TM_ACT1,
            "Testmode Activation I",
            {
                "inc. buck clock pulse length by 4 delay buffers",
                "Buck OVST",
                "SMPS OTA Test Mode",
                "VCM slope select 0: 0.95; 1: 1.2",
                "Summing Comparator Closed Loop Test",
                "Buck 1/2/3/Boost PWM signals via HSPWM",
                "Low power clock controllable via SCLK",
                "SYNC Oscillator clock controllable via SCLK",
            }},
    BitList{"tmA2Box",
            "tmA2Box_SelectedValueChanged",
            reg::TM_ACT2,
            "Testmode Activation II",
            {
                "disconnect TSD1 IPTAT",
                "do atb “1101” - “1111” with no current sources enabled",
                "enable OVST signal for VREG",
                "frequency spread vector set to lowest value",
                "frequency spread vector set to highest value",
                "enables buck1 summing comp. test without level shifter",
                "enables buck1 summing comp. test with level shifter",
                "Buck1 is forced into low power mode",
            }},
    BitList{"tmA3Box",
            "tmA3Box_SelectedValueChanged",
            reg::TM_ACT3,
            "Testmode Activation III",
            {
                "LDO OVST",
                "Buck 2/3 OTA closed loop",
                "Speed up Softstart for all regulators",
                "control analog loss of clock detection from SCLK",
                "OT Hysteresis",
                "OT Current",
                "Disable Buck1",
                "enable zero crossing comparator if not LPM",
            }},
    BitList{"tmA4Box",
            "tmA4Box_SelectedValueChanged",
            reg::TM_ACT4,
            "Testmode Activation IV",
            {
                "Disable Watchdog and error state",
                "Buck2/3 Short OTA Capacitor",
                "Buck2/3 Open Zero Pole Capacitor",
                "Buck2/3/Boost REPs On",
                "Buck2/3/Boost FETs Off",
                "Enable Waver Level Burn In",
                "Boost OVST",
                "Short inputs of Zero Pole Amplifier",
            }},
    BitList{"tmA5Box",
            "tmA5Box_SelectedValueChanged",
            reg::TM_ACT5,
            "Testmode Activation IV",
            {
                "reserved",
                "reserved",
                "reserved",
                "reserved",
                "Boost open ZPCAP",
                "Buck1 slope reset test mode",
                "LP COMP controllable via HSPWM",
                "LPM1 enter open loop",
            }},
};

constexpr BitList kEepromTestList = BitList{"EEPROMtestBox",
                                            "EEPROMtestBox_SelectedValueChanged",
                                            reg::EEPROM_TEST,
                                            "EEPROM Test Control Reg",
                                            {
                                                "--",
                                                "--",
                                                "EEPROM Vt Shift Test – Test Read",
                                                "EEPROM Vt Shift Test with EN_12 at high",
                                                "EEPROM Vt Shift Test – Stress EEPROM Cell",
                                                "EEPROM Reload",
                                                "Enable 2V EEprom control",
                                                "EEPROM Program",
                                            }};

constexpr std::array<BitList, 3> kDevConfLists = {
    BitList{"devconf1Box",
            "devconf1Box_SelectedValueChanged",
            reg::DEV_CONF1,
            "Device Config I",
            {
                "Disable Error Counter",
                "Increase reset extension",
                "Low Power Exit Threshold",
                "Buck 1/2/3 Phase Relation",
                "PG Option",
                "dis. Buck 1 Foldback Current",
                "Buck 2,3 Boost Frequency",
                "LP Threshold",
            }},
    BitList{"devconf2Box",
            "devconf2Box_SelectedValueChanged",
            reg::DEV_CONF2,
            "Device Config II",
            {
                "ena BUCK 2/3 runaway prot",
                "dis loss of clock det",
                "dis error state",
                "dis uv/ov comps",
                "dis watchdog",
                "dis gnd loss",
                "dis over temp ",
                "dis VIO undervoltage",
            }},
    BitList{"devconf3Box",
            "devconf3Box_SelectedValueChanged",
            reg::DEV_CONF3,
            "Device Config III",
            {
                "Error Counter config 1",
                "Error Counter config 2",
                "Disable LED current limit",
                "ena Boost CRP",
                "BUCK 3 HS limit sel (1)",
                "BUCK 3 HS limit sel (0)",
                "BUCK 2 HS limit sel (1)",
                "BUCK 2 HS limit sel (0)",
            }},
};

constexpr std::array<const char*, 15> kStateNames = {
    "none",    "init",     "teststart", "teststop", "vtcheck", "lpm0",   "lpm1",
    "prelpm1", "postlpm1", "ramp",      "active",   "err",     "locked", "tsd",
    "",  // slot 14 has no name: the label shows empty text
};

std::string StateName(std::uint8_t value) {
  if (value < kStateNames.size()) return kStateNames[value];
  return std::to_string(value);
}

std::uint8_t PackBitList(const std::array<bool, 8>& marks) {
  std::uint8_t value = 0;
  for (int item = 0; item < 8; ++item) {
    if (marks[static_cast<std::size_t>(item)]) value |= static_cast<std::uint8_t>(1u << (7 - item));
  }
  return value;
}

}  // namespace kv7702
