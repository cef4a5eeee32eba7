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

TEST_P(StartupTextTest, ShowsItsText) { EXPECT_EQ(textOf(GetParam().name).toStdString(), GetParam().text); }

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
    ByName());

// The DFT page's test pages, built with the window though detached from it.
INSTANTIATE_TEST_SUITE_P(
    DftControls, StartupTextTest,
    ::testing::Values(
        // "Testbus"
        ControlText{"label14", "Input/Output Observation register"},
        ControlText{"label16", "Analog Testbus (ATB1 ; VT )"},
        ControlText{"label17", "Digital Testbus (IRQLB; RESN; PRESN)"},
        ControlText{"label23", "Buck A I2R Regulator Count:"}, ControlText{"buckI2RLbl", "0"},
        ControlText{"scanmodeBtn", "Enter Scanmode"},
        // "Testmode Activation": the fifth list repeats the fourth's caption.
        ControlText{"label18", "Testmode Activation I"}, ControlText{"label19", "Testmode Activation II"},
        ControlText{"label20", "Testmode Activation III"}, ControlText{"label21", "Testmode Activation IV"},
        ControlText{"label50", "Testmode Activation IV"},
        // "EEPROM"
        ControlText{"label83", "EEPROM Test Control Reg"}, ControlText{"startCRCBox", "Start CRC generation"},
        ControlText{"checkCRCBox", "Check CRC after generation"}, ControlText{"crcErrorBox", "CRC error register"},
        ControlText{"label84", "EEPROM CRC8 calculated by IC:"}, ControlText{"eepromCRCBox", ""},
        ControlText{"label24", "CRC value to be stored in Reg:"}, ControlText{"storedCRCBox", "0x00"},
        ControlText{"button_rev", "Read Device Information"}, ControlText{"label76", "Revision:"},
        ControlText{"textBox_devrev", "xPx"}, ControlText{"label80", "FAB Code:"}, ControlText{"textBox_fabcode", ""},
        ControlText{"label79", "Wafer Lot #:"}, ControlText{"textBox_waferlot", ""},
        ControlText{"label77", "Die X Coord:"}, ControlText{"textBox_xcoord", ""},
        ControlText{"label78", "Die Y Coord:"}, ControlText{"textBox_ycoord", ""},
        ControlText{"label81", "Wafer number:"}, ControlText{"textBox_wafernum", ""},
        // "Trimming"
        ControlText{"label32", "Bandgap 1 TC Trim"}, ControlText{"label51", "LDO current limit"},
        ControlText{"label25", "Bandgap 1 Buck 0.8V Trim"}, ControlText{"checkBox1", "Buck2/3 high bandwith"},
        ControlText{"checkBox2", "Buck2/3 constant dip"}, ControlText{"label52", "LED open load sel"},
        ControlText{"checkBox3", "Buck2/3 increase tdelay"}, ControlText{"checkBox4", "BOOST increase cap"},
        ControlText{"checkBox5", "Buck2/3 more filtering"}, ControlText{"label26", "Bandgap 2 TC Trim"},
        ControlText{"label27", "Bandgap 2 Buck 0.8V Trim"}, ControlText{"label28", "Normal Mode Iref Trim"},
        ControlText{"label29", "Low Power Iref Trim"}, ControlText{"label30", "IPTAT Trim"},
        ControlText{"label55", "LDO trim"}, ControlText{"label56", "B2/3 blanking"},
        ControlText{"checkBox7", "Add CAPS to ZP output"}, ControlText{"label33", "Buck 2 LS curlim"},
        ControlText{"label34", "HS"}, ControlText{"label35", "Buck 3 LS curlim"}, ControlText{"label36", "HS"},
        ControlText{"label37", "Boost LS Current Limit Trim"}, ControlText{"label39", "BUCK3 gain"},
        ControlText{"label48", "BUCK2 gain"}, ControlText{"label38", "SMP osc"}, ControlText{"label40", "LPM osc"},
        ControlText{"label41", "BUCK2 RC"}, ControlText{"label42", "BUCK3 RC"}, ControlText{"label43", "BOOST RC"},
        ControlText{"label31", "Buck 1 LP-RC Trim"}, ControlText{"label1", "Buck1 Summing Comparator Trim"},
        ControlText{"track7pos", "pos"}, ControlText{"track7neg", "neg"}, ControlText{"label44", "Vref TC Trim"},
        ControlText{"disVREFBox", "Disable VREF clamp"},
        ControlText{"enaCRPBox", "Enable BUCK2/3 runaway protection for all duty cycles"},
        ControlText{"checkBox6", "OT sensor trim"},
        // "Device configuration"
        ControlText{"label45", "Device Config I"}, ControlText{"label46", "Device Config II"},
        ControlText{"label47", "Device Config III"},
        ControlText{"label53",
                    "Error counter config: \r\n\r\n11|01: Device enters lock state\r\n10      : Device enters lpm0\r\n"
                    "00      : Device does nothing"}),
    ByName());

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
    ByName());

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
