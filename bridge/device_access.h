// Bridge device access: opening the first bridge, its MPSSE set-up with the
// system's fixed settings, and the byte-level services the port word and the
// SPI frame engine rest on. Every function returns true when done and logs
// nothing; a null ftHandle makes each return false without a library call.
#pragma once

#include <cstdint>

#include "bridge/d2xx.h"

bool FTDI_OpenDevice();
bool FTDI_CloseDevice();
bool FTDI_SetMpsse();
bool FTDI_PurgeBuffer();
bool FTDI_TransferBuffer(const std::uint8_t* pbyTxBuffer, DWORD dwTxSize);
bool FTDI_WaitQueue(DWORD dwRxSize, DWORD dwTimeOutMs);
bool FTDI_ReceiveBuffer(std::uint8_t* pbyRxBuffer, DWORD dwRxSize);
bool FTDI_WaitReceiveBuffer(std::uint8_t* pbyRxBuffer, DWORD dwRxSize, DWORD dwTimeOutMs);
bool FTDI_SetClkDivisor(std::uint16_t wDivisor);
bool FTDI_SetLatencyTimer(UCHAR ucTimer);
bool FTDI_SetTimeouts(ULONG ulReadTimeout, ULONG ulWriteTimeout);
bool FTDI_SetUSBParameters(ULONG ulInTransferSize, ULONG ulOutTransferSize);
bool FTDI_ConnectLoopBack();
bool FTDI_DisConnectLoopBack();
bool NEVO_InitFTDI();

namespace bridge {
// Fixed settings of the link.
constexpr UCHAR kLatencyMs = 3;
constexpr ULONG kReadTimeoutMs = 200;
constexpr ULONG kWriteTimeoutMs = 200;
constexpr ULONG kUsbTransferSize = 2;
constexpr std::uint16_t kClockDivisor = 5;
constexpr unsigned kInitPauseMs = 30;
constexpr std::uint16_t kInitialPortWord = 0x0008;

// Empties the receive buffer (FT_Purge 1, result ignored) after an operation
// that expected answers failed, so that answers arriving late cannot be taken
// for those of the next operation.
void DiscardPendingAnswers();
}  // namespace bridge
