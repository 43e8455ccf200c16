#include "cli/Commands.h"
#include "cli/LogArgs.h"

namespace quorvin::cli {

// The Statistics command on the LOGSTAT page: the report goes to the pane,
// which is standard output here.
TCommandOutcome RunStats(TCliContext& Ctx, const std::vector<std::string>& Args) {
  TLogArgs A = ParseLogArgs(Args, {});
  SelectLog(Ctx, A, PageLogStat);
  return Ctx.App.OptionsStatsExecute();
}

} // namespace quorvin::cli
