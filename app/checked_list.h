// A list of check items bound to one register byte, in one of the window's
// two styles:
//  - Configuration: a bit list. Item i shows and sets bit 7-i. Every click
//    on an item (each click of a double click too, and Space on the current
//    item) toggles its mark and then raises userToggled() once; marks set
//    from code raise nothing.
//  - Status: a read-only status list. Item i shows bit i. A click selects,
//    a click on the check indicator ticks it for the eye only; nothing is
//    raised.
#pragma once

#include <QListWidget>
#include <cstdint>
#include <span>

namespace NEVO {

class CheckedList : public QListWidget {
  Q_OBJECT

 public:
  enum class Style { Configuration, Status };

  CheckedList(Style style, std::uint8_t reg, std::span<const char* const> items, QWidget* parent);

  Style style() const { return style_; }
  std::uint8_t reg() const { return reg_; }

  // The register byte a bit list's marks stand for (item i = bit 7-i).
  // Status lists are only shown, never sent.
  std::uint8_t value() const;
  // Sets every mark from a register byte, in the list's bit order. Raises
  // no signal of this class.
  void showValue(std::uint8_t value);

 Q_SIGNALS:
  // The user toggled one item's mark; the marks already show the change.
  void userToggled();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool markFor(std::uint8_t value, int row) const;
  void toggleByUser(QListWidgetItem* item);

  Style style_;
  std::uint8_t reg_;
};

}  // namespace NEVO
