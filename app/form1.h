// The main window of the KV7702 evaluation tool: the board's pins on the
// left, the register pages in the middle, the read-only status flags on the
// right and the log along the bottom.
//
// Handlers are public members named after their control and event, so that
// the poll timer's tick and the others can also be driven directly.
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMetaMethod;
class QProgressBar;
class QTabWidget;
class QTimer;

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
  // "DFT" page.
  void enterDFTbtn_Click();

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
  // Fills the DFT page from the chip; part of every refresh in DFT mode.
  void refreshDftPage();

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
  // Writes a bit list's register from its marks.
  void sendBitList(const char* control);
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
};

}  // namespace NEVO
