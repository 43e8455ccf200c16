// What a quorvin-cli command works with: the application object, loaded
// from the settings file as the window loads it, and the two output streams.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Application.h"

namespace quorvin::cli {

struct TCliContext {
  TApplication& App;
  std::ostream& Out;
  std::ostream& Err;
};

// A command line the tool cannot follow: one line of explanation, exit 2.
class TUsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A command turns its arguments into calls on the application and answers
// the outcome of the command it ran: exit status 0 when it succeeded, 1 when
// it did not.
using TCommandFn = TCommandOutcome (*)(TCliContext& Ctx, const std::vector<std::string>& Args);

struct TCommandEntry {
  const char* Name;
  TCommandFn Run;
  const char* Usage;
};

// Runs the tool on its arguments (without the program name).
int RunCli(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);

// Takes the value after Option at Args[I], advancing I; a usage error when missing.
std::string OptionValue(const std::vector<std::string>& Args, std::size_t& I);

} // namespace quorvin::cli
