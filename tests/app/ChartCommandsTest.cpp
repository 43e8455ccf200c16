// SPDX-License-Identifier: GPL-3.0-or-later
// The chart's context menu as the application runs it: the LOGPRN Save of
// the graphed sensors over the chart's visible times, and the chart saved
// as a picture.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "app/Captions.h"
#include "core/IniFile.h"
#include "support/FakeApp.h"
#include "support/Scratch.h"

namespace quorvin::test {
namespace {

using namespace captions;

TDateTime At(int Y, int Mo, int D, int H, int Mi, double S = 0) {
  return EncodeDate(Y, Mo, D) + (H * 3600 + Mi * 60 + S) / 86400.0;
}

// Writes a chart by recording what was asked; fails with a reason when told.
class TFakeWriter : public IChartWriter {
public:
  std::vector<std::pair<std::string, TChartFileType>> Written;
  bool Fail = false;
  bool WriteChart(const std::string& FileName, TChartFileType Type, std::string& Reason) override {
    Written.emplace_back(FileName, Type);
    if (Fail) Reason = FileName + ": No space left on device";
    return !Fail;
  }
};

class ChartCommands : public ::testing::Test {
public:
  TScratchDir Dir;
  TFakeApp F;
  TApplication& App = F.App;

  void SetUp() override {
    CopySamples(Dir, {"SITE1.LOG", "site2.csv"});
    TIniFile Ini(Dir / "none.ini");
    App.FormCreate(Ini);
  }
  // The log graphed on LOGPLOT with every sensor checked.
  void Graph(const std::string& Log) {
    App.PgCntrlLogChange(PageLogPlot);
    App.LogFileChange(PageLogPlot, Dir / Log);
    App.edtFilenameExit(PageLogPlot);
    App.Selection.SelectAllClick(true);
    ASSERT_TRUE(App.OptionsGraphExecute().Succeeded);
  }
  std::vector<bool> Checks() const {
    std::vector<bool> C;
    for (const TSensorChoice& S : App.Selection.SensorChoices) C.push_back(S.Checked);
    return C;
  }
  std::string Message() const { return F.Ui.Status.Panels[1]; }
};

TEST_F(ChartCommands, ExportRangeWritesTheLinesOfTheRangeOnly) {
  struct TCase {
    const char* Name;
    std::string Log;
    std::vector<bool> Sensors;
    TDateTime From, To;
    std::string Expected;
  };
  const std::string BinaryHead = "\"DATE\",\"TIME\",\"TEMP\",\"WIND\"\r\n"
                                 "\"SLOPE\",,0.1,0.1\r\n"
                                 "\"OFFSET\",,-40.0,0.0\r\n"
                                 "\"RIGHTDIGITS\",,1,1\r\n";
  const TCase Cases[] = {
      // From between two grid times: the grid stays where the log has it.
      {"between grid times",
       "SITE1.LOG",
       {true, false, true, false},
       At(2024, 5, 15, 10, 7, 30),
       At(2024, 5, 15, 10, 45),
       BinaryHead + "051524,1015,18.7,2.3\r\n"
                    "051524,1030,18.3,5.7\r\n"
                    "051524,1045,18.0,9.0\r\n"},
      // A hair before a whole second (a chart's millisecond) is that second.
      {"ends a hair off",
       "SITE1.LOG",
       {true, false, true, false},
       At(2024, 5, 15, 10, 15, -0.0002),
       At(2024, 5, 15, 10, 30, -0.0002),
       BinaryHead + "051524,1015,18.7,2.3\r\n"
                    "051524,1030,18.3,5.7\r\n"},
      // The end of the data: the last grid time before the range's end.
      {"to the end",
       "SITE1.LOG",
       {true, false, true, false},
       At(2024, 5, 16, 23, 40),
       At(2024, 5, 17, 0, 0),
       BinaryHead + "051624,2345,16.0,2.3\r\n"
                    "051724,0000,-.-,-.-\r\n"},
      // A CSV log keeps its own grid, which the chosen start never moves.
      {"CSV log",
       "site2.csv",
       {true, false, false},
       At(2024, 7, 1, 0, 50),
       At(2024, 7, 1, 2, 0),
       "\"DATE\",\"TIME\",\"AIRTEMP\"\r\n"
       "\"UNITS\",,C\r\n"
       "\"RIGHTDIGITS\",,1\r\n"
       "070124,0100,24.8\r\n"
       "070124,0115,25.2\r\n"
       "070124,0130,25.5\r\n"
       "070124,0145,25.9\r\n"
       "070124,0200,26.2\r\n"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Graph(C.Log);
    const std::vector<bool> Before = Checks();
    const TCommandMode ModeBefore = App.CommandMode;
    const std::string Target = Dir / "range.prn";
    std::remove(Target.c_str());

    const TCommandOutcome Out = App.ExportRange(C.From, C.To, C.Sensors, Target);
    EXPECT_TRUE(Out.Succeeded);
    EXPECT_EQ(Out.WrittenFile, Target);
    EXPECT_EQ(ReadWhole(Target), C.Expected);
    EXPECT_EQ(Message(), "Log written to " + Target + ".");
    // The user's checks, the view and the chart stay as they were.
    EXPECT_EQ(Checks(), Before);
    EXPECT_EQ(App.CommandMode, ModeBefore);
    EXPECT_TRUE(App.Marks.mnuGraph);
  }
}

TEST_F(ChartCommands, ExportRangeWithoutLinesWritesNothing) {
  Graph("SITE1.LOG");
  const std::string Target = Dir / "range.prn";
  struct TCase {
    const char* Name;
    std::vector<bool> Sensors;
    TDateTime From, To;
    std::string_view Message;
  } const Cases[] = {
      {"between two grid times",
       {true, true, true, true},
       At(2024, 5, 15, 10, 16),
       At(2024, 5, 15, 10, 29),
       MsgNothingInRange},
      {"within one second",
       {true, true, true, true},
       At(2024, 5, 15, 10, 15, 0.2),
       At(2024, 5, 15, 10, 15, 0.7),
       MsgNothingInRange},
      {"no sensor",
       {false, false, false, false},
       At(2024, 5, 15, 10, 0),
       At(2024, 5, 15, 11, 0),
       MsgNoSensorsSelected},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TCommandOutcome Out = App.ExportRange(C.From, C.To, C.Sensors, Target);
    EXPECT_FALSE(Out.Succeeded);
    EXPECT_EQ(Message(), C.Message);
    EXPECT_FALSE(std::filesystem::exists(Target));
  }
}

TEST_F(ChartCommands, ExportVisibleRangeSavesTheGraphedSensorsIntoTheChosenFile) {
  Graph("SITE1.LOG");
  // Checks changed after drawing do not change what the chart shows.
  App.Selection.CheckSensorsClick(1, false);
  App.Selection.CheckSensorsClick(3, false);
  const std::string Text = Dir / "visible.prn";
  const std::string Book = Dir / "visible.XLS", LowerBook = Dir / "lower.xls";
  F.FileDialog.Answers = {Text, Book, LowerBook, ""};

  TCommandOutcome Out =
      App.ExportVisibleRangeExecute(At(2024, 5, 15, 10, 0), At(2024, 5, 15, 10, 15));
  EXPECT_TRUE(Out.Succeeded);
  EXPECT_EQ(ReadWhole(Text), "\"DATE\",\"TIME\",\"TEMP\",\"RH\",\"WIND\",\"BATT\"\r\n"
                             "\"SLOPE\",,0.1,1,0.1,0.01\r\n"
                             "\"OFFSET\",,-40.0,0,0.0,0.00\r\n"
                             "\"RIGHTDIGITS\",,1,0,1,2\r\n"
                             "051524,1000,19.0,55,0.9,12.63\r\n"
                             "051524,1015,18.7,56,2.3,12.63\r\n");
  ASSERT_EQ(F.FileDialog.Requests.size(), 1u);
  const TFileDialogRequest& R = F.FileDialog.Requests[0];
  EXPECT_EQ(R.Title, "Export visible range");
  EXPECT_EQ(R.Filters, (std::vector<std::string>{"Text files (*.prn)", "Excel files (*.XLS)"}));
  EXPECT_TRUE(R.Save);
  // Always Append Data may add to the file: the dialog does not offer to
  // replace it.
  EXPECT_FALSE(R.ConfirmReplace);

  // .XLS by the name, in any letter case: a workbook.
  for (const std::string& Name : {Book, LowerBook}) {
    Out = App.ExportVisibleRangeExecute(At(2024, 5, 15, 10, 0), At(2024, 5, 15, 10, 15));
    EXPECT_TRUE(Out.Succeeded);
    EXPECT_EQ(ReadWhole(Name).substr(0, 2), "PK") << Name;
  }

  // Cancelled: nothing happens.
  Out = App.ExportVisibleRangeExecute(At(2024, 5, 15, 10, 0), At(2024, 5, 15, 10, 15));
  EXPECT_TRUE(Out.Succeeded);
  EXPECT_TRUE(Out.WrittenFile.empty());
  EXPECT_EQ(Message(), "");
}

TEST_F(ChartCommands, ExportVisibleRangeNeedsTheGraphOfTheSelectedLog) {
  struct TCase {
    const char* Name;
    void (*Prepare)(ChartCommands&);
  } const Cases[] = {
      {"no graph drawn", [](ChartCommands&) {}},
      {"graph switched off",
       [](ChartCommands& T) {
         T.Graph("SITE1.LOG");
         T.App.OptionsGraphExecute();
       }},
      {"another log chosen since",
       [](ChartCommands& T) {
         T.Graph("SITE1.LOG");
         T.App.LogFileChange(PageLogPlot, T.Dir / "site2.csv");
         T.App.edtFilenameExit(PageLogPlot);
       }},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    C.Prepare(*this);
    F.FileDialog.Answers = {Dir / "never.prn"};
    F.FileDialog.Requests.clear();
    const TCommandOutcome Out =
        App.ExportVisibleRangeExecute(At(2024, 5, 15, 10, 0), At(2024, 5, 15, 11, 0));
    EXPECT_FALSE(Out.Succeeded);
    EXPECT_EQ(Message(), MsgGraphAgain);
    EXPECT_TRUE(F.FileDialog.Requests.empty());
    EXPECT_FALSE(std::filesystem::exists(Dir / "never.prn"));
  }
}

TEST_F(ChartCommands, SaveChartWritesThePictureTheUserNames) {
  struct TCase {
    TChartFileType Type;
    std::string Chosen; // empty: cancelled
    bool Fail;
    std::string Title, Filter, Message;
    bool Succeeded;
  };
  const std::string Png = Dir / "chart.png", Pdf = Dir / "chart.pdf";
  const TCase Cases[] = {
      {TChartFileType::Png, Png, false, "Save chart as PNG", "PNG images (*.png)",
       "Chart written to " + Png + ".", true},
      {TChartFileType::Pdf, Pdf, false, "Save chart as PDF", "PDF documents (*.pdf)",
       "Chart written to " + Pdf + ".", true},
      {TChartFileType::Png, "", false, "Save chart as PNG", "PNG images (*.png)", "", true},
      {TChartFileType::Pdf, Pdf, true, "Save chart as PDF", "PDF documents (*.pdf)",
       "Error! Unable to save chart.", false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Title + " " + C.Chosen);
    TFakeWriter Writer;
    Writer.Fail = C.Fail;
    F.FileDialog.Answers = {C.Chosen};
    F.FileDialog.Requests.clear();
    F.Ui.Dialog.Shown.clear();

    const TCommandOutcome Out = App.SaveChartExecute(Writer, C.Type);
    EXPECT_EQ(Out.Succeeded, C.Succeeded);
    EXPECT_EQ(Message(), C.Message);
    ASSERT_EQ(F.FileDialog.Requests.size(), 1u);
    EXPECT_EQ(F.FileDialog.Requests[0].Title, C.Title);
    EXPECT_EQ(F.FileDialog.Requests[0].Filters, std::vector<std::string>{C.Filter});
    EXPECT_TRUE(F.FileDialog.Requests[0].ConfirmReplace);
    if (C.Chosen.empty()) {
      EXPECT_TRUE(Writer.Written.empty());
      continue;
    }
    ASSERT_EQ(Writer.Written.size(), 1u);
    EXPECT_EQ(Writer.Written[0].first, C.Chosen);
    EXPECT_EQ(Writer.Written[0].second, C.Type);
    EXPECT_EQ(Out.WrittenFile, C.Succeeded ? C.Chosen : "");
    if (C.Fail) {
      ASSERT_EQ(F.Ui.Dialog.Shown.size(), 1u);
      EXPECT_EQ(F.Ui.Dialog.Shown[0].Text, "The chart could not be written to " + C.Chosen + ".");
      EXPECT_EQ(F.Ui.Dialog.Shown[0].Detail, C.Chosen + ": No space left on device");
    } else {
      EXPECT_TRUE(F.Ui.Dialog.Shown.empty());
    }
  }
}

// Thousands of checked sensors once took minutes: the chart component's cost
// per series grows with the series it holds. The graph draws the first 256
// and says so in its title.
TEST_F(ChartCommands, AGraphDrawsTheFirst256CheckedSensorsAndSaysSo) {
  std::string Values;
  for (int I = 0; I < 300; ++I) Values += "," + std::to_string(I) + ".5";
  WriteWhole(Dir / "wide.csv",
             "03/07/1999,14:30:00,W" + Values + "\n03/07/1999,14:45:00,W" + Values + "\n");
  Graph("wide.csv");
  ASSERT_EQ(F.Chart.Series.size(), 256u);
  EXPECT_EQ(F.Chart.Series[255].Title, "W:256");
  ASSERT_EQ(F.Chart.Series[255].Points.size(), 1u); // the end is not plotted
  EXPECT_EQ(F.Chart.Series[255].Points[0].second, 255.5);
  EXPECT_EQ(F.Chart.Title.back(), "The graph shows the first 256 of 300 checked sensors.");
}

TEST_F(ChartCommands, StatisticsOfTheVisibleRangeCountTheGraphedGridTimesWithin) {
  Graph("SITE1.LOG");
  App.Selection.SelectAllClick(false);
  EXPECT_TRUE(App.VisibleRangeStatisticsExecute(At(2024, 5, 15, 10, 7, 30), At(2024, 5, 15, 10, 45))
                  .Succeeded);
  // The end of the graph is not one of its points.
  EXPECT_TRUE(
      App.VisibleRangeStatisticsExecute(At(2024, 5, 17, 0, 0), At(2024, 5, 17, 0, 0)).Succeeded);
  EXPECT_EQ(F.Ui.Dialog.Texts(),
            (std::vector<std::string>{
                "STATISTICS OF THE VISIBLE RANGE: 051524 1007 TO 051524 1045\n"
                "TEMP: minimum 18.0, maximum 18.7, mean 18.3, 3 samples\n"
                "RH: minimum 56, maximum 58, mean 57, 3 samples\n"
                "WIND: minimum 2.3, maximum 9.0, mean 5.7, 3 samples\n"
                "BATT: minimum 12.63, maximum 12.63, mean 12.63, 3 samples",
                "STATISTICS OF THE VISIBLE RANGE: 051724 0000 TO 051724 0000\n"
                "TEMP: no samples\nRH: no samples\nWIND: no samples\nBATT: no samples"}));
}

// The user is warned, and the graph is drawn all the same.
TEST_F(ChartCommands, AMinimumNotBelowTheMaximumIsDrawnWithAWarning) {
  App.GraphLimits.edtMin = "300";
  Graph("SITE1.LOG");
  EXPECT_EQ(F.Ui.Dialog.Texts(), std::vector<std::string>{std::string(MsgLimitsNotInOrder)});
  EXPECT_EQ(F.Ui.Dialog.Shown[0].Kind, TMsgKind::Warning);
  EXPECT_FALSE(F.Chart.Series[0].Points.empty());
}

} // namespace
} // namespace quorvin::test
