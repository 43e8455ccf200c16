// SPDX-License-Identifier: GPL-3.0-or-later
// The arguments the log commands share (prn, stats): the logs, the sensors
// to check and the date range, applied as a user would on a page.
#pragma once

#include <optional>
#include <string>

#include "cli/CliContext.h"
#include "cli/CommandLine.h"

namespace CLI {
class App;
}

namespace quorvin::cli {

// Declares LOG... [--sensors LIST] [--start YYYY-MM-DD] [--end YYYY-MM-DD].
void DeclareLogArgs(CLI::App& Command, TCommandLine& Line);
// The same without LOG.
void DeclareLogOptions(CLI::App& Command, TCommandLine& Line);

// Types the log's name into Page's file box and leaves the box, then checks
// the sensors and sets the pickers. False when no log was loaded (the user
// has been told why); a usage error for a sensor the log does not have.
bool SelectLog(TCliContext& Ctx, const std::string& LogFile, const TLogArgs& Args, int Page);

// A YYYY-MM-DD date as a date-time value; nullopt when it is not one.
std::optional<TDateTime> ParseIsoDate(const std::string& Text);

} // namespace quorvin::cli
