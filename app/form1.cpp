// The window's life: construction and start-up trimming, the connection to
// the board, the register and port access wrappers, the status refresh and
// the window's destruction.
#include "app/form1.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QMetaMethod>
#include <QTabWidget>
#include <QTimer>
#include <string>

#include "app/checked_list.h"
#include "app/controls.h"
#include "app/gui_state.h"
#include "app/log_box.h"
#include "app/push_button.h"
#include "bridge/d2xx.h"
#include "bridge/device_access.h"
#include "bridge/port.h"
#include "bridge/spi.h"
#include "device/format.h"
#include "device/registers.h"

namespace NEVO {
namespace {

void ShowHelpBox(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, caption, FoldLineBreaks(text), QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent), help_presenter_(ShowHelpBox) {
  InitializeComponent();
  // Start-up trimming: the manual access panel and the "DFT" page stay
  // built and working but out of the user's reach, and so do the DFT and WD
  // pins.
  panel2->hide();
  tabControl1->removeTab(tabControl1->indexOf(tabPage2));
  DFTbox->hide();
  WDbox->hide();
}

Form1::~Form1() {
  // No tick may reach the bridge once it is closed.
  updatetimer->stop();
  ActiveHW = !FTDI_CloseDevice();
  delete components;
  components = nullptr;
  updatetimer = nullptr;
}

void Form1::bindHandler(QObject* sender, const QMetaMethod& signal, const char* handler) {
  const QByteArray signature = QByteArray(handler) + "()";
  const int index = metaObject()->indexOfSlot(signature.constData());
  if (index < 0) qFatal("Form1 has no handler %s", signature.constData());
  connect(sender, signal, this, metaObject()->method(index));
}

void Form1::setHelpPresenter(HelpPresenter presenter) {
  help_presenter_ = presenter ? std::move(presenter) : HelpPresenter(ShowHelpBox);
}

// --- Connection -----------------------------------------------------------

void Form1::button1_Click() {
  if (!ActiveHW) {
    DWORD version = 0;
    if (FT_GetLibraryVersion(&version) == FT_OK) {
      appendLog(QStringLiteral("FTD2XX.DLL version is 0x%1\r\n").arg(ui::Hex(version, 6)));
    }
    ActiveHW = FTDI_OpenDevice();
    if (!ActiveHW) {
      appendLog(
          QStringLiteral("Unable to connect to FTDI USB device\r\n"
                         "Make sure the USB cable is plugged in properly\r\n"));
      const std::string cause = d2xx::LastErrorText();
      if (!cause.empty()) appendLog(QString::fromStdString(cause) + QStringLiteral("\r\n"));
    } else {
      appendLog(QStringLiteral("Connected to USB chip. "));
      if (NEVO_InitFTDI()) appendLog(QStringLiteral("USB chip initialized OK\r\n"));
      btnConnect->setText(QStringLiteral("Disconnect from USB"));
      updatetimer->start();
      updateStatusBoxes();
    }
  } else {
    updatetimer->stop();
    ActiveHW = !FTDI_CloseDevice();
    btnConnect->setText(QStringLiteral("Connect to USB"));
    appendLog(QStringLiteral("Released USB Device\r\n"));
  }
  tabControl1->setEnabled(ActiveHW);
  // The board's pins follow the boxes again once the bridge is open.
  PORTbtn_Click();
}

// --- Register and port access ----------------------------------------------

bool Form1::_NEVO_SetPort(std::uint16_t output) { return NEVO_SetPort(output); }

bool Form1::_NEVO_GetPort(std::uint16_t& input) { return NEVO_GetPort(&input); }

void Form1::showFsi() { FSIBox->setChecked(NEVO_GetFSI()); }

bool Form1::_NEVO_SPIRead(bool DFT, std::uint8_t addr, std::uint8_t& input) {
  const bool ok = NEVO_SPIRead(DFT, addr, &input);
  showFsi();
  if (logV) appendLog(QString::fromStdString(kv7702::ReadLogLine(addr, input)));
  return ok;
}

bool Form1::_NEVO_SPIWrite(bool DFT, std::uint8_t addr, std::uint8_t data) {
  if (DoingRead) return false;
  // Shows the flag of the frame before this write; the write's own flag
  // shows with the next access.
  showFsi();
  if (logV) appendLog(QString::fromStdString(kv7702::WriteLogLine(addr, data)));
  return NEVO_SPIWrite(DFT, addr, data);
}

// --- Status refresh ---------------------------------------------------------

void Form1::updateStatusBoxes() {
  // All seven registers are read before any list changes; a failed read
  // leaves its byte 0.
  std::array<std::uint8_t, kv7702::kStatusLists.size()> status{};
  std::array<std::uint8_t, kv7702::kConfigLists.size()> config{};
  for (std::size_t i = 0; i < status.size(); ++i) _NEVO_SPIRead(DFT_ENABLED, kv7702::kStatusLists[i].addr, status[i]);
  for (std::size_t i = 0; i < config.size(); ++i) _NEVO_SPIRead(DFT_ENABLED, kv7702::kConfigLists[i].addr, config[i]);
  // Marks set here raise no write handler.
  for (std::size_t i = 0; i < status.size(); ++i) statusLists_[i]->showValue(status[i]);
  for (std::size_t i = 0; i < config.size(); ++i) configLists_[i]->showValue(config[i]);
  if (DFT_ENABLED) refreshDftPage();
}

void Form1::updateBtn_Click() { updateStatusBoxes(); }

// --- Log ----------------------------------------------------------------------

void Form1::appendLog(const QString& text) { logBox->appendText(text); }

QString Form1::logText() const { return logBox->text(); }

}  // namespace NEVO
