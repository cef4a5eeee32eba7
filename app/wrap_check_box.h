// A check box whose text wraps onto further lines within the box's width,
// for the long check box texts of the "Trimming" page. The indicator stands
// beside the first line; a click anywhere on the box toggles it.
#pragma once

#include <QCheckBox>

class QStyleOptionButton;

namespace NEVO {

class WrapCheckBox : public QCheckBox {
  Q_OBJECT

 public:
  WrapCheckBox(const QString& text, QWidget* parent);

  // The current width, and the height the text needs when wrapped in it.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& pos) const override;

 private:
  // The first line: the indicator and the text's first line centred in it.
  QRect firstLine() const;
  // Where the text goes, given the style option of the box.
  QRect textArea(const QStyleOptionButton& option) const;
  static constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;
};

}  // namespace NEVO
