#include "cli/Commands.h"
#include "cli/LogArgs.h"

namespace quorvin::cli {

// The LOGPRN page: Save, or Display with --display.
TCommandOutcome RunPrn(TCliContext& Ctx, const std::vector<std::string>& Args) {
  TLogArgs A = ParseLogArgs(Args, {"--display"});
  SelectLog(Ctx, A, PageLogPrn);
  // A failed load has shown its dialog; the command then reports as the
  // window would, with the selection as the load left it.
  return A.Flags.empty() ? Ctx.App.FileSaveExecute() : Ctx.App.OptionsDisplayExecute();
}

} // namespace quorvin::cli
