// The window as the user finds it after start-up.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>

#include "window_fixture.h"

namespace {

using ::testing::ElementsAreArray;

TEST_F(WindowTest, TitleAndFixedClientArea) {
  EXPECT_EQ(window->windowTitle(), "KV7702 evaluation GUI 3P0 build 1");
  EXPECT_EQ(window->size(), QSize(780, 658));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
}

struct ControlText {
  const char* name;
  const char* text;
};

class StartupTextTest : public WindowTest, public ::testing::WithParamInterface<ControlText> {};

TEST_P(StartupTextTest, ShowsItsText) {
  QWidget* widget = find(GetParam().name);
  ASSERT_NE(widget, nullptr);
  QString text;
  if (auto* button = qobject_cast<QAbstractButton*>(widget))
    text = button->text();
  else if (auto* label = qobject_cast<QLabel*>(widget))
    text = label->text();
  else if (auto* entry = qobject_cast<QLineEdit*>(widget))
    text = entry->text();
  else if (auto* group = qobject_cast<QGroupBox*>(widget))
    text = group->title();
  EXPECT_EQ(text.toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, StartupTextTest,
    ::testing::Values(
        ControlText{"btnConnect", "Connect to USB"}, ControlText{"label8", "PORTS:"}, ControlText{"IRQbox", "IRQ"},
        ControlText{"PRESNbox", "PRESN"}, ControlText{"RESNbox", "RESN"}, ControlText{"HSPWMbox", "HSPWM"},
        ControlText{"WDbox", "WD"}, ControlText{"VTbox", "VT"}, ControlText{"WAKEbox", "WAKE"},
        ControlText{"DFTbox", "DFT"}, ControlText{"NCSBox", "NCS"}, ControlText{"HLPbtn", "Help"},
        ControlText{"button4", "Clear log"}, ControlText{"groupBox1", "Statusflags"},
        ControlText{"lpm_cmdBtn", "send LPM0_CMD"}, ControlText{"lock_cmdBtn", "send LOCK_CMD"},
        ControlText{"label10", "PWR_CONFIG 0x31"}, ControlText{"label11", "DEV_CONFIG 0x32"},
        ControlText{"label49", "CLOCK_CONFIG 0x33"}, ControlText{"label13", "DEV_REVISION 0x2F"},
        ControlText{"dev_revisionLbl", "00"}, ControlText{"label15", "Serial Nr (1..5):"},
        ControlText{"serial_nrLbl", "00 00 00 00 00 00"}, ControlText{"button2", "Update Serial && Revision"},
        ControlText{"label2", "SPI :"}, ControlText{"label3", "Adress"}, ControlText{"sAddrbox", "0x00"},
        ControlText{"label4", "Data"}, ControlText{"sDatabox", "0x00"}, ControlText{"sReadbtn", "Read"},
        ControlText{"sWritebtn", "Write"}, ControlText{"button3", "Send spi command with 15 bits"},
        ControlText{"label54", "spi_fail_clk return:"}, ControlText{"SPIwakeBtn", "WAKE (1ms delay + NOP)"},
        ControlText{"label9", "PORT:"}, ControlText{"portdata", "0x000"}, ControlText{"portRead", "Read"},
        ControlText{"portWrite", "Write"}, ControlText{"button1", "readFTDI (debug only)"},
        ControlText{"enterDFTbtn", "ENTER DFT"}, ControlText{"label22", "Current State of State machine:"},
        ControlText{"stateLbl", "none"}, ControlText{"tglbox", "tgl WD"}, ControlText{"updateBtn", "Update"},
        ControlText{"Autobox", "Auto"}, ControlText{"label5", "PWR_STAT 0x21"}, ControlText{"label6", "SYS_STAT 0x22"},
        ControlText{"label7", "SPI_STAT 0x23"}, ControlText{"label12", "COMP_STAT 0x24"},
        ControlText{"FSIBox", "FSI bit"}),
    [](const ::testing::TestParamInfo<ControlText>& info) { return std::string(info.param.name); });

TEST_F(WindowTest, OpensDisconnectedWithOnlyTheFunctionalPage) {
  auto* tabs = find<QTabWidget>("tabControl1");
  EXPECT_FALSE(tabs->isEnabled());
  ASSERT_EQ(tabs->count(), 1);
  EXPECT_EQ(tabs->tabText(0), "Functional");
  EXPECT_EQ(tabs->currentWidget(), find("Basic"));
  EXPECT_FALSE(find<QTimer>("updatetimer")->isActive());
  EXPECT_EQ(find<QTimer>("updatetimer")->interval(), 10);
  EXPECT_FALSE(NEVO::ActiveHW);
  EXPECT_TRUE(window->logText().isEmpty());
}

TEST_F(WindowTest, DetachedDftPageStaysAliveWithItsHeaderRow) {
  QWidget* page = find("tabPage2");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(find<QTabWidget>("tabControl1")->indexOf(page), -1);
  auto* inner = find<QTabWidget>("tabControl2");
  EXPECT_FALSE(inner->isEnabled());
  EXPECT_TRUE(page->isAncestorOf(inner));
  EXPECT_TRUE(page->isAncestorOf(find("enterDFTbtn")));
  EXPECT_FALSE(checked("tglbox"));
}

TEST_F(WindowTest, HiddenPartsAreBuiltButOutOfReach) {
  for (const char* name : {"panel2", "DFTbox", "WDbox"}) {
    QWidget* widget = find(name);
    ASSERT_NE(widget, nullptr) << name;
    EXPECT_TRUE(widget->isHidden()) << name;
  }
  // In the panel, the port controls stay hidden even when it shows.
  find("panel2")->show();
  for (const char* name : {"label9", "portdata", "portRead", "portWrite", "button1"}) {
    EXPECT_FALSE(find(name)->isVisible()) << name;
  }
  for (const char* name : {"sAddrbox", "sReadbtn", "button3", "SPIwakeBtn"}) {
    EXPECT_TRUE(find(name)->isVisible()) << name;
  }
}

TEST_F(WindowTest, PinBoxesStartWithOnlyNcsCheckedAndOutputsReadOnly) {
  for (const char* name : {"IRQbox", "PRESNbox", "RESNbox", "HSPWMbox", "WDbox", "VTbox", "WAKEbox", "DFTbox"}) {
    EXPECT_FALSE(checked(name)) << name;
  }
  EXPECT_TRUE(checked("NCSBox"));
  for (const char* name : {"IRQbox", "PRESNbox", "RESNbox"}) {
    EXPECT_FALSE(find(name)->isEnabled()) << name;
    click(name);
    EXPECT_FALSE(checked(name)) << name;
  }
  EXPECT_FALSE(find("FSIBox")->isEnabled());
  // Building the window wrote nothing to the bridge.
  EXPECT_TRUE(bus.calls().empty());
}

TEST_F(WindowTest, StatusGroupStartsEmpty) {
  auto* bar = find<QProgressBar>("autoreadBar");
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 10);
  EXPECT_EQ(bar->value(), 0);
  EXPECT_FALSE(checked("Autobox"));
  EXPECT_FALSE(checked("FSIBox"));
  // SPI_STAT's list is a window control shown in front of the group.
  QWidget* spi = find("spi_statBox");
  EXPECT_EQ(spi->parentWidget(), window.get());
  EXPECT_TRUE(find("groupBox1")->geometry().contains(spi->geometry()));
  QWidget* on_top = window->childAt(spi->geometry().center());
  EXPECT_TRUE(on_top == spi || spi->isAncestorOf(on_top));
}

struct ListItems {
  const char* name;
  std::vector<const char*> items;
};

class ListItemsTest : public WindowTest, public ::testing::WithParamInterface<ListItems> {};

TEST_P(ListItemsTest, HoldsItsItemsInBitOrderAllClear) {
  auto* list = find<QListWidget>(GetParam().name);
  ASSERT_NE(list, nullptr);
  std::vector<std::string> texts;
  for (int row = 0; row < list->count(); ++row) texts.push_back(list->item(row)->text().toStdString());
  EXPECT_THAT(texts, ElementsAreArray(GetParam().items));
  EXPECT_THAT(marks(GetParam().name), ::testing::Each(false));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ListItemsTest,
    ::testing::Values(
        ListItems{"pwr_statBox",
                  {"HS_OL", "BOOST_FAIL", "LDO_FAIL", "OT_BOOST", "OT_LDO", "OT_BUCK", "VREG_FAIL", "BUCK_FAIL"}},
        ListItems{"sys_statBox", {"EC0", "EC1", "EC2", "EC_overflow", "SMPCLK_FAIL", "TestMode", "POR", "WD"}},
        ListItems{"spi_statBox", {"PARITY_FAIL", "CMD_ID_FAIL", "CLK_FAIL"}},
        ListItems{"freq_compBox", {"BUCK2[0]", "BUCK2[1]", "BUCK3[0]", "BUCK3[1]"}},
        ListItems{"pwr_configBox",
                  {"--", "BUCK2_EN", "BUCK3_EN", "LDO_EN", "BOOST_EN", "HS_EN", "GPFETOV_EN", "IRQ_TRESH"}},
        ListItems{"dev_configBox", {"--", "--", "--", "--", "HS_CLDIS", "VT_EN", "VREF_EN", "LPM1"}},
        ListItems{"clock_configBox", {"F_EN", "SS_EN", "SS_MODE", "F4", "F3", "F2", "F1", "F0"}}),
    [](const ::testing::TestParamInfo<ListItems>& info) { return std::string(info.param.name); });

TEST_F(WindowTest, BeforeConnectingOnlyTheControlsOutsideTheTabsWork) {
  click("lpm_cmdBtn");
  clickItem("pwr_configBox", 1);
  EXPECT_THAT(marks("pwr_configBox"), ::testing::Each(false));
  click("HSPWMbox");
  EXPECT_TRUE(checked("HSPWMbox"));
  click("Autobox");
  EXPECT_TRUE(checked("Autobox"));
  // No device is open: nothing reaches the bus.
  EXPECT_TRUE(ops().empty());
}

}  // namespace
