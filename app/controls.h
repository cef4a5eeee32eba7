// Small makers for the window's controls: each creates one control under its
// parent with its objectName, text and place, in the window's conventions
// (positions in pixels relative to the parent, "auto" sizes fitted to the
// text in the window's font).
#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>
#include <span>

#include "app/checked_list.h"
#include "app/push_button.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QTabWidget;
class QWidget;

namespace NEVO::ui {

// The pages of the DFT page's inner tab control are 559 pixels wide; no
// control comes closer than 3 pixels to their right edge.
constexpr int kInnerPageRight = 559 - 3;

// "{0:X<digits>}" of a value (at least `digits` upper-case hexadecimal
// digits), and the same after "0x".
QString Hex(std::uint32_t value, int digits);
QString PrefixedHex(std::uint32_t value, int digits);

// The window's font, the bold one of the captions, and the small one of
// the "Trimming" page's captions and of the DFT page's long item texts.
QFont WindowFont();
QFont CaptionFont();
QFont SmallFont();

// A page added at the end of a tab control, on the control colour.
QWidget* TabPage(QTabWidget* tabs, const char* name, const QString& text);
PushButton* Button(QWidget* parent, const char* name, const QString& text, QRect geometry);
// A label sized to its text, in the parent's font or in `font`.
QLabel* Label(QWidget* parent, const char* name, const QString& text, QPoint position);
QLabel* Label(QWidget* parent, const char* name, const QString& text, const QFont& font, QPoint position);
QLabel* Caption(QWidget* parent, const char* name, const QString& text, QPoint position);
// Changes a label's text and refits its size.
void SetLabelText(QLabel* label, const QString& text);
// A check box sized to its text, unchecked. The default line of 17 pixels
// leaves room under it; rows set closer give a smaller height.
QCheckBox* CheckBox(QWidget* parent, const char* name, const QString& text, QPoint position, int height = 17);
// A "0x.." entry box: a fixed "0x" followed by `digits` optional hexadecimal
// digits, so that nothing but a hexadecimal number can be typed after "0x".
QLineEdit* HexEntry(QWidget* parent, const char* name, int digits, const QString& text, QRect geometry);
// A check box in `font` whose text wraps within `width`, as high as its
// lines need.
QCheckBox* WrappingCheckBox(QWidget* parent, const char* name, const QString& text, const QFont& font, QPoint position,
                            int width);
// A read-only text box.
QLineEdit* ReadOnlyBox(QWidget* parent, const char* name, const QString& text, QRect geometry);
// A drop-down list of the items, no free text, no item selected.
QComboBox* DropDown(QWidget* parent, const char* name, std::span<const char* const> items, QRect geometry);
// A horizontal slider from 0 to `max`, at 0, with a tick under every value.
QSlider* Slider(QWidget* parent, const char* name, int max, QRect geometry);
CheckedList* List(QWidget* parent, const char* name, CheckedList::Style style, std::uint8_t reg,
                  std::span<const char* const> items, QRect geometry);

}  // namespace NEVO::ui
