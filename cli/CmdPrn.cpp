// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli prn LOG... [--sensors LIST] [--start D] [--end D] [--display]
#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/LogArgs.h"

namespace quorvin::cli {

void DeclarePrn(CLI::App& Command, TCommandLine& Line) {
  DeclareLogArgs(Command, Line);
  Command.add_flag("--display", Line.Log.Display,
                   "Show the lines on standard output instead of saving them");
}

// The LOGPRN page: Save, or Display with --display.
TCommandOutcome RunPrn(TCliContext& Ctx, const std::string& Input) {
  const TLogArgs& A = Ctx.Line.Log;
  SelectLog(Ctx, Input, A, PageLogPrn);
  // A failed load has shown its dialog; the command then reports as the
  // window would, with the selection as the load left it.
  return A.Display ? Ctx.App.OptionsDisplayExecute() : Ctx.App.FileSaveExecute();
}

std::string PrnTarget(TApplication& App, const TCommandLine& Line, const std::string& Input) {
  return Line.Log.Display ? std::string() : App.SaveTarget(PageLogPrn, Input);
}

} // namespace quorvin::cli
