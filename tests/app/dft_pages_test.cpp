// The DFT page's five test pages as built: texts, items, ranges and initial
// states, and the "Trimming" page's captions beside their controls.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <cstdlib>

#include "window_fixture.h"

namespace {

using ::testing::Each;
using ::testing::ElementsAre;

constexpr const char* kInnerPages[] = {"tabPage1", "tabPage3", "tabPage4", "tabPage5", "tabPage6"};

TEST_F(WindowTest, TheInnerTabControlHoldsFivePagesAndIsDisabled) {
  auto* inner = find<QTabWidget>("tabControl2");
  std::vector<std::string> tabs;
  for (int i = 0; i < inner->count(); ++i) tabs.push_back(inner->tabText(i).toStdString());
  EXPECT_THAT(tabs, ElementsAre("Testbus", "Testmode Activation", "EEPROM", "Trimming", "Device configuration"));
  for (int i = 0; i < inner->count(); ++i) EXPECT_EQ(inner->widget(i), find(kInnerPages[i]));
  EXPECT_EQ(inner->currentIndex(), 0);
  EXPECT_FALSE(inner->isEnabled());
}

struct DropDown {
  const char* name;
  int count;
  const char* first;
  const char* last;
};

class DropDownTest : public WindowTest, public ::testing::WithParamInterface<DropDown> {};

TEST_P(DropDownTest, HoldsItsItemsWithNoneSelectedAndNoTyping) {
  auto* box = find<QComboBox>(GetParam().name);
  ASSERT_EQ(box->count(), GetParam().count);
  EXPECT_EQ(box->itemText(0).toStdString(), GetParam().first);
  EXPECT_EQ(box->itemText(box->count() - 1).toStdString(), GetParam().last);
  EXPECT_EQ(box->currentIndex(), -1);
  EXPECT_FALSE(box->isEditable());
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, DropDownTest,
    ::testing::Values(DropDown{"IO_observationBox", 5, "none", "NAND-Tree"},
                      DropDown{"atbBox", 35, "off", "100010 (LDO Charge Pump force;LDO Charge Pump sense)"},
                      DropDown{"dtbBox", 26, "00000 off", "11001 (LED OL; LED CL; VT shutdown (filtered))"},
                      DropDown{"comboBox1", 4, "20mV", "230mV"}),
    ByName());

TEST_F(WindowTest, LedOpenLoadSelectionOffersFourLevels) {
  auto* box = find<QComboBox>("comboBox1");
  std::vector<std::string> items;
  for (int i = 0; i < box->count(); ++i) items.push_back(box->itemText(i).toStdString());
  EXPECT_THAT(items, ElementsAre("20mV", "40mV", "60mV", "230mV"));
}

struct BitListItems {
  const char* name;
  const char* first;  // bit 7
  const char* last;   // bit 0
};

class DftListTest : public WindowTest, public ::testing::WithParamInterface<BitListItems> {};

TEST_P(DftListTest, HoldsEightItemsFromBitSevenAllClear) {
  auto* list = find<QListWidget>(GetParam().name);
  ASSERT_EQ(list->count(), 8);
  EXPECT_EQ(list->item(0)->text().toStdString(), GetParam().first);
  EXPECT_EQ(list->item(7)->text().toStdString(), GetParam().last);
  EXPECT_THAT(marks(GetParam().name), Each(false));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, DftListTest,
    ::testing::Values(BitListItems{"tmA1Box", "inc. buck clock pulse length by 4 delay buffers",
                                   "SYNC Oscillator clock controllable via SCLK"},
                      BitListItems{"tmA2Box", "disconnect TSD1 IPTAT", "Buck1 is forced into low power mode"},
                      BitListItems{"tmA3Box", "LDO OVST", "enable zero crossing comparator if not LPM"},
                      BitListItems{"tmA4Box", "Disable Watchdog and error state",
                                   "Short inputs of Zero Pole Amplifier"},
                      BitListItems{"tmA5Box", "reserved", "LPM1 enter open loop"},
                      BitListItems{"EEPROMtestBox", "--", "EEPROM Program"},
                      BitListItems{"devconf1Box", "Disable Error Counter", "LP Threshold"},
                      BitListItems{"devconf2Box", "ena BUCK 2/3 runaway prot", "dis VIO undervoltage"},
                      BitListItems{"devconf3Box", "Error Counter config 1", "BUCK 2 HS limit sel (0)"}),
    ByName());

struct SliderRange {
  int max;
  std::vector<const char*> sliders;
};

class SliderRangeTest : public WindowTest, public ::testing::WithParamInterface<SliderRange> {};

TEST_P(SliderRangeTest, StartsAtZeroAndEndsWhereItsFieldEnds) {
  for (const char* name : GetParam().sliders) {
    auto* slider = find<QSlider>(name);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->orientation(), Qt::Horizontal) << name;
    EXPECT_EQ(slider->minimum(), 0) << name;
    EXPECT_EQ(slider->maximum(), GetParam().max) << name;
    EXPECT_EQ(slider->value(), 0) << name;
    // Only the LDO current limit pages by one.
    EXPECT_EQ(slider->pageStep() == 1, std::string(name) == "trackBar21") << name;
  }
}

INSTANTIATE_TEST_SUITE_P(Maxima, SliderRangeTest,
                         ::testing::Values(SliderRange{3, {"trackBar22", "trackBar23"}},
                                           SliderRange{7,
                                                       {"trackBar7", "trackBar8", "trackBar10", "trackBar12",
                                                        "trackBar14", "trackBar20", "trackBar21"}},
                                           SliderRange{15,
                                                       {"trackBar1", "trackBar3", "trackBar4", "trackBar5", "trackBar6",
                                                        "trackBar9", "trackBar11"}},
                                           SliderRange{31, {"trackBar0", "trackBar2", "trackBar15", "trackBar19"}},
                                           SliderRange{63, {"trackBar13", "trackBar16", "trackBar17", "trackBar18"}}));

TEST_F(WindowTest, TrimAndCrcBoxesStartClearAndTheDisplaysReadOnly) {
  for (const char* box : {"checkBox1", "checkBox2", "checkBox4", "checkBox5", "checkBox6", "checkBox7", "track7pos",
                          "track7neg", "enaCRPBox", "disVREFBox", "startCRCBox", "checkCRCBox", "crcErrorBox"}) {
    EXPECT_FALSE(checked(box)) << box;
  }
  EXPECT_TRUE(checked("checkBox3"));
  EXPECT_FALSE(find("checkBox3")->isEnabled());
  EXPECT_FALSE(find("crcErrorBox")->isEnabled());
  for (const char* box : {"eepromCRCBox", "textBox_devrev", "textBox_xcoord", "textBox_ycoord", "textBox_waferlot",
                          "textBox_fabcode", "textBox_wafernum"}) {
    EXPECT_TRUE(find<QLineEdit>(box)->isReadOnly()) << box;
  }
  EXPECT_FALSE(find<QLineEdit>("storedCRCBox")->isReadOnly());
}

// Filling the page from code, as the refresh does, is no user change.
TEST_F(WindowTest, ControlsSetFromCodeWriteNothing) {
  connectBoard();
  find<QSlider>("trackBar4")->setValue(9);
  find<QSlider>("trackBar9")->setValue(3);
  find<QCheckBox>("checkBox1")->setChecked(true);
  find<QCheckBox>("enaCRPBox")->setChecked(true);
  EXPECT_THAT(ops(), ::testing::IsEmpty());
}

// --- The "Trimming" page's captions ------------------------------------------------

struct Caption {
  const char* name;  // the caption label's
  const char* control;
};

class TrimCaptionTest : public WindowTest, public ::testing::WithParamInterface<Caption> {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    showDftPage("tabPage5");
  }
};

// Left of its control in the same row, or right above it.
TEST_P(TrimCaptionTest, StandsBesideItsControlInTheSmallFont) {
  const QRect caption = find(GetParam().name)->geometry();
  const QRect control = find(GetParam().control)->geometry();
  const bool left_of = caption.right() < control.left() && caption.top() <= control.bottom() &&
                       control.top() <= caption.bottom() && control.left() - caption.right() <= 2;
  const bool above = caption.bottom() < control.top() && control.top() - caption.bottom() <= 3 &&
                     caption.left() <= control.right() && control.left() <= caption.right();
  EXPECT_TRUE(left_of || above) << "caption " << caption.x() << "," << caption.y() << " " << caption.width() << "x"
                                << caption.height() << ", control " << control.x() << "," << control.y();
  EXPECT_LT(find(GetParam().name)->font().pixelSize(), window->font().pixelSize());
  EXPECT_TRUE(find(GetParam().name)->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Captions, TrimCaptionTest,
                         ::testing::Values(Caption{"label32", "trackBar0"}, Caption{"label51", "trackBar21"},
                                           Caption{"label25", "trackBar1"}, Caption{"label52", "comboBox1"},
                                           Caption{"label26", "trackBar2"}, Caption{"label27", "trackBar3"},
                                           Caption{"label28", "trackBar4"}, Caption{"label29", "trackBar5"},
                                           Caption{"label30", "trackBar6"}, Caption{"label55", "trackBar22"},
                                           Caption{"label56", "trackBar23"}, Caption{"label33", "trackBar8"},
                                           Caption{"label34", "trackBar9"}, Caption{"label35", "trackBar10"},
                                           Caption{"label36", "trackBar11"}, Caption{"label37", "trackBar12"},
                                           Caption{"label39", "trackBar14"}, Caption{"label48", "trackBar20"},
                                           Caption{"label38", "trackBar13"}, Caption{"label40", "trackBar15"},
                                           Caption{"label41", "trackBar16"}, Caption{"label42", "trackBar17"},
                                           Caption{"label43", "trackBar18"}, Caption{"label31", "trackBar7"},
                                           Caption{"label1", "track7pos"}, Caption{"label44", "trackBar19"}),
                         ByName());

// Set KV_SCREENSHOT_DIR to a folder to get a picture of every test page there.
TEST_F(WindowTest, TestPagesPictures) {
  const char* dir = std::getenv("KV_SCREENSHOT_DIR");
  if (dir == nullptr) GTEST_SKIP() << "KV_SCREENSHOT_DIR not set";
  find("tabControl1")->setEnabled(true);
  find("tabControl2")->setEnabled(true);
  for (const char* page : kInnerPages) {
    showDftPage(page);
    const QString file = QStringLiteral("%1/%2.png").arg(QString::fromLocal8Bit(dir), QString::fromLatin1(page));
    EXPECT_TRUE(find(page)->grab().save(file)) << file.toStdString();
  }
}

}  // namespace
