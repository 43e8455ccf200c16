// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged and hostile logs on the way through the export: corrupt digit
// counts, very wide lines.
#include <gtest/gtest.h>

#include <filesystem>

#include "generators/LogGen.h"
#include "report/Formatting.h"
#include "report/LogExport.h"
#include "support/FakeUi.h"
#include "support/Scratch.h"
#include "support/SelectLog.h"

namespace quorvin {
namespace {

using test::ReadWhole;
using test::TGenSensor;

class HostileInputTest : public ::testing::Test {
protected:
  test::TScratchDir Dir;
  test::TFakeUi Ui;
  TSelectedLog Sel;
  TLogPrnOptions Opt;
  TDateTimeFormat Fmt;
  std::string OutputName;

  HostileInputTest() { SetDateTimeFormat(Fmt, "MM/DD/YY HH:MM:SS"); }

  void Load(const std::string& Path) {
    if (test::SelectLog(Sel, Path)) test::CheckAll(Sel);
  }
  bool Run(TCommandMode Mode) {
    return ConvertLogToText(Sel, Opt, Fmt, Mode, GetFieldSeparator(Opt, Mode), Ui.Services,
                            OutputName);
  }
};

// A right-digits field of 65535 once made every value 65,535 characters long.
TEST_F(HostileInputTest, CorruptRightDigitsGiveFifteenDecimals) {
  test::WriteBinaryLog(Dir / "site1.log", "SITE1", 1998, 3, 5, 900,
                       {{"STAGE", 1.0, 0.0, 65535}, {"RAIN", 1.0, 0.0, 1}},
                       {{32768, 32772}, {32767, 32777}});
  Load(Dir / "site1.log");
  ASSERT_TRUE(Sel.LogLoaded());
  Opt.AppendData = false;
  ASSERT_TRUE(Run(cmNone));
  EXPECT_EQ(
      ReadWhole(OutputName),
      test::CRLFLines({"\"DATE\",\"TIME\",\"STAGE\",\"RAIN\"", "\"SLOPE\",,1.000000000000000,1.0",
                       "\"OFFSET\",,0.000000000000000,0.0", "\"RIGHTDIGITS\",,15,1",
                       "03/05/98,00:00:00,0.000000000000001,0.5",
                       "03/05/98,00:15:00,0.000000000000000,1.0",
                       "03/05/98,00:30:00,-.---------------,-.-"}));
}

// Records each chunk's size in characters as the export hands it on.
class TChunkPane : public test::TFakeTextPane, public IBusyCursor {
public:
  std::vector<std::size_t> Chunks;
  void Begin() override {}
  void End() override {}
  bool Step(long long, long long) override {
    std::size_t Bytes = 0;
    for (std::size_t I = FHandedOn; I < Lines.size(); ++I) Bytes += Lines[I].Text.size();
    Chunks.push_back(Bytes);
    FHandedOn = Lines.size();
    return false;
  }

private:
  std::size_t FHandedOn = 0;
};

// Very wide lines are handed on before 256 of them add up to megabytes.
TEST_F(HostileInputTest, ChunksAreBoundedInCharacters) {
  std::vector<TGenSensor> Sensors;
  for (int I = 0; I < 1500; ++I) Sensors.push_back({"S" + std::to_string(I), 1.0, 0.0, 2});
  test::WriteBinaryLog(
      Dir / "wide.log", "WIDE", 2001, 1, 1, 60, Sensors,
      std::vector<std::vector<std::uint16_t>>(200, std::vector<std::uint16_t>(1500, 40000)));
  Load(Dir / "wide.log");
  ASSERT_TRUE(Sel.LogLoaded());
  TChunkPane Pane;
  TUiServices Services{Ui.Dialog, Ui.Status, Pane, Pane};
  ASSERT_TRUE(ConvertLogToText(Sel, Opt, Fmt, cmDisplay, GetFieldSeparator(Opt, cmDisplay),
                               Services, OutputName));
  std::size_t Widest = 0;
  for (const auto& L : Pane.Lines) Widest = std::max(Widest, L.Text.size());
  ASSERT_EQ(Pane.Lines.size(), 2u + 4u + 201u); // title, blank, header rows, data
  ASSERT_GE(Pane.Chunks.size(), 3u);
  for (std::size_t Bytes : Pane.Chunks) EXPECT_LE(Bytes, ChunkBytes + Widest);
}

// Damaged files of every shape that once multiplied their size: none makes
// an output of more than a hundred times its input (or a megabyte) unless
// the user was asked first, and asked means nothing written on No.
TEST_F(HostileInputTest, NoOutputGrowsPastAHundredTimesItsInputUnasked) {
  using test::TGenLog;
  auto Binary = [&](const char* Name, int Sensors, int Records, int Flip) {
    TGenLog L;
    L.Year = 2001, L.Month = 1, L.Day = 1;
    for (int I = 0; I < Sensors; ++I) L.Sensors.push_back({"S" + std::to_string(I), 1.0, 0.0, 1});
    std::string Bytes = test::LogFileBytes(L, Records);
    Bytes[53] = static_cast<char>(Bytes[53] | Flip);
    test::WriteWhole(Dir / Name, Bytes);
    return Dir / Name;
  };
  const long long T0 = test::GenPartsToSecs(2024, 7, 1);
  const std::string Day = test::CSVLayout1Text({"A", "B"}, {"C", "%"}, T0, 900, 192);
  auto CSV = [&](const char* Name, const std::string& Text) {
    test::WriteWhole(Dir / Name, Text);
    return Dir / Name;
  };
  std::string FarDates = Day;
  for (const char* D :
       {"06/01/2099", "11/24/1963", "02/30/2000", "13/45/2024", "1/1/1", "12/31/9999", "/", "//"})
    FarDates += std::string(D) + ",12:00:00,A,1.0,C,G\r\n";
  std::string LongPattern;
  while (LongPattern.size() < 64) LongPattern += "YM";
  const struct {
    const char* Name;
    std::string Path;
    std::string Pattern = "MM/DD/YY HH:MM:SS";
  } Shapes[] = {
      {"a year of 16 sensors", Binary("year.log", 16, 35040, 0)},
      {"its sensor count flipped by one bit", Binary("flip.log", 16, 35040, 0x80)},
      {"a wide header over three records", Binary("wide.log", 5000, 3, 0)},
      {"many sensors, no records", Binary("none.log", 5000, 0, 0)},
      {"long right digits",
       CSV("digits.csv", "07/01/2024,00:00:00,A,1." + std::string(70000, '0') + ",C,G\r\n" + Day)},
      {"far and impossible dates", CSV("far.csv", FarDates)},
      {"a stray date", CSV("stray.csv", "01/01/2020,12:00:00,A,1.0,C,G\r\n" + Day)},
      {"10,000 columns", CSV("columns.csv", test::CSVLayout2Text("W", 10000, T0, 900, 2))},
      // Most letters of the pattern a number of two digits: lines six times
      // as wide as the usual, over 200 days of a stray date.
      {"a long pattern", CSV("pattern.csv", "12/06/2023,00:00:00,A,1.0,C,G\r\n" + Day),
       LongPattern},
  };
  Opt.AppendData = false;
  Opt.DisplayFixedFormat = true;
  double Largest = 0;
  for (const auto& S : Shapes) {
    SCOPED_TRACE(S.Name);
    Ui.Dialog.Shown.clear();
    Load(S.Path);
    const std::string Out = Dir / "OUT.PRN";
    std::filesystem::remove(Out);
    SetDateTimeFormat(Fmt, S.Pattern);
    if (Sel.LogLoaded()) {
      TLogExport Export(Sel, Opt, Fmt, cmNone, Ui.Services);
      Export.SetOutputFileName(Out);
      Export.ConvertLogToText(GetFieldSeparator(Opt, cmNone));
    }
    const bool Asked =
        !Ui.Dialog.Shown.empty() && Ui.Dialog.Shown.back().Kind == TMsgKind::Confirmation;
    const double In = double(std::filesystem::file_size(S.Path));
    const double Written =
        std::filesystem::exists(Out) ? double(std::filesystem::file_size(Out)) : 0;
    if (Asked) {
      EXPECT_EQ(Written, 0);
    }
    EXPECT_LE(Written, std::max(GridGrowthLimit * In, GridBytesFloor)) << Written / In;
    Largest = std::max(Largest, Written / In);
  }
  RecordProperty("LargestOutputToInput", std::to_string(Largest));
}

} // namespace
} // namespace quorvin
