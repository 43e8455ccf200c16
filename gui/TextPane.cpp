// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/TextPane.h"

#include <QAbstractTextDocumentLayout>
#include <QFontDatabase>
#include <QFontInfo>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "chart/QtBridge.h"
#include "gui/ProcessMemory.h"

namespace quorvin::gui {

using namespace chart;

namespace {

// Characters gathered before they go into the document in one insertion.
// The document's text grows once per insertion, so one large insertion costs
// far less than many small ones; the limit keeps the waiting copy from
// doubling the memory of a very long display when no event turn comes to
// flush it.
constexpr qsizetype FlushChars = 1 << 24;
// Text from which the document is a very long one (about 170,000 lines of a
// hundred characters).
constexpr qsizetype MapFromChars = 16 << 20;
// Lines to a text block: a block costs the document far more than a line.
constexpr int LinesPerBlock = 16;

// Whether Text is plain ASCII, eight characters at a time.
bool IsAscii(std::string_view Text) {
  constexpr std::uint64_t HighBits = 0x8080808080808080u;
  std::size_t I = 0;
  for (; I + 8 <= Text.size(); I += 8) {
    std::uint64_t Word;
    std::memcpy(&Word, Text.data() + I, 8);
    if (Word & HighBits) return false;
  }
  for (; I < Text.size(); ++I)
    if (static_cast<unsigned char>(Text[I]) >= 0x80) return false;
  return true;
}

// Engine text onto Out: plain ASCII as it is (the usual case, and quick),
// anything else as FromEngine reads it.
void AppendEngineText(QString& Out, std::string_view Text) {
  if (IsAscii(Text))
    Out += QLatin1StringView(Text.data(), qsizetype(Text.size()));
  else
    Out += FromEngine(Text);
}

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
  // The waiting buffer, as large as the longest insertion, goes as well.
  FPending = QString();
  FPendingLines = 0;
  FLineCount = 0;
  document()->clear();
  if (FMapsLarge) {
    MapLargeBlocks(false);
    FMapsLarge = false;
  }
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

void TTextPane::AppendLine(std::string_view Line) {
  if (FPendingLines == 0)
    FPendingFormat = FFormat;
  else
    FPending += FPendingLines % LinesPerBlock == 0 ? QChar(u'\n') : QChar(QChar::LineSeparator);
  AppendEngineText(FPending, Line);
  ++FPendingLines;
  ++FLineCount;
  if (FPending.size() >= FlushChars)
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
  const int FirstBlock = FDocumentEmpty ? 0 : document()->blockCount();
  Cursor.beginEditBlock();
  Cursor.movePosition(QTextCursor::End);
  if (!FDocumentEmpty) Cursor.insertBlock();
  Cursor.insertText(FPending, FPendingFormat);
  Cursor.endEditBlock();
  // The layout counts a block it has not laid out as one line; it is told
  // the true count now, so the scroll bar is right before any layout.
  int Left = FPendingLines;
  for (QTextBlock Block = document()->findBlockByNumber(FirstBlock); Block.isValid() && Left > 0;
       Block = Block.next()) {
    const int Lines = std::min(Left, LinesPerBlock);
    Block.setLineCount(Lines);
    Left -= Lines;
  }
  QAbstractTextDocumentLayout* Layout = document()->documentLayout();
  emit Layout->documentSizeChanged(Layout->documentSize());
  FDocumentEmpty = false;
  FPending.resize(0);
  FPendingLines = 0;
  // A very long text grows in mappings of its own, and the earlier copies its
  // growth left in the heap go back after each insertion; a shorter one
  // leaves the heap's memory for the next display.
  if (!FMapsLarge && document()->characterCount() >= MapFromChars) {
    MapLargeBlocks(true);
    FMapsLarge = true;
  }
  if (FMapsLarge) ReleaseFreedMemory();
}

QString TTextPane::Text() {
  Flush();
  if (FDocumentEmpty) return QString();
  return document()->toPlainText() + u'\n';
}

} // namespace quorvin::gui
