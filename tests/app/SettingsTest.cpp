// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Settings.h"
#include "app/LogPrnControls.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/IniFile.h"
#include "support/FakeApp.h"
#include "support/Scratch.h"

namespace quorvin {
namespace {

class SettingsTest : public ::testing::Test {
protected:
  test::TScratchDir Dir;
  std::string IniPath() const { return Dir / "Quorvin.ini"; }
  void WriteIni(const std::string& Text) {
    std::ofstream F(IniPath(), std::ios::binary);
    F << Text;
  }
  std::string ReadIni() const { return test::ReadWhole(IniPath()); }
};

TEST_F(SettingsTest, NoSettingsFileGivesEveryDefault) {
  TIniFile Ini(IniPath());
  test::TFakeApp F;
  TApplication& App = F.App;
  LoadSettings(Ini, App);
  EXPECT_EQ(App.Format.DatePattern, "MMDDYY");
  EXPECT_EQ(App.Format.TimePattern, "HHMM");
  EXPECT_EQ(App.Selection.DtFormatSelection[PageLogPrn], 0);
  EXPECT_EQ(App.LogPrn.OutputFormat, TOutputFormat::Text);
  EXPECT_TRUE(App.LogPrn.AppendData);
  EXPECT_TRUE(App.LogPrn.UseSysFormat);
  EXPECT_EQ(StdzeroItem(App.LogPrn), 0);
  for (int I = 0; I < FileLayoutItemCount; ++I) EXPECT_FALSE(FileLayoutChecked(App.LogPrn, I));
  EXPECT_EQ(App.Colours.BackgroundColor, "clWhite");
  EXPECT_EQ(App.Colours.TextColor, "clBlack");
  EXPECT_EQ(App.RamCardPage.RAMDirectory, "");
}

TEST_F(SettingsTest, ValuesAreReadByTheirParsingRules) {
  WriteIni("[General]\nDateTimeFormat=mm/dd/yyyy hh:mm\n"
           "[LogPrn]\nOutputFormat=excel\nAppendData=no\nUseSysFormat=0\nDisplaySeconds=yes\n"
           "DisplayAsDash=YES\nDisplayAsZero=YES\n"
           "[LogPlot]\nBackgroundColor=clNavy\nTextColor=Purple\n"
           "[RAMCard]\nRAMDirectory=/data/out\n");
  TIniFile Ini(IniPath());
  test::TFakeApp F;
  TApplication& App = F.App;
  LoadSettings(Ini, App);
  // The stored name is taken as it stands; the list finds it in upper case.
  EXPECT_EQ(App.Format.DatePattern, "mm/dd/yyyy");
  EXPECT_EQ(App.Selection.DtFormatSelection[PageLogPrn], 7);
  EXPECT_EQ(App.cbxDtFormatDDR, -1);
  EXPECT_EQ(App.LogPrn.OutputFormat, TOutputFormat::Excel);
  EXPECT_FALSE(App.LogPrn.AppendData);
  // A stored 0 is neither YES nor NO: the key's default.
  EXPECT_TRUE(App.LogPrn.UseSysFormat);
  EXPECT_TRUE(App.LogPrn.DisplaySeconds);
  // Two not-recorded flags set show the first radio item, and are read so.
  EXPECT_EQ(StdzeroItem(App.LogPrn), 0);
  EXPECT_FALSE(App.LogPrn.DisplayAsZero);
  EXPECT_EQ(App.Colours.BackgroundColor, "clNavy");
  EXPECT_EQ(App.Colours.TextColor, "clBlack"); // an unknown colour keeps the list's colour
  EXPECT_EQ(App.RamCardPage.RAMDirectory, "/data/out");

  SaveSettings(Ini, App);
  TIniFile Again(IniPath());
  EXPECT_EQ(Again.ReadString("LogPrn", "DisplayAsDash", ""), "YES");
  EXPECT_EQ(Again.ReadString("LogPrn", "DisplayAsZero", ""), "NO");
  EXPECT_EQ(Again.ReadString("LogPrn", "OutputFormat", ""), "EXCEL");
  EXPECT_EQ(Again.ReadString("LogPlot", "TextColor", ""), "clBlack");
  EXPECT_EQ(Again.ReadString("General", "DateTimeFormat", ""), "mm/dd/yyyy hh:mm");
}

TEST_F(SettingsTest, DDRLogValuesFollowTheSameRules) {
  WriteIni("[DDRLog]\nDDROutputFormat=excel\nAppendDDRData=yes\nAddHeader=1\nAddData=no\n"
           "AddNotes=No\nUSGSStation=YES\nUSGSDevice=Yes\nDeviceName=Gauge 7\n");
  TIniFile Ini(IniPath());
  test::TFakeApp F;
  TApplication& App = F.App;
  LoadSettings(Ini, App);
  const TDDRLayout& L = App.DDRObj.Layout;
  EXPECT_EQ(L.DDROutputFormat, TOutputFormat::Excel);
  EXPECT_TRUE(L.AppendDDRData);
  EXPECT_FALSE(L.AddHeader); // 1 is not a yes/no value: the default
  EXPECT_FALSE(L.AddData);
  EXPECT_FALSE(L.AddNotes);
  EXPECT_TRUE(L.USGSStation);
  EXPECT_TRUE(L.USGSDevice);
  EXPECT_EQ(L.DeviceName, "Gauge 7");
  EXPECT_EQ(App.DDRPage.edtDevice(), "Gauge 7");

  SaveSettings(Ini, App);
  TIniFile Again(IniPath());
  EXPECT_EQ(Again.ReadString("DDRLog", "DDROutputFormat", ""), "EXCEL");
  EXPECT_EQ(Again.ReadString("DDRLog", "AddHeader", ""), "NO");
  EXPECT_EQ(Again.ReadString("DDRLog", "AddNotes", ""), "NO");
  EXPECT_EQ(Again.ReadString("DDRLog", "DeviceName", ""), "Gauge 7");

  // Any other format name is text.
  WriteIni("[DDRLog]\nDDROutputFormat=XLS\n");
  TIniFile Xls(IniPath());
  LoadSettings(Xls, App);
  EXPECT_EQ(App.DDRObj.Layout.DDROutputFormat, TOutputFormat::Text);
}

TEST_F(SettingsTest, OtherOutputFormatTextsSelectText) {
  WriteIni("[LogPrn]\nOutputFormat=XLS\n");
  TIniFile Ini(IniPath());
  test::TFakeApp F;
  TApplication& App = F.App;
  LoadSettings(Ini, App);
  EXPECT_EQ(App.LogPrn.OutputFormat, TOutputFormat::Text);
}

TEST_F(SettingsTest, FormatWithoutBlankIsSavedDoubled) {
  WriteIni("[General]\nDateTimeFormat=YYMMDD\n");
  TIniFile Ini(IniPath());
  test::TFakeApp F;
  TApplication& App = F.App;
  LoadSettings(Ini, App);
  EXPECT_EQ(App.Format.DatePattern, "YYMMDD");
  EXPECT_EQ(App.Format.TimePattern, "YYMMDD");
  EXPECT_EQ(App.Selection.DtFormatSelection[PageLogPrn], -1);
  SaveSettings(Ini, App);
  EXPECT_NE(ReadIni().find("DateTimeFormat=YYMMDD YYMMDD\n"), std::string::npos);
}

// A stored name longer than any format (50 million characters once made a
// display of 288 lines take a minute) is no format: it is ignored, as an
// unknown colour is, and the default is used and saved.
TEST_F(SettingsTest, AFormatLongerThanSixtyFourCharactersIsIgnored) {
  const std::string Kept = "YYYY/MM/DD " + std::string(64 - 11, 'S');
  for (const std::string& Stored : {Kept, Kept + "S", std::string(1 << 20, 'Y')}) {
    SCOPED_TRACE(Stored.size());
    WriteIni("[General]\nDateTimeFormat=" + Stored + "\n");
    TIniFile Ini(IniPath());
    test::TFakeApp F;
    LoadSettings(Ini, F.App);
    const std::string Name = Stored.size() <= 64 ? Stored : "MMDDYY HHMM";
    EXPECT_EQ(DateTimeFormatName(F.App.Format), Name);
    SaveSettings(Ini, F.App);
    EXPECT_NE(ReadIni().find("DateTimeFormat=" + Name + "\n"), std::string::npos);
  }
}

TEST_F(SettingsTest, SaveWritesEveryKeyAndKeepsUnknownOnes) {
  WriteIni("[Extra]\nKeep=me\n[LogPrn]\nOwnKey=1\n");
  TIniFile Ini(IniPath());
  test::TFakeApp F;
  TApplication& App = F.App;
  LoadSettings(Ini, App);
  SaveSettings(Ini, App);
  std::string Text = ReadIni();
  for (const char* Line : {"[General]",
                           "DateTimeFormat=MMDDYY HHMM",
                           "OutputFormat=TEXT",
                           "AppendData=YES",
                           "UseSysFormat=YES",
                           "DisplaySeconds=NO",
                           "DisplayJulianDate=NO",
                           "DisplayFixedFormat=NO",
                           "AddBlankLine=NO",
                           "DisplayAsDash=YES",
                           "DisplayAsZero=NO",
                           "ExcludeNonRecItems=NO",
                           "R600ASCII=NO",
                           "BackgroundColor=clWhite",
                           "TextColor=clBlack",
                           "RAMDirectory=",
                           "[DDRLog]",
                           "DDROutputFormat=TEXT",
                           "AppendDDRData=NO",
                           "AddHeader=NO",
                           "AddData=YES",
                           "AddNotes=YES",
                           "USGSStation=NO",
                           "USGSDevice=NO",
                           "DeviceName=TXV900",
                           "[Extra]",
                           "Keep=me",
                           "OwnKey=1"})
    EXPECT_NE(Text.find(Line), std::string::npos) << Line;
}

TEST(LogPrnControlsTest, R600FormatForcesFixedColumns) {
  TLogPrnOptions O;
  O.R600ASCII = true;
  NormaliseLogPrnOptions(O);
  EXPECT_TRUE(FileLayoutChecked(O, fliFixedColumns));
  EXPECT_FALSE(FileLayoutEnabled(O, fliFixedColumns));
  SetFileLayout(O, fliFixedColumns, false); // greyed: no change
  EXPECT_TRUE(O.DisplayFixedFormat);
  // Clearing R600 enables the item again and keeps its check mark.
  SetFileLayout(O, fliR600ASCII, false);
  EXPECT_TRUE(O.DisplayFixedFormat);
  EXPECT_TRUE(FileLayoutEnabled(O, fliFixedColumns));
  SetFileLayout(O, fliR600ASCII, true);
  SetFileLayout(O, 9, true); // no such item
  EXPECT_TRUE(O.R600ASCII);
}

TEST(LogPrnControlsTest, RadioGroupSetsExactlyOneFlag) {
  TLogPrnOptions O;
  for (int Item : {-1, 0, 1, 2, 7}) {
    SetStdzeroItem(O, Item);
    EXPECT_EQ(int(O.DisplayAsDash) + int(O.DisplayAsZero) + int(O.ExcludeNonRecItems), 1);
    EXPECT_EQ(O.DisplayAsZero, Item == 1);
    EXPECT_EQ(O.ExcludeNonRecItems, Item == 2);
    EXPECT_EQ(StdzeroItem(O), Item == 1 || Item == 2 ? Item : 0);
  }
}

} // namespace
} // namespace quorvin
