// One user action per handler family of the "Functional" page and the pin
// column: what reaches the bus and the log.
#include <QCheckBox>
#include <QLabel>

#include "window_fixture.h"

namespace {

using ::testing::ElementsAre;

// Connected, with the configuration registers clear so that every list
// starts without marks.
class HandlerTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    for (std::uint8_t addr : {0x31, 0x32, 0x33}) board.PokeRegister(addr, 0x00);
    connectBoard();
  }
};

struct ItemClick {
  const char* list;
  int row;
  const char* written;
  const char* line;
};

class BitListClickTest : public HandlerTest, public ::testing::WithParamInterface<ItemClick> {};

TEST_P(BitListClickTest, AClickTogglesTheItemAndWritesTheWholeRegisterOnce) {
  clickItem(GetParam().list, GetParam().row);
  EXPECT_TRUE(marks(GetParam().list)[GetParam().row]);
  EXPECT_THAT(trace(), ElementsAre(GetParam().written));
  EXPECT_EQ(log(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, BitListClickTest,
    ::testing::Values(ItemClick{"pwr_configBox", 1, "W31=40", "SPI WRITE addr:0x31; Written  data: 0x40\r\n"},
                      ItemClick{"pwr_configBox", 7, "W31=01", "SPI WRITE addr:0x31; Written  data: 0x01\r\n"},
                      ItemClick{"dev_configBox", 0, "W32=80", "SPI WRITE addr:0x32; Written  data: 0x80\r\n"},
                      ItemClick{"clock_configBox", 4, "W33=08", "SPI WRITE addr:0x33; Written  data: 0x08\r\n"}));

TEST_F(HandlerTest, EveryItemIsABitAndClearingTheLastMarkWritesZero) {
  for (int row = 0; row < 8; ++row) clickItem("dev_configBox", row);
  EXPECT_EQ(trace().back(), "W32=FF");
  forget();
  for (int row = 1; row < 8; ++row) clickItem("dev_configBox", row);
  clickItem("dev_configBox", 0);
  EXPECT_EQ(trace().back(), "W32=00");
  EXPECT_EQ(trace().size(), 8u);
}

TEST_F(HandlerTest, SpaceTogglesTheCurrentItemAndWritesOnce) {
  pressSpaceOn("clock_configBox", 1);
  EXPECT_TRUE(marks("clock_configBox")[1]);
  EXPECT_THAT(trace(), ElementsAre("W33=40"));
}

TEST_F(HandlerTest, EachClickOfADoubleClickToggles) {
  // What the window system delivers for a double click.
  auto* list = find<QListWidget>("pwr_configBox");
  const QPoint at = list->visualItemRect(list->item(2)).center();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
  EXPECT_FALSE(marks("pwr_configBox")[2]);
  EXPECT_THAT(trace(), ElementsAre("W31=20", "W31=00"));
}

TEST_F(HandlerTest, AClickSendsTheMarksAsShownWhateverTheChipHolds) {
  board.PokeRegister(0x31, 0xFF);
  clickItem("pwr_configBox", 1);
  EXPECT_THAT(trace(), ElementsAre("W31=40"));
}

TEST_F(HandlerTest, ARefreshSetsMarksWithoutWriting) {
  board.PokeRegister(0x31, 0x42);
  board.PokeRegister(0x33, 0xFF);
  click("updateBtn");
  EXPECT_EQ(marks("pwr_configBox"), (std::vector<bool>{false, true, false, false, false, false, true, false}));
  EXPECT_THAT(marks("clock_configBox"), ::testing::Each(true));
  EXPECT_THAT(trace(), ElementsAre("R21", "R22", "R23", "R24", "R31", "R32", "R33"));
}

struct Command {
  const char* button;
  const char* written;
};

class CommandTest : public HandlerTest, public ::testing::WithParamInterface<Command> {};

TEST_P(CommandTest, EachClickSendsTheCommandOnce) {
  click(GetParam().button);
  click(GetParam().button);
  EXPECT_THAT(trace(), ElementsAre(GetParam().written, GetParam().written));
}

INSTANTIATE_TEST_SUITE_P(Buttons, CommandTest,
                         ::testing::Values(Command{"lpm_cmdBtn", "W11=AA"}, Command{"lock_cmdBtn", "W12=55"}));

TEST_F(HandlerTest, CommandLogLine) {
  click("lpm_cmdBtn");
  EXPECT_EQ(log(), "SPI WRITE addr:0x11; Written  data: 0xAA\r\n");
}

TEST_F(HandlerTest, SerialAndRevisionAreReadAndShown) {
  const std::uint8_t serial[] = {0x12, 0x34, 0x00, 0x01, 0x02, 0xAB};
  for (int i = 0; i < 6; ++i) board.PokeRegister(static_cast<std::uint8_t>(0x29 + i), serial[i]);
  board.PokeRegister(0x2F, 0x0A);
  click("button2");
  EXPECT_THAT(trace(), ElementsAre("R2F", "R29", "R2A", "R2B", "R2C", "R2D", "R2E"));
  EXPECT_EQ(find<QLabel>("dev_revisionLbl")->text(), "0A");
  EXPECT_EQ(find<QLabel>("serial_nrLbl")->text(), "12 34 00 01 02 AB ");
}

TEST_F(HandlerTest, PinClicksWriteTheComposedWord) {
  click("HSPWMbox");
  click("NCSBox");
  click("VTbox");
  click("WAKEbox");
  EXPECT_THAT(portWrites(), ElementsAre(0x0018, 0x0010, 0x0090, 0x0890));
  EXPECT_EQ(log(), "");
}

struct CodeSetPin {
  const char* box;
  std::uint16_t word;
};

class PinFromCodeTest : public HandlerTest, public ::testing::WithParamInterface<CodeSetPin> {};

// The hidden pins follow their boxes also when code changes them.
TEST_P(PinFromCodeTest, ChangingTheBoxInCodeWritesTheWord) {
  auto* box = find<QCheckBox>(GetParam().box);
  box->setChecked(true);
  box->setChecked(false);
  EXPECT_THAT(portWrites(), ElementsAre(GetParam().word, 0x0008));
}

INSTANTIATE_TEST_SUITE_P(HiddenPins, PinFromCodeTest,
                         ::testing::Values(CodeSetPin{"DFTbox", 0x0408}, CodeSetPin{"WDbox", 0x0048}));

}  // namespace
