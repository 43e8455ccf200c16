// SPDX-License-Identifier: GPL-3.0-or-later
#include "ddr/DDRObj.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "DDRTestUtil.h"
#include "core/DateTimeFormat.h"
#include "support/FakeUi.h"

namespace quorvin::test {
namespace {

using namespace ddrgen;
using namespace ddrsample;

const std::string Pattern = "MM/DD/YYYY HH:MM:SS"; // 19 characters: time columns are 20 wide
const std::string B20(20, ' ');

std::string Blanks(int N) { return std::string(static_cast<std::size_t>(N), ' '); }
// A value right-aligned in the 11 characters of a column.
std::string Pad(const std::string& V, int Width = 11) {
  return Blanks(Width - static_cast<int>(V.size())) + V;
}

// ---------------------------------------------------------------------------
// Times and names

TEST(DDRTimes, StampFollowsPatternAndSeparators) {
  TFakeDialog Dialog;
  TDDRObj DDR(Dialog);
  EXPECT_EQ(DDR.FormatDDRTime(0, Pattern), "12/31/1984 00:00:00");
  EXPECT_EQ(DDR.FormatDDRTime(86400 + 3661, Pattern), "01/01/1985 01:01:01");
  EXPECT_EQ(DDR.FormatDDRTime(T0, "MMDDYY HHMM"), "030524 1000");
  DDR.DateSeparator = '-';
  DDR.TimeSeparator = '.';
  EXPECT_EQ(DDR.FormatDDRTime(T0 + 59, "YYYY/MM/DD HH:MM:SS"), "2024-03-05 10.00.59");
}

TEST(DDRStatusName, TableAndTheCodesHandledApart) {
  const char* Names[] = {"Wrap",         "Master",          "Sensor",       "Base",     "Data",
                         "Bad Data",     "System Power-up", "Setup Change", "Log Note", "Header",
                         "System Reset", "Low Battery",     "Battery OK",   "Setup",    "hs_Rsvd3",
                         "hs_Rsvd4",     "hs_Rsvd5",        "hs_Rsvd6",     "hs_Rsvd7", "hs_Rsvd8",
                         "hs_Rsvd9",     "hs_Rsvd10",       "END"};
  TDDRBlockHeader H;
  for (int S = 0; S <= 22; ++S) {
    H.Status = static_cast<std::uint8_t>(S);
    EXPECT_EQ(TDDRObj::StatusName(H), Names[S]) << S;
  }
  for (int S : {23, 200, 255}) {
    H.Status = static_cast<std::uint8_t>(S);
    EXPECT_EQ(TDDRObj::StatusName(H), "Unknown Header") << S;
  }
}

// ---------------------------------------------------------------------------
// Reading blocks

class DDRFile : public ::testing::Test {
protected:
  TDDRScratch Scratch;
  TFakeDialog Dialog;
  TDDRObj DDR{Dialog};

  void Open(const TBytes& B, const std::string& Name = "TEST.DDR") {
    ASSERT_TRUE(WriteWhole(Scratch.File(Name), B));
    DDR.DDRFileName = Scratch.File(Name);
    std::string Proposal;
    ASSERT_TRUE(DDR.OpenDDR(Proposal));
  }
  std::string Decode(bool Display = false, int ColumnWidth = 11) {
    return DecodeAll(DDR, Pattern, Display, ColumnWidth);
  }
};

TEST_F(DDRFile, ReadBlockCountsAndPositions) {
  TBytes F;
  Append(F, EventBlock(6, T0, T0 + 1, 0));
  Append(F, NoteBlock(T0, T0, "abc"));
  TBytes Long = EventBlock(7, 1, 2);
  Long[0] = 0x01; // length 4097
  Long[1] = 0x10;
  Append(F, Long);
  Open(F);
  int Count = -1;
  ASSERT_TRUE(DDR.ReadBlock(Count));
  EXPECT_EQ(Count, 12);
  EXPECT_EQ(DDR.BlockHeader().Status, 6);
  EXPECT_EQ(DDR.BlockHeader().Start, T0);
  EXPECT_EQ(DDR.BlockHeader().Stop, T0 + 1);
  EXPECT_EQ(DDR.FilePosition(), 12);
  ASSERT_TRUE(DDR.ReadBlock(Count));
  EXPECT_EQ(Count, 16);
  EXPECT_EQ(DDR.NoteText(), "abc");
  EXPECT_EQ(DDR.FilePosition(), 28);
  // A length over 4096 is not a block: two bytes, which ends every loop.
  ASSERT_TRUE(DDR.ReadBlock(Count));
  EXPECT_EQ(Count, 2);
  EXPECT_EQ(DDR.FilePosition(), 32);
  DDR.Rewind();
  EXPECT_EQ(DDR.FilePosition(), 0);
  ASSERT_TRUE(DDR.ReadBlock(Count));
  EXPECT_EQ(Count, 12);
}

TEST_F(DDRFile, EmptyFileAndTruncatedBlock) {
  Open({});
  int Count = -1;
  ASSERT_TRUE(DDR.ReadBlock(Count));
  EXPECT_EQ(Count, 0);
  EXPECT_EQ(Decode(), "");

  TBytes F = NoteBlock(T0, T0, "a long note that is cut");
  F.resize(20);
  Open(F, "CUT.DDR");
  ASSERT_TRUE(DDR.ReadBlock(Count));
  EXPECT_EQ(Count, 20);
  EXPECT_EQ(DDR.BlockHeader().Length, 36);
  EXPECT_EQ(DDR.NoteText(), "a long n"); // bytes 12 to 19, all that was read
  ASSERT_TRUE(DDR.ReadBlock(Count));
  EXPECT_EQ(Count, 0);
}

TEST_F(DDRFile, BytesNotReadForABlockReadAsZero) {
  TBytes F = MasterBlock(T0, T0, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", "UNIT-ONE");
  // A Master block of 20 bytes: eight characters of version, no unit id.
  Append(F, Block(1, T0, T0, {'n', 'e', 'w', '-', 'v', 'e', 'r', '!'}));
  Open(F);
  EXPECT_EQ(Decode(), "Unit ID: UNIT-ONE\r\nVersion: ABCDEFGHIJKLMNOPQRSTUVWXYZ012345\r\n"
                      "Unit ID: \r\nVersion: new-ver!\r\n");
  EXPECT_EQ(DDR.MasterInfo()[44], 0);
}

TEST_F(DDRFile, GetWordLongReal) {
  TBytes P = {0x34, 0x12, 0x78, 0x56, 0x00, 0x00, 0xC0, 0x3F};
  PutValue(P, 7, -2.5);
  Open(Block(5, 0, 0, P));
  int Count;
  ASSERT_TRUE(DDR.ReadBlock(Count));
  EXPECT_EQ(DDR.GetWord(12), 0x1234u);
  EXPECT_EQ(DDR.GetLong(12), 0x56781234u);
  EXPECT_EQ(DDR.GetReal(16, 4), 1.5);
  EXPECT_EQ(DDR.GetReal(20, 8), -2.5);
  EXPECT_EQ(DDR.GetWord(4095), 0u); // never outside the buffer
}

// ---------------------------------------------------------------------------
// Decoding: a whole file in both styles

const std::string SampleText = "Unit ID: V900-17\r\n"
                               "Version: V1.23\r\n" +
                               B20 + "   Stage ft        Temp C   \r\n" + B20 +
                               "------------- ------------- \r\n"
                               "03/05/2024 10:00:00      124.45   21.2 ? \r\n"
                               "03/05/2024 10:15:00        -.--   -0.0 ? \r\n"
                               "03/05/2024 10:30:00        0.95   21.4 ? \r\n"
                               "03/05/2024 10:30:00 Checked\r\n"
                               "03/05/2024 11:00:00 System Power-up\r\n"
                               "End of Data\r\n";

const std::string SampleExcel = "Unit ID:\tV900-17\r\n"
                                "Version:\tV1.23\r\n"
                                "\tStage ft\t\tTemp C\t\r\n"
                                "03/05/2024 10:00:00\t     124.45\t \t21.2\t?\t\r\n"
                                "03/05/2024 10:15:00\t       -.--\t \t-0.0\t?\t\r\n"
                                "03/05/2024 10:30:00\t       0.95\t \t21.4\t?\t\r\n"
                                "03/05/2024 10:30:00\tChecked\r\n"
                                "03/05/2024 11:00:00\tSystem Power-up\r\n"
                                "End of Data\r\n";

TEST_F(DDRFile, WholeFileTextStyle) {
  Open(SampleFile());
  EXPECT_EQ(Decode(false), SampleText);
  EXPECT_EQ(DDR.BaseValues()[0], 100);
  EXPECT_EQ(DDR.BaseValues()[1], 0);
}

TEST_F(DDRFile, WholeFileExcelStyleInAFileAndTextStyleOnScreen) {
  DDR.Layout.DDROutputFormat = TOutputFormat::Excel;
  Open(SampleFile());
  EXPECT_EQ(Decode(false), SampleExcel);
  // Excel on screen: the text style with blanks (the Master block installed
  // the default setup again, so the heading comes again).
  EXPECT_EQ(Decode(true), SampleText);
}

TEST_F(DDRFile, SetupBaseValuesAndMasterCopyPersistAcrossFiles) {
  Open(SampleFile());
  Decode();
  const auto S = TwoSensors();
  TBytes Scans;
  PutScan(Scans, S, {1, 2.0});
  Open(DataBlock(T0, T0, Scans), "NEXT.DDR");
  EXPECT_EQ(Decode(), "03/05/2024 10:00:00        1.01   2.0 ? \r\n");
  EXPECT_EQ(DDR.Master().UnitID, "v900-17");
  EXPECT_EQ(DDR.MasterInfo()[0], 88);
}

// ---------------------------------------------------------------------------
// Master and event blocks

TEST_F(DDRFile, MasterWithBothUSGSOptions) {
  DDR.Layout.USGSStation = true;
  DDR.Layout.USGSDevice = true;
  DDR.Layout.DeviceName = "txv900";
  Open(MasterBlock(T0, T0, "fw 2.0", "Site-A"));
  EXPECT_EQ(Decode(),
            "//STATION: SITE-A\r\n//DEVICE: TXV900\r\n\r\nUnit ID: SITE-A\r\nVersion: fw 2.0\r\n");
  DDR.Layout.DDROutputFormat = TOutputFormat::Excel;
  EXPECT_EQ(
      Decode(),
      "//STATION:\tSITE-A\r\n//DEVICE:\tTXV900\r\n\r\nUnit ID:\tSITE-A\r\nVersion:\tfw 2.0\r\n");
  DDR.Layout.USGSStation = false;
  EXPECT_EQ(Decode(true), "//DEVICE: TXV900\r\n\r\nUnit ID: SITE-A\r\nVersion: fw 2.0\r\n");
}

TEST_F(DDRFile, MasterInstallsTheDefaultSetup) {
  TBytes F = MasterBlock(T0, T0, std::string(40, 'F'), "u");
  TBytes Scans;
  PutValue(Scans, 2, 1); // 32768 with base 0: 0.01
  PutValue(Scans, 2, Missing());
  Append(F, DataBlock(T0, T0 + 7200, Scans));
  Open(F);
  EXPECT_EQ(Decode(), "Unit ID: U\r\nVersion: " + std::string(32, 'F') +
                          "\r\n"
                          "03/05/2024 10:00:00        0.01 ? \r\n"
                          "03/05/2024 11:00:00        -.-- ? \r\n");
  const TDDRSetup& S = DDR.CurrentSetup();
  EXPECT_EQ(S.ScanInterval, 3600);
  EXPECT_EQ(S.SetupWord, 2);
  EXPECT_EQ(S.SensorCount, 1);
  EXPECT_EQ(S.Sensors[0].Name, "Unknown");
  EXPECT_EQ(S.Sensors[0].Units, "??");
  EXPECT_EQ(S.Sensors[0].Real1, 0.01);
}

TEST_F(DDRFile, EventNoteReservedEndAndUnknownBlocks) {
  TBytes F;
  for (int S : {0, 6, 7, 9, 10, 11, 12, 13})
    Append(F, EventBlock(static_cast<std::uint8_t>(S), T0 + S, 0));
  Append(F, EventBlock(14, T0, 0));
  Append(F, EventBlock(21, T0, 0));
  Append(F, NoteBlock(T0, 0, std::string(60, 'n')));
  Append(F, NoteBlock(T0, 0, std::string("ab\0cd", 5)));
  Append(F, Block(3, T0, 0, {1, 2, 3, 4})); // a Base block says nothing
  Append(F, EventBlock(22, T0, 0));
  Append(F, EventBlock(255, T0, 0));
  Open(F);
  const std::string Text =
      "03/05/2024 10:00:00 Wrap\r\n"
      "03/05/2024 10:00:06 System Power-up\r\n"
      "03/05/2024 10:00:07 Setup Change\r\n"
      "03/05/2024 10:00:09 Header\r\n"
      "03/05/2024 10:00:10 System Reset\r\n"
      "03/05/2024 10:00:11 Low Battery\r\n"
      "03/05/2024 10:00:12 Battery OK\r\n"
      "03/05/2024 10:00:13 Setup\r\n"
      "03/05/2024 10:00:00  Newer verison of program required for block typehs_Rsvd3\r\n"
      "03/05/2024 10:00:00  Newer verison of program required for block typehs_Rsvd10\r\n"
      "03/05/2024 10:00:00 " +
      std::string(50, 'n') +
      "\r\n"
      "03/05/2024 10:00:00 ab\r\n"
      "End of Data\r\n"
      "Unknown Header status: Unknown Header found in the data\r\n";
  EXPECT_EQ(Decode(), Text);
  // Without notes only the Wrap line is left.
  DDR.Layout.AddNotes = false;
  EXPECT_EQ(Decode(), "03/05/2024 10:00:00 Wrap\r\n");
  DDR.Layout.AddNotes = true;
  DDR.Layout.DDROutputFormat = TOutputFormat::Excel;
  EXPECT_EQ(Decode().substr(0, 63),
            "03/05/2024 10:00:00\tWrap\r\n03/05/2024 10:00:06\tSystem Power-up\r\n");
}

TEST_F(DDRFile, EventBlocksInExcelStyle) {
  DDR.Layout.DDROutputFormat = TOutputFormat::Excel;
  TBytes F = EventBlock(12, T0, 0);
  Append(F, EventBlock(18, T0, 0));
  Append(F, NoteBlock(T0, 0, "field note"));
  Append(F, EventBlock(0, T0, 0));
  Append(F, EventBlock(22, T0, 0));
  Append(F, EventBlock(23, T0, 0));
  Open(F);
  EXPECT_EQ(Decode(),
            "03/05/2024 10:00:00\tBattery OK\r\n"
            "03/05/2024 10:00:00\t Newer verison of program required for block typehs_Rsvd7\r\n"
            "03/05/2024 10:00:00\tfield note\r\n"
            "03/05/2024 10:00:00\tWrap\r\n"
            "End of Data\r\n"
            "Unknown Header status: Unknown Header found in the data\r\n");
}

TEST_F(DDRFile, LogNoteTextIsLengthLessThirteenCharacters) {
  TBytes P = {'s', 'e', 'v', 'e', 'n', '!', '!', 'X'}; // the last byte is not text
  TBytes F = Block(8, T0, T0, P);
  Append(F, NoteBlock(T0, T0, std::string(70, 'z')));
  Open(F);
  int Count;
  ASSERT_TRUE(DDR.ReadBlock(Count));
  EXPECT_EQ(DDR.BlockHeader().Length, 20);
  EXPECT_EQ(DDR.NoteText(), "seven!!");
  ASSERT_TRUE(DDR.ReadBlock(Count));
  EXPECT_EQ(DDR.NoteText(), std::string(50, 'z'));
}

// ---------------------------------------------------------------------------
// Sensor blocks

TEST_F(DDRFile, HeadingsForTwoSensorsWithAShortPattern) {
  std::vector<TGenSensor> S = {{"A", "u"}, {"Bb", "vv"}};
  Open(SensorBlock(0, 0, 60, S));
  // Pattern of 17 characters: 18 blanks, then runs of 13 dashes.
  EXPECT_EQ(DecodeAll(DDR, "DD/MM/YY HH:MM:SS", false),
            Blanks(18) + Blanks(8) + "A u   " + Blanks(6) + "Bb vv   " + "\r\n" + Blanks(18) +
                "------------- ------------- \r\n");
}

TEST_F(DDRFile, LongNamesWidenTheColumnsAndTheWidthNeverShrinks) {
  std::vector<TGenSensor> S = {{"ABCDEFGHIJKLM", "unitsXYZ"}, {"x", "y"}};
  S[0].DataType = 3;
  S[1].DataType = 3;
  S[1].RightDigits = 0;
  TBytes F = SensorBlock(T0, T0, 60, S);
  TBytes Scans;
  PutScan(Scans, S, {123, Missing()});
  Append(F, DataBlock(T0, T0, Scans));
  Append(F, SensorBlock(T0, T0, 60, {{"n", "m"}}, 3));
  Append(F, DataBlock(T0, T0, {0, 0}));
  Open(F);
  // A 10-character name and 6-character units: width 18.
  EXPECT_EQ(Decode(), B20 + " ABCDEFGHIJ unitsX   " + Blanks(15) + "x y   \r\n" + B20 +
                          "-------------------- -------------------- \r\n"
                          "03/05/2024 10:00:00 " +
                          Blanks(14) + "1.23   " + Blanks(17) + "-   \r\n" + B20 + Blanks(15) +
                          "n m   \r\n" + B20 + "-------------------- \r\n" +
                          "03/05/2024 10:00:00 " + Blanks(11) + "-327.67   \r\n");
  EXPECT_EQ(DDR.CurrentSetup().Sensors[0].Name, "n");
}

TEST_F(DDRFile, RepeatedSetupInOtherCaseGivesNoHeadingButZeroesBaseValues) {
  std::vector<TGenSensor> S = {{"Stage", "ft"}};
  TBytes F = SensorBlock(T0, T0, 60, S);
  Append(F, BaseBlock(T0, T0, {BaseWord(1000)}));
  std::vector<TGenSensor> Same = {{"STAGE", "m"}};
  Same[0].DataType = 3;
  Append(F, SensorBlock(T0, T0, 30, Same));
  Open(F);
  EXPECT_EQ(Decode(), B20 + "   Stage ft   \r\n" + B20 + "------------- \r\n");
  EXPECT_EQ(DDR.BaseValues()[0], 0);
  EXPECT_EQ(DDR.CurrentSetup().ScanInterval, 30);
  EXPECT_EQ(DDR.CurrentSetup().Sensors[0].Units, "m");
}

TEST_F(DDRFile, ChangedSetupWordCountOrByteGivesAHeading) {
  std::vector<TGenSensor> S = {{"a", "b"}};
  TBytes F = SensorBlock(0, 0, 60, S, 5, 1);
  Append(F, SensorBlock(0, 0, 60, S, 6, 1));
  Append(F, SensorBlock(0, 0, 60, S, 6, 2));
  Append(F, SensorBlock(0, 0, 60, {{"a", "b"}, {"c", "d"}}, 6, 2));
  Open(F);
  const std::string One = B20 + Blanks(8) + "a b   \r\n" + B20 + "------------- \r\n";
  EXPECT_EQ(Decode(), One + One + One + B20 + Blanks(8) + "a b   " + Blanks(8) + "c d   \r\n" +
                          B20 + "------------- ------------- \r\n");
}

TEST_F(DDRFile, SensorCountIsCutToWholeDescriptorsAndToFiftyOne) {
  std::vector<TGenSensor> Many(60, TGenSensor{"s", "u"});
  TBytes F = SensorBlock(0, 0, 60, Many, 2, 0, 0, 60);
  TBytes Short = SensorBlock(0, 0, 60, Many, 9, 0, 0, 5);
  Short.resize(20 + 32 * 3 + 10); // three whole descriptors and part of a fourth
  Short[0] = static_cast<std::uint8_t>(Short.size());
  Short[1] = 0;
  Append(F, Short);
  Open(F);
  int Count;
  std::string Text;
  int Width = 11, Resume = 0;
  std::int64_t Scan = 0;
  ASSERT_TRUE(DDR.ReadBlock(Count));
  ASSERT_NO_THROW(DDR.DecodeBlock(Text, Width, Pattern, Resume, DDRLineBudget, Scan, false));
  EXPECT_EQ(DDR.CurrentSetup().SensorCount, 51);
  ASSERT_TRUE(DDR.ReadBlock(Count));
  ASSERT_NO_THROW(DDR.DecodeBlock(Text, Width, Pattern, Resume, DDRLineBudget, Scan, false));
  EXPECT_EQ(DDR.CurrentSetup().SensorCount, 3);
  EXPECT_EQ(Resume, DDRBlockFinished);
}

TEST_F(DDRFile, SensorHeadingExcelStyle) {
  DDR.Layout.DDROutputFormat = TOutputFormat::Excel;
  Open(SensorBlock(0, 0, 60, {{"Stage", "ft"}, {"Q", ""}}));
  EXPECT_EQ(Decode(), "\tStage ft\t\tQ \t\r\n");
}

// ---------------------------------------------------------------------------
// Base values and scans

TEST_F(DDRFile, BaseWordsAndEveryDataType) {
  std::vector<TGenSensor> S;
  for (int T = 0; T <= 8; ++T) {
    TGenSensor G{"t" + std::to_string(T), ""};
    G.DataType = static_cast<std::uint8_t>(T);
    G.RightDigits = T >= 6 ? 3 : 1;
    S.push_back(G);
  }
  TBytes F = SensorBlock(T0, T0, 60, S);
  // Base: all ones gives 0, 2147483648 gives 1, then 10, -10, and so on.
  Append(F, BaseBlock(T0, T0,
                      {0xFFFFFFFFu, 2147483648u, BaseWord(10), BaseWord(-10), BaseWord(500),
                       BaseWord(500), BaseWord(500), BaseWord(500), BaseWord(500)}));
  TBytes Scans;
  PutScan(Scans, S, {-127, 254, -32767, 65534, -2147483647.0, -2147483647.0, 1.0625, -1e10, 0});
  PutScan(
      Scans, S,
      {Missing(), Missing(), Missing(), Missing(), Missing(), Missing(), Missing(), Missing(), 0});
  Append(F, DataBlock(T0, T0 + 60, Scans, 5));
  Open(F);
  const std::string Head1 = B20 + "        t0    " + "        t1    " + "        t2    " +
                            "        t3    " + "        t4    " + "        t5    " +
                            "        t6    " + "        t7    " + "        t8    " + "\r\n";
  std::string Dashes = B20;
  for (int I = 0; I < 9; ++I) Dashes += "------------- ";
  EXPECT_EQ(Decode(), Head1 + Dashes + "\r\n" + "03/05/2024 10:00:00 " + Pad("-12.7") + "   " +
                          Pad("25.5") + "   " + Pad("-3275.7") + "   " + Pad("6552.4") + "   " +
                          "-214748364.7   " + "-214748364.7   " + "1.062   " +
                          "-10000000000.000   " + "Bad type: 8   \r\n" + "03/05/2024 10:01:00 " +
                          Pad("-.-") + "   " + Pad("-.-") + "   " + Pad("-.-") + "   " +
                          Pad("-.-") + "   " + Pad("-.-") + "   " + Pad("-.-") + "   " +
                          Pad("-.---") + "   " + Pad("-.---") + "   " + "Bad type: 8   \r\n");
}

// A sensor with 255 right digits once wrote every value and every missing
// value 255 decimals wide: above 15 they read as 15, for integer- and
// real-coded values alike.
TEST_F(DDRFile, RightDigitsAboveFifteenReadAsFifteen) {
  auto Text = [this](std::uint8_t Digits) {
    std::vector<TGenSensor> S(3, TGenSensor{"v", "u"});
    S[0].DataType = 2;
    S[1].DataType = 5;
    S[2].DataType = 7;
    for (auto& G : S) G.RightDigits = Digits;
    TBytes F = SensorBlock(T0, T0, 60, S);
    TBytes Scans;
    PutScan(Scans, S, {-12, 123456789.0, 2.5});
    PutScan(Scans, S, {Missing(), Missing(), Missing()});
    Append(F, DataBlock(T0, T0 + 60, Scans));
    Open(F, "D" + std::to_string(Digits) + ".DDR");
    const std::string Text = Decode();
    return Text.substr(Text.find("03/05"));
  };
  const std::string Fifteen = Text(15);
  EXPECT_NE(Fifteen.find("2.500000000000000"), std::string::npos);
  EXPECT_EQ(Text(16), Fifteen);
  EXPECT_EQ(Text(255), Fifteen);
}

TEST_F(DDRFile, RealsAreWrittenAsPrintfDoes) {
  std::vector<TGenSensor> S(5, TGenSensor{"r", ""});
  S[0].DataType = 7;
  S[0].RightDigits = 2;
  S[1].DataType = 7;
  S[1].RightDigits = 0;
  S[2].DataType = 7;
  S[2].RightDigits = 1;
  S[3].DataType = 6;
  S[3].RightDigits = 2;
  S[4].DataType = 7;
  S[4].RightDigits = 3;
  TBytes F = SensorBlock(T0, T0, 60, S);
  TBytes Scans;
  PutScan(Scans, S, {-0.004, 2.5, 0.25, 1e6, 2.0625});
  PutScan(Scans, S, {-1.125, 3.5, 0.35, -0.0, 1.0});
  Append(F, DataBlock(T0, T0 + 60, Scans));
  Open(F);
  const std::string Text = Decode();
  const auto Lines = Text.substr(Text.find("03/05"));
  EXPECT_EQ(Lines, "03/05/2024 10:00:00 -0.00   2   0.2   1000000.00   2.062   \r\n"
                   "03/05/2024 10:01:00 -1.12   4   0.3   -0.00   1.000   \r\n");
}

// Scans of no bytes (no sensors, or only unknown types) follow the scan
// interval up to the stop time; without an interval there is one a block.
// Payload bytes left over leave the block unfinished.
TEST_F(DDRFile, ScansOfNoBytesRunByTime) {
  TGenSensor Odd{"x", "u"};
  Odd.DataType = 9;
  const std::int32_t Night = DDRTime(2024, 3, 5, 22, 53, 33);
  const std::int32_t Morning = DDRTime(2024, 3, 6, 7, 38, 10);
  const struct {
    const char* Name;
    TBytes Setup; // empty: the setup a new decoder starts with
    std::int32_t Start, Stop;
    std::string Lines;
  } Cases[] = {
      {"no setup", {}, T0, T0 + 600, "03/05/2024 10:00:00 \r\n"},
      {"interval 0", SensorBlock(T0, T0, 0, {}), T0, T0 + 600, "03/05/2024 10:00:00 \r\n"},
      {"no sensors", SensorBlock(T0, T0, 7200, {}), Night, Morning,
       "03/05/2024 22:53:33 \r\n03/06/2024 00:53:33 \r\n03/06/2024 02:53:33 \r\n"
       "03/06/2024 04:53:33 \r\n03/06/2024 06:53:33 \r\n"},
      {"unknown types", SensorBlock(T0, T0, 60, {Odd, Odd}), T0, T0 + 90,
       "03/05/2024 10:00:00 Bad type: 9   Bad type: 9   \r\n"
       "03/05/2024 10:01:00 Bad type: 9   Bad type: 9   \r\n"},
  };
  for (const auto& C : Cases) {
    TBytes F = C.Setup;
    Append(F, DataBlock(C.Start, C.Stop, {1, 2, 3, 4, 5}));
    TDDRObj Fresh{Dialog};
    ASSERT_TRUE(WriteWhole(Scratch.File("Z.DDR"), F));
    Fresh.DDRFileName = Scratch.File("Z.DDR");
    std::string Proposal;
    ASSERT_TRUE(Fresh.OpenDDR(Proposal));
    const std::string Text = DecodeAll(Fresh, Pattern, false);
    EXPECT_EQ(Text.substr(Text.find("03/0")), C.Lines + "<unexpected end>\r\n") << C.Name;
  }

  // A long run is cut at the budget and resumed like any other, and ends
  // after as many scans as the block has payload bytes (4084).
  TBytes F = SensorBlock(T0, T0, 1, {});
  Append(F, DataBlock(T0, T0 + 20 * 365 * 86400, TBytes(4084, 0)));
  Open(F);
  int Pieces = 0;
  const std::string Text = DecodeAll(DDR, Pattern, false, 11, DDRLineBudget, &Pieces);
  EXPECT_EQ(std::count(Text.begin(), Text.end(), '\n'), 2 + 4084 + 1); // heading, lines, end
  EXPECT_EQ(Text.substr(Text.size() - 40), "03/05/2024 11:08:03 \r\n<unexpected end>\r\n");
  // The heading, then 22-character lines at most 22000 characters a piece.
  EXPECT_EQ(Pieces, 1 + 5);
}

TEST_F(DDRFile, ScanIntervalZeroKeepsTheStartTimeUntilThePayloadIsUsed) {
  std::vector<TGenSensor> S = {{"a", "b"}};
  S[0].DataType = 1;
  S[0].RightDigits = 0;
  TBytes F = SensorBlock(T0, T0, 0, S);
  Append(F, DataBlock(T0, T0, {1, 2, 3}));
  Open(F);
  const std::string Text = Decode();
  EXPECT_EQ(Text.substr(Text.find("03/05")), "03/05/2024 10:00:00           1   \r\n"
                                             "03/05/2024 10:00:00           2   \r\n"
                                             "03/05/2024 10:00:00           3   \r\n");
}

TEST_F(DDRFile, PayloadAndTimesThatDisagree) {
  std::vector<TGenSensor> S = {{"a", "b"}};
  S[0].DataType = 3;
  S[0].RightDigits = 0;
  TBytes F = SensorBlock(T0, T0, 60, S);
  // Times promise 5 scans, the payload holds 2: the two are written quietly.
  Append(F, DataBlock(T0, T0 + 240, {1, 0, 2, 0}));
  // Times promise 1 scan, the payload holds 2 and a half: unfinished.
  Append(F, DataBlock(T0, T0, {3, 0, 4, 0, 5}));
  // A partial last scan.
  Append(F, DataBlock(T0 + 60, T0 + 600, {6, 0, 7}));
  Append(F, EventBlock(22, 0, 0));
  Open(F);
  const std::string Text = Decode();
  EXPECT_EQ(Text.substr(Text.find("03/05")), "03/05/2024 10:00:00           1   \r\n"
                                             "03/05/2024 10:01:00           2   \r\n"
                                             "03/05/2024 10:00:00           3   \r\n"
                                             "<unexpected end>\r\n"
                                             "03/05/2024 10:01:00           6   \r\n"
                                             "<unexpected end>\r\n"
                                             "End of Data\r\n");
}

TEST_F(DDRFile, DataOffLeavesDataBlocksOut) {
  DDR.Layout.AddData = false;
  Open(SampleFile());
  std::string Expected = SampleText;
  const auto From = Expected.find("03/05/2024 10:00:00");
  Expected.erase(From, Expected.find("03/05/2024 10:30:00 Checked") - From);
  EXPECT_EQ(Decode(), Expected);
}

TEST_F(DDRFile, LongBlocksAreSplitAtTheBudgetAndResume) {
  std::vector<TGenSensor> S = {{"a", "b"}};
  S[0].DataType = 1;
  S[0].RightDigits = 0;
  TBytes F = SensorBlock(T0, T0, 1, S);
  TBytes Scans(4084, 7);
  Append(F, DataBlock(T0, T0 + 5000, Scans));
  Open(F);
  std::string Expected = B20 + Blanks(8) + "a b   \r\n" + B20 + "------------- \r\n";
  for (int I = 0; I < 4084; ++I)
    Expected += DDR.FormatDDRTime(T0 + I, Pattern) + "           7   \r\n";
  int Pieces = 0;
  EXPECT_EQ(DecodeAll(DDR, Pattern, false, 11, DDRLineBudget, &Pieces), Expected);
  // 36-character lines, at most 22000 characters a piece: 611 lines a piece.
  EXPECT_EQ(Pieces, 1 + 7);

  int Count, Width = 11, Resume = 0;
  std::int64_t Scan = 0;
  std::string Text;
  DDR.ReadBlock(Count);
  DDR.ReadBlock(Count);
  ASSERT_NO_THROW(DDR.DecodeBlock(Text, Width, Pattern, Resume, 100, Scan, false));
  EXPECT_EQ(Text.size(), 72u); // a third line would reach the budget of 100
  EXPECT_EQ(Resume, 14);
  EXPECT_EQ(Scan, T0 + 2);
  ASSERT_NO_THROW(DDR.DecodeBlock(Text, Width, Pattern, Resume, 1, Scan, false));
  EXPECT_EQ(Text, "03/05/2024 10:00:02           7   \r\n"); // always one line
}

// ---------------------------------------------------------------------------
// Block listing

TEST_F(DDRFile, ListingTextAndExcelStyles) {
  Open(SampleFile());
  int Count;
  long long Data = 0, Total = 0;
  std::string Line, Copy;
  DDR.ListBlock(Line, true, Data, Total, Pattern, true, Copy);
  EXPECT_EQ(Line, "\r\nSTART TIME" + std::string(10, ' ') + "STOP TIME" + std::string(11, ' ') +
                      "STATUS         LEN  NOTE\r\n" + std::string(19, '-') + " " +
                      std::string(19, '-') + " -------------- ---- ---------------\r\n");
  EXPECT_EQ(Copy, Line);
  std::string All;
  while (DDR.ReadBlock(Count) && Count > 12) {
    Line.clear();
    DDR.ListBlock(Line, false, Data, Total, Pattern, false, Copy);
    All += Line;
  }
  EXPECT_EQ(All, "03/05/2024 10:00:00 03/05/2024 10:00:00 Master           88\r\n"
                 "03/05/2024 10:00:00 03/05/2024 10:00:00 Sensor           84\r\n"
                 "03/05/2024 10:00:00 03/05/2024 10:00:00 Base             20\r\n"
                 "03/05/2024 10:00:00 03/05/2024 10:30:00 Data             30\r\n"
                 "03/05/2024 10:30:00 03/05/2024 10:30:00 Log Note         20 Checked\r\n"
                 "03/05/2024 11:00:00 03/05/2024 11:00:00 System Power-up  16\r\n"
                 "03/05/2024 11:00:00 03/05/2024 11:00:00 END              16\r\n");
  EXPECT_EQ(Data, 18);
  EXPECT_EQ(Total, 274);

  DDR.Layout.DDROutputFormat = TOutputFormat::Excel;
  DDR.Rewind();
  Line.clear();
  DDR.ListBlock(Line, true, Data, Total, Pattern, false, Copy);
  EXPECT_EQ(Line, "\r\nSTART TIME\tSTOP TIME\tSTATUS\tLEN\tNOTE\r\n");
  All.clear();
  for (int I = 0; I < 5 && DDR.ReadBlock(Count); ++I) {
    Line.clear();
    DDR.ListBlock(Line, false, Data, Total, Pattern, false, Copy);
    All += Line;
  }
  EXPECT_EQ(All.substr(All.find("03/05/2024 10:00:00\t03/05/2024 10:30:00")),
            "03/05/2024 10:00:00\t03/05/2024 10:30:00\tData\t30\r\n"
            "03/05/2024 10:30:00\t03/05/2024 10:30:00\tLog Note\t20\tChecked\r\n");
}

TEST_F(DDRFile, ListingOfAnEmptyLogNoteHasNoLineEnd) {
  TBytes F = Block(8, T0, T0, {});
  Open(F);
  int Count;
  long long Data = 0, Total = 0;
  std::string Line, Copy;
  DDR.ReadBlock(Count);
  DDR.ListBlock(Line, false, Data, Total, "MMDDYY HHMM", false, Copy);
  EXPECT_EQ(Line, "030524 1000 030524 1000 Log Note         12");
  EXPECT_EQ(Total, 12);
}

// ---------------------------------------------------------------------------
// Input and output files

TEST_F(DDRFile, InputNameChecksAndProposedOutput) {
  std::string Proposal = "x";
  DDR.DDRFileName = "";
  EXPECT_FALSE(DDR.OpenDDR(Proposal));
  EXPECT_EQ(Proposal, "");
  DDR.DDRFileName = Scratch.File("missing.ddr");
  EXPECT_FALSE(DDR.OpenDDR(Proposal));
  WriteWhole(Scratch.File("data.txt"), "x");
  DDR.DDRFileName = Scratch.File("data.txt");
  EXPECT_FALSE(DDR.OpenDDR(Proposal));
  EXPECT_FALSE(DDR.InputOpen());
  EXPECT_EQ(Dialog.Texts(), (std::vector<std::string>{
                                "File does not exist or is invalid. Please select another file.",
                                "File is invalid. Please select another file."}));
  EXPECT_EQ(Dialog.Shown[0].Kind, TMsgKind::Error);
  EXPECT_EQ(Dialog.Shown[0].Buttons, TMsgButtons::OK);

  WriteWhole(Scratch.File("site.1.ddr"), "");
  DDR.DDRFileName = Scratch.File("site.1.ddr");
  EXPECT_TRUE(DDR.OpenDDR(Proposal));
  EXPECT_TRUE(DDR.InputOpen());
  EXPECT_EQ(DDR.DDRDirectory, Scratch.Dir());
  EXPECT_EQ(Proposal, Scratch.Dir() + "SITE.PRN");
  DDR.Layout.DDROutputFormat = TOutputFormat::Excel;
  EXPECT_TRUE(DDR.OpenDDR(Proposal));
  EXPECT_EQ(DDR.DDROutputFileName, Scratch.Dir() + "SITE.XLS");
  DDR.CloseDDR();
  EXPECT_FALSE(DDR.InputOpen());
  int Count;
  EXPECT_FALSE(DDR.ReadBlock(Count));
}

TEST_F(DDRFile, OutputNameChecks) {
  DDR.DDRDirectory = Scratch.Dir() + "made/";
  DDR.DDROutputFileName = "";
  EXPECT_FALSE(DDR.ValidateOutputFile());
  // No directory: the DDR file's directory, created without asking.
  DDR.DDROutputFileName = "out.prn";
  EXPECT_TRUE(DDR.ValidateOutputFile());
  EXPECT_EQ(DDR.DDROutputFileName, Scratch.Dir() + "made/out.prn");
  EXPECT_TRUE(fs::is_directory(Scratch.Dir() + "made"));
  EXPECT_TRUE(Dialog.Shown.empty());

  DDR.DDROutputFileName = "REPORT.TXT";
  EXPECT_FALSE(DDR.ValidateOutputFile());
  DDR.Layout.DDROutputFormat = TOutputFormat::Excel;
  DDR.DDROutputFileName = "REPORT.PRN";
  EXPECT_FALSE(DDR.ValidateOutputFile());
  DDR.DDROutputFileName = Scratch.Dir() + "new/deeper/";
  Dialog.Answers = {TMsgResult::No};
  EXPECT_FALSE(DDR.ValidateOutputFile());
  Dialog.Answers = {TMsgResult::Yes};
  EXPECT_FALSE(DDR.ValidateOutputFile());
  EXPECT_TRUE(fs::is_directory(Scratch.Dir() + "new/deeper"));
  WriteWhole(Scratch.File("ro.xls"), "old");
  fs::permissions(Scratch.File("ro.xls"), fs::perms::owner_read | fs::perms::group_read);
  DDR.DDROutputFileName = Scratch.File("ro.xls");
  EXPECT_FALSE(DDR.ValidateOutputFile());
  DDR.DDROutputFileName = Scratch.File("book.Xls");
  EXPECT_TRUE(DDR.ValidateOutputFile());
  EXPECT_EQ(DDR.DDROutputFileName, Scratch.File("book.Xls"));
  EXPECT_EQ(Dialog.Texts(),
            (std::vector<std::string>{"Please enter valid \"Text\" Output File Name.",
                                      "Please enter valid \"Excel\" Output File Name.",
                                      "Path does not exist. Do you wish to create it?",
                                      "Path does not exist. Do you wish to create it?",
                                      "Please enter Output File name.",
                                      "Unable to write to a Read-only file."}));
  EXPECT_EQ(Dialog.Shown[2].Kind, TMsgKind::Confirmation);
  EXPECT_EQ(Dialog.Shown[2].Buttons, TMsgButtons::YesNo);
}

TEST_F(DDRFile, MatchOutputExtension) {
  std::string Name;
  DDR.DDROutputFileName = "/data/v.1/SITE.PRN";
  DDR.Layout.DDROutputFormat = TOutputFormat::Excel;
  DDR.MatchOutputExt(Name);
  EXPECT_EQ(Name, "/data/v.1/SITE.XLS");
  DDR.DDROutputFileName = "/data/v.1/SITE";
  DDR.Layout.DDROutputFormat = TOutputFormat::Text;
  DDR.MatchOutputExt(Name);
  EXPECT_EQ(DDR.DDROutputFileName, "/data/v.1/SITE.PRN");
}

TEST_F(DDRFile, CreatedOutputReplacesTheOldFileOnlyWhenComplete) {
  const std::string Out = Scratch.File("OUT.PRN");
  WriteWhole(Out, "old\r\n");
  DDR.DDROutputFileName = Out;
  ASSERT_TRUE(DDR.OpenOutput(false));
  ASSERT_TRUE(DDR.WriteOutput("new\r\n"));
  EXPECT_EQ(ReadWhole(Out), "old\r\n"); // not touched while writing
  DDR.CloseOutput(false);
  EXPECT_EQ(ReadWhole(Out), "old\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(Scratch.Path()), fs::directory_iterator()), 1);

  ASSERT_TRUE(DDR.OpenOutput(false));
  ASSERT_TRUE(DDR.WriteOutput("new\r\n"));
  EXPECT_TRUE(DDR.CloseOutput());
  EXPECT_EQ(ReadWhole(Out), "new\r\n");

  ASSERT_TRUE(DDR.OpenOutput(true)); // appends in place
  ASSERT_TRUE(DDR.WriteOutput("more\r\n"));
  EXPECT_EQ(ReadWhole(Out), "new\r\nmore\r\n"); // flushed per piece
  EXPECT_TRUE(DDR.CloseOutput());
  EXPECT_FALSE(DDR.OutputOpen());
  EXPECT_EQ(std::distance(fs::directory_iterator(Scratch.Path()), fs::directory_iterator()), 1);

  DDR.DDROutputFileName = Scratch.File("nodir/X.PRN");
  EXPECT_FALSE(DDR.OpenOutput(true));
  EXPECT_EQ(Dialog.Texts().back(),
            "Error opening output file " + Scratch.File("nodir/X.PRN") + ".");
  EXPECT_FALSE(DDR.WriteOutput("x"));
}

} // namespace
} // namespace quorvin::test
