#include "app/log_box.h"

#include <QEvent>
#include <QFont>
#include <QMetaObject>
#include <QPlainTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>

namespace NEVO {
namespace {
bool IsBreak(QChar c) { return c == u'\r' || c == u'\n'; }
}  // namespace

QString LineBreakFolder::fold(const QString& piece) {
  QString out;
  out.reserve(piece.size());
  const QChar* const chars = piece.constData();
  const qsizetype size = piece.size();
  qsizetype i = 0;
  if (!open_break_.isNull() && size > 0 && IsBreak(chars[0]) && chars[0] != open_break_) {
    ++i;  // second half of a break already shown
  }
  open_break_ = QChar();
  while (i < size) {
    // The text up to the next break goes over in one piece.
    qsizetype next = i;
    while (next < size && !IsBreak(chars[next])) ++next;
    out.append(chars + i, next - i);
    if (next == size) break;
    const QChar c = chars[next];
    out += u'\n';
    if (next + 1 < size) {
      if (IsBreak(chars[next + 1]) && chars[next + 1] != c) ++next;
    } else {
      open_break_ = c;
    }
    i = next + 1;
  }
  return out;
}

QString FoldLineBreaks(const QString& text) { return LineBreakFolder().fold(text); }

LogBox::LogBox(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  // Nothing in a read-only pane can be undone: no undo history to keep.
  setUndoRedoEnabled(false);
  // Fixed-pitch, so that the address and data columns of the read and write
  // lines stand one under the other.
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(11);
  setFont(font);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  tail_ = QTextCursor(document());
}

void LogBox::appendText(const QString& text) {
  text_ += text;
  if (!tail_.atEnd()) tail_.movePosition(QTextCursor::End);
  if (!batch_open_) {
    // The document tells its layout, and so the view, about the whole batch
    // when the block ends.
    batch_open_ = true;
    batch_start_ = tail_.position();
    tail_.beginEditBlock();
    QMetaObject::invokeMethod(this, &LogBox::showAppended, Qt::QueuedConnection);
  }
  tail_.insertText(folder_.fold(text));
}

void LogBox::showAppended() {
  if (!batch_open_) return;
  batch_open_ = false;
  tail_.endEditBlock();
  layOutLongLines(document()->findBlock(batch_start_));
  // Straight to the end, without scrolling the viewport through the lines in
  // between (which would lay each of them out); the viewport is repainted
  // as a whole instead.
  QWidget* view = viewport();
  view->setUpdatesEnabled(false);
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  view->setUpdatesEnabled(true);
}

void LogBox::layOutLongLines(QTextBlock block) {
  // A line is counted as one line of the scroll range until it is laid
  // out. Any line that may wrap is laid out at once, so that the range is
  // exact. A line of fewer characters than half the pane's width in average
  // characters cannot wrap, even in glyphs twice as wide as the average
  // (from a fallback font, say); the usual read and write lines are that
  // short.
  auto* layout = qobject_cast<QPlainTextDocumentLayout*>(document()->documentLayout());
  if (layout == nullptr) return;
  const int short_line = viewport()->width() / (2 * std::max(1, fontMetrics().averageCharWidth()));
  for (; block.isValid(); block = block.next()) {
    if (block.length() > short_line) layout->ensureBlockLayout(block);
  }
}

bool LogBox::viewportEvent(QEvent* event) {
  // A paint before the batch's turn in the event loop (a grab, say) shows
  // the batch too.
  if (event->type() == QEvent::Paint) showAppended();
  return QPlainTextEdit::viewportEvent(event);
}

void LogBox::clearLog() {
  text_.clear();
  folder_.reset();
  if (batch_open_) {
    batch_open_ = false;
    tail_.endEditBlock();
  }
  clear();
}

}  // namespace NEVO
