// A stand-in for libftdi1 and for time, behind the backend's function table:
// bridges plugged by product id, calls that fail with a chosen code and text,
// bytes that arrive at chosen moments, and a clock that moves only when the
// backend pauses.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bridge/ftdi/libftdi_backend.h"

namespace ftdi_fake {

class FakeLibftdi {
 public:
  // The table's functions go to the most recently created fake.
  FakeLibftdi();
  ~FakeLibftdi();
  FakeLibftdi(const FakeLibftdi&) = delete;
  FakeLibftdi& operator=(const FakeLibftdi&) = delete;

  static const ftdi_backend::LibftdiApi& Api();
  ftdi_backend::Clock MakeClock();
  // A pause in the shape of bridge::SleepFunction that moves the clock of
  // the current fake.
  static void SleepOnCurrent(unsigned milliseconds);

  // Scenario.
  // Attaches a bridge; the first plugged is "#0", the next "#1"...
  void Plug(int product_id);
  // Every later call of that libftdi function (named without "ftdi_") fails.
  void Fail(const std::string& function, int code, const std::string& text);
  // Bytes the bridge sends at at_ms.
  void Arrive(int at_ms, std::vector<std::uint8_t> bytes);
  // ftdi_read_data fails once with code, at at_ms (after what arrived before).
  void BreakAt(int at_ms, int code, const std::string& text);

  bool libusb_missing = false;
  unsigned max_packet_size = 512;
  ftdi_version_info version{1, 5, 0, "1.5", "unknown"};

  // What happened. Calls other than ftdi_read_data are recorded with their
  // arguments, e.g. "set_interface(B)", "usb_open_dev(#1)", "write_data(85 87)",
  // "set_usb_timeouts(300, 300)".
  std::vector<std::string> calls;
  int now_ms = 0;
  int live_contexts = 0;
  int live_lists = 0;

  // The table's functions work on what follows.
  struct Context;
  struct Device {
    int product_id;
    std::string name;
  };
  struct Event {
    int at_ms;
    std::vector<std::uint8_t> bytes;
    int error;
    std::string text;
  };

  Context& ContextOf(ftdi_context* ftdi);
  // 0, or the code of the failure set for function (recorded on ftdi).
  int Failure(const std::string& function, ftdi_context* ftdi);
  ftdi_context* NewContext();
  void FreeContext(ftdi_context* ftdi);
  int FindAll(ftdi_context* ftdi, ftdi_device_list** list, int vendor, int product);
  int ReadData(ftdi_context* ftdi, unsigned char* buf, int size);
  int FlushReceived(ftdi_context* ftdi, const char* function);

  std::deque<Device> devices;
  std::deque<Event> events;
  std::map<std::string, std::pair<int, std::string>> failures;
  std::map<ftdi_context*, std::unique_ptr<Context>> contexts;
  int polls_at_same_time = 0;
  int last_poll_ms = -1;
};

struct FakeLibftdi::Context {
  ftdi_context storage{};
  std::string error;
  int interface = 0;
  const Device* open = nullptr;
};

// Bytes as the fake records them: "85 87".
std::string Hex(const std::uint8_t* data, std::size_t size);

}  // namespace ftdi_fake
