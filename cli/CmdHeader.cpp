#include "cli/Commands.h"
#include "cli/LogArgs.h"

namespace quorvin::cli {

// The Header command on the LOGPRN page.
TCommandOutcome RunHeader(TCliContext& Ctx, const std::vector<std::string>& Args) {
  if (Args.size() != 1 || Args[0].rfind("--", 0) == 0) throw TUsageError("header takes one LOG");
  TLogArgs A;
  A.LogFile = Args[0];
  SelectLog(Ctx, A, PageLogPrn);
  return Ctx.App.OptionsHeaderExecute();
}

} // namespace quorvin::cli
