// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli. It links no Qt: the graph command, which draws with the
// window's chart, is handed over to quorvin-cli-graph.
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliContext.h"
#include "cli/CliProcess.h"

int main(int argc, char** argv) {
  quorvin::cli::SetUpCliProcess();
  std::vector<std::string> Args(argv + 1, argv + argc);
  quorvin::cli::TCliEnvironment Environment = quorvin::cli::ProcessEnvironment();
#ifdef QUORVIN_WITH_CHART
  Environment.HandOverChart = [argv](std::ostream& Err) {
    return quorvin::cli::HandOverToChartProgram(argv, Err);
  };
#endif
  return quorvin::cli::RunCli(Args, quorvin::cli::ProcessOut(), std::cerr, Environment);
}
