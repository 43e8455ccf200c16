// SPDX-License-Identifier: GPL-3.0-or-later
// The readings of some sensors of a log, one row per time at which any of
// them has a reading, in time order: what the analysis outputs (ISO CSV,
// NetCDF, the Python module) are made of. A sensor without a reading at a
// row's time has a value not recorded there.
#pragma once

#include <cstdint>
#include <vector>

#include "core/MiscUtil.h"
#include "logdata/LogReader.h"

namespace quorvin {

class TReadingWalk {
public:
  // The readings of the sensors SensorIndexes (1-based; an index the log
  // does not have gives no readings) timed From to To, both included. The
  // log must outlive the walk.
  TReadingWalk(ILogReader& Log, std::vector<int> SensorIndexes, LogTime From, LogTime To);

  std::size_t Columns() const { return FSensors.size(); }
  // The next row: its time and one value per sensor (NonRecordedValue()
  // where none). False after the last row.
  bool Next(LogTime& Time, float* Values);
  // At most this many rows are left (for progress and for reserving room).
  std::int64_t RowsLeft() const;

private:
  struct TCursor {
    int Index = 0;             // the sensor
    std::int64_t Position = 0; // its next reading
    std::int64_t Count = 0;    // readings it has up to To
  };
  bool NextOfRecords(LogTime& Time, float* Values);
  // The first reading of the sensor at or after Time.
  std::int64_t FirstAtOrAfter(int Index, std::int64_t Count, LogTime Time);
  LogTime TimeAt(const TCursor& C, float& Value);

  ILogReader& FLog;
  std::vector<int> FSensors;
  std::vector<TCursor> FCursors;
  LogTime FTo;
  // A log whose records hold every sensor: one walk over its records.
  bool FRecords;
  std::int64_t FPosition = 0, FEnd = 0;
  LogTime FFirst = 0;
  std::int32_t FInterval = 0;
};

// A reading as the outputs show it: Value rounded to RightDigits decimals
// (halves away from zero), NaN when not recorded.
double ReadingValue(float Value, int RightDigits);

} // namespace quorvin
