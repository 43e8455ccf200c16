// What a quorvin-cli command works with: the application object loaded from
// the settings file, the console UI services, and the two output streams.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Application.h"
#include "core/UiServices.h"

namespace quorvin::cli {

struct TCliContext {
  TApplication& App;
  TUiServices& Ui;
  // --yes: every Yes/No question is answered Yes.
  bool Yes;
  std::ostream& Out;
  std::ostream& Err;
};

// A command line the tool cannot follow: one line of explanation, exit 2.
class TUsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A command's own result: 0 success, 1 failure. The tool also answers 1 when
// an error dialog was shown or the message panel ends with an error text.
using TCommandFn = int (*)(TCliContext& Ctx, const std::vector<std::string>& Args);

struct TCommandEntry {
  const char* Name;
  TCommandFn Run;
  const char* Usage;
};

// Runs the tool on its arguments (without the program name).
int RunCli(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);

// Helpers shared by the commands' argument parsing.
// Takes the value after Option at Args[I], advancing I; a usage error when missing.
std::string OptionValue(const std::vector<std::string>& Args, std::size_t& I);

} // namespace quorvin::cli
