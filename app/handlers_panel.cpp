// The pin panel, the poll timer, the manual access panel, the log and help.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include "app/controls.h"
#include "app/form1.h"
#include "app/gui_state.h"
#include "app/log_box.h"
#include "app/poll_ticks.h"
#include "bridge/device_access.h"
#include "bridge/port.h"
#include "bridge/spi.h"
#include "device/format.h"

namespace NEVO {
namespace {

// The debug read waits this many 1 ms polls for one byte.
constexpr DWORD kDebugReadPolls = 200;

}  // namespace

// --- Pins -------------------------------------------------------------------

std::array<Form1::PinBox, 6> Form1::drivenPins() const {
  return {{{HSPWMbox, pin::HSPWM},
           {VTbox, pin::VT},
           {WDbox, pin::WD},
           {WAKEbox, pin::WAKE},
           {DFTbox, pin::DFT},
           {NCSBox, pin::NCS}}};
}

std::array<Form1::PinBox, 3> Form1::shownPins() const {
  return {{{IRQbox, pin::IRQ}, {PRESNbox, pin::PRESN}, {RESNbox, pin::RESN}}};
}

std::uint16_t Form1::composePortWord() const {
  std::uint16_t word = 0;
  for (const PinBox& driven : drivenPins()) {
    if (driven.box->isChecked()) word |= driven.bit;
  }
  return word;
}

void Form1::PORTbtn_Click() { _NEVO_SetPort(composePortWord()); }

// --- Poll timer -------------------------------------------------------------

void Form1::updatetimer_Tick() {
  updatetimerticks = poll::NextTick(updatetimerticks);
  if (tglbox->isChecked()) NEVO_ToggleWD(composePortWord());
  if (!poll::IsSampleTick(updatetimerticks)) return;

  // A failed read shows all three outputs low.
  std::uint16_t word = 0;
  _NEVO_GetPort(word);
  for (const PinBox& shown : shownPins()) shown.box->setChecked((word & shown.bit) != 0);

  if (Autobox->isChecked()) {
    // The automatic refresh stays out of the log.
    logV = false;
    updateStatusBoxes();
    logV = true;
    autoreadBar->setValue(poll::BarValue(updatetimerticks));
  }
}

// --- Manual access ------------------------------------------------------------

std::optional<std::uint32_t> Form1::entryValue(const QLineEdit* box, const char* what) {
  const std::optional<std::uint32_t> value = kv7702::ParseHexEntry(box->text().toStdString());
  if (!value) {
    appendLog(QStringLiteral("Nothing sent: the %1 box holds no hexadecimal number after 0x\r\n")
                  .arg(QString::fromLatin1(what)));
  }
  return value;
}

void Form1::sReadbtn_Click() {
  const auto addr = entryValue(sAddrbox, "address");
  if (!addr) return;
  std::uint8_t value = 0;
  _NEVO_SPIRead(DFT_ENABLED, static_cast<std::uint8_t>(*addr), value);
  sDatabox->setText(ui::PrefixedHex(value, 2));
}

void Form1::sWritebtn_Click() {
  const auto addr = entryValue(sAddrbox, "address");
  if (!addr) return;
  const auto data = entryValue(sDatabox, "data");
  if (!data) return;
  _NEVO_SPIWrite(DFT_ENABLED, static_cast<std::uint8_t>(*addr), static_cast<std::uint8_t>(*data));
}

void Form1::sINVWritebtn_Click() {
  const std::int32_t response = NEVO_INVSPIWrite();
  ui::SetLabelText(label54, ui::PrefixedHex(static_cast<std::uint32_t>(response), 2));
  showFsi();
}

void Form1::SWAKEBtn_Click() { NEVO_SPIWrite_WAKE(DFT_ENABLED); }

void Form1::showPortWord(bool read_ok, std::uint16_t word) {
  portdata->setText(read_ok ? ui::PrefixedHex(word, 3) : QStringLiteral("0x000"));
}

void Form1::portRead_Click() {
  std::uint16_t word = 0;
  const bool ok = _NEVO_GetPort(word);
  showPortWord(ok, word);
}

void Form1::portWrite_Click() {
  const auto word = entryValue(portdata, "port");
  if (!word) return;
  _NEVO_SetPort(static_cast<std::uint16_t>(*word));
  // The word read back holds the pin levels, inputs included.
  portRead_Click();
}

void Form1::button1_Click_1() {
  std::uint8_t byte = 0;
  if (FTDI_WaitReceiveBuffer(&byte, 1, kDebugReadPolls)) {
    appendLog(QStringLiteral("Additional READ: 0x%1\r\n").arg(ui::Hex(byte, 2)));
  }
}

// --- Log and help -------------------------------------------------------------

void Form1::button8_Click() { logBox->clearLog(); }

void Form1::HLPbtn_Click() { help_presenter_(this, QStringLiteral("Short introduction"), HelpText()); }

QString HelpText() {
  return QStringLiteral(
      "K7702 EVM SOFTWARE\n\r\n\r"
      "This GUI enables you to communicate easy via SPI with the KVC7702 device.\n\r\n\r"
      "On the left you can see the pin status and set the connected inputs of the KVC7702\n\r"
      "In the middle part of this application the registers can be written to the device and by that you can change "
      "the configuration and switch on/off functions.\n\r"
      "On the right hand there are the read only status flags that are updated by each click on the UPDATE button on "
      "top of them. \n\rWhen you click the Auto checkbox the whole GUI is updated several times per second.\n\r"
      "The log window on the lower part of this GUI is logging all commands that you send or request manually (so "
      "the \"AUTO\" updates will be hidden)\n\r\n\r\n\r"
      "Known caveats:\n\r\n\r"
      " - The KV7702 is partly powered from the SPI interface. So if you reach the locked state you may need to "
      "powercycle \n\r   the device including removing the USB cable for a short while \n\r"
      " - The Watchdog is generated by the 555 on the EVM, this GUI has no control over it\n\r"
      " - Good jumper configuration for start is: All 2pin jumpers set but the 3 jumpers \"BUCK1\", \"BUCK2\" and "
      "\"BOOST\" removed, \n\r   and all 3pin jumpers set in the direction of the VSUP5 pin (bottom seen from the "
      "small logo)\n\r - In lock state the SPI won't work so the GUI sees all bits set.");
}

}  // namespace NEVO
