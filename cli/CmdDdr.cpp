// quorvin-cli ddr DDR [--display | --save | --summary] [--output PATH]
// The DDRLOG page as the window drives it: DDR is typed into the file box and
// the box is left; then Display (the default), Header (--summary) or Save.
// --output is a name typed into the output box and the box left.
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "ddr/DDRImport.h"
#include "report/Workbook.h"

namespace quorvin::cli {

int RunDdr(TCliContext& Ctx, const std::vector<std::string>& Args) {
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

  TDDRObj DDR(Ctx.Ui.Dialog);
  DDR.Layout = Ctx.App.DDRLayout;
  bool FileValid = false;
  TDDRPage Page(DDR, Ctx.Ui, Ctx.App.Format, Ctx.App.CommandMode, FileValid,
                [](const std::string& Name) { return ConvertTextToWorkbook(Name); });
  Page.ShowDDROptions();
  Page.SetDDRLogText(Input);
  Page.edtFilenameExit();
  if (OutputGiven) {
    Page.SetDDROutputText(Output);
    Page.edtDDROutputExit();
  }
  if (Mode == "--summary")
    Page.HeaderCommand();
  else if (Mode == "--save")
    Page.SaveCommand();
  else
    Page.DisplayCommand();
  Ctx.App.DDRLayout = DDR.Layout;
  const std::string Status = Ctx.Ui.Status.PanelText(1);
  if (Mode == "--save") return Status.rfind("DDR Log written to ", 0) == 0 ? 0 : 1;
  return Status.empty() ? 0 : 1;
}

} // namespace quorvin::cli
