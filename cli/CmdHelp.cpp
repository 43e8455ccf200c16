#include "cli/Commands.h"

namespace quorvin::cli {

TCommandOutcome RunHelp(TCliContext& Ctx, const std::vector<std::string>& Args) {
  if (!Args.empty()) throw TUsageError("help takes no arguments");
  Ctx.Out << "usage: quorvin-cli [--ini PATH] [--set KEY=VALUE]... [--yes] COMMAND ARGS...\n"
          << "commands:\n";
  for (const TCommandEntry& E : CommandTable()) Ctx.Out << "  " << E.Usage << "\n";
  return TCommandOutcome{};
}

} // namespace quorvin::cli
