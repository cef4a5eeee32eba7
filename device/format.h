// Text formats of the window: hexadecimal numbers, the two register log lines
// and the parsing of the "0x.." entry boxes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kv7702 {

// value as at least `digits` upper-case hexadecimal digits ("{0:X2}" is Hex(v, 2)).
std::string Hex(std::uint32_t value, int digits);
// The same behind "0x" ("0x{0:X2}" is PrefixedHex(v, 2)).
std::string PrefixedHex(std::uint32_t value, int digits);

// "SPI  READ addr:0x{0:X2}; Returned data: 0x{1:X2}\r\n"
std::string ReadLogLine(std::uint8_t addr, std::uint8_t value);
// "SPI WRITE addr:0x{0:X2}; Written  data: 0x{1:X2}\r\n"
std::string WriteLogLine(std::uint8_t addr, std::uint8_t data);

// The text of a "0xCC"/"0xCCC" entry box read from its third character on as
// a hexadecimal number: digits 0-9, a-f, A-F only, at least one, at most 8.
// nullopt when the text cannot be sent. The caller keeps the low 8 or 16 bits.
// The first two characters are skipped unseen, whatever they are. Anything
// else that is not a hex digit (a blank, '_', a sign, a second "0x") makes the
// whole text unusable, so the window removes the empty positions of its edit
// mask (e.g. "0x7 " -> "0x7") before it calls this.
std::optional<std::uint32_t> ParseHexEntry(std::string_view text);

}  // namespace kv7702
