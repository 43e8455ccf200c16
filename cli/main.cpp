#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CliContext.h"
#include "core/Collect.h"
#include "core/OutputFile.h"
#include "core/ProcessLocale.h"

int main(int argc, char** argv) {
  quorvin::SetUpProcessLocale();
  quorvin::SetUpProcessSignals();
  quorvin::SetRunErrorHandler([](int RunError) {
    std::fprintf(stderr, "Runtime error %d\n", RunError);
    std::fflush(stderr);
  });
  std::vector<std::string> Args(argv + 1, argv + argc);
  return quorvin::cli::RunCli(Args, std::cout, std::cerr);
}
