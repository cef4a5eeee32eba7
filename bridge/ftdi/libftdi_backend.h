// The real-bridge backend: the thirteen D2XX-shaped calls carried out by
// libftdi1 on FTDI bridges with an MPSSE engine.
//
// Install it once at start-up and keep it alive while the bridge layer is used:
//
//   ftdi_backend::LibftdiBackend backend;
//   d2xx::SetBackend(&backend);
//
// How the calls map onto libftdi:
// - FT_ListDevices counts MPSSE-capable interfaces as the vendor's library
//   counts devices: FT2232H and FT4232H two each (interfaces A and B; C and D
//   of the FT4232H have no MPSSE), FT232H one. The bridges are counted
//   FT2232H first, then FT4232H, then FT232H, each kind in the order libusb
//   lists them. When libusb cannot start there is no bridge: count 0, status
//   FT_OK. A listing clears LastErrorText(), as it starts a connect attempt.
// - FT_Open(n) enumerates again, selects the interface (ftdi_set_interface)
//   and opens that one USB device (ftdi_usb_open_dev); FT_Open(0) is interface
//   A of the first bridge. libftdi detaches the kernel's ftdi_sio driver from
//   that interface.
// - FT_Read waits for the asked count until the read time-out, polling
//   ftdi_read_data (which returns what has arrived) with 1 ms pauses. At the
//   time-out it answers FT_OK with a short count. Received bytes beyond what
//   a read asked for stay with the backend for the next read.
// - FT_GetQueueStatus pulls once from the bridge and reports how many
//   received bytes the backend holds.
// - FT_Purge: receive -> ftdi_tciflush, transmit -> ftdi_tcoflush, both ->
//   ftdi_tcioflush. Purging the receive side also drops the bytes held here.
// - FT_SetTimeouts keeps the read time-out for FT_Read. libusb's time-out for
//   one bulk transfer becomes the read or write time-out, but never less than
//   kMinUsbTimeoutMs: the bridge answers every bulk read within its latency
//   timer (at most 255 ms), so a bulk transfer that runs out means the bridge
//   stopped answering, and the call fails instead of hanging. Until
//   FT_SetTimeouts both time-outs are kDefaultTimeoutMs.
// - FT_SetUSBParameters sets libftdi's read and write chunk sizes to the asked
//   sizes rounded up to whole USB packets of the open bridge (512 bytes at
//   high speed, 64 at full speed), at least one packet, at most
//   kMaxTransferSize. The (2, 2) of the board's set-up thus becomes one packet
//   each way: libftdi cannot read less than one packet per transfer.
// - FT_GetLibraryVersion is libftdi's version as 0x00MMmmuu (major, minor,
//   micro, one byte each): libftdi 1.5.0 gives 0x00010500.
// - FT_GetDriverVersion stands in with the same number, libftdi and libusb
//   being the driver here. Its status tells whether the handle is live: it
//   reads the bridge's latency timer, which fails once the bridge is gone.
// - FT_Close releases the handle in every case: when libftdi cannot release
//   the interface (the bridge was unplugged) it has still closed the device,
//   so the status is FT_OK.
//
// A libftdi error becomes a status chosen by the failing call (for example
// FT_DEVICE_NOT_OPENED for ftdi_usb_open_dev, FT_IO_ERROR for a transfer);
// LastErrorText() then names the call, libftdi's code, a hint where one helps
// and libftdi's own text, e.g. "libftdi: usb_open() failed (-4): check the
// udev rule in the README (libusb_open() failed)". A failure that is not the
// library's (no bridge at that index, an unknown handle, a bad argument)
// leaves LastErrorText() empty.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bridge/d2xx.h"
#include "bridge/ftdi/libftdi_api.h"

namespace ftdi_backend {

constexpr int kFtdiVendorId = 0x0403;

// The bridges with an MPSSE engine and how many of their interfaces have one.
struct BridgeProduct {
  int product_id;
  int mpsse_interfaces;
};
inline constexpr BridgeProduct kBridgeProducts[] = {
    {0x6010, 2},  // FT2232H (and FT2232C/D)
    {0x6011, 2},  // FT4232H
    {0x6014, 1},  // FT232H
};

constexpr std::chrono::milliseconds kReadPollPause{1};
constexpr ULONG kDefaultTimeoutMs = 1000;
constexpr ULONG kMinUsbTimeoutMs = 300;
constexpr ULONG kMaxTransferSize = 65536;

// Monotonic time and the pause between read polls; tests replace both.
struct Clock {
  std::function<std::chrono::steady_clock::time_point()> now;
  std::function<void(std::chrono::milliseconds)> sleep;
};
Clock SystemClock();

class LibftdiBackend : public d2xx::Backend {
 public:
  explicit LibftdiBackend(const LibftdiApi& api = RealLibftdi(), Clock clock = SystemClock());
  // Closes every bridge still open.
  ~LibftdiBackend() override;
  LibftdiBackend(const LibftdiBackend&) = delete;
  LibftdiBackend& operator=(const LibftdiBackend&) = delete;

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
  std::string LastErrorText() const override;

  // Which libftdi call failed; each has its own status and hints.
  enum class Call {
    kUsbFindAll,
    kSetInterface,
    kUsbOpen,
    kReadData,
    kWriteData,
    kTciflush,
    kTcoflush,
    kTcioflush,
    kSetBitmode,
    kSetLatencyTimer,
    kGetLatencyTimer,
    kReadChunksize,
    kWriteChunksize,
  };

 private:
  struct Device;
  struct ContextDeleter {
    const LibftdiApi* api;
    void operator()(ftdi_context* ftdi) const { api->free_context(ftdi); }
  };
  using ContextPtr = std::unique_ptr<ftdi_context, ContextDeleter>;

  ContextPtr NewContext() const;
  Device* Find(FT_HANDLE handle);
  // One ftdi_read_data of at most max_bytes, appended to what the device holds.
  FT_STATUS Pull(Device& device, DWORD max_bytes);
  // Records libftdi's code and text for LastErrorText and returns the status
  // of that call.
  FT_STATUS Fail(Call call, int code, ftdi_context* ftdi);
  // A failure with nothing to add beyond its status.
  FT_STATUS Refuse(FT_STATUS status);
  // A libftdi result: 0 and above pass as FT_OK, below 0 through Fail.
  FT_STATUS Check(Call call, int result, ftdi_context* ftdi);
  // One libftdi call on the handle's context, its result through Check.
  FT_STATUS Apply(FT_HANDLE handle, Call call, const std::function<int(ftdi_context*)>& op);

  const LibftdiApi& api_;
  Clock clock_;
  std::vector<std::unique_ptr<Device>> devices_;
  std::string last_error_;
};

}  // namespace ftdi_backend
