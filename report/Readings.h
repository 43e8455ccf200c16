// SPDX-License-Identifier: GPL-3.0-or-later
// The readings of some sensors of a log, one row per time at which any of
// them has a reading, in time order: what the analysis outputs (ISO CSV,
// NetCDF, the Python module) are made of. A sensor without a reading at a
// row's time has a value not recorded there.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
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
  // Up to MaxRows next rows: Times[r], and Values[r * Columns() + i]. Zero
  // after the last row. A log stored as records is read in bulk.
  std::size_t NextRows(std::size_t MaxRows, LogTime* Times, float* Values);
  // NextRows by column, each value through Map: Columns[i][r] is
  // Map(value, Arguments[i]). A log stored as records decodes them in bulk.
  std::size_t NextColumns(std::size_t MaxRows, LogTime* Times, ILogReader::TValueMap Map,
                          const int* Arguments, double* const* Columns);
  // At most this many rows are left (for progress and for reserving room).
  std::int64_t RowsLeft() const;

private:
  struct TCursor {
    int Index = 0;             // the sensor
    std::int64_t Position = 0; // its next reading
    std::int64_t Count = 0;    // readings it has up to To
  };
  bool NextOfRecords(LogTime& Time, float* Values);
  // The next rows of a log stored as records, at most MaxRows: their times
  // into Times, and the time of the first. Moves past them.
  std::size_t TakeRecordRows(std::size_t MaxRows, LogTime* Times, LogTime& First);
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
// (halves away from zero), NaN when not recorded. Inline: the Python module
// calls it for every value of a log.
inline double ReadingValue(float Value, int RightDigits) {
  if (IsNonRecorded(Value)) return std::numeric_limits<double>::quiet_NaN();
  static constexpr double Scale[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const double Wide = Value;
  if (RightDigits < 0 || RightDigits > MaxRightDigits || !std::isfinite(Wide)) return Wide;
  const double Scaled = Wide * Scale[RightDigits];
  // Beyond 2^52 a double holds no fraction left to round.
  if (std::fabs(Scaled) >= 4503599627370496.0) return Wide;
  // std::round, inline: below 2^52 the conversion truncates exactly.
  double Whole = std::copysign(static_cast<double>(static_cast<std::int64_t>(Scaled)), Scaled);
  if (std::fabs(Scaled - Whole) >= 0.5) Whole += std::copysign(1.0, Scaled);
  return Whole / Scale[RightDigits];
}

} // namespace quorvin
