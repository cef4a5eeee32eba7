// Turns the recorded FT_Write buffers back into bridge operations, so that a
// test can say "this click wrote 0x40 to 0x31" instead of comparing bytes.
// The byte-exact form of every stream is tested once in the bridge tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scripted_backend.h"

namespace kvtest {

struct BusOp {
  enum class Kind { PortWrite, PortRead, WatchdogPulse, RegRead, RegWrite, ShortFrame, Other };
  Kind kind = Kind::Other;
  std::uint16_t word = 0;  // the PortWord, or the CommandWord of an SPI frame
  std::vector<std::uint8_t> bytes;

  // CommandWord fields.
  std::uint8_t addr6() const { return static_cast<std::uint8_t>((word >> 8) & 0x3F); }
  bool bit15() const { return (word & 0x8000) != 0; }
  std::uint8_t data() const { return static_cast<std::uint8_t>(word & 0xFF); }
  // The register address in DFT mode, where bit 15 is address bit 6.
  std::uint8_t dft_addr() const { return static_cast<std::uint8_t>(addr6() | (bit15() ? 0x40 : 0)); }

  bool IsRead(std::uint8_t addr) const { return kind == Kind::RegRead && addr6() == (addr & 0x3F); }
  bool IsWrite(std::uint8_t addr, std::uint8_t value) const {
    return kind == Kind::RegWrite && addr6() == (addr & 0x3F) && data() == value;
  }
};

std::vector<BusOp> DecodeBus(const std::vector<Call>& calls);
std::vector<BusOp> DecodeBus(const ScriptedBackend& backend);
// Only the SPI register operations, as "R21" and "W31=40" (hexadecimal; the
// address is the frame's 6-bit field), for compact assertions.
std::vector<std::string> RegisterTrace(const std::vector<BusOp>& ops);

// The 17 answer bytes of a register read whose response word is
// (high << 8) | value, with the given FSI level.
std::vector<std::uint8_t> SpiReadAnswer(std::uint8_t value, bool fsi = false, std::uint8_t high = 0);
// The one answer byte of a register write.
std::vector<std::uint8_t> SpiWriteAnswer(bool fsi = false);
// The two answer bytes of a port read.
std::vector<std::uint8_t> PortAnswer(std::uint16_t word);

}  // namespace kvtest
