// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliProcess.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "cli/ConsoleUi.h"
#include "core/Collect.h"
#include "core/Cores.h"
#include "core/OutputFile.h"
#include "core/ProcessLocale.h"
#include "core/RegularFile.h"

namespace quorvin::cli {

namespace {

int ErrTerminalColumns() {
  if (!::isatty(STDERR_FILENO)) return 0;
  struct winsize Size {};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &Size) == 0 && Size.ws_col > 0) return Size.ws_col;
  return 80;
}

TConsoleOutBuf& OutBuf() {
  static TConsoleOutBuf Buf(STDOUT_FILENO);
  return Buf;
}

} // namespace

std::string ProgramFolder() {
  std::string Path(4096, '\0');
  const ssize_t N = ::readlink("/proc/self/exe", Path.data(), Path.size());
  if (N <= 0 || std::size_t(N) >= Path.size()) return std::string();
  Path.resize(std::size_t(N));
  const std::size_t Slash = Path.rfind('/');
  return Slash == std::string::npos ? std::string() : Path.substr(0, Slash);
}

std::ostream& ProcessOut() {
  static std::ostream Out(&OutBuf());
  return Out;
}

void SetUpCliProcess() {
  SetUpProcessLocale();
  SetUpProcessSignals();
  SetRunErrorHandler(ReportRunError);
}

TCliEnvironment ProcessEnvironment() {
  TCliEnvironment Environment;
  Environment.In = &std::cin;
  Environment.ErrTerminalColumns = ErrTerminalColumns();
  const char* Term = std::getenv("TERM");
  Environment.PlainTerminal =
      !Term || std::string_view(Term).empty() || std::string_view(Term) == "dumb";
  Environment.OutError = [] { return OutBuf().Error(); };
  Environment.Cores = UsableCores();
  return Environment;
}

int HandOverToChartProgram(char** Argv, std::ostream& Err) {
  const std::string Folder = ProgramFolder();
  const std::string Candidates[] = {Folder + "/" + ChartProgramName,
                                    Folder + "/../libexec/quorvin/" + ChartProgramName};
  int Error = ENOENT;
  std::string Tried;
  for (const std::string& Program : Candidates) {
    if (Folder.empty()) break;
    if (::access(Program.c_str(), X_OK) != 0) continue;
    // What this process printed so far comes first.
    ProcessOut().flush();
    Err.flush();
    std::fflush(nullptr);
    Argv[0] = const_cast<char*>(Program.c_str());
    ::execv(Program.c_str(), Argv);
    Error = errno;
    Tried = Program;
    break;
  }
  if (Tried.empty()) Tried = Folder + "/" + ChartProgramName;
  Err << "graph is not available: " << Tried << ": " << SystemErrorText(Error) << "\n";
  return 2;
}

} // namespace quorvin::cli
