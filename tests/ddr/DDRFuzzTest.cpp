// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile and damaged DDR files: every one must decode, list and save without
// a crash, a hang or a read outside the data (run under the sanitizer build).
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "DDRTestUtil.h"
#include "ddr/DDRPage.h"
#include "support/FakeUi.h"

namespace quorvin::test {
namespace {

using namespace ddrgen;

const std::string FuzzPattern = "MM/DD/YYYY HH:MM:SS";

class DDRFuzz : public ::testing::Test {
protected:
  TDDRScratch Scratch;
  TFakeUi Ui;
  TDDRObj DDR{Ui.Dialog};
  TDateTimeFormat Format;
  bool FileValid = false;
  TDDRPage Page{DDR, Ui.Services, Format, FileValid, [](const std::string&) { return true; }};

  DDRFuzz() { SetDateTimeFormat(Format, "MM/DD/YYYY HH:MM:SS"); }
  ~DDRFuzz() override { RecordProperty("LargestOutputToInput", std::to_string(Largest)); }
  double Largest = 0;

  // Decodes, lists and saves one file in both formats; returns the text decoded.
  std::string Exercise(const TBytes& B) {
    const std::string Path = Scratch.File("F.DDR");
    EXPECT_TRUE(WriteWhole(Path, B));
    Page.SetDDRLogText(Path);
    Page.SetDDRLogText(Path + " ");
    Page.SetDDRLogText(Path);
    Page.edtFilenameExit();
    EXPECT_TRUE(FileValid);
    int Pieces = 0;
    const std::string Text = DecodeAll(DDR, FuzzPattern, false, 11, DDRLineBudget, &Pieces);
    EXPECT_EQ(Text.find("<no end>"), std::string::npos);
    EXPECT_EQ(Text.find("<decode failed>"), std::string::npos);
    EXPECT_EQ(Text.find("<read failed>"), std::string::npos);
    // Header, Display and Save as the commands drive the page, then Save in
    // the other output format.
    DDR.Layout.AddHeader = true;
    Page.ShowDDRSummary(cmHeader, "header failed");
    for (TCommandMode Mode : {cmDisplay, cmNone}) Page.ImportDDR(Mode, "failed");
    // What a text Save wrote stays within a hundred times the file, past a
    // floor for the listing and headings any file gets.
    if (!DDR.Layout.Excel() && std::filesystem::exists(DDR.DDROutputFileName)) {
      const double Out = double(std::filesystem::file_size(DDR.DDROutputFileName));
      EXPECT_LE(Out, std::max(100.0 * double(B.size()), 65536.0)) << B.size();
      Largest = std::max(Largest, Out / double(std::max<std::size_t>(B.size(), 1)));
    }
    DDR.Layout.DDROutputFormat = DDR.Layout.Excel() ? TOutputFormat::Text : TOutputFormat::Excel;
    std::string Output;
    DDR.MatchOutputExt(Output);
    Page.SetDDROutputText(Output);
    Page.ImportDDR(cmNone, "save failed");
    EXPECT_EQ(DDR.FilePosition(), 0);
    EXPECT_FALSE(DDR.OutputOpen());
    return Text;
  }
};

TBytes RandomBytes(std::mt19937& Rng, std::size_t Size) {
  TBytes B(Size);
  for (auto& X : B) X = static_cast<std::uint8_t>(Rng());
  return B;
}

TBytes RichFile() {
  std::vector<TGenSensor> S;
  for (int T = 0; T <= 9; ++T) {
    TGenSensor G{"sensor" + std::to_string(T), "unit" + std::to_string(T)};
    G.DataType = static_cast<std::uint8_t>(T);
    G.RightDigits = static_cast<std::uint8_t>(T % 4);
    G.Flags = static_cast<std::uint8_t>(T & 1);
    S.push_back(G);
  }
  const std::int32_t T0 = DDRTime(2020, 1, 1);
  TBytes F;
  Append(F, MasterBlock(T0, T0, "fw", "unit"));
  Append(F, SensorBlock(T0, T0, 10, S));
  Append(F, BaseBlock(T0, T0, std::vector<std::uint32_t>(10, BaseWord(-3))));
  TBytes Scans;
  for (int I = 0; I < 6; ++I)
    PutScan(Scans, S, {double(I), -1.0 * I, 7, Missing(), 1e9, -1e9, 0.5, 1e300, 0, 0});
  Append(F, DataBlock(T0, T0 + 50, Scans));
  Append(F, NoteBlock(T0, T0, "note"));
  Append(F, EventBlock(255, T0, T0));
  Append(F, EventBlock(17, T0, T0));
  Append(F, DataBlock(T0, T0 + 30, Scans, 5));
  Append(F, EventBlock(22, T0, T0));
  return F;
}

TEST_F(DDRFuzz, EveryTruncationOfAValidFile) {
  const TBytes Full = RichFile();
  const std::string Whole = Exercise(Full);
  EXPECT_NE(Whole.find("End of Data"), std::string::npos);
  for (std::size_t N = 0; N <= Full.size(); ++N) {
    const TBytes Cut(Full.begin(), Full.begin() + static_cast<std::ptrdiff_t>(N));
    Exercise(Cut);
  }
}

TEST_F(DDRFuzz, ShortFilesAndOverlongLengths) {
  std::mt19937 Rng(12);
  for (std::size_t N = 0; N <= 12; ++N)
    for (int K = 0; K < 8; ++K) Exercise(RandomBytes(Rng, N));
  // A first length over 4096 ends everything at once.
  TBytes B = RandomBytes(Rng, 9000);
  B[0] = 0x01;
  B[1] = 0x10;
  EXPECT_EQ(Exercise(B), "");
  B[0] = 0xFF;
  B[1] = 0xFF;
  EXPECT_EQ(Exercise(B), "");
  // Lengths of 0 and 1 read no block.
  EXPECT_EQ(Exercise({0, 0, 4, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), "");
  EXPECT_EQ(Exercise({1, 0, 4, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), "");
}

TEST_F(DDRFuzz, RandomBlockChains) {
  std::mt19937 Rng(2024);
  for (int File = 0; File < 150; ++File) {
    TBytes F;
    const int Blocks = 1 + static_cast<int>(Rng() % 12);
    for (int I = 0; I < Blocks; ++I) {
      const int Kind = static_cast<int>(Rng() % 6);
      const std::int32_t Start = static_cast<std::int32_t>(Rng());
      const std::int32_t Stop = Kind == 0 ? static_cast<std::int32_t>(Rng())
                                          : Start + static_cast<std::int32_t>(Rng() % 100000);
      if (Kind == 1) {
        // A setup with unknown types, odd counts and any interval.
        std::vector<TGenSensor> S(Rng() % 60);
        for (auto& G : S) {
          G.Name = std::string(Rng() % 14, static_cast<char>('a' + Rng() % 26));
          G.Units = std::string(Rng() % 9, 'u');
          G.DataType = static_cast<std::uint8_t>(Rng() % 12);
          G.RightDigits = static_cast<std::uint8_t>(Rng() % 2 ? Rng() % 6 : Rng());
          G.Flags = static_cast<std::uint8_t>(Rng());
        }
        TBytes Blk =
            SensorBlock(Start, Stop, static_cast<std::uint16_t>(Rng() % 3 ? Rng() % 5 : Rng()), S,
                        static_cast<std::uint16_t>(Rng() % 3), 0, 0, static_cast<int>(Rng() % 256));
        if (Blk.size() > 4096) Blk.resize(4096);
        Blk[0] = static_cast<std::uint8_t>(Blk.size() & 0xFF);
        Blk[1] = static_cast<std::uint8_t>(Blk.size() >> 8);
        Append(F, Blk);
      } else if (Kind == 2) {
        Append(F, DataBlock(Start, Stop, RandomBytes(Rng, Rng() % 4085),
                            static_cast<std::uint8_t>(4 + Rng() % 2)));
      } else {
        // Any status (255 among them) with a random payload and a length
        // that may lie about it.
        TBytes Blk =
            Block(static_cast<std::uint8_t>(Rng()), Start, Stop, RandomBytes(Rng, Rng() % 200));
        if (Rng() % 4 == 0) {
          const std::uint16_t Lie = static_cast<std::uint16_t>(Rng() % 5000);
          Blk[0] = static_cast<std::uint8_t>(Lie & 0xFF);
          Blk[1] = static_cast<std::uint8_t>(Lie >> 8);
        }
        Append(F, Blk);
      }
    }
    Exercise(F);
  }
}

TEST_F(DDRFuzz, PureRandomFilesAndStatus255) {
  std::mt19937 Rng(77);
  for (int File = 0; File < 60; ++File) Exercise(RandomBytes(Rng, Rng() % 20000));
  TBytes F = Block(255, 0, 0, RandomBytes(Rng, 100));
  Append(F, Block(255, -1, -1, {}));
  EXPECT_EQ(Exercise(F), "Unknown Header status: Unknown Header found in the data\r\n");
}

TEST_F(DDRFuzz, HugeValuesAndWidestLinesStayInTheBudget) {
  // 51 double sensors with 255 decimals of 1e308: very long lines.
  std::vector<TGenSensor> S(51, TGenSensor{"n", "u"});
  for (auto& G : S) {
    G.DataType = 7;
    G.RightDigits = 255;
  }
  TBytes F = SensorBlock(0, 0, 1, S);
  TBytes Scans;
  for (int I = 0; I < 9; ++I) PutScan(Scans, S, std::vector<double>(51, -1.7e308));
  Append(F, DataBlock(0, 100000, Scans));
  int Pieces = 0;
  ASSERT_TRUE(WriteWhole(Scratch.File("W.DDR"), F));
  DDR.DDRFileName = Scratch.File("W.DDR");
  std::string Proposal;
  ASSERT_TRUE(DDR.OpenDDR(Proposal));
  const std::string Text = DecodeAll(DDR, FuzzPattern, false, 11, DDRLineBudget, &Pieces);
  EXPECT_EQ(Text.find('<'), std::string::npos);
  EXPECT_EQ(Pieces, 1 + 9); // every scan line is longer than the budget: one a piece
}

// Setups that once made a few bytes into megabytes: fields of unknown types
// (they take no bytes) and scans of no bytes run by a stop time years on,
// and 255 right digits on integer and real values.
TEST_F(DDRFuzz, SetupsThatMultiplyTheirBytes) {
  for (int Known : {0, 1}) {
    std::vector<TGenSensor> S(51, TGenSensor{"n", "u"});
    for (auto& G : S) G.DataType = 9;
    S[0].DataType = Known ? 0 : 9;
    TBytes F = SensorBlock(0, 0, 1, S);
    for (int I = 0; I < 10; ++I) Append(F, DataBlock(0, 100000, TBytes(1 + 200 * Known, 0)));
    Exercise(F);
  }
  Exercise(DataBlock(0, 1 << 30, {0}));
  std::vector<TGenSensor> R(3, TGenSensor{"n", "u"});
  R[0].DataType = 2;
  R[1].DataType = 6;
  R[2].DataType = 7;
  for (auto& G : R) G.RightDigits = 255;
  TBytes F = SensorBlock(0, 0, 1, R);
  TBytes Scans;
  for (int I = 0; I < 200; ++I) PutScan(Scans, R, {Missing(), 1e38, -1.7e308});
  Append(F, DataBlock(0, 100000, Scans));
  Exercise(F);
}

} // namespace
} // namespace quorvin::test
