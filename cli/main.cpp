#include <sched.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "cli/CliContext.h"
#include "core/Collect.h"
#include "core/ProcessLocale.h"

namespace {

// The cores this process may run on (a taskset or a job slot may give it
// fewer than the machine has).
unsigned UsableCores() {
  cpu_set_t Set;
  if (::sched_getaffinity(0, sizeof Set, &Set) == 0 && CPU_COUNT(&Set) > 0)
    return static_cast<unsigned>(CPU_COUNT(&Set));
  const unsigned N = std::thread::hardware_concurrency();
  return N > 0 ? N : 1;
}

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
  quorvin::SetRunErrorHandler(quorvin::cli::ReportRunError);
  std::vector<std::string> Args(argv + 1, argv + argc);
  quorvin::cli::TCliEnvironment Environment;
  Environment.In = &std::cin;
  Environment.ErrTerminalColumns = ErrTerminalColumns();
  Environment.Cores = UsableCores();
  return quorvin::cli::RunCli(Args, std::cout, std::cerr, Environment);
}
