// quorvin-cli ddr DDR [--display | --save | --summary] [--output PATH]
// The DDRLOG page as the window drives it: DDR is typed into the file box and
// the box is left; then Display (the default), Header (--summary) or Save.
// --output is a name typed into the output box and the box left.
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace quorvin::cli {

TCommandOutcome RunDdr(TCliContext& Ctx, const std::vector<std::string>& Args) {
  std::string Input, Output, Mode;
  bool InputGiven = false, OutputGiven = false;
  for (std::size_t I = 0; I < Args.size(); ++I) {
    const std::string& A = Args[I];
    if (A == "--display" || A == "--save" || A == "--summary") {
      if (!Mode.empty() && Mode != A)
        throw TUsageError("choose one of --display, --save, --summary");
      Mode = A;
    } else if (A == "--output") {
      Output = OptionValue(Args, I);
      OutputGiven = true;
    } else if (A.rfind("--", 0) == 0) {
      throw TUsageError("unknown option: " + A);
    } else if (InputGiven) {
      throw TUsageError("one DDR file only");
    } else {
      Input = A;
      InputGiven = true;
    }
  }
  if (!InputGiven) throw TUsageError("ddr needs a DDR file");
  if (Mode.empty()) Mode = "--display";
  if (OutputGiven && Mode != "--save") throw TUsageError("--output goes with --save");

  // The page as the window shows it: the name typed into the box and the
  // box left, then the output name likewise, then the command.
  TApplication& App = Ctx.App;
  App.PgCntrlLogChange(PageDDRLog);
  App.LogFileChange(PageDDRLog, Input);
  App.edtFilenameExit(PageDDRLog);
  if (OutputGiven) {
    App.edtDDROutputChange(Output);
    App.edtDDROutputExit();
  }
  if (Mode == "--summary") return App.OptionsHeaderExecute();
  if (Mode == "--save") return App.FileSaveExecute();
  return App.OptionsDisplayExecute();
}

} // namespace quorvin::cli
