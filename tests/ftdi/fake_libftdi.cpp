#include "fake_libftdi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace ftdi_fake {
namespace {

FakeLibftdi* g_fake = nullptr;

FakeLibftdi& Fake() { return *g_fake; }

std::string Hex4(int value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(value) & 0xFFFFu);
  return text;
}

std::string Call(const std::string& function, const std::string& arguments = {}) {
  return function + "(" + arguments + ")";
}

// The calls that only set something: record, then fail if told to.
int Setter(ftdi_context* ftdi, const std::string& function, const std::string& arguments) {
  Fake().calls.push_back(Call(function, arguments));
  return Fake().Failure(function, ftdi);
}

const ftdi_backend::LibftdiApi kApi = {
    .new_context = [] { return Fake().NewContext(); },
    .free_context = [](ftdi_context* ftdi) { Fake().FreeContext(ftdi); },
    .usb_find_all = [](ftdi_context* ftdi, ftdi_device_list** list, int vendor,
                       int product) { return Fake().FindAll(ftdi, list, vendor, product); },
    .list_free =
        [](ftdi_device_list** list) {
          if (*list != nullptr) --Fake().live_lists;
          while (*list != nullptr) delete std::exchange(*list, (*list)->next);
        },
    .set_interface =
        [](ftdi_context* ftdi, ftdi_interface interface) {
          Fake().ContextOf(ftdi).interface = interface;
          return Setter(ftdi, "set_interface", std::string(1, static_cast<char>('A' + interface - INTERFACE_A)));
        },
    .usb_open_dev =
        [](ftdi_context* ftdi, libusb_device* dev) {
          const auto* device = reinterpret_cast<const FakeLibftdi::Device*>(dev);
          const int code = Setter(ftdi, "usb_open_dev", device->name);
          if (code == 0) Fake().ContextOf(ftdi).open = device;
          return code;
        },
    .usb_close =
        [](ftdi_context* ftdi) {
          Fake().ContextOf(ftdi).open = nullptr;
          return Setter(ftdi, "usb_close", {});
        },
    .read_data = [](ftdi_context* ftdi, unsigned char* buf,
                    int size) { return Fake().ReadData(ftdi, buf, size); },
    .write_data =
        [](ftdi_context* ftdi, const unsigned char* buf, int size) {
          const int code = Setter(ftdi, "write_data", Hex(buf, static_cast<std::size_t>(size)));
          return code != 0 ? code : size;
        },
    .tciflush = [](ftdi_context* ftdi) { return Fake().FlushReceived(ftdi, "tciflush"); },
    .tcoflush = [](ftdi_context* ftdi) { return Setter(ftdi, "tcoflush", {}); },
    .tcioflush = [](ftdi_context* ftdi) { return Fake().FlushReceived(ftdi, "tcioflush"); },
    .set_bitmode =
        [](ftdi_context* ftdi, unsigned char bitmask, unsigned char mode) {
          return Setter(ftdi, "set_bitmode", Hex(&bitmask, 1) + ", " + Hex(&mode, 1));
        },
    .set_latency_timer = [](ftdi_context* ftdi,
                            unsigned char latency) { return Setter(ftdi, "set_latency_timer", std::to_string(latency)); },
    .get_latency_timer =
        [](ftdi_context* ftdi, unsigned char* latency) {
          *latency = 3;
          return Setter(ftdi, "get_latency_timer", {});
        },
    .read_data_set_chunksize =
        [](ftdi_context* ftdi, unsigned int chunksize) {
          return Setter(ftdi, "read_data_set_chunksize", std::to_string(chunksize));
        },
    .write_data_set_chunksize =
        [](ftdi_context* ftdi, unsigned int chunksize) {
          return Setter(ftdi, "write_data_set_chunksize", std::to_string(chunksize));
        },
    .get_library_version = [] { return Fake().version; },
    .get_error_string = [](ftdi_context* ftdi) { return Fake().ContextOf(ftdi).error.c_str(); },
    .max_packet_size = [](ftdi_context*) { return Fake().max_packet_size; },
    .set_usb_timeouts =
        [](ftdi_context* ftdi, int read_ms, int write_ms) {
          Setter(ftdi, "set_usb_timeouts", std::to_string(read_ms) + ", " + std::to_string(write_ms));
        },
};

}  // namespace

std::string Hex(const std::uint8_t* data, std::size_t size) {
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02X", data[i]);
    text += (i == 0 ? "" : " ") + std::string(byte);
  }
  return text;
}

FakeLibftdi::FakeLibftdi() { g_fake = this; }

FakeLibftdi::~FakeLibftdi() {
  if (g_fake == this) g_fake = nullptr;
}

const ftdi_backend::LibftdiApi& FakeLibftdi::Api() { return kApi; }

ftdi_backend::Clock FakeLibftdi::MakeClock() {
  return {
      .now = [this] { return std::chrono::steady_clock::time_point{} + std::chrono::milliseconds(now_ms); },
      .sleep = [this](std::chrono::milliseconds pause) { now_ms += static_cast<int>(pause.count()); },
  };
}

void FakeLibftdi::SleepOnCurrent(unsigned milliseconds) { Fake().now_ms += static_cast<int>(milliseconds); }

void FakeLibftdi::Plug(int product_id) {
  devices.push_back({product_id, "#" + std::to_string(devices.size())});
}

void FakeLibftdi::Fail(const std::string& function, int code, const std::string& text) {
  failures[function] = {code, text};
}

void FakeLibftdi::Arrive(int at_ms, std::vector<std::uint8_t> bytes) {
  events.push_back({at_ms, std::move(bytes), 0, {}});
}

void FakeLibftdi::BreakAt(int at_ms, int code, const std::string& text) { events.push_back({at_ms, {}, code, text}); }

FakeLibftdi::Context& FakeLibftdi::ContextOf(ftdi_context* ftdi) {
  const auto it = contexts.find(ftdi);
  if (it == contexts.end()) {
    ADD_FAILURE() << "libftdi call on a context that is not alive";
    static Context dead;
    return dead;
  }
  return *it->second;
}

int FakeLibftdi::Failure(const std::string& function, ftdi_context* ftdi) {
  const auto it = failures.find(function);
  if (it == failures.end()) return 0;
  ContextOf(ftdi).error = it->second.second;
  return it->second.first;
}

ftdi_context* FakeLibftdi::NewContext() {
  if (libusb_missing) return nullptr;
  auto context = std::make_unique<Context>();
  ftdi_context* ftdi = &context->storage;
  contexts[ftdi] = std::move(context);
  ++live_contexts;
  return ftdi;
}

void FakeLibftdi::FreeContext(ftdi_context* ftdi) {
  calls.push_back(Call("free_context"));
  if (contexts.erase(ftdi) == 0) ADD_FAILURE() << "context freed twice";
  --live_contexts;
}

int FakeLibftdi::FindAll(ftdi_context* ftdi, ftdi_device_list** list, int vendor, int product) {
  *list = nullptr;
  if (const int code = Setter(ftdi, "usb_find_all", Hex4(vendor) + ":" + Hex4(product)); code != 0) return code;
  int found = 0;
  ftdi_device_list** tail = list;
  for (Device& device : devices) {
    if (vendor != 0x0403 || device.product_id != product) continue;
    *tail = new ftdi_device_list{nullptr, reinterpret_cast<libusb_device*>(&device)};
    tail = &(*tail)->next;
    ++found;
  }
  if (*list != nullptr) ++live_lists;
  return found;
}

int FakeLibftdi::ReadData(ftdi_context* ftdi, unsigned char* buf, int size) {
  Context& context = ContextOf(ftdi);
  if (context.open == nullptr) {
    context.error = "USB device unavailable";
    return -666;
  }
  if (const int code = Failure("read_data", ftdi); code != 0) return code;
  // A loop that polls without pausing would never see time move.
  polls_at_same_time = now_ms == last_poll_ms ? polls_at_same_time + 1 : 0;
  last_poll_ms = now_ms;
  if (polls_at_same_time > 1000) {
    ADD_FAILURE() << "ftdi_read_data polled 1000 times without a pause";
    return -999;
  }
  int copied = 0;
  while (!events.empty() && events.front().at_ms <= now_ms && copied < size) {
    Event& event = events.front();
    if (event.error != 0) {
      if (copied > 0) break;
      context.error = event.text;
      const int code = event.error;
      events.pop_front();
      return code;
    }
    const auto n = std::min<std::size_t>(event.bytes.size(), static_cast<std::size_t>(size - copied));
    std::copy_n(event.bytes.begin(), n, buf + copied);
    event.bytes.erase(event.bytes.begin(), event.bytes.begin() + static_cast<std::ptrdiff_t>(n));
    copied += static_cast<int>(n);
    if (event.bytes.empty()) events.pop_front();
  }
  return copied;
}

int FakeLibftdi::FlushReceived(ftdi_context* ftdi, const char* function) {
  std::erase_if(events, [this](const Event& event) { return event.error == 0 && event.at_ms <= now_ms; });
  return Setter(ftdi, function, {});
}

}  // namespace ftdi_fake
