// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LogSelection.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/Captions.h"
#include "generators/LogGen.h"
#include "logdata/CSVFile.h"
#include "logdata/LogFile.h"
#include "support/FakeUi.h"

namespace quorvin {
namespace {

using test::Raw;
using test::WriteWhole;

// Records what the window would show.
class TFakeSelectionView : public ISelectionView {
public:
  std::vector<std::string> Calls;
  std::vector<std::string> Sensors;
  std::vector<bool> Checks;
  bool SelectAll = false;

  void FileNameShown(int Page, const std::string& Text) override {
    Calls.push_back("name " + std::to_string(Page) + " " + Text);
  }
  void FocusFileName(int Page) override { Calls.push_back("focus " + std::to_string(Page)); }
  void SensorsCleared() override {
    Sensors.clear();
    Checks.clear();
  }
  void SensorAdded(const std::string& Name) override {
    Sensors.push_back(Name);
    Checks.push_back(false);
  }
  void SensorCheckShown(int Index, bool Checked) override {
    Checks.at(static_cast<std::size_t>(Index)) = Checked;
  }
  void SelectAllShown(bool Checked) override { SelectAll = Checked; }
  void FirstSensorHighlighted() override { Calls.push_back("highlight"); }
  void StartPickerShown(int Page, TDateTime) override {
    Calls.push_back("start " + std::to_string(Page));
  }
  void EndPickerShown(int Page, TDateTime) override {
    Calls.push_back("end " + std::to_string(Page));
  }
  void DtFormatShown(int Page, int Index) override {
    Calls.push_back("format " + std::to_string(Page) + " " + std::to_string(Index));
  }
};

class LogSelectionTest : public ::testing::Test {
protected:
  test::TScratchDir Dir;
  test::TFakeUi Ui;
  TFakeSelectionView View;
  TLogSelection Sel;

  LogSelectionTest() { Sel.AttachView(&View); }

  void Enter(const std::string& Name, int Page = PageLogPrn) {
    Sel.LogFileChange(Page, Name);
    Sel.edtFilenameExit(Page, Ui.Services);
  }
  std::string BinaryLog() {
    test::WriteBinaryLog(Dir / "site1.a.log", "UNIT", 1999, 3, 1, 600,
                         {{"TEMP", 1.5, -2.0, 1}, {"RAIN", 1.0, 0.0, 2}, {"NOTE", 1, 0, 0}},
                         {{Raw(1, 1), Raw(1, 2), 0}, {Raw(1, 1), Raw(1, 2), 0}});
    return Dir / "site1.a.log";
  }
};

TEST_F(LogSelectionTest, BinaryLogFillsSensorsAndRangeAndFollowsSelectAll) {
  Sel.SelectAllClick(true);
  Enter(BinaryLog(), PageLogPlot);
  EXPECT_TRUE(Sel.FileValid);
  ASSERT_NE(dynamic_cast<TLogFile*>(Sel.Log.get()), nullptr);
  EXPECT_EQ(Sel.Log->DisplayName(), "SITE1");
  EXPECT_EQ(Sel.LogFileDir, Dir.Path() + "/");
  ASSERT_EQ(Sel.SensorChoiceCount(), 3);
  EXPECT_EQ(Sel.SensorChoices[0].FullName, "UNIT.TEMP");
  EXPECT_EQ(Sel.SensorChoices[0].ShortName, "TEMP");
  EXPECT_EQ(Sel.SensorChoices[0].RightDigits, 1);
  EXPECT_EQ(Sel.SensorChoices[0].Slope, 1.5f);
  EXPECT_EQ(Sel.SensorChoices[0].Offset, -2.0f);
  EXPECT_EQ(View.Sensors, (std::vector<std::string>{"UNIT.TEMP", "UNIT.RAIN", "UNIT.NOTE"}));
  EXPECT_EQ(View.Checks, (std::vector<bool>{true, true, true}));
  EXPECT_EQ(Sel.CheckedSensorCount, 3);
  EXPECT_EQ(Sel.StartTime, PartsToSecs(1999, 3, 1, 0, 0, 0));
  EXPECT_EQ(Sel.EndTime, PartsToSecs(1999, 3, 1, 0, 20, 0));
  EXPECT_EQ(Sel.LogInterval, 600);
  EXPECT_EQ(Sel.GridOffset, 0);
  EXPECT_EQ(Sel.LogTitleName, "UNIT");
  EXPECT_EQ(Sel.StartDate, SecsToDateTime(Sel.StartTime));
  // The other two boxes took the name; all six pickers the range.
  EXPECT_EQ(View.Calls,
            (std::vector<std::string>{"name 0 " + Dir / "site1.a.log",
                                      "name 2 " + Dir / "site1.a.log", "start 0", "end 0",
                                      "start 1", "end 1", "start 2", "end 2", "highlight"}));

  // Unchecking one leaves the others and lowers the count; select-all clears.
  Sel.CheckSensorsClick(1, false);
  EXPECT_FALSE(Sel.SelectAll);
  EXPECT_FALSE(View.SelectAll);
  EXPECT_EQ(Sel.CheckedSensorCount, 2);
  EXPECT_EQ(View.Checks, (std::vector<bool>{true, false, true}));
  // Leaving the name unchanged does not reload nor reset the checks.
  Sel.edtFilenameExit(PageLogPrn, Ui.Services);
  EXPECT_EQ(Sel.CheckedSensorCount, 2);
  EXPECT_FALSE(Sel.SensorChoices[1].Checked);
  // A change of the box (even to the same text) does.
  Enter(Sel.LogFileName);
  EXPECT_EQ(Sel.CheckedSensorCount, 0);
  EXPECT_EQ(View.Checks, (std::vector<bool>{false, false, false}));
  EXPECT_TRUE(Ui.Dialog.Shown.empty());
}

TEST_F(LogSelectionTest, CsvLogStartsWithItsFirstSensorOnlyAndItsGridOffset) {
  WriteWhole(Dir / "a.b.TXT", "03/01/1999,00:07:00,T,1.5,C,G\r\n03/01/1999,00:22:00,T,1.6,C,G\r\n"
                              "03/01/1999,00:07:00,U,7,,G\r\n03/01/1999,00:37:00,U,8,,G\r\n");
  Sel.SelectAllClick(true);
  Enter(Dir / "a.b.TXT");
  ASSERT_NE(dynamic_cast<TCSVLogFile*>(Sel.Log.get()), nullptr);
  EXPECT_EQ(Sel.Log->DisplayName(), "A");
  EXPECT_FALSE(Sel.SelectAll);
  EXPECT_EQ(Sel.CheckedSensorCount, 1);
  EXPECT_EQ(View.Checks, (std::vector<bool>{true, false}));
  EXPECT_EQ(Sel.SensorChoices[0].Units, "C");
  EXPECT_EQ(Sel.SensorChoices[0].ShortName, "T");
  EXPECT_EQ(Sel.SensorChoices[0].RightDigits, 1);
  EXPECT_EQ(Sel.LogInterval, 900);
  EXPECT_EQ(Sel.StartTime, PartsToSecs(1999, 3, 1, 0, 7, 0));
  EXPECT_EQ(Sel.EndTime, PartsToSecs(1999, 3, 1, 0, 22, 0));
  EXPECT_EQ(Sel.GridOffset, 420);
  EXPECT_EQ(Sel.LogTitleName, Dir / "a.b.TXT");

  // A picked start day begins at the grid offset, an end day ends at 23:59:59.
  View.Calls.clear();
  Sel.dtpStartChange(PageLogStat, EncodeDate(1999, 3, 2) + 0.75);
  Sel.dtpEndChange(PageLogPrn, EncodeDate(1999, 3, 2) + 0.25);
  EXPECT_EQ(Sel.StartTime, PartsToSecs(1999, 3, 2, 0, 7, 0));
  EXPECT_EQ(Sel.EndTime, PartsToSecs(1999, 3, 2, 23, 59, 59));
  EXPECT_EQ(View.Calls, (std::vector<std::string>{"start 0", "start 1", "end 1", "end 2"}));
  // The same day passes the date check; a start after the end does not.
  EXPECT_TRUE(Sel.CheckDateRange(Ui.Services));
  Sel.dtpStartChange(PageLogPrn, EncodeDate(1999, 3, 3));
  EXPECT_FALSE(Sel.CheckDateRange(Ui.Services));
  EXPECT_EQ(Ui.Status.Panels[1], "Error: Please check the start date and the end date.");
}

TEST_F(LogSelectionTest, BadNamesAndFilesGiveTheirDialogs) {
  Enter(Dir / "missing.log", PageLogStat);
  EXPECT_FALSE(Sel.FileValid);
  ASSERT_EQ(
      Ui.Dialog.Texts(),
      (std::vector<std::string>{"File does not exist or is invalid. Please select another file."}));
  EXPECT_EQ(Ui.Dialog.Shown[0].Kind, TMsgKind::Error);
  EXPECT_EQ(View.Calls.back(), "focus 2");

  WriteWhole(Dir / "data.dat", "x");
  Enter(Dir / "data.dat");
  EXPECT_FALSE(Sel.FileValid);
  EXPECT_EQ(Ui.Dialog.Texts().back(), "File is invalid. Please select another file.");

  // A good log, then one that does not open (binary or CSV): the dialog, and
  // no log selected, also when the unchanged name is left again.
  for (const char* Bad : {"short.log", "short.csv"}) {
    Sel.SelectAllClick(true);
    Enter(BinaryLog());
    ASSERT_TRUE(Sel.FileValid);
    WriteWhole(Dir / Bad, std::string(30, '\0'));
    Enter(Dir / Bad);
    Sel.edtFilenameExit(PageLogPrn, Ui.Services);
    EXPECT_FALSE(Sel.FileValid) << Bad;
    EXPECT_FALSE(Sel.LogLoaded()) << Bad;
    EXPECT_EQ(Ui.Dialog.Texts().back(), "Unble to open file or read header.  Check file format.");
    EXPECT_TRUE(View.Sensors.empty()) << Bad;
    EXPECT_EQ(Sel.SensorChoiceCount(), 0) << Bad;
    EXPECT_EQ(Sel.CheckedSensorCount, 0) << Bad;
  }

  // A log without sensors loads, with a warning.
  test::WriteBinaryLog(Dir / "none.log", "NONE", 1999, 3, 1, 600, {}, {});
  Enter(Dir / "none.log");
  EXPECT_TRUE(Sel.LogLoaded());
  EXPECT_EQ(Ui.Dialog.Shown.back().Kind, TMsgKind::Warning);
  EXPECT_EQ(Ui.Dialog.Texts().back(), "No sensors in Log file.");

  // An empty name empties the lists and clears select-all.
  Sel.SelectAllClick(true);
  Enter("");
  EXPECT_FALSE(Sel.FileValid);
  EXPECT_FALSE(Sel.SelectAll);
  EXPECT_TRUE(View.Sensors.empty());
}

TEST_F(LogSelectionTest, ChecksFromTheLogPrnListAndFirstSensorOnly) {
  Enter(BinaryLog());
  EXPECT_EQ(Sel.CheckedSensorCount, 0);
  Sel.chklbxSensorsExit({true, false, true, true});
  EXPECT_TRUE(Sel.SensorChoices[0].Checked);
  EXPECT_TRUE(Sel.SensorChoices[2].Checked);
  EXPECT_EQ(Sel.CheckedSensorCount, 0); // not recomputed
  Sel.CheckFirstSensorOnly();
  EXPECT_EQ(Sel.CheckedSensorCount, 1);
  EXPECT_EQ(View.Checks, (std::vector<bool>{true, false, false}));
  Sel.CheckSensorsClick(7, true); // no such item
  EXPECT_EQ(Sel.CheckedSensorCount, 1);
}

TEST_F(LogSelectionTest, DateFormatChoiceSetsTheOneFormatAndTheOtherLists) {
  TDateTimeFormat Format;
  Sel.DtFormatChange(PageLogPrn, "MM/DD/YYYY HH:MM", Format);
  EXPECT_EQ(Format.DatePattern, "MM/DD/YYYY");
  EXPECT_EQ(Format.TimePattern, "HH:MM");
  EXPECT_EQ(Sel.DtFormatSelection, (std::array<int, 3>{7, -1, -1}));
  EXPECT_EQ(View.Calls, (std::vector<std::string>{"format 1 -1", "format 2 -1"}));
  Sel.DtFormatChange(PageLogPlot, "YYYY/MM/DD HH:MM:SS", Format);
  EXPECT_EQ(Sel.DtFormatSelection, (std::array<int, 3>{9, 8, 8}));
  // The DDR list sets the format but leaves the log lists alone.
  View.Calls.clear();
  Sel.DtFormatChange(PageDDRLog, "DDMMYY HHMM", Format);
  EXPECT_EQ(Format.DatePattern, "DDMMYY");
  EXPECT_EQ(Sel.DtFormatSelection, (std::array<int, 3>{9, 8, 8}));
  EXPECT_TRUE(View.Calls.empty());
}

TEST_F(LogSelectionTest, LogsThatAreNotRegularFilesAreRefused) {
  ASSERT_EQ(::mkfifo((Dir / "x.LOG").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", Dir / "zero.csv");
  for (const char* Name : {"x.LOG", "zero.csv"}) {
    SCOPED_TRACE(Name);
    test::TFakeUi Fresh;
    Sel.LogFileChange(PageLogPrn, Dir / Name);
    Sel.edtFilenameExit(PageLogPrn, Fresh.Services);
    EXPECT_FALSE(Sel.LogLoaded());
    EXPECT_EQ(Fresh.Dialog.Texts(), std::vector<std::string>{"Unble to open file or read "
                                                             "header.  Check file format."});
  }
}

TEST(DtFormatNames, ListsHoldTheNamesInOrderAndLookupIgnoresCase) {
  EXPECT_EQ(captions::LogPrnDtFormatNames[7], "MM/DD/YYYY HH:MM");
  for (std::size_t i = 0; i < captions::OtherDtFormatNames.size(); ++i)
    EXPECT_EQ(captions::OtherDtFormatNames[i], captions::LogPrnDtFormatNames[i < 7 ? i : i + 1]);
  EXPECT_EQ(DtFormatIndex(captions::LogPrnDtFormatNames, "mm/dd/yyyy hh:mm"), 7);
  EXPECT_EQ(DtFormatIndex(captions::OtherDtFormatNames, "MM/DD/YYYY HH:MM"), -1);
  EXPECT_EQ(DtFormatIndex(captions::OtherDtFormatNames, "YYYY/MM/DD HH:MM:SS"), 8);
}

} // namespace
} // namespace quorvin
