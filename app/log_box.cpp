#include "app/log_box.h"

#include <QFont>
#include <QScrollBar>
#include <QTextCursor>

namespace NEVO {
namespace {
bool IsBreak(QChar c) { return c == u'\r' || c == u'\n'; }
}  // namespace

QString LineBreakFolder::fold(const QString& piece) {
  QString out;
  out.reserve(piece.size());
  qsizetype i = 0;
  if (!open_break_.isNull() && !piece.isEmpty() && IsBreak(piece[0]) && piece[0] != open_break_) {
    ++i;  // second half of a break already shown
  }
  open_break_ = QChar();
  for (; i < piece.size(); ++i) {
    const QChar c = piece[i];
    if (!IsBreak(c)) {
      out += c;
      continue;
    }
    out += u'\n';
    if (i + 1 < piece.size()) {
      if (IsBreak(piece[i + 1]) && piece[i + 1] != c) ++i;
    } else {
      open_break_ = c;
    }
  }
  return out;
}

QString FoldLineBreaks(const QString& text) { return LineBreakFolder().fold(text); }

LogBox::LogBox(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  // Fixed-pitch, so that the address and data columns of the read and write
  // lines stand one under the other.
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(11);
  setFont(font);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void LogBox::appendText(const QString& text) {
  text_ += text;
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(folder_.fold(text));
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogBox::clearLog() {
  text_.clear();
  folder_.reset();
  clear();
}

}  // namespace NEVO
