// A backend for tests: records every library call with its arguments and the
// bytes written, scripts failures and short counts per call, and either serves
// queued answer bytes itself or passes the calls on to an inner backend (the
// simulated board) while recording them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bridge/d2xx.h"

namespace kvtest {

struct Call {
  std::string fn;                   // "FT_Write", "FT_Purge", ...
  std::vector<std::uint32_t> args;  // scalar arguments after the handle
  std::vector<std::uint8_t> data;   // bytes written, or bytes handed out by FT_Read
  FT_STATUS status = FT_OK;
  DWORD count = 0;                  // bytes written/read, devices listed, bytes waiting
};

class ScriptedBackend : public d2xx::Backend {
 public:
  explicit ScriptedBackend(d2xx::Backend* inner = nullptr) : inner_(inner) {}

  // --- scripting -------------------------------------------------------
  // The next call of `fn` returns `status` and does nothing else.
  void FailNext(std::string_view fn, FT_STATUS status = FT_IO_ERROR);
  // The next FT_Write or FT_Read reports one byte fewer than asked. A short
  // write still delivers every byte (the device may have acted on them); a
  // short read leaves the last byte waiting, as a late answer would.
  void ShortNext(std::string_view fn);
  // The call with this 0-based number, counted over all calls since
  // construction or ClearCalls(), fails with `status` / is short.
  void FailCallNumber(std::size_t n, FT_STATUS status = FT_IO_ERROR);
  void ShortCallNumber(std::size_t n);

  // Without an inner backend: answers served by FT_Read / FT_GetQueueStatus.
  void QueueAnswer(std::span<const std::uint8_t> bytes);
  void QueueAnswer(std::initializer_list<std::uint8_t> bytes) { QueueAnswer(std::span(bytes.begin(), bytes.size())); }
  // Without an inner backend: called with every successful write, to queue
  // answers that depend on what was sent.
  std::function<void(std::span<const std::uint8_t>)> on_write;
  DWORD device_count = 1;
  DWORD library_version = 0x00010500;
  DWORD driver_version = 0x00010500;
  std::string last_error_text;

  // --- what happened --------------------------------------------------
  const std::vector<Call>& calls() const { return calls_; }
  std::vector<std::string> CallNames() const;
  // The byte buffers of the successful FT_Write calls, in order.
  std::vector<std::vector<std::uint8_t>> Written() const;
  void ClearCalls();
  std::size_t QueuedAnswerBytes() const { return answers_.size(); }

  // --- d2xx::Backend ---------------------------------------------------
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

 private:
  enum class Fault { None, Fail, Short };
  // Records the call and tells which fault, if any, applies to it.
  Fault Begin(std::string_view fn, std::vector<std::uint32_t> args, FT_STATUS* status);
  FT_STATUS Finish(FT_STATUS status, DWORD count = 0, std::span<const std::uint8_t> data = {});

  d2xx::Backend* inner_;
  std::vector<Call> calls_;
  std::vector<std::uint8_t> answers_;
  std::map<std::string, FT_STATUS, std::less<>> fail_next_;
  std::map<std::string, int, std::less<>> short_next_;
  std::map<std::size_t, FT_STATUS> fail_number_;
  std::map<std::size_t, int> short_number_;
  int fake_handle_ = 0;
};

}  // namespace kvtest
