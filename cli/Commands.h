// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of quorvin-cli. Each lives in its own Cmd<Name>.cpp, where it
// declares its arguments and turns them into calls on the application.
#pragma once

#include <span>
#include <string>

#include "cli/CliContext.h"

namespace CLI {
class App;
}

namespace quorvin::cli {

struct TCommandEntry {
  const char* Name;
  const char* Description;
  // Declares the command's arguments on its part of the parser, bound to Line.
  void (*Declare)(CLI::App& Command, TCommandLine& Line);
  // Checks what the parser cannot (throws TUsageError); may be null.
  void (*Check)(TCommandLine& Line);
  // Runs the command: once, or once per input file for the commands that
  // take several (Input is then the file, otherwise empty).
  TCommandOutcome (*Run)(TCliContext& Ctx, const std::string& Input);
  // Commands over many files, and the file a run on Input writes (null or
  // empty for none): inputs that write the same file run one after the other.
  bool ManyFiles;
  std::string (*Target)(TApplication& App, const TCommandLine& Line, const std::string& Input);
  // The usage error when no file is given.
  const char* NoFile;
  // Draws a chart: available only where the tool was built with the window.
  bool NeedsChart = false;
};

void DeclareHelp(CLI::App& Command, TCommandLine& Line);
void DeclareHeader(CLI::App& Command, TCommandLine& Line);
void DeclarePrn(CLI::App& Command, TCommandLine& Line);
void DeclareRamcard(CLI::App& Command, TCommandLine& Line);
void DeclareDdr(CLI::App& Command, TCommandLine& Line);
void DeclareStats(CLI::App& Command, TCommandLine& Line);
void DeclareGraph(CLI::App& Command, TCommandLine& Line);
void DeclareExport(CLI::App& Command, TCommandLine& Line);

void CheckRamcard(TCommandLine& Line);
void CheckLogArgs(TCommandLine& Line);
void CheckGraph(TCommandLine& Line);
void CheckDdr(TCommandLine& Line);
void CheckExport(TCommandLine& Line);

TCommandOutcome RunHeader(TCliContext& Ctx, const std::string& Input);
TCommandOutcome RunPrn(TCliContext& Ctx, const std::string& Input);
TCommandOutcome RunHelp(TCliContext& Ctx, const std::string& Input);
TCommandOutcome RunRamcard(TCliContext& Ctx, const std::string& Input);
TCommandOutcome RunDdr(TCliContext& Ctx, const std::string& Input);
TCommandOutcome RunStats(TCliContext& Ctx, const std::string& Input);
TCommandOutcome RunGraph(TCliContext& Ctx, const std::string& Input);
TCommandOutcome RunExport(TCliContext& Ctx, const std::string& Input);

std::string PrnTarget(TApplication& App, const TCommandLine& Line, const std::string& Input);
std::string ExportTarget(TApplication& App, const TCommandLine& Line, const std::string& Input);
std::string DdrTarget(TApplication& App, const TCommandLine& Line, const std::string& Input);

std::span<const TCommandEntry> CommandTable();
const TCommandEntry* FindCommand(const std::string& Name);

} // namespace quorvin::cli
