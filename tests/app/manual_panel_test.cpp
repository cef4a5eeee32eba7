// The manual access panel, shown by the test as it is built hidden.
#include <QLabel>
#include <QLineEdit>

#include "window_fixture.h"

namespace {

using ::testing::ElementsAre;

class ManualPanelTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    connectBoard();
    find("panel2")->show();
    for (const char* name : {"label9", "portdata", "portRead", "portWrite", "button1"}) find(name)->show();
  }
};

TEST_F(ManualPanelTest, EntryBoxesTakeOnlyHexadecimalDigitsAfterTheFixedPrefix) {
  type("sAddrbox", "g1z");
  EXPECT_EQ(textOf("sAddrbox"), "0x1");
  type("portdata", "1a2B3");
  EXPECT_EQ(textOf("portdata"), "0x1a2B");
}

TEST_F(ManualPanelTest, ReadShowsTheValueInTwoUpperCaseDigits) {
  board.PokeRegister(0x32, 0x0A);
  type("sAddrbox", "32");
  click("sReadbtn");
  EXPECT_THAT(trace(), ElementsAre("R32"));
  EXPECT_EQ(log(), "SPI  READ addr:0x32; Returned data: 0x0A\r\n");
  EXPECT_EQ(textOf("sDatabox"), "0x0A");
}

TEST_F(ManualPanelTest, FailedReadShowsZero) {
  type("sDatabox", "77");
  bus.FailNext("FT_Write");
  click("sReadbtn");
  EXPECT_EQ(textOf("sDatabox"), "0x00");
}

TEST_F(ManualPanelTest, WriteSendsTheTypedBytes) {
  type("sAddrbox", "31");
  type("sDatabox", "40");
  click("sWritebtn");
  EXPECT_THAT(trace(), ElementsAre("W31=40"));
  EXPECT_EQ(log(), "SPI WRITE addr:0x31; Written  data: 0x40\r\n");
}

TEST_F(ManualPanelTest, OneDigitIsAWholeNumber) {
  type("sAddrbox", "7");
  type("sDatabox", "a");
  click("sWritebtn");
  EXPECT_THAT(trace(), ElementsAre("W07=0A"));
}

struct Refusal {
  const char* emptied;
  const char* button;
  const char* line;
};

class RefusalTest : public ManualPanelTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, AnEmptyEntrySendsNothingAndSaysWhy) {
  type("sAddrbox", "31");
  type("sDatabox", "40");
  type(GetParam().emptied, "");
  click(GetParam().button);
  EXPECT_TRUE(ops().empty());
  EXPECT_EQ(log(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, RefusalTest,
    ::testing::Values(
        Refusal{"sAddrbox", "sReadbtn", "Nothing sent: the address box holds no hexadecimal number after 0x\r\n"},
        Refusal{"sAddrbox", "sWritebtn", "Nothing sent: the address box holds no hexadecimal number after 0x\r\n"},
        Refusal{"sDatabox", "sWritebtn", "Nothing sent: the data box holds no hexadecimal number after 0x\r\n"},
        Refusal{"portdata", "portWrite", "Nothing sent: the port box holds no hexadecimal number after 0x\r\n"}));

TEST_F(ManualPanelTest, ShortFrameShowsTheResponseWordAndTheFlag) {
  board.PokeRegister(0x21, 0x01);  // a pending flag shows as FSI
  click("button3");
  EXPECT_EQ(kvtest::DecodeBus(bus).front().kind, kvtest::BusOp::Kind::ShortFrame);
  // The chip rejects the 15-clock frame and answers 0xFF04.
  EXPECT_EQ(textOf("label54"), "0xFF04");
  EXPECT_TRUE(checked("FSIBox"));
  EXPECT_EQ(log(), "");
}

TEST_F(ManualPanelTest, FailedShortFrameShowsZero) {
  bus.FailNext("FT_Write");
  click("button3");
  EXPECT_EQ(textOf("label54"), "0x00");
}

TEST_F(ManualPanelTest, WakeSendsTheWakeFrameQuietly) {
  click("SPIwakeBtn");
  EXPECT_THAT(trace(), ElementsAre("W00=00"));
  EXPECT_EQ(log(), "");
  EXPECT_THAT(sleeps.pauses(), ::testing::Contains(1u));
}

TEST_F(ManualPanelTest, PortReadShowsAWordWithHighBitsInFull) {
  const std::uint16_t levels = board.LineLevels();
  ASSERT_NE(levels & 0xF000, 0);  // undriven bits 12-15 read high
  click("portRead");
  char expected[16];
  std::snprintf(expected, sizeof expected, "0x%03X", levels);
  EXPECT_EQ(textOf("portdata").toStdString(), expected);
  EXPECT_THAT(ops(), ElementsAre(::testing::Field(&kvtest::BusOp::kind, kvtest::BusOp::Kind::PortRead)));
}

TEST_F(ManualPanelTest, FailedPortReadShowsZero) {
  bus.FailNext("FT_Read");
  click("portRead");
  EXPECT_EQ(textOf("portdata"), "0x000");
}

TEST_F(ManualPanelTest, PortWriteSendsTheWordAndShowsTheReadBack) {
  type("portdata", "418");
  click("portWrite");
  EXPECT_THAT(portWrites(), ElementsAre(0x0418));
  EXPECT_EQ(ops().back().kind, kvtest::BusOp::Kind::PortRead);
  bool ok = false;
  const unsigned shown = textOf("portdata").mid(2).toUInt(&ok, 16);
  ASSERT_TRUE(ok);
  EXPECT_EQ(shown & 0x0CD8u, 0x0418u);
  // The pin boxes keep what they showed.
  EXPECT_FALSE(checked("HSPWMbox"));
}

TEST_F(ManualPanelTest, DebugReadWithNothingPendingGivesUpQuietly) {
  click("button1");
  EXPECT_EQ(log(), "");
  EXPECT_FALSE(sleeps.pauses().empty());
  EXPECT_THAT(sleeps.pauses(), ::testing::Each(1u));
  EXPECT_THAT(bus.CallNames(), ::testing::Not(::testing::Contains("FT_Read")));
}

TEST_F(ManualPanelTest, DebugReadLogsAPendingByte) {
  kvtest::ScriptedBackend answering;
  d2xx::SetBackend(&answering);
  answering.QueueAnswer({0x5A});
  click("button1");
  EXPECT_EQ(log(), "Additional READ: 0x5A\r\n");
}

}  // namespace
