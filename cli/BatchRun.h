// SPDX-License-Identifier: GPL-3.0-or-later
// Runs one piece of work per input file on several threads, with the output
// of a run one file at a time: each input's standard output and standard
// error are kept together and printed in the order the inputs were given,
// and inputs that write the same file never run at the same time.
#pragma once

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

namespace quorvin::cli {

struct TBatchItem {
  std::string Input;
  // The file the input's work writes (empty: none). Inputs with the same
  // target run one after the other, in the order given.
  std::string Target;
};

struct TBatchResult {
  int Code = 0;
  std::string OutputFile;
  std::string Status;
};

struct TBatchSettings {
  unsigned Jobs = 1;
  // Columns of the terminal standard error shows on, 0 for no progress line.
  int ProgressColumns = 0;
  // A terminal that cannot go back over a line (TERM=dumb): each file's
  // progress is a line of its own.
  bool PlainProgress = false;
};

// The work on one input, writing to that input's own two streams.
using TBatchWork =
    std::function<TBatchResult(const std::string& Input, std::ostream& Out, std::ostream& Err)>;

// Runs Work for every item and answers the results in the items' order.
// The item whose turn it is to print writes straight through; the others
// are held until their turn comes. Each thread running work counts against
// the process's thread budget.
std::vector<TBatchResult> RunBatch(const std::vector<TBatchItem>& Items,
                                   const TBatchSettings& Settings, std::ostream& Out,
                                   std::ostream& Err, const TBatchWork& Work);

// For a run-time error on a thread running batch work: prints what may be
// printed (the finished items in order, then this item's output so far),
// then "Runtime error N", and ends the process with status N. False when
// the calling thread runs no batch work.
bool EndBatchWithRunError(int RunError);

// The line the progress shows: done and total, and the file last started,
// cut to fit Columns.
std::string ProgressText(std::size_t Done, std::size_t Total, const std::string& Current,
                         int Columns);

} // namespace quorvin::cli
