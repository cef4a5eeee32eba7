// DFT mode: the entry handshake and leaving through "ENTER DFT"/"LEAVE DFT",
// and the DFT page refresh that every status refresh runs in DFT mode.
#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>

#include "app/gui_state.h"
#include "dft_fixture.h"

namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

constexpr std::uint16_t kNcs = 0x0008;
constexpr std::uint16_t kDftPin = 0x0400;

class DftEntryTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    connectBoard();
  }
  QString buttonText() const { return find<QAbstractButton>("enterDFTbtn")->text(); }
  bool pagesEnabled() const { return find("tabControl2")->isEnabled(); }
};

TEST_F(DftEntryTest, EntryDrivesTheDftPinForTheHandshakeAndRefreshOnly) {
  click("enterDFTbtn");
  EXPECT_TRUE(NEVO::DFT_ENABLED);
  EXPECT_TRUE(board.InDftMode());
  EXPECT_EQ(buttonText(), "LEAVE DFT");
  EXPECT_TRUE(pagesEnabled());
  EXPECT_FALSE(checked("DFTbox"));
  EXPECT_THAT(portWrites(), ElementsAre(kNcs | kDftPin, kNcs));
  // The port words frame the handshake and the refresh that follows it.
  const std::vector<kvtest::BusOp> bus_ops = ops();
  ASSERT_FALSE(bus_ops.empty());
  EXPECT_EQ(bus_ops.front().kind, kvtest::BusOp::Kind::PortWrite);
  EXPECT_EQ(bus_ops.back().kind, kvtest::BusOp::Kind::PortWrite);
  const std::vector<std::string> registers = trace();
  ASSERT_GE(registers.size(), 4u);
  EXPECT_THAT(std::vector<std::string>(registers.begin(), registers.begin() + 4),
              ElementsAre("W1F=06", "W1F=03", "W1F=05", "R1F"));
  // 7 status reads and the 32 of the DFT page follow; nothing else is written.
  EXPECT_EQ(registers.size(), 4u + 7u + 32u);
}

TEST_F(DftEntryTest, SuccessfulEntryLogsTheHandshakeThenOkThenTheRefresh) {
  click("enterDFTbtn");
  const std::string expected_start =
      "SPI WRITE addr:0x1F; Written  data: 0x06\r\n"
      "SPI WRITE addr:0x1F; Written  data: 0x03\r\n"
      "SPI WRITE addr:0x1F; Written  data: 0x05\r\n"
      "SPI  READ addr:0x1F; Returned data: 0x03\r\n"
      "Entered DFT....OK\r\n"
      "SPI  READ addr:0x21;";
  EXPECT_THAT(log(), StartsWith(expected_start));
  // The refresh checks DFT_ENTRY again after the status registers.
  EXPECT_THAT(log(), HasSubstr("SPI  READ addr:0x33; Returned data: 0x00\r\n"
                               "SPI  READ addr:0x1F; Returned data: 0x03\r\n"
                               "SPI  READ addr:0x4F;"));
}

TEST_F(DftEntryTest, EntryWithTheDftBoxAlreadyTickedLeavesThePinAlone) {
  find<QCheckBox>("DFTbox")->setChecked(true);
  forget();
  click("enterDFTbtn");
  EXPECT_TRUE(NEVO::DFT_ENABLED);
  EXPECT_THAT(portWrites(), IsEmpty());
  EXPECT_TRUE(checked("DFTbox"));
}

TEST_F(DftEntryTest, EntryThatReadsBackNotThreeFailsWithoutRefresh) {
  // The chip answers the read-back with 2.
  kvtest::ScriptedBackend answering;
  d2xx::SetBackend(&answering);
  for (int write = 0; write < 3; ++write) answering.QueueAnswer(kvtest::SpiWriteAnswer());
  answering.QueueAnswer(kvtest::SpiReadAnswer(0x02));
  click("enterDFTbtn");
  EXPECT_FALSE(NEVO::DFT_ENABLED);
  EXPECT_EQ(buttonText(), "ENTER DFT");
  EXPECT_FALSE(pagesEnabled());
  EXPECT_THAT(kvtest::RegisterTrace(kvtest::DecodeBus(answering)), ElementsAre("W1F=06", "W1F=03", "W1F=05", "R1F"));
  EXPECT_THAT(log(), ::testing::EndsWith("SPI  READ addr:0x1F; Returned data: 0x02\r\nEntered DFT....FAILED\r\n"));
}

struct FailedEntry {
  const char* name;
  bool dft_box_ticked;
  std::vector<std::uint16_t> port_words;
};

class FailedEntryTest : public DftEntryTest, public ::testing::WithParamInterface<FailedEntry> {};

// A locked chip ignores the handshake and reads 0xFF.
TEST_P(FailedEntryTest, RestoresThePinAndStaysOutOfDftMode) {
  click("lock_cmdBtn");
  find<QCheckBox>("DFTbox")->setChecked(GetParam().dft_box_ticked);
  forget();
  click("enterDFTbtn");
  EXPECT_FALSE(NEVO::DFT_ENABLED);
  EXPECT_EQ(buttonText(), "ENTER DFT");
  EXPECT_FALSE(pagesEnabled());
  EXPECT_EQ(checked("DFTbox"), GetParam().dft_box_ticked);
  EXPECT_EQ(portWrites(), GetParam().port_words);
  EXPECT_THAT(trace(), ElementsAre("W1F=06", "W1F=03", "W1F=05", "R1F"));
  EXPECT_THAT(log(), ::testing::EndsWith("Returned data: 0xFF\r\nEntered DFT....FAILED\r\n"));
}

INSTANTIATE_TEST_SUITE_P(DftBox, FailedEntryTest,
                         ::testing::Values(FailedEntry{"Clear", false, {kNcs | kDftPin, kNcs}},
                                           FailedEntry{"Ticked", true, {}}),
                         ByName());

class DftLeaveTest : public DftTest {};

TEST_F(DftLeaveTest, LeavingWritesSevenWhenTheChipIsInDftMode) {
  click("enterDFTbtn");
  EXPECT_THAT(trace(), ElementsAre("R1F", "W1F=07"));
  EXPECT_EQ(log(),
            "SPI  READ addr:0x1F; Returned data: 0x03\r\n"
            "SPI WRITE addr:0x1F; Written  data: 0x07\r\n"
            "Left DFT....\r\n");
  EXPECT_FALSE(board.InDftMode());
  EXPECT_FALSE(NEVO::DFT_ENABLED);
  EXPECT_EQ(find<QAbstractButton>("enterDFTbtn")->text(), "ENTER DFT");
  EXPECT_FALSE(find("tabControl2")->isEnabled());
  EXPECT_THAT(portWrites(), IsEmpty());
}

TEST_F(DftLeaveTest, LeavingWhenTheChipHasLeftWritesNothing) {
  board.SetDftMode(false);
  click("enterDFTbtn");
  EXPECT_THAT(trace(), ElementsAre("R1F"));
  EXPECT_THAT(log(), ::testing::EndsWith("Ups. Wasn't in DFT...\r\n"));
  EXPECT_FALSE(NEVO::DFT_ENABLED);
  EXPECT_EQ(find<QAbstractButton>("enterDFTbtn")->text(), "ENTER DFT");
  EXPECT_FALSE(find("tabControl2")->isEnabled());
}

TEST_F(DftLeaveTest, AfterLeavingRefreshesReadTheStatusRegistersOnly) {
  click("enterDFTbtn");
  forget();
  click("updateBtn");
  EXPECT_THAT(trace(), ElementsAre("R21", "R22", "R23", "R24", "R31", "R32", "R33"));
  // Normal frames again: bit 15 is the parity bit, so the chip, now in
  // normal mode, rejects none of them.
  EXPECT_EQ(board.PeekRegister(0x23), 0x00);
}

// --- The DFT page refresh --------------------------------------------------------

class DftRefreshTest : public DftTest {};

TEST_F(DftRefreshTest, ReadsThirtyTwoDftRegistersAfterTheStatusAndWritesNothing) {
  click("updateBtn");
  std::vector<std::string> expected = {"R21", "R22", "R23", "R24", "R31", "R32", "R33", "R1F", "R4F",
                                       "R50", "R41", "R42", "R43", "R44", "R45", "R46", "R47", "R48"};
  for (int addr = 0x64; addr <= 0x78; ++addr) {
    expected.push_back(QStringLiteral("R%1").arg(addr, 2, 16).toUpper().toStdString());
  }
  EXPECT_EQ(dftTrace(), expected);
  EXPECT_THAT(log(), ::testing::Not(HasSubstr("WRITE")));
}

TEST_F(DftRefreshTest, ShowsStateCountSelectorsAndLists) {
  click("lpm_cmdBtn");  // the I2R count holds while the regulators are off
  showFromChip({{0x4F, 10},
                {0x50, 10},
                {0x41, 4},
                {0x42, 34},
                {0x43, 25},
                {0x44, 0x80},
                {0x48, 0x01},
                {0x76, 0xFF},
                {0x78, 0x41}});
  EXPECT_EQ(find<QLabel>("stateLbl")->text(), "active");
  EXPECT_EQ(find<QLabel>("buckI2RLbl")->text(), "0x0A");
  EXPECT_EQ(selected("IO_observationBox"), 4);
  EXPECT_EQ(selected("atbBox"), 34);
  EXPECT_EQ(selected("dtbBox"), 25);
  EXPECT_EQ(marks("tmA1Box"), (std::vector<bool>{true, false, false, false, false, false, false, false}));
  EXPECT_EQ(marks("tmA5Box"), (std::vector<bool>{false, false, false, false, false, false, false, true}));
  EXPECT_THAT(marks("devconf1Box"), Each(true));
  EXPECT_EQ(marks("devconf3Box"), (std::vector<bool>{false, true, false, false, false, false, false, true}));
}

TEST_F(DftRefreshTest, SelectingTheDropDownsWritesNothing) {
  board.PokeRegister(0x41, 2);
  board.PokeRegister(0x42, 3);
  board.PokeRegister(0x43, 1);
  click("updateBtn");
  EXPECT_EQ(selected("atbBox"), 3);
  EXPECT_THAT(ops(), Each(::testing::Field(&kvtest::BusOp::kind, ::testing::Ne(kvtest::BusOp::Kind::RegWrite))));
  EXPECT_THAT(log(), ::testing::Not(HasSubstr("WRITE")));
  EXPECT_FALSE(NEVO::DoingRead);
}

TEST_F(DftRefreshTest, ValuesThatNameNoEntryLeaveTheSelection) {
  showFromChip({{0x41, 1}, {0x42, 2}, {0x43, 3}});
  showFromChip({{0x41, 5}, {0x42, 35}, {0x43, 26}});
  EXPECT_EQ(selected("IO_observationBox"), 1);
  EXPECT_EQ(selected("atbBox"), 2);
  EXPECT_EQ(selected("dtbBox"), 3);
}

struct StateShown {
  std::uint8_t value;
  const char* text;
};

class StateLabelTest : public DftTest, public ::testing::WithParamInterface<StateShown> {};

TEST_P(StateLabelTest, ShowsTheStateByName) {
  showFromChip({{0x4F, GetParam().value}});
  EXPECT_EQ(find<QLabel>("stateLbl")->text(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, StateLabelTest,
                         ::testing::Values(StateShown{0, "none"}, StateShown{13, "tsd"}, StateShown{14, ""},
                                           StateShown{15, "15"}, StateShown{255, "255"}));

class KickedOutTest : public DftTest {
 protected:
  void expectNormalModeShown() {
    EXPECT_FALSE(NEVO::DFT_ENABLED);
    EXPECT_EQ(find<QAbstractButton>("enterDFTbtn")->text(), "ENTER DFT");
    EXPECT_FALSE(find("tabControl2")->isEnabled());
    EXPECT_EQ(find<QLabel>("stateLbl")->text(), "");
  }
};

TEST_F(KickedOutTest, ARefreshThatFindsDftEntryNotThreeGivesUpDftMode) {
  showFromChip({{0x42, 7}});
  board.PokeRegister(0x42, 9);
  board.SetDftMode(false);
  click("updateBtn");
  EXPECT_THAT(trace(), ElementsAre("R21", "R22", "R23", "R24", "R31", "R32", "R33", "R1F"));
  EXPECT_THAT(log(), ::testing::EndsWith("SPI  READ addr:0x1F; Returned data: 0x00\r\nGot kicked out of DFT\r\n"));
  expectNormalModeShown();
  // Nothing else on the page changes, and the pin is not touched.
  EXPECT_EQ(selected("atbBox"), 7);
  EXPECT_THAT(portWrites(), IsEmpty());
  forget();
  click("updateBtn");
  EXPECT_THAT(trace(), ElementsAre("R21", "R22", "R23", "R24", "R31", "R32", "R33"));
}

TEST_F(KickedOutTest, TheAutomaticRefreshReportsItDespiteLoggingBeingOff) {
  board.SetDftMode(false);
  find<QCheckBox>("Autobox")->setChecked(true);
  NEVO::updatetimerticks = 31;  // the next tick samples and refreshes
  window->updatetimer_Tick();
  EXPECT_EQ(log(), "Got kicked out of DFT\r\n");
  expectNormalModeShown();
}

TEST_F(KickedOutTest, WithoutABridgeEveryReadFailsAndDftModeIsGivenUp) {
  click("btnConnect");  // disconnecting keeps DFT mode
  EXPECT_TRUE(NEVO::DFT_ENABLED);
  forget();
  click("updateBtn");
  EXPECT_THAT(log(), ::testing::EndsWith("SPI  READ addr:0x1F; Returned data: 0x00\r\nGot kicked out of DFT\r\n"));
  expectNormalModeShown();
}

}  // namespace
