// SPDX-License-Identifier: GPL-3.0-or-later
// A Display into a pane that takes a line source shows, line for line and
// in any stretch asked for, what the same Display appends to a plain pane.
#include "report/LogLines.h"

#include <functional>

#include <gtest/gtest.h>

#include "generators/LogGen.h"
#include "report/LogExport.h"
#include "support/FakeUi.h"
#include "support/SelectLog.h"

namespace quorvin {
namespace {

using test::TPaneLine;

class TSourcePane : public test::TFakeTextPane {
public:
  std::shared_ptr<ILineSource> Source;
  int Added = 0;
  bool TakesLineSource() const override { return true; }
  void ShowLines(std::shared_ptr<ILineSource> Lines) override { Source = std::move(Lines); }
  void LinesAdded() override { ++Added; }
};

struct TDisplayed {
  bool Ok;
  std::vector<TPaneLine> Lines;
};

class LogLinesTest : public ::testing::Test {
protected:
  test::TScratchDir Dir;
  TSelectedLog Sel;
  TLogPrnOptions Opt;
  TDateTimeFormat Fmt;

  LogLinesTest() {
    SetDateTimeFormat(Fmt, "MM/DD/YY HH:MM:SS");
    // Three sensors every ten minutes for five days; the second misses a
    // reading now and then, and all three miss a day and a half.
    test::TGenLog L;
    L.UnitName = "LINES";
    L.Year = 2003;
    L.IntervalMinutes = 10;
    L.Sensors = {{"A", 1, 0, 1}, {"BEE", 0.5, 0, 2}, {"LONGERNAME", 1, 0, 0}};
    test::WriteLogFile(Dir / "lines.log", L, 720, [](long long K, int I) -> std::uint16_t {
      return K >= 300 && K < 520 ? 0xFFFF : test::PatternRaw(K, I);
    });
    EXPECT_TRUE(test::SelectLog(Sel, Dir / "lines.log"));
    test::CheckAll(Sel);
  }

  TDisplayed Display(test::TFakeTextPane& Pane, int CancelAt = 0) {
    test::TFakeDialog Dialog;
    test::TFakeStatusBar Status;
    test::TFakeBusy Busy;
    Busy.CancelAtStep = CancelAt;
    TUiServices Ui{Dialog, Status, Pane, Busy};
    std::string Name;
    const bool Ok =
        ConvertLogToText(Sel, Opt, Fmt, cmDisplay, GetFieldSeparator(Opt, cmDisplay), Ui, Name);
    return {Ok, Pane.Lines};
  }

  // The source's lines From to From + Count - 1, as the plain pane holds them.
  static std::string Slice(const std::vector<TPaneLine>& Lines, std::size_t From,
                           std::size_t Count) {
    std::string Text;
    for (std::size_t I = From; I < Lines.size() && I < From + Count; ++I)
      Text += Lines[I].Text + "\r\n";
    return Text;
  }

  // Displays both ways and compares every line, its style and many stretches.
  void ExpectSameLines(int CancelAt = 0) {
    test::TFakeTextPane Plain;
    const TDisplayed Expected = Display(Plain, CancelAt);
    TSourcePane Pane;
    const TDisplayed Got = Display(Pane, CancelAt);
    EXPECT_EQ(Got.Ok, Expected.Ok);
    EXPECT_TRUE(Got.Lines.empty());
    ASSERT_NE(Pane.Source, nullptr);
    ILineSource& Source = *Pane.Source;
    const std::size_t N = Expected.Lines.size();
    ASSERT_EQ(Source.LineCount(), static_cast<std::int64_t>(N));
    std::string All;
    Source.GetLines(0, static_cast<std::int64_t>(N) + 5, All);
    EXPECT_EQ(All, Slice(Expected.Lines, 0, N));
    for (std::size_t I = 0; I < N; ++I) {
      const TLineStyle S = Source.Style(static_cast<std::int64_t>(I));
      ASSERT_EQ(S.Bold, Expected.Lines[I].Bold) << I;
      ASSERT_EQ(S.PointSize, Expected.Lines[I].PointSize) << I;
    }
    // Single lines everywhere, and stretches across chunks and day ends.
    for (std::size_t From = 0; From < N; From += 1 + From / 3) {
      for (std::size_t Count : {1, 9, 300}) {
        std::string Got;
        Source.GetLines(static_cast<std::int64_t>(From), static_cast<std::int64_t>(Count), Got);
        ASSERT_EQ(Got, Slice(Expected.Lines, From, Count)) << From << " " << Count;
      }
    }
    if (N > 0) {
      std::string Last;
      Source.GetLines(static_cast<std::int64_t>(N) - 1, 1, Last);
      EXPECT_EQ(Last, Expected.Lines.back().Text + "\r\n");
    }
  }
};

TEST_F(LogLinesTest, EveryLayoutAndGridGivesTheLinesOfTheDisplay) {
  struct TCase {
    const char* Name;
    std::function<void(TLogPrnOptions&, TSelectedLog&)> Set;
  };
  const TCase Cases[] = {
      {"defaults", [](TLogPrnOptions&, TSelectedLog&) {}},
      {"blank day lines", [](TLogPrnOptions& O, TSelectedLog&) { O.AddBlankLine = true; }},
      {"excluded, blank day lines",
       [](TLogPrnOptions& O, TSelectedLog&) {
         O.AddBlankLine = true;
         O.DisplayAsDash = false;
         O.ExcludeNonRecItems = true;
       }},
      {"R600 fixed, excluded",
       [](TLogPrnOptions& O, TSelectedLog&) {
         O.R600ASCII = true;
         O.DisplayFixedFormat = true;
         O.DisplayAsDash = false;
         O.ExcludeNonRecItems = true;
       }},
      {"zeros, seconds of a range cut inside days",
       [](TLogPrnOptions& O, TSelectedLog& S) {
         O.DisplayAsDash = false;
         O.DisplayAsZero = true;
         O.AddBlankLine = true;
         S.StartTime += 7 * 3600 + 1800;
         S.EndTime -= 5 * 3600;
       }},
      {"a step longer than a day",
       [](TLogPrnOptions& O, TSelectedLog& S) {
         O.AddBlankLine = true;
         S.LogInterval = 86400 + 3000;
       }},
      {"a step of 7 hours",
       [](TLogPrnOptions& O, TSelectedLog& S) {
         O.AddBlankLine = true;
         S.LogInterval = 7 * 3600;
       }},
      {"interval 0", [](TLogPrnOptions&, TSelectedLog& S) { S.LogInterval = 0; }},
      {"start after end", [](TLogPrnOptions&, TSelectedLog& S) { S.EndTime = S.StartTime - 600; }},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    ASSERT_TRUE(test::SelectLog(Sel, Dir / "lines.log"));
    test::CheckAll(Sel);
    Opt = TLogPrnOptions{};
    C.Set(Opt, Sel);
    ExpectSameLines();
  }
}

TEST_F(LogLinesTest, ARecordWalkAndAnEmptyOneGiveTheLinesOfTheDisplay) {
  // A CSV sensor read at uneven times, checked alone: its records one by one.
  std::string T = "'Walk test log\r\n";
  for (int I = 0; I < 900; ++I) {
    const int M = I * 7 + (I % 5) * 3;
    char Line[96];
    std::snprintf(Line, sizeof Line, "03/%02d/1999,%02d:%02d:00,C,%d.25,V,G\r\n", 7 + M / 1440,
                  M % 1440 / 60, M % 60, I);
    T += Line;
    if (I % 3 == 0) {
      std::snprintf(Line, sizeof Line, "03/%02d/1999,%02d:%02d:00,A,1.5,C,G\r\n", 7 + M / 1440,
                    M % 1440 / 60, M % 60);
      T += Line;
    }
  }
  test::WriteWhole(Dir / "walk.csv", T);
  ASSERT_TRUE(test::SelectLog(Sel, Dir / "walk.csv"));
  test::CheckOnly(Sel, {0});
  ASSERT_TRUE(Sel.Log->MixedIntervals());
  ASSERT_TRUE(Sel.Log->Sensor(1).VariableInterval);
  for (bool Blank : {false, true}) {
    SCOPED_TRACE(Blank);
    Opt.AddBlankLine = Blank;
    ExpectSameLines();
  }
  // A cancel keeps the lines of the chunks counted so far.
  ExpectSameLines(2);
}

TEST_F(LogLinesTest, ACancelledCountShowsTheLinesCountedSoFar) {
  Opt.DisplayAsDash = false;
  Opt.ExcludeNonRecItems = true;
  ExpectSameLines(2);
  TSourcePane Pane;
  const TDisplayed Got = Display(Pane, 2);
  EXPECT_FALSE(Got.Ok);
  EXPECT_GT(Pane.Source->LineCount(), 260);
  EXPECT_LT(Pane.Source->LineCount(), 600);
  EXPECT_GE(Pane.Added, 2);
}

} // namespace
} // namespace quorvin
