// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/Statistics.h"

#include <bit>

#include <gtest/gtest.h>

#include "generators/LogGen.h"
#include "report/Formatting.h"
#include "support/FakeUi.h"
#include "support/FloatBits.h"
#include "support/SelectLog.h"

namespace quorvin {
namespace {

using test::Raw;
using test::TGenSensor;

using test::NR;
const std::string Big = "339999995214436424907732413799364296704";

std::string Lines(const std::vector<std::string>& L) {
  std::string R;
  for (const auto& S : L) R += S + "\n";
  return R;
}

class StatisticsTest : public ::testing::Test {
protected:
  test::TScratchDir Dir;
  test::TFakeUi Ui;
  TSelectedLog Sel;
  TLogPrnOptions Opt;
  TDateTimeFormat Fmt;
  TStatAccumulators Acc;

  StatisticsTest() { SetDateTimeFormat(Fmt, "MM/DD/YY HH:MM:SS"); }

  void Load(const std::string& Path) { ASSERT_TRUE(test::SelectLog(Sel, Path)) << Path; }

  std::string Report(TCommandMode Mode = cmStatistics) {
    TStatistics Stats(Sel, Fmt, Opt, Mode, Acc, Ui.Pane);
    Stats.Report();
    return Ui.Pane.Text();
  }

  // Three days at 15 minutes: STAGE (2 digits), VOLT (unchecked), TEMP (1 digit).
  void LoadThreeDays() {
    std::vector<std::vector<std::uint16_t>> R(288);
    for (int k = 0; k < 288; ++k) {
      const int Day = k / 96;
      if (Day == 0) R[k] = {Raw(1.0, 2), Raw(99.9, 1), Raw(10.0, 1)};
      if (Day == 1) R[k] = {Raw(1.5, 2), Raw(99.9, 1), NR};
      if (Day == 2) R[k] = {Raw(3.0, 2), Raw(99.9, 1), Raw(20.0, 1)};
    }
    R[0][0] = Raw(0.5, 2);
    R[95][0] = Raw(2.5, 2);
    R[10][2] = NR;
    // The last record lies at the end of the range, which is not included.
    R[287] = {Raw(9.99, 2), Raw(99.9, 1), Raw(99.9, 1)};
    test::WriteBinaryLog(Dir / "site1.log", "SITE1", 1998, 3, 5, 900,
                         {{"STAGE", 1.0, 0.0, 2}, {"VOLT", 1.0, 0.0, 1}, {"TEMP", 1.0, 0.0, 1}}, R);
    Load(Dir / "site1.log");
    test::CheckOnly(Sel, {0, 2});
    Sel.EndTime = PartsToSecs(1998, 3, 7, 23, 45, 0);
    Sel.EndDate = SecsToDateTime(Sel.EndTime);
  }
};

TEST_F(StatisticsTest, OneBlockPerDayEndExclusiveAndSensorsWithoutValues) {
  LoadThreeDays();
  EXPECT_EQ(Report(), Lines({
                          "STATISTICS FOR: SITE1 DATE: 03/05/98 TO 03/07/98",
                          "",
                          "SENSORS                 STAGE      TEMP",
                          "03/05/98    MIN          0.50      10.0",
                          "#SAMPLES    MAX          2.50      10.0",
                          "96          MEAN         1.01      10.0",
                          "",
                          "03/06/98    MIN          1.50" + Big + ".0",
                          "#SAMPLES    MAX          1.50-" + Big + ".0",
                          "48          MEAN         1.50       -.-",
                          "",
                          "03/07/98    MIN          3.00      20.0",
                          "#SAMPLES    MAX          3.00      20.0",
                          "95          MEAN         3.00      20.0",
                          "",
                      }));
  // Heading bold in 10 points, blocks regular.
  ASSERT_EQ(Ui.Pane.Lines.size(), 15u);
  EXPECT_TRUE(Ui.Pane.Lines[0].Bold && Ui.Pane.Lines[2].Bold);
  EXPECT_EQ(Ui.Pane.Lines[0].PointSize, 10);
  EXPECT_FALSE(Ui.Pane.Lines[3].Bold || Ui.Pane.Lines[14].Bold);
  EXPECT_EQ(Acc.Size(), 2);
}

TEST_F(StatisticsTest,
       TheTableForSpreadsheetsHoldsTheReportsFiguresAndNoneWhereNothingWasRecorded) {
  LoadThreeDays();
  Sel.SensorChoices[2].ShortName = "T\tC";
  TStatTable Table;
  TStatistics Stats(Sel, Fmt, Opt, cmStatistics, Acc, Ui.Pane);
  Stats.RecordInto(Table);
  Stats.Report();
  EXPECT_EQ(StatisticsTsv(Table),
            "DATE\t#SAMPLES\tSTAGE MIN\tSTAGE MAX\tSTAGE MEAN\tT C MIN\tT C MAX\tT C MEAN\n"
            "03/05/98\t96\t0.50\t2.50\t1.01\t10.0\t10.0\t10.0\n"
            "03/06/98\t48\t1.50\t1.50\t1.50\t\t\t\n"
            "03/07/98\t95\t3.00\t3.00\t3.00\t20.0\t20.0\t20.0\n");
}

TEST_F(StatisticsTest, MeanPlaceholderFollowsTheNotRecordedOptionAndLabelsFollowThePattern) {
  LoadThreeDays();
  SetDateTimeFormat(Fmt, "YYYY/MM/DD HH:MM:SS");
  Fmt.DateSeparator = '-';
  Opt.DisplayAsDash = false;
  Opt.DisplayAsZero = true;
  std::string Text = Report();
  EXPECT_NE(Text.find("STATISTICS FOR: SITE1 DATE: 1998-03-05 TO 1998-03-07\n"), std::string::npos);
  EXPECT_NE(Text.find("1998-03-06  MIN          1.50" + Big +
                      ".0\n"
                      "#SAMPLES    MAX          1.50-" +
                      Big +
                      ".0\n"
                      "48          MEAN         1.50       0.0\n"),
            std::string::npos)
      << Text;
  Opt.DisplayAsZero = false;
  Opt.ExcludeNonRecItems = true;
  Text = Report();
  EXPECT_NE(Text.find("48          MEAN         1.50          \n"), std::string::npos) << Text;
}

TEST_F(StatisticsTest, DayWithoutAnyValueSaysNoDataRecorded) {
  std::vector<std::vector<std::uint16_t>> R(192, {NR});
  for (int k = 96; k < 192; ++k) R[k] = {Raw(k % 2 ? 4.0 : 2.0, 1)};
  test::WriteBinaryLog(Dir / "dry.log", "dry", 1998, 3, 5, 900, {{"FLOW", 1.0, 0.0, 1}}, R);
  Load(Dir / "dry.log");
  test::CheckAll(Sel);
  EXPECT_EQ(Report(), Lines({
                          "STATISTICS FOR: DRY DATE: 03/05/98 TO 03/07/98",
                          "",
                          "SENSORS                  FLOW",
                          "03/05/98    NO DATA RECORDED",
                          "03/06/98    MIN           2.0",
                          "#SAMPLES    MAX           4.0",
                          "96          MEAN          3.0",
                          "",
                      }));
}

TEST_F(StatisticsTest, SilentFoldsPast256RowsAndThe257thRowOnANewDay) {
  // Five-minute records over two days; the range starts at 02:35 so that
  // exactly 257 rows are pending when the second day begins.
  std::vector<std::vector<std::uint16_t>> R(576, {Raw(2.0, 2)});
  for (int k = 0; k < 288; ++k) R[k] = {Raw(1.0, 2)};
  R[288] = {Raw(50.0, 2)}; // 03/06 00:00: folded into the first day's block
  R[300] = {Raw(0.25, 2)};
  test::WriteBinaryLog(Dir / "long.log", "LONG", 1998, 3, 5, 300, {{"STAGE", 1.0, 0.0, 2}}, R);
  Load(Dir / "long.log");
  test::CheckAll(Sel);
  Sel.StartTime = PartsToSecs(1998, 3, 5, 2, 35, 0);
  Sel.StartDate = SecsToDateTime(Sel.StartTime);
  Sel.EndDate = SecsToDateTime(PartsToSecs(1998, 3, 6, 23, 59, 59));
  // Second day: 287 rows from 00:05, folded silently after 257 and at the end.
  EXPECT_EQ(Report(), Lines({
                          "STATISTICS FOR: LONG DATE: 03/05/98 TO 03/06/98",
                          "",
                          "SENSORS                 STAGE",
                          "03/05/98    MIN          1.00",
                          "#SAMPLES    MAX         50.00",
                          "258         MEAN         1.19",
                          "",
                          "03/06/98    MIN          0.25",
                          "#SAMPLES    MAX          2.00",
                          "287         MEAN         1.99",
                          "",
                      }));
}

TEST_F(StatisticsTest, CsvLogUsesTheNamesAndItsOwnGrid) {
  const std::string Path = Dir / "wind.csv";
  test::WriteWhole(Path, "'date,time,group,values\r\n"
                         "03/05/1998,22:00:00,W,1.5,2.25\r\n"
                         "03/05/1998,23:00:00,W,2.5,3.25\r\n"
                         "03/06/1998,00:00:00,W,3.5,4.25\r\n"
                         "03/06/1998,01:00:00,W,4.5,6.25\r\n");
  Load(Path);
  test::CheckOnly(Sel, {0, 1});
  // The range ends at the first sensor's last record, which is left out.
  EXPECT_EQ(Report(), Lines({
                          "STATISTICS FOR: " + UpperCase(Path) + " DATE: 03/05/98 TO 03/06/98",
                          "",
                          "SENSORS                   W:1       W:2",
                          "03/05/98    MIN           1.5      2.25",
                          "#SAMPLES    MAX           2.5      3.25",
                          "2           MEAN          2.0      2.75",
                          "",
                          "03/06/98    MIN           3.5      4.25",
                          "#SAMPLES    MAX           3.5      4.25",
                          "1           MEAN          3.5      4.25",
                          "",
                      }));
}

TEST_F(StatisticsTest, OtherCommandModesShowOnlyTheHeadingAndStartEqualEndTakesOneStep) {
  LoadThreeDays();
  EXPECT_EQ(Report(cmNone), Lines({"STATISTICS FOR: SITE1 DATE: 03/05/98 TO 03/07/98", "",
                                   "SENSORS                 STAGE      TEMP"}));
  // The first step is taken even when the start is not before the end.
  Sel.EndTime = Sel.StartTime;
  EXPECT_EQ(Report(), Lines({"STATISTICS FOR: SITE1 DATE: 03/05/98 TO 03/07/98", "",
                             "SENSORS                 STAGE      TEMP",
                             "03/05/98    MIN          0.50      10.0",
                             "#SAMPLES    MAX          0.50      10.0",
                             "1           MEAN         0.50      10.0", ""}));
}

TEST_F(StatisticsTest, ZeroIntervalDoesNotHang) {
  LoadThreeDays();
  Sel.LogInterval = 0;
  const std::string Text = Report();
  EXPECT_NE(Text.find("1           MEAN         0.50      10.0\n"), std::string::npos) << Text;
}

TEST_F(StatisticsTest, ProgressIsReportedAndCancelShowsOnlyCompleteDays) {
  // Five days of one-minute records: 7200 steps, reported every 4096.
  std::vector<std::vector<std::uint16_t>> R(5 * 1440, {Raw(1.0, 2)});
  test::WriteBinaryLog(Dir / "minute.log", "SITE1", 1999, 3, 7, 60, {{"STAGE", 1.0, 0.0, 2}}, R);
  Load(Dir / "minute.log");
  test::CheckAll(Sel);
  TStatistics Whole(Sel, Fmt, Opt, cmStatistics, Acc, Ui.Pane, &Ui.Busy);
  EXPECT_TRUE(Whole.Report());
  EXPECT_EQ(Ui.Busy.Steps, 1);
  EXPECT_EQ(Ui.Busy.LastTotal, Sel.EndTime - Sel.StartTime);

  Ui.Busy.Steps = 0;
  Ui.Busy.CancelAtStep = 1;
  TStatistics Cancelled(Sel, Fmt, Opt, cmStatistics, Acc, Ui.Pane, &Ui.Busy);
  EXPECT_FALSE(Cancelled.Report());
  // Step 4096 falls on the third day: the first two days are shown, the
  // half-read third is not.
  const std::string Text = Ui.Pane.Text();
  EXPECT_NE(Text.find("03/08/99"), std::string::npos) << Text;
  EXPECT_EQ(Text.find("03/09/99"), std::string::npos) << Text;
}

TEST_F(StatisticsTest, FoldSumsInSinglePrecisionAndStartsFromTheWidestSingles) {
  Sel.SensorChoices.resize(2);
  Sel.SensorChoices[0] = {true, "X", "X", 7, 1, 0, ""};
  Sel.SensorChoices[1] = {true, "Y", "LONGERNAME12", 0, 1, 0, ""};
  TStatistics Stats(Sel, Fmt, Opt, cmStatistics, Acc, Ui.Pane);
  Acc.SetSize(2);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(Acc.Min[0]), 0x7F7FC99Eu);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(Acc.Max[0]), 0xFF7FC99Eu);
  TPendingRows Rows(2);
  for (int k = 0; k < 1000; ++k) {
    float* Row = Rows.AddRow(k);
    Row[0] = 0.1f;
    Row[1] = k < 999 ? NonRecordedValue() : 12.6f;
  }
  // Half the rows now (silently), half later in the same block.
  TPendingRows First(2), Second(2);
  for (int k = 0; k < 1000; ++k) {
    float* Row = (k < 500 ? First : Second).AddRow(k);
    Row[0] = Rows.Row(k)[0];
    Row[1] = Rows.Row(k)[1];
  }
  Stats.Fold("LABEL", First, true, true);
  EXPECT_TRUE(Ui.Pane.Lines.empty());
  Stats.Fold("LABEL", Second, false, false);
  // A double sum would give a mean of 0.1000000.
  EXPECT_EQ(Ui.Pane.Text(), Lines({"LABEL       MIN     0.1000000        13",
                                   "#SAMPLES    MAX     0.1000000        13",
                                   "500         MEAN    0.0999990        13", ""}));
  EXPECT_EQ(Acc.Count[0], 1000);
  EXPECT_EQ(Acc.Count[1], 1);
}

TEST(RoundedSamples, HalvesGoToEven) {
  EXPECT_EQ(RoundedSamples(191, 2), 96); // 95.5
  EXPECT_EQ(RoundedSamples(193, 2), 96); // 96.5
  EXPECT_EQ(RoundedSamples(195, 2), 98); // 97.5
  EXPECT_EQ(RoundedSamples(7, 3), 2);
  EXPECT_EQ(RoundedSamples(8, 3), 3);
  EXPECT_EQ(RoundedSamples(3, 6), 0); // 0.5
  EXPECT_EQ(RoundedSamples(9, 6), 2); // 1.5
}

TEST(Statistics, MoreThan101CheckedSensorsFitTheirRows) {
  TSelectedLog Sel;
  for (int i = 0; i < 150; ++i) Sel.SensorChoices.push_back({true, "S", "S", 0, 1, 0, ""});
  TLogPrnOptions Opt;
  TDateTimeFormat Fmt;
  SetDateTimeFormat(Fmt, "MMDDYY HHMM");
  TStatAccumulators Acc;
  test::TFakeTextPane Pane;
  TStatistics Stats(Sel, Fmt, Opt, cmStatistics, Acc, Pane);
  Acc.SetSize(150);
  TPendingRows Rows(150);
  float* Row = Rows.AddRow(0);
  for (int j = 0; j < 150; ++j) Row[j] = static_cast<float>(j);
  Stats.Fold("L", Rows, true, false);
  ASSERT_EQ(Pane.Lines.size(), 4u);
  EXPECT_EQ(Pane.Lines[0].Text.size(), 19u + 150u * 10u);
  EXPECT_EQ(Pane.Lines[0].Text.substr(Pane.Lines[0].Text.size() - 10), "       149");
}

} // namespace
} // namespace quorvin
