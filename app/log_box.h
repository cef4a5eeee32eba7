// The log pane. It keeps the exact text appended to it ("\r\n" and all) and
// shows it with every line break as one plain break: "\r\n", "\n\r", a lone
// "\r" and a lone "\n" each end one line, so no blank line is doubled and no
// carriage return shows as a glyph.
//
// A refresh with logging on appends dozens of lines in one go. The pane's
// document takes each message at once, so its text is always complete; what
// follows a change of the document (laying out the new lines, the scroll bar
// range, the scroll to the end) is done once per batch, when control returns
// to the event loop or when the pane is painted, whichever comes first.
#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>

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

  // Appends at the end, whatever the cursor or the scroll position; the
  // pane scrolls to the end with the batch's update.
  void appendText(const QString& text);
  // Everything appended since start or since the last clearLog(), exactly.
  const QString& text() const { return text_; }
  void clearLog();

  // Brings the view up to date with the messages appended since its last
  // update (their layout, the scroll bar range) and scrolls to the end;
  // nothing to do when there are none.
  void showAppended();

 protected:
  bool viewportEvent(QEvent* event) override;

 private:
  // Lays out the lines from `block` to the end that may wrap.
  void layOutLongLines(QTextBlock block);

  QString text_;
  LineBreakFolder folder_;
  // Stays at the end of the document, where every message goes.
  QTextCursor tail_;
  // An edit block of the document, opened by tail_, holds the batch back
  // from the view.
  bool batch_open_ = false;
  // Where the open batch begins in the document.
  int batch_start_ = 0;
};

}  // namespace NEVO
