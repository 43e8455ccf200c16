// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of quorvin-cli as parsed: the tool's options, the run
// options of the commands over many files, the command and its arguments.
// The parser is built from the commands' own declarations, and so are the
// help texts and the usage lines of the error messages.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/Settings.h"
#include "core/MiscUtil.h"

namespace quorvin::cli {

struct TCommandEntry;

// The arguments of the log commands (prn, stats): the sensors to check, the
// date range and, for prn, Display instead of Save.
struct TLogArgs {
  std::string Sensors = "all";
  std::optional<std::string> StartText, EndText;
  std::optional<TDateTime> Start, End;
  bool Display = false;
};

// The graph command: one log, the picture and its size, the left axis.
struct TGraphArgs {
  std::string Log;
  std::string Png;
  std::optional<std::string> SizeText;
  int Width = 800, Height = 600;
  std::optional<std::string> Max, Min;
};

struct TDdrArgs {
  bool Display = false, Save = false, Summary = false;
  std::optional<std::string> Output;
};

struct TRamcardArgs {
  std::string Dump;
  bool List = false, Save = false; // the action chosen
  std::vector<std::string> Names;
  std::optional<std::string> Out;
};

// The export command: the format, the clock's zone (none given: the
// LoggerTimeZone setting), the output file of a single log.
struct TExportArgs {
  std::string Format;
  std::optional<std::string> Zone;
  std::optional<std::string> Output;
};

struct TCommandLine {
  // The tool's options.
  std::string IniPath = "Quorvin.ini";
  bool IniGiven = false;
  std::vector<std::string> SetTexts;
  std::vector<std::pair<const TSetting*, std::string>> Sets;
  bool Yes = false;

  // Run options of the commands over many files.
  std::string JobsText;
  unsigned Jobs = 0; // 0: one per core
  std::optional<std::string> SummaryFile;
  std::optional<std::string> FilesFrom;

  const TCommandEntry* Command = nullptr;
  // The command's usage, for usage errors found while it runs.
  std::string Usage;
  std::vector<std::string> Files;
  // Words the command did not take, in order (a command's check may explain
  // them in its own terms; otherwise they are a usage error).
  std::vector<std::string> Unparsed;
  TLogArgs Log;
  TGraphArgs Graph;
  TDdrArgs Ddr;
  TRamcardArgs Ramcard;
  TExportArgs Export;
  std::vector<std::string> HelpTopic;
  std::string HelpText;
};

// Parses Args into Line. Answers -1 when the command is to run; otherwise
// the exit status after what was printed: 0 after --help, help text or
// --version on Out, 2 after a usage error on Err.
int ParseCommandLine(const std::vector<std::string>& Args, TCommandLine& Line, std::ostream& Out,
                     std::ostream& Err);

// A usage error's line: Problem, then the usage in brackets.
std::string UsageLine(const std::string& Problem, const std::string& Usage);

} // namespace quorvin::cli
