#include <clocale>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliContext.h"
#include "core/Collect.h"

int main(int argc, char** argv) {
  // The system's date and time separators come from the user's locale.
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  quorvin::SetRunErrorHandler([](int RunError) {
    std::fprintf(stderr, "Runtime error %d\n", RunError);
    std::fflush(stderr);
  });
  std::vector<std::string> Args(argv + 1, argv + argc);
  return quorvin::cli::RunCli(Args, std::cout, std::cerr);
}
