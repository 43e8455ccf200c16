// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/Graph.h"

#include <gtest/gtest.h>

#include "generators/LogGen.h"
#include "report/Formatting.h"
#include "support/FakeChart.h"
#include "support/FakeUi.h"
#include "support/FloatBits.h"
#include "support/SelectLog.h"

namespace quorvin {
namespace {

using test::Raw;
using Points = std::vector<std::pair<TDateTime, double>>;

using test::NR;

TDateTime At(int Day, int H, int M) { return SecsToDateTime(PartsToSecs(1998, 3, Day, H, M, 0)); }

class GraphTest : public ::testing::Test {
protected:
  test::TScratchDir Dir;
  test::TFakeChart Chart;
  test::TFakeDialog Dialog;
  TSelectedLog Sel;
  TDateTimeFormat Fmt;
  TGraphLimits Limits;

  GraphTest() { SetDateTimeFormat(Fmt, "MM/DD/YY HH:MM:SS"); }

  void Load(const std::string& Path) { ASSERT_TRUE(test::SelectLog(Sel, Path)) << Path; }

  // What the Graph command does when the graph is switched on.
  void Command(TCommandMode Mode = cmGraph) {
    TGraph G(Chart, Sel, Fmt, Limits, Mode, nullptr, &Dialog);
    G.RemoveAllSeries();
    G.CreateSeries();
    G.Draw();
  }

  // STAGE, VOLT (unchecked) and TEMP (never recorded) every 15 minutes.
  void LoadSite() {
    std::vector<std::vector<std::uint16_t>> R(8);
    for (int k = 0; k < 8; ++k) R[k] = {Raw(1.0 + k / 4.0, 2), Raw(12.5, 1), NR};
    R[2][0] = NR;
    test::WriteBinaryLog(Dir / "site1.log", "Site1", 1998, 3, 5, 900,
                         {{"STAGE", 1.0, 0.0, 2}, {"VOLT", 1.0, 0.0, 1}, {"TEMP", 1.0, 0.0, 1}}, R);
    Load(Dir / "site1.log");
    test::CheckOnly(Sel, {0, 2});
    Sel.EndTime = PartsToSecs(1998, 3, 5, 1, 0, 0); // record 4, not plotted
  }
};

TEST_F(GraphTest, DrawsRecordedValuesBeforeTheEndWithTitlesAndAxes) {
  LoadSite();
  Command();
  ASSERT_EQ(Chart.Series.size(), 2u);
  EXPECT_EQ(Chart.Series[0].Points,
            (Points{{At(5, 0, 0), 1.0}, {At(5, 0, 15), 1.25}, {At(5, 0, 45), 1.75}}));
  // A sensor without values keeps its (empty) series and legend entry.
  EXPECT_TRUE(Chart.Series[1].Points.empty());
  EXPECT_EQ(Chart.Series[0].Title, "STAGE");
  EXPECT_EQ(Chart.Series[1].Title, "TEMP");
  for (const auto& S : Chart.Series) EXPECT_TRUE(S.DateTimeX && S.Attached && S.Active);
  EXPECT_EQ(Chart.Title,
            std::vector<std::string>{"R630/R600 DATA FROM: SITE1 DATE: 03/05/98 TO 03/05/98"});
  EXPECT_FALSE(Chart.BottomAutomatic);
  EXPECT_EQ(Chart.BottomMinimum, Sel.StartDate);
  EXPECT_EQ(Chart.BottomMaximum, Sel.EndDate);
  EXPECT_EQ(Chart.BottomFormat, "MM/DD/YY HH:MM:SS");
  EXPECT_TRUE(Chart.BottomOneLine);
  EXPECT_EQ(Chart.LeftMaximum, 300);
  EXPECT_EQ(Chart.LeftMinimum, 0);
  EXPECT_EQ(Chart.Calls,
            (std::vector<std::string>{
                "RemoveAllSeries", "CreateDateTimeLineSeries", "CreateDateTimeLineSeries",
                "ClearTitle", "BottomAxisAutomaticOff", "SetBottomAxisMaximum",
                "SetBottomAxisMinimum", "SetBottomAxisDateTimeFormat", "BottomAxisLabelsOnOneLine",
                "SetLeftAxisMaximum", "SetLeftAxisMinimum", "AddTitleLine", "SetSeriesTitle 0",
                "AttachSeriesToAxes 0", "ActivateSeries 0", "SetSeriesTitle 1",
                "AttachSeriesToAxes 1", "ActivateSeries 1", "Repaint"}));

  // A second command starts again from an empty chart.
  Command();
  EXPECT_EQ(Chart.Series.size(), 2u);
  EXPECT_EQ(Chart.Series[0].Points.size(), 3u);
}

TEST_F(GraphTest, LeftAxisLimitsKeepTheLastNumber) {
  LoadSite();
  Limits.edtMax = "abc";
  Command();
  EXPECT_EQ(Chart.LeftMaximum, 300);
  Limits.edtMax = "150.5";
  Limits.edtMin = "-20";
  Command();
  EXPECT_EQ(Chart.LeftMaximum, 150.5);
  EXPECT_EQ(Chart.LeftMinimum, -20);
  Limits.edtMax = "";
  Limits.edtMin = "1e";
  Command();
  EXPECT_EQ(Chart.LeftMaximum, 150.5);
  EXPECT_EQ(Chart.LeftMinimum, -20);
  EXPECT_EQ(Limits.Maximum, 150.5);
  // A maximum below the minimum goes to the chart as it stands.
  Limits.edtMax = "-30";
  Command();
  EXPECT_EQ(Chart.LeftMaximum, -30);
  EXPECT_EQ(Chart.LeftMinimum, -20);
}

TEST_F(GraphTest, BatchesOf257RowsAndARefusedPointDropsTheRestOfItsBatchAndIsReported) {
  std::vector<std::vector<std::uint16_t>> R(600);
  for (int k = 0; k < 600; ++k) R[k] = {Raw(k / 100.0, 2)};
  test::WriteBinaryLog(Dir / "long.log", "LONG", 1998, 3, 5, 60, {{"STAGE", 1.0, 0.0, 2}}, R);
  Load(Dir / "long.log");
  test::CheckAll(Sel);
  Chart.RefuseAttempt = 100;
  Command();
  const Points& P = Chart.Series[0].Points;
  // Rows 0-256 form the first batch: 100 of them got in. Then 257-513 and 514-599.
  ASSERT_EQ(P.size(), 100u + 257u + 86u);
  EXPECT_EQ(P[99].first, At(5, 1, 39));
  EXPECT_EQ(P[100].first, At(5, 4, 17));
  EXPECT_FLOAT_EQ(static_cast<float>(P[100].second), 2.57f);
  EXPECT_EQ(P.back().first, At(5, 9, 59));
  EXPECT_EQ(Chart.Repaints, 1);
  // Said once, with the chart's reason.
  ASSERT_EQ(Dialog.Shown.size(), 1u);
  EXPECT_EQ(Dialog.Shown[0].Text, "Error! Some points could not be drawn: chart refuses the point");
}

TEST_F(GraphTest, CsvLogTitleAndNoPointsOutsideGraphMode) {
  const std::string Path = Dir / "wind.csv";
  test::WriteWhole(Path, "03/05/1998,22:00:00,W,1.5,2.25\r\n"
                         "03/05/1998,23:00:00,W,2.5,3.25\r\n"
                         "03/06/1998,00:00:00,W,3.5,4.25\r\n");
  Load(Path);
  test::CheckOnly(Sel, {0});
  Command();
  ASSERT_EQ(Chart.Series.size(), 1u);
  EXPECT_EQ(Chart.Series[0].Title, "W:1");
  EXPECT_EQ(Chart.Series[0].Points, (Points{{At(5, 22, 0), 1.5}, {At(5, 23, 0), 2.5}}));
  EXPECT_EQ(Chart.Title, std::vector<std::string>{"CSV LOG DATA FROM: " + UpperCase(Path) +
                                                  " DATE: 03/05/98 TO 03/06/98"});
  // A refresh with no view on draws the chart without points.
  Command(cmNone);
  EXPECT_TRUE(Chart.Series[0].Points.empty());
  EXPECT_EQ(Chart.Series[0].Title, "W:1");
}

} // namespace
} // namespace quorvin
