#include "app/push_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace NEVO {

PushButton::PushButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void PushButton::paintEvent(QPaintEvent* /*event*/) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);

  QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  if (isDown()) {
    area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                   style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  }
  const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
  painter.drawItemText(area, flags, palette(), isEnabled(), text(), QPalette::ButtonText);
}

}  // namespace NEVO
