// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli ddr DDR... [--display | --save | --summary] [--output PATH]
// The DDRLOG page as the window drives it: DDR is typed into the file box and
// the box is left; then Display (the default), Header (--summary) or Save.
// --output is a name typed into the output box and the box left.
#include <CLI/CLI.hpp>

#include "cli/CommandLine.h"
#include "cli/Commands.h"

namespace quorvin::cli {

void DeclareDdr(CLI::App& Command, TCommandLine& Line) {
  TDdrArgs& D = Line.Ddr;
  Command.add_option("DDR", Line.Files, "DDR recorder files")->type_name("");
  CLI::Option* Display =
      Command.add_flag("--display", D.Display, "Decode to standard output (the default)");
  CLI::Option* Save = Command.add_flag("--save", D.Save, "Write the output file");
  CLI::Option* Summary =
      Command.add_flag("--summary", D.Summary, "List the blocks and the byte summary");
  Display->excludes(Save)->excludes(Summary);
  Save->excludes(Summary);
  Command
      .add_option("--output", D.Output,
                  "Name the output file as if typed into the page's output box; a name "
                  "without a folder goes into the DDR file's folder")
      ->type_name("PATH")
      ->needs(Save);
}

void CheckDdr(TCommandLine& Line) {
  // The output box takes a file; what would go to standard output is what
  // Display shows.
  if (Line.Ddr.Output && *Line.Ddr.Output == "-")
    throw TUsageError("--output takes a file name; ddr --display decodes to standard output");
}

TCommandOutcome RunDdr(TCliContext& Ctx, const std::string& Input) {
  const TDdrArgs& D = Ctx.Line.Ddr;
  // The page as the window shows it: the name typed into the box and the
  // box left, then the output name likewise, then the command.
  TApplication& App = Ctx.App;
  App.PgCntrlLogChange(PageDDRLog);
  App.LogFileChange(PageDDRLog, Input);
  App.edtFilenameExit(PageDDRLog);
  if (D.Output) {
    App.edtDDROutputChange(*D.Output);
    App.edtDDROutputExit();
  }
  if (D.Summary) return App.OptionsHeaderExecute();
  if (D.Save) return App.FileSaveExecute();
  return App.OptionsDisplayExecute();
}

std::string DdrTarget(TApplication& App, const TCommandLine& Line, const std::string& Input) {
  return Line.Ddr.Save ? App.SaveTarget(PageDDRLog, Input, Line.Ddr.Output.value_or(""))
                       : std::string();
}

} // namespace quorvin::cli
