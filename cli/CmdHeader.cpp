// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli header LOG...
#include <CLI/CLI.hpp>

#include "cli/Commands.h"
#include "cli/LogArgs.h"

namespace quorvin::cli {

void DeclareHeader(CLI::App& Command, TCommandLine& Line) {
  Command.add_option("LOG", Line.Files, "Binary (.LOG) or CSV (.CSV, .TXT) logs")->type_name("");
}

// The Header command on the LOGPRN page.
TCommandOutcome RunHeader(TCliContext& Ctx, const std::string& Input) {
  SelectLog(Ctx, Input, TLogArgs(), PageLogPrn);
  return Ctx.App.OptionsHeaderExecute();
}

} // namespace quorvin::cli
