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

bool SelectLog(TCliContext& Ctx, const std::string& LogFile, const TLogArgs& Args, int Page) {
  TApplication& App = Ctx.App;
  TLogSelection& Sel = App.Selection;
  App.PgCntrlLogChange(Page);
  App.LogFileChange(Page, LogFile);
  App.edtFilenameExit(Page);
  if (!Sel.LogLoaded()) return false;
  std::vector<bool> Check;
  std::string Unknown;
  if (!SensorsNamed(Sel, Args.Sensors, Check, Unknown))
    throw TUsageError("the log has no sensor " + Unknown);
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
