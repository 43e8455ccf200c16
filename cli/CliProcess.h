// SPDX-License-Identifier: GPL-3.0-or-later
// The process around a run of the tool, the same for quorvin-cli and for
// quorvin-cli-graph, the program it hands its graph command over to. Only
// that program links the chart (and with it Qt), so every other command
// starts without loading the window's libraries.
#pragma once

#include <iosfwd>
#include <string>

#include "cli/CliContext.h"

namespace quorvin::cli {

// The graph program's name; it is looked for beside the running program,
// then in ../libexec/quorvin/ from there (where the package installs it).
inline constexpr const char* ChartProgramName = "quorvin-cli-graph";

// The locale, the signals and the run-time error handler: process-wide, so
// set before any thread starts.
void SetUpCliProcess();

// Standard input, the columns of the terminal standard error shows on and
// whether it can go back over a line, the cores the process may use, and
// how standard output has fared.
TCliEnvironment ProcessEnvironment();

// Standard output with every write checked, so that a full disk or a closed
// pipe is told rather than passed over. What it holds is handed on when the
// process ends through exit (a run-time error) as well.
std::ostream& ProcessOut();

// The folder of the running program, without a trailing separator; empty
// when the system does not say.
std::string ProgramFolder();

// Replaces this process by the graph program, run on the same arguments
// (argv as main received it). Returns only when that cannot be done: with
// exit status 2, after saying why on Err.
int HandOverToChartProgram(char** Argv, std::ostream& Err);

} // namespace quorvin::cli
