// kv7702-evm's window with the libftdi backend on a machine without a bridge
// (as in CI): connecting logs the two-line message and nothing more, and the
// window stays disconnected.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <memory>

#include "app/form1.h"
#include "app/gui_state.h"
#include "bridge/d2xx.h"
#include "bridge/ftdi/libftdi_backend.h"
#include "bridge/link_state.h"
#include "device/format.h"

TEST(NoBridgeWindow, ConnectLogsTheTwoLineMessageAndStaysDisconnected) {
  NEVO::ResetGuiState();
  bridge::ResetLinkState();
  ftdi_backend::LibftdiBackend backend;
  d2xx::SetBackend(&backend);
  {
    auto window = std::make_unique<NEVO::Form1>();
    window->show();
    auto* connect = window->findChild<QPushButton*>(QStringLiteral("btnConnect"));
    ASSERT_NE(connect, nullptr);
    QTest::mouseClick(connect, Qt::LeftButton);

    DWORD version = 0;
    ASSERT_EQ(FT_GetLibraryVersion(&version), FT_OK);
    EXPECT_EQ(window->logText().toStdString(), "FTD2XX.DLL version is 0x" + kv7702::Hex(version, 6) +
                                                   "\r\n"
                                                   "Unable to connect to FTDI USB device\r\n"
                                                   "Make sure the USB cable is plugged in properly\r\n");
    EXPECT_FALSE(NEVO::ActiveHW);
    EXPECT_EQ(connect->text(), QStringLiteral("Connect to USB"));
    EXPECT_FALSE(window->findChild<QTabWidget*>(QStringLiteral("tabControl1"))->isEnabled());
  }
  d2xx::SetBackend(nullptr);
  bridge::ResetLinkState();
  NEVO::ResetGuiState();
}
