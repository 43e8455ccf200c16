// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli stats LOG... [--sensors LIST] [--start D] [--end D]
#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/LogArgs.h"

namespace quorvin::cli {

void DeclareStats(CLI::App& Command, TCommandLine& Line) { DeclareLogArgs(Command, Line); }

// The Statistics command on the LOGSTAT page: the report goes to the pane,
// which is standard output here.
TCommandOutcome RunStats(TCliContext& Ctx, const std::string& Input) {
  SelectLog(Ctx, Input, Ctx.Line.Log, PageLogStat);
  return Ctx.App.OptionsStatsExecute();
}

} // namespace quorvin::cli
