// SPDX-License-Identifier: GPL-3.0-or-later
#include "logdata/HeaderReport.h"

#include <gtest/gtest.h>

#include "generators/LogGen.h"
#include "support/FakeUi.h"
#include "support/Scratch.h"

namespace quorvin {
namespace {

TDateTimeFormat Slashes(const std::string& Date = "MM/DD/YYYY",
                        const std::string& Time = "HH:MM:SS") {
  TDateTimeFormat F;
  F.DatePattern = Date;
  F.TimePattern = Time;
  F.DateSeparator = '/';
  F.TimeSeparator = ':';
  return F;
}

class HeaderReportTest : public ::testing::Test {
protected:
  test::TScratchDir Dir;
  test::TFakeTextPane Pane;
  std::string Write(const std::string& Name, const std::string& Bytes) {
    const std::string P = (Dir / Name);
    test::WriteWhole(P, Bytes);
    return P;
  }
};

TEST_F(HeaderReportTest, BinaryLogReport) {
  test::TGenLog L;
  L.Version = 3;
  L.UnitName = "site1";
  L.Year = 1999, L.Month = 3, L.Day = 7;
  L.LogHour = 10, L.LogMinute = 20, L.LogSecond = 7;
  L.IntervalMinutes = 0; // stored 0: 15 minutes
  L.NumDays = 12;
  L.TotalLength = 0xFFFFFFF0u, L.DayLength = 4321, L.DataLength = 99;
  L.Sensors = {{"TEMP"}, {"RH"}, {"WIND"}};
  TLogFile Log(Write("SITE1.LOG", test::LogFileBytes(L, 5)), "SITE1");
  ASSERT_TRUE(Log.Open());
  Pane.AppendLine("old content");
  ASSERT_TRUE(ShowLogHeader(Pane, Log, Log.Header()->UnitName, Slashes()));
  EXPECT_EQ(Pane.Text(), "R630/R600 LOG HEADER FROM: SITE1\n"
                         "\n"
                         "Version           : 3\n"
                         "Unit Name         : site1\n"
                         "Start Date        : 03/07/1999\n"
                         "Log Time          : 00:05:07\n"
                         "Logging Interval  : 00:15:00\n"
                         "Record Size       : 6\n"
                         "Number of Days    : 12\n"
                         "Total Length      : -16\n"
                         "Day Length        : 4321\n"
                         "Data Length       : 99\n"
                         "Number of Sensors : 3\n"
                         "Description Length: 54\n"
                         "Sensor Info Length: 28\n");
  ASSERT_EQ(Pane.Lines.size(), 15u);
  EXPECT_TRUE(Pane.Lines[0].Bold);
  EXPECT_FALSE(Pane.Lines[1].Bold);
  EXPECT_FALSE(Pane.Lines[14].Bold);
}

TEST_F(HeaderReportTest, BinaryLogReportWithOtherPatternsAndADayLongInterval) {
  test::TGenLog L;
  L.UnitName = "PEAK";
  L.Year = 2024, L.Month = 12, L.Day = 31;
  L.LogHour = 23, L.LogMinute = 59, L.LogSecond = 59;
  L.IntervalHours = 24, L.IntervalMinutes = 0;
  L.Sensors = {{"T"}};
  TLogFile Log(Write("PEAK.LOG", test::LogFileBytes(L, 2)), "PEAK");
  ASSERT_TRUE(Log.Open());
  TDateTimeFormat F = Slashes("DD/MM/YY", "HH:MM");
  F.DateSeparator = '.';
  F.TimeSeparator = '-';
  ASSERT_TRUE(ShowLogHeader(Pane, Log, "PEAK", F));
  ASSERT_GE(Pane.Lines.size(), 7u);
  EXPECT_EQ(Pane.Lines[4].Text, "Start Date        : 31.12.24");
  EXPECT_EQ(Pane.Lines[5].Text, "Log Time          : 23-59");
  EXPECT_EQ(Pane.Lines[6].Text, "Logging Interval  : 00-00");
}

TEST_F(HeaderReportTest, BinaryLogReportFailsWithoutAHeader) {
  TLogFile Log((Dir / "NONE.LOG"), "NONE");
  EXPECT_FALSE(Log.Open());
  EXPECT_FALSE(ShowLogHeader(Pane, Log, "none", Slashes()));
  EXPECT_EQ(Pane.Text(), "R630/R600 LOG HEADER FROM: NONE\n\n");
}

std::string SensorRows(const std::string& Name, int FromMinute, int StepMinutes, int Count) {
  std::string Out;
  const long long T0 = test::GenPartsToSecs(1999, 3, 7, 14, 30, 0);
  for (int I = 0; I < Count; ++I) {
    const long long T = T0 + (FromMinute + static_cast<long long>(I) * StepMinutes) * 60;
    Out += test::GenDate(T) + "," + test::GenTime(T) + "," + Name + ",1.5,C,G\r\n";
  }
  return Out;
}

TEST_F(HeaderReportTest, CSVReportOnOneGrid) {
  const std::string Path =
      Write("site2.csv", SensorRows("FAST", 0, 1, 10) + SensorRows("SLOW", 0, 5, 3));
  TCSVLogFile Log(Path, "SITE2");
  ASSERT_TRUE(Log.Open());
  ASSERT_TRUE(ShowCSVLogInfo(Pane, Log, Path, Slashes()));
  EXPECT_EQ(Pane.Text(), "CSV LOG INFO FROM: " + UpperCase(Path) +
                             "\n"
                             "\n"
                             "CSV File Name     : " +
                             Path +
                             "\n"
                             "Start Date        : 03/07/1999 14:30:00\n"
                             "End Date          : 03/07/1999 14:40:00\n"
                             "Logging Interval  : 00:01:00\n"
                             "Number of Sensors : 2\n");
  EXPECT_TRUE(Pane.Lines[0].Bold);
  EXPECT_FALSE(Pane.Lines[2].Bold);
}

TEST_F(HeaderReportTest, CSVReportPerSensorWhenIntervalsAreMixed) {
  const std::string Path = Write("mix.csv", SensorRows("A", 0, 15, 3) + SensorRows("B", 5, 5, 2) +
                                                SensorRows("B", 20, 10, 1));
  TCSVLogFile Log(Path, "MIX");
  ASSERT_TRUE(Log.Open());
  ASSERT_TRUE(Log.MixedIntervals());
  TDateTimeFormat F = Slashes();
  F.DateSeparator = '-';
  F.TimeSeparator = '.';
  ASSERT_TRUE(ShowCSVLogInfo(Pane, Log, Path, F));
  EXPECT_EQ(Pane.Text(), "CSV LOG INFO FROM: " + UpperCase(Path) +
                             "\n"
                             "\n"
                             "CSV File Name     : " +
                             Path +
                             "\n"
                             "Start Date        : 03-07-1999 14.30.00\n"
                             "End Date          : 03-07-1999 15.00.00\n"
                             "Logging Interval  : A - 00.15.00\n"
                             "Logging Interval  : B - variable\n"
                             "Number of Sensors : 2\n");
}

TEST(FormatDuration, HoursAreNotReduced) {
  EXPECT_EQ(FormatDuration(36 * 3600, ':'), "36:00:00");
  EXPECT_EQ(FormatDuration(3725, ':'), "01:02:05");
  EXPECT_EQ(FormatDuration(0, '.'), "00.00.00");
  EXPECT_EQ(FormatDuration(400 * 3600 + 59, ':'), "400:00:59");
}

} // namespace
} // namespace quorvin
