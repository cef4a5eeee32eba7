// The bridge engine alone, with a stand-in for the board on its lines.
#include "sim/mpsse_engine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

namespace {

class FakeBoard : public sim::PinBus {
 public:
  void BridgeLines(std::uint16_t lines) override { seen.push_back(lines); }
  std::uint16_t BoardLines() const override { return drives; }
  void Tick(std::uint32_t ticks) override { ticks_total += ticks; }

  std::vector<std::uint16_t> seen;
  std::uint16_t drives = 0xFFFF;
  std::uint64_t ticks_total = 0;
};

class MpsseEngineTest : public ::testing::Test {
 protected:
  void Run(std::vector<std::uint8_t> bytes) { engine.Execute(bytes.data(), bytes.size()); }
  std::vector<std::uint8_t> Answers() {
    std::vector<std::uint8_t> out(engine.AnswersWaiting());
    out.resize(engine.TakeAnswers(out.data(), out.size()));
    return out;
  }

  FakeBoard board;
  sim::MpsseEngine engine{board};
};

TEST_F(MpsseEngineTest, EachBankWriteKeepsTheOtherBanksLevelsAndDirections) {
  Run({0x80, 0x5A, 0xDB, 0x82, 0x0C, 0x0C});
  Run({0x80, 0x01, 0x0F});
  EXPECT_EQ(engine.Directions(), 0x0C0F);
  EXPECT_EQ(engine.DrivenLevels(), 0x0C01);
  Run({0x82, 0x00, 0x04});
  EXPECT_EQ(engine.Directions(), 0x040F);
  EXPECT_EQ(engine.DrivenLevels(), 0x0001);
  // The board sees driven lines at their level and released ones pulled up.
  EXPECT_EQ(board.seen.back(), 0xFBF1);
}

struct BankReadCase {
  const char* name;
  std::vector<std::uint8_t> setup;
  std::uint16_t board_drives;
  std::uint8_t low, high;  // answers of 0x81 and 0x83
};

void PrintTo(const BankReadCase& c, std::ostream* os) { *os << c.name; }

class BankReadTest : public MpsseEngineTest, public ::testing::WithParamInterface<BankReadCase> {};

TEST_P(BankReadTest, AnswersOutputsAsDrivenAndInputsAsTheBoardDrivesThem) {
  const BankReadCase& c = GetParam();
  board.drives = c.board_drives;
  Run(c.setup);
  Run({0x81, 0x83, 0x87});
  EXPECT_EQ(Answers(), (std::vector<std::uint8_t>{c.low, c.high}));
}

INSTANTIATE_TEST_SUITE_P(
    Levels, BankReadTest,
    ::testing::Values(
        // Outputs read as driven whatever the board shows on them; inputs as
        // the board drives them (here SDO low, IRQ high, PRESN low).
        BankReadCase{"SystemDirections", {0x80, 0x5A, 0xDB, 0x82, 0x08, 0x0C}, 0xFEFB, 0x7A, 0xFA},
        // Nothing written yet: every line is an input.
        BankReadCase{"AllInputs", {}, 0x1234, 0x34, 0x12},
        // An output driven low reads low even where the board would pull it high.
        BankReadCase{"OutputsWin", {0x80, 0x00, 0xFF, 0x82, 0x00, 0xFF}, 0xFFFF, 0x00, 0x00}),
    [](const auto& info) { return info.param.name; });

TEST_F(MpsseEngineTest, LoopbackReadsDataOutOnDataIn) {
  board.drives = 0xFFFB;  // the chip holds SDO low
  Run({0x80, 0x02, 0xDB, 0x84, 0x81});
  Run({0x80, 0x00, 0xDB, 0x81});
  Run({0x85, 0x80, 0x02, 0xDB, 0x81});
  const auto a = Answers();
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a[0] & 0x04, 0x04);  // loop-back: SDI high
  EXPECT_EQ(a[1] & 0x04, 0x00);  // loop-back: SDI low
  EXPECT_EQ(a[2] & 0x04, 0x00);  // loop-back off: the chip's SDO again
}

class BadOpcodeTest : public MpsseEngineTest, public ::testing::WithParamInterface<std::uint8_t> {};

TEST_P(BadOpcodeTest, IsAnsweredFAThenTheOpcodeAndTheNextCommandStillRuns) {
  const std::uint8_t op = GetParam();
  board.drives = 0xFF00;
  Run({op, 0x81});
  EXPECT_EQ(Answers(), (std::vector<std::uint8_t>{0xFA, op, 0x00}));
}

INSTANTIATE_TEST_SUITE_P(AboveAndBelow80, BadOpcodeTest,
                         ::testing::Values(0x88, 0x8A, 0x8F, 0xAA, 0xFA, 0xFF,  // unknown commands
                                           0x00, 0x10, 0x31, 0x7F));            // clocked transfers, not modelled

TEST_F(MpsseEngineTest, OperandsAreNotOpcodesEvenAcrossWrites) {
  Run({0x86, 0x81});
  Run({0x83});
  EXPECT_EQ(engine.AnswersWaiting(), 0u);
  EXPECT_EQ(engine.clock_divisor(), 0x8381);  // low byte first
  Run({0x80, 0x12});
  EXPECT_EQ(engine.DrivenLevels() & 0xFF, 0x00);
  Run({0xDB});
  EXPECT_EQ(engine.DrivenLevels() & 0xFF, 0x12);
}

TEST_F(MpsseEngineTest, ADroppedPartialCommandLeavesTheNextByteAnOpcode) {
  Run({0x80, 0x12});
  engine.DropPartialCommand();
  Run({0x81});
  EXPECT_EQ(Answers().size(), 1u);
  EXPECT_EQ(engine.DrivenLevels(), 0x0000);
}

TEST_F(MpsseEngineTest, EveryExecutedCommandIsOneTick) {
  Run({0x80, 0x00, 0xDB, 0x87, 0x81, 0x86, 0x05});
  EXPECT_EQ(board.ticks_total, 3u);  // the divisor still waits for its last operand
  Run({0x00});
  EXPECT_EQ(board.ticks_total, 4u);
}

TEST_F(MpsseEngineTest, TheAnswerQueueStopsAtItsCapacity) {
  const std::vector<std::uint8_t> reads(sim::MpsseEngine::kAnswerQueueCapacity + 10, 0x81);
  engine.Execute(reads.data(), reads.size());
  EXPECT_EQ(engine.AnswersWaiting(), sim::MpsseEngine::kAnswerQueueCapacity);
  engine.DiscardAnswers();
  EXPECT_EQ(engine.AnswersWaiting(), 0u);
}

TEST_F(MpsseEngineTest, ResetReleasesEveryLineAndKeepsTheAnswers) {
  Run({0x80, 0x00, 0xFF, 0x82, 0x00, 0xFF, 0x84, 0x81});
  engine.Reset();
  EXPECT_EQ(board.seen.back(), 0xFFFF);
  EXPECT_EQ(engine.Directions(), 0);
  EXPECT_FALSE(engine.loopback());
  EXPECT_EQ(engine.AnswersWaiting(), 1u);
}

}  // namespace
