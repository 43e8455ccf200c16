// SPDX-License-Identifier: GPL-3.0-or-later
// Runs quorvin-cli in-process with a settings file of the test's own (none
// of the machine's), and keeps what it answered.
#pragma once

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliContext.h"
#include "support/Scratch.h"

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

// Runs the built quorvin-cli as a separate program; its standard output.
// Arguments are quoted for the shell (they hold no quote of their own).
inline TRun RunCliProgram(const std::string& IniPath, const std::vector<std::string>& Args) {
  std::string Command = std::string(QUORVIN_CLI_PATH) + " --ini '" + IniPath + "'";
  for (const std::string& A : Args) Command += " '" + A + "'";
  TRun R{-1, "", ""};
  FILE* Pipe = ::popen(Command.c_str(), "r");
  if (!Pipe) return R;
  char Buf[256];
  std::size_t N;
  while ((N = std::fread(Buf, 1, sizeof Buf, Pipe)) > 0) R.Out.append(Buf, N);
  R.Code = ::pclose(Pipe);
  return R;
}

} // namespace quorvin::test
