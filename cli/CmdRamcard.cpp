// quorvin-cli ramcard DUMP list
// quorvin-cli ramcard DUMP save [--out DIR] NAME...
// DUMP is a dump or card-image file, or a folder holding RAMCARD.RCD.
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "ramcard/RamCardPage.h"
#include "ramcard/RamUtils.h"

namespace quorvin::cli {

namespace {

int ListDump(TCliContext& Ctx, const std::string& Dump) {
  TRamCardPage Page(Ctx.Ui);
  Page.cbxRamdir.Text = Dump;
  if (!Page.OpenDrive()) return 1;
  TRamCard& Card = *Page.RamCard;
  while (Card.NextEntry()) {
    const bool Sound = Card.VerifyEntry();
    Ctx.Out << PrintableEntryName(Card.CurrentEntry().NameText()) << '\t'
            << Card.CurrentEntry().DataLength() << '\t' << (Sound ? "ok" : "bad checksum") << '\n';
  }
  return 0;
}

int SaveFromDump(TCliContext& Ctx, const std::string& Dump, const std::vector<std::string>& Args) {
  std::vector<std::string> Names;
  bool OutGiven = false;
  std::string Out;
  for (std::size_t I = 0; I < Args.size(); ++I) {
    if (Args[I] == "--out") {
      Out = OptionValue(Args, I);
      OutGiven = true;
    } else if (Args[I].rfind("--", 0) == 0) {
      throw TUsageError("unknown option: " + Args[I]);
    } else {
      Names.push_back(Args[I]);
    }
  }
  if (Names.empty()) throw TUsageError("save needs at least one NAME");

  // The page as the window drives it: the output folder shows the setting
  // until one is typed, the drive is chosen (and listed), then Save runs.
  TRamCardPage Page(Ctx.Ui);
  Page.RAMDirectory = Ctx.App.RAMDirectory;
  Page.SetControlsFromOptions();
  if (OutGiven) Page.edtOutFile = Out;
  Page.cbxRamdir.Text = Dump;
  Page.cbxRamdirClick();
  if (!Page.RamCard || Page.RamCard->FirstEntryPos() == 0) return 1;

  Page.chklbxRamFiles.Items.clear();
  for (const std::string& Name : Names) Page.chklbxRamFiles.Items.push_back({Name, true});
  Page.FileSaveExecute();
  Ctx.App.RAMDirectory = Page.RAMDirectory;
  return Ctx.Ui.Status.PanelText(1).rfind("Saved successfully: ", 0) == 0 ? 0 : 1;
}

} // namespace

int RunRamcard(TCliContext& Ctx, const std::vector<std::string>& Args) {
  if (Args.size() < 2) throw TUsageError("ramcard needs DUMP and list or save");
  const std::string& Dump = Args[0];
  if (Args[1] == "list") {
    if (Args.size() != 2) throw TUsageError("list takes no further arguments");
    return ListDump(Ctx, Dump);
  }
  if (Args[1] == "save")
    return SaveFromDump(Ctx, Dump, std::vector<std::string>(Args.begin() + 2, Args.end()));
  throw TUsageError("unknown ramcard action: " + Args[1]);
}

} // namespace quorvin::cli
