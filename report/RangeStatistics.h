// SPDX-License-Identifier: GPL-3.0-or-later
// Minimum, maximum, mean and number of samples of each checked sensor over
// a stretch of the log's grid: what a zoomed chart shows, summed up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/UiServices.h"
#include "report/SelectedLog.h"
#include "report/Statistics.h"

namespace quorvin {

struct TRangeFigures {
  std::string Name;
  int RightDigits = 0;
  float Min = StatMinStart;
  float Max = StatMaxStart;
  double Sum = 0;
  std::int64_t Count = 0;
};

// The figures of every checked sensor of Selection, in log order, over the
// times of its grid (StartTime + k * LogInterval, before EndTime) from From
// to To, both included. False when the user cancelled the pass.
bool RangeStatistics(TSelectedLog& Selection, LogTime From, LogTime To,
                     std::vector<TRangeFigures>& Figures, IBusyCursor* Busy = nullptr);

// "STAGE: minimum 0.50, maximum 2.50, mean 1.01, 96 samples", the values
// with the sensor's decimals; "STAGE: no samples" without any.
std::string RangeFiguresLine(const TRangeFigures& Figures);

} // namespace quorvin
