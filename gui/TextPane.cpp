#include "gui/TextPane.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include "gui/QtBridge.h"

namespace quorvin::gui {

namespace {

// Lines gathered before they go into the document in one insertion.
constexpr int FlushLines = 20000;

} // namespace

QFont TTextPane::PaneFont() {
  QFont Font(QStringLiteral("Courier New"));
  Font.setPixelSize(13);
  if (QFontInfo(Font).family().compare(QStringLiteral("Courier New"), Qt::CaseInsensitive) != 0) {
    Font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    Font.setPixelSize(13);
  }
  Font.setStyleHint(QFont::TypeWriter);
  return Font;
}

TTextPane::TTextPane(QWidget* Parent) : QPlainTextEdit(Parent) {
  setReadOnly(true);
  setUndoRedoEnabled(false);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setWordWrapMode(QTextOption::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setFont(PaneFont());
  document()->setDefaultFont(PaneFont());
  // Selectable and copyable, as a read-only pane is.
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void TTextPane::Clear() {
  FPending.clear();
  FPendingLines = 0;
  document()->clear();
  FDocumentEmpty = true;
}

void TTextPane::QueueFlush() {
  if (FFlushQueued) return;
  FFlushQueued = true;
  QTimer::singleShot(0, this, [this] {
    FFlushQueued = false;
    Flush();
  });
}

void TTextPane::AppendLine(const std::string& Line) {
  if (FPendingLines == 0) {
    FPendingFormat = FFormat;
  } else {
    FPending += u'\n';
  }
  FPending += FromEngine(Line);
  ++FPendingLines;
  if (FPendingLines >= FlushLines)
    Flush();
  else
    QueueFlush();
}

void TTextPane::SetBold(bool Bold) {
  const int Weight = Bold ? QFont::Bold : QFont::Normal;
  if (FFormat.fontWeight() == Weight && FFormat.hasProperty(QTextFormat::FontWeight)) return;
  Flush();
  FFormat.setFontWeight(Weight);
}

void TTextPane::SetPointSize(int Size) {
  if (Size <= 0) return;
  Flush();
  FFormat.setFontPointSize(Size);
}

void TTextPane::Flush() {
  if (FPendingLines == 0) return;
  QTextCursor Cursor(document());
  Cursor.beginEditBlock();
  Cursor.movePosition(QTextCursor::End);
  if (!FDocumentEmpty) Cursor.insertBlock();
  Cursor.insertText(FPending, FPendingFormat);
  Cursor.endEditBlock();
  FDocumentEmpty = false;
  FPending.clear();
  FPendingLines = 0;
}

QString TTextPane::Text() {
  Flush();
  if (FDocumentEmpty) return QString();
  return document()->toPlainText() + u'\n';
}

int TTextPane::LineCount() {
  Flush();
  return FDocumentEmpty ? 0 : document()->blockCount();
}

} // namespace quorvin::gui
