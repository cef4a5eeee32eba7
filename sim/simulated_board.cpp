#include "sim/simulated_board.h"

#include <utility>

namespace sim {

SimulatedBoard::SimulatedBoard() { engine_.Reset(); }

FT_STATUS SimulatedBoard::Fail(FT_STATUS status, std::string text) {
  last_error_ = std::move(text);
  return status;
}

FT_STATUS SimulatedBoard::BadHandle() {
  return Fail(FT_INVALID_HANDLE, "not the handle of the open simulated board");
}

FT_STATUS SimulatedBoard::Ok() {
  last_error_.clear();
  return FT_OK;
}

void SimulatedBoard::Replug() {
  settings_ = BridgeSettings{};
  engine_.DiscardAnswers();
  engine_.Reset();
  board_.PowerUp();
}

FT_STATUS SimulatedBoard::ListDevices(DWORD* count) {
  *count = 1;
  return Ok();
}

FT_STATUS SimulatedBoard::Open(int index, FT_HANDLE* handle) {
  if (index != 0) return Fail(FT_DEVICE_NOT_FOUND, "the simulated board is device 0, the only one");
  if (open_) return Fail(FT_DEVICE_NOT_OPENED, "the simulated board is open already");
  if (was_closed_) Replug();
  open_ = true;
  *handle = this;
  return Ok();
}

FT_STATUS SimulatedBoard::Close(FT_HANDLE handle) {
  if (!Live(handle)) return BadHandle();
  open_ = false;
  was_closed_ = true;
  return Ok();
}

FT_STATUS SimulatedBoard::GetDriverVersion(FT_HANDLE handle, DWORD* version) {
  if (!Live(handle)) return BadHandle();
  *version = kDriverVersion;
  return Ok();
}

FT_STATUS SimulatedBoard::GetLibraryVersion(DWORD* version) {
  *version = kLibraryVersion;
  return Ok();
}

FT_STATUS SimulatedBoard::Purge(FT_HANDLE handle, ULONG mask) {
  if (!Live(handle)) return BadHandle();
  if (mask & FT_PURGE_RX) engine_.DiscardAnswers();
  if (mask & FT_PURGE_TX) engine_.DropPartialCommand();
  return Ok();
}

FT_STATUS SimulatedBoard::SetBitMode(FT_HANDLE handle, UCHAR mask, UCHAR mode) {
  if (!Live(handle)) return BadHandle();
  if (mode != FT_BITMODE_RESET && mode != FT_BITMODE_MPSSE) {
    return Fail(FT_INVALID_PARAMETER, "the simulated bridge knows only the reset and MPSSE bit modes");
  }
  settings_.bit_mode = mode;
  settings_.bit_mask = mask;
  engine_.Reset();
  return Ok();
}

FT_STATUS SimulatedBoard::SetLatencyTimer(FT_HANDLE handle, UCHAR ms) {
  if (!Live(handle)) return BadHandle();
  settings_.latency_ms = ms;
  return Ok();
}

FT_STATUS SimulatedBoard::SetTimeouts(FT_HANDLE handle, ULONG read_ms, ULONG write_ms) {
  if (!Live(handle)) return BadHandle();
  settings_.read_timeout_ms = read_ms;
  settings_.write_timeout_ms = write_ms;
  return Ok();
}

FT_STATUS SimulatedBoard::SetUSBParameters(FT_HANDLE handle, ULONG in_size, ULONG out_size) {
  if (!Live(handle)) return BadHandle();
  settings_.in_transfer_size = in_size;
  settings_.out_transfer_size = out_size;
  return Ok();
}

FT_STATUS SimulatedBoard::Write(FT_HANDLE handle, const std::uint8_t* data, DWORD size, DWORD* written) {
  if (!Live(handle)) return BadHandle();
  if (settings_.bit_mode == FT_BITMODE_MPSSE) engine_.Execute(data, size);
  *written = size;
  return Ok();
}

FT_STATUS SimulatedBoard::Read(FT_HANDLE handle, std::uint8_t* data, DWORD size, DWORD* got) {
  if (!Live(handle)) return BadHandle();
  *got = static_cast<DWORD>(engine_.TakeAnswers(data, size));
  return Ok();
}

FT_STATUS SimulatedBoard::GetQueueStatus(FT_HANDLE handle, DWORD* waiting) {
  if (!Live(handle)) return BadHandle();
  *waiting = static_cast<DWORD>(engine_.AnswersWaiting());
  return Ok();
}

}  // namespace sim
