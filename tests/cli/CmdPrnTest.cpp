// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli prn end to end: a generated log in a scratch folder, the
// command run in-process, and the whole output compared byte for byte.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <sstream>

#include "CliRun.h"
#include "generators/LogGen.h"

namespace quorvin::test {
namespace {

namespace fs = std::filesystem;

class CmdPrn : public ::testing::Test {
protected:
  TScratchDir Scratch;
  fs::path Dir{Scratch.Path()};
  std::string Log;

  void SetUp() override {
    // Two sensors every six hours from 1998-03-05 00:00, five records.
    TGenLog L;
    L.UnitName = "site1";
    L.Year = 1998;
    L.Month = 3;
    L.Day = 5;
    L.IntervalHours = 6;
    L.IntervalMinutes = 0;
    L.Sensors = {{"STAGE", 1.0, 0.0, 2}, {"RAIN", 0.01, 0.0, 1}};
    Log = (Dir / "site1.log").string();
    WriteWhole(Log, LogFileBytes(L, 5, [](long long K, int I) -> std::uint16_t {
                 if (I == 0) return static_cast<std::uint16_t>(32767 + 123 + K);
                 return K == 1 ? 0xFFFF : static_cast<std::uint16_t>(32767 + K);
               }));
  }
  TRun Cli(std::vector<std::string> Args) {
    std::vector<std::string> Full = {"--set", "DateTimeFormat=MM/DD/YY HH:MM:SS", "--set",
                                     "UseSysFormat=NO"};
    Full.insert(Full.end(), Args.begin(), Args.end());
    return RunCliWithIni((Dir / "none.ini").string(), Full);
  }
  std::string Prn() const { return ReadWhole((Dir / "SITE1.PRN").string()); }
};

const char* const FixedText = "\"DATE\"        \"TIME\"  \"STAGE\"   \"RAIN\"\r\n"
                              "\"SLOPE\"                  1.00      0.0\r\n"
                              "\"OFFSET\"                 0.00      0.0\r\n"
                              "\"RIGHTDIGITS\"               2        1\r\n"
                              "03/05/98    00:00:00     1.23      0.0\r\n"
                              "03/05/98    06:00:00     1.24      -.-\r\n"
                              "03/05/98    12:00:00     1.25      0.2\r\n"
                              "03/05/98    18:00:00     1.26      0.3\r\n"
                              "03/06/98    00:00:00     1.27      0.4\r\n"
                              "03/06/98    06:00:00     -.--      -.-\r\n";

TEST_F(CmdPrn, SavesFixedColumnsBesideTheLog) {
  TRun R = Cli({"--set", "DisplayFixedFormat=YES", "prn", Log});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Out, "");
  EXPECT_EQ(R.Err, "status: Log written to " + (Dir / "SITE1.PRN").string() + ".\n");
  EXPECT_EQ(Prn(), FixedText);
}

TEST_F(CmdPrn, SavesSeparatedFieldsAndAppendsOnlyData) {
  ASSERT_EQ(Cli({"prn", Log, "--end", "1998-03-05"}).Code, 0);
  const std::string First = "\"DATE\",\"TIME\",\"STAGE\",\"RAIN\"\r\n"
                            "\"SLOPE\",,1.00,0.0\r\n"
                            "\"OFFSET\",,0.00,0.0\r\n"
                            "\"RIGHTDIGITS\",,2,1\r\n"
                            "03/05/98,00:00:00,1.23,0.0\r\n"
                            "03/05/98,06:00:00,1.24,-.-\r\n"
                            "03/05/98,12:00:00,1.25,0.2\r\n"
                            "03/05/98,18:00:00,1.26,0.3\r\n";
  EXPECT_EQ(Prn(), First);
  // AppendData is on by default: a second save adds data lines only.
  ASSERT_EQ(Cli({"prn", Log, "--start", "1998-03-06", "--sensors", "2"}).Code, 0);
  EXPECT_EQ(Prn(), First + "03/06/98,00:00:00,0.4\r\n03/06/98,06:00:00,-.-\r\n");
  // Without it the file is replaced, header first (a key in any letter case).
  ASSERT_EQ(
      Cli({"--set", "appenddata=no", "prn", Log, "--sensors", "rain", "--start", "1998-03-06"})
          .Code,
      0);
  EXPECT_EQ(Prn(), "\"DATE\",\"TIME\",\"RAIN\"\r\n\"SLOPE\",,0.0\r\n\"OFFSET\",,0.0\r\n"
                   "\"RIGHTDIGITS\",,1\r\n03/06/98,00:00:00,0.4\r\n03/06/98,06:00:00,-.-\r\n");
}

TEST_F(CmdPrn, DisplayShowsTheTitleAndFixedColumns) {
  TRun R = Cli({"--set", "DisplayAsZero=YES", "--set", "DisplayAsDash=NO", "prn", Log, "--display",
                "--start", "1998-03-06"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Err, "");
  EXPECT_EQ(R.Out, "R630/R600 DATA FROM: SITE1 DATE: 03/06/98 TO 03/06/98\n"
                   "\n"
                   "\"DATE\",       \"TIME\", \"STAGE\",  \"RAIN\"\n"
                   "\"SLOPE\",            ,    1.00,     0.0\n"
                   "\"OFFSET\",           ,    0.00,     0.0\n"
                   "\"RIGHTDIGITS\",      ,       2,       1\n"
                   "03/06/98,   00:00:00,    1.27,     0.4\n"
                   "03/06/98,   06:00:00,    0.00,     0.0\n");
  EXPECT_FALSE(fs::exists(Dir / "SITE1.PRN"));
}

TEST_F(CmdPrn, R600LayoutImpliesFixedColumnsAndWritesTheTitle) {
  TRun R = Cli({"--set", "R600ASCII=YES", "prn", Log, "--end", "1998-03-05"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(Prn(), "R630/R600 DATA FROM: SITE1 DATE: 03/05/98 TO 03/05/98\r\n"
                   "\r\n"
                   "DATE       TIME     STAGE      RAIN      \r\n"
                   "---------- -------- ---------- ----------\r\n"
                   "03/05/98   00:00:00       1.23        0.0\r\n"
                   "           06:00:00       1.24        -.-\r\n"
                   "           12:00:00       1.25        0.2\r\n"
                   "           18:00:00       1.26        0.3\r\n");
}

TEST_F(CmdPrn, FailuresAreReportedWithTheWindowsTexts) {
  TRun Missing = Cli({"prn", (Dir / "none.log").string()});
  EXPECT_EQ(Missing.Code, 1);
  EXPECT_EQ(Missing.Err, "error: File does not exist or is invalid. Please select another file.\n"
                         "status: Error! Please select a valid file.\n");

  WriteWhole((Dir / "bad.log").string(), "short");
  TRun Bad = Cli({"prn", (Dir / "bad.log").string(), "--display"});
  EXPECT_EQ(Bad.Code, 1);
  EXPECT_EQ(Bad.Err.rfind("error: Unble to open file or read header.  Check file format.\n", 0),
            0u);

  WriteWhole((Dir / "x.dat").string(), "x");
  EXPECT_EQ(Cli({"prn", (Dir / "x.dat").string()}).Err,
            "error: File is invalid. Please select another file.\n"
            "status: Error! Please select a valid file.\n");

  TRun None = Cli({"prn", Log, "--display", "--sensors", "none"});
  EXPECT_EQ(None.Code, 0);
  EXPECT_EQ(None.Err, "status: No sensors selected to display.\n");

  // Display checks the date range; Save does not.
  TRun Dates = Cli({"prn", Log, "--display", "--start", "1998-03-06", "--end", "1998-03-05"});
  EXPECT_EQ(Dates.Code, 1);
  EXPECT_EQ(Dates.Err, "status: Error: Please check the start date and the end date.\n");
  EXPECT_EQ(Dates.Out, "");
}

TEST_F(CmdPrn, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Cli({"prn"}).Code, 2);
  EXPECT_EQ(Cli({"prn", Log, "--start", "1998-02-30"}).Code, 2);
  EXPECT_EQ(Cli({"prn", Log, "--sensors", "3"}).Code, 2);
  EXPECT_EQ(Cli({"prn", Log, "--bogus"}).Code, 2);
  EXPECT_EQ(Cli({"--set", "NoSuchKey=1", "prn", Log}).Code, 2);
  // Days a log time cannot hold, and values the settings file would replace
  // by a default, are refused rather than wrapped or ignored.
  for (std::vector<std::string> Args : {std::vector<std::string>{"prn", Log, "--end", "2099-12-31"},
                                        {"prn", Log, "--start", "2053-01-18"},
                                        {"prn", Log, "--start", "1984-12-30"},
                                        {"--set", "DisplayFixedFormat=MAYBE", "prn", Log},
                                        {"--set", "OutputFormat=garbage", "prn", Log},
                                        {"--set", "BackgroundColor=clNope", "prn", Log},
                                        {"--set", "DateTimeFormat=ZZZZ", "prn", Log}})
    EXPECT_EQ(Cli(Args).Code, 2) << Args[1] << Args.back();
  EXPECT_EQ(Cli({"prn", Log, "--end", "2099-12-31"}).Err,
            "--end takes a date from 1984-12-31 to 2053-01-17: 2099-12-31 (usage: quorvin-cli prn "
            "LOG... [--sensors LIST] [--start YYYY-MM-DD] [--end YYYY-MM-DD] [--display])\n");
  EXPECT_EQ(Cli({"--set", "OutputFormat=garbage", "prn", Log}).Err.substr(0, 60),
            "--set OutputFormat takes one of TEXT, EXCEL, not \"garbage\" (");
  // What the file's reading recognises, in any letter case, still goes.
  for (const char* Set : {"DisplayFixedFormat=yes", "OutputFormat=text", "BackgroundColor=clNavy",
                          "DateTimeFormat=mm/dd/yyyy hh:mm:ss", "RAMDirectory=anything"})
    EXPECT_EQ(Cli({"--yes", "--set", Set, "prn", Log, "--end", "2053-01-17"}).Code, 0) << Set;
  // The first day a log time holds, where logs with a pre-1985 start year begin.
  EXPECT_EQ(Cli({"prn", Log, "--start", "1984-12-31", "--end", "1985-01-01"}).Code, 0);
}

} // namespace
} // namespace quorvin::test

namespace quorvin::test {
namespace {

TEST_F(CmdPrn, HeaderShowsTheLogHeaderInThePatternsOfTheFormat) {
  TRun R = Cli({"header", Log});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Err, "");
  EXPECT_EQ(R.Out, "R630/R600 LOG HEADER FROM: SITE1\n"
                   "\n"
                   "Version           : 3\n"
                   "Unit Name         : site1\n"
                   "Start Date        : 03/05/98\n"
                   "Log Time          : 00:00:00\n"
                   "Logging Interval  : 06:00:00\n"
                   "Record Size       : 4\n"
                   "Number of Days    : 1\n"
                   "Total Length      : 0\n"
                   "Day Length        : 0\n"
                   "Data Length       : 0\n"
                   "Number of Sensors : 2\n"
                   "Description Length: 54\n"
                   "Sensor Info Length: 28\n");
  EXPECT_EQ(Cli({"header"}).Code, 2);
  TRun Missing = Cli({"header", (Dir / "gone.log").string()});
  EXPECT_EQ(Missing.Code, 1);
  EXPECT_EQ(Missing.Out, "");
}

} // namespace
} // namespace quorvin::test

namespace quorvin::test {
namespace {

TEST_F(CmdPrn, SystemFormatTakesTheLocalesSeparatorsButNeverItsDecimalPoint) {
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale on this machine";
  TRun Sys = Cli({"--set", "UseSysFormat=YES", "prn", Log, "--end", "1998-03-05"});
  TRun Fixed = Cli({"prn", Log, "--end", "1998-03-05"});
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(Sys.Code, 0);
  std::string Text = Prn();
  EXPECT_NE(Text.find("03.05.98,00:00:00,1.23,0.0\r\n"), std::string::npos) << Text;
  EXPECT_EQ(Fixed.Code, 0);
}

} // namespace
} // namespace quorvin::test

namespace quorvin::test {
namespace {

TEST_F(CmdPrn, SampleLogThroughTheProgram) {
  TRun R = RunCliProgram((Dir / "none.ini").string(), {"header", ExamplesDir() + "/SITE1.LOG"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Out, "R630/R600 LOG HEADER FROM: SITE1\n"
                   "\n"
                   "Version           : 3\n"
                   "Unit Name         : SITE1\n"
                   "Start Date        : 051424\n"
                   "Log Time          : 0000\n"
                   "Logging Interval  : 0015\n"
                   "Record Size       : 8\n"
                   "Number of Days    : 3\n"
                   "Total Length      : 2470\n"
                   "Day Length        : 768\n"
                   "Data Length       : 2304\n"
                   "Number of Sensors : 4\n"
                   "Description Length: 54\n"
                   "Sensor Info Length: 28\n");
}

} // namespace
} // namespace quorvin::test
