// SPDX-License-Identifier: GPL-3.0-or-later
// What every log output reads of the log selection: the loaded log, one
// choice per sensor, the chosen range and the names the outputs give. The
// selection of the window and of quorvin-cli (app/LogSelection.h) keeps it
// up to date; the outputs only read it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/DateTimeFormat.h"
#include "core/MiscUtil.h"
#include "core/UiServices.h"
#include "logdata/LogReader.h"

namespace quorvin {

struct TSensorChoice {
  bool Checked = false;
  std::string FullName;  // the name the reader knows the sensor by
  std::string ShortName; // the column name
  int RightDigits = 0;
  float Slope = 0.0f;  // logs with scaling only
  float Offset = 0.0f; // logs with scaling only
  std::string Units;   // logs with units only
};

class TSelectedLog {
public:
  TSelectedLog() = default;
  TSelectedLog(const TSelectedLog&) = delete;
  TSelectedLog& operator=(const TSelectedLog&) = delete;

  std::string LogFileName;
  std::string LogFileDir; // with its trailing separator; empty for the current folder
  // The loaded log, of whichever kind its file is; none when no log is
  // loaded. Shared with the lines of a display made from it, which outlive
  // the selection's choice of log.
  std::shared_ptr<ILogReader> Log;
  // One per sensor of the log, in its order.
  std::vector<TSensorChoice> SensorChoices;

  LogTime StartTime = 0;
  LogTime EndTime = 0;
  TDateTime StartDate = 0;
  TDateTime EndDate = 0;
  std::int32_t LogInterval = 0;
  // Where the log's grid lies within a day: StartTime modulo LogInterval.
  std::int32_t GridOffset = 0;
  std::string LogTitleName;

  int SensorChoiceCount() const { return static_cast<int>(SensorChoices.size()); }
  bool LogLoaded() const { return Log != nullptr; }

  // Takes an opened log: an unchecked choice per sensor, its interval and
  // title name, and the range of its first sensor (a logger file's is the
  // log's; without sensors the log's).
  void UseLog(std::unique_ptr<ILogReader> Opened);
  // The range Start to End, with the grid offset of Start.
  void SetRange(LogTime Start, LogTime End);
};

// Readings stored for the checked sensors: the most any of them holds.
std::int64_t CheckedReadings(const TSelectedLog& Selection);

// The size in bytes of the loaded log's file (0 when none is loaded).
std::int64_t LogFileBytes(const TSelectedLog& Selection);

// About how many characters the lines of a walk over Start to End
// (inclusive) in steps of Interval take for the checked sensors, with the
// dates and times written in Format.
double ExpectedGridBytes(const TSelectedLog& Selection, std::int64_t Start, std::int64_t End,
                         std::int64_t Interval, const TDateTimeFormat& Format);

// A walk whose lines would take more than GridGrowthLimit times the log's
// file, and more than GridBytesFloor, is first put to the user: that is
// what one stray row from a logger whose clock was reset, or a damaged
// header, makes of a small file. False when the answer is No.
constexpr double GridGrowthLimit = 100;
constexpr double GridBytesFloor = 1 << 20;
bool ConfirmLongGrid(const TSelectedLog& Selection, std::int64_t Start, std::int64_t End,
                     std::int64_t Interval, const TDateTimeFormat& Format, IMessageDialog& Dialog);

} // namespace quorvin
