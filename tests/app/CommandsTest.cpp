// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands as the application runs them: which page does
// what, the view toggles and their marks, page changes, Print's choice, the
// open dialog, and what each command reports as its outcome.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "app/Captions.h"
#include "core/IniFile.h"
#include "support/FakeApp.h"
#include "support/Scratch.h"

namespace quorvin::test {
namespace {

using namespace captions;

class Commands : public ::testing::Test {
protected:
  TScratchDir Dir;
  TFakeApp F;
  TApplication& App = F.App;

  void SetUp() override {
    CopySamples(Dir, {"SITE1.LOG", "site2.csv", "SAMPLE.DDR"});
    TIniFile Ini(Dir / "none.ini");
    App.FormCreate(Ini);
  }
  // Types a name into Page's file box and leaves it, as a user would.
  void Choose(int Page, const std::string& Name) {
    App.PgCntrlLogChange(Page);
    App.LogFileChange(Page, Name.empty() ? Name : Dir / Name);
    App.edtFilenameExit(Page);
  }
  // The log SITE1 with every sensor checked, or the DDR sample, for Page.
  void Load(int Page) {
    if (Page == PageDDRLog) {
      Choose(PageDDRLog, "SAMPLE.DDR");
    } else {
      Choose(PageLogPrn, "SITE1.LOG");
      App.Selection.SelectAllClick(true);
      App.PgCntrlLogChange(Page);
    }
  }
  TCommandOutcome Run(TActionId Id) { return App.Execute(Id); }

  std::string Message() const { return F.Ui.Status.Panels[1]; }
  bool AnyMark() const {
    const TViewMarks& M = App.Marks;
    return M.mnuDisplay || M.mnuHeader || M.mnuGraph || M.mnuStatistics || M.tbtnDisplay ||
           M.tbtnHeader || M.tbtnGraph || M.tbtnStats;
  }
};

TEST_F(Commands, ViewsSwitchOnOnlyOnTheirPagesAndOffOnAny) {
  struct TCase {
    int Page;
    TActionId Command;
    TCommandMode Mode; // after switching on; cmNone: nothing happens on this page
    bool Chart;
  };
  const TCase Cases[] = {
      {PageLogPrn, actOptionsDisplay, cmDisplay, false},
      {PageLogPrn, actOptionsHeader, cmHeader, false},
      {PageLogPrn, actOptionsGraph, cmNone, false},
      {PageLogPrn, actOptionsStats, cmNone, false},
      {PageLogPlot, actOptionsGraph, cmGraph, true},
      {PageLogPlot, actOptionsDisplay, cmNone, false},
      {PageLogStat, actOptionsStats, cmStatistics, false},
      {PageLogStat, actOptionsHeader, cmNone, false},
      {PageRamCard, actOptionsDisplay, cmNone, false},
      {PageDDRLog, actOptionsDisplay, cmDisplay, false},
      {PageDDRLog, actOptionsHeader, cmHeader, false},
      {PageDDRLog, actOptionsGraph, cmNone, false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::string(PageCaptions[std::size_t(C.Page)]) + " " +
                 std::string(Actions[C.Command].Name));
    TFakeApp G;
    TApplication& A = G.App;
    TIniFile Ini(Dir / "none.ini");
    A.FormCreate(Ini);
    if (C.Page == PageDDRLog) {
      A.PgCntrlLogChange(PageDDRLog);
      A.LogFileChange(PageDDRLog, Dir / "SAMPLE.DDR");
      A.edtFilenameExit(PageDDRLog);
    } else {
      A.LogFileChange(PageLogPrn, Dir / "SITE1.LOG");
      A.edtFilenameExit(PageLogPrn);
      A.Selection.SelectAllClick(true);
      A.PgCntrlLogChange(C.Page);
    }
    auto Invoke = [&] {
      switch (C.Command) {
      case actOptionsDisplay:
        return A.OptionsDisplayExecute();
      case actOptionsHeader:
        return A.OptionsHeaderExecute();
      case actOptionsGraph:
        return A.OptionsGraphExecute();
      default:
        return A.OptionsStatsExecute();
      }
    };
    EXPECT_TRUE(Invoke().Succeeded) << G.Ui.Status.Panels[1];
    const bool On = C.Mode != cmNone;
    EXPECT_EQ(A.CommandMode, C.Mode);
    EXPECT_EQ(A.OutputAreaShown, On);
    EXPECT_EQ(A.ChartVisible, On && C.Chart);
    EXPECT_EQ(A.PaneVisible, On && !C.Chart);
    EXPECT_EQ(G.Ui.Busy.Begins, G.Ui.Busy.Ends);
    if (On) {
      EXPECT_FALSE(G.Ui.Pane.Lines.empty() && G.Chart.Series.empty());
      // The view's menu mark and button agree; the other views are off.
      const TViewMarks& M = A.Marks;
      const int Marked = M.mnuDisplay + M.mnuHeader + M.mnuGraph + M.mnuStatistics;
      EXPECT_EQ(Marked, 1);
      EXPECT_EQ(M.mnuDisplay, M.tbtnDisplay);
      EXPECT_EQ(M.mnuHeader, M.tbtnHeader);
      EXPECT_EQ(M.mnuGraph, M.tbtnGraph);
      EXPECT_EQ(M.mnuStatistics, M.tbtnStats);
      // The same command switches it off again, from any page.
      A.ActivePage = PageRamCard;
      Invoke();
      EXPECT_EQ(A.CommandMode, cmNone);
      EXPECT_FALSE(A.OutputAreaShown);
      EXPECT_FALSE(A.Marks.mnuDisplay || A.Marks.mnuHeader || A.Marks.mnuGraph ||
                   A.Marks.mnuStatistics);
    }
  }
}

TEST_F(Commands, PrologueStopsEveryViewBeforeAnythingElse) {
  struct TCase {
    TActionId Command;
    std::string_view NoFile;
  };
  const TCase Cases[] = {{actOptionsDisplay, MsgSelectValidFile},
                         {actOptionsHeader, MsgSelectValidFile},
                         {actOptionsGraph, MsgSelectFile},
                         {actOptionsStats, MsgSelectFile},
                         {actOptionsRefresh, MsgSelectFile}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::string(Actions[C.Command].Name));
    Choose(PageLogPrn, "");
    EXPECT_FALSE(Run(C.Command).Succeeded);
    EXPECT_EQ(Message(), C.NoFile);
    EXPECT_FALSE(AnyMark());
    EXPECT_FALSE(App.OutputAreaShown);
  }
  // A start after the end stops them all with the date message, also a
  // view that is on: it stays on.
  Load(PageLogPrn);
  App.OptionsDisplayExecute();
  App.Selection.dtpStartChange(PageLogPrn, App.Selection.EndDate + 2);
  for (const TCase& C : Cases) {
    EXPECT_FALSE(Run(C.Command).Succeeded);
    EXPECT_EQ(Message(), "Error: Please check the start date and the end date.");
    EXPECT_TRUE(App.Marks.mnuDisplay && App.Marks.tbtnDisplay && App.OutputAreaShown);
  }
}

TEST_F(Commands, PageChangesSwitchTheViewOffAndSetTheToolButtons) {
  struct TRow {
    int Page;
    TFocusTarget Focus;
    TToolButtonsEnabled Enabled;
  };
  const TRow Table[] = {
      {PageLogPlot, TFocusTarget::edtFilename2, {false, false, true, false}},
      {PageLogStat, TFocusTarget::edtFilename3, {false, false, false, true}},
      {PageRamCard, TFocusTarget::cbxRamdir, {false, false, false, false}},
      {PageDDRLog, TFocusTarget::edtDDRLog, {true, true, false, false}},
      {PageLogPrn, TFocusTarget::edtFilename, {true, true, false, false}},
  };
  Load(PageLogPrn);
  App.OptionsDisplayExecute();
  ASSERT_TRUE(App.OutputAreaShown);
  for (const TRow& R : Table) {
    App.PgCntrlLogChange(R.Page);
    EXPECT_EQ(F.View.Focus.back(), R.Focus);
    EXPECT_EQ(App.ToolButtons.tbtnDisplay, R.Enabled.tbtnDisplay);
    EXPECT_EQ(App.ToolButtons.tbtnHeader, R.Enabled.tbtnHeader);
    EXPECT_EQ(App.ToolButtons.tbtnGraph, R.Enabled.tbtnGraph);
    EXPECT_EQ(App.ToolButtons.tbtnStats, R.Enabled.tbtnStats);
    // The first change switched Display off; none is on afterwards.
    EXPECT_FALSE(AnyMark());
    EXPECT_FALSE(App.OutputAreaShown);
  }
  // After a Save (mode 4) the marks stay on over a page change, both panes
  // are hidden, and the output area keeps its height.
  App.OptionsDisplayExecute();
  App.FileSaveExecute();
  App.PgCntrlLogChange(PageLogStat);
  EXPECT_TRUE(App.Marks.mnuDisplay);
  EXPECT_TRUE(App.OutputAreaShown);
  EXPECT_FALSE(App.PaneVisible || App.ChartVisible);
}

TEST_F(Commands, SaveRunsInModeNoneAndPrintFollowsTheView) {
  Load(PageLogPrn);
  App.OptionsDisplayExecute();
  const std::size_t Shown = F.Ui.Pane.Lines.size();
  TCommandOutcome Saved = App.FileSaveExecute();
  EXPECT_TRUE(Saved.Succeeded);
  EXPECT_EQ(Saved.WrittenFile, Dir / "SITE1.PRN");
  EXPECT_EQ(Message(), "Log written to " + (Dir / "SITE1.PRN") + ".");
  EXPECT_EQ(ReadWhole(Saved.WrittenFile).substr(0, 7), "\"DATE\",");
  // The pane and the marks are untouched, but Print has nothing to print
  // until the view is redone: no print dialog at all.
  EXPECT_EQ(F.Ui.Pane.Lines.size(), Shown);
  EXPECT_TRUE(App.Marks.mnuDisplay);
  EXPECT_EQ(App.CommandMode, cmNone);
  App.FilePrintExecute();
  EXPECT_TRUE(F.Printer.Jobs.empty());
  App.OptionsRefreshExecute();
  EXPECT_EQ(App.CommandMode, cmDisplay);
  App.FilePrintExecute();
  ASSERT_EQ(F.Printer.Jobs.size(), 1u);
  EXPECT_EQ(F.Printer.Jobs[0].Title, "SITE1");
}

TEST_F(Commands, PrintTitlesTheJobByWhatIsShown) {
  struct TCase {
    std::string Log;
    int Page;
    TActionId View;
    bool Printed;
    TPrintSource Source;
    std::string Title; // "*" for the DDR output name
  };
  const TCase Cases[] = {
      {"SITE1.LOG", PageLogPrn, actOptionsHeader, true, TPrintSource::Pane, "SITE1 Header"},
      {"site2.csv", PageLogPrn, actOptionsDisplay, true, TPrintSource::Pane, "SITE2"},
      {"SITE1.LOG", PageLogPlot, actOptionsGraph, true, TPrintSource::Chart, "SITE1"},
      {"SITE1.LOG", PageLogStat, actOptionsStats, true, TPrintSource::Pane, "SITE1 Statistics"},
      {"SITE1.LOG", PageRamCard, actOptionsDisplay, false, TPrintSource::Pane, ""},
      {"SAMPLE.DDR", PageDDRLog, actOptionsDisplay, true, TPrintSource::Pane, "*"},
      {"SAMPLE.DDR", PageDDRLog, actOptionsHeader, false, TPrintSource::Pane, ""},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Log + " " + std::string(PageCaptions[std::size_t(C.Page)]));
    F.Printer.Jobs.clear();
    if (C.Page == PageDDRLog) {
      Choose(PageDDRLog, C.Log);
    } else {
      Choose(PageLogPrn, C.Log);
      App.Selection.SelectAllClick(true);
      App.PgCntrlLogChange(C.Page);
    }
    Run(C.View);
    App.FilePrintExecute();
    ASSERT_EQ(F.Printer.Jobs.size(), C.Printed ? 1u : 0u);
    if (C.Printed) {
      EXPECT_EQ(F.Printer.Jobs[0].Source, C.Source);
      EXPECT_EQ(F.Printer.Jobs[0].Title, C.Title == "*" ? App.DDRObj.DDROutputFileName : C.Title);
    }
    if (App.OutputAreaShown) Run(C.View); // off again for the next case
  }
}

TEST_F(Commands, OpenDialogFollowsTheInvokersTag) {
  App.RamCardPage.RAMDirectory = Dir.Path();
  struct TCase {
    int Page;
    int Tag;
    std::string Title;
    int Filter;
    std::string Chosen;
  };
  const TCase Cases[] = {
      {PageRamCard, TagFileOpen, "Open", 1, "site2.csv"}, // a log, from any page
      {PageLogPlot, TagBrowseLog, "Open", 1, "SITE1.LOG"},
      {PageDDRLog, TagFileOpen, "Open", 1, "SAMPLE.DDR"},
      {PageDDRLog, TagBrowseDDR, "Open", 2, "SAMPLE.DDR"},
      {PageDDRLog, TagBrowseOut, "Save As", 3, "new.prn"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Chosen + " tag " + std::to_string(C.Tag));
    App.PgCntrlLogChange(C.Page);
    F.FileDialog.Answers = {Dir / C.Chosen};
    EXPECT_TRUE(App.FileOpenExecute(C.Tag).Succeeded);
    const TFileDialogRequest& R = F.FileDialog.Requests.back();
    EXPECT_EQ(R.Title, C.Title);
    EXPECT_EQ(R.FilterIndex, C.Filter);
    EXPECT_EQ(R.InitialDir, Dir.Path());
    if (C.Tag == TagBrowseOut)
      EXPECT_EQ(App.DDRPage.Controls.edtDDROutput, Dir / C.Chosen);
    else if (C.Page == PageDDRLog)
      EXPECT_EQ(App.DDRPage.Controls.edtDDRLog, Dir / C.Chosen);
    else
      EXPECT_EQ(App.Selection.FileNameBoxes,
                (std::array<std::string, 3>{Dir / C.Chosen, Dir / C.Chosen, Dir / C.Chosen}));
  }
  // Cancelled: the message panel is cleared and the selection stays.
  App.PgCntrlLogChange(PageLogPrn);
  F.Ui.Status.Panels[1] = "old";
  const std::string Before = App.Selection.LogFileName;
  F.FileDialog.Answers.clear();
  EXPECT_TRUE(App.FileOpenExecute(TagBrowseLog).Succeeded);
  EXPECT_EQ(Message(), "");
  EXPECT_EQ(App.Selection.LogFileName, Before);
}

// A file opened by its name alone (dropped, named at start) goes to the page
// of its kind, or stays with the page showing, and opens there as Open would.
TEST_F(Commands, OpenFileChoosesThePageByTheKindOfFile) {
  CopySamples(Dir, {"RAMCARD.RCD"});
  WriteWhole(Dir / "notes.dat", "x");
  struct TCase {
    int From;
    std::string File;
    int To;
    bool Opened;
  };
  const TCase Cases[] = {
      {PageDDRLog, "site2.csv", PageLogPrn, true},   {PageLogStat, "SITE1.LOG", PageLogStat, true},
      {PageLogPlot, "SAMPLE.DDR", PageDDRLog, true}, {PageLogPrn, "RAMCARD.RCD", PageRamCard, true},
      {PageLogPrn, "", PageRamCard, true},           {PageRamCard, "notes.dat", PageRamCard, false},
      {PageDDRLog, "notes.dat", PageDDRLog, false},  {PageLogPlot, "notes.dat", PageLogPlot, false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.File + " from " + std::to_string(C.From));
    App.PgCntrlLogChange(C.From);
    EXPECT_EQ(App.OpenFile(Dir / C.File).Succeeded, C.Opened);
    EXPECT_EQ(App.ActivePage, C.To);
    EXPECT_EQ(TApplication::PageForFile(Dir / C.File, C.From), C.To);
  }
  EXPECT_TRUE(F.FileDialog.Requests.empty());
}

TEST_F(Commands, OutputFormatListsApplyAtOnce) {
  Load(PageLogPrn);
  App.cbxOutFormatChange(PageLogPrn, 1);
  TCommandOutcome Saved = App.FileSaveExecute();
  EXPECT_EQ(Saved.WrittenFile, Dir / "SITE1.XLS");
  // The DDR list gives the proposed DDR output name its extension.
  Choose(PageDDRLog, "SAMPLE.DDR");
  const std::string Proposed = App.DDRPage.Controls.edtDDROutput;
  App.cbxOutFormatChange(PageDDRLog, 1);
  EXPECT_EQ(App.DDRPage.Controls.edtDDROutput, Proposed.substr(0, Proposed.size() - 4) + ".XLS");
}

TEST_F(Commands, FailedCommandsSayWhyAndReportFailure) {
  Choose(PageDDRLog, "SAMPLE.DDR");
  App.edtDDROutputChange(Dir / "no-such-folder/out.prn");
  App.edtDDROutputExit();
  EXPECT_FALSE(App.FileSaveExecute().Succeeded);
  EXPECT_EQ(Message(), MsgUnableToSaveDDR);
  App.PgCntrlLogChange(PageRamCard);
  EXPECT_FALSE(App.FileSaveExecute().Succeeded);
  EXPECT_EQ(Message(), "Error!  Please select a valid RAM drive.");
  // Save where it means nothing succeeds and says nothing.
  App.PgCntrlLogChange(PageLogStat);
  EXPECT_TRUE(App.FileSaveExecute().Succeeded);
  EXPECT_EQ(Message(), "");
}

// Refresh on LOGPRN says which view it could not show again.
TEST_F(Commands, RefreshThatFailsOnLogPrnSaysWhichView) {
  Load(PageLogPrn);
  const std::pair<TActionId, std::string> Views[] = {
      {actOptionsDisplay, "Error! Unable to display LOG file."},
      {actOptionsHeader, "Error!  Unable to read Log Header"}};
  for (const auto& [View, Text] : Views) {
    F.Ui.Pane.Full = false;
    ASSERT_TRUE(Run(View).Succeeded);
    F.Ui.Pane.Full = true;
    EXPECT_FALSE(Run(actOptionsRefresh).Succeeded);
    EXPECT_EQ(Message(), Text);
  }
}

// One stray row from a reset clock makes a grid of millions of empty lines;
// statistics and graph ask before walking it, and No leaves the view empty.
TEST_F(Commands, StatisticsAndGraphAskBeforeAMostlyEmptyGrid) {
  std::string Csv = "01/01/1985,00:00:00,A,1.0,C,G\r\n";
  for (int M = 0; M < 1440; M += 15)
    Csv += "07/01/2024," + std::to_string(100 + M / 60).substr(1) + ":" +
           std::to_string(100 + M % 60).substr(1) + ":00,A,2.5,C,G\r\n";
  WriteWhole(Dir / "stray.csv", Csv);
  Choose(PageLogPrn, "stray.csv");
  App.Selection.SelectAllClick(true);
  for (int Page : {PageLogStat, PageLogPlot}) {
    SCOPED_TRACE(Page);
    App.PgCntrlLogChange(Page);
    F.Ui.Dialog.Shown.clear();
    F.Ui.Dialog.Answers = {TMsgResult::No};
    const TActionId Id = Page == PageLogStat ? actOptionsStats : actOptionsGraph;
    EXPECT_FALSE(Run(Id).Succeeded);
    ASSERT_EQ(F.Ui.Dialog.Shown.size(), 1u);
    EXPECT_EQ(F.Ui.Dialog.Shown[0].Text.rfind("This log spans ", 0), 0u);
    EXPECT_TRUE(F.Ui.Pane.Lines.empty());
    EXPECT_EQ(F.Chart.PointCount(), 0);
    Run(Id); // off again
    F.Ui.Dialog.Answers = {TMsgResult::Yes};
    EXPECT_TRUE(Run(Id).Succeeded);
    EXPECT_EQ(F.Ui.Dialog.Shown.size(), 2u);
    EXPECT_TRUE(!F.Ui.Pane.Lines.empty() || F.Chart.PointCount() > 0);
    Run(Id);
  }
}

TEST_F(Commands, SettingsAreWrittenAtCloseAndAFailedWriteIsReported) {
  App.LogPrn.AppendData = false;
  App.STTextColorChange(9);
  App.DDRObj.Layout.AddHeader = true;
  TIniFile Ini(Dir / "Quorvin.ini");
  EXPECT_TRUE(App.FormDestroy(Ini));
  TFakeApp Again;
  TIniFile Back(Dir / "Quorvin.ini");
  Again.App.FormCreate(Back);
  EXPECT_FALSE(Again.App.LogPrn.AppendData);
  EXPECT_EQ(Again.App.Colours.TextColor, "clRed");
  EXPECT_TRUE(Again.App.DDRObj.Layout.AddHeader);

  TIniFile Nowhere(Dir / "missing-folder/Quorvin.ini");
  EXPECT_FALSE(App.FormDestroy(Nowhere));
}

} // namespace
} // namespace quorvin::test
