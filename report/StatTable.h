// SPDX-License-Identifier: GPL-3.0-or-later
// The figures of a statistics report as a table, kept beside the report's
// text so that they can be copied into a spreadsheet: the report's lines
// line values up in columns of ten, which long values overrun, so they
// cannot be read back reliably.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvin {

// One block (day) of the report.
struct TStatTableRow {
  std::string Label;        // the block's date as the report writes it
  std::int64_t Samples = 0; // the report's #SAMPLES; 0 for a day without data
  // Per checked sensor, the report's MIN, MAX and MEAN texts; empty where the
  // sensor recorded nothing in the block.
  std::vector<std::string> Min, Max, Mean;
};

struct TStatTable {
  std::vector<std::string> Sensors; // the checked sensors' names, in log order
  std::vector<TStatTableRow> Rows;
  bool Empty() const { return Sensors.empty(); }
};

// The table as tab-separated text: a head row (DATE, #SAMPLES, then MIN,
// MAX and MEAN of each sensor), a row per block, each line ended by a line
// feed. Tabs and line ends within a text become blanks.
std::string StatisticsTsv(const TStatTable& Table);

} // namespace quorvin
