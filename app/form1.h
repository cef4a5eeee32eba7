// The main window of the KV7702 evaluation tool: the board's pins on the
// left, the register pages in the middle, the read-only status flags on the
// right and the log along the bottom.
//
// Handlers are public members named after their control and event, so that
// the poll timer's tick and the others can also be driven directly.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMetaMethod;
class QProgressBar;
class QTabWidget;
class QTimer;

namespace kv7702 {
struct BitList;
}

namespace NEVO {

class CheckedList;
class LogBox;
class PushButton;

// The text of the help box, its line breaks as "\n\r".
QString HelpText();

class Form1 : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 780;
  static constexpr int kClientHeight = 658;
  static constexpr int kPollIntervalMs = 10;

  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

  // Register and port access of the window. The SPI pair logs each access
  // while logV is true and shows the FSI flag; writes are dropped while
  // DoingRead is true. The port pair only forwards.
  bool _NEVO_SetPort(std::uint16_t output);
  bool _NEVO_GetPort(std::uint16_t& input);
  bool _NEVO_SPIRead(bool DFT, std::uint8_t addr, std::uint8_t& input);
  bool _NEVO_SPIWrite(bool DFT, std::uint8_t addr, std::uint8_t data);

  // Reads the status and configuration registers into their lists; in DFT
  // mode goes on with the DFT page.
  void updateStatusBoxes();

  // Appends a message to the log whatever logV says.
  void appendLog(const QString& text);
  // The log's text exactly as appended since start or the last "Clear log".
  QString logText() const;

  // Shows the help box. The default presents a modal message box; tests
  // may put a recorder in its place.
  using HelpPresenter = std::function<void(QWidget* parent, const QString& caption, const QString& text)>;
  void setHelpPresenter(HelpPresenter presenter);

 public Q_SLOTS:
  // Connection and timer.
  void button1_Click();
  void updatetimer_Tick();
  // Pins, manual access, log and help.
  void PORTbtn_Click();
  void HLPbtn_Click();
  void button8_Click();
  void sReadbtn_Click();
  void sWritebtn_Click();
  void sINVWritebtn_Click();
  void SWAKEBtn_Click();
  void portRead_Click();
  void portWrite_Click();
  void button1_Click_1();
  // Status group.
  void updateBtn_Click();
  // "Functional" page.
  void lpm_cmdBtn_Click();
  void lock_cmdBtn_Click();
  void pwr_configBox_SelectedValueChanged();
  void dev_configBox_SelectedIndexChanged();
  void clock_configBox_SelectedIndexChanged();
  void button2_Click();
  // "DFT" page: the header row, ...
  void enterDFTbtn_Click();
  // ... "Testbus", ...
  void IO_observationBox_SelectedIndexChanged();
  void atbBox_SelectedIndexChanged();
  void dtbBox_SelectedIndexChanged();
  void scanmodeBtn_Click();
  // ... "Testmode Activation", ...
  void tmA1Box_SelectedValueChanged();
  void tmA2Box_SelectedValueChanged();
  void tmA3Box_SelectedValueChanged();
  void tmA4Box_SelectedValueChanged();
  void tmA5Box_SelectedValueChanged();
  // ... "EEPROM", ...
  void EEPROMtestBox_SelectedValueChanged();
  void setCRC();
  void button_rev_Click();
  // ... "Trimming" (each writes the trim registers of its controls), ...
  void trackBar0_Scroll();
  void trackBar1_Scroll();
  void trackBar2_Scroll();
  void trackBar3_Scroll();
  void trackBar4_Scroll();
  void trackBar5_Scroll();
  void trackBar6_Scroll();
  void trackBar7_Scroll();
  void trackBar8_Scroll();
  void trackBar10_Scroll();
  void trackBar12_Scroll();
  void trackBar13_Scroll();
  void trackBar15_Scroll();
  void trackBar22_Scroll();
  void trackBar16_Scroll();
  void trackBar17_Scroll();
  void trackBar18_Scroll();
  void trackBar19_Scroll();
  // ... and "Device configuration".
  void devconf1Box_SelectedValueChanged();
  void devconf2Box_SelectedValueChanged();
  void devconf3Box_SelectedValueChanged();

 private:
  struct PinBox {
    QCheckBox* box;
    std::uint16_t bit;
  };

  void InitializeComponent();
  void buildPinColumn();
  void buildFunctionalPage(QWidget* page);
  void buildManualPanel(QWidget* page);
  void buildStatusGroup();
  void buildDftPage();
  void buildTestbusPage(QWidget* page);
  void buildTestmodePage(QWidget* page);
  void buildEepromPage(QWidget* page);
  void buildTrimmingPage(QWidget* page);
  void buildDevConfPage(QWidget* page);

  // Where a bit list and its caption go.
  struct ListPlace {
    const char* caption_name;
    QPoint caption;
    QRect list;
  };
  using CaptionMaker = QLabel* (*)(QWidget* parent, const char* name, const QString& text, QPoint position);
  // Bit lists under their captions, each bound to its handler.
  void addBitLists(QWidget* page, std::span<const kv7702::BitList> lists, std::span<const ListPlace> places,
                   CaptionMaker caption, std::span<CheckedList*> made);
  // The DFT page's lists: long item texts in the small font, each list as
  // wide as its longest item needs, moved left with its caption where it
  // would leave the page.
  void fitBitLists(QWidget* page, std::span<CheckedList* const> lists, std::span<const ListPlace> places);

  // Fills the DFT page from the chip; part of every refresh in DFT mode.
  void refreshDftPage();
  // The BUCK_I2R_CNT label, sized to its text.
  void showBuckI2RCount(std::uint8_t count);
  // Reads the trim registers into the "Trimming" page, writing nothing.
  void updateTrim();
  // DFT mode given up: the flag, the button and the test pages.
  void dropDftMode();

  // A push button whose click runs the handler.
  PushButton* addButton(QWidget* parent, const char* name, const QString& text, QRect geometry,
                        void (Form1::*on_click)());
  // Binds a signal of sender to the handler of that name (a slot without
  // arguments); a name that is not a handler stops the program at start-up.
  void bindHandler(QObject* sender, const QMetaMethod& signal, const char* handler);

  std::array<PinBox, 6> drivenPins() const;
  std::array<PinBox, 3> shownPins() const;
  // The PortWord the driving pin boxes show.
  std::uint16_t composePortWord() const;
  // Reads a register with the current DFT flag; 0 when the read fails.
  std::uint8_t readRegister(std::uint8_t addr);
  // Writes a bit list's register from its marks.
  void sendBitList(const char* control);
  // Writes a test-bus drop-down's register from its selection.
  void sendSelector(const char* control);
  // Writes the trim registers of a trim handler, in its order, each
  // composed from all the controls that own bits in it.
  void sendTrim(const char* handler);
  // A trim control's value (slider position, 0/1, drop-down index) by
  // objectName, and the setting of it from a register read, by its place in
  // the trim table.
  int trimValue(std::string_view control) const;
  void showTrimValue(std::size_t index, int value);
  void showFsi();
  // The number after "0x" in an entry box, or nothing after telling the
  // user in the log why the box cannot be sent.
  std::optional<std::uint32_t> entryValue(const QLineEdit* box, const char* what);
  void showPortWord(bool read_ok, std::uint16_t word);

  HelpPresenter help_presenter_;

  QObject* components = nullptr;
  QTimer* updatetimer = nullptr;

  PushButton* btnConnect = nullptr;
  // Pin boxes: the board's inputs that the window drives ...
  QCheckBox* HSPWMbox = nullptr;
  QCheckBox* WDbox = nullptr;
  QCheckBox* VTbox = nullptr;
  QCheckBox* WAKEbox = nullptr;
  QCheckBox* DFTbox = nullptr;
  QCheckBox* NCSBox = nullptr;
  // ... and its outputs that the poll timer shows.
  QCheckBox* IRQbox = nullptr;
  QCheckBox* PRESNbox = nullptr;
  QCheckBox* RESNbox = nullptr;
  QTabWidget* tabControl1 = nullptr;
  LogBox* logBox = nullptr;

  std::array<CheckedList*, 4> statusLists_{};
  std::array<CheckedList*, 3> configLists_{};
  QLabel* dev_revisionLbl = nullptr;
  QLabel* serial_nrLbl = nullptr;

  QWidget* panel2 = nullptr;
  QLineEdit* sAddrbox = nullptr;
  QLineEdit* sDatabox = nullptr;
  QLabel* label54 = nullptr;
  QLineEdit* portdata = nullptr;

  QCheckBox* Autobox = nullptr;
  QProgressBar* autoreadBar = nullptr;
  QCheckBox* FSIBox = nullptr;

  QWidget* tabPage2 = nullptr;
  PushButton* enterDFTbtn = nullptr;
  QLabel* stateLbl = nullptr;
  QCheckBox* tglbox = nullptr;
  QTabWidget* tabControl2 = nullptr;

  std::array<QComboBox*, 3> testBusBoxes_{};
  QLabel* buckI2RLbl = nullptr;
  // buckI2RLbl's size for each count it has shown; invalid until then.
  std::array<QSize, 256> buckI2RSizes_{};
  std::array<CheckedList*, 5> testModeLists_{};
  std::array<CheckedList*, 3> devConfLists_{};

  QCheckBox* startCRCBox = nullptr;
  QCheckBox* checkCRCBox = nullptr;
  QCheckBox* crcErrorBox = nullptr;
  QLineEdit* eepromCRCBox = nullptr;
  QLineEdit* storedCRCBox = nullptr;
  QLineEdit* textBox_devrev = nullptr;
  QLineEdit* textBox_xcoord = nullptr;
  QLineEdit* textBox_ycoord = nullptr;
  QLineEdit* textBox_waferlot = nullptr;
  QLineEdit* textBox_fabcode = nullptr;
  QLineEdit* textBox_wafernum = nullptr;

  // The controls of the trim table, in its order.
  std::vector<QWidget*> trimControls_;
};

}  // namespace NEVO
