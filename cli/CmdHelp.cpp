// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli help [COMMAND]
#include <CLI/CLI.hpp>

#include <ostream>

#include "cli/CommandLine.h"
#include "cli/Commands.h"

namespace quorvin::cli {

void DeclareHelp(CLI::App& Command, TCommandLine& Line) {
  Command.add_option("COMMAND", Line.HelpTopic, "The command to show")
      ->type_name("")
      ->expected(0, 1);
}

// The text was made from the parser's declarations when the line was read.
TCommandOutcome RunHelp(TCliContext& Ctx, const std::string&) {
  Ctx.Out << Ctx.Line.HelpText;
  return TCommandOutcome{};
}

} // namespace quorvin::cli
