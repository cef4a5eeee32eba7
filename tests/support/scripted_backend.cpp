#include "scripted_backend.h"

#include <algorithm>

namespace kvtest {

void ScriptedBackend::FailNext(std::string_view fn, FT_STATUS status) { fail_next_[std::string(fn)] = status; }
void ScriptedBackend::ShortNext(std::string_view fn) { short_next_[std::string(fn)] = 1; }
void ScriptedBackend::FailCallNumber(std::size_t n, FT_STATUS status) { fail_number_[n] = status; }
void ScriptedBackend::ShortCallNumber(std::size_t n) { short_number_[n] = 1; }

void ScriptedBackend::QueueAnswer(std::span<const std::uint8_t> bytes) {
  answers_.insert(answers_.end(), bytes.begin(), bytes.end());
}

std::vector<std::string> ScriptedBackend::CallNames() const {
  std::vector<std::string> names;
  for (const Call& c : calls_) names.push_back(c.fn);
  return names;
}

std::vector<std::vector<std::uint8_t>> ScriptedBackend::Written() const {
  std::vector<std::vector<std::uint8_t>> out;
  for (const Call& c : calls_) {
    if (c.fn == "FT_Write" && c.status == FT_OK) out.push_back(c.data);
  }
  return out;
}

void ScriptedBackend::ClearCalls() {
  calls_.clear();
  fail_number_.clear();
  short_number_.clear();
}

ScriptedBackend::Fault ScriptedBackend::Begin(std::string_view fn, std::vector<std::uint32_t> args,
                                              FT_STATUS* status) {
  const std::size_t number = calls_.size();
  calls_.push_back(Call{std::string(fn), std::move(args), {}, FT_OK, 0});
  if (auto it = fail_number_.find(number); it != fail_number_.end()) {
    *status = it->second;
    return Fault::Fail;
  }
  if (auto it = fail_next_.find(fn); it != fail_next_.end()) {
    *status = it->second;
    fail_next_.erase(it);
    return Fault::Fail;
  }
  if (short_number_.erase(number) > 0) return Fault::Short;
  if (auto it = short_next_.find(fn); it != short_next_.end()) {
    short_next_.erase(it);
    return Fault::Short;
  }
  return Fault::None;
}

FT_STATUS ScriptedBackend::Finish(FT_STATUS status, DWORD count, std::span<const std::uint8_t> data) {
  Call& c = calls_.back();
  c.status = status;
  c.count = count;
  c.data.assign(data.begin(), data.end());
  return status;
}

#define KV_FAILED_OR(fault, status) \
  if ((fault) == Fault::Fail) return Finish(status)

FT_STATUS ScriptedBackend::ListDevices(DWORD* count) {
  FT_STATUS st = FT_OK;
  KV_FAILED_OR(Begin("FT_ListDevices", {}, &st), st);
  if (inner_ != nullptr) st = inner_->ListDevices(count);
  else *count = device_count;
  return Finish(st, *count);
}

FT_STATUS ScriptedBackend::Open(int index, FT_HANDLE* handle) {
  FT_STATUS st = FT_OK;
  KV_FAILED_OR(Begin("FT_Open", {static_cast<std::uint32_t>(index)}, &st), st);
  if (inner_ != nullptr) return Finish(inner_->Open(index, handle));
  if (static_cast<DWORD>(index) >= device_count) return Finish(FT_DEVICE_NOT_FOUND);
  *handle = &fake_handle_;
  return Finish(FT_OK);
}

FT_STATUS ScriptedBackend::Close(FT_HANDLE handle) {
  FT_STATUS st = FT_OK;
  KV_FAILED_OR(Begin("FT_Close", {}, &st), st);
  return Finish(inner_ != nullptr ? inner_->Close(handle) : FT_OK);
}

FT_STATUS ScriptedBackend::GetDriverVersion(FT_HANDLE handle, DWORD* version) {
  FT_STATUS st = FT_OK;
  KV_FAILED_OR(Begin("FT_GetDriverVersion", {}, &st), st);
  if (inner_ != nullptr) return Finish(inner_->GetDriverVersion(handle, version));
  *version = driver_version;
  return Finish(FT_OK);
}

FT_STATUS ScriptedBackend::GetLibraryVersion(DWORD* version) {
  FT_STATUS st = FT_OK;
  KV_FAILED_OR(Begin("FT_GetLibraryVersion", {}, &st), st);
  if (inner_ != nullptr) return Finish(inner_->GetLibraryVersion(version));
  *version = library_version;
  return Finish(FT_OK);
}

FT_STATUS ScriptedBackend::Purge(FT_HANDLE handle, ULONG mask) {
  FT_STATUS st = FT_OK;
  KV_FAILED_OR(Begin("FT_Purge", {mask}, &st), st);
  if (inner_ != nullptr) return Finish(inner_->Purge(handle, mask));
  if (mask & FT_PURGE_RX) answers_.clear();
  return Finish(FT_OK);
}

FT_STATUS ScriptedBackend::SetBitMode(FT_HANDLE handle, UCHAR mask, UCHAR mode) {
  FT_STATUS st = FT_OK;
  KV_FAILED_OR(Begin("FT_SetBitMode", {mask, mode}, &st), st);
  return Finish(inner_ != nullptr ? inner_->SetBitMode(handle, mask, mode) : FT_OK);
}

FT_STATUS ScriptedBackend::SetLatencyTimer(FT_HANDLE handle, UCHAR ms) {
  FT_STATUS st = FT_OK;
  KV_FAILED_OR(Begin("FT_SetLatencyTimer", {ms}, &st), st);
  return Finish(inner_ != nullptr ? inner_->SetLatencyTimer(handle, ms) : FT_OK);
}

FT_STATUS ScriptedBackend::SetTimeouts(FT_HANDLE handle, ULONG read_ms, ULONG write_ms) {
  FT_STATUS st = FT_OK;
  KV_FAILED_OR(Begin("FT_SetTimeouts", {read_ms, write_ms}, &st), st);
  return Finish(inner_ != nullptr ? inner_->SetTimeouts(handle, read_ms, write_ms) : FT_OK);
}

FT_STATUS ScriptedBackend::SetUSBParameters(FT_HANDLE handle, ULONG in_size, ULONG out_size) {
  FT_STATUS st = FT_OK;
  KV_FAILED_OR(Begin("FT_SetUSBParameters", {in_size, out_size}, &st), st);
  return Finish(inner_ != nullptr ? inner_->SetUSBParameters(handle, in_size, out_size) : FT_OK);
}

FT_STATUS ScriptedBackend::Write(FT_HANDLE handle, const std::uint8_t* data, DWORD size, DWORD* written) {
  FT_STATUS st = FT_OK;
  const Fault fault = Begin("FT_Write", {size}, &st);
  const std::span<const std::uint8_t> bytes(data, size);
  if (fault == Fault::Fail) {
    calls_.back().data.assign(bytes.begin(), bytes.end());
    calls_.back().status = st;
    return st;
  }
  if (inner_ != nullptr) {
    st = inner_->Write(handle, data, size, written);
  } else {
    *written = size;
    if (on_write) on_write(bytes);
  }
  if (fault == Fault::Short && *written > 0) --*written;
  return Finish(st, *written, bytes);
}

FT_STATUS ScriptedBackend::Read(FT_HANDLE handle, std::uint8_t* data, DWORD size, DWORD* got) {
  FT_STATUS st = FT_OK;
  const Fault fault = Begin("FT_Read", {size}, &st);
  KV_FAILED_OR(fault, st);
  const DWORD asked = (fault == Fault::Short && size > 0) ? size - 1 : size;
  if (inner_ != nullptr) {
    st = inner_->Read(handle, data, asked, got);
  } else {
    *got = static_cast<DWORD>(std::min<std::size_t>(asked, answers_.size()));
    std::copy_n(answers_.begin(), *got, data);
    answers_.erase(answers_.begin(), answers_.begin() + *got);
  }
  return Finish(st, *got, std::span<const std::uint8_t>(data, *got));
}

FT_STATUS ScriptedBackend::GetQueueStatus(FT_HANDLE handle, DWORD* waiting) {
  FT_STATUS st = FT_OK;
  KV_FAILED_OR(Begin("FT_GetQueueStatus", {}, &st), st);
  if (inner_ != nullptr) st = inner_->GetQueueStatus(handle, waiting);
  else *waiting = static_cast<DWORD>(answers_.size());
  return Finish(st, *waiting);
}

std::string ScriptedBackend::LastErrorText() const {
  return inner_ != nullptr ? inner_->LastErrorText() : last_error_text;
}

#undef KV_FAILED_OR

}  // namespace kvtest
