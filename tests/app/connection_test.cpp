// Connecting to the board, disconnecting, and the window going away.
#include <QTabWidget>

#include "window_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const char* const kNoDevice =
    "Unable to connect to FTDI USB device\r\nMake sure the USB cable is plugged in properly\r\n";

// The seven read lines of a refresh, from the chip's registers as they are
// before the refresh reads them.
std::string RefreshLines(const sim::SimulatedBoard& board) {
  std::string lines;
  char line[64];
  for (std::uint8_t addr : {0x21, 0x22, 0x23, 0x24, 0x31, 0x32, 0x33}) {
    std::snprintf(line, sizeof line, "SPI  READ addr:0x%02X; Returned data: 0x%02X\r\n", addr,
                  board.PeekRegister(addr));
    lines += line;
  }
  return lines;
}

TEST_F(WindowTest, ConnectLogsOpensRefreshesAndSendsThePinWord) {
  const std::string refresh = RefreshLines(board);
  click("btnConnect");

  EXPECT_EQ(log(),
            "FTD2XX.DLL version is 0x010000\r\n"
            "Connected to USB chip. USB chip initialized OK\r\n" +
                refresh);
  EXPECT_TRUE(NEVO::ActiveHW);
  EXPECT_EQ(find<QAbstractButton>("btnConnect")->text(), "Disconnect from USB");
  EXPECT_TRUE(find<QTabWidget>("tabControl1")->isEnabled());
  EXPECT_TRUE(find<QTimer>("updatetimer")->isActive());
  // The initial word of the bridge set-up, then the refresh, then the word of
  // the pin boxes (only NCS checked).
  EXPECT_THAT(portWrites(), ElementsAre(0x0008, 0x0008));
  EXPECT_THAT(trace(), ElementsAre("R21", "R22", "R23", "R24", "R31", "R32", "R33"));
  EXPECT_EQ(ops().back().kind, kvtest::BusOp::Kind::PortWrite);
  EXPECT_EQ(portstate, 0x0008);
}

TEST_F(WindowTest, ConnectWithoutDeviceTellsTheUserAndStaysDisconnected) {
  kvtest::ScriptedBackend no_board;
  no_board.device_count = 0;
  d2xx::SetBackend(&no_board);
  click("btnConnect");

  EXPECT_EQ(log(), std::string("FTD2XX.DLL version is 0x010500\r\n") + kNoDevice);
  EXPECT_FALSE(NEVO::ActiveHW);
  EXPECT_EQ(find<QAbstractButton>("btnConnect")->text(), "Connect to USB");
  EXPECT_FALSE(find<QTabWidget>("tabControl1")->isEnabled());
  EXPECT_FALSE(find<QTimer>("updatetimer")->isActive());
  EXPECT_TRUE(kvtest::DecodeBus(no_board).empty());
}

TEST_F(WindowTest, ConnectWithoutLibraryVersionOrBackendLogsOnlyTheFailure) {
  d2xx::SetBackend(nullptr);
  click("btnConnect");
  EXPECT_EQ(log(), kNoDevice);
}

TEST_F(WindowTest, FailedOpenAddsTheBackendsCauseAsOneMoreLine) {
  kvtest::ScriptedBackend refusing;
  refusing.last_error_text = "USB device busy";
  refusing.FailNext("FT_Open", FT_DEVICE_NOT_OPENED);
  d2xx::SetBackend(&refusing);
  click("btnConnect");
  EXPECT_EQ(log(), std::string("FTD2XX.DLL version is 0x010500\r\n") + kNoDevice + "USB device busy\r\n");
}

TEST_F(WindowTest, FailedInitialisationStillConnectsAndContinuesTheLine) {
  bus.FailNext("FT_SetLatencyTimer");
  click("btnConnect");
  EXPECT_THAT(log(), HasSubstr("Connected to USB chip. SPI  READ addr:0x21;"));
  EXPECT_THAT(log(), ::testing::Not(HasSubstr("initialized OK")));
  EXPECT_TRUE(NEVO::ActiveHW);
  EXPECT_TRUE(find<QTabWidget>("tabControl1")->isEnabled());
}

TEST_F(WindowTest, DisconnectReleasesAndReconnectWorksAgain) {
  connectBoard();
  click("btnConnect");
  EXPECT_EQ(log(), "Released USB Device\r\n");
  EXPECT_FALSE(NEVO::ActiveHW);
  EXPECT_FALSE(board.IsOpen());
  EXPECT_EQ(find<QAbstractButton>("btnConnect")->text(), "Connect to USB");
  EXPECT_FALSE(find<QTabWidget>("tabControl1")->isEnabled());
  EXPECT_FALSE(find<QTimer>("updatetimer")->isActive());
  // The pin word after the close goes nowhere.
  EXPECT_THAT(bus.CallNames(), ElementsAre("FT_Close"));

  clearLog();
  click("btnConnect");
  EXPECT_THAT(log(),
              StartsWith("FTD2XX.DLL version is 0x010000\r\nConnected to USB chip. USB chip initialized OK\r\n"));
  EXPECT_TRUE(board.IsOpen());
  EXPECT_TRUE(find<QTimer>("updatetimer")->isActive());
}

TEST_F(WindowTest, FailedCloseKeepsTheConnectionFlagAndTheTabs) {
  connectBoard();
  bus.FailNext("FT_Close");
  click("btnConnect");
  EXPECT_EQ(log(), "Released USB Device\r\n");
  EXPECT_TRUE(NEVO::ActiveHW);
  EXPECT_EQ(find<QAbstractButton>("btnConnect")->text(), "Connect to USB");
  EXPECT_TRUE(find<QTabWidget>("tabControl1")->isEnabled());
  EXPECT_FALSE(find<QTimer>("updatetimer")->isActive());
  // The next click takes the disconnect path again.
  click("btnConnect");
  EXPECT_FALSE(NEVO::ActiveHW);
  EXPECT_FALSE(board.IsOpen());
}

// Notes whether the poll timer still ran when the bridge was closed.
class ClosingBoard : public sim::SimulatedBoard {
 public:
  FT_STATUS Close(FT_HANDLE handle) override {
    ++closes;
    const auto* timer = window != nullptr ? window->findChild<QTimer*>("updatetimer") : nullptr;
    timer_ran_at_close = timer != nullptr && timer->isActive();
    return sim::SimulatedBoard::Close(handle);
  }
  const NEVO::Form1* window = nullptr;
  int closes = 0;
  bool timer_ran_at_close = true;
};

TEST_F(WindowTest, DestroyingTheWindowStopsTheTimerBeforeClosingTheBridgeOnce) {
  ClosingBoard closing;
  d2xx::SetBackend(&closing);
  click("btnConnect");
  ASSERT_TRUE(find<QTimer>("updatetimer")->isActive());
  closing.window = window.get();
  window.reset();
  EXPECT_EQ(closing.closes, 1);
  EXPECT_FALSE(closing.timer_ran_at_close);
  EXPECT_FALSE(closing.IsOpen());
  EXPECT_FALSE(NEVO::ActiveHW);
}

TEST_F(WindowTest, DestroyingTheWindowWhileDisconnectedLeavesTheBridgeAlone) {
  window.reset();
  EXPECT_TRUE(bus.calls().empty());
}

}  // namespace
