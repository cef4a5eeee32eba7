#include "bridge/port.h"

#include <array>

#include "bridge/d2xx.h"
#include "bridge/device_access.h"
#include "bridge/link_state.h"

namespace {
std::uint8_t Low(std::uint16_t word) { return static_cast<std::uint8_t>(word & 0xFF); }
std::uint8_t High(std::uint16_t word) { return static_cast<std::uint8_t>(word >> 8); }
}  // namespace

bool NEVO_SetPort(std::uint16_t output) {
  if (ftHandle == nullptr) return false;
  const std::array<std::uint8_t, 6> command = {mpsse::kSetLowBank,  Low(output),  pin::kLowBankDirection,
                                               mpsse::kSetHighBank, High(output), pin::kHighBankDirection};
  if (!FTDI_TransferBuffer(command.data(), command.size())) return false;
  portstate = output;
  return true;
}

bool NEVO_GetPort(std::uint16_t* input) {
  if (ftHandle == nullptr) return false;
  const std::array<std::uint8_t, 3> command = {mpsse::kReadLowBank, mpsse::kReadHighBank, mpsse::kSendImmediate};
  if (!FTDI_TransferBuffer(command.data(), command.size())) {
    bridge::DiscardPendingAnswers();
    return false;
  }
  std::array<std::uint8_t, 2> answer = {};
  if (!FTDI_ReceiveBuffer(answer.data(), answer.size())) {
    bridge::DiscardPendingAnswers();
    return false;
  }
  *input = static_cast<std::uint16_t>(answer[0] | (answer[1] << 8));
  return true;
}

bool NEVO_ToggleWD(std::uint16_t output) {
  const std::array<std::uint8_t, 6> command = {
      mpsse::kSetLowBank, static_cast<std::uint8_t>(Low(output) | pin::WD), pin::kLowBankDirection,
      mpsse::kSetLowBank, Low(output),                                      pin::kLowBankDirection};
  return FTDI_TransferBuffer(command.data(), command.size());
}
