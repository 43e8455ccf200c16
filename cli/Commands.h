// The commands of quorvin-cli. Each lives in its own Cmd<Name>.cpp.
#pragma once

#include <span>

#include "cli/CliContext.h"

namespace quorvin::cli {

TCommandOutcome RunHeader(TCliContext& Ctx, const std::vector<std::string>& Args);
TCommandOutcome RunPrn(TCliContext& Ctx, const std::vector<std::string>& Args);
TCommandOutcome RunHelp(TCliContext& Ctx, const std::vector<std::string>& Args);
TCommandOutcome RunRamcard(TCliContext& Ctx, const std::vector<std::string>& Args);
TCommandOutcome RunDdr(TCliContext& Ctx, const std::vector<std::string>& Args);
TCommandOutcome RunStats(TCliContext& Ctx, const std::vector<std::string>& Args);

std::span<const TCommandEntry> CommandTable();

} // namespace quorvin::cli
