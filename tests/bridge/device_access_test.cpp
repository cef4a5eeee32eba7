#include <vector>

#include "bridge_fixture.h"
#include "bridge/port.h"

using Bytes = std::vector<std::uint8_t>;
using Args = std::vector<std::uint32_t>;

namespace {

struct Step {
  const char* fn;
  Args args;
  Bytes bytes;
};

// The library sees exactly this when every initialisation call succeeds.
const std::vector<Step> kInitSequence = {
    {"FT_SetLatencyTimer", {3}, {}},
    {"FT_Purge", {3}, {}},
    {"FT_SetBitMode", {0, 0}, {}},
    {"FT_SetBitMode", {0, 2}, {}},
    {"FT_Purge", {3}, {}},
    {"FT_SetTimeouts", {200, 200}, {}},
    {"FT_Purge", {1}, {}},
    {"FT_Write", {2}, {0x85, 0x87}},
    {"FT_Purge", {1}, {}},
    {"FT_Write", {3}, {0x86, 0x05, 0x00}},
    {"FT_SetUSBParameters", {2, 2}, {}},
    {"FT_Write", {6}, {0x80, 0x08, 0xDB, 0x82, 0x00, 0x0C}},
};

void ExpectSequence(const std::vector<kvtest::Call>& calls) {
  ASSERT_EQ(calls.size(), kInitSequence.size());
  for (std::size_t i = 0; i < calls.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(calls[i].fn, kInitSequence[i].fn);
    EXPECT_EQ(calls[i].args, kInitSequence[i].args);
    if (!kInitSequence[i].bytes.empty()) {
      EXPECT_EQ(calls[i].data, kInitSequence[i].bytes);
    }
  }
}

}  // namespace

TEST_F(BridgeTest, InitialisationSendsTheFixedSequenceAndPausesBeforeThePortWord) {
  Open();
  EXPECT_TRUE(NEVO_InitFTDI());
  ExpectSequence(backend.calls());
  EXPECT_EQ(sleeps.pauses(), std::vector<unsigned>{30});
  EXPECT_EQ(portstate, 0x0008);
}

// Whichever step fails, every later step still runs and the result is false.
TEST_F(BridgeTest, InitialisationRunsEveryStepWhenOneFails) {
  for (std::size_t failing = 0; failing < kInitSequence.size(); ++failing) {
    SCOPED_TRACE(failing);
    bridge::ResetLinkState();
    Open();
    backend.FailCallNumber(failing, FT_IO_ERROR);
    EXPECT_FALSE(NEVO_InitFTDI());
    // A failed purge or write inside a loop-back step ends that step early;
    // every other step is still made.
    std::vector<std::string> names = backend.CallNames();
    EXPECT_EQ(names.front(), "FT_SetLatencyTimer");
    EXPECT_EQ(names.back(), "FT_Write");
    EXPECT_EQ(backend.calls().back().data, (Bytes{0x80, 0x08, 0xDB, 0x82, 0x00, 0x0C}));
    EXPECT_EQ(std::count(names.begin(), names.end(), "FT_SetUSBParameters"), 1);
    sleeps.clear();
  }
}

TEST_F(BridgeTest, InitialisationWithoutAHandleMakesNoCallButStillPauses) {
  EXPECT_FALSE(NEVO_InitFTDI());
  EXPECT_TRUE(backend.calls().empty());
  EXPECT_EQ(sleeps.pauses(), std::vector<unsigned>{30});
}

TEST_F(BridgeTest, OpenListsOpensIndexZeroAndQueriesTheDriver) {
  backend.device_count = 3;
  EXPECT_TRUE(FTDI_OpenDevice());
  EXPECT_EQ(backend.CallNames(), (std::vector<std::string>{"FT_ListDevices", "FT_Open", "FT_GetDriverVersion"}));
  EXPECT_EQ(backend.calls()[1].args, Args{0});
  EXPECT_NE(ftHandle, nullptr);
}

TEST_F(BridgeTest, OpenWithALiveHandleOnlyAsksTheDriverVersion) {
  Open();
  EXPECT_TRUE(FTDI_OpenDevice());
  EXPECT_EQ(backend.CallNames(), std::vector<std::string>{"FT_GetDriverVersion"});
}

TEST_F(BridgeTest, OpenWithAStaleHandleClosesItBeforeOpeningAnew) {
  Open();
  backend.FailNext("FT_GetDriverVersion");
  EXPECT_TRUE(FTDI_OpenDevice());
  EXPECT_EQ(backend.CallNames(), (std::vector<std::string>{"FT_GetDriverVersion", "FT_Close", "FT_ListDevices",
                                                          "FT_Open", "FT_GetDriverVersion"}));
}

TEST_F(BridgeTest, OpenFailures) {
  backend.device_count = 0;
  EXPECT_FALSE(FTDI_OpenDevice());
  EXPECT_EQ(backend.CallNames(), std::vector<std::string>{"FT_ListDevices"});

  backend.device_count = 1;
  backend.FailNext("FT_ListDevices");
  EXPECT_FALSE(FTDI_OpenDevice());
  backend.FailNext("FT_Open", FT_DEVICE_NOT_OPENED);
  EXPECT_FALSE(FTDI_OpenDevice());
  EXPECT_EQ(ftHandle, nullptr);
}

TEST_F(BridgeTest, CloseRules) {
  EXPECT_FALSE(FTDI_CloseDevice());
  EXPECT_TRUE(backend.calls().empty());

  Open();
  backend.FailNext("FT_Close");
  EXPECT_FALSE(FTDI_CloseDevice());
  EXPECT_NE(ftHandle, nullptr) << "a failed close keeps the handle";
  EXPECT_TRUE(FTDI_CloseDevice());
  EXPECT_EQ(ftHandle, nullptr);
  EXPECT_FALSE(FTDI_CloseDevice());
  EXPECT_EQ(backend.CallNames(), (std::vector<std::string>{"FT_Close", "FT_Close"}));
}

TEST_F(BridgeTest, WaitQueuePollsOncePerMillisecondOfTimeOutPlusOne) {
  Open();
  EXPECT_FALSE(FTDI_WaitQueue(1, 0));
  EXPECT_EQ(backend.CallNames(), std::vector<std::string>{"FT_GetQueueStatus"});
  EXPECT_EQ(sleeps.pauses(), std::vector<unsigned>{1});

  backend.ClearCalls();
  sleeps.clear();
  EXPECT_FALSE(FTDI_WaitQueue(1, 4));
  EXPECT_EQ(backend.calls().size(), 5u);
  EXPECT_EQ(sleeps.total_ms(), 5u);

  backend.ClearCalls();
  sleeps.clear();
  backend.QueueAnswer({1, 2, 3});
  EXPECT_TRUE(FTDI_WaitQueue(3, 0));
  EXPECT_EQ(backend.calls().size(), 1u);
  EXPECT_TRUE(sleeps.pauses().empty());

  backend.FailNext("FT_GetQueueStatus");
  EXPECT_FALSE(FTDI_WaitQueue(1, 200));
}

TEST_F(BridgeTest, WaitReceiveBufferReadsOnceTheBytesAreThere) {
  Open();
  std::uint8_t byte = 0;
  EXPECT_FALSE(FTDI_WaitReceiveBuffer(&byte, 0, 200));
  EXPECT_FALSE(FTDI_WaitReceiveBuffer(nullptr, 1, 200));
  EXPECT_TRUE(backend.calls().empty());

  backend.QueueAnswer({0x5A});
  EXPECT_TRUE(FTDI_WaitReceiveBuffer(&byte, 1, 200));
  EXPECT_EQ(byte, 0x5A);
  EXPECT_EQ(backend.CallNames(), (std::vector<std::string>{"FT_GetQueueStatus", "FT_Read"}));
}

TEST_F(BridgeTest, TransferAndReceiveCheckTheCount) {
  Open();
  const Bytes bytes = {1, 2, 3};
  EXPECT_TRUE(FTDI_TransferBuffer(bytes.data(), 3));
  backend.ShortNext("FT_Write");
  EXPECT_FALSE(FTDI_TransferBuffer(bytes.data(), 3));
  EXPECT_FALSE(FTDI_TransferBuffer(bytes.data(), 0));
  EXPECT_FALSE(FTDI_TransferBuffer(nullptr, 3));

  std::uint8_t in[2] = {};
  backend.QueueAnswer({7});
  EXPECT_FALSE(FTDI_ReceiveBuffer(in, 2)) << "one byte of two arrived";
}

TEST_F(BridgeTest, ClockDivisorGoesLowByteFirst) {
  Open();
  EXPECT_TRUE(FTDI_SetClkDivisor(5));
  EXPECT_TRUE(FTDI_SetClkDivisor(256));
  EXPECT_EQ(backend.Written(), (std::vector<Bytes>{{0x86, 0x05, 0x00}, {0x86, 0x00, 0x01}}));
}

TEST_F(BridgeTest, LoopBackCommandsArePurgedOnBothSides) {
  Open();
  EXPECT_TRUE(FTDI_ConnectLoopBack());
  EXPECT_EQ(backend.CallNames(), (std::vector<std::string>{"FT_Purge", "FT_Write", "FT_Purge"}));
  EXPECT_EQ(backend.Written(), (std::vector<Bytes>{{0x84, 0x87}}));
  backend.FailNext("FT_Purge");
  EXPECT_FALSE(FTDI_DisConnectLoopBack());
}

TEST_F(BridgeTest, MpsseSetupMakesAllFourCallsEvenAfterAFailure) {
  Open();
  backend.FailNext("FT_SetBitMode");
  EXPECT_FALSE(FTDI_SetMpsse());
  EXPECT_EQ(backend.calls().size(), 4u);
  EXPECT_TRUE(FTDI_SetMpsse());
  EXPECT_TRUE(FTDI_PurgeBuffer());
  EXPECT_EQ(backend.calls().back().args, Args{1});
}

TEST_F(BridgeTest, EveryFunctionRefusesANullHandleWithoutACall) {
  std::uint8_t byte = 0;
  std::uint16_t word = 0;
  EXPECT_FALSE(FTDI_SetMpsse());
  EXPECT_FALSE(FTDI_PurgeBuffer());
  EXPECT_FALSE(FTDI_TransferBuffer(&byte, 1));
  EXPECT_FALSE(FTDI_WaitQueue(1, 0));
  EXPECT_FALSE(FTDI_ReceiveBuffer(&byte, 1));
  EXPECT_FALSE(FTDI_SetLatencyTimer(3));
  EXPECT_FALSE(FTDI_SetTimeouts(200, 200));
  EXPECT_FALSE(FTDI_SetUSBParameters(2, 2));
  EXPECT_FALSE(FTDI_ConnectLoopBack());
  EXPECT_FALSE(NEVO_SetPort(0x0008));
  EXPECT_FALSE(NEVO_GetPort(&word));
  EXPECT_TRUE(backend.calls().empty());
}
