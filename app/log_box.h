// The log pane. It keeps the exact text appended to it ("\r\n" and all) and
// shows it with every line break as one plain break: "\r\n", "\n\r", a lone
// "\r" and a lone "\n" each end one line, so no blank line is doubled and no
// carriage return shows as a glyph.
#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace NEVO {

// Folds the line breaks of a text, handed over in pieces, into plain "\n"
// breaks. A pair split across two pieces is still one break.
class LineBreakFolder {
 public:
  QString fold(const QString& piece);
  void reset() { open_break_ = QChar(); }

 private:
  // The "\r" or "\n" that ended the last piece as a break of its own, whose
  // partner may open the next piece.
  QChar open_break_;
};

// Folds a whole text at once.
QString FoldLineBreaks(const QString& text);

class LogBox : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit LogBox(QWidget* parent);

  // Appends at the end, whatever the cursor or the scroll position.
  void appendText(const QString& text);
  // Everything appended since start or since the last clearLog(), exactly.
  const QString& text() const { return text_; }
  void clearLog();

 private:
  QString text_;
  LineBreakFolder folder_;
};

}  // namespace NEVO
