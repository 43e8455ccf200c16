// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged and hostile logs on the way through the export: corrupt digit
// counts, very wide lines.
#include <gtest/gtest.h>

#include "report/Formatting.h"
#include "report/LogExport.h"
#include "support/FakeUi.h"
#include "support/LogGen.h"
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
  bool Run(int Mode) {
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

} // namespace
} // namespace quorvin
