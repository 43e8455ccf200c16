// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli-graph: quorvin-cli with the chart, which quorvin-cli hands its
// graph command over to. The chart starts Qt only when it draws.
#include <iostream>
#include <string>
#include <vector>

#include "chart/OffscreenCharts.h"
#include "cli/CliContext.h"
#include "cli/CliProcess.h"

int main(int argc, char** argv) {
  quorvin::cli::SetUpCliProcess();
  std::vector<std::string> Args(argv + 1, argv + argc);
  quorvin::cli::TCliEnvironment Environment = quorvin::cli::ProcessEnvironment();
  // Lives until the run is over: Qt, when a chart started it, ends with it.
  quorvin::chart::TOffscreenCharts Charts;
  Environment.Charts = Charts.Factory();
  return quorvin::cli::RunCli(Args, quorvin::cli::ProcessOut(), std::cerr, Environment);
}
