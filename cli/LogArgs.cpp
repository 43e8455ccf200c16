// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/LogArgs.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <tuple>

#include "cli/Commands.h"
#include "core/MiscUtil.h"

namespace quorvin::cli {

std::optional<TDateTime> ParseIsoDate(const std::string& Text) {
  if (Text.size() != 10 || Text[4] != '-' || Text[7] != '-') return std::nullopt;
  for (std::size_t I : {0, 1, 2, 3, 5, 6, 8, 9})
    if (Text[I] < '0' || Text[I] > '9') return std::nullopt;
  int Y = std::stoi(Text.substr(0, 4)), M = std::stoi(Text.substr(5, 2)),
      D = std::stoi(Text.substr(8, 2));
  try {
    TDateTime Date = EncodeDate(Y, M, D);
    int Y2, M2, D2;
    DecodeDate(Date, Y2, M2, D2);
    if (Y2 != Y || M2 != M || D2 != D) return std::nullopt;
    return Date;
  } catch (const ECalendarError&) {
    return std::nullopt;
  }
}

void DeclareLogArgs(CLI::App& Command, TCommandLine& Line) {
  Command.add_option("LOG", Line.Files, "Binary (.LOG) or CSV (.CSV, .TXT) logs")->type_name("");
  DeclareLogOptions(Command, Line);
}

void DeclareLogOptions(CLI::App& Command, TCommandLine& Line) {
  Command
      .add_option("--sensors", Line.Log.Sensors,
                  "all (the default), none, or positions (from 1) and names separated by commas")
      ->type_name("LIST");
  Command.add_option("--start", Line.Log.StartText, "The first day")->type_name("YYYY-MM-DD");
  Command.add_option("--end", Line.Log.EndText, "The last day")->type_name("YYYY-MM-DD");
}

void CheckLogArgs(TCommandLine& Line) {
  for (auto [Option, Text, Date] : {std::tuple{"--start", &Line.Log.StartText, &Line.Log.Start},
                                    std::tuple{"--end", &Line.Log.EndText, &Line.Log.End}}) {
    if (!*Text) continue;
    *Date = ParseIsoDate(**Text);
    if (!*Date) throw TUsageError(std::string(Option) + " takes a date as YYYY-MM-DD: " + **Text);
    int Y, M, D;
    DecodeDate(**Date, Y, M, D);
    // A log time cannot hold other days: they would wrap to other years.
    if (!IsLogDate(Y, M, D))
      throw TUsageError(std::string(Option) + " takes a date from " + IsoDateText(FirstLogDay) +
                        " to " + IsoDateText(LastLogDay) + ": " + **Text);
  }
}

namespace {

// Positions (1-based) of the sensors LIST names; a usage error for a name or
// number the log does not have.
std::vector<bool> SensorsToCheck(const TLogSelection& Sel, const std::string& List) {
  std::vector<bool> Check(Sel.SensorChoices.size(), false);
  if (List == "all") return std::vector<bool>(Sel.SensorChoices.size(), true);
  if (List == "none") return Check;
  std::string Rest = List;
  while (true) {
    std::string Item = SplitAt(',', Rest);
    bool Last = Item == Rest;
    bool Found = false;
    bool Numeric = !Item.empty() && std::all_of(Item.begin(), Item.end(),
                                                [](char C) { return C >= '0' && C <= '9'; });
    if (Numeric && Item.size() < 9) {
      std::size_t Pos = std::stoul(Item);
      if (Pos >= 1 && Pos <= Check.size()) {
        Check[Pos - 1] = true;
        Found = true;
      }
    } else {
      std::string Upper = UpperCase(Item);
      for (std::size_t I = 0; I < Sel.SensorChoices.size(); ++I) {
        const TSensorChoice& C = Sel.SensorChoices[I];
        if (UpperCase(C.FullName) == Upper || UpperCase(C.ShortName) == Upper) {
          Check[I] = true;
          Found = true;
        }
      }
    }
    if (!Found) throw TUsageError("the log has no sensor " + Item);
    if (Last) break;
  }
  return Check;
}

} // namespace

bool SelectLog(TCliContext& Ctx, const std::string& LogFile, const TLogArgs& Args, int Page) {
  TApplication& App = Ctx.App;
  TLogSelection& Sel = App.Selection;
  App.PgCntrlLogChange(Page);
  App.LogFileChange(Page, LogFile);
  App.edtFilenameExit(Page);
  if (!Sel.LogLoaded()) return false;
  std::vector<bool> Check = SensorsToCheck(Sel, Args.Sensors);
  Sel.SelectAllClick(false);
  bool All = !Check.empty() && std::all_of(Check.begin(), Check.end(), [](bool B) { return B; });
  if (All) {
    Sel.SelectAllClick(true);
  } else {
    for (std::size_t I = 0; I < Check.size(); ++I)
      if (Check[I]) Sel.CheckSensorsClick(static_cast<int>(I), true);
  }
  if (Args.Start) Sel.dtpStartChange(Page, *Args.Start);
  if (Args.End) Sel.dtpEndChange(Page, *Args.End);
  return true;
}

} // namespace quorvin::cli
