#include "bridge/d2xx.h"

namespace d2xx {
namespace {
Backend* g_backend = nullptr;
}  // namespace

void SetBackend(Backend* backend) { g_backend = backend; }
Backend* CurrentBackend() { return g_backend; }
std::string LastErrorText() { return g_backend != nullptr ? g_backend->LastErrorText() : std::string(); }

}  // namespace d2xx

using d2xx::CurrentBackend;

FT_STATUS FT_ListDevices(void* pArg1, void* /*pArg2*/, DWORD Flags) {
  if (Flags != FT_LIST_NUMBER_ONLY || pArg1 == nullptr) return FT_INVALID_PARAMETER;
  auto* count = static_cast<DWORD*>(pArg1);
  if (CurrentBackend() == nullptr) {
    *count = 0;
    return FT_OK;
  }
  return CurrentBackend()->ListDevices(count);
}

FT_STATUS FT_Open(int deviceNumber, FT_HANDLE* pHandle) {
  if (pHandle == nullptr) return FT_INVALID_PARAMETER;
  if (CurrentBackend() == nullptr) return FT_DEVICE_NOT_FOUND;
  return CurrentBackend()->Open(deviceNumber, pHandle);
}

FT_STATUS FT_GetLibraryVersion(LPDWORD lpdwVersion) {
  if (lpdwVersion == nullptr) return FT_INVALID_PARAMETER;
  if (CurrentBackend() == nullptr) return FT_OTHER_ERROR;
  return CurrentBackend()->GetLibraryVersion(lpdwVersion);
}

// The calls on a handle share one shape: no backend means no device.
#define KV_DISPATCH(call) \
  (CurrentBackend() == nullptr ? FT_STATUS{FT_INVALID_HANDLE} : CurrentBackend()->call)

FT_STATUS FT_Close(FT_HANDLE h) { return KV_DISPATCH(Close(h)); }
FT_STATUS FT_GetDriverVersion(FT_HANDLE h, LPDWORD v) {
  if (v == nullptr) return FT_INVALID_PARAMETER;
  return KV_DISPATCH(GetDriverVersion(h, v));
}
FT_STATUS FT_Purge(FT_HANDLE h, ULONG mask) { return KV_DISPATCH(Purge(h, mask)); }
FT_STATUS FT_SetBitMode(FT_HANDLE h, UCHAR mask, UCHAR mode) { return KV_DISPATCH(SetBitMode(h, mask, mode)); }
FT_STATUS FT_SetLatencyTimer(FT_HANDLE h, UCHAR ms) { return KV_DISPATCH(SetLatencyTimer(h, ms)); }
FT_STATUS FT_SetTimeouts(FT_HANDLE h, ULONG rd, ULONG wr) { return KV_DISPATCH(SetTimeouts(h, rd, wr)); }
FT_STATUS FT_SetUSBParameters(FT_HANDLE h, ULONG in, ULONG out) { return KV_DISPATCH(SetUSBParameters(h, in, out)); }

FT_STATUS FT_Write(FT_HANDLE h, const void* buf, DWORD n, LPDWORD written) {
  if (buf == nullptr || written == nullptr) return FT_INVALID_PARAMETER;
  *written = 0;
  return KV_DISPATCH(Write(h, static_cast<const std::uint8_t*>(buf), n, written));
}

FT_STATUS FT_Read(FT_HANDLE h, void* buf, DWORD n, LPDWORD got) {
  if (buf == nullptr || got == nullptr) return FT_INVALID_PARAMETER;
  *got = 0;
  return KV_DISPATCH(Read(h, static_cast<std::uint8_t*>(buf), n, got));
}

FT_STATUS FT_GetQueueStatus(FT_HANDLE h, LPDWORD waiting) {
  if (waiting == nullptr) return FT_INVALID_PARAMETER;
  return KV_DISPATCH(GetQueueStatus(h, waiting));
}

#undef KV_DISPATCH
