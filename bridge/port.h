// The GPIO port word: the bridge's two GPIO banks as one 16-bit value, low
// byte the first bank, high byte the second.
#pragma once

#include <cstdint>

namespace pin {
constexpr std::uint16_t SCLK = 0x0001;   // output, SPI clock
constexpr std::uint16_t SDI = 0x0002;    // output, serial data to the chip
constexpr std::uint16_t SDO = 0x0004;    // input, serial data from the chip
constexpr std::uint16_t NCS = 0x0008;    // output, chip select, active low
constexpr std::uint16_t HSPWM = 0x0010;  // output
constexpr std::uint16_t IRQ = 0x0020;    // input
constexpr std::uint16_t WD = 0x0040;     // output, watchdog
constexpr std::uint16_t VT = 0x0080;     // output
constexpr std::uint16_t PRESN = 0x0100;  // input
constexpr std::uint16_t RESN = 0x0200;   // input
constexpr std::uint16_t DFT = 0x0400;    // output
constexpr std::uint16_t WAKE = 0x0800;   // output
// Fixed directions sent with every bank write (1 = output).
constexpr std::uint8_t kLowBankDirection = 0xDB;
constexpr std::uint8_t kHighBankDirection = 0x0C;
}  // namespace pin

// MPSSE opcodes the system sends.
namespace mpsse {
constexpr std::uint8_t kSetLowBank = 0x80;
constexpr std::uint8_t kReadLowBank = 0x81;
constexpr std::uint8_t kSetHighBank = 0x82;
constexpr std::uint8_t kReadHighBank = 0x83;
constexpr std::uint8_t kLoopbackOn = 0x84;
constexpr std::uint8_t kLoopbackOff = 0x85;
constexpr std::uint8_t kSetClockDivisor = 0x86;
constexpr std::uint8_t kSendImmediate = 0x87;
}  // namespace mpsse

// Writes both banks in one 6-byte write; on success portstate = output.
bool NEVO_SetPort(std::uint16_t output);
// Reads both banks (3-byte write, 2-byte read) into *input.
bool NEVO_GetPort(std::uint16_t* input);
// Pulses WD: first bank with WD high, then as in output's low byte.
bool NEVO_ToggleWD(std::uint16_t output);
