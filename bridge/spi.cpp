#include "bridge/spi.h"

#include <array>
#include <bit>

#include "bridge/d2xx.h"
#include "bridge/device_access.h"
#include "bridge/link_state.h"
#include "bridge/port.h"
#include "bridge/sleep.h"

namespace spi {

std::uint16_t CommandWord(bool dft, bool write, std::uint8_t addr, std::uint8_t data) {
  if (!write) data = 0;
  unsigned top;
  if (dft) {
    top = (addr >> 6) & 1;  // address bit 6 in place of the parity bit
  } else {
    // Counts all eight address bits, also the two that are not sent.
    const int ones = std::popcount(addr) + (write ? std::popcount(data) : 1);
    top = static_cast<unsigned>(ones % 2);
  }
  return static_cast<std::uint16_t>((top << 15) | ((write ? 1u : 0u) << 14) | ((addr & 0x3Fu) << 8) | data);
}

namespace {

// Appends MPSSE command groups to a caller-provided buffer.
class StreamWriter {
 public:
  StreamWriter(std::uint8_t* buf, std::uint8_t p) : buf_(buf), p_(p) {}

  void Select() { SetLowBank(p_); }
  void Release() { SetLowBank(p_ | pin::NCS); }
  void Capture() { buf_[n_++] = mpsse::kReadLowBank; }
  void Flush(int times = 1) {
    for (int i = 0; i < times; ++i) buf_[n_++] = mpsse::kSendImmediate;
  }
  // Chip select stays high while the bridge works through these.
  void InterFrameGap() { Flush(kInterFrameFlushes); }
  // SCLK high with SDI = bit, then SCLK low with SDI still bit.
  void BitPeriod(unsigned bit) {
    const auto sdi = static_cast<std::uint8_t>(bit ? pin::SDI : 0);
    SetLowBank(p_ | pin::SCLK | sdi);
    SetLowBank(p_ | sdi);
  }
  // Bits 15 down to `last` of word, each a bit period.
  void Bits(std::uint16_t word, int last = 0) {
    for (int b = 15; b >= last; --b) BitPeriod((word >> b) & 1u);
  }
  // The second frame of a read: shifts out the answer to the first frame,
  // capturing SDO after every falling edge.
  void ReadOutFrame() {
    Select();
    for (int b = 15; b >= 0; --b) {
      BitPeriod((kReadOutWord >> b) & 1u);
      Capture();
    }
    Release();
  }
  std::size_t size() const { return n_; }

 private:
  // A normal-mode read of address 0x00: harmless, and its parity is right.
  static constexpr std::uint16_t kReadOutWord = 0x8000;
  static constexpr int kInterFrameFlushes = 26;

  void SetLowBank(unsigned value) {
    buf_[n_++] = mpsse::kSetLowBank;
    buf_[n_++] = static_cast<std::uint8_t>(value);
    buf_[n_++] = pin::kLowBankDirection;
  }

  std::uint8_t* buf_;
  std::uint8_t p_;
  std::size_t n_ = 0;
};

}  // namespace

std::size_t BuildReadStream(std::uint8_t* buf, std::uint16_t command_word, std::uint8_t p) {
  StreamWriter s(buf, p);
  s.Select();
  s.Capture();
  s.Bits(command_word);
  s.Flush();
  s.Release();
  s.InterFrameGap();
  s.ReadOutFrame();
  return s.size();
}

std::size_t BuildWriteStream(std::uint8_t* buf, std::uint16_t command_word, std::uint8_t p) {
  StreamWriter s(buf, p);
  s.Select();
  s.Capture();
  s.Bits(command_word);
  s.Release();
  return s.size();
}

std::size_t BuildShortFrameStream(std::uint8_t* buf, std::uint8_t p) {
  StreamWriter s(buf, p);
  s.Select();
  s.Capture();
  s.Bits(kWakeCommandWord, 1);  // one clock short: bit 0 is never sent
  s.Release();
  s.InterFrameGap();
  s.ReadOutFrame();
  return s.size();
}

std::uint16_t DecodeResponse(const std::uint8_t* answer) {
  std::uint16_t word = 0;
  for (std::size_t i = 1; i < kReadAnswerSize; ++i) {
    word = static_cast<std::uint16_t>((word << 1) | (SdoLevel(answer[i]) ? 1 : 0));
  }
  return word;
}

}  // namespace spi

namespace {

std::uint8_t StreamPortBits() { return static_cast<std::uint8_t>(portstate & 0xF0); }

// One operation on the wire: one write of the stream, one read of its
// answers into the same buffer. A failure after the stream went out empties
// the receive buffer, so that late answers do not shift onto the next
// operation.
bool Transact(std::uint8_t* buf, std::size_t stream_size, std::size_t answer_size) {
  if (!FTDI_TransferBuffer(buf, static_cast<DWORD>(stream_size))) {
    bridge::DiscardPendingAnswers();
    return false;
  }
  if (!FTDI_ReceiveBuffer(buf, static_cast<DWORD>(answer_size))) {
    bridge::DiscardPendingAnswers();
    return false;
  }
  return true;
}

}  // namespace

bool NEVO_SPIRead(bool DFT, std::uint8_t addr, std::uint8_t* input) {
  if (ftHandle == nullptr) return false;
  std::array<std::uint8_t, spi::kReadBufferSize> buf;
  const std::size_t n = spi::BuildReadStream(buf.data(), spi::CommandWord(DFT, false, addr, 0), StreamPortBits());
  if (!Transact(buf.data(), n, spi::kReadAnswerSize)) return false;
  *input = static_cast<std::uint8_t>(spi::DecodeResponse(buf.data()) & 0xFF);
  FSI = spi::SdoLevel(buf[0]);
  return true;
}

bool NEVO_SPIWrite(bool DFT, std::uint8_t addr, std::uint8_t data) {
  if (ftHandle == nullptr) return false;
  std::array<std::uint8_t, spi::kWriteBufferSize> buf;
  const std::size_t n = spi::BuildWriteStream(buf.data(), spi::CommandWord(DFT, true, addr, data), StreamPortBits());
  if (!Transact(buf.data(), n, 1)) return false;
  FSI = spi::SdoLevel(buf[0]);
  return true;
}

bool NEVO_SPIWrite_WAKE(bool /*DFT*/) {
  if (ftHandle == nullptr) return false;
  NEVO_SetPort(portstate & 0);  // everything low, chip selected
  bridge::SleepMs(1);
  std::array<std::uint8_t, spi::kWriteBufferSize> buf;
  const std::size_t n = spi::BuildWriteStream(buf.data(), spi::kWakeCommandWord, StreamPortBits());
  if (!Transact(buf.data(), n, 1)) return false;
  FSI = spi::SdoLevel(buf[0]);
  NEVO_SetPort(portstate);
  return true;
}

std::int32_t NEVO_INVSPIWrite() {
  if (ftHandle == nullptr) return 0;
  std::array<std::uint8_t, spi::kReadBufferSize> buf;
  const std::size_t n = spi::BuildShortFrameStream(buf.data(), StreamPortBits());
  if (!Transact(buf.data(), n, spi::kReadAnswerSize)) return 0;
  FSI = spi::SdoLevel(buf[0]);
  return spi::DecodeResponse(buf.data());
}

bool NEVO_GetFSI() { return FSI; }
