// InitializeComponent: every control of the window with its name, text,
// place, initial state and event binding. The pages of the DFT page's inner
// tab control are built in dft_page.cpp.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPixmap>
#include <QProgressBar>
#include <QTabWidget>
#include <QTimer>

#include "app/checked_list.h"
#include "app/controls.h"
#include "app/form1.h"
#include "app/log_box.h"
#include "device/registers.h"

// The picture lives in this static library; its resources are registered
// from here, outside any namespace.
static void RegisterResources() { Q_INIT_RESOURCE(resources); }

namespace NEVO {
namespace {
constexpr const char* kTitle = "KV7702 evaluation GUI 3P0 build 1";
}  // namespace

void Form1::InitializeComponent() {
  RegisterResources();
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromLatin1(kTitle));
  setFont(ui::WindowFont());
  // Fixed client area; minimize and close, no maximize.
  setFixedSize(kClientWidth, kClientHeight);
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

  components = new QObject(this);
  components->setObjectName(QStringLiteral("components"));
  updatetimer = new QTimer(components);
  updatetimer->setObjectName(QStringLiteral("updatetimer"));
  updatetimer->setInterval(kPollIntervalMs);
  connect(updatetimer, &QTimer::timeout, this, &Form1::updatetimer_Tick);

  btnConnect = addButton(this, "btnConnect", QStringLiteral("Connect to USB"), {3, 12, 76, 38}, &Form1::button1_Click);

  buildPinColumn();

  addButton(this, "HLPbtn", QStringLiteral("Help"), {3, 289, 74, 29}, &Form1::HLPbtn_Click);

  auto* pictureBox1 = new QLabel(this);
  pictureBox1->setObjectName(QStringLiteral("pictureBox1"));
  pictureBox1->setGeometry(3, 324, 80, 82);
  pictureBox1->setAlignment(Qt::AlignCenter);
  // The picture is stored at the size the box shows it, so scaled() hands it
  // back as it is.
  pictureBox1->setPixmap(QPixmap(QStringLiteral(":/kv7702/board-79x82.png"))
                             .scaled(pictureBox1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

  addButton(this, "button4", QStringLiteral("Clear log"), {2, 503, 74, 29}, &Form1::button8_Click);

  tabControl1 = new QTabWidget(this);
  tabControl1->setObjectName(QStringLiteral("tabControl1"));
  tabControl1->setGeometry(85, 12, 576, 520);
  buildFunctionalPage(ui::TabPage(tabControl1, "Basic", QStringLiteral("Functional")));
  buildDftPage();
  tabControl1->setCurrentIndex(0);
  tabControl1->setEnabled(false);

  buildStatusGroup();

  logBox = new LogBox(this);
  logBox->setObjectName(QStringLiteral("logBox"));
  logBox->setGeometry(2, 538, 654, 117);
}

PushButton* Form1::addButton(QWidget* parent, const char* name, const QString& text, QRect geometry,
                             void (Form1::*on_click)()) {
  PushButton* button = ui::Button(parent, name, text, geometry);
  connect(button, &QPushButton::clicked, this, on_click);
  return button;
}

void Form1::addBitLists(QWidget* page, std::span<const kv7702::BitList> lists, std::span<const ListPlace> places,
                        CaptionMaker caption, std::span<CheckedList*> made) {
  Q_ASSERT(lists.size() == places.size() && lists.size() == made.size());
  const QMetaMethod toggled = QMetaMethod::fromSignal(&CheckedList::userToggled);
  for (std::size_t i = 0; i < lists.size(); ++i) {
    const kv7702::BitList& entry = lists[i];
    caption(page, places[i].caption_name, QString::fromUtf8(entry.label), places[i].caption);
    made[i] = ui::List(page, entry.control, CheckedList::Style::Configuration, entry.addr, entry.items, places[i].list);
    bindHandler(made[i], toggled, entry.handler);
  }
}

void Form1::buildPinColumn() {
  ui::Caption(this, "label8", QStringLiteral("PORTS:"), {7, 59});

  // Top to bottom, 23 pixels apart.
  auto pin_box = [this](const char* name, const char* text, int row) {
    QCheckBox* box = ui::CheckBox(this, name, QString::fromLatin1(text), {3, 76 + 23 * row});
    box->setFocusPolicy(Qt::NoFocus);
    return box;
  };
  IRQbox = pin_box("IRQbox", "IRQ", 0);
  PRESNbox = pin_box("PRESNbox", "PRESN", 1);
  RESNbox = pin_box("RESNbox", "RESN", 2);
  HSPWMbox = pin_box("HSPWMbox", "HSPWM", 3);
  WDbox = pin_box("WDbox", "WD", 4);
  VTbox = pin_box("VTbox", "VT", 5);
  WAKEbox = pin_box("WAKEbox", "WAKE", 6);
  DFTbox = pin_box("DFTbox", "DFT", 7);
  NCSBox = pin_box("NCSBox", "NCS", 8);
  NCSBox->move(2, NCSBox->y());

  // The board's outputs are shown only: the user cannot change them.
  for (const PinBox& shown : shownPins()) shown.box->setEnabled(false);
  // NCS starts checked before any handler is bound, so building the window
  // writes nothing to the port.
  NCSBox->setChecked(true);
  for (const PinBox& driven : drivenPins()) {
    connect(driven.box, &QCheckBox::stateChanged, this, &Form1::PORTbtn_Click);
  }
}

void Form1::buildFunctionalPage(QWidget* page) {
  addButton(page, "lpm_cmdBtn", QStringLiteral("send LPM0_CMD"), {6, 17, 110, 23}, &Form1::lpm_cmdBtn_Click);
  addButton(page, "lock_cmdBtn", QStringLiteral("send LOCK_CMD"), {135, 17, 110, 23}, &Form1::lock_cmdBtn_Click);

  // PWR_CONFIG at the left, DEV_CONFIG beside it, CLOCK_CONFIG under PWR_CONFIG.
  const std::array<ListPlace, 3> places{{
      {"label10", {6, 69}, {6, 88, 93, 120}},
      {"label11", {135, 69}, {135, 88, 93, 120}},
      {"label49", {6, 224}, {6, 240, 75, 120}},
  }};
  addBitLists(page, kv7702::kConfigLists, places, ui::Caption, configLists_);

  ui::Caption(page, "label13", QStringLiteral("DEV_REVISION 0x2F"), {263, 70});
  dev_revisionLbl = ui::Label(page, "dev_revisionLbl", QStringLiteral("00"), {280, 90});
  ui::Caption(page, "label15", QStringLiteral("Serial Nr (1..5):"), {263, 116});
  serial_nrLbl = ui::Label(page, "serial_nrLbl", QStringLiteral("00 00 00 00 00 00"), {280, 135});
  addButton(page, "button2", QStringLiteral("Update Serial && Revision"), {272, 155, 93, 42}, &Form1::button2_Click);

  buildManualPanel(page);
}

void Form1::buildManualPanel(QWidget* page) {
  panel2 = new QWidget(page);
  panel2->setObjectName(QStringLiteral("panel2"));
  panel2->setGeometry(413, 65, 143, 342);

  // Register access at the left.
  ui::Caption(panel2, "label2", QStringLiteral("SPI :"), {2, 3});
  ui::Label(panel2, "label3", QStringLiteral("Adress"), {4, 16});
  sAddrbox = ui::HexEntry(panel2, "sAddrbox", 2, QStringLiteral("000"), {7, 32, 54, 20});
  ui::Label(panel2, "label4", QStringLiteral("Data"), {4, 53});
  sDatabox = ui::HexEntry(panel2, "sDatabox", 2, QStringLiteral("000"), {7, 71, 54, 20});
  addButton(panel2, "sReadbtn", QStringLiteral("Read"), {7, 95, 56, 24}, &Form1::sReadbtn_Click);
  addButton(panel2, "sWritebtn", QStringLiteral("Write"), {7, 125, 56, 24}, &Form1::sWritebtn_Click);
  addButton(panel2, "button3", QStringLiteral("Send spi command with 15 bits"), {7, 159, 56, 68},
            &Form1::sINVWritebtn_Click);
  label54 = ui::Label(panel2, "label54", QStringLiteral("spi_fail_clk return:"), {4, 230});
  addButton(panel2, "SPIwakeBtn", QStringLiteral("WAKE (1ms delay + NOP)"), {7, 249, 89, 36}, &Form1::SWAKEBtn_Click);

  // Port access at the right, hidden even when the panel shows. The port
  // box takes four digits so that a word with bits 12-15 set shows whole.
  QLabel* label9 = ui::Caption(panel2, "label9", QStringLiteral("PORT:"), {66, 3});
  portdata = ui::HexEntry(panel2, "portdata", 4, QStringLiteral("0000"), {69, 32, 54, 20});
  auto* portRead = addButton(panel2, "portRead", QStringLiteral("Read"), {69, 58, 54, 24}, &Form1::portRead_Click);
  auto* portWrite = addButton(panel2, "portWrite", QStringLiteral("Write"), {69, 88, 54, 24}, &Form1::portWrite_Click);
  auto* button1 =
      addButton(panel2, "button1", QStringLiteral("readFTDI (debug only)"), {69, 115, 67, 34}, &Form1::button1_Click_1);
  for (QWidget* hidden : std::initializer_list<QWidget*>{label9, portdata, portRead, portWrite, button1}) {
    hidden->hide();
  }
}

void Form1::buildStatusGroup() {
  auto* groupBox1 = new QGroupBox(QStringLiteral("Statusflags"), this);
  groupBox1->setObjectName(QStringLiteral("groupBox1"));
  groupBox1->setGeometry(667, 6, 112, 649);
  groupBox1->setFocusPolicy(Qt::NoFocus);

  addButton(groupBox1, "updateBtn", QStringLiteral("Update"), {22, 19, 60, 24}, &Form1::updateBtn_Click);
  Autobox = ui::CheckBox(groupBox1, "Autobox", QStringLiteral("Auto"), {12, 49});
  autoreadBar = new QProgressBar(groupBox1);
  autoreadBar->setObjectName(QStringLiteral("autoreadBar"));
  autoreadBar->setGeometry(66, 48, 38, 18);
  autoreadBar->setRange(0, 10);
  autoreadBar->setValue(0);
  autoreadBar->setTextVisible(false);

  // The status lists top to bottom, in the order the refresh reads them.
  // SPI_STAT's list belongs to the window and lies over the group, under
  // its caption.
  struct Place {
    const char* caption_name;
    QPoint caption;
    QWidget* parent;
    QRect list;
  };
  const std::array<Place, 4> places{{
      {"label5", {6, 69}, groupBox1, {6, 85, 100, 122}},
      {"label6", {6, 211}, groupBox1, {6, 227, 100, 122}},
      {"label7", {6, 354}, this, {673, 376, 100, 47}},
      {"label12", {6, 422}, groupBox1, {6, 438, 100, 62}},
  }};
  for (std::size_t i = 0; i < places.size(); ++i) {
    const kv7702::StatusList& entry = kv7702::kStatusLists[i];
    ui::Label(groupBox1, places[i].caption_name, QString::fromUtf8(entry.label), places[i].caption);
    statusLists_[i] =
        ui::List(places[i].parent, entry.control, CheckedList::Style::Status, entry.addr, entry.items, places[i].list);
  }
  statusLists_[2]->raise();

  FSIBox = ui::CheckBox(groupBox1, "FSIBox", QStringLiteral("FSI bit"), {9, 506});
  FSIBox->setEnabled(false);
}

}  // namespace NEVO
