// Every text of the window fits its control, and no two controls overlap.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyleOptionButton>
#include <QTabWidget>

#include "app/push_button.h"
#include "app/wrap_check_box.h"
#include "window_fixture.h"

namespace {

// The controls laid out by hand: direct children that are not part of
// another control's own make-up.
bool IsPlacedControl(const QWidget* widget) { return !widget->objectName().isEmpty() && !widget->isHidden(); }

std::vector<QWidget*> PlacedChildren(const QWidget* parent) {
  std::vector<QWidget*> out;
  for (QObject* child : parent->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (widget != nullptr && widget->isWidgetType() && IsPlacedControl(widget) && !widget->isWindow()) {
      out.push_back(widget);
    }
  }
  return out;
}

class LayoutTest : public WindowTest {
 protected:
  // Everything the user could come to see: the manual panel with its port
  // controls, and the detached "DFT" page.
  void SetUp() override {
    WindowTest::SetUp();
    find("panel2")->show();
    for (const char* name : {"label9", "portdata", "portRead", "portWrite", "button1"}) find(name)->show();
    showDftPage();
  }
  std::vector<QWidget*> containers() const {
    return {window.get(), find("Basic"), find("panel2"), find("groupBox1"), find("tabPage2")};
  }
  // The pages of the DFT page's inner tab control; each is laid out only
  // while it is the current one.
  static constexpr const char* kInnerPages[] = {"tabPage1", "tabPage3", "tabPage4", "tabPage5", "tabPage6"};
  // Makes the inner page holding `widget` the current one, if any does.
  void showPageOf(const QWidget* widget) {
    for (const char* page : kInnerPages) {
      if (find(page)->isAncestorOf(widget)) showDftPage(page);
    }
  }
};

bool WithinPage(const QWidget* page, const QWidget* control) {
  return QRect(QPoint(0, 0), page->size()).contains(control->geometry());
}

TEST_F(LayoutTest, SiblingControlsDoNotOverlapAndStayInsideTheirParent) {
  std::vector<QWidget*> parents = containers();
  for (const char* page : kInnerPages) parents.push_back(find(page));
  for (QWidget* parent : parents) {
    showPageOf(parent);
    const std::vector<QWidget*> placed = PlacedChildren(parent);
    for (QWidget* a : placed) {
      if (a == find("spi_statBox")) continue;  // laid over the status group on purpose
      EXPECT_TRUE(WithinPage(parent, a)) << a->objectName().toStdString() << " leaves "
                                         << parent->objectName().toStdString();
      for (QWidget* b : placed) {
        if (a < b && b != find("spi_statBox")) {
          EXPECT_FALSE(a->geometry().intersects(b->geometry()))
              << a->objectName().toStdString() << " overlaps " << b->objectName().toStdString();
        }
      }
    }
  }
  // The status list over the group lies between its caption and the next.
  const QRect spi = find("spi_statBox")->geometry().translated(-find("groupBox1")->pos());
  EXPECT_GT(spi.top(), find("label7")->geometry().bottom());
  EXPECT_LT(spi.bottom(), find("label12")->geometry().top());
}

TEST_F(LayoutTest, EveryLabelAndCheckBoxShowsItsWholeText) {
  for (QLabel* label : window->findChildren<QLabel*>()) {
    if (label->text().isEmpty()) continue;
    if (label->wordWrap()) {
      // A wrapped caption: every word fits on a line, and all its lines fit.
      for (const QString& word : label->text().split(u' ', Qt::SkipEmptyParts)) {
        EXPECT_LE(label->fontMetrics().horizontalAdvance(word), label->contentsRect().width())
            << label->objectName().toStdString() << " " << word.toStdString();
      }
      EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->objectName().toStdString();
      continue;
    }
    EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
    EXPECT_GE(label->height(), label->fontMetrics().height()) << label->objectName().toStdString();
  }
  for (QCheckBox* box : window->findChildren<QCheckBox*>()) {
    // A wrapping box is as high as its lines need.
    if (qobject_cast<NEVO::WrapCheckBox*>(box) != nullptr) {
      EXPECT_GE(box->height(), box->sizeHint().height()) << box->objectName().toStdString();
    }
    EXPECT_GE(box->width(), box->sizeHint().width()) << box->objectName().toStdString();
    EXPECT_GE(box->height(), box->fontMetrics().height()) << box->objectName().toStdString();
    EXPECT_GE(box->height(), box->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, box))
        << box->objectName().toStdString();
  }
}

TEST_F(LayoutTest, EveryButtonTextFitsWhenWrapped) {
  for (NEVO::PushButton* button : window->findChildren<NEVO::PushButton*>()) {
    QStyleOptionButton option;
    option.initFrom(button);
    const QRect area = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const QRect needed = button->fontMetrics().boundingRect(
        area, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, button->text());
    EXPECT_TRUE(area.contains(needed)) << button->objectName().toStdString() << " needs " << needed.width() << "x"
                                       << needed.height();
  }
}

TEST_F(LayoutTest, EveryListShowsAllItemsWithoutScrolling) {
  for (QListWidget* list : window->findChildren<QListWidget*>()) {
    showPageOf(list);
    const QRect viewport = list->viewport()->rect();
    for (int row = 0; row < list->count(); ++row) {
      QListWidgetItem* item = list->item(row);
      const QRect rect = list->visualItemRect(item);
      EXPECT_TRUE(viewport.contains(rect)) << list->objectName().toStdString() << " row " << row;
      // The check indicator and the text fit beside each other.
      QStyleOptionViewItem option;
      option.initFrom(list);
      option.rect = rect;
      option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
      option.text = item->text();
      const QRect text = list->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, list);
      EXPECT_LE(list->fontMetrics().horizontalAdvance(item->text()), text.width())
          << list->objectName().toStdString() << " item " << item->text().toStdString();
    }
  }
}

}  // namespace
