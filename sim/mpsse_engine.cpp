#include "sim/mpsse_engine.h"

#include "bridge/port.h"

namespace sim {

namespace {
using namespace mpsse;  // the opcodes

// The lines the loop-back connects: data out (SDI) to data in (SDO).
constexpr std::uint16_t kDataOut = pin::SDI;
constexpr std::uint16_t kDataIn = pin::SDO;

std::size_t OperandCount(std::uint8_t opcode) {
  switch (opcode) {
    case kSetLowBank:
    case kSetHighBank:
    case kSetClockDivisor:
      return 2;
    default:
      return 0;
  }
}
}  // namespace

MpsseEngine::MpsseEngine(PinBus& bus) : bus_(bus) {}

void MpsseEngine::Reset() {
  levels_ = 0;
  directions_ = 0;
  loopback_ = false;
  DropPartialCommand();
  bus_.BridgeLines(LinesSeenByBoard());
}

void MpsseEngine::DropPartialCommand() {
  operands_have_ = 0;
  operands_need_ = 0;
}

void MpsseEngine::Execute(const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t byte = data[i];
    if (operands_need_ > 0) {
      operands_[operands_have_++] = byte;
      if (operands_have_ == operands_need_) {
        DropPartialCommand();
        Run(pending_opcode_, operands_);
      }
      continue;
    }
    const std::size_t need = OperandCount(byte);
    if (need == 0) {
      Run(byte, nullptr);
    } else {
      pending_opcode_ = byte;
      operands_need_ = need;
      operands_have_ = 0;
    }
  }
}

void MpsseEngine::Run(std::uint8_t opcode, const std::uint8_t* operands) {
  switch (opcode) {
    case kSetLowBank:
      SetBank(0, operands[0], operands[1]);
      break;
    case kSetHighBank:
      SetBank(1, operands[0], operands[1]);
      break;
    case kReadLowBank:
      Answer(static_cast<std::uint8_t>(LineLevels() & 0xFF));
      break;
    case kReadHighBank:
      Answer(static_cast<std::uint8_t>(LineLevels() >> 8));
      break;
    case kLoopbackOn:
      loopback_ = true;
      break;
    case kLoopbackOff:
      loopback_ = false;
      break;
    case kSetClockDivisor:
      divisor_ = static_cast<std::uint16_t>(operands[0] | (operands[1] << 8));
      break;
    case kSendImmediate:
      break;
    default:
      Answer(kBadCommand);
      Answer(opcode);
      break;
  }
  bus_.Tick(1);
}

void MpsseEngine::SetBank(int bank, std::uint8_t levels, std::uint8_t directions) {
  const int shift = bank * 8;
  const auto keep = static_cast<std::uint16_t>(0xFF00 >> shift);
  levels_ = static_cast<std::uint16_t>((levels_ & keep) | (levels << shift));
  directions_ = static_cast<std::uint16_t>((directions_ & keep) | (directions << shift));
  bus_.BridgeLines(LinesSeenByBoard());
}

std::uint16_t MpsseEngine::LinesSeenByBoard() const {
  return static_cast<std::uint16_t>((levels_ & directions_) | ~directions_);
}

std::uint16_t MpsseEngine::LineLevels() const {
  auto lines = static_cast<std::uint16_t>((levels_ & directions_) | (bus_.BoardLines() & ~directions_));
  if (loopback_ && (directions_ & kDataIn) == 0) {
    const bool out = (LinesSeenByBoard() & kDataOut) != 0;
    lines = static_cast<std::uint16_t>(out ? (lines | kDataIn) : (lines & ~kDataIn));
  }
  return lines;
}

void MpsseEngine::Answer(std::uint8_t byte) {
  if (answers_.size() < kAnswerQueueCapacity) answers_.push_back(byte);
}

std::size_t MpsseEngine::TakeAnswers(std::uint8_t* out, std::size_t size) {
  std::size_t n = 0;
  while (n < size && !answers_.empty()) {
    out[n++] = answers_.front();
    answers_.pop_front();
  }
  return n;
}

}  // namespace sim
