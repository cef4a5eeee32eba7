// The "Functional" page: configuration bit lists, command buttons, serial
// number and revision.
#include <QLabel>

#include "app/checked_list.h"
#include "app/controls.h"
#include "app/form1.h"
#include "app/gui_state.h"
#include "device/identity.h"
#include "device/registers.h"

namespace NEVO {

void Form1::sendBitList(const char* control) {
  const auto* list = findChild<CheckedList*>(QString::fromLatin1(control));
  Q_ASSERT(list != nullptr);
  _NEVO_SPIWrite(DFT_ENABLED, list->reg(), list->value());
}

void Form1::pwr_configBox_SelectedValueChanged() { sendBitList("pwr_configBox"); }
void Form1::dev_configBox_SelectedIndexChanged() { sendBitList("dev_configBox"); }
void Form1::clock_configBox_SelectedIndexChanged() { sendBitList("clock_configBox"); }

void Form1::lpm_cmdBtn_Click() { _NEVO_SPIWrite(DFT_ENABLED, kv7702::reg::LPM0_CMD, kv7702::cmd::LPM0); }
void Form1::lock_cmdBtn_Click() { _NEVO_SPIWrite(DFT_ENABLED, kv7702::reg::LOCK_CMD, kv7702::cmd::LOCK); }

void Form1::button2_Click() {
  std::uint8_t revision = 0;
  std::array<std::uint8_t, 6> serial{};
  _NEVO_SPIRead(DFT_ENABLED, kv7702::reg::DEV_REVISION, revision);
  for (std::size_t i = 0; i < serial.size(); ++i) {
    _NEVO_SPIRead(DFT_ENABLED, static_cast<std::uint8_t>(kv7702::reg::SERIAL_NR + i), serial[i]);
  }
  ui::SetLabelText(dev_revisionLbl, QString::fromStdString(kv7702::DevRevisionText(revision)));
  ui::SetLabelText(serial_nrLbl, QString::fromStdString(kv7702::SerialText(serial)));
}

}  // namespace NEVO
