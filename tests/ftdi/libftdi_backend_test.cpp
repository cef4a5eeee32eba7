// The libftdi backend driven through a fake libftdi: enumeration, opening,
// the read deadline loop, the error statuses and texts, and the settings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <libusb.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "bridge/d2xx.h"
#include "bridge/device_access.h"
#include "bridge/ftdi/libftdi_backend.h"
#include "bridge/link_state.h"
#include "bridge/sleep.h"
#include "fake_libftdi.h"

namespace {

using ftdi_backend::LibftdiBackend;
using ftdi_fake::FakeLibftdi;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

constexpr int kFT2232H = 0x6010;
constexpr int kFT4232H = 0x6011;
constexpr int kFT232H = 0x6014;
constexpr int kFT232R = 0x6001;  // no MPSSE engine

FT_STATUS OpenAt(LibftdiBackend& backend, int index) {
  FT_HANDLE handle = nullptr;
  return backend.Open(index, &handle);
}

class LibftdiBackendTest : public ::testing::Test {
 protected:
  // Plugs an FT232H, opens it and forgets the calls that took.
  FT_HANDLE OpenBridge() {
    fake.Plug(kFT232H);
    FT_HANDLE handle = nullptr;
    EXPECT_EQ(backend.Open(0, &handle), FT_OK);
    fake.calls.clear();
    return handle;
  }

  FakeLibftdi fake;
  LibftdiBackend backend{FakeLibftdi::Api(), fake.MakeClock()};
};

// --- Enumeration and opening ---

struct CountCase {
  const char* name;
  std::vector<int> plugged;
  DWORD count;
};
void PrintTo(const CountCase& c, std::ostream* os) { *os << c.name; }

class DeviceCountTest : public LibftdiBackendTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(DeviceCountTest, CountsEachMpsseInterfaceAsOneDevice) {
  for (int product : GetParam().plugged) fake.Plug(product);
  DWORD count = 99;
  EXPECT_EQ(backend.ListDevices(&count), FT_OK);
  EXPECT_EQ(count, GetParam().count);
  EXPECT_THAT(fake.calls, ElementsAre("usb_find_all(0403:6010)", "usb_find_all(0403:6011)",
                                      "usb_find_all(0403:6014)", "free_context()"));
  EXPECT_EQ(fake.live_lists, 0);
  EXPECT_EQ(fake.live_contexts, 0);
}

INSTANTIATE_TEST_SUITE_P(Products, DeviceCountTest,
                         ::testing::Values(CountCase{"none", {}, 0},
                                           CountCase{"ft2232h", {kFT2232H}, 2},
                                           CountCase{"ft4232h", {kFT4232H}, 2},
                                           CountCase{"ft232h", {kFT232H}, 1},
                                           CountCase{"ft232r_has_no_mpsse", {kFT232R}, 0},
                                           CountCase{"mixed", {kFT232H, kFT2232H, kFT232R, kFT4232H}, 5},
                                           CountCase{"two_ft232h", {kFT232H, kFT232H}, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

struct OpenCase {
  int index;
  const char* device;
  const char* interface;
};

class OpenIndexTest : public LibftdiBackendTest, public ::testing::WithParamInterface<OpenCase> {};

// Plugged: #0 FT232H, #1 FT2232H, #2 FT4232H. Counted FT2232H, FT4232H, FT232H.
TEST_P(OpenIndexTest, SelectsTheInterfaceBeforeOpeningThatDevice) {
  fake.Plug(kFT232H);
  fake.Plug(kFT2232H);
  fake.Plug(kFT4232H);
  FT_HANDLE handle = nullptr;
  ASSERT_EQ(backend.Open(GetParam().index, &handle), FT_OK);
  EXPECT_NE(handle, nullptr);
  EXPECT_THAT(fake.calls, ::testing::IsSupersetOf({std::string("set_interface(") + GetParam().interface + ")",
                                                   std::string("usb_open_dev(") + GetParam().device + ")"}));
  const auto set = std::find(fake.calls.begin(), fake.calls.end(),
                             std::string("set_interface(") + GetParam().interface + ")");
  EXPECT_EQ(*std::next(set), std::string("usb_open_dev(") + GetParam().device + ")");
  EXPECT_EQ(fake.live_lists, 0);
  EXPECT_EQ(fake.live_contexts, 1);
}

INSTANTIATE_TEST_SUITE_P(Indexes, OpenIndexTest,
                         ::testing::Values(OpenCase{0, "#1", "A"}, OpenCase{1, "#1", "B"}, OpenCase{2, "#2", "A"},
                                           OpenCase{3, "#2", "B"}, OpenCase{4, "#0", "A"}));

TEST_F(LibftdiBackendTest, OpenedHandlesAreDistinctAndEachClosesItsOwnContext) {
  fake.Plug(kFT2232H);
  FT_HANDLE a = nullptr;
  FT_HANDLE b = nullptr;
  ASSERT_EQ(backend.Open(0, &a), FT_OK);
  ASSERT_EQ(backend.Open(1, &b), FT_OK);
  EXPECT_NE(a, b);
  EXPECT_EQ(fake.live_contexts, 2);

  EXPECT_EQ(backend.Close(a), FT_OK);
  EXPECT_EQ(fake.live_contexts, 1);
  DWORD version = 0;
  EXPECT_EQ(backend.GetDriverVersion(a, &version), FT_INVALID_HANDLE);
  EXPECT_EQ(backend.GetDriverVersion(b, &version), FT_OK);
}

TEST_F(LibftdiBackendTest, CloseReleasesTheHandleEvenWhenTheInterfaceCannotBeReleased) {
  FT_HANDLE handle = OpenBridge();
  fake.Fail("usb_close", -1, "usb_release failed");
  EXPECT_EQ(backend.Close(handle), FT_OK);
  EXPECT_THAT(fake.calls, ElementsAre("usb_close()", "free_context()"));
  EXPECT_EQ(backend.Close(handle), FT_INVALID_HANDLE);
}

TEST_F(LibftdiBackendTest, DestroyingTheBackendClosesWhatIsOpen) {
  {
    LibftdiBackend other{FakeLibftdi::Api(), fake.MakeClock()};
    fake.Plug(kFT232H);
    FT_HANDLE handle = nullptr;
    ASSERT_EQ(other.Open(0, &handle), FT_OK);
    fake.calls.clear();
  }
  EXPECT_THAT(fake.calls, ElementsAre("usb_close()", "free_context()"));
  EXPECT_EQ(fake.live_contexts, 0);
}

TEST_F(LibftdiBackendTest, DriverVersionFailsOnceTheBridgeIsGone) {
  FT_HANDLE handle = OpenBridge();
  DWORD version = 0;
  EXPECT_EQ(backend.GetDriverVersion(handle, &version), FT_OK);
  EXPECT_EQ(version, 0x010500u);

  fake.Fail("get_latency_timer", -1, "reading latency timer failed");
  EXPECT_EQ(backend.GetDriverVersion(handle, &version), FT_IO_ERROR);
}

TEST_F(LibftdiBackendTest, LibraryVersionPacksMajorMinorMicroIntoOneByteEach) {
  DWORD version = 0;
  EXPECT_EQ(backend.GetLibraryVersion(&version), FT_OK);
  EXPECT_EQ(version, 0x00010500u);

  fake.version = {2, 13, 7, "2.13.7", ""};
  EXPECT_EQ(backend.GetLibraryVersion(&version), FT_OK);
  EXPECT_EQ(version, 0x00020D07u);

  fake.version = {300, -1, 1, "", ""};
  EXPECT_EQ(backend.GetLibraryVersion(&version), FT_OK);
  EXPECT_EQ(version, 0x00FF0001u);
}

// --- Failures that are not the library's leave no text ---

struct QuietCase {
  const char* name;
  std::function<void(FakeLibftdi&)> scene;
  std::function<FT_STATUS(LibftdiBackend&)> call;
  FT_STATUS status;
};
void PrintTo(const QuietCase& c, std::ostream* os) { *os << c.name; }

class QuietFailureTest : public LibftdiBackendTest, public ::testing::WithParamInterface<QuietCase> {};

TEST_P(QuietFailureTest, FailsWithAnEmptyErrorText) {
  // A library failure first, so that a text left over would show.
  fake.Fail("usb_find_all", -5, "libusb_get_device_list() failed");
  DWORD count = 0;
  ASSERT_NE(backend.ListDevices(&count), FT_OK);
  ASSERT_NE(backend.LastErrorText(), "");
  fake.failures.clear();
  GetParam().scene(fake);

  EXPECT_EQ(GetParam().call(backend), GetParam().status);
  EXPECT_EQ(backend.LastErrorText(), "");
  EXPECT_EQ(fake.live_contexts, 0);
}

FT_HANDLE const kStranger = reinterpret_cast<FT_HANDLE>(0x1234);

INSTANTIATE_TEST_SUITE_P(
    Cases, QuietFailureTest,
    ::testing::Values(
        QuietCase{"no_bridge", [](FakeLibftdi&) {}, [](LibftdiBackend& b) { return OpenAt(b, 0); },
                  FT_DEVICE_NOT_FOUND},
        QuietCase{"index_past_the_last_interface", [](FakeLibftdi& f) { f.Plug(kFT2232H); },
                  [](LibftdiBackend& b) { return OpenAt(b, 2); }, FT_DEVICE_NOT_FOUND},
        QuietCase{"negative_index", [](FakeLibftdi& f) { f.Plug(kFT232H); },
                  [](LibftdiBackend& b) { return OpenAt(b, -1); }, FT_DEVICE_NOT_FOUND},
        QuietCase{"no_libusb", [](FakeLibftdi& f) { f.libusb_missing = true; },
                  [](LibftdiBackend& b) { return OpenAt(b, 0); }, FT_DEVICE_NOT_FOUND},
        QuietCase{"unknown_handle", [](FakeLibftdi&) {},
                  [](LibftdiBackend& b) { return b.SetLatencyTimer(kStranger, 3); }, FT_INVALID_HANDLE}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibftdiBackendTest, ANewListingForgetsTheCauseOfAnEarlierFailure) {
  fake.Plug(kFT232H);
  fake.Fail("usb_open_dev", -4, "libusb_open() failed");
  ASSERT_EQ(OpenAt(backend, 0), FT_DEVICE_NOT_OPENED);
  ASSERT_NE(backend.LastErrorText(), "");

  fake.devices.clear();  // unplugged before the next connect
  DWORD count = 99;
  EXPECT_EQ(backend.ListDevices(&count), FT_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(backend.LastErrorText(), "");
}

TEST_F(LibftdiBackendTest, WithoutLibusbThereIsNoBridge) {
  fake.libusb_missing = true;
  fake.Plug(kFT232H);
  DWORD count = 99;
  EXPECT_EQ(backend.ListDevices(&count), FT_OK);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(backend.LastErrorText(), "");
}

TEST_F(LibftdiBackendTest, CallsOnAnUnknownHandleReachNoLibrary) {
  OpenBridge();
  std::uint8_t byte = 0;
  DWORD n = 0;
  EXPECT_EQ(backend.Purge(kStranger, FT_PURGE_RX), FT_INVALID_HANDLE);
  EXPECT_EQ(backend.SetBitMode(kStranger, 0, FT_BITMODE_MPSSE), FT_INVALID_HANDLE);
  EXPECT_EQ(backend.SetTimeouts(kStranger, 200, 200), FT_INVALID_HANDLE);
  EXPECT_EQ(backend.SetUSBParameters(kStranger, 2, 2), FT_INVALID_HANDLE);
  EXPECT_EQ(backend.Write(kStranger, &byte, 1, &n), FT_INVALID_HANDLE);
  EXPECT_EQ(backend.Read(kStranger, &byte, 1, &n), FT_INVALID_HANDLE);
  EXPECT_EQ(backend.GetQueueStatus(kStranger, &n), FT_INVALID_HANDLE);
  EXPECT_EQ(backend.Close(kStranger), FT_INVALID_HANDLE);
  EXPECT_THAT(fake.calls, IsEmpty());
}

// --- Library errors: status by call site, code and text for the user ---

struct ErrorCase {
  const char* name;
  const char* function;  // the libftdi function that fails
  int code;
  const char* library_text;
  std::function<FT_STATUS(LibftdiBackend&, FT_HANDLE)> call;
  FT_STATUS status;
  const char* text;
};
void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class LibraryErrorTest : public LibftdiBackendTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(LibraryErrorTest, MapsToTheStatusOfTheCallAndNamesTheCause) {
  FT_HANDLE handle = OpenBridge();
  fake.Fail(GetParam().function, GetParam().code, GetParam().library_text);
  EXPECT_EQ(GetParam().call(backend, handle), GetParam().status);
  EXPECT_EQ(backend.LastErrorText(), GetParam().text);
}

FT_STATUS OpenAgain(LibftdiBackend& b, FT_HANDLE) { return OpenAt(b, 0); }
FT_STATUS List(LibftdiBackend& b, FT_HANDLE) {
  DWORD count = 0;
  return b.ListDevices(&count);
}
FT_STATUS WriteTwo(LibftdiBackend& b, FT_HANDLE h) {
  const std::uint8_t bytes[] = {0x85, 0x87};
  DWORD written = 0;
  return b.Write(h, bytes, 2, &written);
}
FT_STATUS ReadOne(LibftdiBackend& b, FT_HANDLE h) {
  std::uint8_t byte = 0;
  DWORD got = 0;
  return b.Read(h, &byte, 1, &got);
}
FT_STATUS QueueStatus(LibftdiBackend& b, FT_HANDLE h) {
  DWORD waiting = 0;
  return b.GetQueueStatus(h, &waiting);
}

INSTANTIATE_TEST_SUITE_P(
    Sites, LibraryErrorTest,
    ::testing::Values(
        ErrorCase{"open_without_permission", "usb_open_dev", -4, "libusb_open() failed", OpenAgain,
                  FT_DEVICE_NOT_OPENED,
                  "libftdi: usb_open() failed (-4): check the udev rule in the README (libusb_open() failed)"},
        ErrorCase{"open_detach_refused", "usb_open_dev", -8, "inappropriate permissions on device!", OpenAgain,
                  FT_DEVICE_NOT_OPENED,
                  "libftdi: usb_open() failed (-8): check the udev rule in the README (inappropriate "
                  "permissions on device!)"},
        ErrorCase{"open_interface_held", "usb_open_dev", -5, "unable to claim usb device", OpenAgain,
                  FT_DEVICE_NOT_OPENED,
                  "libftdi: usb_open() failed (-5): the kernel's ftdi_sio driver or another program holds the "
                  "bridge; close that program or unplug and replug the board (unable to claim usb device)"},
        ErrorCase{"open_reset_failed", "usb_open_dev", -6, "ftdi_usb_reset failed", OpenAgain,
                  FT_DEVICE_NOT_OPENED,
                  "libftdi: usb_open() failed (-6): unplug and replug the board (ftdi_usb_reset failed)"},
        ErrorCase{"open_interface_refused", "set_interface", -3, "Interface can not be changed", OpenAgain,
                  FT_OTHER_ERROR, "libftdi: set_interface() failed (-3): Interface can not be changed"},
        ErrorCase{"open_list_out_of_memory", "usb_find_all", -3, "out of memory", OpenAgain,
                  FT_INSUFFICIENT_RESOURCES, "libftdi: usb_find_all() failed (-3): out of memory"},
        ErrorCase{"list_fails", "usb_find_all", -5, "libusb_get_device_list() failed", List, FT_IO_ERROR,
                  "libftdi: usb_find_all() failed (-5): libusb_get_device_list() failed"},
        ErrorCase{"purge_rx", "tciflush", -1, "FTDI purge of RX buffer failed",
                  [](LibftdiBackend& b, FT_HANDLE h) { return b.Purge(h, FT_PURGE_RX); }, FT_IO_ERROR,
                  "libftdi: tciflush() failed (-1): FTDI purge of RX buffer failed"},
        ErrorCase{"purge_tx", "tcoflush", -2, "FTDI purge of TX buffer failed",
                  [](LibftdiBackend& b, FT_HANDLE h) { return b.Purge(h, FT_PURGE_TX); }, FT_IO_ERROR,
                  "libftdi: tcoflush() failed (-2): FTDI purge of TX buffer failed"},
        ErrorCase{"purge_both", "tcioflush", -3, "USB device unavailable",
                  [](LibftdiBackend& b, FT_HANDLE h) { return b.Purge(h, FT_PURGE_RX | FT_PURGE_TX); },
                  FT_IO_ERROR, "libftdi: tcioflush() failed (-3): USB device unavailable"},
        ErrorCase{"bitmode", "set_bitmode", -1, "unable to configure bitbang mode",
                  [](LibftdiBackend& b, FT_HANDLE h) { return b.SetBitMode(h, 0, FT_BITMODE_MPSSE); },
                  FT_IO_ERROR, "libftdi: set_bitmode() failed (-1): unable to configure bitbang mode"},
        ErrorCase{"latency_out_of_range", "set_latency_timer", -1, "latency out of range",
                  [](LibftdiBackend& b, FT_HANDLE h) { return b.SetLatencyTimer(h, 0); }, FT_INVALID_PARAMETER,
                  "libftdi: set_latency_timer() failed (-1): latency out of range"},
        ErrorCase{"latency_not_set", "set_latency_timer", -2, "unable to set latency timer",
                  [](LibftdiBackend& b, FT_HANDLE h) { return b.SetLatencyTimer(h, 3); }, FT_IO_ERROR,
                  "libftdi: set_latency_timer() failed (-2): unable to set latency timer"},
        ErrorCase{"read_chunk", "read_data_set_chunksize", -1, "out of memory for readbuffer",
                  [](LibftdiBackend& b, FT_HANDLE h) { return b.SetUSBParameters(h, 2, 2); },
                  FT_INSUFFICIENT_RESOURCES,
                  "libftdi: read_data_set_chunksize() failed (-1): out of memory for readbuffer"},
        ErrorCase{"write_chunk", "write_data_set_chunksize", -1, "ftdi context invalid",
                  [](LibftdiBackend& b, FT_HANDLE h) { return b.SetUSBParameters(h, 2, 2); },
                  FT_INSUFFICIENT_RESOURCES, "libftdi: write_data_set_chunksize() failed (-1): ftdi context invalid"},
        ErrorCase{"write_unplugged", "write_data", LIBUSB_ERROR_NO_DEVICE, "usb bulk write failed", WriteTwo,
                  FT_IO_ERROR,
                  "libftdi: write_data() failed (-4): the bridge is gone; check the USB cable (usb bulk write failed)"},
        ErrorCase{"write_no_answer", "write_data", LIBUSB_ERROR_TIMEOUT, "usb bulk write failed", WriteTwo,
                  FT_IO_ERROR,
                  "libftdi: write_data() failed (-7): the bridge stopped answering; unplug and replug the board "
                  "(usb bulk write failed)"},
        ErrorCase{"write_other", "write_data", LIBUSB_ERROR_PIPE, "usb bulk write failed", WriteTwo, FT_IO_ERROR,
                  "libftdi: write_data() failed (-9): usb bulk write failed"},
        ErrorCase{"read_unplugged", "read_data", LIBUSB_ERROR_NO_DEVICE, "usb bulk read failed", ReadOne,
                  FT_IO_ERROR,
                  "libftdi: read_data() failed (-4): the bridge is gone; check the USB cable (usb bulk read failed)"},
        ErrorCase{"queue_no_answer", "read_data", LIBUSB_ERROR_TIMEOUT, "usb bulk read failed", QueueStatus,
                  FT_IO_ERROR,
                  "libftdi: read_data() failed (-7): the bridge stopped answering; unplug and replug the board "
                  "(usb bulk read failed)"},
        ErrorCase{"no_library_text", "set_bitmode", -2, "",
                  [](LibftdiBackend& b, FT_HANDLE h) { return b.SetBitMode(h, 0, FT_BITMODE_RESET); }, FT_IO_ERROR,
                  "libftdi: set_bitmode() failed (-2)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibftdiBackendTest, AFailedOpenReleasesItsContextAndDeviceLists) {
  fake.Plug(kFT2232H);
  for (const char* function : {"usb_find_all", "set_interface", "usb_open_dev"}) {
    SCOPED_TRACE(function);
    fake.failures.clear();
    fake.Fail(function, -3, "refused");
    EXPECT_NE(OpenAt(backend, 0), FT_OK);
    EXPECT_EQ(fake.live_contexts, 0);
    EXPECT_EQ(fake.live_lists, 0);
  }
}

// --- Reading: the deadline loop ---

struct Arrival {
  int at_ms;
  std::vector<std::uint8_t> bytes;
  int error = 0;
};

struct ReadCase {
  const char* name;
  std::vector<Arrival> arrivals;
  DWORD asked;
  ULONG timeout_ms;
  FT_STATUS status;
  std::vector<std::uint8_t> bytes;
  int elapsed_ms;
};
void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ReadLoopTest : public LibftdiBackendTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadLoopTest, WaitsForTheAskedCountUntilTheReadTimeOut) {
  const ReadCase& c = GetParam();
  FT_HANDLE handle = OpenBridge();
  ASSERT_EQ(backend.SetTimeouts(handle, c.timeout_ms, 200), FT_OK);
  for (const Arrival& a : c.arrivals) {
    if (a.error != 0) {
      fake.BreakAt(a.at_ms, a.error, "usb bulk read failed");
    } else {
      fake.Arrive(a.at_ms, a.bytes);
    }
  }

  std::vector<std::uint8_t> buffer(c.asked, 0xEE);
  DWORD got = 99;
  EXPECT_EQ(backend.Read(handle, buffer.data(), c.asked, &got), c.status);
  ASSERT_LE(got, c.asked);
  EXPECT_THAT(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + got), ElementsAreArray(c.bytes));
  EXPECT_EQ(fake.now_ms, c.elapsed_ms);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadLoopTest,
    ::testing::Values(
        ReadCase{"all_waiting", {{0, {1, 2, 3}}}, 3, 200, FT_OK, {1, 2, 3}, 0},
        ReadCase{"chunks_in_time", {{0, {1}}, {5, {2, 3}}, {12, {4}}}, 4, 200, FT_OK, {1, 2, 3, 4}, 12},
        ReadCase{"last_byte_at_the_deadline", {{0, {1}}, {200, {2}}}, 2, 200, FT_OK, {1, 2}, 200},
        ReadCase{"short_at_the_deadline", {{0, {1}}, {201, {2}}}, 2, 200, FT_OK, {1}, 200},
        ReadCase{"nothing_at_all", {}, 17, 200, FT_OK, {}, 200},
        ReadCase{"zero_time_out_polls_once", {{1, {1}}}, 1, 0, FT_OK, {}, 0},
        ReadCase{"error_mid_way", {{0, {1}}, {4, {}, LIBUSB_ERROR_NO_DEVICE}, {6, {2}}}, 2, 200, FT_IO_ERROR,
                 {1}, 4},
        ReadCase{"nothing_asked", {{0, {1}}}, 0, 200, FT_OK, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibftdiBackendTest, UntilTimeOutsAreSetAReadWaitsTheDefault) {
  FT_HANDLE handle = OpenBridge();
  std::uint8_t byte = 0;
  DWORD got = 0;
  EXPECT_EQ(backend.Read(handle, &byte, 1, &got), FT_OK);
  EXPECT_EQ(got, 0u);
  EXPECT_EQ(fake.now_ms, static_cast<int>(ftdi_backend::kDefaultTimeoutMs));
}

TEST_F(LibftdiBackendTest, BytesBeyondTheAskedCountWaitForTheNextRead) {
  FT_HANDLE handle = OpenBridge();
  fake.Arrive(0, {1, 2, 3});
  DWORD waiting = 0;
  ASSERT_EQ(backend.GetQueueStatus(handle, &waiting), FT_OK);
  ASSERT_EQ(waiting, 3u);

  std::uint8_t bytes[3] = {};
  DWORD got = 0;
  ASSERT_EQ(backend.Read(handle, bytes, 1, &got), FT_OK);
  EXPECT_EQ(got, 1u);
  EXPECT_EQ(bytes[0], 1);
  fake.Arrive(0, {4});
  ASSERT_EQ(backend.Read(handle, bytes, 3, &got), FT_OK);
  EXPECT_THAT(bytes, ElementsAre(2, 3, 4));
}

TEST_F(LibftdiBackendTest, QueueStatusPullsOnceAndCountsWhatIsHeld) {
  FT_HANDLE handle = OpenBridge();
  fake.Arrive(0, {1, 2});
  fake.Arrive(5, {3, 4, 5});
  DWORD waiting = 0;
  ASSERT_EQ(backend.GetQueueStatus(handle, &waiting), FT_OK);
  EXPECT_EQ(waiting, 2u);
  ASSERT_EQ(backend.GetQueueStatus(handle, &waiting), FT_OK);
  EXPECT_EQ(waiting, 2u) << "nothing new has arrived";
  fake.now_ms = 5;
  ASSERT_EQ(backend.GetQueueStatus(handle, &waiting), FT_OK);
  EXPECT_EQ(waiting, 5u);
  EXPECT_EQ(fake.now_ms, 5) << "the queue status does not wait";
}

TEST_F(LibftdiBackendTest, PurgingTheReceiveSideDropsWhatTheBackendHolds) {
  FT_HANDLE handle = OpenBridge();
  ASSERT_EQ(backend.SetTimeouts(handle, 0, 0), FT_OK);
  for (ULONG mask : {FT_PURGE_RX, FT_PURGE_RX | FT_PURGE_TX}) {
    SCOPED_TRACE(mask);
    fake.Arrive(fake.now_ms, {7, 8});
    DWORD waiting = 0;
    ASSERT_EQ(backend.GetQueueStatus(handle, &waiting), FT_OK);
    ASSERT_EQ(waiting, 2u);
    ASSERT_EQ(backend.Purge(handle, mask), FT_OK);
    std::uint8_t byte = 0;
    DWORD got = 9;
    EXPECT_EQ(backend.Read(handle, &byte, 1, &got), FT_OK);
    EXPECT_EQ(got, 0u);
  }
}

struct PurgeCase {
  ULONG mask;
  FT_STATUS status;
  std::vector<std::string> calls;
};

class PurgeTest : public LibftdiBackendTest, public ::testing::WithParamInterface<PurgeCase> {};

TEST_P(PurgeTest, MapsTheMaskToOneFlush) {
  FT_HANDLE handle = OpenBridge();
  EXPECT_EQ(backend.Purge(handle, GetParam().mask), GetParam().status);
  EXPECT_EQ(fake.calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(Masks, PurgeTest,
                         ::testing::Values(PurgeCase{FT_PURGE_RX, FT_OK, {"tciflush()"}},
                                           PurgeCase{FT_PURGE_TX, FT_OK, {"tcoflush()"}},
                                           PurgeCase{FT_PURGE_RX | FT_PURGE_TX, FT_OK, {"tcioflush()"}},
                                           PurgeCase{0, FT_OK, {}},
                                           PurgeCase{4, FT_INVALID_PARAMETER, {}}));

// --- Settings ---

struct TransferCase {
  unsigned packet;
  ULONG in;
  ULONG out;
  const char* read_chunk;
  const char* write_chunk;
};

class TransferSizeTest : public LibftdiBackendTest, public ::testing::WithParamInterface<TransferCase> {};

TEST_P(TransferSizeTest, RoundsUpToWholeUsbPackets) {
  fake.max_packet_size = GetParam().packet;
  FT_HANDLE handle = OpenBridge();
  EXPECT_EQ(backend.SetUSBParameters(handle, GetParam().in, GetParam().out), FT_OK);
  EXPECT_THAT(fake.calls, ElementsAre(std::string("read_data_set_chunksize(") + GetParam().read_chunk + ")",
                                      std::string("write_data_set_chunksize(") + GetParam().write_chunk + ")"));
}

INSTANTIATE_TEST_SUITE_P(Sizes, TransferSizeTest,
                         ::testing::Values(TransferCase{512, 2, 2, "512", "512"},  // the board's set-up, high speed
                                           TransferCase{64, 2, 2, "64", "64"},     // full speed
                                           TransferCase{0, 2, 2, "64", "64"},      // packet size unknown
                                           TransferCase{512, 4096, 513, "4096", "1024"},
                                           TransferCase{512, 0, 0, "512", "512"},
                                           TransferCase{512, 0xFFFFFFFF, 65536, "65536", "65536"}));

TEST_F(LibftdiBackendTest, UsbTransferTimeOutsFollowTheTimeOutsButStayAboveTheLatencyTimer) {
  fake.Plug(kFT232H);
  FT_HANDLE handle = nullptr;
  ASSERT_EQ(backend.Open(0, &handle), FT_OK);
  EXPECT_THAT(fake.calls, Contains("set_usb_timeouts(1000, 1000)"));

  const std::pair<std::pair<ULONG, ULONG>, const char*> cases[] = {
      {{200, 200}, "set_usb_timeouts(300, 300)"},
      {{1000, 5000}, "set_usb_timeouts(1000, 5000)"},
      {{0, 0}, "set_usb_timeouts(300, 300)"},
      {{0xFFFFFFFF, 300}, "set_usb_timeouts(2147483647, 300)"},
  };
  for (const auto& [times, call] : cases) {
    fake.calls.clear();
    EXPECT_EQ(backend.SetTimeouts(handle, times.first, times.second), FT_OK);
    EXPECT_THAT(fake.calls, ElementsAre(call));
  }
}

// --- Through the bridge layer: the board's connect and set-up ---

class BridgeLayerTest : public LibftdiBackendTest {
 protected:
  void SetUp() override {
    bridge::ResetLinkState();
    bridge::SetSleepFunction(&FakeLibftdi::SleepOnCurrent);
    d2xx::SetBackend(&backend);
  }
  void TearDown() override {
    d2xx::SetBackend(nullptr);
    bridge::SetSleepFunction(nullptr);
    bridge::ResetLinkState();
  }
};

TEST_F(BridgeLayerTest, ConnectAndInitialisationReachLibftdiInOrder) {
  fake.Plug(kFT2232H);
  ASSERT_TRUE(FTDI_OpenDevice());
  fake.calls.clear();
  ASSERT_TRUE(NEVO_InitFTDI());
  EXPECT_THAT(fake.calls, ElementsAre("set_latency_timer(3)", "tcioflush()", "set_bitmode(00, 00)",
                                      "set_bitmode(00, 02)", "tcioflush()", "set_usb_timeouts(300, 300)",
                                      "tciflush()", "write_data(85 87)", "tciflush()", "write_data(86 05 00)",
                                      "read_data_set_chunksize(512)", "write_data_set_chunksize(512)",
                                      "write_data(80 08 DB 82 00 0C)"));
}

TEST_F(BridgeLayerTest, OpeningFailsWithTheCauseForTheLog) {
  fake.Plug(kFT232H);
  fake.Fail("usb_open_dev", -4, "libusb_open() failed");
  EXPECT_FALSE(FTDI_OpenDevice());
  EXPECT_EQ(ftHandle, nullptr);
  EXPECT_EQ(d2xx::LastErrorText(),
            "libftdi: usb_open() failed (-4): check the udev rule in the README (libusb_open() failed)");
}

TEST_F(BridgeLayerTest, OpeningWithoutABridgeFailsWithNoCause) {
  EXPECT_FALSE(FTDI_OpenDevice());
  EXPECT_EQ(d2xx::LastErrorText(), "");
  EXPECT_THAT(fake.calls, Not(Contains(HasSubstr("usb_open_dev"))));
}

TEST_F(BridgeLayerTest, AnswersOfAnSpiReadArriveThroughTheWaitingRead) {
  fake.Plug(kFT232H);
  ASSERT_TRUE(FTDI_OpenDevice());
  ASSERT_TRUE(NEVO_InitFTDI());
  fake.Arrive(fake.now_ms + 3, {0x5A});
  std::uint8_t byte = 0;
  EXPECT_TRUE(FTDI_WaitReceiveBuffer(&byte, 1, 200));
  EXPECT_EQ(byte, 0x5A);
}

}  // namespace
