#include <array>

#include "bridge/port.h"
#include "bridge/spi.h"
#include "bridge_fixture.h"
#include "bus_decode.h"

using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Repeat(const Bytes& group, int times) {
  Bytes out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), group.begin(), group.end());
  return out;
}
Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

struct WordCase {
  bool write;
  bool dft;
  std::uint8_t addr;
  std::uint8_t data;
  std::uint16_t expected;
};

}  // namespace

TEST(CommandWord, ParityAndDftAddressBit) {
  const WordCase cases[] = {
      {false, false, 0x00, 0x00, 0x8000}, {false, false, 0x64, 0x00, 0x2400}, {false, true, 0x64, 0x00, 0xA400},
      {false, true, 0x21, 0x00, 0x2100},  {true, false, 0x1F, 0x00, 0xDF00},  {true, true, 0x1F, 0x00, 0x5F00},
      {true, true, 0x64, 0xFF, 0xE4FF},   {true, false, 0x11, 0x00, 0x5100},  {true, false, 0x31, 0x55, 0xF155},
      {false, false, 0x21, 0x00, 0xA100}, {true, false, 0x00, 0x00, 0x4000},  {true, true, 0x00, 0x00, 0x4000},
      {false, false, 0x21, 0x77, 0xA100},  // a read sends no data
  };
  for (const WordCase& c : cases) {
    EXPECT_EQ(spi::CommandWord(c.dft, c.write, c.addr, c.data), c.expected)
        << (c.write ? "write " : "read ") << (c.dft ? "dft " : "normal ") << int(c.addr);
  }
  // In normal mode every frame to 0x00-0x3F has an odd number of ones.
  for (int addr = 0; addr < 0x40; ++addr) {
    for (int data : {0x00, 0x01, 0x5A, 0xFF}) {
      const auto w = spi::CommandWord(false, true, static_cast<std::uint8_t>(addr), static_cast<std::uint8_t>(data));
      EXPECT_EQ(std::popcount(w) % 2, 1);
    }
    EXPECT_EQ(std::popcount(spi::CommandWord(false, false, static_cast<std::uint8_t>(addr), 0)) % 2, 1);
  }
}

TEST_F(BridgeTest, WriteStreamOfTheWorkedExample) {
  Open();
  NEVO_SetPort(0x0008);
  backend.ClearCalls();
  backend.QueueAnswer({0x04});
  EXPECT_TRUE(NEVO_SPIWrite(false, 0x31, 0x55));

  const Bytes one = {0x80, 0x03, 0xDB, 0x80, 0x02, 0xDB};
  const Bytes zero = {0x80, 0x01, 0xDB, 0x80, 0x00, 0xDB};
  const Bytes expected = Cat({{0x80, 0x00, 0xDB}, {0x81}, Repeat(one, 4), Repeat(zero, 3), one,
                              Repeat(Cat({zero, one}), 4), {0x80, 0x08, 0xDB}});
  ASSERT_EQ(expected.size(), 103u);
  EXPECT_EQ(backend.Written(), std::vector<Bytes>{expected});
  EXPECT_EQ(backend.calls().back().args, std::vector<std::uint32_t>{1}) << "one answer byte is read";
  EXPECT_TRUE(FSI);
}

TEST_F(BridgeTest, ReadStreamOfTheWorkedExample) {
  Open();
  NEVO_SetPort(0x0098);
  backend.ClearCalls();
  backend.QueueAnswer(kvtest::SpiReadAnswer(0xC3, false, 0xA5));
  std::uint8_t value = 0;
  EXPECT_TRUE(NEVO_SPIRead(false, 0x21, &value));
  EXPECT_EQ(value, 0xC3);
  EXPECT_FALSE(FSI);

  const Bytes one = {0x80, 0x93, 0xDB, 0x80, 0x92, 0xDB};
  const Bytes zero = {0x80, 0x91, 0xDB, 0x80, 0x90, 0xDB};
  const Bytes expected =
      Cat({{0x80, 0x90, 0xDB}, {0x81}, one, zero, one, Repeat(zero, 4), one, Repeat(zero, 8), {0x87},
           {0x80, 0x98, 0xDB}, Repeat({0x87}, 26), {0x80, 0x90, 0xDB}, one, {0x81}, Repeat(Cat({zero, {0x81}}), 15),
           {0x80, 0x98, 0xDB}});
  ASSERT_EQ(expected.size(), 248u);
  EXPECT_EQ(backend.Written(), std::vector<Bytes>{expected});
  EXPECT_EQ(backend.calls().back().args, std::vector<std::uint32_t>{17});
}

TEST_F(BridgeTest, ShortFrameStreamIsTheWakeWordOneClockShort) {
  Open();
  backend.QueueAnswer(kvtest::SpiReadAnswer(0x34, false, 0x12));
  EXPECT_EQ(NEVO_INVSPIWrite(), 0x1234);
  const auto ops = kvtest::DecodeBus(backend);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].bytes.size(), 241u);
  EXPECT_EQ(ops[0].kind, kvtest::BusOp::Kind::ShortFrame);
  EXPECT_EQ(ops[0].word, 0x4000);
  // No flush between the first frame's last bit and its release.
  EXPECT_EQ(Bytes(ops[0].bytes.begin() + 94, ops[0].bytes.begin() + 97), (Bytes{0x80, 0x08, 0xDB}));
}

TEST_F(BridgeTest, ChipHoldingSdoHighReadsAllOnes) {
  Open();
  backend.QueueAnswer(Bytes(17, 0xFF));
  std::uint8_t value = 0;
  EXPECT_TRUE(NEVO_SPIRead(false, 0x22, &value));
  EXPECT_EQ(value, 0xFF);
  EXPECT_TRUE(NEVO_GetFSI());
  backend.QueueAnswer(Bytes(17, 0xFF));
  EXPECT_EQ(NEVO_INVSPIWrite(), 0xFFFF);
}

TEST_F(BridgeTest, StreamsLeaveNcsHighWhateverTheShadowWordSays) {
  Open();
  NEVO_SetPort(0x0000);  // chip selected from the pin panel
  backend.ClearCalls();
  backend.QueueAnswer({0});
  NEVO_SPIWrite(false, 0x31, 0x00);
  const Bytes stream = backend.Written().back();
  EXPECT_EQ(Bytes(stream.end() - 3, stream.end()), (Bytes{0x80, 0x08, 0xDB}));
  EXPECT_EQ(portstate, 0x0000);
}

// Every failure leaves the caller's byte and FSI alone; when answers were
// expected, the receive buffer is emptied so that they cannot arrive late.
TEST_F(BridgeTest, FailedOperationsTouchNothingAndDiscardLateAnswers) {
  enum class Fault { FailWrite, ShortWrite, FailRead, ShortRead };
  for (Fault fault : {Fault::FailWrite, Fault::ShortWrite, Fault::FailRead, Fault::ShortRead}) {
    for (int op = 0; op < 3; ++op) {
      SCOPED_TRACE(testing::Message() << "fault " << int(fault) << " op " << op);
      bridge::ResetLinkState();
      Open();
      FSI = true;
      const Bytes answer = op == 1 ? kvtest::SpiWriteAnswer(false) : kvtest::SpiReadAnswer(0x00);
      backend.QueueAnswer(answer);
      switch (fault) {
        case Fault::FailWrite: backend.FailNext("FT_Write"); break;
        case Fault::ShortWrite: backend.ShortNext("FT_Write"); break;
        case Fault::FailRead: backend.FailNext("FT_Read"); break;
        case Fault::ShortRead: backend.ShortNext("FT_Read"); break;
      }
      std::uint8_t value = 0x5A;
      if (op == 0) {
        EXPECT_FALSE(NEVO_SPIRead(false, 0x21, &value));
      } else if (op == 1) {
        EXPECT_FALSE(NEVO_SPIWrite(false, 0x31, 0x01));
      } else {
        EXPECT_EQ(NEVO_INVSPIWrite(), 0);
      }
      EXPECT_EQ(value, 0x5A);
      EXPECT_TRUE(FSI);
      EXPECT_EQ(backend.CallNames().back(), "FT_Purge");
      EXPECT_EQ(backend.QueuedAnswerBytes(), 0u);
      const bool wrote_fully = fault == Fault::FailRead || fault == Fault::ShortRead;
      const auto names = backend.CallNames();
      EXPECT_EQ(std::count(names.begin(), names.end(), "FT_Read"), wrote_fully ? 1 : 0);
    }
  }
}

TEST_F(BridgeTest, OperationsWithoutAHandleSendNothing) {
  std::uint8_t value = 7;
  EXPECT_FALSE(NEVO_SPIRead(false, 0x21, &value));
  EXPECT_FALSE(NEVO_SPIWrite(false, 0x21, 1));
  EXPECT_FALSE(NEVO_SPIWrite_WAKE(false));
  EXPECT_EQ(NEVO_INVSPIWrite(), 0);
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(backend.calls().empty());
  EXPECT_TRUE(sleeps.pauses().empty());
}

TEST_F(BridgeTest, WakeDrivesThePortLowSendsTheFrameAndDrivesItLowAgain) {
  std::vector<Bytes> per_mode;
  for (bool dft : {false, true}) {
    bridge::ResetLinkState();
    Open();
    NEVO_SetPort(0x0898);
    backend.ClearCalls();
    sleeps.clear();
    backend.QueueAnswer({0x04});
    EXPECT_TRUE(NEVO_SPIWrite_WAKE(dft));
    const auto ops = kvtest::DecodeBus(backend);
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_EQ(ops[0].kind, kvtest::BusOp::Kind::PortWrite);
    EXPECT_EQ(ops[0].word, 0x0000);
    EXPECT_EQ(ops[1].kind, kvtest::BusOp::Kind::RegWrite);
    EXPECT_EQ(ops[1].word, 0x4000);
    EXPECT_EQ(ops[1].bytes[1], 0x00) << "P is taken from the port as the first write left it";
    EXPECT_EQ(ops[2].kind, kvtest::BusOp::Kind::PortWrite);
    EXPECT_EQ(ops[2].word, 0x0000);
    EXPECT_EQ(sleeps.pauses(), std::vector<unsigned>{1});
    EXPECT_TRUE(FSI);
    Bytes all;
    for (const auto& w : backend.Written()) all.insert(all.end(), w.begin(), w.end());
    per_mode.push_back(all);
  }
  EXPECT_EQ(per_mode[0], per_mode[1]) << "the DFT argument changes nothing on the wire";
}

TEST_F(BridgeTest, WakeAfterAFailedFirstPortWriteKeepsTheOldWord) {
  Open();
  NEVO_SetPort(0x0898);
  backend.ClearCalls();
  backend.FailNext("FT_Write");
  backend.QueueAnswer({0x00});
  EXPECT_TRUE(NEVO_SPIWrite_WAKE(false));
  const auto ops = kvtest::DecodeBus(backend);
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[0].bytes[1], 0x90) << "the frame takes P from the old word";
  EXPECT_EQ(ops[1].kind, kvtest::BusOp::Kind::PortWrite);
  EXPECT_EQ(ops[1].word, 0x0898);
  EXPECT_EQ(portstate, 0x0898);
}

TEST_F(BridgeTest, WakeWithAFailedFrameSkipsTheFinalPortWrite) {
  Open();
  EXPECT_FALSE(NEVO_SPIWrite_WAKE(false));  // no answer byte arrives
  const auto ops = kvtest::DecodeBus(backend);
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(ops[1].kind, kvtest::BusOp::Kind::RegWrite);
}

TEST(StreamBuilders, SizesMatchTheFixedBuffers) {
  std::array<std::uint8_t, spi::kReadBufferSize> buf{};
  EXPECT_EQ(spi::BuildReadStream(buf.data(), 0x8000, 0xF0), spi::kReadStreamSize);
  EXPECT_EQ(spi::BuildShortFrameStream(buf.data(), 0xF0), spi::kShortFrameStreamSize);
  EXPECT_EQ(spi::BuildWriteStream(buf.data(), 0xFFFF, 0xF0), spi::kWriteStreamSize);
  EXPECT_LE(spi::kWriteStreamSize, spi::kWriteBufferSize);
}
