// Device identity and EEPROM CRC values: the texts of the serial number,
// revision and die information boxes, and the CRC_CTRL bytes of a CRC run.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kv7702 {

// DEV_REVISION as shown in dev_revisionLbl: "{0:X2}".
std::string DevRevisionText(std::uint8_t dev_revision);
// SERIAL_NR bytes 0x29..0x2E in address order, each "{0:X2} ", so the text
// ends with a blank: "12 34 00 01 02 AB ".
std::string SerialText(const std::array<std::uint8_t, 6>& serial);

// DIE_REV as "{0:G}P{1:G}": bits 7:4 and bits 3:0 in decimal (0x21 -> "2P1"),
// the style of the tool's own version "3P0".
std::string RevisionText(std::uint8_t die_rev);

// WAFER_LOT: the byte at 0x7B + 256 * the byte at 0x7C + 65536 * the byte at 0x7D.
constexpr std::uint32_t LotNumber(std::uint8_t b7b, std::uint8_t b7c, std::uint8_t b7d) {
  return b7b + 256u * b7c + 65536u * b7d;
}
// "0x{0:X6}": LotNumber(0x01, 0x02, 0x03) -> "0x030201".
std::string LotNumberText(std::uint32_t lot);

// FAB_INFO fields.
constexpr std::uint8_t FabCode(std::uint8_t fab_info) { return fab_info >> 6; }  // bits 7:6
constexpr std::uint8_t WaferNumber(std::uint8_t fab_info) {
  return (fab_info >> 1) & 0x1F;
}  // bits 5:1
constexpr bool FabInfoBit0(std::uint8_t fab_info) { return (fab_info & 1) != 0; }  // no name
// The die information boxes show bytes and FAB_INFO fields as "0x{0:X2}".
std::string ByteText(std::uint8_t value);

// CRC_CTRL: bit 0 starts a generation, bit 1 asks for the check after it.
// A run writes CrcCtrlStart, holds it 500 ms, then writes CrcCtrlAfter, which
// drops the start bit and keeps the check bit.
constexpr std::uint8_t CrcCtrlStart(bool check) { return check ? 0x03 : 0x01; }
constexpr std::uint8_t CrcCtrlAfter(bool check) { return check ? 0x02 : 0x00; }
// CRC_STAT bit 0: CRC error; bits 7:1 are ignored.
constexpr bool CrcError(std::uint8_t crc_stat) { return (crc_stat & 1) != 0; }

}  // namespace kv7702
