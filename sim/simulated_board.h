// The simulated evaluation board: a USB bridge in MPSSE mode with the KV7702
// evaluation board behind it, as a d2xx::Backend. It stands in for the
// bridge library and the board wherever they are absent, and it is the test
// bed of everything above the bridge layer.
//
//   sim::SimulatedBoard board;
//   d2xx::SetBackend(&board);   // FT_ListDevices now counts one device
//
// The bridge (sim/mpsse_engine.h) executes the written MPSSE commands; the
// board and chip (sim/board_model.h, behaviour written down at the top of
// sim/board_model.cpp) answer on the GPIO lines.
//
// D2XX behaviour
// - One device, index 0. FT_Open of another index: FT_DEVICE_NOT_FOUND;
//   FT_Open while open: FT_DEVICE_NOT_OPENED (the device is in use). Calls
//   with any handle but the open one: FT_INVALID_HANDLE.
// - FT_Close followed by FT_Open is a replug: the bridge starts from its
//   defaults and the board is power-cycled (a locked chip is free again).
// - The bridge starts in reset bit mode, as a real one does. Written bytes
//   are executed as MPSSE commands only after FT_SetBitMode with
//   FT_BITMODE_MPSSE (NEVO_InitFTDI does this); before that they leave on the
//   serial line unanswered. FT_SetBitMode with FT_BITMODE_RESET releases
//   every GPIO line.
// - The board answers synchronously: FT_Write executes every command before
//   it returns and queues their answers. FT_Read takes what is queued, up to
//   the count asked for, and returns at once with FT_OK: bytes that are not
//   queued would never arrive, so it does not wait for the read time-out, and
//   a short count is the time-out's result. FT_GetQueueStatus counts the
//   queued bytes; FT_Purge with FT_PURGE_RX empties the queue, with
//   FT_PURGE_TX drops a command still waiting for its operands.
// - Latency, time-outs, transfer sizes and the bit mode are accepted and
//   remembered (settings()); they change nothing else. A bit mode other than
//   reset and MPSSE is refused with FT_INVALID_PARAMETER.
// - FT_GetLibraryVersion and FT_GetDriverVersion give kLibraryVersion and
//   kDriverVersion, in the D2XX encoding 0x00MMmmpp (1.00.00).
//
// Time is a deterministic counter: one tick per executed MPSSE command plus
// whatever Advance adds. Nothing reads the wall clock, so a test that sends
// the same traffic always sees the same registers.
#pragma once

#include <cstdint>
#include <string>

#include "bridge/d2xx.h"
#include "sim/board_model.h"
#include "sim/mpsse_engine.h"

namespace sim {

class SimulatedBoard : public d2xx::Backend {
 public:
  static constexpr DWORD kLibraryVersion = 0x00010000;
  static constexpr DWORD kDriverVersion = 0x00010000;

  // The bridge settings as last set through the D2XX calls; after FT_Open
  // (and a replug) the defaults of a freshly plugged bridge.
  struct BridgeSettings {
    UCHAR latency_ms = 16;
    ULONG read_timeout_ms = 0;
    ULONG write_timeout_ms = 0;
    ULONG in_transfer_size = 4096;
    ULONG out_transfer_size = 4096;
    UCHAR bit_mode = FT_BITMODE_RESET;
    UCHAR bit_mask = 0;
  };

  SimulatedBoard();
  SimulatedBoard(const SimulatedBoard&) = delete;
  SimulatedBoard& operator=(const SimulatedBoard&) = delete;

  // d2xx::Backend
  FT_STATUS ListDevices(DWORD* count) override;
  FT_STATUS Open(int index, FT_HANDLE* handle) override;
  FT_STATUS Close(FT_HANDLE handle) override;
  FT_STATUS GetDriverVersion(FT_HANDLE handle, DWORD* version) override;
  FT_STATUS GetLibraryVersion(DWORD* version) override;
  FT_STATUS Purge(FT_HANDLE handle, ULONG mask) override;
  FT_STATUS SetBitMode(FT_HANDLE handle, UCHAR mask, UCHAR mode) override;
  FT_STATUS SetLatencyTimer(FT_HANDLE handle, UCHAR ms) override;
  FT_STATUS SetTimeouts(FT_HANDLE handle, ULONG read_ms, ULONG write_ms) override;
  FT_STATUS SetUSBParameters(FT_HANDLE handle, ULONG in_size, ULONG out_size) override;
  FT_STATUS Write(FT_HANDLE handle, const std::uint8_t* data, DWORD size, DWORD* written) override;
  FT_STATUS Read(FT_HANDLE handle, std::uint8_t* data, DWORD size, DWORD* got) override;
  FT_STATUS GetQueueStatus(FT_HANDLE handle, DWORD* waiting) override;
  std::string LastErrorText() const override { return last_error_; }

  // ---- Test hooks. None of them sends traffic or moves the clock, unless
  // ---- said otherwise.

  // A chip register as the chip holds it (any address 0x00-0x7F, whatever
  // the mode), without the side effects of an SPI read.
  std::uint8_t PeekRegister(std::uint8_t addr) const { return board_.Peek(addr); }
  // Overwrites a chip register directly, whatever its access kind; flags,
  // FSI and pins then follow the new contents (poking PWR_STAT or SPI_STAT
  // raises a pending flag). State registers (FSM_STATE, DFT_ENTRY) keep a
  // poked value until the chip's next state change.
  void PokeRegister(std::uint8_t addr, std::uint8_t value) { board_.Poke(addr, value); }

  // Whether the chip is in DFT mode, and a way to put it there or take it
  // out without the handshake.
  bool InDftMode() const { return board_.dft_mode(); }
  void SetDftMode(bool on) { board_.SetDftMode(on); }
  // The chip's state: active, lpm0 or locked.
  ChipState State() const { return board_.state(); }
  // FSI as the chip would show it now: a flag is pending.
  bool FaultPending() const { return board_.FaultPending(); }

  // The levels of the lines the board drives, in PortWord positions: SDO
  // (0x0004), IRQ (0x0020), PRESN (0x0100), RESN (0x0200); other bits 0.
  std::uint16_t BoardDrivenLevels() const { return board_.DrivenLevels(); }
  // All 16 lines as a port read would show them now: outputs as the bridge
  // drives them, inputs as the board drives them, undriven lines 1.
  std::uint16_t LineLevels() const { return engine_.LineLevels(); }

  // Whether a load hangs on the high-side switch (default: connected). A
  // board property, kept across power cycles.
  void SetHighSideLoad(bool connected) { board_.SetHighSideLoad(connected); }

  // The board's supply off and on, the bridge untouched: the chip restarts
  // from its reset values (POR set, normal mode, active, unlocked).
  void PowerCycle() { board_.PowerUp(); }

  // Moves the board clock on by `ticks` (BUCK_I2R_CNT counts one step per
  // kTicksPerI2rCount ticks while the regulators run), and the current time.
  void Advance(std::uint32_t ticks) { board_.Tick(ticks); }
  std::uint64_t Now() const { return board_.now(); }

  // The bridge's state: open, settings, clock divisor (0x86), loop-back.
  bool IsOpen() const { return open_; }
  const BridgeSettings& settings() const { return settings_; }
  std::uint16_t ClockDivisor() const { return engine_.clock_divisor(); }
  bool Loopback() const { return engine_.loopback(); }

 private:
  bool Live(FT_HANDLE handle) const { return open_ && handle == static_cast<const void*>(this); }
  FT_STATUS Fail(FT_STATUS status, std::string text);
  FT_STATUS BadHandle();
  FT_STATUS Ok();
  void Replug();

  BoardModel board_;
  MpsseEngine engine_{board_};
  BridgeSettings settings_;
  bool open_ = false;
  bool was_closed_ = false;
  std::string last_error_;
};

}  // namespace sim
