// quorvin-cli ramcard DUMP list
// quorvin-cli ramcard DUMP save [--out DIR] NAME...
// DUMP is a dump or card-image file, or a folder holding RAMCARD.RCD.
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace quorvin::cli {

namespace {

TCommandOutcome ListDump(TCliContext& Ctx, const std::string& Dump) {
  TRamCardPage& Page = Ctx.App.RamCardPage;
  Ctx.App.PgCntrlLogChange(PageRamCard);
  Page.cbxRamdir.Text = Dump;
  if (!Page.OpenDrive()) return TCommandOutcome{false, {}};
  // Names are shown with their unprintable bytes escaped, so a listing
  // cannot drive the terminal.
  for (const TRamDirectoryEntry& E : Page.Directory())
    Ctx.Out << PrintableEntryName(E.Name) << '\t' << E.Size << '\t'
            << (E.ChecksumOk ? "ok" : "bad checksum") << '\n';
  return TCommandOutcome{};
}

TCommandOutcome SaveFromDump(TCliContext& Ctx, const std::string& Dump,
                             const std::vector<std::string>& Args) {
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
  TApplication& App = Ctx.App;
  TRamCardPage& Page = App.RamCardPage;
  App.PgCntrlLogChange(PageRamCard);
  if (OutGiven) Page.edtOutFile = Out;
  App.cbxRamdirClick(Dump);
  if (!Page.RamCard || Page.RamCard->FirstEntryPos() == 0) return TCommandOutcome{false, {}};
  // The names given are the checked entries (masks allowed, as the list's
  // texts are).
  Page.chklbxRamFiles.Items.clear();
  for (const std::string& Name : Names) Page.chklbxRamFiles.Items.push_back({Name, true});
  return App.FileSaveExecute();
}

} // namespace

TCommandOutcome RunRamcard(TCliContext& Ctx, const std::vector<std::string>& Args) {
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
