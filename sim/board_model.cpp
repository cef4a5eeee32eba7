// THE SIMULATED EVALUATION BOARD: HOW THE MODEL BEHAVES
// ======================================================
//
// One coherent model of the KV7702 on its evaluation board, as seen from the
// bridge's GPIO lines. Everything the simulator's chip and board do is
// written down here, next to the register table that drives it. The bridge
// itself (MPSSE commands) is sim/mpsse_engine.h; the D2XX face that the
// application talks to is sim/simulated_board.h.
//
// Lines (PortWord layout, low byte the bridge's first bank):
//
//   bit  line   board side  in the model
//    0   SCLK   input       SPI clock
//    1   SDI    input       SPI data into the chip
//    2   SDO    output      SPI data out of the chip; released (reads 1)
//                           while the chip is deselected
//    3   NCS    input       chip select, active low
//    4   HSPWM  input       wired, no effect in the model
//    5   IRQ    output      low while a flag is pending or the chip is locked
//    6   WD     input       wired, no effect (the watchdog is not modelled)
//    7   VT     input       wired, no effect
//    8   PRESN  output      high while the regulators run and none has failed
//    9   RESN   output      high while the chip is active (out of reset)
//   10   DFT    input       must be high for the DFT_ENTRY handshake
//   11   WAKE   input       a rising edge wakes the chip from lpm0
//   12-15       none        not connected
//
// A line that neither side drives sits at 1, held by the bridge's pull-ups:
// the board sees released bridge outputs as 1, and the bridge reads SDO of
// a deselected chip and bits 12-15 as 1.
//
// Time. The board has no wall clock: its clock advances one tick for every
// MPSSE command the bridge executes, and by explicit Tick calls (the test
// hook SimulatedBoard::Advance). The same traffic always gives the same
// register contents.
//
// SPI slave
// - NCS falling starts a frame. Until the first falling SCLK edge SDO shows
//   the FSI flag: high when a flag is pending, that is any SPI_STAT or
//   PWR_STAT bit.
// - Every rising SCLK edge while selected samples SDI, most significant bit
//   first. After every falling edge the chip drives the next bit of its
//   response word, most significant first; after the 16th bit SDO is low.
//   When NCS and SCLK change in the same bank write, a falling NCS is taken
//   before the clock edge and a rising NCS after it. A chip powered up with
//   NCS already low starts with a frame open.
// - NCS rising ends the frame, which is then judged in this order:
//     no clock at all: not a frame; chip select pulses without clocks (a
//       port write with NCS low, then one with NCS high) are ignored;
//     not exactly 16 clocks: SPI_STAT CLK_FAIL (bit 2), not executed;
//     normal mode and an even number of one bits: PARITY_FAIL (bit 0), not
//       executed;
//     a write to an address missing from the register table: CMD_ID_FAIL
//       (bit 1), not executed;
//     otherwise the frame is executed.
// - The address is frame bits 13-8; in DFT mode bit 15 is address bit 6 and
//   parity is not checked. Registers 0x40-0x7F are therefore reachable only
//   in DFT mode (in normal mode a frame built for one fails parity, since
//   its parity counts an address bit that is not sent).
// - Response word, shifted out during the next frame:
//     after an executed read: the frame's high byte (top bit, write flag,
//       address bits 5-0) and the register value in the low byte;
//     after an executed write: the frame itself (high byte as above, the
//       data received in the low byte);
//     after a rejected frame: 0xFF in the high byte and the SPI_STAT bit the
//       rejection set in the low byte, so 0xFF04 after the 15-clock frame.
//       No executed frame has the high byte 0xFF (that would be a write to
//       0x3F or 0x7F, which do not exist), so the two never look alike;
//     from a locked chip: 0xFFFF (SDO held high).
//   At power-up the response word is 0.
// - A read of an address missing from the table answers 0 and sets no flag
//   (the read-out frame of every read is a read of 0x00, in DFT mode of
//   0x40). A write to a read-only register is accepted and has no effect.
// - Reading SPI_STAT clears it; reading SYS_STAT clears POR; reading
//   PWR_STAT keeps only the flags whose cause still holds.
//
// Chip states (FSM_STATE 0x4F)
// - active (10) from power-up. Regulators run: PRESN and RESN high.
// - lpm0 (5) after LPM0_CMD 0xAA while active. Regulators off: PRESN and
//   RESN low, BUCK_I2R_CNT holds, no power faults arise. The register file
//   and the SPI interface stay alive (they are supplied from the board's
//   VIO), so registers can still be read and written. The chip goes back to
//   active on the wake frame (a write of 0 to address 0x00, which the wake
//   operation sends with the chip selected) or on a rising edge of WAKE.
// - locked (12) after LOCK_CMD 0x55 in any state. SDO is held high (every
//   read gives 0xFF, FSI is high, the 15-bit frame returns 0xFFFF), frames
//   are ignored, IRQ, PRESN and RESN are low, until the board is
//   power-cycled (FT_Close and FT_Open replug it).
// - Other values written to LPM0_CMD or LOCK_CMD do nothing.
//
// DFT mode
// - Writes of 0x06, 0x03, 0x05 to DFT_ENTRY, in that order and each while
//   the DFT pin is high, enter DFT mode. A write of any other value, or a
//   handshake write with the pin low, starts the handshake over (a 0x06
//   counts as its first step). The pin is needed only during the handshake:
//   the chip stays in DFT mode when it goes low.
// - In DFT mode DFT_ENTRY reads 3 (otherwise 0) and SYS_STAT TestMode
//   (bit 5) is set. A write of 0x07 to DFT_ENTRY leaves DFT mode.
// - DFT mode does not change FSM_STATE and survives lpm0; a power cycle ends
//   it.
//
// Status
// - SYS_STAT: POR (bit 6) set at power-up, cleared when read; TestMode
//   follows DFT mode. The other bits stay 0: the watchdog and the error
//   counter are not modelled.
// - PWR_STAT: a flag latches while its cause holds; a read returns the
//   latched flags and then keeps only those whose cause still holds. Causes,
//   which arise only while the regulators run:
//     HS_OL (bit 0): PWR_CONFIG HS_EN set and no load on the high-side
//       switch (SimulatedBoard::SetHighSideLoad; a load is connected by
//       default);
//     BOOST_FAIL (bit 1): PWR_CONFIG BOOST_EN set with BUCK2_EN clear (the
//       board feeds the boost converter from buck 2's output).
//   A regulator failure (BOOST_FAIL) also pulls PRESN low while it lasts.
// - BUCK_I2R_CNT counts up by one every kTicksPerI2rCount ticks while the
//   regulators run, wrapping after 0xFF; 0 at power-up.
// - COMP_STAT holds a fixed compensation setting.
//
// EEPROM CRC
// - A write to CRC_CTRL that sets the start bit (bit 0) where it was clear
//   computes at once the CRC-8 (SAE J1850: polynomial 0x1D, initial value
//   0xFF, final XOR 0xFF) over 0x64-0x78 (trims and device configuration,
//   in address order, as the chip holds them) into CRC_CALC. When the same
//   write also sets the check bit (bit 1), CRC_STAT bit 0 becomes 1 if
//   CRC_CALC differs from CRC_STORED and 0 if they match; without the check
//   bit CRC_STAT becomes 0.
// - At power-up CRC_STORED holds the CRC of the power-up image (the EEPROM
//   is consistent) and CRC_CALC is 0.
// - EEPROM_TEST and SCAN_MODE are stored and have no further effect.
//
// Register table (kRegisters below). Kinds:
//   Command    a write of the command value acts; reads 0
//   Handshake  DFT_ENTRY, as above
//   Status     owned by the chip, read-only
//   Identity   fixed values, read-only
//   Config     reads back what was written, limited to the bits the chip
//              implements (the mask); unimplemented bits read 0
// Addresses not in the table do not exist: writes to them set CMD_ID_FAIL.
#include "sim/board_model.h"

#include <array>
#include <bit>

#include "bridge/port.h"

namespace sim {

namespace {
constexpr unsigned kFrameBits = 16;
constexpr std::uint16_t kRejectedAnswer = 0xFF00;
constexpr std::array<std::uint8_t, 3> kDftHandshake = {0x06, 0x03, 0x05};
constexpr std::uint8_t kEepromFirst = 0x64;
constexpr std::uint8_t kEepromLast = 0x78;
constexpr std::uint8_t kRegulatorFaults = bits::BOOST_FAIL;

enum class Kind : std::uint8_t { kCommand, kHandshake, kStatus, kIdentity, kConfig };
}  // namespace

struct RegisterInfo {
  std::uint8_t addr;
  Kind kind;
  std::uint8_t mask;   // Config: the bits the chip implements
  std::uint8_t reset;  // value at power-up
};

namespace {
using R = RegisterInfo;
constexpr Kind C = Kind::kCommand, H = Kind::kHandshake, S = Kind::kStatus, I = Kind::kIdentity,
               W = Kind::kConfig;

// clang-format off
constexpr std::array kRegisters = {
  //                 addr   kind  mask  reset
  // Normal-mode registers, 0x00-0x3F.
  R{0x00, C, 0x00, 0x00},  // wake frame address: a write of 0 wakes from lpm0
  R{0x11, C, 0x00, 0x00},  // LPM0_CMD, 0xAA enters lpm0
  R{0x12, C, 0x00, 0x00},  // LOCK_CMD, 0x55 locks
  R{0x1F, H, 0x00, 0x00},  // DFT_ENTRY
  R{0x21, S, 0x00, 0x00},  // PWR_STAT
  R{0x22, S, 0x00, 0x40},  // SYS_STAT, POR set
  R{0x23, S, 0x00, 0x00},  // SPI_STAT
  R{0x24, S, 0x00, 0x05},  // COMP_STAT: buck 2 and buck 3 compensation 1
  R{0x29, I, 0x00, 0x4B},  // SERIAL_NR
  R{0x2A, I, 0x00, 0x56},
  R{0x2B, I, 0x00, 0x77},
  R{0x2C, I, 0x00, 0x02},
  R{0x2D, I, 0x00, 0x00},
  R{0x2E, I, 0x00, 0x2A},
  R{0x2F, I, 0x00, 0x12},  // DEV_REVISION
  R{0x31, W, 0x7F, 0x70},  // PWR_CONFIG: bucks 2 and 3 and the LDO on; bit 7 unused
  R{0x32, W, 0x0F, 0x02},  // DEV_CONFIG: VREF_EN; bits 7:4 unused
  R{0x33, W, 0xFF, 0x00},  // CLOCK_CONFIG
  // Design-for-test registers, 0x40-0x7F (DFT mode only).
  R{0x41, W, 0x07, 0x00},  // IO_OBS, values 0-4
  R{0x42, W, 0x3F, 0x00},  // ATB_SEL, values 0-34
  R{0x43, W, 0x1F, 0x00},  // DTB_SEL, values 0-25
  R{0x44, W, 0xFF, 0x00},  // TM_ACT1
  R{0x45, W, 0xFF, 0x00},  // TM_ACT2
  R{0x46, W, 0xFF, 0x00},  // TM_ACT3
  R{0x47, W, 0xFF, 0x00},  // TM_ACT4
  R{0x48, W, 0xFF, 0x00},  // TM_ACT5
  R{0x4B, I, 0x00, 0x12},  // DIE_REV: 1P2
  R{0x4F, S, 0x00, 0x0A},  // FSM_STATE: active
  R{0x50, S, 0x00, 0x00},  // BUCK_I2R_CNT
  R{0x51, W, 0x03, 0x00},  // CRC_CTRL: start, check
  R{0x52, S, 0x00, 0x00},  // CRC_STAT
  R{0x53, S, 0x00, 0x00},  // CRC_CALC
  R{0x5E, W, 0x01, 0x00},  // SCAN_MODE
  R{0x60, W, 0x3F, 0x00},  // EEPROM_TEST; bits 7:6 unused
  R{0x63, W, 0xFF, 0x00},  // CRC_STORED; power-up value: CRC of the image
  R{0x64, W, 0xFF, 0x90},  // TRIM_64: LDO current limit 4, bandgap 1 TC 16
  R{0x65, W, 0xFF, 0x08},  // TRIM_65
  R{0x66, W, 0xFF, 0x10},  // TRIM_66
  R{0x67, W, 0xFF, 0x28},  // TRIM_67
  R{0x68, W, 0x0F, 0x08},  // TRIM_68
  R{0x69, W, 0x0F, 0x08},  // TRIM_69
  R{0x6A, W, 0x0F, 0x08},  // TRIM_6A
  R{0x6B, W, 0x1F, 0x04},  // TRIM_6B
  R{0x6C, W, 0x3F, 0x24},  // TRIM_6C
  R{0x6D, W, 0x3F, 0x24},  // TRIM_6D
  R{0x6E, W, 0x7F, 0x14},  // TRIM_6E
  R{0x6F, W, 0x3F, 0x20},  // TRIM_6F
  R{0x70, W, 0x1F, 0x10},  // TRIM_70
  R{0x71, W, 0x78, 0x28},  // TRIM_71: bits 6:3 only
  R{0x72, W, 0x3F, 0x20},  // TRIM_72
  R{0x73, W, 0x3F, 0x20},  // TRIM_73
  R{0x74, W, 0x3F, 0x20},  // TRIM_74
  R{0x75, W, 0xFF, 0x10},  // TRIM_75
  R{0x76, W, 0xFF, 0x00},  // DEV_CONF1
  R{0x77, W, 0xFF, 0x00},  // DEV_CONF2
  R{0x78, W, 0xFF, 0x00},  // DEV_CONF3
  R{0x79, I, 0x00, 0x17},  // DIE_X
  R{0x7A, I, 0x00, 0x2C},  // DIE_Y
  R{0x7B, I, 0x00, 0x31},  // WAFER_LOT bits 7:0, lot 0x048631
  R{0x7C, I, 0x00, 0x86},  // WAFER_LOT bits 15:8
  R{0x7D, I, 0x00, 0x04},  // WAFER_LOT bits 23:16
  R{0x7E, I, 0x00, 0x4B},  // FAB_INFO: fab 1, wafer 5, bit 0 set
};
// clang-format on

std::uint8_t EepromCrc(const std::array<std::uint8_t, 128>& regs) {
  return Crc8J1850(regs.data() + kEepromFirst, kEepromLast - kEepromFirst + 1);
}

const RegisterInfo* Find(std::uint8_t addr) {
  for (const RegisterInfo& r : kRegisters) {
    if (r.addr == addr) return &r;
  }
  return nullptr;
}
}  // namespace

std::uint8_t Crc8J1850(const std::uint8_t* data, std::size_t size) {
  std::uint8_t crc = 0xFF;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int b = 0; b < 8; ++b) {
      crc = static_cast<std::uint8_t>((crc & 0x80) ? (crc << 1) ^ 0x1D : crc << 1);
    }
  }
  return static_cast<std::uint8_t>(crc ^ 0xFF);
}

BoardModel::BoardModel() { PowerUp(); }

void BoardModel::PowerUp() {
  regs_ = {};
  for (const RegisterInfo& r : kRegisters) regs_[r.addr] = r.reset;
  regs_[reg::CRC_STORED] = EepromCrc(regs_);
  state_ = ChipState::kActive;
  dft_ = false;
  handshake_step_ = 0;
  selected_ = false;
  if ((lines_ & pin::NCS) == 0) StartFrame();  // powered up while selected
  answer_ = 0;
  i2r_phase_ = 0;
  LatchPowerFaults();
}

// ---- Pins -------------------------------------------------------------

void BoardModel::BridgeLines(std::uint16_t lines) {
  const std::uint16_t before = lines_;
  lines_ = lines;
  const auto rose = static_cast<std::uint16_t>(~before & lines);
  const auto fell = static_cast<std::uint16_t>(before & ~lines);

  if ((rose & pin::WAKE) && state_ == ChipState::kLpm0) EnterState(ChipState::kActive);
  if (state_ == ChipState::kLocked) return;

  if (fell & pin::NCS) StartFrame();
  if (selected_) {
    if (rose & pin::SCLK) {
      shift_in_ = static_cast<std::uint16_t>((shift_in_ << 1) | ((lines & pin::SDI) ? 1 : 0));
      ++rising_edges_;
    }
    if (fell & pin::SCLK) ++falling_edges_;
  }
  if ((rose & pin::NCS) && selected_) EndFrame();
}

std::uint16_t BoardModel::BoardLines() const {
  return static_cast<std::uint16_t>(DrivenLevels() | static_cast<std::uint16_t>(~kDrivenLines));
}

std::uint16_t BoardModel::DrivenLevels() const {
  std::uint16_t out = 0;
  bool sdo = true;  // released (pulled up) while deselected, held high when locked
  if (selected_ && state_ != ChipState::kLocked) {
    if (falling_edges_ == 0) {
      sdo = FaultPending();
    } else if (falling_edges_ <= kFrameBits) {
      sdo = ((answer_ >> (kFrameBits - falling_edges_)) & 1u) != 0;
    } else {
      sdo = false;
    }
  }
  if (sdo) out |= pin::SDO;
  if (!FaultPending() && state_ != ChipState::kLocked) out |= pin::IRQ;
  if (RegulatorsUp() && (LivePowerFaults() & kRegulatorFaults) == 0) out |= pin::PRESN;
  if (RegulatorsUp()) out |= pin::RESN;
  return out;
}

bool BoardModel::FaultPending() const {
  return state_ == ChipState::kLocked || regs_[reg::SPI_STAT] != 0 || regs_[reg::PWR_STAT] != 0;
}

// ---- Frames -----------------------------------------------------------

void BoardModel::StartFrame() {
  selected_ = true;
  rising_edges_ = falling_edges_ = 0;
  shift_in_ = 0;
}

void BoardModel::EndFrame() {
  selected_ = false;
  if (rising_edges_ == 0) return;  // a chip select pulse, not a frame
  if (rising_edges_ != kFrameBits) return Reject(bits::CLK_FAIL);
  const std::uint16_t word = shift_in_;
  if (!dft_ && std::popcount(word) % 2 == 0) return Reject(bits::PARITY_FAIL);

  const bool write = (word & 0x4000) != 0;
  auto addr = static_cast<std::uint8_t>((word >> 8) & 0x3F);
  if (dft_ && (word & 0x8000)) addr |= 0x40;
  const auto data = static_cast<std::uint8_t>(word & 0xFF);
  if (!write) {
    answer_ = static_cast<std::uint16_t>((word & 0xFF00) | ReadRegister(addr));
    return;
  }
  const RegisterInfo* r = Find(addr);
  if (r == nullptr) return Reject(bits::CMD_ID_FAIL);
  answer_ = word;
  WriteRegister(*r, data);
}

void BoardModel::Reject(std::uint8_t spi_stat_bit) {
  regs_[reg::SPI_STAT] |= spi_stat_bit;
  answer_ = static_cast<std::uint16_t>(kRejectedAnswer | spi_stat_bit);
}

// ---- Registers ----------------------------------------------------------

std::uint8_t BoardModel::ReadRegister(std::uint8_t addr) {
  const std::uint8_t value = Find(addr) != nullptr ? regs_[addr] : 0;
  switch (addr) {
    case reg::SPI_STAT:
      regs_[addr] = 0;
      break;
    case reg::SYS_STAT:
      regs_[addr] &= static_cast<std::uint8_t>(~bits::POR);
      break;
    case reg::PWR_STAT:
      regs_[addr] = LivePowerFaults();
      break;
    default:
      break;
  }
  return value;
}

void BoardModel::WriteRegister(const RegisterInfo& r, std::uint8_t data) {
  switch (r.kind) {
    case Kind::kCommand:
      if (r.addr == reg::NOP && data == 0 && state_ == ChipState::kLpm0) EnterState(ChipState::kActive);
      if (r.addr == reg::LPM0_CMD && data == kLpm0Command && state_ == ChipState::kActive) {
        EnterState(ChipState::kLpm0);
      }
      if (r.addr == reg::LOCK_CMD && data == kLockCommand) EnterState(ChipState::kLocked);
      break;
    case Kind::kHandshake:
      DftHandshake(data);
      break;
    case Kind::kStatus:
    case Kind::kIdentity:
      break;
    case Kind::kConfig: {
      const std::uint8_t before = regs_[r.addr];
      regs_[r.addr] = data & r.mask;
      if (r.addr == reg::CRC_CTRL && (data & bits::CRC_START) && !(before & bits::CRC_START)) RunCrc(data);
      LatchPowerFaults();
      break;
    }
  }
}

void BoardModel::DftHandshake(std::uint8_t data) {
  if (dft_) {
    if (data == kDftLeave) SetDftMode(false);
    return;
  }
  if ((lines_ & pin::DFT) == 0) {
    handshake_step_ = 0;
    return;
  }
  if (data == kDftHandshake[static_cast<std::size_t>(handshake_step_)]) {
    if (++handshake_step_ == static_cast<int>(kDftHandshake.size())) SetDftMode(true);
  } else {
    handshake_step_ = data == kDftHandshake[0] ? 1 : 0;
  }
}

void BoardModel::SetDftMode(bool on) {
  dft_ = on;
  handshake_step_ = 0;
  regs_[reg::DFT_ENTRY] = on ? kDftEntryReadsInDft : 0;
  if (on) {
    regs_[reg::SYS_STAT] |= bits::TEST_MODE;
  } else {
    regs_[reg::SYS_STAT] &= static_cast<std::uint8_t>(~bits::TEST_MODE);
  }
}

void BoardModel::RunCrc(std::uint8_t ctrl) {
  regs_[reg::CRC_CALC] = EepromCrc(regs_);
  const bool mismatch = regs_[reg::CRC_CALC] != regs_[reg::CRC_STORED];
  regs_[reg::CRC_STAT] = (ctrl & bits::CRC_CHECK) && mismatch ? 1 : 0;
}

void BoardModel::EnterState(ChipState s) {
  state_ = s;
  regs_[reg::FSM_STATE] = static_cast<std::uint8_t>(s);
}

void BoardModel::Poke(std::uint8_t addr, std::uint8_t value) {
  regs_[addr & 0x7F] = value;
  LatchPowerFaults();
}

void BoardModel::SetHighSideLoad(bool connected) {
  hs_load_ = connected;
  LatchPowerFaults();
}

// ---- Power faults and time ------------------------------------------------

std::uint8_t BoardModel::LivePowerFaults() const {
  if (!RegulatorsUp()) return 0;
  const std::uint8_t config = regs_[reg::PWR_CONFIG];
  std::uint8_t faults = 0;
  if ((config & bits::HS_EN) && !hs_load_) faults |= bits::HS_OL;
  if ((config & bits::BOOST_EN) && !(config & bits::BUCK2_EN)) faults |= bits::BOOST_FAIL;
  return faults;
}

void BoardModel::LatchPowerFaults() { regs_[reg::PWR_STAT] |= LivePowerFaults(); }

void BoardModel::Tick(std::uint32_t ticks) {
  now_ += ticks;
  if (!RegulatorsUp()) return;
  const std::uint64_t phase = std::uint64_t{i2r_phase_} + ticks;
  regs_[reg::BUCK_I2R_CNT] = static_cast<std::uint8_t>(regs_[reg::BUCK_I2R_CNT] + phase / kTicksPerI2rCount);
  i2r_phase_ = static_cast<std::uint32_t>(phase % kTicksPerI2rCount);
  LatchPowerFaults();
}

}  // namespace sim
