// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/LogExport.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

#include "core/Cores.h"
#include "core/OutputFile.h"
#include "core/ThreadBudget.h"
#include "generators/LogGen.h"
#include "report/Formatting.h"
#include "report/Statistics.h"
#include "support/FakeUi.h"
#include "support/FloatBits.h"
#include "support/SameBytes.h"
#include "support/Scratch.h"
#include "support/SelectLog.h"
#include "support/XlsxReader.h"

namespace quorvin {
namespace {

using test::CRLFLines;
using test::FolderNames;
using test::Raw;
using test::ReadWhole;
using test::TGenSensor;
using test::WriteWhole;

using test::NR;

class LogExportTest : public ::testing::Test {
protected:
  test::TScratchDir Dir;
  test::TFakeUi Ui;
  TSelectedLog Sel;
  TLogPrnOptions Opt;
  TDateTimeFormat Fmt;
  std::string OutputName;

  LogExportTest() { SetDateTimeFormat(Fmt, "MM/DD/YY HH:MM:SS"); }

  void Load(const std::string& Path) { ASSERT_TRUE(test::SelectLog(Sel, Path)) << Path; }
  // With every sensor checked, or the first alone.
  void LoadAll(const std::string& Path) {
    Load(Path);
    test::CheckAll(Sel);
  }
  void LoadFirst(const std::string& Path) {
    Load(Path);
    test::CheckOnly(Sel, {0});
  }

  // The example log: STAGE (2 digits, slope 1) and RAIN (1 digit, slope
  // 0.01) every 15 minutes on 1998-03-05, the range cut to 14:00 - 14:15.
  void LoadExample() {
    std::vector<std::vector<std::uint16_t>> Recs(58, {Raw(1.0, 2), Raw(0.5, 1)});
    Recs[56] = {Raw(1.23, 2), Raw(0.0, 1)};
    Recs[57] = {Raw(1.25, 2), NR};
    test::WriteBinaryLog(Dir / "site1.log", "SITE1", 1998, 3, 5, 900,
                         {{"STAGE", 1.0, 0.0, 2}, {"RAIN", 0.01, 0.0, 1}}, Recs);
    LoadAll(Dir / "site1.log");
    Sel.StartTime = PartsToSecs(1998, 3, 5, 14, 0, 0);
    Sel.EndTime = PartsToSecs(1998, 3, 5, 14, 15, 0);
  }

  bool Run(TCommandMode Mode) {
    return ConvertLogToText(Sel, Opt, Fmt, Mode, GetFieldSeparator(Opt, Mode), Ui.Services,
                            OutputName);
  }
  bool Save() { return Run(cmNone); }
  bool Display() { return Run(cmDisplay); }
};

TEST_F(LogExportTest, SavedStandardLayoutFixedAndCommaSeparated) {
  LoadExample();
  Opt.AppendData = false;
  Opt.DisplayFixedFormat = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(OutputName, Dir / "SITE1.PRN");
  EXPECT_EQ(ReadWhole(OutputName), CRLFLines({
                                       "\"DATE\"        \"TIME\"  \"STAGE\"   \"RAIN\"",
                                       "\"SLOPE\"                  1.00      0.0",
                                       "\"OFFSET\"                 0.00      0.0",
                                       "\"RIGHTDIGITS\"               2        1",
                                       "03/05/98    14:00:00     1.23      0.0",
                                       "03/05/98    14:15:00     1.25      -.-",
                                   }));
  EXPECT_EQ(Ui.Status.Panels[1], "Importing from .LOG file SITE1 ...");

  Opt.DisplayFixedFormat = false;
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(OutputName), CRLFLines({
                                       "\"DATE\",\"TIME\",\"STAGE\",\"RAIN\"",
                                       "\"SLOPE\",,1.00,0.0",
                                       "\"OFFSET\",,0.00,0.0",
                                       "\"RIGHTDIGITS\",,2,1",
                                       "03/05/98,14:00:00,1.23,0.0",
                                       "03/05/98,14:15:00,1.25,-.-",
                                   }));
  EXPECT_TRUE(Ui.Dialog.Shown.empty());
  // Replacing left no temporary file behind.
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"SITE1.PRN", "site1.log"}));
}

TEST_F(LogExportTest, SavedR600LayoutStartsWithTitleAndBlanksLaterDates) {
  LoadExample();
  Opt.AppendData = false;
  Opt.R600ASCII = true;
  Opt.DisplayFixedFormat = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(OutputName), CRLFLines({
                                       "R630/R600 DATA FROM: SITE1 DATE: 03/05/98 TO 03/05/98",
                                       "",
                                       "DATE       TIME     STAGE      RAIN      ",
                                       "---------- -------- ---------- ----------",
                                       "03/05/98   14:00:00       1.23        0.0",
                                       "           14:15:00       1.25        -.-",
                                   }));
  // Without fixed columns: no padding, names and underline as long as the names.
  Opt.DisplayFixedFormat = false;
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(OutputName), CRLFLines({
                                       "R630/R600 DATA FROM: SITE1 DATE: 03/05/98 TO 03/05/98",
                                       "",
                                       "DATE,TIME,STAGE,RAIN",
                                       "----,----,-----,----",
                                       "03/05/98,14:00:00,1.23,0.0",
                                       "        ,14:15:00,1.25,-.-",
                                   }));
}

TEST_F(LogExportTest, DisplayShowsBoldTitleThenFixedColumnsWhateverTheSeparator) {
  LoadExample();
  ASSERT_TRUE(Display());
  EXPECT_EQ(Ui.Pane.Text(), "R630/R600 DATA FROM: SITE1 DATE: 03/05/98 TO 03/05/98\n"
                            "\n"
                            "\"DATE\",       \"TIME\", \"STAGE\",  \"RAIN\"\n"
                            "\"SLOPE\",            ,    1.00,     0.0\n"
                            "\"OFFSET\",           ,    0.00,     0.0\n"
                            "\"RIGHTDIGITS\",      ,       2,       1\n"
                            "03/05/98,   14:00:00,    1.23,     0.0\n"
                            "03/05/98,   14:15:00,    1.25,     -.-\n");
  ASSERT_EQ(Ui.Pane.Lines.size(), 8u);
  EXPECT_TRUE(Ui.Pane.Lines[0].Bold);
  EXPECT_TRUE(Ui.Pane.Lines[1].Bold);
  EXPECT_EQ(Ui.Pane.Lines[0].PointSize, 10);
  EXPECT_FALSE(Ui.Pane.Lines[2].Bold);
  EXPECT_TRUE(OutputName.empty());
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"site1.log"}));

  // EXCEL displayed: blank-separated fields without padding.
  Ui.Pane.Clear();
  Opt.OutputFormat = TOutputFormat::Excel;
  Opt.R600ASCII = true;
  ASSERT_TRUE(Display());
  EXPECT_EQ(Ui.Pane.Text(), "R630/R600 DATA FROM: SITE1 DATE: 03/05/98 TO 03/05/98\n"
                            "\n"
                            "DATE TIME STAGE RAIN\n"
                            "03/05/98 14:00:00 1.23 0.0\n"
                            "         14:15:00 1.25 -.-\n");
}

// A two-day log every 12 hours: sensor A (0 digits) recorded except at the
// first slot of day 2; sensor B not recorded on day 1.
class TwoDayLogTest : public LogExportTest {
protected:
  void SetUp() override {
    test::WriteBinaryLog(
        Dir / "two.log", "TWO", 1996, 12, 31, 43200, {{"A", 1.0, 0.0, 0}, {"BB", 1.0, 0.0, 1}},
        {{Raw(5, 0), NR}, {Raw(6, 0), NR}, {NR, NR}, {Raw(12.6, 0), Raw(-1.5, 1)}});
    LoadAll(Dir / "two.log");
    Sel.EndTime = PartsToSecs(1997, 1, 1, 12, 0, 0);
    Opt.AppendData = false;
    SetDateTimeFormat(Fmt, "MMDDYY HHMM");
  }
  // The saved data lines, without the column header.
  std::string Data() {
    std::string T = ReadWhole(OutputName);
    std::size_t At = T.find("\"RIGHTDIGITS\"");
    return At == std::string::npos ? T : T.substr(T.find('\n', At) + 1);
  }
};

TEST_F(TwoDayLogTest, NotRecordedAsDashesZerosOrExcludedLines) {
  ASSERT_TRUE(Save());
  EXPECT_EQ(Data(), CRLFLines({"123196,0000,5,-.-", "123196,1200,6,-.-", "010197,0000,-,-.-",
                               "010197,1200,13,-1.5"}));
  Opt.DisplayAsDash = false;
  Opt.DisplayAsZero = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(Data(), CRLFLines({"123196,0000,5,0.0", "123196,1200,6,0.0", "010197,0000,0,0.0",
                               "010197,1200,13,-1.5"}));
  Opt.DisplayAsZero = false;
  Opt.ExcludeNonRecItems = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(Data(), CRLFLines({"123196,0000,5,", "123196,1200,6,", "010197,1200,13,-1.5"}));
}

TEST_F(TwoDayLogTest, BlankLineBeforeEachNewDayEvenWhenItsFirstLineIsExcluded) {
  Opt.AddBlankLine = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(Data(), CRLFLines({"123196,0000,5,-.-", "123196,1200,6,-.-", "", "010197,0000,-,-.-",
                               "010197,1200,13,-1.5"}));
  Opt.DisplayAsDash = false;
  Opt.ExcludeNonRecItems = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(Data(), CRLFLines({"123196,0000,5,", "123196,1200,6,", "", "010197,1200,13,-1.5"}));
}

TEST_F(TwoDayLogTest, R600ExcludedFirstLineStillUsesUpTheDate) {
  Opt.R600ASCII = true;
  Opt.DisplayFixedFormat = true;
  Opt.DisplayAsDash = false;
  Opt.ExcludeNonRecItems = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(OutputName), CRLFLines({"R630/R600 DATA FROM: TWO DATE: 123196 TO 010297", "",
                                              "DATE       TIME     A          BB        ",
                                              "---------- -------- ---------- ----------",
                                              "123196         0000          5           ",
                                              "               1200          6           ",
                                              "               1200         13       -1.5"}));
}

TEST_F(TwoDayLogTest, JulianDateAndSecondsOfDayInFixedColumns) {
  Opt.DisplayJulianDate = true;
  Opt.DisplaySeconds = true;
  Opt.DisplayFixedFormat = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(
      ReadWhole(OutputName),
      CRLFLines(
          {"\"DATE\"        \"TIME\"      \"A\"     \"BB\"",
           "\"SLOPE\"                     1      1.0", "\"OFFSET\"                    0      0.0",
           "\"RIGHTDIGITS\"               0        1", "366           000000        5      -.-",
           "366           043200        6      -.-", "001           000000        -      -.-",
           "001           043200       13     -1.5"}));
}

TEST_F(TwoDayLogTest, OnlyCheckedSensorsInLogOrder) {
  Sel.SensorChoices[0].Checked = false;
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(OutputName),
            CRLFLines({"\"DATE\",\"TIME\",\"BB\"", "\"SLOPE\",,1.0", "\"OFFSET\",,0.0",
                       "\"RIGHTDIGITS\",,1", "123196,0000,-.-", "123196,1200,-.-",
                       "010197,0000,-.-", "010197,1200,-1.5"}));
}

TEST_F(TwoDayLogTest, RangeEndsAreInclusiveAndAStartAfterTheEndGivesOneLine) {
  Sel.StartTime = PartsToSecs(1996, 12, 31, 12, 0, 0);
  Sel.EndTime = PartsToSecs(1997, 1, 1, 0, 0, 0);
  ASSERT_TRUE(Save());
  EXPECT_EQ(Data(), CRLFLines({"123196,1200,6,-.-", "010197,0000,-,-.-"}));
  Sel.EndTime = PartsToSecs(1996, 12, 31, 0, 0, 0);
  ASSERT_TRUE(Save());
  EXPECT_EQ(Data(), CRLFLines({"123196,1200,6,-.-"}));
  // Beyond the data the reader answers "not recorded".
  Sel.StartTime = PartsToSecs(1997, 1, 2, 0, 0, 0);
  Sel.EndTime = Sel.StartTime;
  ASSERT_TRUE(Save());
  EXPECT_EQ(Data(), CRLFLines({"010297,0000,-,-.-"}));
}

TEST_F(TwoDayLogTest, AppendAddsOnlyDataLinesAndR600RepeatsTheTitle) {
  Sel.StartTime = Sel.EndTime = PartsToSecs(1996, 12, 31, 0, 0, 0);
  ASSERT_TRUE(Save());
  Opt.AppendData = true;
  Sel.StartTime = Sel.EndTime = PartsToSecs(1997, 1, 1, 12, 0, 0);
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(OutputName),
            CRLFLines({"\"DATE\",\"TIME\",\"A\",\"BB\"", "\"SLOPE\",,1,1.0", "\"OFFSET\",,0,0.0",
                       "\"RIGHTDIGITS\",,0,1", "123196,0000,5,-.-", "010197,1200,13,-1.5"}));

  Opt.R600ASCII = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(OutputName).substr(ReadWhole(OutputName).find("010197,1200,13,-1.5")),
            CRLFLines({"010197,1200,13,-1.5", "R630/R600 DATA FROM: TWO DATE: 123196 TO 010297", "",
                       "010197,1200,13,-1.5"}));

  // Without append the file is replaced and starts with the column header.
  Opt.AppendData = false;
  Opt.R600ASCII = false;
  ASSERT_TRUE(Save());
  EXPECT_EQ(Data(), CRLFLines({"010197,1200,13,-1.5"}));
}

TEST_F(TwoDayLogTest, OutputThatCannotBeOpenedOrReplacedFailsAndKeepsWhatWasThere) {
  // A folder in the output file's place can be neither appended to nor
  // replaced, and the dialog says why beside its own text.
  std::filesystem::create_directory(Dir / "TWO.PRN");
  for (bool Append : {true, false}) {
    Ui.Dialog.Shown.clear();
    Opt.AppendData = Append;
    EXPECT_FALSE(Save());
    ASSERT_EQ(Ui.Dialog.Shown.size(), 1u);
    EXPECT_EQ(Ui.Dialog.Shown[0].Kind, TMsgKind::Warning);
    EXPECT_EQ(Ui.Dialog.Shown[0].Text, "Error opening output file " + Dir / "TWO.PRN" + ".");
    EXPECT_EQ(Ui.Dialog.Shown[0].Detail, Dir / "TWO.PRN" + ": Is a directory");
  }
  EXPECT_TRUE(std::filesystem::is_directory(Dir / "TWO.PRN"));
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"TWO.PRN", "two.log"}));
}

TEST_F(LogExportTest, ChunksOfPendingLinesJoinSeamlesslyInFileAndPane) {
  // 700 records every minute from 1990-06-01: three chunks and a rest.
  std::vector<std::vector<std::uint16_t>> Recs;
  for (int k = 0; k < 700; ++k) Recs.push_back({Raw(k % 1000 / 10.0, 1)});
  test::WriteBinaryLog(Dir / "long.log", "LONG", 1990, 6, 1, 60, {{"V", 1.0, 0.0, 1}}, Recs);
  LoadAll(Dir / "long.log");
  Sel.EndTime = Sel.StartTime + 699 * 60;
  Opt.AppendData = false;
  Opt.R600ASCII = true;
  ASSERT_TRUE(Save());
  std::vector<std::string> Expected = {"R630/R600 DATA FROM: LONG DATE: 06/01/90 TO 06/01/90", "",
                                       "DATE,TIME,V", "----,----,-"};
  for (int k = 0; k < 700; ++k) {
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%s,%02d:%02d:00,%.1f", k == 0 ? "06/01/90" : "        ", k / 60,
                  k % 60, k % 1000 / 10.0);
    Expected.push_back(Buf);
  }
  EXPECT_EQ(ReadWhole(OutputName), CRLFLines(Expected));

  ASSERT_TRUE(Display());
  // The pane gets the title once, then fixed columns.
  ASSERT_EQ(Ui.Pane.Lines.size(), 704u);
  EXPECT_EQ(Ui.Pane.Lines[0].Text, Expected[0]);
  EXPECT_EQ(Ui.Pane.Lines[0].Bold, true);
  EXPECT_EQ(Ui.Pane.Lines[703].Text, "        ,  11:39:00,      69.9");
  int Bold = 0;
  for (const auto& L : Ui.Pane.Lines) Bold += L.Bold;
  EXPECT_EQ(Bold, 2);
}

// A busy cursor whose user cancels at the second report of progress.
class TCancellingBusy : public test::TFakeBusy {
public:
  std::vector<long long> Done;
  bool Step(long long D, long long Total) override {
    Done.push_back(D);
    EXPECT_EQ(Total, 699 * 60);
    return Done.size() == 2;
  }
};

TEST_F(LogExportTest, ChunksReportProgressAndACancelledSaveKeepsTheOldFile) {
  std::vector<std::vector<std::uint16_t>> Recs(700, {Raw(1.5, 1)});
  test::WriteBinaryLog(Dir / "long.log", "LONG", 1990, 6, 1, 60, {{"V", 1.0, 0.0, 1}}, Recs);
  LoadAll(Dir / "long.log");
  Sel.EndTime = Sel.StartTime + 699 * 60;
  // Replacing and appending alike: the chunks already written go again.
  for (bool Append : {false, true}) {
    SCOPED_TRACE(Append);
    Opt.AppendData = Append;
    test::WriteWhole(Dir / "LONG.PRN", "old content\r\n");
    TCancellingBusy Busy;
    TUiServices Services{Ui.Dialog, Ui.Status, Ui.Pane, Busy};
    EXPECT_FALSE(ConvertLogToText(Sel, Opt, Fmt, cmNone, ",", Services, OutputName));
    // Reported after the first chunk: 4 header lines and 253 data lines, the
    // last one at minute 252; appending writes no header, so 257 data lines.
    ASSERT_EQ(Busy.Done.size(), 2u);
    EXPECT_EQ(Busy.Done[0], (Append ? 256 : 252) * 60);
    EXPECT_LT(Busy.Done[0], Busy.Done[1]);
    EXPECT_EQ(test::ReadWhole(Dir / "LONG.PRN"), "old content\r\n");
    EXPECT_EQ(FolderNames(Dir.Path()).size(), 2u); // the log and the old output, no temporary left
  }
}

TEST_F(LogExportTest, NoLoadedLogIsAFailureWithNothingWritten) {
  Sel.LogFileDir = Dir.Path() + "/";
  Sel.LogFileName = Dir / "none.log";
  EXPECT_FALSE(Save());
  EXPECT_TRUE(FolderNames(Dir.Path()).empty());
  EXPECT_TRUE(Ui.Dialog.Shown.empty());
}

TEST(OutputFileName, FolderPlusUpperCaseNameUpToFirstFullStop) {
  EXPECT_EQ(TLogExport::MakeOutputFileName("/data/", "/data/site1.2.log", TOutputFormat::Text),
            "/data/SITE1.PRN");
  EXPECT_EQ(TLogExport::MakeOutputFileName("", "site1.csv", TOutputFormat::Excel), "SITE1.XLS");
}

// A CSV log with mixed intervals, all rows on 1999-03-07: A every 15
// minutes 10:00-11:00, B every 10 minutes 10:00-11:00, C at varying steps,
// D every 15 minutes 10:15-10:45, E one reading at 10:30.
class CsvGridTest : public LogExportTest {
protected:
  void SetUp() override {
    std::string T = "'Mixed test log\r\n";
    auto Row = [&](const char* Time, const char* Name, const char* Value, const char* Units) {
      T += std::string("03/07/1999,") + Time + "," + Name + "," + Value + "," + Units + ",G\r\n";
    };
    Row("10:00:00", "A", "1.5", "C");
    Row("10:00:00", "B", "10", "mm");
    Row("10:00:00", "C", "0.25", "V");
    Row("10:07:00", "C", "0.50", "V");
    Row("10:10:00", "B", "11", "mm");
    Row("10:15:00", "A", "1.6", "C");
    Row("10:15:00", "D", "7", "m");
    Row("10:20:00", "B", "12", "mm");
    Row("10:20:00", "C", "0.75", "V");
    Row("10:30:00", "A", "1.7", "C");
    Row("10:30:00", "B", "13", "mm");
    Row("10:30:00", "D", "8", "m");
    Row("10:30:00", "E", "99", "%");
    Row("10:40:00", "B", "14", "mm");
    Row("10:45:00", "A", "1.8", "C");
    Row("10:45:00", "D", "9", "m");
    Row("10:50:00", "B", "15", "mm");
    Row("11:00:00", "A", "1.9", "C");
    Row("11:00:00", "B", "16", "mm");
    WriteWhole(Dir / "mixed.csv", T);
    LoadFirst(Dir / "mixed.csv");
    Opt.AppendData = false;
    SetDateTimeFormat(Fmt, "MM/DD/YYYY HH:MM");
  }
  void CheckOnly(std::vector<int> Positions) { test::CheckOnly(Sel, std::move(Positions)); }
};

TEST_F(CsvGridTest, OneSensorOnItsOwnGridWithUnitsRow) {
  ASSERT_TRUE(Sel.Log->MixedIntervals());
  // The chosen start never moves a CSV grid.
  Sel.StartTime += 3600;
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(Dir / "MIXED.PRN"),
            CRLFLines({"\"DATE\",\"TIME\",\"A\"", "\"UNITS\",,C", "\"RIGHTDIGITS\",,1",
                       "03/07/1999,10:00,1.5", "03/07/1999,10:15,1.6", "03/07/1999,10:30,1.7",
                       "03/07/1999,10:45,1.8", "03/07/1999,11:00,1.9"}));
  // The selection keeps what was chosen.
  EXPECT_EQ(Sel.LogInterval, 420);
  EXPECT_EQ(Sel.StartTime, PartsToSecs(1999, 3, 7, 11, 0, 0));
}

TEST_F(CsvGridTest, VariableIntervalSensorAloneIsWrittenRecordByRecord) {
  CheckOnly({2});
  Opt.DisplayFixedFormat = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(Dir / "MIXED.PRN"),
            CRLFLines({"\"DATE\"        \"TIME\"      \"C\"", "\"UNITS\"                     V",
                       "\"RIGHTDIGITS\"               2", "03/07/1999     10:00     0.25",
                       "03/07/1999     10:07     0.50", "03/07/1999     10:20     0.75"}));
}

TEST_F(CsvGridTest, SensorsWithDifferentIntervalsAreRefusedWithNothingWritten) {
  test::CheckAll(Sel);
  EXPECT_FALSE(Save());
  ASSERT_EQ(Ui.Dialog.Shown.size(), 1u);
  EXPECT_EQ(Ui.Dialog.Shown[0].Kind, TMsgKind::Warning);
  EXPECT_EQ(Ui.Dialog.Shown[0].Text,
            "Sensors selected have different logging intervals. \r\nPlease select sensors with "
            "similiar logging intervals. \r\n View header for sensor logging intervals");

  CheckOnly({0, 1});
  EXPECT_FALSE(Display());
  ASSERT_EQ(Ui.Dialog.Shown.size(), 2u);
  EXPECT_EQ(Ui.Dialog.Shown[1].Text, "Sensors selected have different logging intervals. \r\n "
                                     "View header for sensor logging intervals");
  EXPECT_TRUE(Ui.Pane.Lines.empty());
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"mixed.csv"}));
}

TEST_F(CsvGridTest, EqualIntervalsShareAGridFromTheEarliestToTheShortestEnd) {
  CheckOnly({0, 3});
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(Dir / "MIXED.PRN"),
            CRLFLines({"\"DATE\",\"TIME\",\"A\",\"D\"", "\"UNITS\",,C,m", "\"RIGHTDIGITS\",,1,0",
                       "03/07/1999,10:00,1.5,-", "03/07/1999,10:15,1.6,7", "03/07/1999,10:30,1.7,8",
                       "03/07/1999,10:45,1.8,9"}));
}

TEST_F(CsvGridTest, ASingleReadingSensorPassesTheIntervalCheck) {
  CheckOnly({0, 4});
  ASSERT_TRUE(Save());
  EXPECT_EQ(
      ReadWhole(Dir / "MIXED.PRN"),
      CRLFLines({"\"DATE\",\"TIME\",\"A\",\"E\"", "\"UNITS\",,C,%", "\"RIGHTDIGITS\",,1,0",
                 "03/07/1999,10:00,1.5,-", "03/07/1999,10:15,1.6,-", "03/07/1999,10:30,1.7,99"}));
  // Alone, its interval of 0 gives the one line at its time.
  CheckOnly({4});
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(Dir / "MIXED.PRN"), CRLFLines({"\"DATE\",\"TIME\",\"E\"", "\"UNITS\",,%",
                                                     "\"RIGHTDIGITS\",,0", "03/07/1999,10:30,99"}));
}

TEST_F(LogExportTest, CsvWithoutMixedIntervalsUsesTheFileGridAndTitle) {
  WriteWhole(Dir / "plain.txt", "T1,03/07/1999,23:30:00,1.25,G\r\n"
                                "T2,03/07/1999,23:30:00,-4,G\r\n"
                                "T1,03/08/1999,00:00:00,1.5,G\r\n"
                                "T2,03/08/1999,00:00:00,-5,BAD\r\n"
                                "T1,03/08/1999,00:30:00,1.75,G\r\n");
  LoadAll(Dir / "plain.txt");
  Sel.EndTime = PartsToSecs(1999, 3, 8, 0, 30, 0);
  Opt.AddBlankLine = true;
  ASSERT_TRUE(Display());
  const std::string Title =
      "CSV LOG DATA FROM: " + UpperCase(Dir / "plain.txt") + " DATE: 03/07/99 TO 03/08/99";
  EXPECT_EQ(Ui.Pane.Text(), Title + "\n\n"
                                    "\"DATE\",       \"TIME\",    \"T1\",    \"T2\"\n"
                                    "\"RIGHTDIGITS\",      ,       2,       0\n"
                                    "03/07/99,   23:30:00,    1.25,      -4\n"
                                    "\n"
                                    "03/08/99,   00:00:00,    1.50,       -\n"
                                    "03/08/99,   00:30:00,    1.75,       -\n");
}

// A CSV file written newest first converts exactly like the same lines
// written oldest first, with the first sensor checked and with all of them.
TEST_F(LogExportTest, CsvWrittenNewestFirstConvertsLikeOldestFirst) {
  const struct {
    const char* Name;
    std::vector<std::string> Rows; // oldest first
  } Cases[] = {
      {"layout 1",
       {"03/07/1999,10:00:00,A,1.5,C,G", "03/07/1999,10:15:00,A,1.6,C,G",
        "03/07/1999,10:30:00,A,1.7,C,G", "03/07/1999,11:00:00,A,1.8,C,G"}},
      {"layout 2",
       {"03/07/1999,23:30:00,W,1,2.5", "03/08/1999,00:00:00,W,2,3.5",
        "03/08/1999,00:30:00,W,3,4.5"}},
      {"layout 3",
       {"A,03/07/1999,10:00:00,1,G", "B,03/07/1999,10:05:00,7,G", "A,03/07/1999,10:15:00,2,G",
        "B,03/07/1999,10:25:00,8,G", "A,03/07/1999,10:30:00,3,G"}},
  };
  Opt.AppendData = false;
  // Loads the lines as NAME.csv and saves them: the result and the file.
  auto Convert = [&](const std::string& Name, const std::vector<std::string>& Rows, bool All) {
    WriteWhole(Dir / (Name + ".csv"), CRLFLines(Rows));
    TSelectedLog Own;
    EXPECT_TRUE(test::SelectLog(Own, Dir / (Name + ".csv"))) << Name;
    if (All)
      test::CheckAll(Own);
    else
      test::CheckOnly(Own, {0});
    std::string Out;
    const bool Ok =
        ConvertLogToText(Own, Opt, Fmt, cmNone, GetFieldSeparator(Opt, cmNone), Ui.Services, Out);
    const std::string Text = ReadWhole(Out);
    std::filesystem::remove(Out);
    return std::make_pair(Ok, Text);
  };
  for (const auto& C : Cases)
    for (bool All : {false, true}) {
      const std::vector<std::string> Newest(C.Rows.rbegin(), C.Rows.rend());
      const auto Expected = Convert("old" + std::to_string(All), C.Rows, All);
      EXPECT_EQ(Convert("new" + std::to_string(All), Newest, All), Expected) << C.Name << All;
      EXPECT_EQ(Expected.first, Expected.second != "") << C.Name << All; // saved, or refused
    }
}

// A CSV conversion's own grid is for that conversion only: the commands that
// follow it give what each gives alone. R every 10 minutes to 10:20 makes
// the intervals mixed; P and Q every 15 minutes to 11:00.
TEST_F(LogExportTest, CsvGridStaysWithItsConversion) {
  std::string Text;
  for (int M = 0; M <= 60; M += 5) {
    char Time[32];
    std::snprintf(Time, sizeof Time, "03/07/1999,%02d:%02d:00,", 10 + M / 60, M % 60);
    const std::string V = std::to_string(M);
    if (M % 15 == 0) Text += Time + ("P," + V + ",C,G\r\n") + Time + ("Q," + V + ",C,G\r\n");
    if (M % 10 == 0 && M <= 20) Text += Time + ("R," + V + ",C,G\r\n");
  }
  WriteWhole(Dir / "grid.csv", Text);
  auto Load = [&](TSelectedLog& S, std::vector<int> Checked) {
    EXPECT_TRUE(test::SelectLog(S, Dir / "grid.csv"));
    test::CheckOnly(S, std::move(Checked));
  };
  auto Export = [&](TSelectedLog& S) {
    Ui.Pane.Clear();
    std::string Out;
    EXPECT_TRUE(ConvertLogToText(S, Opt, Fmt, cmDisplay, ",", Ui.Services, Out));
    return Ui.Pane.Text();
  };
  auto Stats = [&](TSelectedLog& S) {
    Ui.Pane.Clear();
    TStatAccumulators Acc;
    Acc.SetSize(static_cast<int>(CheckedPositions(S).size()));
    TStatistics(S, Fmt, Opt, cmStatistics, Acc, Ui.Pane).Report();
    return Ui.Pane.Text();
  };
  const struct {
    std::vector<int> Checked;
    std::function<std::string(TSelectedLog&)> Command;
  } Steps[] = {{{2}, Export}, {{0, 1}, Export}, {{0, 1}, Stats}};
  TSelectedLog Shared;
  Load(Shared, {});
  for (const auto& Step : Steps) {
    TSelectedLog Alone;
    Load(Alone, Step.Checked);
    const std::string Expected = Step.Command(Alone);
    for (int I = 0; I < Shared.SensorChoiceCount(); ++I)
      Shared.SensorChoices[static_cast<std::size_t>(I)].Checked =
          Alone.SensorChoices[static_cast<std::size_t>(I)].Checked;
    EXPECT_EQ(Step.Command(Shared), Expected) << &Step - Steps;
  }
  // P and Q run past 10:20, where the grid of R alone ends.
  TSelectedLog Alone;
  Load(Alone, {0, 1});
  EXPECT_NE(Export(Alone).find("10:45:00,      45,      45"), std::string::npos);
}

TEST_F(LogExportTest, IntervalZeroEndsAfterTheLineAtTheEnd) {
  test::WriteBinaryLog(Dir / "z.log", "Z", 2001, 1, 1, 3600, {{"V", 1.0, 0.0, 0}},
                       {{Raw(1, 0)}, {Raw(2, 0)}, {Raw(3, 0)}});
  LoadAll(Dir / "z.log");
  Sel.LogInterval = 0;
  Sel.EndTime = Sel.StartTime + 7200;
  Opt.AppendData = false;
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(OutputName),
            CRLFLines({"\"DATE\",\"TIME\",\"V\"", "\"SLOPE\",,1", "\"OFFSET\",,0",
                       "\"RIGHTDIGITS\",,0", "01/01/01,00:00:00,1", "01/01/01,02:00:00,3"}));
}

TEST_F(LogExportTest, ExcelSaveIsAWorkbookAndIsNeverAppendedTo) {
  LoadExample();
  Opt.OutputFormat = TOutputFormat::Excel;
  Opt.R600ASCII = true;
  Opt.DisplayFixedFormat = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(OutputName, Dir / "SITE1.XLS");
  EXPECT_EQ(test::DumpSheet(test::ReadZip(OutputName), 1),
            "1: A1=s:R630/R600 DATA FROM: SITE1 DATE: 03/05/98 TO 03/05/98\n"
            "3: A3=s:DATE B3=s:TIME C3=s:STAGE D3=s:RAIN\n"
            "4: A4=s:03/05/98 B4=s:14:00:00 C4=n:1.23[0.00] D4=n:0[0.0]\n"
            "5: A5=s:         B5=s:14:15:00 C5=n:1.25[0.00] D5=s:-.-\n");
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"SITE1.XLS", "site1.log"}));

  // Appending text to the workbook would ruin it: refused, file untouched.
  const std::string Before = ReadWhole(OutputName);
  Opt.AppendData = true;
  EXPECT_FALSE(Save());
  ASSERT_EQ(Ui.Dialog.Shown.size(), 1u);
  EXPECT_EQ(Ui.Dialog.Shown[0].Text, "Error opening output file " + Dir / "SITE1.XLS" + ".");
  EXPECT_EQ(ReadWhole(OutputName), Before);

  // Replacing it is fine; the standard layout quotes become plain text.
  Opt.AppendData = false;
  Opt.R600ASCII = false;
  ASSERT_TRUE(Save());
  EXPECT_EQ(test::DumpSheet(test::ReadZip(OutputName), 1),
            "1: A1=s:DATE B1=s:TIME C1=s:STAGE D1=s:RAIN\n"
            "2: A2=s:SLOPE C2=n:1[0.00] D2=n:0[0.0]\n"
            "3: A3=s:OFFSET C3=n:0[0.00] D3=n:0[0.0]\n"
            "4: A4=s:RIGHTDIGITS C4=n:2[0] D4=n:1[0]\n"
            "5: A5=s:03/05/98 B5=s:14:00:00 C5=n:1.23[0.00] D5=n:0[0.0]\n"
            "6: A6=s:03/05/98 B6=s:14:15:00 C6=n:1.25[0.00] D6=s:-.-\n");
}

// Packed dates and times once gave one column two types (0945 text, 1000 a
// number): the date and time columns are text in every row, so sorting a
// column keeps it whole.
TEST_F(LogExportTest, ExcelDateAndTimeColumnsAreTextInEveryRow) {
  test::WriteBinaryLog(Dir / "site1.log", "SITE1", 1998, 10, 5, 900, {{"STAGE", 1.0, 0.0, 2}},
                       std::vector<std::vector<std::uint16_t>>(41, {Raw(1.5, 2)}));
  LoadAll(Dir / "site1.log");
  Sel.StartTime = PartsToSecs(1998, 10, 5, 9, 45, 0);
  Sel.EndTime = Sel.StartTime + 900;
  SetDateTimeFormat(Fmt, "MMDDYY HHMM");
  Opt.OutputFormat = TOutputFormat::Excel;
  Opt.AppendData = false;
  ASSERT_TRUE(Save());
  const std::string Sheet = test::DumpSheet(test::ReadZip(OutputName), 1);
  EXPECT_NE(Sheet.find("5: A5=s:100598 B5=s:0945 C5=n:1.5[0.00]\n"
                       "6: A6=s:100598 B6=s:1000 C6=n:1.5[0.00]\n"),
            std::string::npos)
      << Sheet;
}

TEST_F(LogExportTest, ExcelAppendsToTextLeftByAnEarlierRunAndConvertsTheWhole) {
  LoadExample();
  Opt.OutputFormat = TOutputFormat::Excel;
  WriteWhole(Dir / "SITE1.XLS", "earlier\t1\r\n");
  ASSERT_TRUE(Save());
  EXPECT_EQ(test::DumpSheet(test::ReadZip(OutputName), 1),
            "1: A1=s:earlier B1=s:1\n"
            "2: A2=s:03/05/98 B2=s:14:00:00 C2=n:1.23[0.00] D2=n:0[0.0]\n"
            "3: A3=s:03/05/98 B3=s:14:15:00 C3=n:1.25[0.00] D3=s:-.-\n");
}

// A pane that fails once it holds a given number of lines.
class TFailingPane : public test::TFakeTextPane {
public:
  std::size_t Limit = 300;
  void AppendLine(std::string_view Line) override {
    if (Lines.size() >= Limit) throw std::runtime_error("pane full");
    TFakeTextPane::AppendLine(Line);
  }
};

TEST_F(LogExportTest, APaneErrorFailsTheDisplayAndStopsIt) {
  std::vector<std::vector<std::uint16_t>> Recs(1000, {Raw(1, 0)});
  test::WriteBinaryLog(Dir / "p.log", "P", 1990, 6, 1, 60, {{"V", 1.0, 0.0, 0}}, Recs);
  LoadAll(Dir / "p.log");
  TFailingPane Pane;
  TUiServices Services{Ui.Dialog, Ui.Status, Pane, Ui.Busy};
  std::string Name;
  EXPECT_FALSE(ConvertLogToText(Sel, Opt, Fmt, cmDisplay, ",", Services, Name));
  // The first chunk (title, blank line, 4 header lines, 253 data lines)
  // went in; the second failed part-way and nothing followed it.
  EXPECT_EQ(Pane.Lines.size(), 300u);
}

std::vector<std::string> SplitCrLf(const std::string& Text) {
  std::vector<std::string> Lines;
  std::size_t From = 0;
  for (std::size_t At; (At = Text.find("\r\n", From)) != std::string::npos; From = At + 2)
    Lines.push_back(Text.substr(From, At - From));
  return Lines;
}

// A CSV file of one sensor every 15 minutes on 07/01/24 (from 06:00) and
// 07/03/24, none on 07/02, and one stray row from a reset clock at Stray.
std::string StrayRowCsv(const std::string& Stray) {
  std::string Text = Stray + ",00:00:00,A,1.0,C,G\r\n";
  for (const char* Day : {"07/01/2024", "07/03/2024"})
    for (int M = 0; M < 1440; M += 15) {
      if (Day[4] == '1' && M < 360) continue;
      char Line[64];
      std::snprintf(Line, sizeof Line, "%s,%02d:%02d:00,A,%d.5,C,G\r\n", Day, M / 60, M % 60,
                    M / 15);
      Text += Line;
    }
  return Text;
}

TEST_F(LogExportTest, AMostlyEmptyGridIsPutToTheUserFirst) {
  WriteWhole(Dir / "stray.csv", StrayRowCsv("01/01/1985"));
  LoadFirst(Dir / "stray.csv");
  Opt.AppendData = false;
  EXPECT_FALSE(Save()); // No
  const std::int64_t Lines =
      (PartsToSecs(2024, 7, 3, 23, 45, 0) - PartsToSecs(1985, 1, 1, 0, 0, 0)) / 900 + 1;
  ASSERT_EQ(Ui.Dialog.Shown.size(), 1u);
  EXPECT_EQ(Ui.Dialog.Shown[0].Kind, TMsgKind::Confirmation);
  EXPECT_EQ(Ui.Dialog.Shown[0].Buttons, TMsgButtons::YesNo);
  EXPECT_EQ(Ui.Dialog.Shown[0].Text, "This log spans " + std::to_string(Lines) +
                                         " lines from 01/01/85 00:00:00 to 07/03/24 23:45:00 for "
                                         "169 readings. Continue?");
  EXPECT_FALSE(std::filesystem::exists(OutputName));
  // Yes goes on; without dates that far apart nothing is asked.
  Ui.Dialog.Answers = {TMsgResult::Yes};
  Opt.DisplayAsDash = false;
  Opt.ExcludeNonRecItems = true;
  EXPECT_TRUE(Save());
  EXPECT_EQ(Ui.Dialog.Shown.size(), 2u);
  WriteWhole(Dir / "stray.csv", StrayRowCsv("06/01/2024"));
  LoadFirst(Dir / "stray.csv");
  EXPECT_TRUE(Save());
  EXPECT_EQ(Ui.Dialog.Shown.size(), 2u);
  // Fewer than a million lines, but what they would take is hundreds of
  // times the file: asked all the same, with the sizes beside.
  WriteWhole(Dir / "stray.csv", StrayRowCsv("01/01/2020"));
  LoadFirst(Dir / "stray.csv");
  EXPECT_FALSE(Save());
  ASSERT_EQ(Ui.Dialog.Shown.size(), 3u);
  EXPECT_EQ(Ui.Dialog.Shown[2].Text.rfind("This log spans 158", 0), 0u);
  const std::string Size = std::to_string(std::filesystem::file_size(Dir / "stray.csv"));
  EXPECT_EQ(Ui.Dialog.Shown[2].Detail.substr(Ui.Dialog.Shown[2].Detail.size() - Size.size() - 7),
            Size + " bytes.");
}

TEST_F(LogExportTest, ExcludedLinesOverEmptyDaysAreSkippedWithTheSameOutput) {
  // Four years without a record: the excluded output is the dashed output
  // without its all-dash lines, blank day lines included.
  WriteWhole(Dir / "stray.csv", StrayRowCsv("01/01/2020"));
  LoadFirst(Dir / "stray.csv");
  Ui.Dialog.Answers.assign(3, TMsgResult::Yes); // the stretch is put to the user
  Opt.AppendData = false;
  Opt.AddBlankLine = true;
  ASSERT_TRUE(Save());
  std::string Kept;
  for (const std::string& Line : SplitCrLf(ReadWhole(OutputName)))
    if (Line.find(",-.-") == std::string::npos) Kept += Line + "\r\n";
  Opt.DisplayAsDash = false;
  Opt.ExcludeNonRecItems = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(OutputName), Kept);
  // In the R600 layout the date stands on a day's first line, and an
  // excluded first line uses it up: 07/01 begins at 06:00 without its date.
  Opt.R600ASCII = true;
  Opt.DisplayFixedFormat = true;
  Opt.AddBlankLine = false;
  ASSERT_TRUE(Save());
  const std::string Text = ReadWhole(OutputName);
  EXPECT_NE(Text.find("\r\n           06:00:00       24.5\r\n"), std::string::npos)
      << Text.substr(0, 600);
  EXPECT_NE(Text.find("\r\n07/03/24   00:00:00        0.5\r\n"), std::string::npos);
  EXPECT_NE(Text.find("\r\n01/01/20   00:00:00        1.0\r\n"), std::string::npos);
}

// A last record cut short by the end of the file still holds its first
// sensor's value: its line stays when all-missing lines are excluded, also
// after an excluded line (it was once taken for a slot past the data).
TEST_F(LogExportTest, ExcludedLinesKeepALastRecordCutShort) {
  test::WriteBinaryLog(Dir / "site1.log", "SITE1", 1998, 3, 5, 900,
                       {{"STAGE", 1.0, 0.0, 2}, {"RAIN", 0.01, 0.0, 1}},
                       {{Raw(1.0, 2), Raw(0.5, 1)}, {NR, NR}, {Raw(1.25, 2), Raw(0.7, 1)}});
  std::filesystem::resize_file(Dir / "site1.log",
                               std::filesystem::file_size(Dir / "site1.log") - 2);
  LoadAll(Dir / "site1.log");
  Sel.StartTime = PartsToSecs(1998, 3, 5, 0, 0, 0);
  Sel.EndTime = Sel.StartTime + 3 * 900;
  Opt.AppendData = false;
  const std::string Head = "\"DATE\",\"TIME\",\"STAGE\",\"RAIN\"\r\n\"SLOPE\",,1.00,0.0\r\n"
                           "\"OFFSET\",,0.00,0.0\r\n\"RIGHTDIGITS\",,2,1\r\n";
  Opt.DisplayAsDash = false;
  Opt.ExcludeNonRecItems = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadWhole(OutputName),
            Head + CRLFLines({"03/05/98,00:00:00,1.00,0.5", "03/05/98,00:30:00,1.25,"}));
}

} // namespace
} // namespace quorvin

namespace quorvin {
namespace {

// The lines of a conversion as the rules give them, one time step after
// another from the plain helpers: what the export must write, however many
// threads it formats its lines on.
std::vector<std::string> LinesByTheRules(const TLogExport& Export, TSelectedLog& Sel,
                                         const TLogPrnOptions& O, const TDateTimeFormat& F,
                                         TCommandMode Mode, bool WithTitle) {
  const std::string Sep = GetFieldSeparator(O, Mode);
  const bool Fixed = UsesFixedColumns(O, Mode);
  const bool Exclude = NonRecordedMode(O) == TNonRecordedMode::Exclude;
  std::vector<std::string> Lines;
  if (WithTitle) Lines = {Export.TitleLine(), ""};
  Export.BuildColumnHeader(Lines, Sep);
  bool NewDay = true;
  LogTime PreviousDay = Sel.StartTime / 86400;
  for (LogTime T = Sel.StartTime; T <= Sel.EndTime; T += Sel.LogInterval) {
    if (T / 86400 > PreviousDay) {
      if (O.AddBlankLine) Lines.push_back("");
      PreviousDay = T / 86400;
      NewDay = true;
    }
    std::string Line = FormatLineTime(Sep, Fixed, NewDay, T, O, F);
    NewDay = false;
    int Recorded = 0;
    for (std::size_t i = 0; i < Sel.SensorChoices.size(); ++i) {
      const TSensorChoice& C = Sel.SensorChoices[i];
      if (!C.Checked) continue;
      const float V = Sel.Log->GetValue(T, static_cast<int>(i) + 1);
      const bool Missing = IsNonRecorded(V);
      Recorded += !Missing;
      const std::string Text =
          Missing ? NonRecordedText(O, C.RightDigits) : FormatValue(V, C.RightDigits);
      const int L = static_cast<int>(C.ShortName.size());
      const int W = O.R600ASCII ? std::max(10, L) : std::max(8, L + 2);
      Line += Sep + (Fixed ? PadBlanks(W - static_cast<int>(Text.size())) : "") + Text;
    }
    if (!(Exclude && Recorded == 0)) Lines.push_back(Line);
  }
  return Lines;
}

TEST_F(LogExportTest, LargeSaveWritesTheSameBytesOnAnyNumberOfThreads) {
  // 40000 records every 10 minutes from 1995-12-20: values of every width
  // and sign, single gaps, and days on which nothing was recorded.
  std::vector<std::vector<std::uint16_t>> Recs(40000);
  std::uint32_t X = 7;
  for (std::size_t k = 0; k < Recs.size(); ++k) {
    const bool EmptyDay = (k / 144) % 23 == 5;
    for (int i = 0; i < 3; ++i) {
      X = X * 1103515245u + 12345u;
      const std::uint16_t V = static_cast<std::uint16_t>(32767 + (X >> 9) % 60001 - 30000);
      Recs[k].push_back(EmptyDay || (X >> 4) % 31 == 0 ? NR : V);
    }
  }
  test::WriteBinaryLog(Dir / "big.log", "BIG", 1995, 12, 20, 600,
                       {{"A", 1.0, 0.0, 0}, {"LONGSENSOR12", 1.0, 0.0, 2}, {"C", 1.0, 0.0, 3}},
                       Recs);
  LoadAll(Dir / "big.log");
  Opt.AppendData = false;

  struct TCase {
    const char* Format;
    bool Fixed, R600, Julian, Seconds, Blank;
    int NotRecorded; // 0 dashes, 1 zero, 2 excluded
  } Cases[] = {
      {"MM/DD/YY HH:MM:SS", false, false, false, false, false, 0},
      {"MM/DD/YY HH:MM:SS", true, false, false, false, true, 1},
      {"DD/MM/YYYY HH:MM:SS", false, false, false, false, true, 2},
      {"YYMMDD HHMM", true, true, false, false, false, 2},
      {"MM/DD/YYYY HH:MM", true, true, true, true, true, 0},
      {"YYYY/MM/DD HH:MM:SS", false, false, true, false, false, 1},
  };
  for (const TCase& C : Cases) {
    SetDateTimeFormat(Fmt, C.Format);
    Opt.DisplayFixedFormat = C.Fixed;
    Opt.R600ASCII = C.R600;
    Opt.DisplayJulianDate = C.Julian;
    Opt.DisplaySeconds = C.Seconds;
    Opt.AddBlankLine = C.Blank;
    Opt.DisplayAsDash = C.NotRecorded == 0;
    Opt.DisplayAsZero = C.NotRecorded == 1;
    Opt.ExcludeNonRecItems = C.NotRecorded == 2;
    TLogExport Reference(Sel, Opt, Fmt, cmNone, Ui.Services);
    const std::string Expected =
        CRLFLines(LinesByTheRules(Reference, Sel, Opt, Fmt, cmNone, C.R600));
    for (unsigned Threads : {1u, 2u, 5u}) {
      SCOPED_TRACE(std::string(C.Format) + " " + std::to_string(Threads));
      TLogExport Export(Sel, Opt, Fmt, cmNone, Ui.Services);
      Export.SetFormatThreads(Threads);
      ASSERT_TRUE(Export.ConvertLogToText(GetFieldSeparator(Opt, cmNone)));
      EXPECT_TRUE(test::SameBytes(ReadWhole(Export.OutputFileName()), Expected));
    }
  }
  EXPECT_TRUE(Ui.Dialog.Shown.empty());

  // The display shows the same lines, the title first.
  Ui.Pane.Lines.clear();
  ASSERT_TRUE(Display());
  TLogExport Reference(Sel, Opt, Fmt, cmDisplay, Ui.Services);
  const std::vector<std::string> Expected =
      LinesByTheRules(Reference, Sel, Opt, Fmt, cmDisplay, true);
  ASSERT_EQ(Ui.Pane.Lines.size(), Expected.size());
  for (std::size_t i = 0; i < Expected.size(); ++i)
    ASSERT_EQ(Ui.Pane.Lines[i].Text, Expected[i]) << i;
}

// A Save on threads that is cancelled, or whose writing fails part way,
// ends as one without threads: the old file kept, nothing left beside it.
TEST_F(LogExportTest, CancelledOrFailedLargeSaveOnThreadsKeepsTheOldFile) {
  std::vector<std::vector<std::uint16_t>> Recs(30000, {Raw(1.5, 1)});
  test::WriteBinaryLog(Dir / "long.log", "LONG", 1990, 6, 1, 60, {{"V", 1.0, 0.0, 1}}, Recs);
  LoadAll(Dir / "long.log");
  Opt.AppendData = false;
  WriteWhole(Dir / "LONG.PRN", "old content\r\n");

  test::TFakeBusy Busy;
  Busy.CancelAtStep = 3;
  TUiServices Services{Ui.Dialog, Ui.Status, Ui.Pane, Busy};
  TLogExport Export(Sel, Opt, Fmt, cmNone, Services);
  Export.SetFormatThreads(3);
  EXPECT_FALSE(Export.ConvertLogToText(","));
  EXPECT_EQ(Busy.Steps, 3);
  EXPECT_EQ(ReadWhole(Dir / "LONG.PRN"), "old content\r\n");
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"LONG.PRN", "long.log"}));

  // Under a file-size limit, as a full disk stops it, in a process of its own.
  const pid_t Pid = ::fork();
  if (Pid == 0) {
    SetUpProcessSignals();
    struct rlimit Limit {
      100000, 100000
    };
    ::setrlimit(RLIMIT_FSIZE, &Limit);
    test::TFakeUi Quiet;
    TLogExport Failing(Sel, Opt, Fmt, cmNone, Quiet.Services);
    Failing.SetFormatThreads(3);
    const bool Saved = Failing.ConvertLogToText(",");
    const bool OneError = Quiet.Dialog.Shown.size() == 1 &&
                          Quiet.Dialog.Shown[0].Text == "Error closing Log Output file.";
    ::_exit(!Saved && OneError ? 0 : 1);
  }
  int Status = -1;
  ::waitpid(Pid, &Status, 0);
  EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0);
  EXPECT_EQ(ReadWhole(Dir / "LONG.PRN"), "old content\r\n");
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"LONG.PRN", "long.log"}));
}

} // namespace
} // namespace quorvin

namespace quorvin {
namespace {

std::size_t ThreadsOfProcess() {
  return static_cast<std::size_t>(
      std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                    std::filesystem::directory_iterator()));
}

// Counts the process's threads at each step of the work.
class TThreadCounter : public IBusyCursor {
public:
  std::size_t Most = 0;
  void Begin() override {}
  bool Step(long long, long long) override {
    Most = std::max(Most, ThreadsOfProcess());
    return false;
  }
  void End() override {}
};

// A large Save takes its formatting threads from the process's budget: none
// while other work (the other files of a batch) holds every core.
TEST_F(LogExportTest, LargeSaveTakesItsThreadsFromTheProcessBudget) {
  std::vector<std::vector<std::uint16_t>> Recs(30000, {Raw(1.5, 1)});
  test::WriteBinaryLog(Dir / "long.log", "LONG", 1990, 6, 1, 60, {{"V", 1.0, 0.0, 1}}, Recs);
  LoadAll(Dir / "long.log");
  auto ThreadsDuringSave = [&] {
    TThreadCounter Counter;
    TUiServices Services{Ui.Dialog, Ui.Status, Ui.Pane, Counter};
    TLogExport Export(Sel, Opt, Fmt, cmNone, Services);
    EXPECT_TRUE(Export.ConvertLogToText(","));
    return Counter.Most;
  };
  const std::size_t Before = ThreadsOfProcess();
  const unsigned Free = ProcessThreads().Free();
  ProcessThreads().TakeAnyway(Free);
  EXPECT_EQ(ThreadsDuringSave(), Before);
  ProcessThreads().Give(Free);
  EXPECT_EQ(ThreadsDuringSave(), Before + std::min(Free, UsableCores() - 1));
  EXPECT_EQ(ProcessThreads().Free(), Free);
}

} // namespace
} // namespace quorvin
