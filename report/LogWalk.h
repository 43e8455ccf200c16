// SPDX-License-Identifier: GPL-3.0-or-later
// The time steps of one LOGPRN conversion, walked into a line maker: a time
// grid from Start to End (both included) in steps of Interval, or the
// records of one sensor in stored order. A walk can begin again after any
// chunk an earlier walk handed on, so a stretch of the lines can be made
// again by itself.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/MiscUtil.h"
#include "logdata/LogReader.h"
#include "report/LineMaker.h"

namespace quorvin {

struct TLogWalk {
  std::shared_ptr<ILogReader> Log;
  // The checked sensors, 1-based in the log's order: one per column.
  std::vector<int> SensorIndexes;
  LogTime Start = 0;
  LogTime End = 0;
  std::int32_t Interval = 0;
  // The records of the one sensor in SensorIndexes, in place of the grid.
  bool RecordByRecord = false;
  // Only the steps timed From to To: a record walk passes over the others,
  // a grid is cut to them beforehand.
  bool Windowed = false;
  LogTime WindowFrom = 0;
  LogTime WindowTo = 0;

  // Where a walk begins: the grid's start, or the first record.
  std::int64_t First() const { return RecordByRecord ? 0 : Start; }
  // The time steps of the whole walk (about, for a record walk that is
  // windowed), and the progress it reports at its end.
  std::int64_t Steps() const;
  std::int64_t ProgressTotal() const;
  // Where the walk goes on after a chunk that Maker handed on, its last
  // step being the record at Position (a record walk) or the grid time
  // Time; false when the walk ends there.
  bool Next(std::int64_t Position, LogTime Time, std::int64_t& At) const;
  // Walks from At (First, or a place Next gave) into Maker, to the end or
  // until Maker stops.
  void Run(TLineMaker& Maker, std::int64_t At) const;

private:
  void RunRecords(TLineMaker& Maker, std::int64_t At) const;
  void RunGrid(TLineMaker& Maker, std::int64_t At) const;
  // With excluded lines: the next grid time on a day that has a record.
  bool SkipEmptyStretch(TLineMaker& Maker, std::int64_t& T, std::int64_t Step) const;
  std::int64_t NextRecordTime(std::int64_t From) const;
};

} // namespace quorvin
