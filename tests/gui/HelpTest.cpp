// SPDX-License-Identifier: GPL-3.0-or-later
// The help window: the Help command and F1 open the right topic in one
// window; its contents list, Back and Forward, and the find box.
#include <QLabel>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "WindowFixture.h"
#include "app/HelpTopics.h"
#include "gui/HelpForm.h"

namespace quorvin::gui::test {
namespace {

using namespace captions;

// The page and anchor a browser shows, as "logprn.html" or
// "index.html#window".
std::string Shown(const QTextBrowser& Browser) {
  const QUrl Source = Browser.source();
  std::string Topic = Source.fileName().toStdString();
  if (Source.hasFragment()) Topic += "#" + Source.fragment().toStdString();
  return Topic;
}

class HelpTest : public WindowTest {};

TEST_F(HelpTest, F1OpensTheTopicOfTheControlsPageOrOfTheWindow) {
  Start();
  struct TRow {
    const char* Control;
    const char* Topic;
  };
  for (const TRow& R :
       {TRow{"edtFilename", "logprn.html"}, TRow{"edtMax", "logplot.html"},
        TRow{"dtpEnd3", "logstat.html"}, TRow{"edtOutFile", "ramcard.html"},
        TRow{"chkUSGSStation", "ddrlog.html"}, TRow{"RedtDisplay", "logprn.html"},
        TRow{"ChartLog", "logplot.html"}, TRow{"PgCntrlLog", "index.html#window"},
        TRow{"PnlOptions", "index.html#window"}, TRow{"StatusBar1", "index.html#window"}}) {
    Help.Shown.clear();
    Form->ContextHelp(Find(R.Control));
    EXPECT_EQ(Help.Shown, std::vector<std::string>{R.Topic}) << R.Control;
  }
  // The key itself, on the control that has the focus.
  Help.Shown.clear();
  Page(PageDDRLog);
  Find("edtDDRLog")->setFocus();
  QTest::keyClick(Find("edtDDRLog"), Qt::Key_F1);
  EXPECT_EQ(Help.Shown, std::vector<std::string>{"ddrlog.html"});
}

TEST_F(HelpTest, TheHelpCommandOpensTheContentsAndEveryTopicReusesOneWindow) {
  // The window's own help viewer.
  TInjectedServices S = Services();
  S.Help = nullptr;
  Form = std::make_unique<TMainForm>(S);
  Form->FormCreate(StartDir(), StartDir());
  Form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
  Trigger(actOptionsDisplay);
  ASSERT_FALSE(Panel1().empty());

  // From the menu and from the tool bar alike.
  for (const char* Invoker : {"menu", "tbtnHelp"}) {
    if (std::string(Invoker) == "menu")
      Trigger(actHelp);
    else
      QTest::mouseClick(Find<QToolButton>(Invoker), Qt::LeftButton);
    THelpForm* Help = Form->HelpViewer()->Form();
    ASSERT_NE(Help, nullptr) << Invoker;
    EXPECT_TRUE(Help->isVisible()) << Invoker;
    EXPECT_EQ(Shown(Help->Browser()), "index.html") << Invoker;
    EXPECT_EQ(Panel1(), "") << Invoker;
    Help->close();
  }
  THelpForm* First = Form->HelpViewer()->Form();
  Form->ContextHelp(Find("cbxRamdir"));
  EXPECT_EQ(Form->HelpViewer()->Form(), First);
  EXPECT_TRUE(First->isVisible());
  EXPECT_EQ(Shown(First->Browser()), "ramcard.html");
  int HelpWindows = 0;
  for (QWidget* W : QApplication::topLevelWidgets())
    HelpWindows += qobject_cast<THelpForm*>(W) != nullptr;
  EXPECT_EQ(HelpWindows, 1);
}

class HelpFormTest : public ::testing::Test {
protected:
  THelpForm Help;
  void Click(QToolButton& Button) { QTest::mouseClick(&Button, Qt::LeftButton); }
};

TEST_F(HelpFormTest, EveryEntryOfTheContentsOpensItsPage) {
  ASSERT_EQ(Help.Contents().count(), int(HelpPages.size()));
  for (int Row = int(HelpPages.size()) - 1; Row >= 0; --Row) {
    Help.Contents().setCurrentRow(Row);
    const std::string File(HelpPages[std::size_t(Row)].File);
    EXPECT_EQ(Shown(Help.Browser()), File);
    // The page is there: its title and its line of links to the others.
    EXPECT_FALSE(Help.Browser().documentTitle().isEmpty()) << File;
    EXPECT_TRUE(Help.Browser().toPlainText().contains(u"Batch tool")) << File;
    // Text colours, where a page sets any, are the palette's: a dark
    // desktop reads the manual as well as a light one.
    const QColor Text = Help.Browser().palette().color(QPalette::Text);
    for (QTextBlock B = Help.Browser().document()->begin(); B.isValid(); B = B.next())
      for (auto It = B.begin(); !It.atEnd(); ++It) {
        const QTextCharFormat F = It.fragment().charFormat();
        if (!F.isAnchor() && F.foreground().style() != Qt::NoBrush) {
          EXPECT_EQ(F.foreground().color(), Text)
              << File << ": " << It.fragment().text().toStdString();
        }
      }
  }
  // The list follows a link followed in the page.
  Help.ShowTopic(QStringLiteral("logstat.html"));
  EXPECT_EQ(Help.Contents().currentRow(), 3);
}

TEST_F(HelpFormTest, BackAndForwardWalkThePagesSeen) {
  Help.ShowTopic(QStringLiteral("index.html"));
  Help.Contents().setCurrentRow(1);
  Help.ShowTopic(QStringLiteral("index.html#window"));
  struct TStep {
    const char* Button; // "back", "forward" or a topic to open
    const char* Shows;
    bool Back;
    bool Forward;
  };
  for (const TStep& S :
       {TStep{"back", "logprn.html", true, true}, TStep{"back", "index.html", false, true},
        TStep{"forward", "logprn.html", true, true},
        TStep{"forward", "index.html#window", true, false},
        TStep{"back", "logprn.html", true, true},
        TStep{"ddrlog.html", "ddrlog.html", true, false}}) {
    const std::string B = S.Button;
    if (B == "back")
      Click(Help.BackButton());
    else if (B == "forward")
      Click(Help.ForwardButton());
    else
      Help.ShowTopic(QString::fromLatin1(S.Button));
    SCOPED_TRACE(B + " to " + S.Shows);
    EXPECT_EQ(Shown(Help.Browser()), S.Shows);
    EXPECT_EQ(Help.BackButton().isEnabled(), S.Back);
    EXPECT_EQ(Help.ForwardButton().isEnabled(), S.Forward);
  }
}

TEST_F(HelpFormTest, TheFindBoxFindsAsYouTypeAndEnterGoesToTheNextMatch) {
  Help.ShowTopic(QStringLiteral("logprn.html"));
  Help.show();
  QLineEdit& Box = Help.FindBox();
  auto* NotFound = Help.findChild<QLabel*>(QStringLiteral("lblNotFound"));
  auto Selected = [&] { return Help.Browser().textCursor().selectedText(); };
  auto At = [&] { return Help.Browser().textCursor().selectionStart(); };
  const QString Page = Help.Browser().toPlainText();

  QTest::keyClicks(&Box, QStringLiteral("sen"));
  EXPECT_EQ(Selected().toLower(), "sen");
  const int First = At();
  EXPECT_EQ(First, Page.indexOf(u"sen", 0, Qt::CaseInsensitive));
  // More letters keep the match where it starts when it still fits there.
  QTest::keyClicks(&Box, QStringLiteral("sor"));
  EXPECT_EQ(Selected().toLower(), "sensor");
  EXPECT_EQ(At(), Page.indexOf(u"sensor", 0, Qt::CaseInsensitive));
  // Every match is marked, the current one selected.
  EXPECT_EQ(Help.Browser().extraSelections().size(), Page.count(u"sensor", Qt::CaseInsensitive));
  EXPECT_TRUE(NotFound->isHidden());

  const int Match = At();
  QTest::keyClick(&Box, Qt::Key_Return);
  EXPECT_EQ(At(), Page.indexOf(u"sensor", Match + 1, Qt::CaseInsensitive));
  QTest::keyClick(&Box, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(At(), Match);
  // Before the first match, the search wraps to the last.
  QTest::keyClick(&Box, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(At(), Page.lastIndexOf(u"sensor", -1, Qt::CaseInsensitive));

  const int Last = At();
  QTest::keyClicks(&Box, QStringLiteral("qzx"));
  EXPECT_TRUE(Selected().isEmpty());
  EXPECT_FALSE(NotFound->isHidden());
  EXPECT_TRUE(Help.Browser().extraSelections().isEmpty());
  // Taking the letters back finds the match again where it was.
  for (int I = 0; I < 3; ++I) QTest::keyClick(&Box, Qt::Key_Backspace);
  EXPECT_EQ(At(), Last);
  EXPECT_EQ(Selected().toLower(), "sensor");
  EXPECT_TRUE(NotFound->isHidden());
  QTest::keyClick(&Box, Qt::Key_Escape);
  EXPECT_TRUE(Box.text().isEmpty());
  EXPECT_TRUE(NotFound->isHidden());
}

TEST_F(HelpFormTest, TheFindBoxListsThePagesOfTheWholeManualThatHoldTheText) {
  Help.ShowTopic(QStringLiteral("logprn.html"));
  Help.show();
  auto* NotFound = Help.findChild<QLabel*>(QStringLiteral("lblNotFound"));
  auto Listed = [&] {
    std::vector<std::string> Files;
    for (int Row = 0; Row < Help.Contents().count(); ++Row)
      if (!Help.Contents().item(Row)->isHidden())
        Files.push_back(Help.Contents().item(Row)->data(Qt::UserRole).toString().toStdString());
    return Files;
  };
  QTest::keyClicks(&Help.FindBox(), QStringLiteral("Checksum"));
  EXPECT_EQ(Listed(), (std::vector<std::string>{"index.html", "ramcard.html", "batch.html"}));
  EXPECT_FALSE(NotFound->isHidden());
  EXPECT_EQ(NotFound->text().toStdString(), HelpNotOnPage);
  // A listed page opens at its first match, its number of matches beside it.
  QListWidgetItem* RamCard = Help.Contents().item(4);
  QTest::mouseClick(Help.Contents().viewport(), Qt::LeftButton, {},
                    Help.Contents().visualItemRect(RamCard).center());
  EXPECT_EQ(Shown(Help.Browser()), "ramcard.html");
  EXPECT_EQ(Help.Browser().textCursor().selectedText().toLower(), "checksum");
  EXPECT_TRUE(NotFound->isHidden());
  EXPECT_EQ(RamCard->text(),
            QStringLiteral("RAMCARD (%1)").arg(Help.Browser().extraSelections().size()));

  QTest::keyClicks(&Help.FindBox(), QStringLiteral("qzx"));
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(NotFound->text().toStdString(), HelpNotFound);
}

} // namespace
} // namespace quorvin::gui::test
