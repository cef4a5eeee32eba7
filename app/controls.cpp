#include "app/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>

#include "app/wrap_check_box.h"
#include "device/format.h"

namespace NEVO::ui {

QString Hex(std::uint32_t value, int digits) { return QString::fromStdString(kv7702::Hex(value, digits)); }

QString PrefixedHex(std::uint32_t value, int digits) { return QStringLiteral("0x") + Hex(value, digits); }

QFont WindowFont() {
  // The window's layout is drawn for a character cell of about 6 x 13
  // pixels; DejaVu Sans at 10 pixels fits the longest item texts into their
  // lists.
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(10);
  return font;
}

QFont CaptionFont() {
  QFont font = WindowFont();
  font.setBold(true);
  return font;
}

QFont SmallFont() {
  QFont font = WindowFont();
  font.setPixelSize(9);
  return font;
}

QWidget* TabPage(QTabWidget* tabs, const char* name, const QString& text) {
  auto* page = new QWidget(tabs);
  page->setObjectName(QString::fromLatin1(name));
  page->setAutoFillBackground(true);
  tabs->addTab(page, text);
  return page;
}

PushButton* Button(QWidget* parent, const char* name, const QString& text, QRect geometry) {
  auto* button = new PushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(geometry);
  return button;
}

namespace {

// A label not yet sized: its font is set first where it differs from the
// parent's, so that the text is measured once, in the font it shows in.
QLabel* UnsizedLabel(QWidget* parent, const char* name, const QString& text, QPoint position) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->move(position);
  return label;
}

}  // namespace

QLabel* Label(QWidget* parent, const char* name, const QString& text, QPoint position) {
  QLabel* label = UnsizedLabel(parent, name, text, position);
  label->adjustSize();
  return label;
}

QLabel* Label(QWidget* parent, const char* name, const QString& text, const QFont& font, QPoint position) {
  QLabel* label = UnsizedLabel(parent, name, text, position);
  label->setFont(font);
  label->adjustSize();
  return label;
}

QLabel* Caption(QWidget* parent, const char* name, const QString& text, QPoint position) {
  return Label(parent, name, text, CaptionFont(), position);
}

void SetLabelText(QLabel* label, const QString& text) {
  label->setText(text);
  label->adjustSize();
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& text, QPoint position, int height) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(QString::fromLatin1(name));
  box->move(position);
  box->resize(box->sizeHint().width(), height);
  return box;
}

QLineEdit* HexEntry(QWidget* parent, const char* name, int digits, const QString& text, QRect geometry) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setInputMask(QStringLiteral("\\0\\x") + QString(digits, u'h'));
  box->setText(text);
  box->setGeometry(geometry);
  return box;
}

QCheckBox* WrappingCheckBox(QWidget* parent, const char* name, const QString& text, const QFont& font, QPoint position,
                            int width) {
  auto* box = new WrapCheckBox(text, parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setFont(font);
  box->setGeometry(QRect(position, QSize(width, 0)));
  box->resize(width, box->sizeHint().height());
  return box;
}

QLineEdit* ReadOnlyBox(QWidget* parent, const char* name, const QString& text, QRect geometry) {
  auto* box = new QLineEdit(text, parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setReadOnly(true);
  box->setGeometry(geometry);
  return box;
}

QComboBox* DropDown(QWidget* parent, const char* name, std::span<const char* const> items, QRect geometry) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  for (const char* item : items) box->addItem(QString::fromUtf8(item));
  box->setCurrentIndex(-1);
  box->setGeometry(geometry);
  return box;
}

QSlider* Slider(QWidget* parent, const char* name, int max, QRect geometry) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setObjectName(QString::fromLatin1(name));
  slider->setRange(0, max);
  slider->setValue(0);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setTickInterval(1);
  slider->setGeometry(geometry);
  return slider;
}

CheckedList* List(QWidget* parent, const char* name, CheckedList::Style style, std::uint8_t reg,
                  std::span<const char* const> items, QRect geometry) {
  auto* list = new CheckedList(style, reg, items, parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setGeometry(geometry);
  return list;
}

}  // namespace NEVO::ui
