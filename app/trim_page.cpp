// The "Trimming" page: 24 sliders, 10 check boxes and one drop-down that
// hold the fields of the trim registers TRIM_64-TRIM_75, built from the trim
// table; the writers that send a register whenever the user changes one of
// its controls; and the read-back that fills the page from the chip.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMetaMethod>
#include <QSlider>
#include <algorithm>

#include "app/controls.h"
#include "app/form1.h"
#include "app/gui_state.h"
#include "app/wrap_check_box.h"
#include "device/trim.h"

namespace NEVO {
namespace {

using kv7702::TrimControl;
using kv7702::TrimKind;

// The page's rows are set closer than the window's other rows: a slider
// takes 24 pixels with its ticks, a check box 15.
constexpr int kSliderHeight = 24;
constexpr int kCheckBoxHeight = 15;
constexpr int kComboBoxHeight = 21;
constexpr int kPageLeft = 3;
// The middle column's captions start right of the left column's sliders.
constexpr int kMiddleColumnX = 273;
constexpr int kMiddleCaptionLeft = 85 + 124 + 1;

std::size_t IndexOf(const TrimControl* control) {
  return static_cast<std::size_t>(control - kv7702::kTrimControls.data());
}

int ControlHeight(const TrimControl& control) {
  return control.kind == TrimKind::ComboBox ? kComboBoxHeight : kSliderHeight;
}

QRect Place(const TrimControl& control) {
  return {control.x, control.y, control.kind == TrimKind::ComboBox ? 121 : control.width, ControlHeight(control)};
}

// The free space left of a slider or the drop-down in its row: from its
// column's left edge, or from the slider beside it, up to the control.
QRect SideBand(const TrimControl& control) {
  const QRect place = Place(control);
  int left = control.x < kMiddleColumnX ? kPageLeft : kMiddleCaptionLeft;
  for (const TrimControl& other : kv7702::kTrimControls) {
    if (other.kind != TrimKind::Slider || other.x >= control.x) continue;
    const QRect beside = Place(other);
    if (beside.top() <= place.bottom() && place.top() <= beside.bottom()) {
      left = std::max(left, beside.right() + 1);
    }
  }
  return {left, place.y(), control.x - left, place.height()};
}

// A caption stands left of its slider or drop-down, wrapped into the free
// space there; where a slider has no such space ("Vref TC Trim"), it stands
// above the slider. A check box's caption ("Buck1 Summing Comparator Trim")
// stands above the box, ending at the page's right edge at the latest.
void PlaceCaption(QLabel* caption, const TrimControl& control) {
  const QRect band = SideBand(control);
  if (control.kind == TrimKind::CheckBox) {
    caption->move(std::min(control.x, ui::kInnerPageRight - caption->width()), control.y - caption->height() - 1);
  } else if (band.width() <= 0) {
    caption->move(control.x + 2, control.y - caption->height() - 1);
  } else {
    caption->setWordWrap(true);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    caption->setGeometry(band.x(), band.y(), band.width(),
                         std::max(band.height(), caption->heightForWidth(band.width())));
  }
}

// The right column's check boxes wrap their texts; one that needs more lines
// than its place leaves pushes the boxes under it down.
void StackWrapped(QWidget* page) {
  QList<WrapCheckBox*> boxes = page->findChildren<WrapCheckBox*>();
  std::sort(boxes.begin(), boxes.end(), [](const QWidget* a, const QWidget* b) { return a->y() < b->y(); });
  for (qsizetype i = 1; i < boxes.size(); ++i) {
    const int free_from = boxes[i - 1]->geometry().bottom() + 1;
    if (boxes[i]->y() < free_from) boxes[i]->move(boxes[i]->x(), free_from);
  }
}

}  // namespace

void Form1::buildTrimmingPage(QWidget* page) {
  const QMetaMethod scrolled = QMetaMethod::fromSignal(&QSlider::actionTriggered);
  const QMetaMethod clicked = QMetaMethod::fromSignal(&QCheckBox::clicked);
  const QMetaMethod changed = QMetaMethod::fromSignal(&QComboBox::currentIndexChanged);
  for (const TrimControl& control : kv7702::kTrimControls) {
    QWidget* made = nullptr;
    switch (control.kind) {
      case TrimKind::Slider: {
        QSlider* slider = ui::Slider(page, control.control, control.max, Place(control));
        if (control.page_step != 0) slider->setPageStep(control.page_step);
        // Moves by the user only: a value set from code raises nothing.
        bindHandler(slider, scrolled, control.handler);
        made = slider;
        break;
      }
      case TrimKind::CheckBox: {
        const QString text = QString::fromUtf8(control.text);
        const QPoint at(control.x, control.y);
        QCheckBox* box = nullptr;
        if (control.small_text) {
          // These stand in the right column and wrap within it.
          box = ui::WrappingCheckBox(page, control.control, text, ui::SmallFont(), at, ui::kInnerPageRight - control.x);
        } else {
          box = ui::CheckBox(page, control.control, text, at, kCheckBoxHeight);
        }
        // Clicks by the user only: a mark set from code raises nothing.
        bindHandler(box, clicked, control.handler);
        made = box;
        break;
      }
      case TrimKind::ComboBox: {
        QComboBox* box = ui::DropDown(page, control.control, kv7702::kLedOpenLoadItems, Place(control));
        // Also raised by the read-back, whose writes are dropped.
        bindHandler(box, changed, control.handler);
        made = box;
        break;
      }
    }
    trimControls_.push_back(made);
    if (control.caption != nullptr) {
      QLabel* caption =
          ui::Label(page, control.caption_name, QString::fromUtf8(control.caption), ui::SmallFont(), {0, 0});
      PlaceCaption(caption, control);
    }
  }

  StackWrapped(page);

  // Shown ticked and out of the user's reach; it owns no bit.
  const kv7702::InertCheckBox& inert = kv7702::kTrimInertCheckBox;
  QCheckBox* checkBox3 =
      ui::CheckBox(page, inert.control, QString::fromUtf8(inert.text), {inert.x, inert.y}, kCheckBoxHeight);
  checkBox3->setChecked(true);
  checkBox3->setEnabled(false);
}

// --- Values -------------------------------------------------------------------

int Form1::trimValue(std::string_view control) const {
  const TrimControl* entry = kv7702::FindTrimControl(control);
  QWidget* widget = trimControls_[IndexOf(entry)];
  switch (entry->kind) {
    case TrimKind::Slider:
      // A handler raised by the user's move runs before the slider's value
      // follows its position.
      return static_cast<QSlider*>(widget)->sliderPosition();
    case TrimKind::CheckBox:
      return static_cast<QCheckBox*>(widget)->isChecked() ? 1 : 0;
    case TrimKind::ComboBox:
      // No item selected yet (its register's read failed): sent as 0.
      return std::max(0, static_cast<QComboBox*>(widget)->currentIndex());
  }
  return 0;
}

void Form1::showTrimValue(std::size_t index, int value) {
  QWidget* widget = trimControls_[index];
  switch (kv7702::kTrimControls[index].kind) {
    case TrimKind::Slider:
      static_cast<QSlider*>(widget)->setValue(value);
      break;
    case TrimKind::CheckBox:
      static_cast<QCheckBox*>(widget)->setChecked(value != 0);
      break;
    case TrimKind::ComboBox:
      static_cast<QComboBox*>(widget)->setCurrentIndex(value);
      break;
  }
}

// --- Writers ------------------------------------------------------------------

void Form1::sendTrim(const char* handler) {
  const auto value_of = [this](std::string_view control) { return trimValue(control); };
  for (const std::uint8_t addr : kv7702::TrimHandlerRegisters(handler)) {
    _NEVO_SPIWrite(DFT_ENABLED, addr, kv7702::ComposeTrimRegister(addr, value_of));
  }
}

void Form1::trackBar0_Scroll() { sendTrim("trackBar0_Scroll"); }
void Form1::trackBar1_Scroll() { sendTrim("trackBar1_Scroll"); }
void Form1::trackBar2_Scroll() { sendTrim("trackBar2_Scroll"); }
void Form1::trackBar3_Scroll() { sendTrim("trackBar3_Scroll"); }
void Form1::trackBar4_Scroll() { sendTrim("trackBar4_Scroll"); }
void Form1::trackBar5_Scroll() { sendTrim("trackBar5_Scroll"); }
void Form1::trackBar6_Scroll() { sendTrim("trackBar6_Scroll"); }
void Form1::trackBar7_Scroll() { sendTrim("trackBar7_Scroll"); }
void Form1::trackBar8_Scroll() { sendTrim("trackBar8_Scroll"); }
void Form1::trackBar10_Scroll() { sendTrim("trackBar10_Scroll"); }
void Form1::trackBar12_Scroll() { sendTrim("trackBar12_Scroll"); }
void Form1::trackBar13_Scroll() { sendTrim("trackBar13_Scroll"); }
void Form1::trackBar15_Scroll() { sendTrim("trackBar15_Scroll"); }
void Form1::trackBar22_Scroll() { sendTrim("trackBar22_Scroll"); }
void Form1::trackBar16_Scroll() { sendTrim("trackBar16_Scroll"); }
void Form1::trackBar17_Scroll() { sendTrim("trackBar17_Scroll"); }
void Form1::trackBar18_Scroll() { sendTrim("trackBar18_Scroll"); }
void Form1::trackBar19_Scroll() { sendTrim("trackBar19_Scroll"); }

// --- Read-back ----------------------------------------------------------------

void Form1::updateTrim() {
  // The drop-down raises its writer while it is set; nothing may be sent.
  DoingRead = true;
  std::array<std::optional<std::uint8_t>, kv7702::kTrimRegisterCount> values;
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::uint8_t value = 0;
    if (_NEVO_SPIRead(DFT_ENABLED, static_cast<std::uint8_t>(kv7702::reg::TRIM_FIRST + i), value)) values[i] = value;
  }
  // The controls of a register whose read failed keep what they show. The
  // others come in the order of the trim table, so a place that only moves
  // forward finds each of them with about one comparison of names.
  std::size_t next = 0;
  kv7702::DecomposeTrimRegisters(values, [this, &next](std::string_view control, int value) {
    const auto& table = kv7702::kTrimControls;
    while (next < table.size() && table[next].control != control) ++next;
    if (next == table.size()) {
      const TrimControl* entry = kv7702::FindTrimControl(control);
      if (entry == nullptr) return;
      next = IndexOf(entry);
    }
    showTrimValue(next++, value);
  });
  DoingRead = false;
}

}  // namespace NEVO
