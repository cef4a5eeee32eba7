// The bridge side of the simulated evaluation board: an MPSSE command engine
// that turns the bytes the host writes into GPIO bank writes, bank reads and
// answer bytes. It knows nothing about the chip; the board on the other side
// of the 16 GPIO lines is reached through PinBus.
//
// What the engine does with each byte it executes:
//
//   0x80 v d / 0x82 v d  set the first / second bank: output levels v,
//                        directions d (1 = output). Each command sets only
//                        its own bank; the other bank keeps its levels and
//                        directions.
//   0x81 / 0x83          answer one byte: the bank's line levels, outputs as
//                        the bridge drives them, inputs as the board drives
//                        them; a line nobody drives reads 1 (the bridge's
//                        pull-ups). Second-bank bits 4-7 are wired to nothing
//                        on the board, so they always read 1.
//   0x84 / 0x85          internal loop-back on / off. With loop-back on, the
//                        first bank's bit 2 (data in, the chip's SDO) reads
//                        the level of bit 1 (data out) instead of the board.
//   0x86 lo hi           clock divisor, remembered; it governs only the
//                        clocked serial commands, which the engine does not
//                        model.
//   0x87                 send immediate. Answers are queued the moment their
//                        command runs, so there is nothing left to push.
//   any other byte >= 0x80   a bad command: answered 0xFA followed by the
//                        byte, as the real bridge does.
//   any byte < 0x80      on the real bridge these are clocked serial
//                        transfers with length operands and payload, which
//                        this system never sends. The engine does not model
//                        that serial engine: it answers such a byte like a
//                        bad command (0xFA, byte) and takes the next byte as
//                        a new opcode, so a stray byte costs two answer bytes
//                        and never swallows the commands after it.
//
// A command whose operands have not all arrived waits for them: the next
// Execute call completes it. The answer queue holds at most
// kAnswerQueueCapacity bytes; answers beyond that are lost (the real bridge
// would stop executing until the host reads).
//
// Time: executing one command is one tick of the board's clock
// (PinBus::Tick); nothing in the engine looks at the wall clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

namespace sim {

// The board at the far end of the bridge's GPIO lines. Line words use the
// PortWord layout: low byte the first bank, high byte the second.
class PinBus {
 public:
  virtual ~PinBus() = default;
  // The lines as the board sees them after a bank write (or a bridge reset):
  // a line the bridge drives at its driven level, every other line at 1.
  virtual void BridgeLines(std::uint16_t lines) = 0;
  // The levels the board puts on the lines; 1 for a line it does not drive.
  virtual std::uint16_t BoardLines() const = 0;
  // Time passes: `ticks` ticks of the deterministic board clock.
  virtual void Tick(std::uint32_t ticks) = 0;
};

class MpsseEngine {
 public:
  static constexpr std::size_t kAnswerQueueCapacity = 65536;
  static constexpr std::uint8_t kBadCommand = 0xFA;

  explicit MpsseEngine(PinBus& bus);

  // Back to the state after a bridge reset: every line an input (released),
  // loop-back off, no partial command. The answer queue is kept; Purge
  // empties it. The clock divisor is kept.
  void Reset();

  // Executes the bytes in order; answers go to the answer queue.
  void Execute(const std::uint8_t* data, std::size_t size);
  // Drops a command whose operands have not all arrived (transmit purge).
  void DropPartialCommand();

  std::size_t AnswersWaiting() const { return answers_.size(); }
  // Moves up to `size` answer bytes, oldest first, into `out`; returns how many.
  std::size_t TakeAnswers(std::uint8_t* out, std::size_t size);
  void DiscardAnswers() { answers_.clear(); }

  // The line levels a read of both banks would answer right now.
  std::uint16_t LineLevels() const;
  // Output levels and directions as last set, PortWord layout.
  std::uint16_t DrivenLevels() const { return levels_; }
  std::uint16_t Directions() const { return directions_; }
  bool loopback() const { return loopback_; }
  std::uint16_t clock_divisor() const { return divisor_; }

 private:
  void Run(std::uint8_t opcode, const std::uint8_t* operands);
  void SetBank(int bank, std::uint8_t levels, std::uint8_t directions);
  void Answer(std::uint8_t byte);
  std::uint16_t LinesSeenByBoard() const;

  PinBus& bus_;
  std::uint16_t levels_ = 0;
  std::uint16_t directions_ = 0;
  bool loopback_ = false;
  std::uint16_t divisor_ = 0;
  std::deque<std::uint8_t> answers_;
  // A command waiting for operands: its opcode and the operands so far.
  std::uint8_t pending_opcode_ = 0;
  std::uint8_t operands_[2] = {0, 0};
  std::size_t operands_have_ = 0;
  std::size_t operands_need_ = 0;
};

}  // namespace sim
