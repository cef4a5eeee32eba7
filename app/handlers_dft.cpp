// The DFT page's handlers: DFT mode entry and leaving, the page's refresh,
// the test-bus selectors and bit lists, scan mode, the EEPROM CRC run and the
// die identity.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

#include "app/checked_list.h"
#include "app/controls.h"
#include "app/form1.h"
#include "app/gui_state.h"
#include "app/push_button.h"
#include "bridge/sleep.h"
#include "device/identity.h"
#include "device/registers.h"

namespace NEVO {
namespace {

namespace reg = kv7702::reg;
namespace cmd = kv7702::cmd;

// The CRC generation runs while the start bit is held this long.
constexpr unsigned kCrcHoldMs = 500;

}  // namespace

// --- DFT mode -----------------------------------------------------------------

void Form1::enterDFTbtn_Click() {
  const bool pin_was_set = DFTbox->isChecked();
  // The read-backs of DFT_ENTRY always use the normal frame; a failed one
  // leaves 0.
  std::uint8_t entry = 0;
  if (!DFT_ENABLED) {
    // The DFT pin is driven for the handshake only (its box writes the port).
    DFTbox->setChecked(true);
    for (const std::uint8_t step : cmd::DFT_ENTER) _NEVO_SPIWrite(DFT_ENABLED, reg::DFT_ENTRY, step);
    _NEVO_SPIRead(false, reg::DFT_ENTRY, entry);
    DFT_ENABLED = entry == cmd::DFT_ACTIVE;
    if (DFT_ENABLED) {
      appendLog(QStringLiteral("Entered DFT....OK\r\n"));
      enterDFTbtn->setText(QStringLiteral("LEAVE DFT"));
      updateStatusBoxes();
    } else {
      appendLog(QStringLiteral("Entered DFT....FAILED\r\n"));
    }
    if (!pin_was_set) DFTbox->setChecked(false);
  } else {
    _NEVO_SPIRead(false, reg::DFT_ENTRY, entry);
    if (entry == cmd::DFT_ACTIVE) {
      _NEVO_SPIWrite(DFT_ENABLED, reg::DFT_ENTRY, cmd::DFT_LEAVE);
      appendLog(QStringLiteral("Left DFT....\r\n"));
    } else {
      appendLog(QStringLiteral("Ups. Wasn't in DFT...\r\n"));
    }
    dropDftMode();
  }
  tabControl2->setEnabled(DFT_ENABLED);
}

void Form1::dropDftMode() {
  DFT_ENABLED = false;
  tabControl2->setEnabled(false);
  enterDFTbtn->setText(QStringLiteral("ENTER DFT"));
}

std::uint8_t Form1::readRegister(std::uint8_t addr) {
  std::uint8_t value = 0;
  _NEVO_SPIRead(DFT_ENABLED, addr, value);
  return value;
}

void Form1::refreshDftPage() {
  if (readRegister(reg::DFT_ENTRY) != cmd::DFT_ACTIVE) {
    // The chip has left DFT mode by itself; nothing is written.
    dropDftMode();
    appendLog(QStringLiteral("Got kicked out of DFT\r\n"));
    stateLbl->clear();
    return;
  }
  stateLbl->setText(QString::fromStdString(kv7702::StateName(readRegister(reg::FSM_STATE))));
  showBuckI2RCount(readRegister(reg::BUCK_I2R_CNT));

  // Selecting an entry raises the drop-down's writer; its write is dropped.
  DoingRead = true;
  for (std::size_t i = 0; i < testBusBoxes_.size(); ++i) {
    const std::uint8_t value = readRegister(kv7702::kTestBusSelectors[i].addr);
    // A value that names no entry leaves the selection as it is.
    if (value < testBusBoxes_[i]->count()) testBusBoxes_[i]->setCurrentIndex(value);
  }
  DoingRead = false;

  std::array<std::uint8_t, kv7702::kTestModeLists.size()> test_modes{};
  for (std::size_t i = 0; i < test_modes.size(); ++i) test_modes[i] = readRegister(kv7702::kTestModeLists[i].addr);
  updateTrim();
  std::array<std::uint8_t, kv7702::kDevConfLists.size()> dev_confs{};
  for (std::size_t i = 0; i < dev_confs.size(); ++i) dev_confs[i] = readRegister(kv7702::kDevConfLists[i].addr);
  // Marks set here raise no write handler.
  for (std::size_t i = 0; i < dev_confs.size(); ++i) devConfLists_[i]->showValue(dev_confs[i]);
  for (std::size_t i = 0; i < test_modes.size(); ++i) testModeLists_[i]->showValue(test_modes[i]);
}

void Form1::showBuckI2RCount(std::uint8_t count) {
  // The count changes on nearly every refresh. The label is sized to its
  // text as ever, but each of the 256 texts is measured only the first time
  // it shows; after that the label takes the size it had then.
  buckI2RLbl->setText(ui::PrefixedHex(count, 2));
  QSize& fitted = buckI2RSizes_[count];
  if (fitted.isValid()) {
    buckI2RLbl->resize(fitted);
  } else {
    buckI2RLbl->adjustSize();
    fitted = buckI2RLbl->size();
  }
}

// --- Test buses, bit lists, scan mode ------------------------------------------

void Form1::sendSelector(const char* control) {
  for (std::size_t i = 0; i < testBusBoxes_.size(); ++i) {
    if (testBusBoxes_[i]->objectName() != QLatin1String(control)) continue;
    // Without a selection there is nothing to send.
    const int index = testBusBoxes_[i]->currentIndex();
    if (index >= 0) _NEVO_SPIWrite(DFT_ENABLED, kv7702::kTestBusSelectors[i].addr, static_cast<std::uint8_t>(index));
  }
}

void Form1::IO_observationBox_SelectedIndexChanged() { sendSelector("IO_observationBox"); }
void Form1::atbBox_SelectedIndexChanged() { sendSelector("atbBox"); }
void Form1::dtbBox_SelectedIndexChanged() { sendSelector("dtbBox"); }

void Form1::scanmodeBtn_Click() { _NEVO_SPIWrite(DFT_ENABLED, reg::SCAN_MODE, cmd::SCAN_MODE); }

void Form1::tmA1Box_SelectedValueChanged() { sendBitList("tmA1Box"); }
void Form1::tmA2Box_SelectedValueChanged() { sendBitList("tmA2Box"); }
void Form1::tmA3Box_SelectedValueChanged() { sendBitList("tmA3Box"); }
void Form1::tmA4Box_SelectedValueChanged() { sendBitList("tmA4Box"); }
void Form1::tmA5Box_SelectedValueChanged() { sendBitList("tmA5Box"); }
void Form1::EEPROMtestBox_SelectedValueChanged() { sendBitList("EEPROMtestBox"); }
void Form1::devconf1Box_SelectedValueChanged() { sendBitList("devconf1Box"); }
void Form1::devconf2Box_SelectedValueChanged() { sendBitList("devconf2Box"); }
void Form1::devconf3Box_SelectedValueChanged() { sendBitList("devconf3Box"); }

// --- EEPROM CRC and die identity ------------------------------------------------

void Form1::setCRC() {
  // Clearing the start box below comes back here and ends at once.
  if (!startCRCBox->isChecked()) return;
  const std::optional<std::uint32_t> stored = entryValue(storedCRCBox, "CRC value");
  if (!stored) {
    // Nothing was written; the box is free for the next try.
    startCRCBox->setChecked(false);
    return;
  }
  const bool check = checkCRCBox->isChecked();
  _NEVO_SPIWrite(DFT_ENABLED, reg::CRC_STORED, static_cast<std::uint8_t>(*stored));
  _NEVO_SPIWrite(DFT_ENABLED, reg::CRC_CTRL, kv7702::CrcCtrlStart(check));
  bridge::SleepMs(kCrcHoldMs);
  startCRCBox->setChecked(false);
  _NEVO_SPIWrite(DFT_ENABLED, reg::CRC_CTRL, kv7702::CrcCtrlAfter(check));

  eepromCRCBox->setText(QString::fromStdString(kv7702::ByteText(readRegister(reg::CRC_CALC))));
  crcErrorBox->setChecked(kv7702::CrcError(readRegister(reg::CRC_STAT)));
}

void Form1::button_rev_Click() {
  // Each box is set right after its read.
  const auto show = [](QLineEdit* box, const std::string& text) { box->setText(QString::fromStdString(text)); };
  show(textBox_devrev, kv7702::RevisionText(readRegister(reg::DIE_REV)));
  show(textBox_xcoord, kv7702::ByteText(readRegister(reg::DIE_X)));
  show(textBox_ycoord, kv7702::ByteText(readRegister(reg::DIE_Y)));
  std::array<std::uint8_t, 3> lot{};
  for (std::size_t i = 0; i < lot.size(); ++i) lot[i] = readRegister(static_cast<std::uint8_t>(reg::WAFER_LOT + i));
  show(textBox_waferlot, kv7702::LotNumberText(kv7702::LotNumber(lot[0], lot[1], lot[2])));
  const std::uint8_t fab_info = readRegister(reg::FAB_INFO);
  show(textBox_fabcode, kv7702::ByteText(kv7702::FabCode(fab_info)));
  show(textBox_wafernum, kv7702::ByteText(kv7702::WaferNumber(fab_info)));
  // FAB_INFO bit 0 has no box of its own: the wafer number's tooltip shows it.
  const std::string bit0 = kv7702::ByteText(kv7702::FabInfoBit0(fab_info));
  textBox_wafernum->setToolTip(QStringLiteral("FAB_INFO bit 0: %1").arg(QString::fromStdString(bit0)));
}

}  // namespace NEVO
