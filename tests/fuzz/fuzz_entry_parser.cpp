// The entry-box parser on arbitrary text: it either refuses, or returns the
// value that the hexadecimal digits after the first two characters spell.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "device/format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto value = kv7702::ParseHexEntry(text);
  if (!value) return 0;
  const std::string_view digits = text.substr(2);
  if (digits.empty() || digits.size() > 8) std::abort();
  std::uint32_t expected = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else std::abort();
    expected = expected * 16 + static_cast<std::uint32_t>(d);
  }
  if (*value != expected) std::abort();
  return 0;
}
