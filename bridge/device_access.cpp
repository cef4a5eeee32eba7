#include "bridge/device_access.h"

#include <array>

#include "bridge/link_state.h"
#include "bridge/port.h"
#include "bridge/sleep.h"

namespace bridge {
void DiscardPendingAnswers() {
  if (ftHandle != nullptr) FT_Purge(ftHandle, FT_PURGE_RX);
}
}  // namespace bridge

bool FTDI_OpenDevice() {
  if (ftHandle != nullptr) {
    DWORD version = 0;
    if (FT_GetDriverVersion(ftHandle, &version) == FT_OK) return true;
    // The held handle no longer answers (the bridge was unplugged): let it go
    // before opening anew, so that it does not leak.
    FT_Close(ftHandle);
    ftHandle = nullptr;
  }
  DWORD count = 0;
  if (FT_ListDevices(&count, nullptr, FT_LIST_NUMBER_ONLY) != FT_OK) return false;
  if (count < 1) return false;
  if (FT_Open(0, &ftHandle) != FT_OK) {
    ftHandle = nullptr;
    return false;
  }
  DWORD version = 0;
  FT_GetDriverVersion(ftHandle, &version);
  return true;
}

bool FTDI_CloseDevice() {
  if (ftHandle == nullptr) return false;
  if (FT_Close(ftHandle) != FT_OK) return false;
  ftHandle = nullptr;
  return true;
}

bool FTDI_SetMpsse() {
  if (ftHandle == nullptr) return false;
  FT_STATUS status = FT_Purge(ftHandle, FT_PURGE_RX | FT_PURGE_TX);
  status |= FT_SetBitMode(ftHandle, 0, FT_BITMODE_RESET);
  status |= FT_SetBitMode(ftHandle, 0, FT_BITMODE_MPSSE);
  status |= FT_Purge(ftHandle, FT_PURGE_RX | FT_PURGE_TX);
  return status == FT_OK;
}

bool FTDI_PurgeBuffer() {
  if (ftHandle == nullptr) return false;
  return FT_Purge(ftHandle, FT_PURGE_RX) == FT_OK;
}

bool FTDI_TransferBuffer(const std::uint8_t* pbyTxBuffer, DWORD dwTxSize) {
  if (ftHandle == nullptr || pbyTxBuffer == nullptr || dwTxSize == 0) return false;
  DWORD written = 0;
  return FT_Write(ftHandle, pbyTxBuffer, dwTxSize, &written) == FT_OK && written == dwTxSize;
}

bool FTDI_WaitQueue(DWORD dwRxSize, DWORD dwTimeOutMs) {
  if (ftHandle == nullptr) return false;
  for (;;) {
    DWORD waiting = 0;
    if (FT_GetQueueStatus(ftHandle, &waiting) != FT_OK) return false;
    if (waiting >= dwRxSize) return true;
    bridge::SleepMs(1);
    if (dwTimeOutMs == 0) return false;
    --dwTimeOutMs;
  }
}

bool FTDI_ReceiveBuffer(std::uint8_t* pbyRxBuffer, DWORD dwRxSize) {
  if (ftHandle == nullptr || pbyRxBuffer == nullptr || dwRxSize == 0) return false;
  DWORD got = 0;
  return FT_Read(ftHandle, pbyRxBuffer, dwRxSize, &got) == FT_OK && got == dwRxSize;
}

bool FTDI_WaitReceiveBuffer(std::uint8_t* pbyRxBuffer, DWORD dwRxSize, DWORD dwTimeOutMs) {
  if (pbyRxBuffer == nullptr || dwRxSize == 0) return false;
  if (!FTDI_WaitQueue(dwRxSize, dwTimeOutMs)) return false;
  return FTDI_ReceiveBuffer(pbyRxBuffer, dwRxSize);
}

bool FTDI_SetClkDivisor(std::uint16_t wDivisor) {
  const std::array<std::uint8_t, 3> command = {mpsse::kSetClockDivisor,
                                               static_cast<std::uint8_t>(wDivisor & 0xFF),
                                               static_cast<std::uint8_t>(wDivisor >> 8)};
  return FTDI_TransferBuffer(command.data(), command.size());
}

bool FTDI_SetLatencyTimer(UCHAR ucTimer) {
  return ftHandle != nullptr && FT_SetLatencyTimer(ftHandle, ucTimer) == FT_OK;
}

bool FTDI_SetTimeouts(ULONG ulReadTimeout, ULONG ulWriteTimeout) {
  return ftHandle != nullptr && FT_SetTimeouts(ftHandle, ulReadTimeout, ulWriteTimeout) == FT_OK;
}

bool FTDI_SetUSBParameters(ULONG ulInTransferSize, ULONG ulOutTransferSize) {
  return ftHandle != nullptr && FT_SetUSBParameters(ftHandle, ulInTransferSize, ulOutTransferSize) == FT_OK;
}

namespace {
// Purge, loop-back command with send-immediate, purge.
bool SendLoopBackCommand(std::uint8_t opcode) {
  if (ftHandle == nullptr) return false;
  if (FT_Purge(ftHandle, FT_PURGE_RX) != FT_OK) return false;
  const std::array<std::uint8_t, 2> command = {opcode, mpsse::kSendImmediate};
  if (!FTDI_TransferBuffer(command.data(), command.size())) return false;
  return FT_Purge(ftHandle, FT_PURGE_RX) == FT_OK;
}
}  // namespace

bool FTDI_ConnectLoopBack() { return SendLoopBackCommand(mpsse::kLoopbackOn); }
bool FTDI_DisConnectLoopBack() { return SendLoopBackCommand(mpsse::kLoopbackOff); }

bool NEVO_InitFTDI() {
  // Every step runs whatever the earlier ones returned.
  bool ok = FTDI_SetLatencyTimer(bridge::kLatencyMs);
  ok = FTDI_SetMpsse() && ok;
  ok = FTDI_SetTimeouts(bridge::kReadTimeoutMs, bridge::kWriteTimeoutMs) && ok;
  ok = FTDI_DisConnectLoopBack() && ok;
  ok = FTDI_SetClkDivisor(bridge::kClockDivisor) && ok;
  ok = FTDI_SetUSBParameters(bridge::kUsbTransferSize, bridge::kUsbTransferSize) && ok;
  bridge::SleepMs(bridge::kInitPauseMs);
  ok = NEVO_SetPort(bridge::kInitialPortWord) && ok;
  return ok;
}
