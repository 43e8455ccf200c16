// SPDX-License-Identifier: GPL-3.0-or-later
// What a quorvin-cli command works with: the application object, loaded
// from the settings file as the window loads it, the two output streams and
// the command line as parsed.
#pragma once

#include <functional>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/ChartPicture.h"

namespace quorvin::cli {

struct TCommandLine;

struct TCliContext {
  TApplication& App;
  std::ostream& Out;
  std::ostream& Err;
  const TCommandLine& Line;
  // The chart of a command that draws one (null for the others).
  IChartPicture* Chart = nullptr;
};

// A command line the tool cannot follow: one line of explanation, exit 2.
class TUsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// What the tool's process offers besides its two output streams.
struct TCliEnvironment {
  // Standard input, for --files-from -; null when there is none to read.
  std::istream* In = nullptr;
  // Columns of the terminal standard error shows on; 0 when it is not a
  // terminal (no progress line then).
  int ErrTerminalColumns = 0;
  // That terminal cannot go back over a line (TERM=dumb): progress is
  // written as plain lines.
  bool PlainTerminal = false;
  // The error number of the first write to standard output that failed, 0
  // while none has; empty where the stream's own state tells enough. Safe
  // to ask from any thread.
  std::function<int()> OutError;
  // Cores this process may run on: the default of --jobs.
  unsigned Cores = 1;
  // Makes the charts of the graph command; empty in a process without them.
  TChartPictureFactory Charts;
  // Without charts: hands a command that draws one over to the program that
  // has them (returns only when it cannot, with the exit status); empty
  // where the tool was built without the window.
  std::function<int(std::ostream& Err)> HandOverChart;
};

// Runs the tool on its arguments (without the program name). A run whose
// standard output could not be written ends with an error saying so.
int RunCli(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err,
           const TCliEnvironment& Environment = TCliEnvironment());

// The run-time error handler of the tool (collections misused): says
// "Runtime error N" on standard error after what the run has printed, and
// ends the process with status N.
void ReportRunError(int RunError);

} // namespace quorvin::cli
