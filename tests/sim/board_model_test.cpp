// The board and chip model driven at its pins, for the frame rules that the
// bridge's own operations never produce (odd clock counts, unknown
// addresses, simultaneous edges) and for time.
#include "sim/board_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string_view>

#include "bridge/port.h"
#include "bridge/spi.h"

namespace {

using sim::BoardModel;
namespace reg = sim::reg;
namespace bits = sim::bits;

using namespace pin;

// Drives the board's input lines as the bridge would, one level change at a time.
class Pins {
 public:
  explicit Pins(BoardModel& board) : board_(board) { Set(NCS); }

  void Set(std::uint16_t lines) {
    lines_ = lines;
    board_.BridgeLines(lines);
  }
  bool Sdo() const { return (board_.BoardLines() & SDO) != 0; }

  struct Result {
    bool fsi;                // SDO right after chip select fell
    std::uint16_t response;  // SDO after each falling edge, first one in bit 15
  };
  // A frame of `clocks` clock periods carrying `word` from bit 15 down (0s
  // after the 16th bit).
  Result Frame(std::uint16_t word, int clocks = 16) {
    const auto base = static_cast<std::uint16_t>(lines_ & ~(SCLK | SDI | NCS));
    Set(base);
    Result r{Sdo(), 0};
    for (int i = 0; i < clocks; ++i) {
      const bool bit = i < 16 && ((word >> (15 - i)) & 1u);
      const auto sdi = static_cast<std::uint16_t>(bit ? SDI : 0);
      Set(base | SCLK | sdi);
      Set(base | sdi);
      r.response = static_cast<std::uint16_t>((r.response << 1) | (Sdo() ? 1 : 0));
    }
    Set(base | NCS);
    return r;
  }
  std::uint16_t ReadOut() { return Frame(0x8000).response; }
  std::uint8_t Read(std::uint8_t addr, bool dft) {
    Frame(spi::CommandWord(dft, false, addr, 0));
    return static_cast<std::uint8_t>(ReadOut() & 0xFF);
  }
  void Write(std::uint8_t addr, std::uint8_t data, bool dft) { Frame(spi::CommandWord(dft, true, addr, data)); }

 private:
  BoardModel& board_;
  std::uint16_t lines_ = NCS;
};

class BoardModelTest : public ::testing::Test {
 protected:
  BoardModel board;
  Pins pins{board};
};

TEST(Crc8J1850, MatchesTheStandardCheckValue) {
  constexpr std::string_view kCheck = "123456789";
  EXPECT_EQ(sim::Crc8J1850(reinterpret_cast<const std::uint8_t*>(kCheck.data()), kCheck.size()), 0x4B);
  EXPECT_EQ(sim::Crc8J1850(nullptr, 0), 0x00);
}

struct FrameCase {
  const char* name;
  bool dft;
  std::uint16_t word;
  int clocks;
  std::uint8_t spi_stat;        // SPI_STAT afterwards
  std::uint16_t response;       // shifted out during the next frame
  std::uint8_t reg, reg_value;  // a register the frame would or would not change
};

void PrintTo(const FrameCase& c, std::ostream* os) { *os << c.name; }

class FrameRuleTest : public BoardModelTest, public ::testing::WithParamInterface<FrameCase> {};

TEST_P(FrameRuleTest, JudgesTheFrameAndAnswersItInTheNext) {
  const FrameCase& c = GetParam();
  board.SetDftMode(c.dft);
  pins.Frame(c.word, c.clocks);
  EXPECT_EQ(board.Peek(reg::SPI_STAT), c.spi_stat);
  EXPECT_EQ(board.Peek(c.reg), c.reg_value);
  EXPECT_EQ(pins.ReadOut(), c.response);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, FrameRuleTest,
    ::testing::Values(
        // Writes of 0x55 to PWR_CONFIG (0xF155), executed only with 16 clocks.
        FrameCase{"Executed", false, 0xF155, 16, 0, 0xF155, reg::PWR_CONFIG, 0x55},
        FrameCase{"FifteenClocks", false, 0xF155, 15, bits::CLK_FAIL, 0xFF04, reg::PWR_CONFIG, 0x70},
        FrameCase{"SeventeenClocks", false, 0xF155, 17, bits::CLK_FAIL, 0xFF04, reg::PWR_CONFIG, 0x70},
        FrameCase{"OneClock", false, 0xF155, 1, bits::CLK_FAIL, 0xFF04, reg::PWR_CONFIG, 0x70},
        // A chip select pulse without clocks is not a frame: the answer stays
        // the power-up one.
        FrameCase{"NoClock", false, 0xF155, 0, 0, 0x0000, reg::PWR_CONFIG, 0x70},
        FrameCase{"EvenParity", false, 0x7155, 16, bits::PARITY_FAIL, 0xFF01, reg::PWR_CONFIG, 0x70},
        // Write of 0 to 0x3E, which does not exist; a read of it is harmless.
        FrameCase{"UnknownWrite", false, 0xFE00, 16, bits::CMD_ID_FAIL, 0xFF02, reg::PWR_CONFIG, 0x70},
        FrameCase{"UnknownRead", false, 0x3E00, 16, 0, 0x3E00, reg::PWR_CONFIG, 0x70},
        FrameCase{"ReadAnswersValue", false, 0x2F00, 16, 0, 0x2F12, reg::DEV_REVISION, 0x12},
        // DFT mode: bit 15 is address bit 6 and parity is not checked.
        FrameCase{"DftWriteNoParity", true, 0xE4FF, 16, 0, 0xE4FF, reg::TRIM_FIRST, 0xFF},
        FrameCase{"DftReadHighAddress", true, 0x8F00, 16, 0, 0x8F0A, reg::FSM_STATE, 0x0A},
        FrameCase{"DftUnknownWrite", true, 0xFF00, 16, bits::CMD_ID_FAIL, 0xFF02, reg::TRIM_FIRST, 0x90},
        FrameCase{"DftFifteenClocks", true, 0xE4FF, 15, bits::CLK_FAIL, 0xFF04, reg::TRIM_FIRST, 0x90}),
    [](const auto& info) { return info.param.name; });

TEST_F(BoardModelTest, SdoShowsFsiAtSelectAndIsReleasedWhenDeselected) {
  EXPECT_FALSE(pins.Frame(0x8000).fsi);
  board.Poke(reg::SPI_STAT, bits::PARITY_FAIL);
  EXPECT_TRUE(pins.Frame(0x8000).fsi);
  EXPECT_TRUE(pins.Sdo());  // deselected: pulled up
  // A read of SPI_STAT clears it; the flag was still showing at its start.
  const auto r = pins.Frame(spi::CommandWord(false, false, reg::SPI_STAT, 0));
  EXPECT_TRUE(r.fsi);
  EXPECT_FALSE(pins.Frame(0x8000).fsi);
}

TEST_F(BoardModelTest, ChipSelectFallingWithTheFirstClockEdgeStillCountsIt) {
  // Both edges of chip select coincide with clock edges of the frame.
  const std::uint16_t word = spi::CommandWord(false, true, reg::PWR_CONFIG, 0x01);
  for (int i = 0; i < 16; ++i) {
    const auto sdi = static_cast<std::uint16_t>(((word >> (15 - i)) & 1u) ? SDI : 0);
    pins.Set(SCLK | sdi);  // on the first bit this also lowers chip select
    pins.Set(i == 15 ? static_cast<std::uint16_t>(NCS | sdi) : sdi);
  }
  EXPECT_EQ(board.Peek(reg::SPI_STAT), 0);
  EXPECT_EQ(board.Peek(reg::PWR_CONFIG), 0x01);
}

TEST_F(BoardModelTest, LockedChipHoldsSdoHighAndIgnoresFrames) {
  pins.Write(reg::LOCK_CMD, sim::kLockCommand, false);
  EXPECT_EQ(board.state(), sim::ChipState::kLocked);
  pins.Write(reg::PWR_CONFIG, 0x00, false);
  EXPECT_EQ(board.Peek(reg::PWR_CONFIG), 0x70);
  EXPECT_EQ(board.Peek(reg::SPI_STAT), 0);
  const auto r = pins.Frame(0x8000);
  EXPECT_TRUE(r.fsi);
  EXPECT_EQ(r.response, 0xFFFF);
  EXPECT_EQ(board.DrivenLevels(), SDO);  // IRQ, PRESN and RESN low
  board.PowerUp();
  EXPECT_EQ(board.state(), sim::ChipState::kActive);
  EXPECT_EQ(board.DrivenLevels(), SDO | IRQ | PRESN | RESN);
}

TEST_F(BoardModelTest, WakePinWakesOnlyOnItsRisingEdge) {
  pins.Set(NCS | WAKE);
  pins.Write(reg::LPM0_CMD, sim::kLpm0Command, false);
  EXPECT_EQ(board.state(), sim::ChipState::kLpm0);  // a held WAKE does not keep it awake
  pins.Set(NCS);
  EXPECT_EQ(board.state(), sim::ChipState::kLpm0);
  pins.Set(NCS | WAKE);
  EXPECT_EQ(board.state(), sim::ChipState::kActive);
  EXPECT_EQ(board.Peek(reg::FSM_STATE), 10);
}

TEST_F(BoardModelTest, DftHandshakeNeedsThePinForEveryStepAndTheRightOrder) {
  auto handshake = [&](std::uint16_t pin_during_second) {
    pins.Set(NCS | DFT);
    pins.Write(reg::DFT_ENTRY, 0x06, false);
    pins.Set(NCS | pin_during_second);
    pins.Write(reg::DFT_ENTRY, 0x03, false);
    pins.Set(NCS | DFT);
    pins.Write(reg::DFT_ENTRY, 0x05, false);
    pins.Set(NCS);
  };
  handshake(0);
  EXPECT_FALSE(board.dft_mode());
  handshake(DFT);
  EXPECT_TRUE(board.dft_mode());
  EXPECT_EQ(pins.Read(reg::DFT_ENTRY, false), 3);  // the pin is low again: still in DFT mode
}

TEST_F(BoardModelTest, BuckI2rCountFollowsTheBoardClockWhileTheRegulatorsRun) {
  board.Tick(sim::kTicksPerI2rCount - 1);
  EXPECT_EQ(board.Peek(reg::BUCK_I2R_CNT), 0);
  board.Tick(1);
  EXPECT_EQ(board.Peek(reg::BUCK_I2R_CNT), 1);
  board.Tick(300 * sim::kTicksPerI2rCount);
  EXPECT_EQ(board.Peek(reg::BUCK_I2R_CNT), (1 + 300) % 256);
  const std::uint8_t before = board.Peek(reg::BUCK_I2R_CNT);
  pins.Write(reg::LPM0_CMD, sim::kLpm0Command, false);
  board.Tick(10 * sim::kTicksPerI2rCount);
  EXPECT_EQ(board.Peek(reg::BUCK_I2R_CNT), before);
}

TEST_F(BoardModelTest, PowerUpRestoresResetValuesAndAConsistentEepromCrc) {
  board.SetDftMode(true);
  pins.Write(reg::TRIM_FIRST, 0x00, true);
  board.Poke(reg::PWR_STAT, 0xFF);
  board.PowerUp();
  EXPECT_FALSE(board.dft_mode());
  EXPECT_EQ(board.Peek(reg::TRIM_FIRST), 0x90);
  EXPECT_EQ(board.Peek(reg::PWR_STAT), 0);
  EXPECT_EQ(board.Peek(reg::SYS_STAT), bits::POR);
  board.SetDftMode(true);
  pins.Write(reg::CRC_CTRL, bits::CRC_START | bits::CRC_CHECK, true);
  EXPECT_EQ(board.Peek(reg::CRC_STAT), 0);
  EXPECT_EQ(board.Peek(reg::CRC_CALC), board.Peek(reg::CRC_STORED));
}

}  // namespace
