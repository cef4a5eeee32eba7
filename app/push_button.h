// A push button whose text wraps onto further lines when it does not fit
// the button's width, as the window's narrow buttons need. text() is the
// text as set ("&&" shows as one "&").
#pragma once

#include <QPushButton>

namespace NEVO {

class PushButton : public QPushButton {
  Q_OBJECT

 public:
  PushButton(const QString& text, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace NEVO
