// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli export LOG... --format csv|netcdf [--tz ZONE] [--sensors LIST]
//                   [--start D] [--end D] [--output PATH]
// File > Export as the window runs it, on each log in turn.
#include <CLI/CLI.hpp>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/LogArgs.h"
#include "core/ClockZone.h"

namespace quorvin::cli {

namespace {

TReadingsFormat FormatOf(const TExportArgs& Args) {
  return Args.Format == "netcdf" ? TReadingsFormat::NetCdf : TReadingsFormat::Csv;
}

} // namespace

void DeclareExport(CLI::App& Command, TCommandLine& Line) {
  TExportArgs& E = Line.Export;
  DeclareLogArgs(Command, Line);
  Command
      .add_option("--format", E.Format,
                  "csv: RFC 4180 with ISO 8601 times; netcdf: NetCDF-4 following the CF "
                  "conventions")
      ->type_name("csv|netcdf")
      ->required()
      ->check(CLI::IsMember({"csv", "netcdf"}));
  Command
      .add_option("--tz", E.Zone,
                  "The zone of the logger's clock: an IANA name such as America/Denver, an "
                  "offset such as -07:00, or \"\" for none (default: the LoggerTimeZone setting)")
      ->type_name("ZONE");
  Command
      .add_option("--output", E.Output,
                  "The file to write (one log only; default: beside the log, .csv or .nc)")
      ->type_name("PATH");
}

void CheckExport(TCommandLine& Line) {
  CheckLogArgs(Line);
  std::string Error;
  TClockZone Zone;
  if (Line.Export.Zone && !Zone.Assign(*Line.Export.Zone, Error))
    throw TUsageError("--tz: " + Error);
  if (Line.Export.Output && (Line.Files.size() > 1 || Line.FilesFrom))
    throw TUsageError("--output names the file of one log; give one log or leave --output out");
}

TCommandOutcome RunExport(TCliContext& Ctx, const std::string& Input) {
  const TExportArgs& E = Ctx.Line.Export;
  TApplication& App = Ctx.App;
  TExportChoice Choice;
  Choice.Format = FormatOf(E);
  Choice.Zone = E.Zone.value_or(App.LoggerTimeZone);
  Choice.FileName = ExportTarget(App, Ctx.Line, Input);
  Choice.FirstDay = Ctx.Line.Log.Start;
  Choice.LastDay = Ctx.Line.Log.End;
  // A failed load has shown its dialog; the export then reports as the
  // window's would, with no log selected.
  SelectLog(Ctx, Input, Ctx.Line.Log, PageLogPrn);
  return App.ExportReadingsTo(Choice);
}

std::string ExportTarget(TApplication& /*App*/, const TCommandLine& Line,
                         const std::string& Input) {
  return Line.Export.Output.value_or(TApplication::ExportTarget(Input, FormatOf(Line.Export)));
}

} // namespace quorvin::cli
