#include "app/wrap_check_box.h"

#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace NEVO {

WrapCheckBox::WrapCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

QRect WrapCheckBox::firstLine() const {
  const int indicator = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
  return {0, 0, width(), std::max(indicator, fontMetrics().height())};
}

QRect WrapCheckBox::textArea(const QStyleOptionButton& option) const {
  QStyleOptionButton line = option;
  line.rect = firstLine();
  const QRect contents = style()->subElementRect(QStyle::SE_CheckBoxContents, &line, this);
  const int top = (line.rect.height() - fontMetrics().height()) / 2;
  return QRect(QPoint(contents.left(), top), QPoint(width() - 1, std::max(height() - 1, top)));
}

QSize WrapCheckBox::sizeHint() const {
  QStyleOptionButton option;
  initStyleOption(&option);
  const QRect area = textArea(option);
  const QRect needed =
      fontMetrics().boundingRect(QRect(area.left(), area.top(), area.width(), 0x10000), kTextFlags, text());
  return {width(), std::max(firstLine().height(), needed.bottom() + 1)};
}

void WrapCheckBox::paintEvent(QPaintEvent* /*event*/) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const QRect area = textArea(option);
  const QString label = option.text;
  option.text.clear();
  option.rect = firstLine();
  painter.drawControl(QStyle::CE_CheckBox, option);
  painter.drawItemText(area, kTextFlags, palette(), isEnabled(), label, QPalette::WindowText);
}

bool WrapCheckBox::hitButton(const QPoint& pos) const { return rect().contains(pos); }

}  // namespace NEVO
