#include "app/checked_list.h"

#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <array>

#include "device/registers.h"

namespace NEVO {
namespace {

// Eight items fill a list 120 pixels high: every item is 15 pixels tall.
constexpr int kItemHeight = 15;

class CompactItemDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(kItemHeight);
    return size;
  }
};

}  // namespace

CheckedList::CheckedList(Style style, std::uint8_t reg, std::span<const char* const> items, QWidget* parent)
    : QListWidget(parent), style_(style), reg_(reg) {
  setItemDelegate(new CompactItemDelegate(this));
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  // Every list is made tall enough for its items.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Both styles sit on the control colour of the page behind them.
  QPalette pal = palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Window));
  setPalette(pal);

  Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  if (style_ == Style::Configuration) {
    setFrameShape(QFrame::NoFrame);
    // The list toggles marks itself, on the whole item: the item view must
    // not toggle them a second time on the check indicator. The second click
    // of a double click is a click like the first.
    connect(this, &QListWidget::itemClicked, this, &CheckedList::toggleByUser);
    connect(this, &QListWidget::itemDoubleClicked, this, &CheckedList::toggleByUser);
  } else {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    flags |= Qt::ItemIsUserCheckable;
  }
  for (const char* text : items) {
    auto* item = new QListWidgetItem(QString::fromUtf8(text), this);
    item->setFlags(flags);
    item->setCheckState(Qt::Unchecked);
  }
}

bool CheckedList::markFor(std::uint8_t value, int row) const {
  return style_ == Style::Configuration ? kv7702::BitListMark(value, row) : kv7702::StatusMark(value, row);
}

std::uint8_t CheckedList::value() const {
  std::array<bool, 8> marks{};
  for (int row = 0; row < count() && row < 8; ++row) marks[row] = item(row)->checkState() == Qt::Checked;
  return kv7702::PackBitList(marks);
}

void CheckedList::showValue(std::uint8_t value) {
  // Each item is compared with its own mark, so a mark ticked by hand in a
  // status list is put right as well; only the marks that differ are set.
  // The mark is read as the int that setCheckState() stores: that read is
  // direct, where checkState() would go through a type conversion that
  // costs as much as setting the mark.
  const int rows = count();
  for (int row = 0; row < rows; ++row) {
    QListWidgetItem* entry = item(row);
    const Qt::CheckState mark = markFor(value, row) ? Qt::Checked : Qt::Unchecked;
    if (qvariant_cast<int>(entry->data(Qt::CheckStateRole)) != mark) entry->setCheckState(mark);
  }
}

void CheckedList::toggleByUser(QListWidgetItem* item) {
  if (item == nullptr) return;
  item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
  emit userToggled();
}

void CheckedList::keyPressEvent(QKeyEvent* event) {
  const bool toggle_key = event->key() == Qt::Key_Space || event->key() == Qt::Key_Select;
  if (style_ == Style::Configuration && toggle_key && event->modifiers() == Qt::NoModifier) {
    toggleByUser(currentItem());
    event->accept();
    return;
  }
  QListWidget::keyPressEvent(event);
}

}  // namespace NEVO
