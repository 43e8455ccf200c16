#include "app/LogCommands.h"
#include "cli/Commands.h"
#include "cli/LogArgs.h"

namespace quorvin::cli {

int RunPrn(TCliContext& Ctx, const std::vector<std::string>& Args) {
  TLogArgs A = ParseLogArgs(Args, {"--display"});
  bool Display = !A.Flags.empty();
  SelectLog(Ctx, A, PageLogPrn);
  // A failed load has shown its dialog; the command then reports as the
  // window would, with the selection as the load left it.
  if (Display)
    LogPrnDisplay(Ctx.App, Ctx.Ui);
  else
    LogPrnSave(Ctx.App, Ctx.Ui);
  return 0;
}

} // namespace quorvin::cli
