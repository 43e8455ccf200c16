// SPDX-License-Identifier: GPL-3.0-or-later
#include "ddr/DDRPage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "DDRTestUtil.h"
#include "support/FakeUi.h"
#include "support/GermanLocale.h"

namespace quorvin::test {
namespace {

using namespace ddrgen;
using namespace ddrsample;

const std::string Blank20(20, ' ');

const std::string Heading =
    Blank20 + "   Stage ft        Temp C   \r\n" + Blank20 + "------------- ------------- \r\n";
const std::string Scans3 = "03/05/2024 10:00:00      124.45   21.2 ? \r\n"
                           "03/05/2024 10:15:00        -.--   -0.0 ? \r\n"
                           "03/05/2024 10:30:00        0.95   21.4 ? \r\n";
const std::string PageSampleText = "Unit ID: V900-17\r\nVersion: V1.23\r\n" + Heading + Scans3 +
                                   "03/05/2024 10:30:00 Checked\r\n"
                                   "03/05/2024 11:00:00 System Power-up\r\n"
                                   "End of Data\r\n";

const std::string ListingHeading = "\r\nSTART TIME" + std::string(10, ' ') + "STOP TIME" +
                                   std::string(11, ' ') + "STATUS         LEN  NOTE\r\n" +
                                   std::string(19, '-') + " " + std::string(19, '-') +
                                   " -------------- ---- ---------------\r\n";
const std::string ListingLines =
    "03/05/2024 10:00:00 03/05/2024 10:00:00 Master           88\r\n"
    "03/05/2024 10:00:00 03/05/2024 10:00:00 Sensor           84\r\n"
    "03/05/2024 10:00:00 03/05/2024 10:00:00 Base             20\r\n"
    "03/05/2024 10:00:00 03/05/2024 10:30:00 Data             30\r\n"
    "03/05/2024 10:30:00 03/05/2024 10:30:00 Log Note         20 Checked\r\n"
    "03/05/2024 11:00:00 03/05/2024 11:00:00 System Power-up  16\r\n"
    "03/05/2024 11:00:00 03/05/2024 11:00:00 END              16\r\n";
const std::string SampleSummary = "Total Data: 18 Bytes; Non-data: 256 Bytes; Ratio:   6.57%;";

// CRLFs to line feeds: how a pane's lines read when each ends in "\n".
std::string Lf(std::string Text) {
  std::string R;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    if (Text[I] == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n') continue;
    R += Text[I];
  }
  return R;
}

class DDRPage : public ::testing::Test {
protected:
  TDDRScratch Scratch;
  TFakeUi Ui;
  TDDRObj DDR{Ui.Dialog};
  TDateTimeFormat Format;
  bool FileValid = false;
  std::vector<std::string> Converted;
  bool ConvertResult = true;
  TDDRPage Page{DDR, Ui.Services, Format, FileValid, [this](const std::string& Name) {
                  Converted.push_back(Name);
                  return ConvertResult;
                }};

  DDRPage() { SetDateTimeFormat(Format, "MM/DD/YYYY HH:MM:SS"); }

  // The user types a DDR file name and leaves the box.
  void Select(const TBytes& B, const std::string& Name = "TEST.DDR") {
    ASSERT_TRUE(WriteWhole(Scratch.File(Name), B));
    Page.SetDDRLogText(Scratch.File(Name));
    EXPECT_TRUE(Page.DDRNameEdited);
    Page.edtFilenameExit();
    EXPECT_FALSE(Page.DDRNameEdited);
  }
  // The driver as Display (cmDisplay) and Save (cmNone) run it. Ok, when
  // given, is false when the file ended early: the driver's own words then
  // stand instead of the command's.
  bool Import(TCommandMode Mode, bool* Ok = nullptr) {
    return Said(Page.ImportDDR(Mode, CommandWords), Ok);
  }
  // The block listing as Header runs it.
  bool Summary(bool* Ok = nullptr) { return Said(Page.ShowDDRSummary(cmHeader, CommandWords), Ok); }
  static constexpr const char* CommandWords = "<the command failed>";
  bool Said(bool Result, bool* Ok) {
    if (Ok) *Ok = Result || Ui.Status.Panels[1] == CommandWords;
    return Result;
  }
  // The EXCEL entry of the output-format list, applied as the application
  // applies it: the layout's format and the proposed name's extension.
  void ChooseExcel() {
    DDR.Layout.DDROutputFormat = TOutputFormat::Excel;
    std::string Name;
    DDR.MatchOutputExt(Name);
    Page.SetDDROutputText(Name);
  }
  std::size_t FilesInScratch() const {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(Scratch.Path()), fs::directory_iterator()));
  }
  std::string Importing(const std::string& Name = "TEST.DDR") const {
    return "Importing from .DDR file " + Scratch.File(Name) + " ...";
  }
};

TEST(DDRPane, PiecesLoseOneCRLFAndSplitAtTheRest) {
  TFakeTextPane Pane;
  AddPieceToPane(Pane, "a\r\nb\r\n");
  AddPieceToPane(Pane, "\r\n");
  AddPieceToPane(Pane, "c");
  AddPieceToPane(Pane, "\r\nd\r\n\r\n");
  AddPieceToPane(Pane, "S\r\n\r\n", false);
  EXPECT_EQ(Pane.Text(), "a\nb\n\nc\n\nd\n\nS\n\n\n");
}

TEST_F(DDRPage, DisplayPutsTheDecodedTextInThePane) {
  Select(SampleFile());
  EXPECT_TRUE(FileValid);
  EXPECT_EQ(Page.Controls.edtDDROutput, Scratch.Dir() + "TEST.PRN");
  bool Ok = false;
  EXPECT_TRUE(Import(cmDisplay, &Ok));
  EXPECT_TRUE(Ok);
  EXPECT_EQ(Ui.Pane.Text(), Lf(PageSampleText));
  EXPECT_EQ(Ui.Status.History, std::vector<std::string>{Importing()});
  EXPECT_GT(Ui.Busy.Steps, 0);
  EXPECT_TRUE(Ui.Dialog.Shown.empty());
  EXPECT_EQ(DDR.FilePosition(), 0); // ready for the next command
}

TEST_F(DDRPage, SaveWritesTheTextFileAndAppendsWhenAsked) {
  WriteWhole(Scratch.File("TEST.PRN"), "old contents\r\n");
  Select(SampleFile());
  EXPECT_TRUE(Import(cmNone));
  EXPECT_EQ(ReadWhole(Scratch.File("TEST.PRN")), PageSampleText);
  EXPECT_TRUE(Page.DDROutputValid);
  EXPECT_TRUE(Converted.empty());
  EXPECT_EQ(FilesInScratch(), 2u); // no temporary file left behind
  EXPECT_TRUE(Ui.Pane.Lines.empty());

  // Always Append Data adds to the file.
  DDR.Layout.AppendDDRData = true;
  EXPECT_TRUE(Import(cmNone));
  EXPECT_EQ(ReadWhole(Scratch.File("TEST.PRN")), PageSampleText + PageSampleText);
}

TEST_F(DDRPage, ExcelSaveWritesTabTextThenConvertsIt) {
  Select(SampleFile());
  ChooseExcel();
  EXPECT_EQ(Page.Controls.edtDDROutput, Scratch.Dir() + "TEST.XLS");
  EXPECT_TRUE(Import(cmNone));
  const std::string Out = Scratch.Dir() + "TEST.XLS";
  EXPECT_EQ(ReadWhole(Out), "Unit ID:\tV900-17\r\nVersion:\tV1.23\r\n"
                            "\tStage ft\t\tTemp C\t\r\n"
                            "03/05/2024 10:00:00\t     124.45\t \t21.2\t?\t\r\n"
                            "03/05/2024 10:15:00\t       -.--\t \t-0.0\t?\t\r\n"
                            "03/05/2024 10:30:00\t       0.95\t \t21.4\t?\t\r\n"
                            "03/05/2024 10:30:00\tChecked\r\n"
                            "03/05/2024 11:00:00\tSystem Power-up\r\n"
                            "End of Data\r\n");
  // The text is converted beside the target, before it replaces the old file.
  ASSERT_EQ(Converted.size(), 1u);
  EXPECT_NE(Converted[0], Out);
  EXPECT_EQ(fs::path(Converted[0]).parent_path(), Scratch.Path());

  // On the screen the Excel format shows blank-separated text.
  EXPECT_TRUE(Import(cmDisplay));
  EXPECT_EQ(Ui.Pane.Text(), Lf(PageSampleText));

  // A conversion that fails is a failure, not an early end, and the old file
  // stays as it was, with no temporary file left.
  WriteWhole(Out, "old book");
  ConvertResult = false;
  bool Ok = false;
  EXPECT_FALSE(Import(cmNone, &Ok));
  EXPECT_TRUE(Ok);
  EXPECT_EQ(ReadWhole(Out), "old book");
  EXPECT_EQ(FilesInScratch(), 2u);
}

TEST_F(DDRPage, HeaderListsEveryBlockAndTheSummary) {
  Select(SampleFile());
  Ui.Status.History.clear();
  bool Ok = false;
  EXPECT_TRUE(Summary(&Ok));
  EXPECT_TRUE(Ok);
  EXPECT_EQ(Ui.Pane.Text(), Lf(ListingHeading.substr(0, ListingHeading.size() - 2)) + "\n" +
                                Lf(ListingLines) + SampleSummary + "\n\n\n");
  EXPECT_TRUE(Ui.Status.History.empty());
  // The next listing starts from the first block again.
  Ui.Pane.Clear();
  EXPECT_TRUE(Summary());
  EXPECT_EQ(Ui.Pane.Lines.size(), 3u + 7u + 3u);
}

TEST_F(DDRPage, SaveWithHeaderPutsTheListingBeforeTheData) {
  Select(SampleFile());
  DDR.Layout.AddHeader = true;
  EXPECT_TRUE(Import(cmNone));
  EXPECT_EQ(ReadWhole(Scratch.File("TEST.PRN")),
            ListingHeading + ListingLines + SampleSummary + "\r\n\r\n" + PageSampleText);

  // Header only.
  DDR.Layout.AddData = false;
  DDR.Layout.AddNotes = false;
  EXPECT_TRUE(Import(cmNone));
  EXPECT_EQ(ReadWhole(Scratch.File("TEST.PRN")),
            ListingHeading + ListingLines + SampleSummary + "\r\n\r\n");

  // Excel style listing.
  ChooseExcel();
  EXPECT_TRUE(Import(cmNone));
  EXPECT_EQ(ReadWhole(Scratch.File("TEST.XLS")),
            "\r\nSTART TIME\tSTOP TIME\tSTATUS\tLEN\tNOTE\r\n"
            "03/05/2024 10:00:00\t03/05/2024 10:00:00\tMaster\t88\r\n"
            "03/05/2024 10:00:00\t03/05/2024 10:00:00\tSensor\t84\r\n"
            "03/05/2024 10:00:00\t03/05/2024 10:00:00\tBase\t20\r\n"
            "03/05/2024 10:00:00\t03/05/2024 10:30:00\tData\t30\r\n"
            "03/05/2024 10:30:00\t03/05/2024 10:30:00\tLog Note\t20\tChecked\r\n"
            "03/05/2024 11:00:00\t03/05/2024 11:00:00\tSystem Power-up\t16\r\n"
            "03/05/2024 11:00:00\t03/05/2024 11:00:00\tEND\t16\r\n" +
                SampleSummary + "\r\n\r\n");
}

// Numbers keep "." as their point whatever the C library's locale: the
// summary's ratio and the real-coded values alike.
TEST_F(DDRPage, NumbersDoNotFollowTheLocale) {
  Select(SampleFile());
  TGermanLocale German;
  ASSERT_TRUE(German.Ok());
  EXPECT_TRUE(Summary());
  EXPECT_EQ(Ui.Pane.Lines[Ui.Pane.Lines.size() - 3].Text, SampleSummary);
  Ui.Pane.Clear();
  EXPECT_TRUE(Import(cmDisplay));
  EXPECT_EQ(Ui.Pane.Text(), Lf(PageSampleText));
}

TEST_F(DDRPage, SummaryRatioOfThreeDataBlocksAndAMaster) {
  TBytes F = Block(1, T0, T0, TBytes(88, 0));
  for (int I = 0; I < 3; ++I) Append(F, Block(4, T0, T0, TBytes(100, 0)));
  Select(F);
  bool Ok = false;
  ASSERT_TRUE(Summary(&Ok));
  EXPECT_TRUE(Ok);
  EXPECT_EQ(Ui.Pane.Lines[Ui.Pane.Lines.size() - 3].Text,
            "Total Data: 300 Bytes; Non-data: 136 Bytes; Ratio:  68.81%;");
}

TEST_F(DDRPage, EmptyFileFailsTheSummaryButTheImportGoesOn) {
  Select({});
  bool Ok = false;
  EXPECT_FALSE(Summary(&Ok));
  EXPECT_TRUE(Ok); // a failure, not an early end: the command words it

  DDR.Layout.AddHeader = true;
  Ui.Status.History.clear();
  EXPECT_TRUE(Import(cmNone, &Ok));
  EXPECT_TRUE(Ok);
  EXPECT_EQ(Ui.Status.History,
            (std::vector<std::string>{Importing(), "Error!  Unable to read DDR Header"}));
  EXPECT_EQ(ReadWhole(Scratch.File("TEST.PRN")), ListingHeading);
}

// What stops a run on its way (here the pane's memory) is said in a dialog,
// the command's own words in the message panel.
TEST_F(DDRPage, AStoppedRunSaysWhyInADialog) {
  Select(SampleFile());
  Ui.Pane.Full = true;
  bool Ok = false;
  EXPECT_FALSE(Import(cmDisplay, &Ok));
  EXPECT_TRUE(Ok);
  EXPECT_EQ(Ui.Status.Panels[1], CommandWords);
  EXPECT_EQ(Ui.Dialog.Texts(),
            std::vector<std::string>{"Error! The command stopped: not enough memory"});
  EXPECT_EQ(DDR.FilePosition(), 0);
}

TEST_F(DDRPage, UnfinishedBlockIsReportedAndTheImportGoesOn) {
  TBytes F = MasterBlock(T0, T0, "v", "u");
  Append(F, DataBlock(T0, T0, {1, 0x80, 2, 0x80, 3})); // one scan due, five bytes
  Append(F, EventBlock(22, 0, 0));
  Select(F);
  bool Ok = true;
  EXPECT_FALSE(Import(cmDisplay, &Ok));
  EXPECT_FALSE(Ok);
  EXPECT_EQ(Ui.Pane.Text(),
            "Unit ID: U\nVersion: v\n03/05/2024 10:00:00        0.02 ? \nEnd of Data\n");
  EXPECT_EQ(Ui.Status.Panels[1], "Error! Unexpected end of DDR file.");

  Ok = true;
  EXPECT_FALSE(Import(cmNone, &Ok)); // the file is written all the same
  EXPECT_FALSE(Ok);
  EXPECT_EQ(Ui.Status.Panels[1], "Error! Unexpected end of DDR file.");
  EXPECT_EQ(ReadWhole(Scratch.File("TEST.PRN")),
            "Unit ID: U\r\nVersion: v\r\n03/05/2024 10:00:00        0.02 ? \r\nEnd of Data\r\n");
}

// A block length over 4096 or of 12 or less ends the block loop. Padding
// after it (all 0x00 or all 0xFF) is a normal end; anything else is data the
// loop cannot reach: an early end, with what came before still written.
TEST_F(DDRPage, StopBeforeTheEndOfTheDataIsAnEarlyEnd) {
  const TBytes NextBlock = EventBlock(6, T0, T0);
  TBytes Short = EventBlock(7, T0, T0, 0);
  Append(Short, NextBlock);
  TBytes Overlong = NextBlock;
  Overlong[0] = 0x01; // 4097
  Overlong[1] = 0x10;
  TBytes Zeros(300, 0x00);
  Zeros.push_back(0x01);
  TBytes Mixed(300, 0x00);
  Mixed[150] = 0xFF;
  const struct {
    const char* Name;
    TBytes Tail;
    bool Early;
  } Cases[] = {
      {"exact end", {}, false},
      {"zeros", TBytes(300, 0x00), false},
      {"ones", TBytes(5000, 0xFF), false},
      {"block of 12 bytes, then a block", Short, true},
      {"length over 4096", Overlong, true},
      {"zeros, then data", Zeros, true},
      {"zeros and ones", Mixed, true},
      {"cut header", TBytes(NextBlock.begin(), NextBlock.begin() + 5), true},
  };
  DDR.Layout.AddHeader = true;
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBytes F = SampleFile();
    Append(F, C.Tail);
    const std::string Name = "T" + std::to_string(&C - Cases);
    Select(F, Name + ".DDR");
    // Both passes of a Save with the header, the listing and the data, end early.
    const std::vector<std::string> Early = {"Error! Unexpected end of DDR file."};
    Ui.Status.History.clear();
    bool Ok = true;
    EXPECT_EQ(Import(cmNone, &Ok), !C.Early);
    EXPECT_EQ(Ok, !C.Early);
    std::vector<std::string> Said = {Importing(Name + ".DDR")};
    if (C.Early) Said.insert(Said.end(), {Early[0], Early[0]});
    EXPECT_EQ(Ui.Status.History, Said);
    EXPECT_EQ(ReadWhole(Scratch.File(Name + ".PRN")),
              ListingHeading + ListingLines + SampleSummary + "\r\n\r\n" + PageSampleText);

    Ui.Status.History.clear();
    Ui.Pane.Clear();
    EXPECT_EQ(Summary(&Ok), !C.Early);
    EXPECT_EQ(Ok, !C.Early);
    EXPECT_EQ(Ui.Status.History, C.Early ? Early : std::vector<std::string>{});
    EXPECT_EQ(Ui.Pane.Lines.size(), 3u + 7u + 3u); // the listing stands

    EXPECT_EQ(Import(cmDisplay, &Ok), !C.Early);
    EXPECT_EQ(Ok, !C.Early);
  }
}

TEST_F(DDRPage, SetupSurvivesFromOneImportToTheNext) {
  TBytes F = SensorBlock(T0, T0, 60, {{"a", "b"}});
  TBytes Scan;
  PutValue(Scan, 2, 5);
  Append(F, DataBlock(T0, T0, Scan));
  Select(F);
  EXPECT_TRUE(Import(cmDisplay));
  const std::string Line = "03/05/2024 10:00:00        0.05   \n";
  EXPECT_EQ(Ui.Pane.Text(), Blank20 + "        a b   \n" + Blank20 + "------------- \n" + Line);
  Ui.Pane.Clear();
  EXPECT_TRUE(Import(cmDisplay)); // same setup: no heading this time
  EXPECT_EQ(Ui.Pane.Text(), Line);
}

TEST_F(DDRPage, OutputNameIsCheckedOnSaveOnly) {
  Select(SampleFile());
  Page.SetDDROutputText("REPORT.TXT");
  EXPECT_TRUE(Page.DDROutputEdited);
  EXPECT_TRUE(Import(cmDisplay));
  EXPECT_EQ(Ui.Pane.Text(), Lf(PageSampleText));
  EXPECT_TRUE(Ui.Dialog.Shown.empty());
  bool Ok = false;
  EXPECT_FALSE(Import(cmNone, &Ok));
  EXPECT_TRUE(Ok);
  EXPECT_EQ(Ui.Dialog.Texts(),
            std::vector<std::string>{"Please enter valid \"Text\" Output File Name."});
  EXPECT_FALSE(Page.DDROutputEdited);
  EXPECT_FALSE(Page.DDROutputValid);

  // A name without a folder goes beside the DDR file.
  Page.SetDDROutputText("report.prn");
  Page.edtDDROutputExit();
  EXPECT_TRUE(Page.DDROutputValid);
  EXPECT_TRUE(Import(cmNone));
  EXPECT_EQ(DDR.DDROutputFileName, Scratch.Dir() + "report.prn");
  EXPECT_EQ(ReadWhole(Scratch.File("report.prn")), PageSampleText);
}

TEST_F(DDRPage, OutputThatCannotBeOpenedIsAFailure) {
  Select(SampleFile());
  Page.btnOutBrowseChosen(Scratch.Dir() + "sub/OUT.PRN"); // asks; the fake answers No
  EXPECT_FALSE(Page.DDROutputValid);
  bool Ok = false;
  EXPECT_FALSE(Import(cmNone, &Ok));
  EXPECT_TRUE(Ok);

  Ui.Dialog.Answers = {TMsgResult::Yes};
  Page.btnOutBrowseChosen(Scratch.Dir() + "sub/OUT.PRN");
  EXPECT_TRUE(Page.DDROutputValid);
  fs::remove(Scratch.Dir() + "sub"); // gone before the save
  DDR.Layout.AddData = false;
  DDR.Layout.AddNotes = false; // nothing would be written at all
  EXPECT_FALSE(Import(cmNone, &Ok));
  EXPECT_TRUE(Ok);
  EXPECT_EQ(Ui.Dialog.Texts().back(),
            "Error opening output file " + Scratch.Dir() + "sub/OUT.PRN.");
}

TEST_F(DDRPage, InvalidOrMissingInputImportsNothing) {
  bool Ok = false;
  EXPECT_FALSE(Import(cmDisplay, &Ok));
  EXPECT_TRUE(Ok);
  EXPECT_FALSE(Summary(&Ok) && Ok);
  EXPECT_TRUE(Ui.Pane.Lines.empty());

  Select(SampleFile());
  Page.SetDDRLogText(Scratch.File("gone.ddr")); // typed, box not yet left
  EXPECT_FALSE(Import(cmDisplay, &Ok));
  EXPECT_TRUE(Ok);
  EXPECT_FALSE(FileValid);
  EXPECT_EQ(
      Ui.Dialog.Texts(),
      std::vector<std::string>{"File does not exist or is invalid. Please select another file."});
  EXPECT_EQ(Page.Controls.edtDDROutput, "");
  EXPECT_TRUE(Ui.Pane.Lines.empty());

  Ui.Dialog.Shown.clear();
  Page.btnDDRBrowseChosen(Scratch.File("TEST.DDR"));
  EXPECT_TRUE(FileValid);
  EXPECT_FALSE(Page.DDRNameEdited);
  EXPECT_EQ(Page.Controls.edtDDRLog, Scratch.File("TEST.DDR"));
  EXPECT_EQ(DDR.DDROutputFileName, Scratch.Dir() + "TEST.PRN");
  WriteWhole(Scratch.File("TEST.DDRX"), "");
  Page.SetDDRLogText(Scratch.File("TEST.DDRX"));
  EXPECT_FALSE(Import(cmDisplay, &Ok));
  EXPECT_TRUE(Ok);
  EXPECT_EQ(Ui.Dialog.Texts(),
            std::vector<std::string>{"File is invalid. Please select another file."});
}

TEST_F(DDRPage, TheDeviceBoxShowsAndSetsTheNameWhileUSGSDeviceIsChecked) {
  DDR.Layout.DeviceName = "rvr01";
  EXPECT_EQ(Page.edtDevice(), "");
  EXPECT_FALSE(Page.edtDeviceEnabled());
  Page.SetDeviceText("ignored");
  EXPECT_EQ(DDR.Layout.DeviceName, "rvr01");

  DDR.Layout.USGSDevice = true;
  EXPECT_TRUE(Page.edtDeviceEnabled());
  EXPECT_EQ(Page.edtDevice(), "rvr01");
  Page.SetDeviceText("Gauge7");
  DDR.Layout.USGSStation = true;
  Select(MasterBlock(T0, T0, "v", "u"));
  EXPECT_TRUE(Import(cmDisplay));
  EXPECT_EQ(Ui.Pane.Text(), "//STATION: U\n//DEVICE: GAUGE7\n\nUnit ID: U\nVersion: v\n");

  DDR.Layout.USGSDevice = false;
  EXPECT_EQ(Page.edtDevice(), "");
  EXPECT_EQ(DDR.Layout.DeviceName, "Gauge7"); // kept while the box is clear
}

TEST_F(DDRPage, ChangeFlagsFollowTheBoxes) {
  Page.PageActive = false;
  Page.SetDDRLogText("x.ddr");
  Page.SetDDROutputText("y.prn");
  EXPECT_FALSE(Page.DDRNameEdited);
  EXPECT_FALSE(Page.DDROutputEdited);
  Page.PageActive = true;
  Page.SetDDROutputText("y.prn"); // unchanged text: no change event
  EXPECT_FALSE(Page.DDROutputEdited);
  Page.SetDDROutputText("z.prn");
  EXPECT_TRUE(Page.DDROutputEdited);
  Page.SetDDRLogText("a.ddr");
  EXPECT_TRUE(Page.DDRNameEdited);
}

TEST_F(DDRPage, ScansAsNumbersKeepOneColumnPerSensorAcrossSetups) {
  using namespace ddrsample;
  const auto First = TwoSensors();
  TGenSensor Flow{"Flow", "cfs"};
  Flow.DataType = 5;
  Flow.RightDigits = 0;
  const std::vector<TGenSensor> Second{First[1], Flow};
  TBytes F = SampleFile(), Scans;
  Append(F, SensorBlock(T0 + 7200, T0 + 7200, 600, Second));
  PutScan(Scans, Second, {20.5, 7});
  PutScan(Scans, Second, {Missing(), -3});
  Append(F, DataBlock(T0 + 7200, T0 + 7800, Scans, dsBadData));
  Select(F);
  TDDRScanTable Table;
  ASSERT_TRUE(Page.ReadDDRScans(Table, "scans failed"));
  EXPECT_EQ(Table.UnitID, "v900-17");
  EXPECT_EQ(Table.Times,
            (std::vector<std::int64_t>{T0, T0 + 900, T0 + 1800, T0 + 7200, T0 + 7800}));
  EXPECT_EQ(Table.Bad, (std::vector<std::uint8_t>{0, 0, 0, 1, 1}));
  ASSERT_EQ(Table.Columns.size(), 3u);
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  auto Same = [](const std::vector<double>& A, const std::vector<double>& B) {
    return A.size() == B.size() &&
           std::equal(A.begin(), A.end(), B.begin(), [](double X, double Y) {
             return X == Y || (std::isnan(X) && std::isnan(Y));
           });
  };
  EXPECT_TRUE(Same(Table.Columns[0].Values, {124.45, NaN, 0.95, NaN, NaN}));
  EXPECT_TRUE(Same(Table.Columns[1].Values, {21.25, double(-0.04f), double(21.35f), 20.5, NaN}));
  EXPECT_TRUE(Same(Table.Columns[2].Values, {NaN, NaN, NaN, 7, -3}));
  EXPECT_EQ(Table.Notes.size(), 1u);
  EXPECT_EQ(Table.Events.size(), 1u);
  EXPECT_EQ(Table.Events[0].Text, "System Power-up");

  // A file cut inside a data block: the scans before the cut stand.
  F.resize(F.size() - 3);
  Select(F, "CUT.DDR");
  TDDRScanTable Cut;
  EXPECT_FALSE(Page.ReadDDRScans(Cut, "scans failed"));
  EXPECT_EQ(Ui.Status.PanelText(1), "Error! Unexpected end of DDR file.");
  EXPECT_EQ(Cut.Times.size(), 4u);
}

} // namespace
} // namespace quorvin::test
