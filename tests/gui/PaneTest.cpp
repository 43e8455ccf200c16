// SPDX-License-Identifier: GPL-3.0-or-later
// The text pane: lines go in one by one or many at once (many to a text
// block) and come out as they went in, bold where asked, with a scroll range
// of one step a line.
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTextBlock>

#include <gtest/gtest.h>

#include "chart/QtBridge.h"
#include "gui/TextPane.h"

namespace quorvin::gui::test {
namespace {

using chart::FromEngine;

TEST(TextPane, LinesComeOutAsTheyWentInWhateverTheirNumber) {
  for (int Count : {0, 1, 15, 16, 17, 33, 40001}) {
    SCOPED_TRACE(Count);
    TTextPane Pane;
    QString Expected;
    // The second half as a conversion hands lines on: CR LF-ended, at once.
    std::string Rest;
    for (int I = 0; I < Count; ++I) {
      // Empty lines, 8-bit text and UTF-8 file names among them.
      const std::string Line = I % 7 == 3    ? std::string()
                               : I % 11 == 5 ? std::string("caf\xE9 ") + std::to_string(I)
                               : I % 13 == 6 ? std::string("/d\xC3\xBCr/") + std::to_string(I)
                                             : "line " + std::to_string(I);
      if (I < Count / 2)
        Pane.AppendLine(Line);
      else
        Rest += Line + "\r\n";
      Expected += FromEngine(Line) + u'\n';
    }
    // The first half goes into the document by itself, the rest after it.
    Pane.Flush();
    Pane.AppendLines(Rest);
    EXPECT_EQ(Pane.Text(), Expected);
    EXPECT_EQ(Pane.LineCount(), Count);
    EXPECT_EQ(Pane.document()->lineCount(), Count == 0 ? 1 : Count);
    Pane.Clear();
    EXPECT_EQ(Pane.Text(), "");
    EXPECT_EQ(Pane.LineCount(), 0);
  }
}

TEST(TextPane, BoldAndSizeApplyToTheLinesAddedAfterThem) {
  TTextPane Pane;
  Pane.SetPointSize(10);
  Pane.SetBold(true);
  Pane.AppendLine("TITLE");
  Pane.SetBold(false);
  Pane.AppendLine("data 1");
  Pane.AppendLine("data 2");
  Pane.Flush();
  const QTextBlock First = Pane.document()->firstBlock();
  EXPECT_TRUE(First.charFormat().isValid());
  EXPECT_EQ(First.begin().fragment().text(), "TITLE");
  EXPECT_EQ(First.begin().fragment().charFormat().fontWeight(), QFont::Bold);
  EXPECT_EQ(First.begin().fragment().charFormat().fontPointSize(), 10);
  const QTextBlock Last = Pane.document()->lastBlock();
  EXPECT_EQ(Last.begin().fragment().charFormat().fontWeight(), QFont::Normal);
  EXPECT_EQ(Pane.Text(), "TITLE\ndata 1\ndata 2\n");
  EXPECT_TRUE(Pane.isReadOnly());
  EXPECT_EQ(Pane.lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(Pane.font().pixelSize(), 13);
  EXPECT_EQ(Pane.font().styleHint(), QFont::TypeWriter);
}

TEST(TextPane, ScrollsAndCopiesByLines) {
  TTextPane Pane;
  Pane.resize(400, 300);
  Pane.show();
  for (int I = 0; I < 1000; ++I) Pane.AppendLine("row " + std::to_string(I));
  Pane.Flush();
  QApplication::processEvents();
  // Before any of it is laid out, the scroll range counts every line.
  EXPECT_GT(Pane.verticalScrollBar()->maximum(), 950);
  EXPECT_LE(Pane.verticalScrollBar()->maximum(), 1000);
  Pane.verticalScrollBar()->setValue(500);
  EXPECT_EQ(Pane.cursorForPosition(QPoint(5, 5))
                    .block()
                    .text()
                    .split(QChar::LineSeparator)
                    .indexOf(QStringLiteral("row 500")) >= 0,
            true);
  Pane.selectAll();
  Pane.copy();
  const QString Copied = QApplication::clipboard()->text();
  EXPECT_TRUE(Copied.startsWith("row 0\nrow 1\nrow 2\n"));
  EXPECT_TRUE(Copied.endsWith("row 998\nrow 999"));
}

} // namespace
} // namespace quorvin::gui::test
