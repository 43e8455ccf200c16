// SPDX-License-Identifier: GPL-3.0-or-later
// The three log pages show one selection: a file chosen, a sensor checked,
// a date or a date format picked on any of them shows on the other two.
#include <QPushButton>

#include "WindowFixture.h"

namespace quorvin::gui::test {
namespace {

using namespace captions;

class SelectionTest : public WindowTest {
protected:
  QListWidget* Sensors(int P) {
    static const char* const Names[] = {"chklbxSensors", "chklbxSensors2", "chklbxSensors3"};
    return Find<QListWidget>(Names[P]);
  }
  QCheckBox* SelectAll(int P) {
    static const char* const Names[] = {"chkSelectAll", "chkSelectAll2", "chkSelectAll3"};
    return Find<QCheckBox>(Names[P]);
  }
  QDateEdit* Picker(const char* Kind, int P) {
    const std::string Name = std::string(Kind) + (P == 0 ? "" : std::to_string(P + 1));
    return Find<QDateEdit>(Name.c_str());
  }
  QComboBox* Formats(int P) {
    static const char* const Names[] = {"cbxDtFormat", "cbxDtFormat2", "cbxDtFormat3"};
    return Find<QComboBox>(Names[P]);
  }
  std::vector<Qt::CheckState> Checks(int P) {
    std::vector<Qt::CheckState> R;
    for (int I = 0; I < Sensors(P)->count(); ++I) R.push_back(Sensors(P)->item(I)->checkState());
    return R;
  }
};

TEST_F(SelectionTest, ALogChosenOnOnePageFillsAllThree) {
  Start();
  Page(PageLogPlot);
  FileDialog.Answers.push_back(Copy("SITE1.LOG"));
  Find<QPushButton>("btnBrowse2")->click();
  for (int P = 0; P < LogPageCount; ++P) {
    SCOPED_TRACE(P);
    const char* Boxes[] = {"edtFilename", "edtFilename2", "edtFilename3"};
    EXPECT_EQ(Find<QLineEdit>(Boxes[P])->text().toStdString(), (Dir / "SITE1.LOG"));
    ASSERT_EQ(Sensors(P)->count(), 4);
    EXPECT_EQ(Sensors(P)->item(0)->text(), "SITE1.TEMP");
    EXPECT_EQ(Sensors(P)->item(3)->text(), "SITE1.BATT");
    EXPECT_EQ(Sensors(P)->currentRow(), 0);
    // A binary log with select-all off starts with no sensor checked.
    EXPECT_EQ(Checks(P), std::vector<Qt::CheckState>(4, Qt::Unchecked));
    EXPECT_EQ(Picker("dtpStart", P)->date(), QDate(2024, 5, 14));
    EXPECT_EQ(Picker("dtpEnd", P)->date(), QDate(2024, 5, 17));
  }
}

TEST_F(SelectionTest, SensorChecksAndSelectAllShowOnEveryPage) {
  Start();
  OpenThroughDialog(Copy("SITE1.LOG"));
  SelectAll(PageLogPlot)->click();
  for (int P = 0; P < LogPageCount; ++P) {
    EXPECT_TRUE(SelectAll(P)->isChecked());
    EXPECT_EQ(Checks(P), std::vector<Qt::CheckState>(4, Qt::Checked));
  }
  EXPECT_EQ(App().Selection.CheckedSensorCount, 4);
  // Unchecking one sensor clears select-all everywhere and keeps the rest.
  Sensors(PageLogStat)->item(1)->setCheckState(Qt::Unchecked);
  const std::vector<Qt::CheckState> Expected = {Qt::Checked, Qt::Unchecked, Qt::Checked,
                                                Qt::Checked};
  for (int P = 0; P < LogPageCount; ++P) {
    EXPECT_FALSE(SelectAll(P)->isChecked());
    EXPECT_EQ(Checks(P), Expected);
  }
  EXPECT_EQ(App().Selection.CheckedSensorCount, 3);
}

TEST_F(SelectionTest, ACSVLogStartsWithItsFirstSensorOnly) {
  Start();
  SelectAll(PageLogPrn)->click();
  OpenThroughDialog(Copy("site2.csv"));
  for (int P = 0; P < LogPageCount; ++P) {
    EXPECT_FALSE(SelectAll(P)->isChecked());
    ASSERT_GT(Sensors(P)->count(), 1);
    EXPECT_EQ(Sensors(P)->item(0)->checkState(), Qt::Checked);
    EXPECT_EQ(Sensors(P)->item(1)->checkState(), Qt::Unchecked);
  }
}

TEST_F(SelectionTest, PickedDatesShowOnThePagesAndSetTheRange) {
  Start();
  OpenThroughDialog(Copy("SITE1.LOG"));
  Page(PageLogStat);
  Picker("dtpStart", PageLogStat)->setFocus(Qt::MouseFocusReason);
  Picker("dtpStart", PageLogStat)->setDate(QDate(2024, 5, 15));
  Picker("dtpEnd", PageLogStat)->setDate(QDate(2024, 5, 16));
  for (int P = 0; P < LogPageCount; ++P) {
    EXPECT_EQ(Picker("dtpStart", P)->date(), QDate(2024, 5, 15));
    EXPECT_EQ(Picker("dtpEnd", P)->date(), QDate(2024, 5, 16));
  }
  EXPECT_EQ(App().Selection.StartTime, PartsToSecs(2024, 5, 15, 0, 0, 0));
  EXPECT_EQ(App().Selection.EndTime, PartsToSecs(2024, 5, 16, 23, 59, 59));
  // Log time 0, where a log with a pre-1985 start year begins, can be picked.
  Picker("dtpStart", PageLogStat)->setDate(QDate(1984, 12, 31));
  EXPECT_EQ(Picker("dtpStart", PageLogPrn)->date(), QDate(1984, 12, 31));
  EXPECT_EQ(App().Selection.StartTime, 0);
}

TEST_F(SelectionTest, AFormatOnlyTheFirstListHoldsLeavesTheOthersBlankAndRulesTheReports) {
  Start();
  const std::string Log = Copy("SITE1.LOG");
  OpenThroughDialog(Log);
  ClickSelectAll();
  Formats(PageLogPrn)->setCurrentText("MM/DD/YYYY HH:MM");
  EXPECT_EQ(Formats(PageLogPlot)->currentIndex(), -1);
  EXPECT_EQ(Formats(PageLogStat)->currentIndex(), -1);
  Trigger(actOptionsDisplay);
  EXPECT_TRUE(PaneText().startsWith("R630/R600 DATA FROM: SITE1 DATE: 05/14/2024 TO 05/17/2024"))
      << PaneText().left(80).toStdString();
  Trigger(actOptionsDisplay);
  // A choice on DDRLOG rules the log reports too; the log lists keep theirs.
  Page(PageDDRLog);
  Find<QComboBox>("cbxDtFormatDDR")->setCurrentText("YY/MM/DD HH:MM:SS");
  Page(PageLogPrn);
  EXPECT_EQ(Formats(PageLogPrn)->currentText(), "MM/DD/YYYY HH:MM");
  // Leaving the DDR file box on the way checked its (empty) name; the log's
  // box is entered again to make it the valid file once more.
  TypeFileName("edtFilename", Log);
  Trigger(actOptionsDisplay);
  EXPECT_TRUE(PaneText().startsWith("R630/R600 DATA FROM: SITE1 DATE: 24/05/14 TO 24/05/17"))
      << PaneText().left(80).toStdString();
  // A name every list holds is selected in all three.
  Formats(PageLogStat)->setCurrentText("DDMMYY HHMM");
  for (int P = 0; P < LogPageCount; ++P) EXPECT_EQ(Formats(P)->currentText(), "DDMMYY HHMM");
}

TEST_F(SelectionTest, R600LayoutChecksAndGreysFixedColumns) {
  Start();
  auto* Layout = Find<QListWidget>("chkFileLayout");
  Layout->item(4)->setCheckState(Qt::Checked);
  EXPECT_EQ(Layout->item(2)->checkState(), Qt::Checked);
  EXPECT_FALSE(Layout->item(2)->flags() & Qt::ItemIsEnabled);
  Layout->item(4)->setCheckState(Qt::Unchecked);
  EXPECT_EQ(Layout->item(2)->checkState(), Qt::Checked);
  EXPECT_TRUE(Layout->item(2)->flags() & Qt::ItemIsEnabled);
  EXPECT_TRUE(App().LogPrn.DisplayFixedFormat);
}

TEST_F(SelectionTest, ATypedNameLoadsWhenTheBoxIsLeftAndAMissingOneIsRefused) {
  Start();
  const std::string Log = Copy("SITE1.LOG");
  TypeFileName("edtFilename", Log);
  EXPECT_EQ(Sensors(PageLogPrn)->count(), 4);
  EXPECT_EQ(Find<QLineEdit>("edtFilename3")->text().toStdString(), Log);
  TypeFileName("edtFilename", (Dir / "missing.log"));
  ASSERT_EQ(Dialog.Texts(), std::vector<std::string>{
                                "File does not exist or is invalid. Please select another file."});
  EXPECT_TRUE(Find<QLineEdit>("edtFilename")->hasFocus());
  // Leaving an emptied box empties the sensor lists; commands then refuse.
  Find<QLineEdit>("edtFilename")->selectAll();
  QTest::keyClick(Find<QLineEdit>("edtFilename"), Qt::Key_Backspace);
  Find<QDateEdit>("dtpStart")->setFocus(Qt::TabFocusReason);
  EXPECT_EQ(Sensors(PageLogPlot)->count(), 0);
  Trigger(actOptionsDisplay);
  EXPECT_EQ(Panel1(), "Error! Please select a valid file.");
}

} // namespace
} // namespace quorvin::gui::test
