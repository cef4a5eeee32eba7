#include "device/format.h"

#include <algorithm>
#include <cstdio>

namespace kv7702 {

std::string Hex(std::uint32_t value, int digits) {
  // 8 digits cover any 32-bit value; a wider request is padded with zeros.
  const int width = std::clamp(digits, 1, 64);
  char buf[72];
  std::snprintf(buf, sizeof buf, "%0*X", width, static_cast<unsigned>(value));
  return buf;
}

std::string PrefixedHex(std::uint32_t value, int digits) { return "0x" + Hex(value, digits); }

std::string ReadLogLine(std::uint8_t addr, std::uint8_t value) {
  return "SPI  READ addr:" + PrefixedHex(addr, 2) + "; Returned data: " + PrefixedHex(value, 2) +
         "\r\n";
}

std::string WriteLogLine(std::uint8_t addr, std::uint8_t data) {
  return "SPI WRITE addr:" + PrefixedHex(addr, 2) + "; Written  data: " + PrefixedHex(data, 2) +
         "\r\n";
}

std::optional<std::uint32_t> ParseHexEntry(std::string_view text) {
  if (text.size() < 3) return std::nullopt;
  const std::string_view digits = text.substr(2);
  if (digits.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (const char c : digits) {
    int d;
    if (c >= '0' && c <= '9') {
      d = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      d = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      d = c - 'A' + 10;
    } else {
      return std::nullopt;
    }
    value = (value << 4) | static_cast<std::uint32_t>(d);
  }
  return value;
}

}  // namespace kv7702
