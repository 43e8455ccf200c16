// Runs quorvin-cli in-process with a settings file of the test's own (none
// of the machine's), and keeps what it answered.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/CliContext.h"

namespace quorvin::test {

struct TRun {
  int Code;
  std::string Out;
  std::string Err;
};

inline TRun RunCliWithIni(const std::string& IniPath, std::vector<std::string> Args) {
  Args.insert(Args.begin(), {"--ini", IniPath});
  std::ostringstream Out, Err;
  int Code = cli::RunCli(Args, Out, Err);
  return {Code, Out.str(), Err.str()};
}

} // namespace quorvin::test
