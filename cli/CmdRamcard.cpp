// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli ramcard DUMP list
// quorvin-cli ramcard DUMP save NAME... [--out DIR]
// DUMP is a dump or card-image file, or a folder holding RAMCARD.RCD.
#include <CLI/CLI.hpp>

#include <ostream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
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

TCommandOutcome SaveFromDump(TCliContext& Ctx, const TRamcardArgs& A) {
  // The page as the window drives it: the output folder shows the setting
  // until one is typed, the drive is chosen (and listed), then Save runs.
  TApplication& App = Ctx.App;
  TRamCardPage& Page = App.RamCardPage;
  App.PgCntrlLogChange(PageRamCard);
  if (A.Out) Page.RAMDirectory = *A.Out;
  App.cbxRamdirClick(A.Dump);
  if (!Page.RamCard || Page.RamCard->FirstEntryPos() == 0) return TCommandOutcome{false, {}};
  // The names given are the checked entries (masks allowed, as the list's
  // texts are).
  Page.chklbxRamFiles.Items.clear();
  for (const std::string& Name : A.Names) Page.chklbxRamFiles.Items.push_back({Name, true});
  return App.FileSaveExecute();
}

} // namespace

void DeclareRamcard(CLI::App& Command, TCommandLine& Line) {
  TRamcardArgs& A = Line.Ramcard;
  Command.add_option("DUMP", A.Dump, "A dump or card-image file, or a folder holding RAMCARD.RCD")
      ->type_name("");
  Command.require_subcommand(0, 1);
  CLI::App* List = Command.add_subcommand(
      "list", "One line per stored file: name, size in bytes, ok or bad checksum");
  List->group("Actions");
  List->allow_extras();
  List->callback([&A] { A.List = true; });
  CLI::App* Save = Command.add_subcommand("save", "Copy the named files out of the dump");
  Save->group("Actions");
  Save->allow_extras();
  Save->callback([&A] { A.Save = true; });
  Save->add_option("NAME", A.Names, "Stored files to copy; * matches any rest, ? one character")
      ->type_name("");
  Save->add_option("--out", A.Out, "The folder to copy into (default: RAMDirectory)")
      ->type_name("DIR");
}

void CheckRamcard(TCommandLine& Line) {
  TRamcardArgs& A = Line.Ramcard;
  if (!A.List && !A.Save && !A.Dump.empty() && !Line.Unparsed.empty() &&
      Line.Unparsed.front().rfind("-", 0) != 0)
    throw TUsageError("unknown ramcard action: " + Line.Unparsed.front());
  if (A.Dump.empty() || (!A.List && !A.Save))
    throw TUsageError("ramcard needs DUMP and list or save");
  if (A.List && !Line.Unparsed.empty()) throw TUsageError("list takes no further arguments");
  if (A.Save && A.Names.empty() && Line.Unparsed.empty())
    throw TUsageError("save needs at least one NAME");
}

TCommandOutcome RunRamcard(TCliContext& Ctx, const std::string&) {
  const TRamcardArgs& A = Ctx.Line.Ramcard;
  return A.List ? ListDump(Ctx, A.Dump) : SaveFromDump(Ctx, A);
}

} // namespace quorvin::cli
