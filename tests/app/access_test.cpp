// The window's register access wrappers and the status refresh.
#include "window_fixture.h"

namespace {

using ::testing::ElementsAre;

class AccessTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    connectBoard();
  }
  bool fsiBox() const { return checked("FSIBox"); }
};

TEST_F(AccessTest, ReadLogsOneLineAndShowsTheFlagOfThatRead) {
  board.PokeRegister(0x21, 0x05);  // a pending flag: FSI high at the next frame
  std::uint8_t value = 0;
  EXPECT_TRUE(window->_NEVO_SPIRead(false, 0x21, value));
  EXPECT_EQ(value, 0x05);
  EXPECT_EQ(log(), "SPI  READ addr:0x21; Returned data: 0x05\r\n");
  EXPECT_TRUE(fsiBox());
}

TEST_F(AccessTest, WriteLogsTheFullAddressBeforeSending) {
  EXPECT_TRUE(window->_NEVO_SPIWrite(false, 0x31, 0x42));
  EXPECT_EQ(log(), "SPI WRITE addr:0x31; Written  data: 0x42\r\n");
  EXPECT_THAT(trace(), ElementsAre("W31=42"));
  EXPECT_EQ(board.PeekRegister(0x31), 0x42);
  clearLog();
  // A DFT register is logged with all eight address bits.
  window->_NEVO_SPIWrite(true, 0x41, 0x02);
  EXPECT_EQ(log(), "SPI WRITE addr:0x41; Written  data: 0x02\r\n");
}

TEST_F(AccessTest, WriteShowsThePreviousFrameFlagAndTheNextReadItsOwn) {
  std::uint8_t value = 0;
  window->_NEVO_SPIRead(false, 0x00, value);
  ASSERT_FALSE(fsiBox());
  board.PokeRegister(0x23, 0x01);  // from now on a flag is pending
  window->_NEVO_SPIWrite(false, 0x31, 0x00);
  EXPECT_FALSE(fsiBox());
  window->_NEVO_SPIRead(false, 0x00, value);
  EXPECT_TRUE(fsiBox());
}

TEST_F(AccessTest, DoingReadDropsWritesButNotReads) {
  board.PokeRegister(0x21, 0x05);
  std::uint8_t value = 0;
  NEVO::DoingRead = true;
  EXPECT_FALSE(window->_NEVO_SPIWrite(false, 0x31, 0x40));
  EXPECT_EQ(log(), "");
  EXPECT_FALSE(fsiBox());
  EXPECT_TRUE(ops().empty());

  EXPECT_TRUE(window->_NEVO_SPIRead(false, 0x21, value));
  EXPECT_EQ(log(), "SPI  READ addr:0x21; Returned data: 0x05\r\n");
  EXPECT_TRUE(fsiBox());
}

TEST_F(AccessTest, WithoutVerboseLoggingNothingIsLoggedButTheFlagShows) {
  board.PokeRegister(0x21, 0x05);
  NEVO::logV = false;
  std::uint8_t value = 0;
  window->_NEVO_SPIRead(false, 0x21, value);
  window->_NEVO_SPIWrite(false, 0x31, 0x40);
  EXPECT_EQ(log(), "");
  EXPECT_TRUE(fsiBox());
  EXPECT_THAT(trace(), ElementsAre("R21", "W31=40"));
}

TEST_F(AccessTest, FailedAccessesAreLoggedAllTheSame) {
  std::uint8_t value = 0x5A;  // the caller's byte stays as it was
  bus.FailNext("FT_Write");
  EXPECT_FALSE(window->_NEVO_SPIRead(false, 0x21, value));
  bus.FailNext("FT_Write");
  EXPECT_FALSE(window->_NEVO_SPIWrite(false, 0x31, 0x40));
  EXPECT_EQ(log(),
            "SPI  READ addr:0x21; Returned data: 0x5A\r\n"
            "SPI WRITE addr:0x31; Written  data: 0x40\r\n");
}

TEST_F(AccessTest, PortWrappersOnlyForward) {
  EXPECT_TRUE(window->_NEVO_SetPort(0x0418));
  std::uint16_t word = 0;
  EXPECT_TRUE(window->_NEVO_GetPort(word));
  EXPECT_EQ(word & 0x0CD8, 0x0418);  // the outputs as written
  EXPECT_EQ(log(), "");
}

TEST_F(AccessTest, RefreshReadsSevenRegistersInOrderAndWritesNothing) {
  click("updateBtn");
  EXPECT_THAT(trace(), ElementsAre("R21", "R22", "R23", "R24", "R31", "R32", "R33"));
  for (const kvtest::BusOp& op : ops()) EXPECT_EQ(op.kind, kvtest::BusOp::Kind::RegRead);
}

struct ShownValue {
  std::uint8_t reg;
  std::uint8_t value;
  const char* list;
  std::vector<bool> marks;
};

class RefreshMarksTest : public AccessTest, public ::testing::WithParamInterface<ShownValue> {};

TEST_P(RefreshMarksTest, MarksFollowTheListsBitOrder) {
  board.PokeRegister(GetParam().reg, GetParam().value);
  click("updateBtn");
  EXPECT_EQ(marks(GetParam().list), GetParam().marks);
  for (const kvtest::BusOp& op : ops()) EXPECT_NE(op.kind, kvtest::BusOp::Kind::RegWrite);
}

INSTANTIATE_TEST_SUITE_P(
    Registers, RefreshMarksTest,
    ::testing::Values(ShownValue{0x21, 0x01, "pwr_statBox", {true, false, false, false, false, false, false, false}},
                      ShownValue{0x22, 0x80, "sys_statBox", {false, false, false, false, false, false, false, true}},
                      ShownValue{0x23, 0xF8, "spi_statBox", {false, false, false}},
                      ShownValue{0x23, 0xFF, "spi_statBox", {true, true, true}},
                      ShownValue{0x24, 0xF0, "freq_compBox", {false, false, false, false}},
                      ShownValue{0x24, 0x05, "freq_compBox", {true, false, true, false}},
                      ShownValue{0x31, 0x01, "pwr_configBox", {false, false, false, false, false, false, false, true}},
                      ShownValue{0x32, 0x0C, "dev_configBox", {false, false, false, false, true, true, false, false}},
                      ShownValue{
                          0x33, 0x81, "clock_configBox", {true, false, false, false, false, false, false, true}}));

TEST_F(AccessTest, UpdateWhileDisconnectedClearsEveryMarkAndLogsZeros) {
  board.PokeRegister(0x31, 0xFF);
  click("updateBtn");
  ASSERT_THAT(marks("pwr_configBox"), ::testing::Each(true));
  click("btnConnect");  // disconnect
  clearLog();
  click("updateBtn");
  EXPECT_THAT(marks("pwr_configBox"), ::testing::Each(false));
  EXPECT_EQ(log(),
            "SPI  READ addr:0x21; Returned data: 0x00\r\n"
            "SPI  READ addr:0x22; Returned data: 0x00\r\n"
            "SPI  READ addr:0x23; Returned data: 0x00\r\n"
            "SPI  READ addr:0x24; Returned data: 0x00\r\n"
            "SPI  READ addr:0x31; Returned data: 0x00\r\n"
            "SPI  READ addr:0x32; Returned data: 0x00\r\n"
            "SPI  READ addr:0x33; Returned data: 0x00\r\n");
}

TEST_F(AccessTest, AHandTickInAStatusListIsNeverWrittenAndTheRefreshOverwritesIt) {
  pressSpaceOn("pwr_statBox", 3);
  ASSERT_TRUE(marks("pwr_statBox")[3]);
  EXPECT_TRUE(ops().empty());
  click("updateBtn");
  EXPECT_FALSE(marks("pwr_statBox")[3]);
}

}  // namespace
