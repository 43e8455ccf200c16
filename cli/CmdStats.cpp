#include "app/LogCommands.h"
#include "cli/Commands.h"
#include "cli/LogArgs.h"

namespace quorvin::cli {

// The Statistics command on the LOGSTAT page: the report goes to the pane,
// which is standard output here.
int RunStats(TCliContext& Ctx, const std::vector<std::string>& Args) {
  TLogArgs A = ParseLogArgs(Args, {});
  SelectLog(Ctx, A, PageLogStat);
  LogStatStatistics(Ctx.App, Ctx.Ui);
  return 0;
}

} // namespace quorvin::cli
