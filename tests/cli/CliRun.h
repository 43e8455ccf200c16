// SPDX-License-Identifier: GPL-3.0-or-later
// Runs quorvin-cli in-process with a settings file of the test's own (none
// of the machine's), and keeps what it answered.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliContext.h"
#include "core/MiscUtil.h"
#include "support/Scratch.h"

namespace quorvin::test {

struct TRun {
  int Code;
  std::string Out;
  std::string Err;
};

// The test's settings file, or, when it is not there, an empty one of the
// test program's own (every option at its default): a settings file named
// on the command line must exist, and the test's folder stays as it was.
inline std::string TestIni(const std::string& IniPath) {
  if (std::filesystem::exists(IniPath)) return IniPath;
  static const TScratchDir Defaults;
  const std::string Empty = Defaults / "defaults.ini";
  if (!std::filesystem::exists(Empty)) WriteWhole(Empty, "");
  return Empty;
}

inline TRun RunCliWithIni(const std::string& IniPath, std::vector<std::string> Args) {
  Args.insert(Args.begin(), {"--ini", TestIni(IniPath)});
  std::ostringstream Out, Err;
  int Code = cli::RunCli(Args, Out, Err);
  return {Code, Out.str(), Err.str()};
}

// In-process, with every option at its default.
inline TRun Cli(const TScratchDir& Dir, std::vector<std::string> Args) {
  return RunCliWithIni(Dir / "none.ini", std::move(Args));
}

// Text with the scratch folder (as given and in capitals) written "@", so
// two runs in two folders compare.
inline std::string Normal(std::string Text, const std::string& Folder) {
  for (const std::string& F : {Folder, UpperCase(Folder)})
    for (std::size_t Pos; (Pos = Text.find(F)) != std::string::npos;)
      Text.replace(Pos, F.size(), "@");
  return Text;
}

// Runs the built quorvin-cli as a separate program; its standard output.
// Arguments are quoted for the shell (they hold no quote of their own).
inline TRun RunCliProgram(const std::string& IniPath, const std::vector<std::string>& Args) {
  std::string Command = std::string(QUORVIN_CLI_PATH) + " --ini '" + TestIni(IniPath) + "'";
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

// The built quorvin-cli with a settings file of the test's own, as a shell
// command (the path holds no quote).
inline std::string CliCommand(const std::string& IniPath) {
  return std::string(QUORVIN_CLI_PATH) + " --ini '" + TestIni(IniPath) + "'";
}

// Runs Script with the shell in Folder; its exit status, standard output
// and standard error (kept in a folder of their own).
inline TRun RunShell(const std::string& Folder, const std::string& Script) {
  TScratchDir Kept;
  const std::string Command =
      "cd '" + Folder + "' && { " + Script + "\n} >'" + Kept / "out" + "' 2>'" + Kept / "err" + "'";
  const int Status = std::system(Command.c_str());
  return {WIFEXITED(Status) ? WEXITSTATUS(Status) : -1, ReadWhole(Kept / "out"),
          ReadWhole(Kept / "err")};
}

} // namespace quorvin::test
