// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/ioctl.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/CliContext.h"
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
  quorvin::cli::TCliEnvironment Environment;
  Environment.In = &std::cin;
  Environment.ErrTerminalColumns = ErrTerminalColumns();
  Environment.Cores = quorvin::UsableCores();
#ifdef QUORVIN_WITH_CHART
  // Lives until the run is over: Qt, when a chart started it, ends with it.
  quorvin::chart::TOffscreenCharts Charts;
  Environment.Charts = Charts.Factory();
#endif
  return quorvin::cli::RunCli(Args, std::cout, std::cerr, Environment);
}
