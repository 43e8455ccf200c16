// The commands of quorvin-cli. Each lives in its own Cmd<Name>.cpp.
#pragma once

#include <span>

#include "cli/CliContext.h"

namespace quorvin::cli {

int RunHeader(TCliContext& Ctx, const std::vector<std::string>& Args);
int RunPrn(TCliContext& Ctx, const std::vector<std::string>& Args);
int RunHelp(TCliContext& Ctx, const std::vector<std::string>& Args);
int RunRamcard(TCliContext& Ctx, const std::vector<std::string>& Args);
int RunDdr(TCliContext& Ctx, const std::vector<std::string>& Args);
int RunStats(TCliContext& Ctx, const std::vector<std::string>& Args);

std::span<const TCommandEntry> CommandTable();

} // namespace quorvin::cli
