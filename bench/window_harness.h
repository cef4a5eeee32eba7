// What the window benchmarks share: the simulated board behind a backend
// that counts the bridge traffic, and the main window shown on it and
// connected, as a user leaves it after "Connect to USB".
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/form1.h"
#include "app/gui_state.h"
#include "bridge/d2xx.h"
#include "bridge/link_state.h"
#include "bridge/port.h"
#include "bridge/spi.h"
#include "sim/simulated_board.h"

namespace kvbench {

// The registers of one full refresh in DFT mode, in the order the window
// reads them: the four status and three configuration registers, then the
// DFT page (DFT_ENTRY, FSM_STATE, BUCK_I2R_CNT, the three test-bus
// selectors, TM_ACT1-5, the trims 0x64-0x75 and DEV_CONF1-3).
inline std::vector<std::uint8_t> DftRefreshRegisters() {
  std::vector<std::uint8_t> regs = {0x21, 0x22, 0x23, 0x24, 0x31, 0x32, 0x33, 0x1F, 0x4F, 0x50, 0x41, 0x42, 0x43};
  for (unsigned a = 0x44; a <= 0x48; ++a) regs.push_back(static_cast<std::uint8_t>(a));
  for (unsigned a = 0x64; a <= 0x75; ++a) regs.push_back(static_cast<std::uint8_t>(a));
  for (unsigned a = 0x76; a <= 0x78; ++a) regs.push_back(static_cast<std::uint8_t>(a));
  return regs;
}

// The simulated board behind a counter. Every stream written is counted;
// a register read is recognised by its stream length. While recording, the
// CommandWord of each read is also kept, so that a run can show which reads
// it made; counting alone costs one comparison and one increment per write,
// the same on every path measured.
class CountingBoard : public d2xx::Backend {
 public:
  sim::SimulatedBoard board;
  long writes = 0;
  long reads = 0;
  bool recording = false;
  std::vector<std::uint16_t> read_words;

  void ResetCounts() {
    writes = 0;
    reads = 0;
    read_words.clear();
  }

  FT_STATUS ListDevices(DWORD* count) override { return board.ListDevices(count); }
  FT_STATUS Open(int index, FT_HANDLE* handle) override { return board.Open(index, handle); }
  FT_STATUS Close(FT_HANDLE handle) override { return board.Close(handle); }
  FT_STATUS GetDriverVersion(FT_HANDLE handle, DWORD* version) override {
    return board.GetDriverVersion(handle, version);
  }
  FT_STATUS GetLibraryVersion(DWORD* version) override { return board.GetLibraryVersion(version); }
  FT_STATUS Purge(FT_HANDLE handle, ULONG mask) override { return board.Purge(handle, mask); }
  FT_STATUS SetBitMode(FT_HANDLE handle, UCHAR mask, UCHAR mode) override {
    return board.SetBitMode(handle, mask, mode);
  }
  FT_STATUS SetLatencyTimer(FT_HANDLE handle, UCHAR ms) override { return board.SetLatencyTimer(handle, ms); }
  FT_STATUS SetTimeouts(FT_HANDLE handle, ULONG read_ms, ULONG write_ms) override {
    return board.SetTimeouts(handle, read_ms, write_ms);
  }
  FT_STATUS SetUSBParameters(FT_HANDLE handle, ULONG in_size, ULONG out_size) override {
    return board.SetUSBParameters(handle, in_size, out_size);
  }
  FT_STATUS Write(FT_HANDLE handle, const std::uint8_t* data, DWORD size, DWORD* written) override {
    ++writes;
    if (size == spi::kReadStreamSize) {
      ++reads;
      if (recording) read_words.push_back(CommandWordOf(data));
    }
    return board.Write(handle, data, size, written);
  }
  FT_STATUS Read(FT_HANDLE handle, std::uint8_t* data, DWORD size, DWORD* got) override {
    return board.Read(handle, data, size, got);
  }
  FT_STATUS GetQueueStatus(FT_HANDLE handle, DWORD* waiting) override { return board.GetQueueStatus(handle, waiting); }
  std::string LastErrorText() const override { return board.LastErrorText(); }

  // Whether the recorded reads are exactly the reads of `regs` with the
  // given DFT flag, in that order.
  bool RecordedReadsAre(const std::vector<std::uint8_t>& regs, bool dft) const {
    if (read_words.size() != regs.size()) return false;
    for (std::size_t i = 0; i < regs.size(); ++i) {
      if (read_words[i] != spi::CommandWord(dft, false, regs[i], 0)) return false;
    }
    return true;
  }

 private:
  // A read stream starts with chip select (3 bytes) and one capture; then
  // each of the 16 bits is a clock-high and a clock-low bank write of 3
  // bytes, SDI carrying the bit.
  static std::uint16_t CommandWordOf(const std::uint8_t* stream) {
    std::uint16_t word = 0;
    for (int i = 0; i < 16; ++i) {
      const std::uint8_t value = stream[4 + 6 * i + 1];
      word = static_cast<std::uint16_t>((word << 1) | ((value & pin::SDI) != 0 ? 1 : 0));
    }
    return word;
  }
};

// Processes events until the window is on screen.
inline void WaitUntilExposed(QWidget& window) {
  for (int i = 0; i < 1000; ++i) {
    QApplication::processEvents();
    if (window.windowHandle() != nullptr && window.windowHandle()->isExposed()) return;
    QTimer pause;
    pause.setSingleShot(true);
    QEventLoop loop;
    QObject::connect(&pause, &QTimer::timeout, &loop, &QEventLoop::quit);
    pause.start(1);
    loop.exec();
  }
  std::abort();
}

// The main window, shown and connected to the counting board through its
// connect handler, optionally in DFT mode, its log cleared; the poll timer
// keeps running unless stopped.
class ConnectedWindow {
 public:
  explicit ConnectedWindow(bool dft) {
    NEVO::ResetGuiState();
    bridge::ResetLinkState();
    d2xx::SetBackend(&bus);
    window = std::make_unique<NEVO::Form1>();
    window->show();
    WaitUntilExposed(*window);
    window->button1_Click();
    if (!NEVO::ActiveHW) std::abort();
    if (dft) {
      // Through the page's entry button, as the user enters DFT mode; where
      // the window cannot (yet) do that, the chip and the window are put
      // there directly.
      window->enterDFTbtn_Click();
      dft_by_button = NEVO::DFT_ENABLED && bus.board.InDftMode();
      if (!dft_by_button) {
        bus.board.SetDftMode(true);
        NEVO::DFT_ENABLED = true;
      }
    }
    window->button8_Click();
    QApplication::processEvents();
  }
  ~ConnectedWindow() {
    window.reset();
    d2xx::SetBackend(nullptr);
    bridge::ResetLinkState();
    NEVO::ResetGuiState();
  }
  ConnectedWindow(const ConnectedWindow&) = delete;
  ConnectedWindow& operator=(const ConnectedWindow&) = delete;

  QTimer* pollTimer() const { return window->findChild<QTimer*>(QStringLiteral("updatetimer")); }
  QCheckBox* autoBox() const { return window->findChild<QCheckBox*>(QStringLiteral("Autobox")); }

  CountingBoard bus;
  std::unique_ptr<NEVO::Form1> window;
  bool dft_by_button = false;
};

// Headless by default: the benchmarks need no display.
inline void DefaultToOffscreen() { setenv("QT_QPA_PLATFORM", "offscreen", 0); }

}  // namespace kvbench
