// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the window, from its menus, tool bar and keys, on every
// page: what each one shows and says, and the view marks it leaves.
#include <QClipboard>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

#include "WindowFixture.h"

namespace quorvin::gui::test {
namespace {

using namespace captions;

class CommandsTest : public WindowTest {
protected:
  std::string Log, DDR;

  // A window with SITE1.LOG loaded and all its sensors checked, or on
  // DDRLOG with SAMPLE.DDR chosen, showing Page.
  void StartOn(int P) {
    Start();
    Log = Copy("SITE1.LOG");
    DDR = Copy("SAMPLE.DDR");
    if (P == PageDDRLog) {
      Page(PageDDRLog);
      OpenThroughDialog(DDR);
    } else {
      OpenThroughDialog(Log);
      ClickSelectAll();
      Page(P);
    }
  }
  bool MenuMark(TActionId Id) { return Act(Id)->isChecked(); }
  bool Pressed(const char* Button) { return Find<QToolButton>(Button)->isChecked(); }
  bool PaneShown() { return Find<QWidget>("RedtDisplay")->isVisible(); }
  bool ChartShown() { return Find<QWidget>("ChartLog")->isVisible(); }
  bool OutputShown() { return Find<QWidget>("PnlOptions")->isVisible(); }
};

struct TViewRow {
  int Page;
  TActionId Id;
  const char* Button;
  bool On;            // the view switches on there
  bool Pane, Chart;   // what the output area shows then
  const char* Starts; // the pane's first line
};

TEST_F(CommandsTest, EachViewSwitchesOnOnlyOnItsOwnPagesAndOffAgain) {
  const TViewRow Rows[] = {
      {PageLogPrn, actOptionsDisplay, "tbtnDisplay", true, true, false,
       "R630/R600 DATA FROM: SITE1 DATE: 051424 TO 051724"},
      {PageLogPrn, actOptionsHeader, "tbtnHeader", true, true, false,
       "R630/R600 LOG HEADER FROM: SITE1"},
      {PageLogPrn, actOptionsGraph, "tbtnGraph", false, false, false, ""},
      {PageLogPrn, actOptionsStats, "tbtnStats", false, false, false, ""},
      {PageLogPlot, actOptionsDisplay, "tbtnDisplay", false, false, false, ""},
      {PageLogPlot, actOptionsGraph, "tbtnGraph", true, false, true, ""},
      {PageLogStat, actOptionsStats, "tbtnStats", true, true, false,
       "STATISTICS FOR: SITE1 DATE: 051424 TO 051724"},
      {PageLogStat, actOptionsHeader, "tbtnHeader", false, false, false, ""},
      {PageRamCard, actOptionsDisplay, "tbtnDisplay", false, false, false, ""},
      {PageRamCard, actOptionsStats, "tbtnStats", false, false, false, ""},
      {PageDDRLog, actOptionsDisplay, "tbtnDisplay", true, true, false, "Unit ID: CREEK-01"},
      {PageDDRLog, actOptionsHeader, "tbtnHeader", true, true, false, ""},
      {PageDDRLog, actOptionsGraph, "tbtnGraph", false, false, false, ""},
  };
  for (const TViewRow& R : Rows) {
    SCOPED_TRACE(std::to_string(R.Page) + " " + R.Button);
    StartOn(R.Page);
    Trigger(R.Id);
    EXPECT_EQ(MenuMark(R.Id), R.On);
    EXPECT_EQ(Pressed(R.Button), R.On);
    EXPECT_EQ(OutputShown(), R.On);
    EXPECT_EQ(PaneShown(), R.Pane);
    EXPECT_EQ(ChartShown(), R.Chart);
    if (R.On && R.Pane) {
      EXPECT_TRUE(PaneText().startsWith(QString::fromLatin1(R.Starts)))
          << PaneText().left(80).toStdString();
      EXPECT_GT(Form->Pane().LineCount(), 3);
    }
    if (R.Chart) {
      EXPECT_EQ(Form->Chart().SeriesCount(), 4);
    }
    // The same command again switches it off, on every page.
    Trigger(R.Id);
    EXPECT_FALSE(MenuMark(R.Id));
    EXPECT_FALSE(Pressed(R.Button));
    EXPECT_FALSE(OutputShown());
    Close();
  }
}

TEST_F(CommandsTest, SwitchingOneViewOnReleasesTheOthers) {
  StartOn(PageLogPrn);
  Trigger(actOptionsHeader);
  Trigger(actOptionsDisplay);
  EXPECT_TRUE(MenuMark(actOptionsDisplay));
  EXPECT_FALSE(MenuMark(actOptionsHeader));
  EXPECT_FALSE(Pressed("tbtnHeader"));
  EXPECT_TRUE(PaneText().startsWith("R630/R600 DATA FROM:"));
}

struct TSaveRow {
  int Page;
  std::string Panel; // with {dir} for the scratch folder
  const char* Written;
};

TEST_F(CommandsTest, SaveDoesWhatThePageShowingMeans) {
  const TSaveRow Rows[] = {
      {PageLogPrn, "Log written to {dir}SITE1.PRN.", "SITE1.PRN"},
      {PageLogPlot, "", nullptr},
      {PageLogStat, "", nullptr},
      {PageRamCard, "Error!  Please select a valid RAM drive.", nullptr},
      {PageDDRLog, "DDR Log written to {dir}SAMPLE.PRN.", "SAMPLE.PRN"},
  };
  for (const TSaveRow& R : Rows) {
    SCOPED_TRACE(R.Page);
    StartOn(R.Page);
    Trigger(actFileSave);
    std::string Expected = R.Panel;
    if (auto At = Expected.find("{dir}"); At != std::string::npos)
      Expected.replace(At, 5, StartDir());
    EXPECT_EQ(Panel1(), Expected);
    for (const char* Name : {"SITE1.PRN", "SAMPLE.PRN"})
      EXPECT_EQ(fs::exists((Dir / Name)), R.Written && std::string(R.Written) == Name) << Name;
    // Save switches no view on.
    EXPECT_FALSE(OutputShown());
    Close();
    fs::remove((Dir / "SITE1.PRN"));
    fs::remove((Dir / "SAMPLE.PRN"));
  }
}

TEST_F(CommandsTest, TheFourViewButtonsFollowThePageAndTheMenuStaysWhole) {
  struct TRow {
    int Page;
    bool Display, Header, Graph, Stats;
  };
  Start();
  for (const TRow& R :
       {TRow{PageLogPlot, false, false, true, false}, TRow{PageLogStat, false, false, false, true},
        TRow{PageRamCard, false, false, false, false}, TRow{PageDDRLog, true, true, false, false},
        TRow{PageLogPrn, true, true, false, false}}) {
    Page(R.Page);
    EXPECT_EQ(Find<QToolButton>("tbtnDisplay")->isEnabled(), R.Display) << R.Page;
    EXPECT_EQ(Find<QToolButton>("tbtnHeader")->isEnabled(), R.Header) << R.Page;
    EXPECT_EQ(Find<QToolButton>("tbtnGraph")->isEnabled(), R.Graph) << R.Page;
    EXPECT_EQ(Find<QToolButton>("tbtnStats")->isEnabled(), R.Stats) << R.Page;
    for (const char* Always : {"tbtnOpen", "tbtnSave", "tbtnPrint", "tbtnRefresh"})
      EXPECT_TRUE(Find<QToolButton>(Always)->isEnabled()) << Always;
    for (int Id = 0; Id < ActionCount; ++Id)
      if (Act(TActionId(Id))) {
        EXPECT_TRUE(Act(TActionId(Id))->isEnabled());
      }
  }
}

TEST_F(CommandsTest, TheKeyboardRunsDisplayOnAPageWhoseButtonIsDisabled) {
  Start();
  Page(PageRamCard);
  QTest::keyClick(Form.get(), Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(Panel1(), "Error! Please select a valid file.");
}

TEST_F(CommandsTest, DisplayWithNoSensorCheckedShowsAnEmptyPaneAndSaysSo) {
  Start();
  OpenThroughDialog(Copy("SITE1.LOG"));
  Trigger(actOptionsDisplay);
  EXPECT_TRUE(OutputShown());
  EXPECT_TRUE(PaneText().isEmpty());
  EXPECT_EQ(Panel1(), "No sensors selected to display.");
  Trigger(actOptionsDisplay);
  EXPECT_FALSE(OutputShown());
  // Save writes nothing and says nothing.
  Trigger(actFileSave);
  EXPECT_EQ(Panel1(), "");
  EXPECT_FALSE(fs::exists((Dir / "SITE1.PRN")));
}

TEST_F(CommandsTest, AStartAfterTheEndStopsEveryViewAndKeepsTheViewOnAcrossPages) {
  StartOn(PageLogPrn);
  Trigger(actOptionsDisplay);
  // Clicking into the picker leaves the file box (which loads the log anew
  // after an Open, as always).
  Find<QDateEdit>("dtpStart")->setFocus(Qt::MouseFocusReason);
  Find<QDateEdit>("dtpStart")->setDate(QDate(2024, 5, 17));
  Find<QDateEdit>("dtpEnd")->setDate(QDate(2024, 5, 15));
  for (TActionId Id : {actOptionsHeader, actOptionsGraph, actOptionsStats, actOptionsRefresh}) {
    Trigger(Id);
    EXPECT_EQ(Panel1(), "Error: Please check the start date and the end date.") << Id;
  }
  EXPECT_TRUE(MenuMark(actOptionsDisplay));
  Page(PageLogPlot);
  EXPECT_EQ(Panel1(), "Error: Please check the start date and the end date.");
  EXPECT_TRUE(MenuMark(actOptionsDisplay));
  EXPECT_TRUE(OutputShown());
}

TEST_F(CommandsTest, APageChangeSwitchesTheViewOffAndShrinksTheWindow) {
  StartOn(PageLogPrn);
  const int Collapsed = Form->height();
  Trigger(actOptionsDisplay);
  EXPECT_TRUE(WaitFor([&] { return Form->height() > Collapsed; }));
  Page(PageLogPlot);
  EXPECT_FALSE(OutputShown());
  EXPECT_FALSE(PaneShown());
  EXPECT_FALSE(Pressed("tbtnDisplay"));
  EXPECT_FALSE(MenuMark(actOptionsDisplay));
  EXPECT_TRUE(WaitFor([&] { return Form->height() == Collapsed; }));
  EXPECT_TRUE(Find<QLineEdit>("edtFilename2")->hasFocus());
}

TEST_F(CommandsTest, SaveWithTheDisplayOnLeavesItShownButPrintsNothingUntilRefresh) {
  StartOn(PageLogPrn);
  Trigger(actOptionsDisplay);
  const QString Shown = PaneText();
  Trigger(actFileSave);
  EXPECT_EQ(Panel1(), "Log written to " + (Dir / "SITE1.PRN") + ".");
  EXPECT_EQ(PaneText(), Shown);
  EXPECT_TRUE(MenuMark(actOptionsDisplay));
  EXPECT_TRUE(Pressed("tbtnDisplay"));
  Trigger(actFilePrint);
  EXPECT_TRUE(Printer.Jobs.empty());
  EXPECT_EQ(Panel1(), "Nothing to print: show the view again (Refresh) first.");
  Trigger(actOptionsRefresh);
  EXPECT_EQ(PaneText(), Shown);
  Trigger(actFilePrint);
  ASSERT_EQ(Printer.Jobs.size(), 1u);
  EXPECT_EQ(Printer.Jobs[0].Title, "SITE1");
}

// Save follows the "Always Append Data" box: off, the file is replaced;
// on, the next Save adds its data lines to it.
TEST_F(CommandsTest, SaveFollowsTheAlwaysAppendDataBox) {
  StartOn(PageLogPrn);
  const std::string Prn = Dir / "SITE1.PRN";
  WriteWhole(Prn, "what was there\r\n");
  auto* Append = Find<QCheckBox>("chkAppend");
  ASSERT_TRUE(Append->isChecked());
  QTest::mouseClick(Append, Qt::LeftButton);
  Trigger(actFileSave);
  const std::string Replaced = ReadWhole(Prn);
  ASSERT_EQ(Replaced.rfind("\"DATE\",\"TIME\",", 0), 0u) << Replaced.substr(0, 40);
  QTest::mouseClick(Append, Qt::LeftButton);
  Trigger(actFileSave);
  std::string Data = Replaced;
  for (int Header = 0; Header < 4; ++Header) Data.erase(0, Data.find("\r\n") + 2);
  EXPECT_EQ(ReadWhole(Prn), Replaced + Data);
}

TEST_F(CommandsTest, PrintWithNoViewOnSaysWhatToShowFirst) {
  StartOn(PageLogPrn);
  for (auto [P, Text] : std::initializer_list<std::pair<int, const char*>>{
           {PageLogPrn, "Nothing to print: show the data (Display) or the header (Header) first."},
           {PageLogPlot, "Nothing to print: draw the graph (Graph) first."},
           {PageLogStat, "Nothing to print: show the statistics (Statistics) first."},
           {PageRamCard, "Nothing to print: the RAMCARD page has no printout."}}) {
    Page(P);
    Trigger(actFilePrint);
    EXPECT_EQ(Panel1(), Text) << P;
  }
  EXPECT_TRUE(Printer.Jobs.empty());
}

TEST_F(CommandsTest, APastedNameWithBlanksAroundItOpensTheFile) {
  Start();
  Log = Copy("SITE1.LOG");
  OpenThroughDialog(Log + " ");
  EXPECT_TRUE(App().Selection.FileValid);
  EXPECT_EQ(Find<QLineEdit>("edtFilename")->text().toStdString(), Log);
}

TEST_F(CommandsTest, CancellingOpenKeepsTheLogAndClearsTheMessagePanel) {
  StartOn(PageLogPrn);
  Trigger(actFileSave);
  ASSERT_FALSE(Panel1().empty());
  FileDialog.Answers.push_back("");
  Trigger(actFileOpen);
  EXPECT_EQ(Panel1(), "");
  EXPECT_EQ(Find<QLineEdit>("edtFilename")->text().toStdString(), Log);
  EXPECT_EQ(Find<QListWidget>("chklbxSensors")->count(), 4);
  ASSERT_EQ(FileDialog.Requests.size(), 2u);
  EXPECT_EQ(FileDialog.Requests[1].Title, "Open");
  EXPECT_EQ(FileDialog.Requests[1].FilterIndex, 1);
}

TEST_F(CommandsTest, BrowseButtonsAskForTheirFileTypeAndTitle) {
  struct TRow {
    int Page;
    const char* Button;
    const char* Title;
    int Filter;
  };
  Start();
  for (const TRow& R :
       {TRow{PageLogPlot, "btnBrowse2", "Open", 1}, TRow{PageDDRLog, "btnDDRBrowse", "Open", 2},
        TRow{PageDDRLog, "btnOutBrowse", "Save As", 3}}) {
    Page(R.Page);
    FileDialog.Requests.clear();
    Find<QPushButton>(R.Button)->click();
    ASSERT_EQ(FileDialog.Requests.size(), 1u) << R.Button;
    EXPECT_EQ(FileDialog.Requests[0].Title, R.Title);
    EXPECT_EQ(FileDialog.Requests[0].FilterIndex, R.Filter);
  }
}

TEST_F(CommandsTest, TheDDROutputBrowserNamesTheOutputAndTheFormatListRenamesIt) {
  StartOn(PageDDRLog);
  EXPECT_EQ(Find<QLineEdit>("edtDDROutput")->text().toStdString(), (Dir / "SAMPLE.PRN"));
  FileDialog.Answers.push_back((Dir / "out.prn"));
  Find<QPushButton>("btnOutBrowse")->click();
  EXPECT_EQ(Find<QLineEdit>("edtDDROutput")->text().toStdString(), (Dir / "out.prn"));
  Find<QComboBox>("cbxOutFormat1")->setCurrentIndex(1);
  EXPECT_TRUE(Find<QLineEdit>("edtDDROutput")->text().endsWith(".XLS"));
  Find<QCheckBox>("chkUSGSDevice")->click();
  EXPECT_TRUE(Find<QLineEdit>("edtDevice")->isEnabled());
  EXPECT_EQ(Find<QLineEdit>("edtDevice")->text(), "TXV900");
  Find<QCheckBox>("chkUSGSDevice")->click();
  EXPECT_FALSE(Find<QLineEdit>("edtDevice")->isEnabled());
  EXPECT_TRUE(Find<QLineEdit>("edtDevice")->text().isEmpty());
}

TEST_F(CommandsTest, RamCardSaveCopiesTheCheckedFilesIntoTheOutputFolder) {
  Start();
  Page(PageRamCard);
  auto* Drive = Find<QComboBox>("cbxRamdir");
  Drive->setFocus();
  Drive->lineEdit()->selectAll();
  QTest::keyClicks(Drive->lineEdit(), QString::fromStdString(Examples("RAMCARD.RCD")));
  QTest::keyClick(Drive->lineEdit(), Qt::Key_Return);
  auto* Files = Find<QListWidget>("chklbxRamFiles");
  ASSERT_TRUE(WaitFor([&] { return Files->count() == 5; }));
  EXPECT_EQ(Files->item(0)->text(), "README.TXT");
  Files->item(0)->setCheckState(Qt::Checked);
  Files->item(2)->setCheckState(Qt::Checked);
  FolderBrowser.Answer = (Dir / "cards");
  fs::create_directories((Dir / "cards"));
  Find<QPushButton>("btnBrowseDir")->click();
  EXPECT_EQ(Find<QLineEdit>("edtOutFile")->text().toStdString(), (Dir / "cards") + "/");
  EXPECT_TRUE(Find<QLineEdit>("edtOutFile")->hasFocus());
  Trigger(actFileSave);
  EXPECT_EQ(Panel1(), "Saved successfully: README.TXT, SITE1.CSV");
  EXPECT_TRUE(fs::exists((Dir / "cards/README.TXT")));
  EXPECT_TRUE(fs::exists((Dir / "cards/SITE1.CSV")));
}

TEST_F(CommandsTest, ExitClosesTheWindowAndWritesTheSettings) {
  Start();
  Trigger(actFileExit);
  EXPECT_TRUE(WaitFor([&] { return !Form->isVisible(); }));
  EXPECT_TRUE(fs::exists((Dir / "Quorvin.ini")));
}

// The statistics report copies as a table for spreadsheets; no other text does.
TEST_F(CommandsTest, ThePaneCopiesTheStatisticsReportAsATable) {
  StartOn(PageLogStat);
  Trigger(actOptionsStats);
  std::unique_ptr<QMenu> Menu(Form->Pane().MakeContextMenu());
  auto* Entry = Menu->findChild<QAction*>(QStringLiteral("mnuCopyTable"));
  ASSERT_NE(Entry, nullptr);
  Entry->trigger();
  const QStringList Lines = QApplication::clipboard()->text().split(u'\n');
  EXPECT_EQ(Lines[0], "DATE\t#SAMPLES\tTEMP MIN\tTEMP MAX\tTEMP MEAN\tRH MIN\tRH MAX\tRH MEAN\t"
                      "WIND MIN\tWIND MAX\tWIND MEAN\tBATT MIN\tBATT MAX\tBATT MEAN");
  EXPECT_TRUE(Lines[1].startsWith(u"051424\t")) << Lines[1].toStdString();
  Page(PageLogPrn);
  Trigger(actOptionsHeader);
  Menu.reset(Form->Pane().MakeContextMenu());
  EXPECT_EQ(Menu->findChild<QAction*>(QStringLiteral("mnuCopyTable")), nullptr);
}

} // namespace
} // namespace quorvin::gui::test
