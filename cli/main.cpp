#include <iostream>
#include <string>
#include <vector>

#include "cli/CliContext.h"
#include "core/ProcessLocale.h"

int main(int argc, char** argv) {
  quorvin::SetUpProcessLocale();
  std::vector<std::string> Args(argv + 1, argv + argc);
  return quorvin::cli::RunCli(Args, std::cout, std::cerr);
}
