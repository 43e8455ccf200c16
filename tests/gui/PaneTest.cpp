// SPDX-License-Identifier: GPL-3.0-or-later
// The text pane: lines go in one by one or many at once and come out as
// they went in, bold where asked; a line source of any length shows at
// once anywhere, asked only for the lines in view; find and copy work on
// the whole text.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

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
    Pane.AppendLines(Rest);
    EXPECT_EQ(Pane.Text(), Expected);
    EXPECT_EQ(Pane.LineCount(), Count);
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
  EXPECT_EQ(Pane.Lines().Style(0), (TLineStyle{true, 10}));
  EXPECT_EQ(Pane.Lines().Style(2), (TLineStyle{false, 10}));
  EXPECT_EQ(Pane.Text(), "TITLE\ndata 1\ndata 2\n");
  EXPECT_EQ(TTextPane::FontFor(TLineStyle{}).pixelSize(), 13);
  EXPECT_TRUE(TTextPane::FontFor(TLineStyle{true, 10}).bold());
  EXPECT_EQ(Pane.font().styleHint(), QFont::TypeWriter);
  // A new text starts in the regular style again.
  Pane.Clear();
  Pane.AppendLine("again");
  EXPECT_EQ(Pane.Lines().Style(0), TLineStyle{});
}

// "line N" for any N below Count, counting what it is asked for.
class TCountedLines : public ILineSource {
public:
  explicit TCountedLines(std::int64_t Count) : FCount(Count) {}
  std::int64_t Asked = 0;
  std::int64_t LineCount() const override { return FCount; }
  void GetLines(std::int64_t From, std::int64_t Count, std::string& Out) override {
    for (std::int64_t L = From; L < From + Count && L < FCount; ++L, ++Asked)
      Out += "line " + std::to_string(L) + "\r\n";
  }
  TLineStyle Style(std::int64_t Line) const override { return TLineStyle{Line == 0, 10}; }

private:
  std::int64_t FCount;
};

class ShownPane : public ::testing::Test {
protected:
  TTextPane Pane;
  std::shared_ptr<TCountedLines> Source;
  void Show(std::int64_t Count) {
    Source = std::make_shared<TCountedLines>(Count);
    Pane.resize(400, 300);
    Pane.show();
    Pane.ShowLines(Source);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&Pane));
    QApplication::processEvents();
  }
};

TEST_F(ShownPane, AnyLengthShowsAndScrollsAtOnceAskingOnlyForWhatIsInView) {
  Show(300'000'000);
  const int Visible = Pane.VisibleLines();
  EXPECT_EQ(Pane.verticalScrollBar()->maximum(), 300'000'000 - Visible);
  EXPECT_EQ(Pane.LineText(0), "line 0");
  // Ctrl+End: the last line, in view.
  QTest::keyClick(&Pane, Qt::Key_End, Qt::ControlModifier);
  Pane.repaint();
  EXPECT_EQ(Pane.FirstVisibleLine(), 300'000'000 - Visible);
  EXPECT_EQ(Pane.Cursor(), (TTextPane::TPos{299'999'999, 14}));
  Pane.verticalScrollBar()->setValue(123'456'789);
  Pane.repaint();
  EXPECT_EQ(Pane.LineText(Pane.FirstVisibleLine()), "line 123456789");
  // Blocks of lines around what was shown, never the text.
  EXPECT_LT(Source->Asked, 5000);
}

TEST_F(ShownPane, FindGoesToTheNextAndPreviousPlaceFromTheCursor) {
  Show(100'000);
  QTest::keyClick(&Pane, Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(Pane.FindBar()->isVisible());
  auto* Edit = Pane.FindBar()->findChild<QLineEdit*>("edtFind");
  auto* State = Pane.FindBar()->findChild<QLabel*>("lblFindState");
  QTest::keyClicks(Edit, "LINE 9999");
  QTest::keyClick(Edit, Qt::Key_Return);
  EXPECT_EQ(Pane.Anchor(), (TTextPane::TPos{9999, 0}));
  EXPECT_EQ(Pane.Cursor(), (TTextPane::TPos{9999, 9}));
  EXPECT_GE(Pane.FirstVisibleLine() + Pane.VisibleLines(), 9999);
  QTest::keyClick(Edit, Qt::Key_Return);
  EXPECT_EQ(Pane.Anchor(), (TTextPane::TPos{99990, 0}));
  EXPECT_TRUE(State->text().isEmpty());
  // Shift+F3 goes back, and on from the other end; F3 goes forward.
  QTest::keyClick(&Pane, Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(Pane.Anchor(), (TTextPane::TPos{9999, 0}));
  QTest::keyClick(&Pane, Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(Pane.Anchor(), (TTextPane::TPos{99999, 0}));
  EXPECT_EQ(State->text(), "Passed the end, went on from the other end");
  QTest::keyClick(&Pane, Qt::Key_F3);
  EXPECT_EQ(Pane.Anchor(), (TTextPane::TPos{9999, 0}));
  EXPECT_FALSE(Pane.FindText("line 100000", false));
  EXPECT_EQ(State->text(), "Not found");
  EXPECT_EQ(Pane.Anchor(), (TTextPane::TPos{9999, 0}));
}

TEST_F(ShownPane, CopyGivesTheSelectedLinesAndAsksBeforeAHugeOne) {
  Show(4'000'000);
  Pane.Select({5, 3}, {7, 4});
  ASSERT_TRUE(Pane.Copy());
  EXPECT_EQ(QApplication::clipboard()->text(), "e 5\nline 6\nline");
  std::int64_t AskedLines = 0;
  Pane.ConfirmLargeCopy = [&](std::int64_t Lines, std::int64_t) {
    AskedLines = Lines;
    return false;
  };
  Pane.SelectAll();
  EXPECT_FALSE(Pane.Copy());
  EXPECT_EQ(AskedLines, 4'000'000);
  EXPECT_EQ(QApplication::clipboard()->text(), "e 5\nline 6\nline");
}

TEST(TextPane, SelectAllCopiesEveryLineOfTheStore) {
  TTextPane Pane;
  for (int I = 0; I < 1000; ++I) Pane.AppendLine("row " + std::to_string(I));
  Pane.SelectAll();
  ASSERT_TRUE(Pane.Copy());
  const QString Copied = QApplication::clipboard()->text();
  EXPECT_TRUE(Copied.startsWith("row 0\nrow 1\nrow 2\n"));
  EXPECT_TRUE(Copied.endsWith("row 998\nrow 999"));
  EXPECT_EQ(Copied.count(u'\n'), 999);
}

} // namespace
} // namespace quorvin::gui::test
