// The arguments the log commands share (prn, stats, graph): the log, the
// sensors to check and the date range, applied as a user would on a page.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/CliContext.h"

namespace quorvin::cli {

struct TLogArgs {
  std::string LogFile;
  std::string Sensors = "all";
  std::optional<TDateTime> Start;
  std::optional<TDateTime> End;
  // Flags the command itself takes (e.g. --display), as given.
  std::vector<std::string> Flags;
};

// Parses LOG [--sensors LIST] [--start YYYY-MM-DD] [--end YYYY-MM-DD] and
// any of AllowedFlags; a usage error for anything else.
TLogArgs ParseLogArgs(const std::vector<std::string>& Args,
                      const std::vector<std::string>& AllowedFlags);

// Types the log's name into Page's file box and leaves the box, then checks
// the sensors and sets the pickers. False when no log was loaded (the user
// has been told why).
bool SelectLog(TCliContext& Ctx, const TLogArgs& Args, int Page);

// A YYYY-MM-DD date as a date-time value; nullopt when it is not one.
std::optional<TDateTime> ParseIsoDate(const std::string& Text);

} // namespace quorvin::cli
