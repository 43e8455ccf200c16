// SPDX-License-Identifier: GPL-3.0-or-later
// Long work shows a modal progress dialog with Cancel; Cancel stops the work
// and leaves files as they were; nothing else runs meanwhile.
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>

#include "WindowFixture.h"

namespace quorvin::gui::test {
namespace {

using namespace captions;

class ProgressTest : public WindowTest {
protected:
  std::string Log;
  int DialogSteps = 0;
  bool BlockedMeanwhile = true;

  // A log long enough for many progress steps: 4 sensors every minute for
  // about 140 days.
  void StartWithLongLog() {
    TGenLog L;
    L.UnitName = "LONG";
    L.Year = 2020;
    L.Month = 1;
    L.Day = 1;
    L.IntervalMinutes = 1;
    L.Sensors = {{"A", 1, 0, 1}, {"B", 1, 0, 1}, {"C", 1, 0, 1}, {"D", 1, 0, 1}};
    Log = Dir.File("LONG.LOG");
    WriteLogFile(Log, L, 200000);
    Start();
    // Every step counts as long work here.
    Form->Busy().SetDelay(0);
    OpenThroughDialog(Log);
    ClickSelectAll();
  }
  // Presses Cancel on the progress dialog at its first step, after checking
  // that the window takes no other command meanwhile.
  void CancelAtFirstStep() {
    Form->Busy().OnStep = [this](QProgressDialog& Dialog) {
      if (DialogSteps++ > 0) return;
      BlockedMeanwhile = QApplication::activeModalWidget() == &Dialog && Dialog.isVisible() &&
                         QApplication::overrideCursor() != nullptr;
      // A second command, or closing the window, is refused while this runs.
      const std::string Before = Panel1();
      Trigger(actOptionsHeader);
      Form->close();
      BlockedMeanwhile = BlockedMeanwhile && Panel1() == Before && Form->isVisible() &&
                         !Act(actOptionsHeader)->isChecked();
      auto* Cancel = Dialog.findChild<QPushButton*>();
      ASSERT_NE(Cancel, nullptr);
      EXPECT_EQ(Cancel->text(), "Cancel");
      Cancel->click();
    };
  }
};

TEST_F(ProgressTest, CancellingASaveLeavesTheOldFileExactlyAsItWas) {
  for (bool Append : {false, true}) {
    SCOPED_TRACE(Append);
    StartWithLongLog();
    if (Find<QCheckBox>("chkAppend")->isChecked() != Append) Find<QCheckBox>("chkAppend")->click();
    const std::string Prn = Dir.File("LONG.PRN");
    WriteWhole(Prn, "what was there\r\n");
    CancelAtFirstStep();
    Trigger(actFileSave);
    EXPECT_EQ(DialogSteps, 1);
    EXPECT_TRUE(BlockedMeanwhile);
    EXPECT_EQ(ReadWhole(Prn), "what was there\r\n");
    EXPECT_EQ(Panel1(), "Error! Unable to save file.");
    // The dialog and the hourglass are gone afterwards.
    EXPECT_EQ(Form->Busy().Dialog(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // No temporary file is left beside it.
    std::set<std::string> Names = FolderNames(Dir.File(""));
    Names.erase("Quorvin.ini");
    EXPECT_EQ(Names, (std::set<std::string>{"LONG.LOG", "LONG.PRN"}));
    Close();
    DialogSteps = 0;
  }
}

TEST_F(ProgressTest, CancellingADisplayKeepsWhatIsShown) {
  StartWithLongLog();
  // Lines without a reading left out: the display counts its lines in a
  // walk over the log, which can be cancelled.
  QTest::mouseClick(Find<QRadioButton>("gbxStdzero2"), Qt::LeftButton);
  CancelAtFirstStep();
  Trigger(actOptionsDisplay);
  EXPECT_EQ(DialogSteps, 1);
  EXPECT_TRUE(Act(actOptionsDisplay)->isChecked());
  EXPECT_TRUE(PaneText().startsWith("R630/R600 DATA FROM: LONG"));
  const int Shown = Form->Pane().LineCount();
  EXPECT_GT(Shown, 4);
  EXPECT_LT(Shown, 200000);
}

TEST_F(ProgressTest, StatisticsAndGraphCanBeCancelled) {
  StartWithLongLog();
  CancelAtFirstStep();
  Page(PageLogStat);
  Trigger(actOptionsStats);
  EXPECT_EQ(DialogSteps, 1);
  EXPECT_TRUE(BlockedMeanwhile);
  // Said, and marked on what shows.
  EXPECT_EQ(Panel1(), "Statistics cancelled.");
  EXPECT_TRUE(PaneText().trimmed().endsWith(
      "\nCANCELLED: the report stops where the statistics were cancelled."))
      << PaneText().right(300).toStdString();
  DialogSteps = 0;
  Page(PageLogPlot);
  Trigger(actOptionsGraph);
  EXPECT_EQ(DialogSteps, 1);
  EXPECT_TRUE(Act(actOptionsGraph)->isChecked());
  EXPECT_EQ(Panel1(), "Graph cancelled.");
  EXPECT_EQ(Form->Chart().TitleLines().back(),
            "CANCELLED: the graph stops where drawing was cancelled.");
  EXPECT_EQ(Form->Chart().SeriesCount(), 4);
  EXPECT_LT(Form->Chart().SeriesPoints(0).size(), 200000);
}

TEST_F(ProgressTest, ShortWorkShowsNoDialogButTheHourglass) {
  Start();
  OpenThroughDialog(Copy("SITE1.LOG"));
  ClickSelectAll();
  int Steps = 0;
  Form->Busy().OnStep = [&](QProgressDialog&) { ++Steps; };
  Trigger(actOptionsDisplay);
  EXPECT_EQ(Steps, 0);
  EXPECT_EQ(Form->Busy().Dialog(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(Form->Busy().Busy());
}

} // namespace
} // namespace quorvin::gui::test
