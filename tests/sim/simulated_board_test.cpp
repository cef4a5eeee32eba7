// The bridge layer's own operations (device access, port word, SPI frame
// engine) end to end against the simulated board.
#include "sim/simulated_board.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "bridge/d2xx.h"
#include "bridge/device_access.h"
#include "bridge/link_state.h"
#include "bridge/port.h"
#include "bridge/spi.h"
#include "sleep_recorder.h"

namespace {

namespace reg = sim::reg;
namespace bits = sim::bits;

constexpr std::uint16_t kIdle = pin::NCS;  // the initial PortWord

class SimulatedBoardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bridge::ResetLinkState();
    d2xx::SetBackend(&board);
    ASSERT_TRUE(FTDI_OpenDevice());
    ASSERT_TRUE(NEVO_InitFTDI());
  }
  void TearDown() override {
    FTDI_CloseDevice();
    d2xx::SetBackend(nullptr);
    bridge::ResetLinkState();
  }

  std::uint8_t Read(std::uint8_t addr, bool dft = false) {
    std::uint8_t value = 0;
    EXPECT_TRUE(NEVO_SPIRead(dft, addr, &value)) << "read of " << int{addr};
    return value;
  }
  void Write(std::uint8_t addr, std::uint8_t data, bool dft = false) {
    EXPECT_TRUE(NEVO_SPIWrite(dft, addr, data)) << "write of " << int{addr};
  }
  std::uint16_t Port() {
    std::uint16_t word = 0;
    EXPECT_TRUE(NEVO_GetPort(&word));
    return word;
  }
  // The DFT handshake as the window runs it: pin up, three writes, pin down,
  // read-back with the normal parity rule.
  bool EnterDft(bool with_pin = true) {
    EXPECT_TRUE(NEVO_SetPort(with_pin ? kIdle | pin::DFT : kIdle));
    for (std::uint8_t step : {0x06, 0x03, 0x05}) Write(reg::DFT_ENTRY, step);
    EXPECT_TRUE(NEVO_SetPort(kIdle));
    return Read(reg::DFT_ENTRY) == 3;
  }
  void Replug() {
    ASSERT_TRUE(FTDI_CloseDevice());
    ASSERT_TRUE(FTDI_OpenDevice());
    ASSERT_TRUE(NEVO_InitFTDI());
  }

  kvtest::SleepRecorder sleeps;
  sim::SimulatedBoard board;
};

TEST_F(SimulatedBoardTest, IsListedAsOneDeviceAndRemembersTheInitialisation) {
  DWORD count = 0;
  ASSERT_EQ(FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY), FT_OK);
  EXPECT_EQ(count, 1u);
  DWORD version = 0;
  ASSERT_EQ(FT_GetLibraryVersion(&version), FT_OK);
  EXPECT_EQ(version, sim::SimulatedBoard::kLibraryVersion);
  ASSERT_EQ(FT_GetDriverVersion(ftHandle, &version), FT_OK);
  EXPECT_EQ(version, sim::SimulatedBoard::kDriverVersion);

  const auto& s = board.settings();
  EXPECT_EQ(s.latency_ms, 3);
  EXPECT_EQ(s.read_timeout_ms, 200u);
  EXPECT_EQ(s.write_timeout_ms, 200u);
  EXPECT_EQ(s.in_transfer_size, 2u);
  EXPECT_EQ(s.out_transfer_size, 2u);
  EXPECT_EQ(s.bit_mode, FT_BITMODE_MPSSE);
  EXPECT_EQ(board.ClockDivisor(), 5);
  EXPECT_FALSE(board.Loopback());
  ASSERT_TRUE(FTDI_ConnectLoopBack());
  EXPECT_TRUE(board.Loopback());
}

TEST_F(SimulatedBoardTest, ReadReturnsAtOnceWithWhatIsQueued) {
  const std::uint8_t reads[] = {0x81, 0x83, 0x81};
  ASSERT_TRUE(FTDI_TransferBuffer(reads, sizeof reads));
  DWORD waiting = 0;
  ASSERT_EQ(FT_GetQueueStatus(ftHandle, &waiting), FT_OK);
  EXPECT_EQ(waiting, 3u);
  std::uint8_t buf[8];
  DWORD got = 0;
  ASSERT_EQ(FT_Read(ftHandle, buf, 2, &got), FT_OK);
  EXPECT_EQ(got, 2u);
  ASSERT_EQ(FT_Read(ftHandle, buf, 8, &got), FT_OK);  // short: only one left
  EXPECT_EQ(got, 1u);
  ASSERT_TRUE(FTDI_TransferBuffer(reads, sizeof reads));
  ASSERT_TRUE(FTDI_PurgeBuffer());
  EXPECT_FALSE(FTDI_WaitQueue(1, 0));
  EXPECT_FALSE(FTDI_ReceiveBuffer(buf, 1));
}

TEST_F(SimulatedBoardTest, BytesAreNotCommandsOutsideMpsseMode) {
  ASSERT_EQ(FT_SetBitMode(ftHandle, 0, FT_BITMODE_RESET), FT_OK);
  const std::uint8_t read = 0x81;
  ASSERT_TRUE(FTDI_TransferBuffer(&read, 1));
  DWORD waiting = 1;
  ASSERT_EQ(FT_GetQueueStatus(ftHandle, &waiting), FT_OK);
  EXPECT_EQ(waiting, 0u);
}

TEST_F(SimulatedBoardTest, OpenOnlyIndexZeroOnceAndNeverThroughAStaleHandle) {
  FT_HANDLE other = nullptr;
  EXPECT_EQ(FT_Open(0, &other), FT_DEVICE_NOT_OPENED);
  EXPECT_EQ(FT_Open(1, &other), FT_DEVICE_NOT_FOUND);
  EXPECT_FALSE(d2xx::LastErrorText().empty());
  FT_HANDLE stale = ftHandle;
  ASSERT_TRUE(FTDI_CloseDevice());
  DWORD version = 0;
  EXPECT_EQ(FT_GetDriverVersion(stale, &version), FT_INVALID_HANDLE);
}

struct RoundTrip {
  bool dft;
  std::uint8_t addr, written, read;
};
void PrintTo(const RoundTrip& c, std::ostream* os) {
  *os << (c.dft ? "dft " : "normal ") << std::hex << int{c.addr} << " <- " << int{c.written};
}

class RoundTripTest : public SimulatedBoardTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(RoundTripTest, ReadsBackWhatWasWrittenInTheBitsTheChipHolds) {
  const RoundTrip& c = GetParam();
  if (c.dft) {
    ASSERT_TRUE(EnterDft());
  }
  Write(c.addr, c.written, c.dft);
  EXPECT_EQ(Read(c.addr, c.dft), c.read);
  EXPECT_EQ(board.PeekRegister(c.addr), c.read);
  EXPECT_FALSE(NEVO_GetFSI());
}

INSTANTIATE_TEST_SUITE_P(
    Registers, RoundTripTest,
    ::testing::Values(RoundTrip{false, reg::PWR_CONFIG, 0x40, 0x40}, RoundTrip{false, reg::PWR_CONFIG, 0xFF, 0x7F},
                      RoundTrip{false, reg::DEV_CONFIG, 0xFF, 0x0F}, RoundTrip{false, reg::CLOCK_CONFIG, 0xA5, 0xA5},
                      RoundTrip{true, reg::CLOCK_CONFIG, 0x5A, 0x5A},  // low registers in DFT mode too
                      RoundTrip{true, reg::IO_OBS, 0x04, 0x04}, RoundTrip{true, reg::ATB_SEL, 0x22, 0x22},
                      RoundTrip{true, reg::ATB_SEL, 0xFF, 0x3F}, RoundTrip{true, reg::DTB_SEL, 0x19, 0x19},
                      RoundTrip{true, reg::TM_ACT1, 0x81, 0x81}, RoundTrip{true, 0x48, 0xF0, 0xF0},
                      RoundTrip{true, reg::EEPROM_TEST, 0xFF, 0x3F}, RoundTrip{true, reg::CRC_STORED, 0xA5, 0xA5},
                      RoundTrip{true, 0x64, 0xFF, 0xFF}, RoundTrip{true, 0x68, 0xFF, 0x0F},
                      RoundTrip{true, 0x6E, 0xFF, 0x7F}, RoundTrip{true, 0x71, 0xFF, 0x78},
                      RoundTrip{true, 0x75, 0x00, 0x00}, RoundTrip{true, reg::DEV_CONF1, 0x5A, 0x5A},
                      RoundTrip{true, reg::DEV_CONF3, 0xC3, 0xC3}));

TEST_F(SimulatedBoardTest, IdentityRegistersHoldTheirValuesAgainstWrites) {
  auto check = [&](std::initializer_list<std::uint8_t> addrs, bool dft) {
    for (std::uint8_t addr : addrs) {
      const std::uint8_t value = Read(addr, dft);
      EXPECT_EQ(value, board.PeekRegister(addr));
      Write(addr, static_cast<std::uint8_t>(~value), dft);
      EXPECT_EQ(Read(addr, dft), value) << std::hex << int{addr};
    }
  };
  check({0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, reg::DEV_REVISION}, false);
  ASSERT_TRUE(EnterDft());
  check({reg::DIE_REV, reg::DIE_X, reg::DIE_Y, 0x7B, 0x7C, 0x7D, reg::FAB_INFO}, true);
  EXPECT_EQ(Read(reg::SPI_STAT, true), 0);  // known addresses: no CMD_ID_FAIL
}

TEST_F(SimulatedBoardTest, DftEntryNeedsThePinAndTheLeaveWriteEndsIt) {
  EXPECT_FALSE(EnterDft(false));
  EXPECT_FALSE(board.InDftMode());
  EXPECT_EQ(Read(reg::SYS_STAT) & bits::TEST_MODE, 0);

  EXPECT_TRUE(EnterDft(true));
  EXPECT_TRUE(board.InDftMode());
  EXPECT_EQ(Read(reg::SYS_STAT, true) & bits::TEST_MODE, bits::TEST_MODE);
  EXPECT_EQ(Read(reg::FSM_STATE, true), 10);
  EXPECT_EQ(Read(reg::DFT_ENTRY, true), 3);  // the page refresh reads it with the DFT flag

  Write(reg::DFT_ENTRY, sim::kDftLeave, true);
  EXPECT_FALSE(board.InDftMode());
  EXPECT_EQ(Read(reg::DFT_ENTRY), 0);
  EXPECT_EQ(Read(reg::SYS_STAT) & bits::TEST_MODE, 0);
  EXPECT_EQ(Read(reg::SPI_STAT), 0);
}

TEST_F(SimulatedBoardTest, HighRegistersAreOutOfReachInNormalMode) {
  // Normal-mode frames for 0x40-0x7F count an address bit that is not sent:
  // they fail parity, and a write for 0x71 does not land on 0x31.
  Write(0x71, 0x00);
  EXPECT_EQ(board.PeekRegister(reg::PWR_CONFIG), 0x70);
  EXPECT_EQ(Read(reg::SPI_STAT), bits::PARITY_FAIL);
}

struct BadFrame {
  const char* name;
  bool (*send)();
  std::uint8_t spi_stat;
};
void PrintTo(const BadFrame& c, std::ostream* os) { *os << c.name; }

class BadFrameTest : public SimulatedBoardTest, public ::testing::WithParamInterface<BadFrame> {};

TEST_P(BadFrameTest, SetsItsSpiStatBitWhichShowsInFsiAndIrqUntilRead) {
  const BadFrame& c = GetParam();
  ASSERT_TRUE(c.send());
  EXPECT_EQ(Port() & pin::IRQ, 0);  // active low
  EXPECT_EQ(Read(reg::SPI_STAT), c.spi_stat);
  EXPECT_TRUE(NEVO_GetFSI());
  EXPECT_EQ(Read(reg::SPI_STAT), 0);  // cleared by the read
  EXPECT_FALSE(NEVO_GetFSI());
  EXPECT_EQ(Port() & pin::IRQ, pin::IRQ);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, BadFrameTest,
    ::testing::Values(BadFrame{"WrongParity", [] { return NEVO_SPIWrite(false, 0x64, 0x00); }, bits::PARITY_FAIL},
                      BadFrame{"FifteenClocks", [] { return NEVO_INVSPIWrite() != 0; }, bits::CLK_FAIL},
                      BadFrame{"UnknownAddress", [] { return NEVO_SPIWrite(false, 0x3E, 0x00); }, bits::CMD_ID_FAIL}),
    [](const auto& info) { return info.param.name; });

TEST_F(SimulatedBoardTest, FifteenBitFrameReturnsTheRejectionWordNotANormalAnswer) {
  EXPECT_EQ(NEVO_INVSPIWrite(), 0xFF04);
  // Its own FSI was sampled before the bad frame; the next operation's shows it.
  EXPECT_FALSE(NEVO_GetFSI());
  EXPECT_EQ(NEVO_INVSPIWrite(), 0xFF04);
  EXPECT_TRUE(NEVO_GetFSI());
}

TEST_F(SimulatedBoardTest, LockHoldsSdoHighUntilReplug) {
  Write(reg::LOCK_CMD, sim::kLockCommand);
  for (std::uint8_t addr : {reg::PWR_CONFIG, reg::DEV_REVISION, reg::SPI_STAT}) {
    EXPECT_EQ(Read(addr), 0xFF);
    EXPECT_TRUE(NEVO_GetFSI());
  }
  EXPECT_EQ(NEVO_INVSPIWrite(), 0xFFFF);
  Write(reg::PWR_CONFIG, 0x00);
  EXPECT_EQ(board.PeekRegister(reg::PWR_CONFIG), 0x70);
  EXPECT_EQ(board.State(), sim::ChipState::kLocked);
  EXPECT_EQ(Port() & (pin::IRQ | pin::PRESN | pin::RESN), 0);

  Replug();
  EXPECT_EQ(board.State(), sim::ChipState::kActive);
  EXPECT_EQ(Read(reg::SYS_STAT), bits::POR);
  EXPECT_FALSE(NEVO_GetFSI());
  EXPECT_EQ(Read(reg::PWR_CONFIG), 0x70);
  EXPECT_EQ(Port() & (pin::IRQ | pin::PRESN | pin::RESN), pin::IRQ | pin::PRESN | pin::RESN);
}

TEST_F(SimulatedBoardTest, PowerCycleHookRestartsTheChipButNotTheBridge) {
  Write(reg::LOCK_CMD, sim::kLockCommand);
  ASSERT_TRUE(NEVO_SPIWrite_WAKE(false));  // leaves the chip selected
  board.PowerCycle();
  EXPECT_EQ(board.State(), sim::ChipState::kActive);
  EXPECT_EQ(Read(reg::DEV_REVISION), board.PeekRegister(reg::DEV_REVISION));
  EXPECT_EQ(board.ClockDivisor(), 5);
}

struct WakeWay {
  const char* name;
  void (*wake)();
};
void PrintTo(const WakeWay& c, std::ostream* os) { *os << c.name; }

class WakeTest : public SimulatedBoardTest, public ::testing::WithParamInterface<WakeWay> {};

TEST_P(WakeTest, BringsTheChipBackFromLpm0) {
  ASSERT_TRUE(EnterDft());
  Write(reg::LPM0_CMD, sim::kLpm0Command, true);
  EXPECT_EQ(Read(reg::FSM_STATE, true), 5);
  EXPECT_EQ(Port() & (pin::PRESN | pin::RESN), 0);
  const std::uint8_t count = board.PeekRegister(reg::BUCK_I2R_CNT);
  board.Advance(10 * sim::kTicksPerI2rCount);
  EXPECT_EQ(board.PeekRegister(reg::BUCK_I2R_CNT), count);

  GetParam().wake();
  EXPECT_EQ(Read(reg::FSM_STATE, true), 10);
  EXPECT_EQ(Port() & (pin::PRESN | pin::RESN), pin::PRESN | pin::RESN);
  EXPECT_EQ(Read(reg::SPI_STAT, true), 0);
}

INSTANTIATE_TEST_SUITE_P(Ways, WakeTest,
                         ::testing::Values(WakeWay{"WakeOperation", [] { ASSERT_TRUE(NEVO_SPIWrite_WAKE(true)); }},
                                           WakeWay{"WakePin",
                                                   [] {
                                                     ASSERT_TRUE(NEVO_SetPort(kIdle | pin::WAKE));
                                                     ASSERT_TRUE(NEVO_SetPort(kIdle));
                                                   }}),
                         [](const auto& info) { return info.param.name; });

TEST_F(SimulatedBoardTest, LpmCommandOtherThanAAAndReadsOfAddressZeroChangeNothing) {
  Write(reg::LPM0_CMD, 0xAB);
  EXPECT_EQ(board.State(), sim::ChipState::kActive);
  // The wake operation while active is a plain no-operation frame.
  ASSERT_TRUE(NEVO_SPIWrite_WAKE(false));
  EXPECT_EQ(board.State(), sim::ChipState::kActive);
  EXPECT_EQ(Read(reg::NOP), 0);
  EXPECT_EQ(Read(reg::SPI_STAT), 0);
}

struct CrcRun {
  const char* name;
  std::uint8_t ctrl;
  int stored_offset;  // CRC_STORED = the right CRC + this
  std::uint8_t crc_stat;
};
void PrintTo(const CrcRun& c, std::ostream* os) { *os << c.name; }

class CrcTest : public SimulatedBoardTest, public ::testing::WithParamInterface<CrcRun> {};

TEST_P(CrcTest, ComputesOverTrimsAndDeviceConfigurationAndChecksOnRequest) {
  const CrcRun& c = GetParam();
  ASSERT_TRUE(EnterDft());
  for (std::uint8_t addr = 0x64; addr <= 0x78; ++addr) Write(addr, static_cast<std::uint8_t>(addr * 7), true);
  std::vector<std::uint8_t> image;
  for (std::uint8_t addr = 0x64; addr <= 0x78; ++addr) image.push_back(board.PeekRegister(addr));
  const std::uint8_t crc = sim::Crc8J1850(image.data(), image.size());

  // The panel's sequence: stored value, start (and check), start bit down.
  Write(reg::CRC_STORED, static_cast<std::uint8_t>(crc + c.stored_offset), true);
  Write(reg::CRC_CTRL, c.ctrl, true);
  Write(reg::CRC_CTRL, c.ctrl & bits::CRC_CHECK, true);
  EXPECT_EQ(Read(reg::CRC_CALC, true), crc);
  EXPECT_EQ(Read(reg::CRC_STAT, true), c.crc_stat);
}

INSTANTIATE_TEST_SUITE_P(Runs, CrcTest,
                         ::testing::Values(CrcRun{"Matching", 0x03, 0, 0}, CrcRun{"Wrong", 0x03, 1, 1},
                                           CrcRun{"WrongUnchecked", 0x01, 1, 0}),
                         [](const auto& info) { return info.param.name; });

TEST_F(SimulatedBoardTest, CrcCoversExactly0x64To0x78) {
  ASSERT_TRUE(EnterDft());
  auto run = [&] {
    Write(reg::CRC_CTRL, bits::CRC_START, true);
    Write(reg::CRC_CTRL, 0, true);
    return Read(reg::CRC_CALC, true);
  };
  const std::uint8_t first = run();
  Write(reg::CRC_STORED, static_cast<std::uint8_t>(~board.PeekRegister(reg::CRC_STORED)), true);
  Write(reg::TM_ACT1, 0xFF, true);
  EXPECT_EQ(run(), first);
  Write(reg::DEV_CONF3, 0x01, true);
  EXPECT_NE(run(), first);
}

TEST_F(SimulatedBoardTest, BadOpcodeIsAnsweredFAAndTheOpcode) {
  for (std::uint8_t op : {0x8F, 0xAB, 0x10}) {
    ASSERT_TRUE(FTDI_TransferBuffer(&op, 1));
    std::uint8_t answer[2] = {};
    ASSERT_TRUE(FTDI_WaitReceiveBuffer(answer, 2, 0));
    EXPECT_EQ(answer[0], 0xFA);
    EXPECT_EQ(answer[1], op);
  }
}

struct PortCase {
  std::uint16_t written, read;
};
void PrintTo(const PortCase& c, std::ostream* os) { *os << std::hex << c.written; }

class PortReadTest : public SimulatedBoardTest, public ::testing::WithParamInterface<PortCase> {};

TEST_P(PortReadTest, ShowsOutputsBoardInputsAndPulledUpBits) {
  ASSERT_TRUE(NEVO_SetPort(GetParam().written));
  EXPECT_EQ(Port(), GetParam().read);
}

// Read: outputs as written; SDO released (1) while deselected; IRQ, PRESN and
// RESN high for an active chip without flags; bits 12-15 pulled up. Input
// bits in the written word change nothing.
INSTANTIATE_TEST_SUITE_P(Words, PortReadTest,
                         ::testing::Values(PortCase{0x0008, 0xF32C}, PortCase{0x0CD8, 0xFFFC},
                                           PortCase{0xF32C, 0xF32C}, PortCase{0x0018, 0xF33C},
                                           PortCase{0x0408, 0xF72C},
                                           // chip selected: SDO shows FSI, low
                                           PortCase{0x0000, 0xF320}));

TEST_F(SimulatedBoardTest, PortReadFollowsTheChipState) {
  board.PokeRegister(reg::PWR_STAT, 0x80);
  EXPECT_EQ(Port() & pin::IRQ, 0);
  EXPECT_EQ(Read(reg::PWR_STAT), 0x80);
  EXPECT_EQ(Port() & pin::IRQ, pin::IRQ);
  // Chip selected from the pin panel: SDO shows FSI.
  ASSERT_TRUE(NEVO_SetPort(0x0000));
  EXPECT_EQ(Port() & pin::SDO, 0);
  board.PokeRegister(reg::SPI_STAT, bits::CLK_FAIL);
  EXPECT_EQ(Port() & pin::SDO, pin::SDO);
}

struct PowerFault {
  const char* name;
  std::uint8_t config;
  bool load;
  std::uint8_t pwr_stat;
  bool presn;
};
void PrintTo(const PowerFault& c, std::ostream* os) { *os << c.name; }

class PowerFaultTest : public SimulatedBoardTest, public ::testing::WithParamInterface<PowerFault> {};

TEST_P(PowerFaultTest, FlagsFollowTheConfigurationAndClearOnReadOnceGone) {
  const PowerFault& c = GetParam();
  board.SetHighSideLoad(c.load);
  Write(reg::PWR_CONFIG, c.config);
  EXPECT_EQ(board.FaultPending(), c.pwr_stat != 0);
  EXPECT_EQ((Port() & pin::PRESN) != 0, c.presn);
  EXPECT_EQ(Read(reg::PWR_STAT), c.pwr_stat);
  EXPECT_EQ(Read(reg::PWR_STAT), c.pwr_stat);  // the cause still holds
  Write(reg::PWR_CONFIG, 0x70);
  EXPECT_EQ(NEVO_GetFSI(), c.pwr_stat != 0);  // latched until read
  EXPECT_EQ(Read(reg::PWR_STAT), c.pwr_stat);
  EXPECT_EQ(Read(reg::PWR_STAT), 0);
  EXPECT_FALSE(NEVO_GetFSI());
}

INSTANTIATE_TEST_SUITE_P(
    Config, PowerFaultTest,
    ::testing::Values(PowerFault{"HighSideWithLoad", 0x74, true, 0, true},
                      PowerFault{"HighSideOpenLoad", 0x74, false, bits::HS_OL, true},
                      PowerFault{"BoostFedByBuck2", 0x78, true, 0, true},
                      PowerFault{"BoostWithoutBuck2", 0x38, true, bits::BOOST_FAIL, false},
                      PowerFault{"Both", 0x3C, false, bits::HS_OL | bits::BOOST_FAIL, false}),
    [](const auto& info) { return info.param.name; });

TEST_F(SimulatedBoardTest, PorIsSetAtPowerUpAndClearsOnRead) {
  EXPECT_EQ(Read(reg::SYS_STAT), bits::POR);
  EXPECT_EQ(Read(reg::SYS_STAT), 0);
  EXPECT_FALSE(NEVO_GetFSI());  // POR is not a fault
}

TEST_F(SimulatedBoardTest, BuckI2rCountMovesWithTime) {
  ASSERT_TRUE(EnterDft());
  const std::uint8_t first = Read(reg::BUCK_I2R_CNT, true);
  const std::uint8_t before = board.PeekRegister(reg::BUCK_I2R_CNT);
  board.Advance(5 * sim::kTicksPerI2rCount);
  EXPECT_EQ(board.PeekRegister(reg::BUCK_I2R_CNT), static_cast<std::uint8_t>(before + 5));
  EXPECT_NE(Read(reg::BUCK_I2R_CNT, true), first);
}

}  // namespace
