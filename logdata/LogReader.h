// SPDX-License-Identifier: GPL-3.0-or-later
// What a log is to the code that shows and converts it, whatever file it was
// read from: its names, its sensors with their units and scaling, its
// interval and time span, its values by time and its header report.
//
// The binary logger file (TLogFile) and the CSV log (TCSVLogFile) are the
// kinds there are; LogFormats.h picks the kind for a file. A sensor is named
// by its 1-based SensorIndex, its place in the log's own order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/DateTimeFormat.h"
#include "core/MiscUtil.h"
#include "core/UiServices.h"

namespace quorvin {

// One sensor as its log describes it.
struct TLogSensor {
  std::string Name;      // the name the reader knows the sensor by
  std::string ShortName; // the name its column carries
  std::string Units;     // empty where the log names none
  int RightDigits = 0;
  float Slope = 0.0f; // shown in export headers, never applied
  float Offset = 0.0f;
  // The sensor's own readings: the first and the last, the smallest step
  // between two, and whether a step differed from that.
  LogTime FirstTime = 0;
  LogTime LastTime = 0;
  std::int32_t Interval = 0;
  bool VariableInterval = false;
};

class ILogReader {
public:
  virtual ~ILogReader() = default;

  // Reads what the log needs before values can be asked of it; true when the
  // file is a log of this kind with a usable header or data.
  virtual bool Open() = 0;

  virtual const std::string& FileName() const = 0;
  // The file name without folder and extension, upper case (status messages).
  virtual const std::string& DisplayName() const = 0;
  // The name the titles of the outputs give the log.
  virtual std::string TitleName() const = 0;
  // The words that open the data title of the outputs, up to the name.
  virtual std::string_view DataTitle() const = 0;

  virtual int SensorCount() const = 0;
  // SensorIndex 1..SensorCount(); an empty sensor outside.
  virtual TLogSensor Sensor(int SensorIndex) const = 0;
  // Whether the sensors come with a slope and an offset, and with units:
  // what the column header of an export shows besides the names.
  virtual bool HasScaling() const = 0;
  virtual bool HasUnits() const = 0;

  virtual LogTime FirstTime() const = 0;
  virtual LogTime LastTime() const = 0;
  // The logging interval in seconds; 0 when there is none.
  virtual std::int32_t Interval() const = 0;
  // Whether some sensors' intervals or first times do not fit the log's.
  virtual bool MixedIntervals() const = 0;
  // True for a log stored as one record per time step holding every sensor
  // (a logger file): it is read on the chosen range's grid, and a new
  // selection of it follows "Select all Sensors". False for a log whose
  // sensors each have readings of their own (a CSV log): an export walks
  // its own grid from its first reading whatever start day was chosen, and
  // a new selection checks its first sensor alone.
  virtual bool RecordsHoldEverySensor() const = 0;

  // The value of the sensor at exactly Time; NonRecordedValue() when nothing
  // was recorded there, the reading was bad, or the index is out of range.
  virtual void GetValue(LogTime Time, int SensorIndex, float& Value) = 0;
  float GetValue(LogTime Time, int SensorIndex) {
    float V;
    GetValue(Time, SensorIndex, V);
    return V;
  }
  // GetValue for several sensors at one time: Values[i] for SensorIndexes[i].
  virtual void GetValues(LogTime Time, const int* SensorIndexes, std::size_t Count,
                         float* Values) = 0;
  // GetValues for Rows times a step of Interval() apart from Time, row after
  // row: Values[r * Count + i]. A log stored as records reads them in bulk.
  virtual void GetValueRows(LogTime Time, std::size_t Rows, const int* SensorIndexes,
                            std::size_t Count, float* Values) {
    const std::int64_t Step = Interval();
    for (std::size_t R = 0; R < Rows; ++R)
      GetValues(static_cast<LogTime>(Time + std::int64_t(R) * Step), SensorIndexes, Count,
                Values + R * Count);
  }
  // What a caller makes of a value (NonRecordedValue() included), given the
  // column's own Argument.
  using TValueMap = double (*)(float Value, int Argument);
  // GetValueRows column by column, each value through Map: Columns[i][r] is
  // Map(the value of SensorIndexes[i] in row r, Arguments[i]). A log stored
  // as records decodes many rows on more than one thread.
  virtual void GetValueColumns(LogTime Time, std::size_t Rows, const int* SensorIndexes,
                               std::size_t Count, TValueMap Map, const int* Arguments,
                               double* const* Columns) {
    constexpr std::size_t Block = 1024;
    std::vector<float> Values(Count * std::min(Rows, Block));
    for (std::size_t Row = 0; Row < Rows; Row += Block) {
      const std::size_t N = std::min(Block, Rows - Row);
      GetValueRows(static_cast<LogTime>(Time + std::int64_t(Row) * Interval()), N, SensorIndexes,
                   Count, Values.data());
      for (std::size_t I = 0; I < Count; ++I)
        for (std::size_t R = 0; R < N; ++R)
          Columns[I][Row + R] = Map(Values[R * Count + I], Arguments[I]);
    }
  }

  // Readings stored of the sensor, and reading Position (0-based, in time
  // order) with its time; Position must lie in 0..RecordCount - 1.
  virtual int RecordCount(int SensorIndex) const = 0;
  virtual void GetValueAt(int Position, int SensorIndex, float& Value, LogTime& Time) = 0;
  // A time at or after From before which, from From on, the sensor has no
  // reading: its next reading's time, or earlier where the log cannot tell
  // cheaply. False when it has no reading at or after From.
  virtual bool NextRecordTime(int SensorIndex, LogTime From, LogTime& Time) = 0;

  // The Header command's report in Pane: false when a step failed.
  virtual bool ShowHeader(ITextPane& Pane, const std::string& TitleName,
                          const TDateTimeFormat& Format) const = 0;
};

} // namespace quorvin
