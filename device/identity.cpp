#include "device/identity.h"

#include "device/format.h"

namespace kv7702 {

std::string DevRevisionText(std::uint8_t dev_revision) { return Hex(dev_revision, 2); }

std::string SerialText(const std::array<std::uint8_t, 6>& serial) {
  std::string text;
  for (const std::uint8_t b : serial) text += Hex(b, 2) + " ";
  return text;
}

std::string RevisionText(std::uint8_t die_rev) {
  return std::to_string(die_rev >> 4) + "P" + std::to_string(die_rev & 0x0F);
}

std::string LotNumberText(std::uint32_t lot) { return PrefixedHex(lot, 6); }

std::string ByteText(std::uint8_t value) { return PrefixedHex(value, 2); }

}  // namespace kv7702
