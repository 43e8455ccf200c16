#include "app/LogPrnCommands.h"
#include "cli/Commands.h"
#include "cli/LogArgs.h"
#include "report/Formatting.h"
#include "report/Statistics.h"

namespace quorvin::cli {

// The Statistics command switched on on the LOGSTAT page: the report goes
// to the pane, which is standard output here.
int RunStats(TCliContext& Ctx, const std::vector<std::string>& Args) {
  TLogArgs A = ParseLogArgs(Args, {});
  SelectLog(Ctx, A, PageLogStat);
  TApplication& App = Ctx.App;
  if (!ViewPrologue(App, Ctx.Ui, "Error! Please select a file.")) return 0;
  TBusyScope Busy(Ctx.Ui.Busy);
  App.CommandMode = cmStatistics;
  // One command per run: the accumulators need not outlive it.
  TStatAccumulators Acc;
  Acc.SetSize(App.Selection.CheckedSensorCount);
  if (App.Selection.CheckedSensorCount > 0) {
    TStatistics Stats(App.Selection, App.Format, App.LogPrn, App.CommandMode, Acc, Ctx.Ui.Pane);
    Stats.Report();
  }
  return 0;
}

} // namespace quorvin::cli
