// The "DFT" page: its header row (DFT entry, the state machine's state, the
// watchdog toggle) and the inner tab control with the DFT test pages
// "Testbus", "Testmode Activation", "EEPROM", "Trimming" (trim_page.cpp) and
// "Device configuration". The page is built with the window and detached
// from it at start-up.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QTabWidget>
#include <algorithm>

#include "app/checked_list.h"
#include "app/controls.h"
#include "app/form1.h"
#include "app/push_button.h"
#include "device/registers.h"

namespace NEVO {

void Form1::fitBitLists(QWidget* page, std::span<CheckedList* const> lists, std::span<const ListPlace> places) {
  for (std::size_t i = 0; i < lists.size(); ++i) {
    CheckedList* list = lists[i];
    list->setFont(ui::SmallFont());
    const int needed = list->sizeHintForColumn(0) + 2 * list->frameWidth();
    if (needed <= list->width()) continue;
    list->resize(needed, list->height());
    const int shift = std::min(0, ui::kInnerPageRight - (list->x() + list->width()));
    if (shift == 0) continue;
    list->move(list->x() + shift, list->y());
    auto* caption = page->findChild<QLabel*>(QString::fromLatin1(places[i].caption_name));
    caption->move(caption->x() + shift, caption->y());
  }
}

void Form1::buildDftPage() {
  tabPage2 = ui::TabPage(tabControl1, "tabPage2", QStringLiteral("DFT"));

  enterDFTbtn =
      addButton(tabPage2, "enterDFTbtn", QStringLiteral("ENTER DFT"), {9, 3, 97, 20}, &Form1::enterDFTbtn_Click);
  ui::Label(tabPage2, "label22", QStringLiteral("Current State of State machine:"), {153, 8});
  stateLbl = ui::Label(tabPage2, "stateLbl", QStringLiteral("none"), {314, 8});
  stateLbl->setFixedSize(117, 14);
  tglbox = ui::CheckBox(tabPage2, "tglbox", QStringLiteral("tgl WD"), {501, 8});

  // Enabled only while the chip is in DFT mode.
  tabControl2 = new QTabWidget(tabPage2);
  tabControl2->setObjectName(QStringLiteral("tabControl2"));
  tabControl2->setGeometry(0, 25, 567, 468);
  QWidget* testbus = ui::TabPage(tabControl2, "tabPage1", QStringLiteral("Testbus"));
  testbus->setAutoFillBackground(false);
  buildTestbusPage(testbus);
  buildTestmodePage(ui::TabPage(tabControl2, "tabPage3", QStringLiteral("Testmode Activation")));
  buildEepromPage(ui::TabPage(tabControl2, "tabPage4", QStringLiteral("EEPROM")));
  buildTrimmingPage(ui::TabPage(tabControl2, "tabPage5", QStringLiteral("Trimming")));
  buildDevConfPage(ui::TabPage(tabControl2, "tabPage6", QStringLiteral("Device configuration")));
  tabControl2->setCurrentIndex(0);
  tabControl2->setEnabled(false);
}

void Form1::buildTestbusPage(QWidget* page) {
  struct Place {
    const char* caption_name;
    QPoint caption;
    QRect box;
  };
  const std::array<Place, 3> places{{
      {"label14", {6, 20}, {10, 37, 121, 21}},
      {"label16", {6, 69}, {9, 83, 530, 21}},
      {"label17", {6, 109}, {9, 125, 530, 21}},
  }};
  const QMetaMethod changed = QMetaMethod::fromSignal(&QComboBox::currentIndexChanged);
  for (std::size_t i = 0; i < places.size(); ++i) {
    const kv7702::Selector& entry = kv7702::kTestBusSelectors[i];
    ui::Label(page, places[i].caption_name, QString::fromUtf8(entry.label), places[i].caption);
    testBusBoxes_[i] = ui::DropDown(page, entry.control, entry.items, places[i].box);
    bindHandler(testBusBoxes_[i], changed, entry.handler);
  }

  ui::Label(page, "label23", QStringLiteral("Buck A I2R Regulator Count:"), {6, 172});
  buckI2RLbl = ui::Label(page, "buckI2RLbl", QStringLiteral("0"), {157, 171});
  addButton(page, "scanmodeBtn", QStringLiteral("Enter Scanmode"), {259, 167, 117, 23}, &Form1::scanmodeBtn_Click);
}

void Form1::buildTestmodePage(QWidget* page) {
  // TM_ACT1, TM_ACT3 and TM_ACT5 in the left column, TM_ACT2 and TM_ACT4 in
  // the right one.
  const std::array<ListPlace, 5> places{{
      {"label18", {17, 13}, {20, 29, 240, 120}},
      {"label19", {281, 13}, {284, 29, 240, 120}},
      {"label20", {17, 156}, {20, 172, 258, 120}},
      {"label21", {281, 156}, {284, 172, 240, 120}},
      {"label50", {17, 295}, {20, 311, 240, 120}},
  }};
  addBitLists(page, kv7702::kTestModeLists, places, ui::Label, testModeLists_);
  fitBitLists(page, testModeLists_, places);
}

void Form1::buildEepromPage(QWidget* page) {
  // The EEPROM test list and the CRC controls in the left half.
  const std::array<ListPlace, 1> list_place{{{"label83", {6, 10}, {9, 26, 237, 120}}}};
  CheckedList* eeprom_test = nullptr;
  addBitLists(page, std::span(&kv7702::kEepromTestList, 1), list_place, ui::Label, std::span(&eeprom_test, 1));
  fitBitLists(page, std::span(&eeprom_test, 1), list_place);

  // Both CRC boxes start a run when ticked; setCRC looks at which is.
  startCRCBox = ui::CheckBox(page, "startCRCBox", QStringLiteral("Start CRC generation"), {9, 180});
  checkCRCBox = ui::CheckBox(page, "checkCRCBox", QStringLiteral("Check CRC after generation"), {9, 201});
  const QMetaMethod toggled = QMetaMethod::fromSignal(&QCheckBox::toggled);
  bindHandler(startCRCBox, toggled, "setCRC");
  bindHandler(checkCRCBox, toggled, "setCRC");
  crcErrorBox = ui::CheckBox(page, "crcErrorBox", QStringLiteral("CRC error register"), {9, 220});
  crcErrorBox->setEnabled(false);
  ui::Label(page, "label84", QStringLiteral("EEPROM CRC8 calculated by IC:"), {6, 242});
  eepromCRCBox = ui::ReadOnlyBox(page, "eepromCRCBox", QString(), {171, 239, 43, 20});
  ui::Label(page, "label24", QStringLiteral("CRC value to be stored in Reg:"), {6, 268});
  storedCRCBox = ui::HexEntry(page, "storedCRCBox", 2, QStringLiteral("000"), {171, 268, 43, 20});

  // The device information block in the right half: captions left of their
  // read-only boxes, in two columns. The lot number's six digits need a few
  // pixels more than the other boxes.
  addButton(page, "button_rev", QStringLiteral("Read Device Information"), {290, 197, 132, 23},
            &Form1::button_rev_Click);
  struct Info {
    const char* caption_name;
    const char* caption;
    QPoint caption_at;
    const char* box_name;
    QPoint box_at;
    QLineEdit** box;
    int width;
  };
  const std::array<Info, 6> infos{{
      {"label76", "Revision:", {287, 238}, "textBox_devrev", {360, 235}, &textBox_devrev, 56},
      {"label80", "FAB Code:", {287, 264}, "textBox_fabcode", {360, 261}, &textBox_fabcode, 56},
      {"label79", "Wafer Lot #:", {287, 290}, "textBox_waferlot", {360, 287}, &textBox_waferlot, 60},
      {"label77", "Die X Coord:", {429, 238}, "textBox_xcoord", {502, 235}, &textBox_xcoord, 56},
      {"label78", "Die Y Coord:", {429, 264}, "textBox_ycoord", {502, 261}, &textBox_ycoord, 56},
      {"label81", "Wafer number:", {422, 290}, "textBox_wafernum", {502, 287}, &textBox_wafernum, 56},
  }};
  for (const Info& info : infos) {
    ui::Label(page, info.caption_name, QString::fromLatin1(info.caption), info.caption_at);
    *info.box = ui::ReadOnlyBox(page, info.box_name, QString(), QRect(info.box_at, QSize(info.width, 20)));
    (*info.box)->setAlignment(Qt::AlignCenter);
  }
  textBox_devrev->setText(QStringLiteral("xPx"));
}

void Form1::buildDevConfPage(QWidget* page) {
  const std::array<ListPlace, 3> places{{
      {"label45", {6, 13}, {9, 29, 160, 120}},
      {"label46", {172, 13}, {175, 29, 160, 120}},
      {"label47", {355, 13}, {358, 29, 133, 120}},
  }};
  addBitLists(page, kv7702::kDevConfLists, places, ui::Label, devConfLists_);
  fitBitLists(page, devConfLists_, places);
  ui::Label(page, "label53",
            QStringLiteral("Error counter config: \r\n\r\n11|01: Device enters lock state\r\n"
                           "10      : Device enters lpm0\r\n00      : Device does nothing"),
            {355, 172});
}

}  // namespace NEVO
