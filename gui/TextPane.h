// SPDX-License-Identifier: GPL-3.0-or-later
// The display pane RedtDisplay: read-only plain text in a fixed-width font,
// no word wrap, both scroll bars. Lines arrive from the engines one by one or
// a chunk at a time; they go into the document in as few insertions as the
// event loop allows, sixteen lines to a text block (joined by line
// separators), so filling and scrolling a million lines stays quick. Copying
// or printing gives the lines as they came.
#pragma once

#include <QPlainTextEdit>
#include <QTextCharFormat>

#include "core/UiServices.h"

namespace quorvin::gui {

class TTextPane final : public QPlainTextEdit, public ITextPane {
  Q_OBJECT
public:
  explicit TTextPane(QWidget* Parent = nullptr);

  void Clear() override;
  void AppendLine(std::string_view Line) override;
  void SetBold(bool Bold) override;
  void SetPointSize(int Size) override;

  // Puts the lines still waiting into the document.
  void Flush();
  // The whole text, lines ended by a line feed (flushes first).
  QString Text();
  int LineCount() const { return FLineCount; }

  // "Courier New" 13 pixels high, or the system's fixed-width font at that
  // height where it does not exist.
  static QFont PaneFont();

private:
  void QueueFlush();

  QString FPending;
  int FPendingLines = 0;
  QTextCharFormat FFormat;
  QTextCharFormat FPendingFormat;
  bool FDocumentEmpty = true;
  bool FFlushQueued = false;
  int FLineCount = 0;
  // Whether very large blocks have mappings of their own for this text.
  bool FMapsLarge = false;
};

} // namespace quorvin::gui
