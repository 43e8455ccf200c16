// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliContext.h"
#include "cli/ConsoleUi.h"
#include "core/Collect.h"
#include "core/Cores.h"
#include "core/OutputFile.h"
#include "core/ProcessLocale.h"
#ifdef QUORVIN_WITH_CHART
#include "chart/OffscreenCharts.h"
#endif

namespace {

int ErrTerminalColumns() {
  if (!::isatty(STDERR_FILENO)) return 0;
  struct winsize Size {};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &Size) == 0 && Size.ws_col > 0) return Size.ws_col;
  return 80;
}

} // namespace

int main(int argc, char** argv) {
  // Process-wide, so done once before any thread starts.
  quorvin::SetUpProcessLocale();
  quorvin::SetUpProcessSignals();
  quorvin::SetRunErrorHandler(quorvin::cli::ReportRunError);
  std::vector<std::string> Args(argv + 1, argv + argc);
  // Standard output with every write checked, so that a full disk or a
  // closed pipe is told rather than passed over.
  // Static: a run-time error ends the process through exit, which still
  // hands on what is buffered.
  static quorvin::cli::TConsoleOutBuf OutBuf(STDOUT_FILENO);
  std::ostream Out(&OutBuf);
  quorvin::cli::TCliEnvironment Environment;
  Environment.In = &std::cin;
  Environment.ErrTerminalColumns = ErrTerminalColumns();
  const char* Term = std::getenv("TERM");
  Environment.PlainTerminal =
      !Term || std::string_view(Term).empty() || std::string_view(Term) == "dumb";
  Environment.OutError = [] { return OutBuf.Error(); };
  Environment.Cores = quorvin::UsableCores();
#ifdef QUORVIN_WITH_CHART
  // Lives until the run is over: Qt, when a chart started it, ends with it.
  quorvin::chart::TOffscreenCharts Charts;
  Environment.Charts = Charts.Factory();
#endif
  return quorvin::cli::RunCli(Args, Out, std::cerr, Environment);
}
