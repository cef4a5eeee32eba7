// The SPI frame engine: 16-bit CommandWord frames bit-banged on the first
// GPIO bank, one FT_Write of the whole operation and one FT_Read of the
// captured answers. Streams are built in fixed-size local buffers.
#pragma once

#include <cstddef>
#include <cstdint>

bool NEVO_SPIRead(bool DFT, std::uint8_t addr, std::uint8_t* input);
bool NEVO_SPIWrite(bool DFT, std::uint8_t addr, std::uint8_t data);
bool NEVO_SPIWrite_WAKE(bool DFT);
std::int32_t NEVO_INVSPIWrite();
bool NEVO_GetFSI();

namespace spi {

constexpr std::size_t kReadStreamSize = 248;
constexpr std::size_t kWriteStreamSize = 103;
constexpr std::size_t kShortFrameStreamSize = 241;
constexpr std::size_t kReadAnswerSize = 17;
constexpr std::size_t kReadBufferSize = 250;
constexpr std::size_t kWriteBufferSize = 130;
// CommandWord of the wake frame: a write of 0 to address 0.
constexpr std::uint16_t kWakeCommandWord = 0x4000;

// The CommandWord: bit 15 parity (in DFT mode address bit 6), bit 14 write,
// bits 13-8 address bits 5-0, bits 7-0 data (0 in a read).
std::uint16_t CommandWord(bool dft, bool write, std::uint8_t addr, std::uint8_t data);

// Stream builders. p is portstate's bits 7:4 (HSPWM, WD, VT); each returns
// the number of bytes written into buf, which must hold at least that many.
std::size_t BuildReadStream(std::uint8_t* buf, std::uint16_t command_word, std::uint8_t p);
std::size_t BuildWriteStream(std::uint8_t* buf, std::uint16_t command_word, std::uint8_t p);
std::size_t BuildShortFrameStream(std::uint8_t* buf, std::uint8_t p);

// Response word from answer bytes 1-16 (bit 2 of each, first = bit 15).
std::uint16_t DecodeResponse(const std::uint8_t* answer);
// SDO level in one captured first-bank byte.
constexpr bool SdoLevel(std::uint8_t captured) { return (captured & 0x04) != 0; }

}  // namespace spi
