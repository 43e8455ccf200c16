// SPDX-License-Identifier: GPL-3.0-or-later
// The readings of a log for analysis tools: an RFC 4180 CSV file with ISO
// 8601 times, or a NetCDF-4 file following the CF conventions. Rows are the
// times at which any chosen sensor has a reading (TReadingWalk); a value not
// recorded is an empty field or the variable's fill value. With a clock
// zone, CSV times carry their offset and NetCDF times are UTC.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/ClockZone.h"
#include "core/UiServices.h"
#include "logdata/LogReader.h"

namespace quorvin {

enum class TReadingsFormat { Csv, NetCdf };

struct TReadingsRequest {
  TReadingsFormat Format = TReadingsFormat::Csv;
  // 1-based, in the order of the columns.
  std::vector<int> Sensors;
  LogTime From = 0, To = 0;
  TClockZone Zone;
  std::string FileName;
};

struct TReadingsOutcome {
  bool Written = false;
  bool Cancelled = false;
  std::int64_t Rows = 0;
  // Why the file could not be written, as the system or the library says.
  std::string Reason;
  TPlacementTally Tally;
};

// Writes the file, replacing it only once complete; Busy shows progress and
// may cancel.
TReadingsOutcome ExportReadings(ILogReader& Log, const TReadingsRequest& Request,
                                IBusyCursor& Busy);

// The logger's title: the log's title name, without the folder where that
// is the file's own name (a CSV log).
std::string LogTitle(const ILogReader& Log);

// One CSV field as RFC 4180 writes it: quoted when it holds a comma, a
// quote or a line break, its quotes doubled.
std::string CsvField(const std::string& Text);

// The CSV header: "time" and "<name> (<units>)" per sensor ("<name>" where
// the log names no units).
std::string ReadingsCsvHeader(ILogReader& Log, const std::vector<int>& Sensors);

} // namespace quorvin
