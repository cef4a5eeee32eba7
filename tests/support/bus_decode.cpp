#include "bus_decode.h"

#include <cstdio>

#include "bridge/port.h"
#include "bridge/spi.h"

namespace kvtest {
namespace {

// CommandWord bits from the bit periods that follow select group and capture.
std::uint16_t FrameWord(const std::vector<std::uint8_t>& b, int bits) {
  std::uint16_t word = 0;
  for (int k = 0; k < bits; ++k) {
    const std::size_t value_index = 4 + 6 * static_cast<std::size_t>(k) + 1;
    const bool sdi = (b[value_index] & pin::SDI) != 0;
    word = static_cast<std::uint16_t>(word | (sdi ? 1u << (15 - k) : 0u));
  }
  return word;
}

BusOp Decode(const std::vector<std::uint8_t>& b) {
  BusOp op;
  op.bytes = b;
  if (b.size() == 6 && b[0] == mpsse::kSetLowBank && b[3] == mpsse::kSetHighBank) {
    op.kind = BusOp::Kind::PortWrite;
    op.word = static_cast<std::uint16_t>(b[1] | (b[4] << 8));
  } else if (b.size() == 6 && b[0] == mpsse::kSetLowBank && b[3] == mpsse::kSetLowBank) {
    op.kind = BusOp::Kind::WatchdogPulse;
    op.word = b[4];
  } else if (b == std::vector<std::uint8_t>{mpsse::kReadLowBank, mpsse::kReadHighBank, mpsse::kSendImmediate}) {
    op.kind = BusOp::Kind::PortRead;
  } else if (b.size() == spi::kReadStreamSize) {
    op.kind = BusOp::Kind::RegRead;
    op.word = FrameWord(b, 16);
  } else if (b.size() == spi::kWriteStreamSize) {
    op.kind = BusOp::Kind::RegWrite;
    op.word = FrameWord(b, 16);
  } else if (b.size() == spi::kShortFrameStreamSize) {
    op.kind = BusOp::Kind::ShortFrame;
    op.word = FrameWord(b, 15);
  }
  return op;
}

std::vector<std::uint8_t> SdoBits(std::uint16_t word) {
  std::vector<std::uint8_t> out;
  for (int b = 15; b >= 0; --b) out.push_back(((word >> b) & 1) ? pin::SDO : 0);
  return out;
}

}  // namespace

std::vector<BusOp> DecodeBus(const std::vector<Call>& calls) {
  std::vector<BusOp> ops;
  for (const Call& c : calls) {
    if (c.fn == "FT_Write" && c.status == FT_OK) ops.push_back(Decode(c.data));
  }
  return ops;
}

std::vector<BusOp> DecodeBus(const ScriptedBackend& backend) { return DecodeBus(backend.calls()); }

std::vector<std::string> RegisterTrace(const std::vector<BusOp>& ops) {
  std::vector<std::string> out;
  char text[16];
  for (const BusOp& op : ops) {
    if (op.kind == BusOp::Kind::RegRead) {
      std::snprintf(text, sizeof text, "R%02X", op.addr6());
    } else if (op.kind == BusOp::Kind::RegWrite) {
      std::snprintf(text, sizeof text, "W%02X=%02X", op.addr6(), op.data());
    } else {
      continue;
    }
    out.emplace_back(text);
  }
  return out;
}

std::vector<std::uint8_t> SpiReadAnswer(std::uint8_t value, bool fsi, std::uint8_t high) {
  std::vector<std::uint8_t> out{static_cast<std::uint8_t>(fsi ? pin::SDO : 0)};
  const auto bits = SdoBits(static_cast<std::uint16_t>((high << 8) | value));
  out.insert(out.end(), bits.begin(), bits.end());
  return out;
}

std::vector<std::uint8_t> SpiWriteAnswer(bool fsi) { return {static_cast<std::uint8_t>(fsi ? pin::SDO : 0)}; }

std::vector<std::uint8_t> PortAnswer(std::uint16_t word) {
  return {static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>(word >> 8)};
}

}  // namespace kvtest
