#include "bridge/ftdi/libftdi_backend.h"

#include <libusb.h>

#include <algorithm>
#include <climits>
#include <thread>
#include <utility>

namespace ftdi_backend {
namespace {

using Call = LibftdiBackend::Call;

constexpr const char* kUdevHint = "check the udev rule in the README";
constexpr const char* kHeldHint =
    "the kernel's ftdi_sio driver or another program holds the bridge; close that program "
    "or unplug and replug the board";
constexpr const char* kReplugHint = "unplug and replug the board";
constexpr const char* kUnpluggedHint = "the bridge is gone; check the USB cable";
constexpr const char* kSilentHint = "the bridge stopped answering; unplug and replug the board";

// What a failing call reports when no rule below is more precise.
struct CallInfo {
  Call call;
  const char* name;
  FT_STATUS status;
  const char* hint;
};
constexpr CallInfo kCalls[] = {
    {Call::kUsbFindAll, "usb_find_all", FT_IO_ERROR, nullptr},
    {Call::kSetInterface, "set_interface", FT_OTHER_ERROR, nullptr},
    {Call::kUsbOpen, "usb_open", FT_DEVICE_NOT_OPENED, kReplugHint},
    {Call::kReadData, "read_data", FT_IO_ERROR, nullptr},
    {Call::kWriteData, "write_data", FT_IO_ERROR, nullptr},
    {Call::kTciflush, "tciflush", FT_IO_ERROR, nullptr},
    {Call::kTcoflush, "tcoflush", FT_IO_ERROR, nullptr},
    {Call::kTcioflush, "tcioflush", FT_IO_ERROR, nullptr},
    {Call::kSetBitmode, "set_bitmode", FT_IO_ERROR, nullptr},
    {Call::kSetLatencyTimer, "set_latency_timer", FT_IO_ERROR, nullptr},
    {Call::kGetLatencyTimer, "get_latency_timer", FT_IO_ERROR, kUnpluggedHint},
    {Call::kReadChunksize, "read_data_set_chunksize", FT_INSUFFICIENT_RESOURCES, nullptr},
    {Call::kWriteChunksize, "write_data_set_chunksize", FT_INSUFFICIENT_RESOURCES, nullptr},
};

// Codes that mean something more precise at one call. ftdi_usb_open_dev's
// own codes: -3 configuration refused, -4 libusb_open refused (no permission
// on the device node), -5 interface claimed by someone else, -8 detaching the
// kernel driver refused (no permission), -11 kernel driver not detached.
// The transfers pass libusb's codes through.
struct Rule {
  Call call;
  int code;
  FT_STATUS status;
  const char* hint;
};
constexpr Rule kRules[] = {
    {Call::kUsbFindAll, -3, FT_INSUFFICIENT_RESOURCES, nullptr},
    {Call::kUsbOpen, -3, FT_DEVICE_NOT_OPENED, kHeldHint},
    {Call::kUsbOpen, -4, FT_DEVICE_NOT_OPENED, kUdevHint},
    {Call::kUsbOpen, -5, FT_DEVICE_NOT_OPENED, kHeldHint},
    {Call::kUsbOpen, -8, FT_DEVICE_NOT_OPENED, kUdevHint},
    {Call::kUsbOpen, -11, FT_DEVICE_NOT_OPENED, kHeldHint},
    {Call::kReadData, LIBUSB_ERROR_NO_DEVICE, FT_IO_ERROR, kUnpluggedHint},
    {Call::kReadData, LIBUSB_ERROR_TIMEOUT, FT_IO_ERROR, kSilentHint},
    {Call::kWriteData, LIBUSB_ERROR_NO_DEVICE, FT_IO_ERROR, kUnpluggedHint},
    {Call::kWriteData, LIBUSB_ERROR_TIMEOUT, FT_IO_ERROR, kSilentHint},
    {Call::kSetLatencyTimer, -1, FT_INVALID_PARAMETER, nullptr},
};

const CallInfo& InfoOf(Call call) {
  return *std::find_if(std::begin(kCalls), std::end(kCalls),
                       [call](const CallInfo& info) { return info.call == call; });
}

// libftdi numbers the interfaces from INTERFACE_A = 1.
ftdi_interface InterfaceNumber(int zero_based) { return static_cast<ftdi_interface>(INTERFACE_A + zero_based); }

int ToLibusbTimeout(ULONG ms) { return static_cast<int>(std::clamp<ULONG>(ms, kMinUsbTimeoutMs, INT_MAX)); }

unsigned ChunkSize(ULONG requested, unsigned packet) {
  const ULONG capped = std::min(requested, kMaxTransferSize);
  const ULONG packets = std::max<ULONG>(1, (capped + packet - 1) / packet);
  return static_cast<unsigned>(packets * packet);
}

DWORD VersionNumber(const ftdi_version_info& v) {
  auto byte = [](int part) { return static_cast<DWORD>(std::clamp(part, 0, 0xFF)); };
  return byte(v.major) << 16 | byte(v.minor) << 8 | byte(v.micro);
}

// The MPSSE-capable interfaces of the attached bridges, in FT_Open's order.
// The libftdi device lists stay alive with it, so that its devices can be
// opened.
class Enumeration {
 public:
  struct Slot {
    libusb_device* dev;
    ftdi_interface interface;
  };

  explicit Enumeration(const LibftdiApi& api) : api_(api) {}
  ~Enumeration() {
    for (ftdi_device_list* list : lists_) api_.list_free(&list);
  }
  Enumeration(const Enumeration&) = delete;
  Enumeration& operator=(const Enumeration&) = delete;

  // 0, or the code of the ftdi_usb_find_all that failed.
  int Scan(ftdi_context* ftdi) {
    for (const BridgeProduct& product : kBridgeProducts) {
      ftdi_device_list* list = nullptr;
      const int found = api_.usb_find_all(ftdi, &list, kFtdiVendorId, product.product_id);
      lists_.push_back(list);
      if (found < 0) return found;
      for (const ftdi_device_list* node = list; node != nullptr; node = node->next) {
        for (int i = 0; i < product.mpsse_interfaces; ++i) slots_.push_back({node->dev, InterfaceNumber(i)});
      }
    }
    return 0;
  }

  const std::vector<Slot>& slots() const { return slots_; }

 private:
  const LibftdiApi& api_;
  std::vector<ftdi_device_list*> lists_;
  std::vector<Slot> slots_;
};

}  // namespace

struct LibftdiBackend::Device {
  ContextPtr ftdi;
  std::vector<std::uint8_t> held;  // received, not yet read
  std::chrono::milliseconds read_timeout{kDefaultTimeoutMs};
};

const LibftdiApi& RealLibftdi() {
  static const LibftdiApi api = {
      .new_context = ftdi_new,
      .free_context = ftdi_free,
      .usb_find_all = ftdi_usb_find_all,
      .list_free = ftdi_list_free,
      .set_interface = ftdi_set_interface,
      .usb_open_dev = ftdi_usb_open_dev,
      .usb_close = ftdi_usb_close,
      .read_data = ftdi_read_data,
      .write_data = ftdi_write_data,
      .tciflush = ftdi_tciflush,
      .tcoflush = ftdi_tcoflush,
      .tcioflush = ftdi_tcioflush,
      .set_bitmode = ftdi_set_bitmode,
      .set_latency_timer = ftdi_set_latency_timer,
      .get_latency_timer = ftdi_get_latency_timer,
      .read_data_set_chunksize = ftdi_read_data_set_chunksize,
      .write_data_set_chunksize = ftdi_write_data_set_chunksize,
      .get_library_version = ftdi_get_library_version,
      .get_error_string = ftdi_get_error_string,
      .max_packet_size = [](ftdi_context* ftdi) -> unsigned { return ftdi->max_packet_size; },
      .set_usb_timeouts =
          [](ftdi_context* ftdi, int read_ms, int write_ms) {
            ftdi->usb_read_timeout = read_ms;
            ftdi->usb_write_timeout = write_ms;
          },
  };
  return api;
}

Clock SystemClock() {
  return {
      .now = [] { return std::chrono::steady_clock::now(); },
      .sleep = [](std::chrono::milliseconds pause) { std::this_thread::sleep_for(pause); },
  };
}

LibftdiBackend::LibftdiBackend(const LibftdiApi& api, Clock clock) : api_(api), clock_(std::move(clock)) {}

LibftdiBackend::~LibftdiBackend() {
  for (const auto& device : devices_) api_.usb_close(device->ftdi.get());
}

LibftdiBackend::ContextPtr LibftdiBackend::NewContext() const {
  return ContextPtr(api_.new_context(), ContextDeleter{&api_});
}

LibftdiBackend::Device* LibftdiBackend::Find(FT_HANDLE handle) {
  const auto it = std::find_if(devices_.begin(), devices_.end(),
                               [handle](const auto& device) { return device.get() == handle; });
  return it != devices_.end() ? it->get() : nullptr;
}

FT_STATUS LibftdiBackend::Fail(Call call, int code, ftdi_context* ftdi) {
  const CallInfo& info = InfoOf(call);
  FT_STATUS status = info.status;
  const char* hint = info.hint;
  for (const Rule& rule : kRules) {
    if (rule.call == call && rule.code == code) {
      status = rule.status;
      hint = rule.hint;
    }
  }
  const char* library_text = ftdi != nullptr ? api_.get_error_string(ftdi) : nullptr;
  const std::string cause = library_text != nullptr ? library_text : "";

  last_error_ = "libftdi: " + std::string(info.name) + "() failed (" + std::to_string(code) + ")";
  if (hint != nullptr) {
    last_error_ += ": " + std::string(hint);
    if (!cause.empty()) last_error_ += " (" + cause + ")";
  } else if (!cause.empty()) {
    last_error_ += ": " + cause;
  }
  return status;
}

FT_STATUS LibftdiBackend::Refuse(FT_STATUS status) {
  last_error_.clear();
  return status;
}

FT_STATUS LibftdiBackend::Check(Call call, int result, ftdi_context* ftdi) {
  return result < 0 ? Fail(call, result, ftdi) : FT_OK;
}

FT_STATUS LibftdiBackend::Apply(FT_HANDLE handle, Call call, const std::function<int(ftdi_context*)>& op) {
  Device* device = Find(handle);
  if (device == nullptr) return Refuse(FT_INVALID_HANDLE);
  ftdi_context* ftdi = device->ftdi.get();
  return Check(call, op(ftdi), ftdi);
}

std::string LibftdiBackend::LastErrorText() const { return last_error_; }

FT_STATUS LibftdiBackend::ListDevices(DWORD* count) {
  // A listing starts each connect attempt: the cause of an earlier failure
  // must not be reported for this one.
  last_error_.clear();
  *count = 0;
  const ContextPtr ftdi = NewContext();
  if (!ftdi) return FT_OK;  // without libusb there is no bridge
  Enumeration bridges(api_);
  if (const int code = bridges.Scan(ftdi.get()); code < 0) return Fail(Call::kUsbFindAll, code, ftdi.get());
  *count = static_cast<DWORD>(bridges.slots().size());
  return FT_OK;
}

FT_STATUS LibftdiBackend::Open(int index, FT_HANDLE* handle) {
  if (index < 0) return Refuse(FT_DEVICE_NOT_FOUND);
  ContextPtr ftdi = NewContext();
  if (!ftdi) return Refuse(FT_DEVICE_NOT_FOUND);
  {
    Enumeration bridges(api_);
    if (const int code = bridges.Scan(ftdi.get()); code < 0) return Fail(Call::kUsbFindAll, code, ftdi.get());
    if (static_cast<std::size_t>(index) >= bridges.slots().size()) return Refuse(FT_DEVICE_NOT_FOUND);
    const Enumeration::Slot& slot = bridges.slots()[static_cast<std::size_t>(index)];
    if (const int code = api_.set_interface(ftdi.get(), slot.interface); code < 0) {
      return Fail(Call::kSetInterface, code, ftdi.get());
    }
    if (const int code = api_.usb_open_dev(ftdi.get(), slot.dev); code < 0) {
      return Fail(Call::kUsbOpen, code, ftdi.get());
    }
  }
  devices_.push_back(std::make_unique<Device>(Device{std::move(ftdi), {}, {}}));
  Device& device = *devices_.back();
  *handle = &device;
  return SetTimeouts(&device, kDefaultTimeoutMs, kDefaultTimeoutMs);
}

FT_STATUS LibftdiBackend::Close(FT_HANDLE handle) {
  const Device* device = Find(handle);
  if (device == nullptr) return Refuse(FT_INVALID_HANDLE);
  // Its only failure, the interface not released, still closes the device.
  api_.usb_close(device->ftdi.get());
  std::erase_if(devices_, [device](const auto& open) { return open.get() == device; });
  return FT_OK;
}

FT_STATUS LibftdiBackend::GetDriverVersion(FT_HANDLE handle, DWORD* version) {
  // The handle is live when the bridge still answers a control request.
  unsigned char latency = 0;
  const FT_STATUS status = Apply(handle, Call::kGetLatencyTimer,
                                 [&](ftdi_context* ftdi) { return api_.get_latency_timer(ftdi, &latency); });
  return status != FT_OK ? status : GetLibraryVersion(version);
}

FT_STATUS LibftdiBackend::GetLibraryVersion(DWORD* version) {
  *version = VersionNumber(api_.get_library_version());
  return FT_OK;
}

FT_STATUS LibftdiBackend::Purge(FT_HANDLE handle, ULONG mask) {
  Device* device = Find(handle);
  if (device == nullptr) return Refuse(FT_INVALID_HANDLE);
  ftdi_context* ftdi = device->ftdi.get();
  switch (mask) {
    case 0:
      return FT_OK;
    case FT_PURGE_RX:
      device->held.clear();
      return Check(Call::kTciflush, api_.tciflush(ftdi), ftdi);
    case FT_PURGE_TX:
      return Check(Call::kTcoflush, api_.tcoflush(ftdi), ftdi);
    case FT_PURGE_RX | FT_PURGE_TX:
      device->held.clear();
      return Check(Call::kTcioflush, api_.tcioflush(ftdi), ftdi);
    default:
      return Refuse(FT_INVALID_PARAMETER);
  }
}

FT_STATUS LibftdiBackend::SetBitMode(FT_HANDLE handle, UCHAR mask, UCHAR mode) {
  return Apply(handle, Call::kSetBitmode, [&](ftdi_context* ftdi) { return api_.set_bitmode(ftdi, mask, mode); });
}

FT_STATUS LibftdiBackend::SetLatencyTimer(FT_HANDLE handle, UCHAR ms) {
  return Apply(handle, Call::kSetLatencyTimer, [&](ftdi_context* ftdi) { return api_.set_latency_timer(ftdi, ms); });
}

FT_STATUS LibftdiBackend::SetTimeouts(FT_HANDLE handle, ULONG read_ms, ULONG write_ms) {
  Device* device = Find(handle);
  if (device == nullptr) return Refuse(FT_INVALID_HANDLE);
  device->read_timeout = std::chrono::milliseconds(read_ms);
  api_.set_usb_timeouts(device->ftdi.get(), ToLibusbTimeout(read_ms), ToLibusbTimeout(write_ms));
  return FT_OK;
}

FT_STATUS LibftdiBackend::SetUSBParameters(FT_HANDLE handle, ULONG in_size, ULONG out_size) {
  Device* device = Find(handle);
  if (device == nullptr) return Refuse(FT_INVALID_HANDLE);
  ftdi_context* ftdi = device->ftdi.get();
  const unsigned reported_packet = api_.max_packet_size(ftdi);
  const unsigned packet = reported_packet != 0 ? reported_packet : 64;
  if (const FT_STATUS status =
          Check(Call::kReadChunksize, api_.read_data_set_chunksize(ftdi, ChunkSize(in_size, packet)), ftdi);
      status != FT_OK) {
    return status;
  }
  return Check(Call::kWriteChunksize, api_.write_data_set_chunksize(ftdi, ChunkSize(out_size, packet)), ftdi);
}

FT_STATUS LibftdiBackend::Write(FT_HANDLE handle, const std::uint8_t* data, DWORD size, DWORD* written) {
  *written = 0;
  Device* device = Find(handle);
  if (device == nullptr) return Refuse(FT_INVALID_HANDLE);
  if (size > INT_MAX) return Refuse(FT_INVALID_PARAMETER);
  ftdi_context* ftdi = device->ftdi.get();
  const int sent = api_.write_data(ftdi, data, static_cast<int>(size));
  if (sent < 0) return Fail(Call::kWriteData, sent, ftdi);
  *written = static_cast<DWORD>(sent);
  return FT_OK;
}

FT_STATUS LibftdiBackend::Pull(Device& device, DWORD max_bytes) {
  const std::size_t before = device.held.size();
  const int asked = static_cast<int>(std::min(max_bytes, kMaxTransferSize));
  device.held.resize(before + static_cast<std::size_t>(asked));
  const int arrived = api_.read_data(device.ftdi.get(), device.held.data() + before, asked);
  device.held.resize(before + static_cast<std::size_t>(std::clamp(arrived, 0, asked)));
  return Check(Call::kReadData, arrived, device.ftdi.get());
}

FT_STATUS LibftdiBackend::Read(FT_HANDLE handle, std::uint8_t* data, DWORD size, DWORD* got) {
  *got = 0;
  Device* device = Find(handle);
  if (device == nullptr) return Refuse(FT_INVALID_HANDLE);
  auto take = [&] {
    const auto n = std::min<std::size_t>(device->held.size(), size - *got);
    std::copy_n(device->held.begin(), n, data + *got);
    device->held.erase(device->held.begin(), device->held.begin() + static_cast<std::ptrdiff_t>(n));
    *got += static_cast<DWORD>(n);
    return *got == size;
  };
  const auto deadline = clock_.now() + device->read_timeout;
  while (!take()) {
    if (const FT_STATUS status = Pull(*device, size - *got); status != FT_OK) return status;
    if (take() || clock_.now() >= deadline) break;
    clock_.sleep(kReadPollPause);
  }
  return FT_OK;
}

FT_STATUS LibftdiBackend::GetQueueStatus(FT_HANDLE handle, DWORD* waiting) {
  constexpr DWORD kPullSize = 4096;
  Device* device = Find(handle);
  if (device == nullptr) return Refuse(FT_INVALID_HANDLE);
  const FT_STATUS status = Pull(*device, kPullSize);
  *waiting = static_cast<DWORD>(device->held.size());
  return status;
}

}  // namespace ftdi_backend
