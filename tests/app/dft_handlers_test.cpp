// The DFT page's writers and readers other than the trims: bit lists,
// test-bus selectors, scan mode, the EEPROM CRC run and the die identity.
#include <QCheckBox>
#include <QLineEdit>
#include <cstdio>

#include "bridge/sleep.h"
#include "dft_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// --- Bit lists -------------------------------------------------------------------

struct ListClick {
  const char* list;
  int row;
  const char* written;
};

class DftBitListTest : public DftTest, public ::testing::WithParamInterface<ListClick> {};

TEST_P(DftBitListTest, AClickWritesTheWholeRegister) {
  clickItem(GetParam().list, GetParam().row);
  EXPECT_TRUE(marks(GetParam().list)[GetParam().row]);
  EXPECT_THAT(dftTrace(), ElementsAre(GetParam().written));
}

// The refresh on entry showed every list clear: the simulated chip starts
// with these registers 0.
INSTANTIATE_TEST_SUITE_P(Lists, DftBitListTest,
                         ::testing::Values(ListClick{"tmA1Box", 0, "W44=80"}, ListClick{"tmA2Box", 1, "W45=40"},
                                           ListClick{"tmA3Box", 2, "W46=20"}, ListClick{"tmA4Box", 3, "W47=10"},
                                           ListClick{"tmA5Box", 7, "W48=01"}, ListClick{"EEPROMtestBox", 5, "W60=04"},
                                           ListClick{"devconf1Box", 6, "W76=02"}, ListClick{"devconf2Box", 4, "W77=08"},
                                           ListClick{"devconf3Box", 0, "W78=80"}));

TEST_F(DftTest, TheEepromTestListSendsWhatItShowsWhateverTheChipHolds) {
  board.PokeRegister(0x60, 0x3F);
  click("updateBtn");  // EEPROM_TEST is never read back
  forget();
  clickItem("EEPROMtestBox", 0);
  clickItem("EEPROMtestBox", 7);
  EXPECT_THAT(dftTrace(), ElementsAre("W60=80", "W60=81"));
  EXPECT_THAT(marks("EEPROMtestBox"), ElementsAre(true, false, false, false, false, false, false, true));
}

// --- Test-bus selectors and scan mode -----------------------------------------------

struct Pick {
  const char* box;
  Qt::Key key;
  const char* written;
};

class SelectorTest : public DftTest, public ::testing::WithParamInterface<Pick> {};

TEST_P(SelectorTest, ThePickedEntryIsWrittenAsTheRegisterValue) {
  press(GetParam().box, GetParam().key);
  EXPECT_THAT(dftTrace(), ElementsAre(GetParam().written));
}

INSTANTIATE_TEST_SUITE_P(Entries, SelectorTest,
                         ::testing::Values(Pick{"IO_observationBox", Qt::Key_End, "W41=04"},
                                           Pick{"atbBox", Qt::Key_End, "W42=22"},
                                           Pick{"dtbBox", Qt::Key_End, "W43=19"}));

TEST_F(DftTest, SelectingStepByStepWritesEachEntry) {
  for (int step = 0; step < 3; ++step) press("atbBox", Qt::Key_Down);
  EXPECT_THAT(dftTrace(), ElementsAre("W42=01", "W42=02", "W42=03"));
  EXPECT_EQ(board.PeekRegister(0x42), 0x03);
  EXPECT_EQ(log(),
            "SPI WRITE addr:0x42; Written  data: 0x01\r\n"
            "SPI WRITE addr:0x42; Written  data: 0x02\r\n"
            "SPI WRITE addr:0x42; Written  data: 0x03\r\n");
}

TEST_F(DftTest, EnterScanmodeWritesOneToScanModeEachClick) {
  click("scanmodeBtn");
  click("scanmodeBtn");
  EXPECT_THAT(dftTrace(), ElementsAre("W5E=01", "W5E=01"));
  EXPECT_EQ(log(), "SPI WRITE addr:0x5E; Written  data: 0x01\r\nSPI WRITE addr:0x5E; Written  data: 0x01\r\n");
}

TEST_F(DftTest, OutOfDftModeThePagesCannotBeUsed) {
  click("enterDFTbtn");  // leave
  forget();
  click("scanmodeBtn");
  clickItem("tmA1Box", 0);
  press("atbBox", Qt::Key_End);
  click("startCRCBox");
  EXPECT_THAT(ops(), IsEmpty());
}

// --- EEPROM CRC ----------------------------------------------------------------------

std::string Hex2(unsigned value) {
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", value & 0xFF);
  return digits;
}

// The pauses of a CRC run, each with the number of register operations sent
// before it.
struct Pause {
  unsigned ms;
  std::size_t ops_before;
};
std::vector<Pause> g_pauses;
const kvtest::ScriptedBackend* g_bus = nullptr;

void NotePause(unsigned ms) { g_pauses.push_back({ms, kvtest::RegisterTrace(kvtest::DecodeBus(*g_bus)).size()}); }

class CrcTest : public DftTest {
 protected:
  void SetUp() override {
    DftTest::SetUp();
    g_bus = &bus;
    g_pauses.clear();
  }
  void TearDown() override {
    bridge::SetSleepFunction(nullptr);
    g_bus = nullptr;
    DftTest::TearDown();
  }
};

struct CrcRun {
  const char* name;
  bool check;
  std::vector<const char*> traffic;
};

class CrcRunTest : public CrcTest, public ::testing::WithParamInterface<CrcRun> {};

TEST_P(CrcRunTest, HoldsTheStartBitHalfASecondThenReadsTheResult) {
  type("storedCRCBox", "A5");
  if (GetParam().check) click("checkCRCBox");
  EXPECT_THAT(ops(), IsEmpty());
  bridge::SetSleepFunction(&NotePause);
  click("startCRCBox");
  EXPECT_THAT(dftTrace(), ElementsAreArray(GetParam().traffic));
  // One pause of 500 ms, between the two CRC_CTRL writes.
  std::vector<std::size_t> holds;
  for (const Pause& pause : g_pauses) {
    if (pause.ms == 500) holds.push_back(pause.ops_before);
  }
  EXPECT_THAT(holds, ElementsAre(2u));
  EXPECT_FALSE(checked("startCRCBox"));
  EXPECT_EQ(checked("checkCRCBox"), GetParam().check);
}

INSTANTIATE_TEST_SUITE_P(
    CheckSetting, CrcRunTest,
    ::testing::Values(CrcRun{"GenerationOnly", false, {"W63=A5", "W51=01", "W51=00", "R53", "R52"}},
                      CrcRun{"WithCheck", true, {"W63=A5", "W51=03", "W51=02", "R53", "R52"}}),
    ByName());

TEST_F(CrcTest, TickingTheCheckAloneWritesNothing) {
  click("checkCRCBox");
  click("checkCRCBox");
  EXPECT_THAT(ops(), IsEmpty());
  EXPECT_THAT(sleeps.pauses(), IsEmpty());
}

TEST_F(CrcTest, OneDigitIsAByte) {
  type("storedCRCBox", "7");
  click("startCRCBox");
  EXPECT_EQ(dftTrace().front(), "W63=07");
}

TEST_F(CrcTest, AnEmptyValueWritesNothingAndFreesTheStartBox) {
  type("storedCRCBox", "");
  click("startCRCBox");
  EXPECT_THAT(ops(), IsEmpty());
  EXPECT_THAT(sleeps.pauses(), IsEmpty());
  EXPECT_EQ(log(), "Nothing sent: the CRC value box holds no hexadecimal number after 0x\r\n");
  EXPECT_FALSE(checked("startCRCBox"));
  // The user mends the value and tries again.
  type("storedCRCBox", "3C");
  click("startCRCBox");
  EXPECT_EQ(dftTrace().front(), "W63=3C");
}

TEST_F(CrcTest, TheChipsCheckAgainstTheStoredValueIsShown) {
  // At power-up the chip's EEPROM image is consistent with its stored CRC.
  const std::uint8_t image_crc = board.PeekRegister(0x63);
  click("checkCRCBox");
  type("storedCRCBox", Hex2(image_crc ^ 0xFF).c_str());
  click("startCRCBox");
  EXPECT_EQ(find<QLineEdit>("eepromCRCBox")->text().toStdString(), "0x" + Hex2(image_crc));
  EXPECT_TRUE(checked("crcErrorBox"));
  type("storedCRCBox", Hex2(image_crc).c_str());
  click("startCRCBox");
  EXPECT_FALSE(checked("crcErrorBox"));
}

struct CrcResult {
  std::uint8_t calc;
  std::uint8_t stat;
  const char* shown;
  bool error;
};

class CrcResultTest : public CrcTest, public ::testing::WithParamInterface<CrcResult> {};

TEST_P(CrcResultTest, ShowsTheCalculatedCrcAndErrorBitZero) {
  kvtest::ScriptedBackend answering;
  d2xx::SetBackend(&answering);
  for (int write = 0; write < 3; ++write) answering.QueueAnswer(kvtest::SpiWriteAnswer());
  answering.QueueAnswer(kvtest::SpiReadAnswer(GetParam().calc));
  answering.QueueAnswer(kvtest::SpiReadAnswer(GetParam().stat));
  click("startCRCBox");
  EXPECT_EQ(find<QLineEdit>("eepromCRCBox")->text(), GetParam().shown);
  EXPECT_EQ(checked("crcErrorBox"), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Status, CrcResultTest,
                         ::testing::Values(CrcResult{0x5A, 0xFE, "0x5A", false}, CrcResult{0x07, 0x01, "0x07", true}));

TEST_F(CrcTest, TheErrorBoxCannotBeTickedByHand) {
  click("crcErrorBox");
  EXPECT_FALSE(checked("crcErrorBox"));
  EXPECT_FALSE(find("crcErrorBox")->isEnabled());
}

// --- Die identity ---------------------------------------------------------------------

struct Identity {
  const char* name;
  std::vector<std::pair<std::uint8_t, std::uint8_t>> chip;
  std::vector<std::pair<const char*, const char*>> shown;  // box, text
  const char* bit0;                                        // the wafer number's tooltip
};

class IdentityTest : public DftTest, public ::testing::WithParamInterface<Identity> {};

TEST_P(IdentityTest, ReadDeviceInformationFillsTheBoxes) {
  for (const auto& [addr, value] : GetParam().chip) board.PokeRegister(addr, value);
  click("button_rev");
  EXPECT_THAT(dftTrace(), ElementsAre("R4B", "R79", "R7A", "R7B", "R7C", "R7D", "R7E"));
  for (const auto& [box, text] : GetParam().shown) {
    EXPECT_EQ(find<QLineEdit>(box)->text().toStdString(), text) << box;
  }
  EXPECT_EQ(find("textBox_wafernum")->toolTip().toStdString(), GetParam().bit0);
  // Every box shows its whole text.
  for (const char* box : {"textBox_devrev", "textBox_xcoord", "textBox_ycoord", "textBox_waferlot", "textBox_fabcode",
                          "textBox_wafernum"}) {
    auto* edit = find<QLineEdit>(box);
    // Inside the frame and the text margins of 2 pixels on each side.
    EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()), edit->width() - 8) << box;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Chips, IdentityTest,
    ::testing::Values(
        Identity{"Worked",
                 {{0x4B, 0x21}, {0x79, 0x05}, {0x7A, 0xC8}, {0x7B, 0x01}, {0x7C, 0x02}, {0x7D, 0x03}, {0x7E, 0xC3}},
                 {{"textBox_devrev", "2P1"},
                  {"textBox_xcoord", "0x05"},
                  {"textBox_ycoord", "0xC8"},
                  {"textBox_waferlot", "0x030201"},
                  {"textBox_fabcode", "0x03"},
                  {"textBox_wafernum", "0x01"}},
                 "FAB_INFO bit 0: 0x01"},
        Identity{"Widest",
                 {{0x4B, 0xFF}, {0x79, 0xFF}, {0x7A, 0x00}, {0x7B, 0xFF}, {0x7C, 0xFF}, {0x7D, 0xFF}, {0x7E, 0x3E}},
                 {{"textBox_devrev", "15P15"},
                  {"textBox_ycoord", "0x00"},
                  {"textBox_waferlot", "0xFFFFFF"},
                  {"textBox_fabcode", "0x00"},
                  {"textBox_wafernum", "0x1F"}},
                 "FAB_INFO bit 0: 0x00"}),
    ByName());

}  // namespace
