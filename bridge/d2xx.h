// The USB bridge library as the system calls it: thirteen D2XX-shaped calls.
//
// Every call is synchronous and returns a status, FT_OK (0) meaning success.
// The calls dispatch to one Backend (the seam): the libftdi backend for real
// bridges, the simulated evaluation board, or a scripted backend in tests.
// With no backend installed there is no device: FT_ListDevices counts 0 and
// every call that takes a handle answers FT_INVALID_HANDLE.
#pragma once

#include <cstdint>
#include <string>

using FT_HANDLE = void*;
using FT_STATUS = std::uint32_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using UCHAR = std::uint8_t;
using LPDWORD = DWORD*;

enum : FT_STATUS {
  FT_OK = 0,
  FT_INVALID_HANDLE = 1,
  FT_DEVICE_NOT_FOUND = 2,
  FT_DEVICE_NOT_OPENED = 3,
  FT_IO_ERROR = 4,
  FT_INSUFFICIENT_RESOURCES = 5,
  FT_INVALID_PARAMETER = 6,
  FT_OTHER_ERROR = 18,
};

// FT_ListDevices flag: pArg1 receives the number of devices.
constexpr DWORD FT_LIST_NUMBER_ONLY = 0x80000000u;
// FT_Purge masks.
constexpr ULONG FT_PURGE_RX = 1;
constexpr ULONG FT_PURGE_TX = 2;
// FT_SetBitMode modes.
constexpr UCHAR FT_BITMODE_RESET = 0x00;
constexpr UCHAR FT_BITMODE_MPSSE = 0x02;

FT_STATUS FT_ListDevices(void* pArg1, void* pArg2, DWORD Flags);
FT_STATUS FT_Open(int deviceNumber, FT_HANDLE* pHandle);
FT_STATUS FT_Close(FT_HANDLE ftHandle);
FT_STATUS FT_GetDriverVersion(FT_HANDLE ftHandle, LPDWORD lpdwVersion);
FT_STATUS FT_GetLibraryVersion(LPDWORD lpdwVersion);
FT_STATUS FT_Purge(FT_HANDLE ftHandle, ULONG Mask);
FT_STATUS FT_SetBitMode(FT_HANDLE ftHandle, UCHAR ucMask, UCHAR ucMode);
FT_STATUS FT_SetLatencyTimer(FT_HANDLE ftHandle, UCHAR ucLatency);
FT_STATUS FT_SetTimeouts(FT_HANDLE ftHandle, ULONG ReadTimeout, ULONG WriteTimeout);
FT_STATUS FT_SetUSBParameters(FT_HANDLE ftHandle, ULONG ulInTransferSize, ULONG ulOutTransferSize);
// Writes dwBytesToWrite bytes; *lpdwBytesWritten receives how many went out.
FT_STATUS FT_Write(FT_HANDLE ftHandle, const void* lpBuffer, DWORD dwBytesToWrite, LPDWORD lpdwBytesWritten);
// Waits for dwBytesToRead bytes up to the read time-out set by FT_SetTimeouts.
// When they do not all arrive in time the status is still FT_OK and
// *lpdwBytesReturned is short: callers compare the count.
FT_STATUS FT_Read(FT_HANDLE ftHandle, void* lpBuffer, DWORD dwBytesToRead, LPDWORD lpdwBytesReturned);
// *lpdwAmountInRxQueue receives the number of received bytes waiting.
FT_STATUS FT_GetQueueStatus(FT_HANDLE ftHandle, LPDWORD lpdwAmountInRxQueue);

namespace d2xx {

// What a bridge implementation provides. Handles are the backend's own
// opaque values; the layer passes them through unchanged.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual FT_STATUS ListDevices(DWORD* count) = 0;
  virtual FT_STATUS Open(int index, FT_HANDLE* handle) = 0;
  virtual FT_STATUS Close(FT_HANDLE handle) = 0;
  virtual FT_STATUS GetDriverVersion(FT_HANDLE handle, DWORD* version) = 0;
  virtual FT_STATUS GetLibraryVersion(DWORD* version) = 0;
  virtual FT_STATUS Purge(FT_HANDLE handle, ULONG mask) = 0;
  virtual FT_STATUS SetBitMode(FT_HANDLE handle, UCHAR mask, UCHAR mode) = 0;
  virtual FT_STATUS SetLatencyTimer(FT_HANDLE handle, UCHAR ms) = 0;
  virtual FT_STATUS SetTimeouts(FT_HANDLE handle, ULONG read_ms, ULONG write_ms) = 0;
  virtual FT_STATUS SetUSBParameters(FT_HANDLE handle, ULONG in_size, ULONG out_size) = 0;
  virtual FT_STATUS Write(FT_HANDLE handle, const std::uint8_t* data, DWORD size, DWORD* written) = 0;
  virtual FT_STATUS Read(FT_HANDLE handle, std::uint8_t* data, DWORD size, DWORD* got) = 0;
  virtual FT_STATUS GetQueueStatus(FT_HANDLE handle, DWORD* waiting) = 0;
  // The cause of the last failed call in the backend's own words, for a user
  // to read (for example the USB library's error text); empty when the last
  // failure has nothing to add beyond its status, or nothing failed. A new
  // device listing starts afresh, so an old cause is not reported again.
  virtual std::string LastErrorText() const { return {}; }
};

// Installs the backend every FT_ call goes to; nullptr removes it. The
// backend is not owned and must outlive its use.
void SetBackend(Backend* backend);
Backend* CurrentBackend();
// The installed backend's LastErrorText(), empty without a backend.
std::string LastErrorText();

}  // namespace d2xx
