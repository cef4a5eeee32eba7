// The "DFT" page: its header row (DFT entry, the state machine's state, the
// watchdog toggle) and the inner tab control that holds the DFT test pages.
// The page is built with the window and detached from it at start-up.
#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>

#include "app/controls.h"
#include "app/form1.h"

namespace NEVO {

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
  tabControl2->setEnabled(false);
}

void Form1::refreshDftPage() {
  // Filled by the DFT page refresh together with the test pages.
}

void Form1::enterDFTbtn_Click() {
  // The DFT entry handshake comes with the test pages.
}

}  // namespace NEVO
