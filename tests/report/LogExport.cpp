#include "report/LogExport.h"

#include <gtest/gtest.h>

#include "ExportFixtures.h"
#include "report/Formatting.h"
#include "support/FakeUi.h"

namespace quorvin {
namespace {

using test::CrLf;
using test::Raw;
using test::ReadFile;
using test::TGenSensor;
using test::WriteFile;

constexpr std::uint16_t NR = 0xFFFF;

class LogExportTest : public ::testing::Test {
protected:
  test::TScratchDir Dir;
  test::TFakeUi Ui;
  TLogSelection Sel;
  TLogPrnOptions Opt;
  TDateTimeFormat Fmt;
  std::string OutputName;

  LogExportTest() { SetDateTimeFormat(Fmt, "MM/DD/YY HH:MM:SS"); }

  void Load(const std::string& Path) {
    Sel.LogFileChange(PageLogPrn, Path);
    Sel.edtFilenameExit(PageLogPrn, Ui.Services);
    ASSERT_TRUE(Sel.LogLoaded()) << Path;
  }

  // The example log: STAGE (2 digits, slope 1) and RAIN (1 digit, slope
  // 0.01) every 15 minutes on 1998-03-05, the range cut to 14:00 - 14:15.
  void LoadExample() {
    std::vector<std::vector<std::uint16_t>> Recs(58, {Raw(1.0, 2), Raw(0.5, 1)});
    Recs[56] = {Raw(1.23, 2), Raw(0.0, 1)};
    Recs[57] = {Raw(1.25, 2), NR};
    test::WriteBinaryLog(Dir / "site1.log", "SITE1", 1998, 3, 5, 900,
                         {{"STAGE", 1.0, 0.0, 2}, {"RAIN", 0.01, 0.0, 1}}, Recs);
    Sel.SelectAllClick(true);
    Load(Dir / "site1.log");
    Sel.StartTime = PartsToSecs(1998, 3, 5, 14, 0, 0);
    Sel.EndTime = PartsToSecs(1998, 3, 5, 14, 15, 0);
  }

  bool Run(int Mode) {
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
  EXPECT_EQ(ReadFile(OutputName), CrLf({
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
  EXPECT_EQ(ReadFile(OutputName), CrLf({
                                      "\"DATE\",\"TIME\",\"STAGE\",\"RAIN\"",
                                      "\"SLOPE\",,1.00,0.0",
                                      "\"OFFSET\",,0.00,0.0",
                                      "\"RIGHTDIGITS\",,2,1",
                                      "03/05/98,14:00:00,1.23,0.0",
                                      "03/05/98,14:15:00,1.25,-.-",
                                  }));
  EXPECT_TRUE(Ui.Dialog.Shown.empty());
  // Replacing left no temporary file behind.
  EXPECT_EQ(Dir.Files(), (std::vector<std::string>{"SITE1.PRN", "site1.log"}));
}

TEST_F(LogExportTest, SavedR600LayoutStartsWithTitleAndBlanksLaterDates) {
  LoadExample();
  Opt.AppendData = false;
  Opt.R600ASCII = true;
  Opt.DisplayFixedFormat = true;
  ASSERT_TRUE(Save());
  EXPECT_EQ(ReadFile(OutputName), CrLf({
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
  EXPECT_EQ(ReadFile(OutputName), CrLf({
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
  EXPECT_EQ(Dir.Files(), (std::vector<std::string>{"site1.log"}));

  // EXCEL displayed: blank-separated fields without padding.
  Ui.Pane.Clear();
  Opt.OutputFormat = OutputFormatExcel;
  Opt.R600ASCII = true;
  ASSERT_TRUE(Display());
  EXPECT_EQ(Ui.Pane.Text(), "R630/R600 DATA FROM: SITE1 DATE: 03/05/98 TO 03/05/98\n"
                            "\n"
                            "DATE TIME STAGE RAIN\n"
                            "03/05/98 14:00:00 1.23 0.0\n"
                            "         14:15:00 1.25 -.-\n");
}

} // namespace
} // namespace quorvin
