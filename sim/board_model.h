// The evaluation board and its KV7702 as the simulator models them: pin
// levels in, SPI frames decoded, registers and chip state, pin levels out.
// The whole behaviour of the model, with its register table, is written
// down at the top of board_model.cpp.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "bridge/port.h"
#include "sim/mpsse_engine.h"

namespace sim {

// The chip's registers (its own map; the model's table is in board_model.cpp).
namespace reg {
constexpr std::uint8_t NOP = 0x00;  // the wake frame's address
constexpr std::uint8_t LPM0_CMD = 0x11;
constexpr std::uint8_t LOCK_CMD = 0x12;
constexpr std::uint8_t DFT_ENTRY = 0x1F;
constexpr std::uint8_t PWR_STAT = 0x21;
constexpr std::uint8_t SYS_STAT = 0x22;
constexpr std::uint8_t SPI_STAT = 0x23;
constexpr std::uint8_t COMP_STAT = 0x24;
constexpr std::uint8_t SERIAL_NR = 0x29;  // six bytes, 0x29-0x2E
constexpr std::uint8_t DEV_REVISION = 0x2F;
constexpr std::uint8_t PWR_CONFIG = 0x31;
constexpr std::uint8_t DEV_CONFIG = 0x32;
constexpr std::uint8_t CLOCK_CONFIG = 0x33;
constexpr std::uint8_t IO_OBS = 0x41;
constexpr std::uint8_t ATB_SEL = 0x42;
constexpr std::uint8_t DTB_SEL = 0x43;
constexpr std::uint8_t TM_ACT1 = 0x44;  // five registers, 0x44-0x48
constexpr std::uint8_t DIE_REV = 0x4B;
constexpr std::uint8_t FSM_STATE = 0x4F;
constexpr std::uint8_t BUCK_I2R_CNT = 0x50;
constexpr std::uint8_t CRC_CTRL = 0x51;
constexpr std::uint8_t CRC_STAT = 0x52;
constexpr std::uint8_t CRC_CALC = 0x53;
constexpr std::uint8_t SCAN_MODE = 0x5E;
constexpr std::uint8_t EEPROM_TEST = 0x60;
constexpr std::uint8_t CRC_STORED = 0x63;
constexpr std::uint8_t TRIM_FIRST = 0x64;  // TRIM_64 .. TRIM_75
constexpr std::uint8_t DEV_CONF1 = 0x76;
constexpr std::uint8_t DEV_CONF3 = 0x78;
constexpr std::uint8_t DIE_X = 0x79;
constexpr std::uint8_t DIE_Y = 0x7A;
constexpr std::uint8_t WAFER_LOT = 0x7B;  // three bytes, 0x7B-0x7D
constexpr std::uint8_t FAB_INFO = 0x7E;
}  // namespace reg

// Bits of the registers the model acts on.
namespace bits {
// SPI_STAT
constexpr std::uint8_t PARITY_FAIL = 0x01;
constexpr std::uint8_t CMD_ID_FAIL = 0x02;
constexpr std::uint8_t CLK_FAIL = 0x04;
// PWR_STAT
constexpr std::uint8_t HS_OL = 0x01;
constexpr std::uint8_t BOOST_FAIL = 0x02;
// SYS_STAT
constexpr std::uint8_t TEST_MODE = 0x20;
constexpr std::uint8_t POR = 0x40;
// PWR_CONFIG
constexpr std::uint8_t HS_EN = 0x04;
constexpr std::uint8_t BOOST_EN = 0x08;
constexpr std::uint8_t BUCK2_EN = 0x40;
// CRC_CTRL
constexpr std::uint8_t CRC_START = 0x01;
constexpr std::uint8_t CRC_CHECK = 0x02;
}  // namespace bits

// Values of FSM_STATE.
enum class ChipState : std::uint8_t { kLpm0 = 5, kActive = 10, kLocked = 12 };

// Command values and the DFT handshake.
constexpr std::uint8_t kLpm0Command = 0xAA;
constexpr std::uint8_t kLockCommand = 0x55;
constexpr std::uint8_t kDftLeave = 0x07;
constexpr std::uint8_t kDftEntryReadsInDft = 0x03;

// Board clock ticks per step of BUCK_I2R_CNT while the regulators run.
constexpr std::uint32_t kTicksPerI2rCount = 128;

// CRC-8 as the chip computes it over its EEPROM image: SAE J1850
// (polynomial 0x1D, initial value 0xFF, final XOR 0xFF, no reflection).
std::uint8_t Crc8J1850(const std::uint8_t* data, std::size_t size);

struct RegisterInfo;  // a row of the register table

class BoardModel : public PinBus {
 public:
  BoardModel();

  // The board's supply off and on: the chip starts from its reset values
  // with the lines as the bridge now leaves them (no edges are seen).
  void PowerUp();

  // PinBus
  void BridgeLines(std::uint16_t lines) override;
  std::uint16_t BoardLines() const override;
  void Tick(std::uint32_t ticks) override;

  // Register contents as the chip holds them; no read side effect.
  std::uint8_t Peek(std::uint8_t addr) const { return regs_[addr & 0x7F]; }
  // Overwrites a register directly, whatever its access; the chip then
  // re-evaluates its flags and pins from the new contents.
  void Poke(std::uint8_t addr, std::uint8_t value);

  bool dft_mode() const { return dft_; }
  // Enters or leaves DFT mode as the handshake would, without frames.
  void SetDftMode(bool on);
  ChipState state() const { return state_; }

  // Whether a load hangs on the high-side switch (a board property; it
  // survives power cycles). Connected at construction.
  void SetHighSideLoad(bool connected);
  bool high_side_load() const { return hs_load_; }

  // A flag is pending: any SPI_STAT or PWR_STAT bit. This is FSI.
  bool FaultPending() const;
  // The levels of the lines the board drives (SDO, IRQ, PRESN, RESN), in
  // their PortWord positions; all other bits 0.
  std::uint16_t DrivenLevels() const;
  static constexpr std::uint16_t kDrivenLines = pin::SDO | pin::IRQ | pin::PRESN | pin::RESN;

  std::uint64_t now() const { return now_; }

 private:
  void StartFrame();
  void EndFrame();
  void Reject(std::uint8_t spi_stat_bit);
  std::uint8_t ReadRegister(std::uint8_t addr);
  void WriteRegister(const RegisterInfo& r, std::uint8_t data);
  void DftHandshake(std::uint8_t data);
  void RunCrc(std::uint8_t ctrl);
  void EnterState(ChipState s);
  bool RegulatorsUp() const { return state_ == ChipState::kActive; }
  std::uint8_t LivePowerFaults() const;
  void LatchPowerFaults();

  std::array<std::uint8_t, 128> regs_ = {};
  ChipState state_ = ChipState::kActive;
  bool dft_ = false;
  int handshake_step_ = 0;
  bool hs_load_ = true;

  std::uint16_t lines_ = 0xFFFF;  // as the board sees them
  // The frame in progress (chip select low).
  bool selected_ = false;
  unsigned rising_edges_ = 0;
  unsigned falling_edges_ = 0;
  std::uint16_t shift_in_ = 0;
  // Response word shifted out during the next frame.
  std::uint16_t answer_ = 0;

  std::uint64_t now_ = 0;
  std::uint32_t i2r_phase_ = 0;
};

}  // namespace sim
