// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV log reader (.CSV, .TXT): reads the whole file on Open into one
// time-sorted record list per sensor and works out the logging intervals.
//
// Rows come in three layouts, recognised line by line:
//   1: date,time,name,value,units,status      (date and time may share a field)
//   2: date,time,basename,V1,V2,...            (sensors basename:1, basename:2, ...)
//   3: name,date,time,value,status             (date and time may share a field)
// Lines starting with an apostrophe, colon or semicolon, and blank lines, are skipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "core/Collect.h"
#include "core/MiscUtil.h"
#include "logdata/LogReader.h"
#include "logdata/LogRecTypes.h"

namespace quorvin {

class TCSVLogFile;
class TCSVSensor;

// The value a bad or unconvertible reading carries (never answered as a value).
constexpr float CSVBadValue = 65535.0f;

// One reading of one sensor.
class TCSVRecord : public TObject {
public:
  TCSVRecord(LogTime ATime, TCSVSensor* ASensor) : Time(ATime), Sensor(ASensor) {}
  LogTime Time;
  float Value = CSVBadValue;
  bool Missing = true;
  TCSVSensor* Sensor;
};

// A sensor's records: sorted by time ascending, no duplicates, owned.
class TCSVRecordList : public TSortedCollection {
public:
  TCSVRecordList() : TSortedCollection(50, 50) {}
  ~TCSVRecordList() override { FreeAllItems(); }

  int Compare(TKey Key1, TKey Key2) override { return Key1 > Key2 ? 1 : (Key1 < Key2 ? -1 : 0); }
  TKey KeyOf(TObject* Item) override { return static_cast<TCSVRecord*>(Item)->Time; }
  TCSVRecord* At(int Index) { return static_cast<TCSVRecord*>(ItemAt(Index)); }
  void FreeItem(TObject* Item) override {
    if (!FKeepItems) delete Item;
  }
  // Brings records appended out of time order into order; of several records
  // with one time the one appended last stays (it holds the latest reading).
  void SortByTime();

private:
  bool FKeepItems = false;
};

class TCSVSensor {
public:
  explicit TCSVSensor(TCSVLogFile* Owner = nullptr) : LogFile(Owner) {}

  std::string Name;
  std::uint16_t RightDigits = 2; // the largest seen in the sensor's rows, at most MaxRightDigits
  // The largest count of digits after the point written in the sensor's
  // rows; above MaxRightDigits the file is corrupt (a value of "1." and
  // thousands of zeros).
  std::uint16_t StoredRightDigits = 2;
  LogTime FirstTime = 0;   // earliest row time (at most the parse time)
  LogTime LastTime = 0;    // latest row time
  std::string Status;      // status text of the first row
  std::string Units;       // units text of the first row (layout 1 only)
  std::uint16_t Count = 0; // rows read (16 bits, wraps)
  TCSVRecordList Records;
  TCSVLogFile* LogFile = nullptr;
  LogTime PrevTime = 0;          // time of the previous row
  std::int32_t Interval = 0;     // smallest positive step between consecutive rows
  bool VariableInterval = false; // a step differed from Interval

  int RecordCount() const { return Records.Count(); }
};

class TCSVLogFile final : public ILogReader {
public:
  // Stores both names; does not touch the file.
  TCSVLogFile(std::string FileName, std::string DisplayName);
  ~TCSVLogFile() override;
  TCSVLogFile(const TCSVLogFile&) = delete;
  TCSVLogFile& operator=(const TCSVLogFile&) = delete;

  // Clears, then reads and parses the whole file. True when at least one
  // sensor was found and the file's interval and first time are usable.
  bool Open() override;
  void Close();
  // Closes, frees every sensor with its records, resets MixedIntervals.
  void Clear();

  using ILogReader::GetValue;
  // Value of the named sensor (any case) at exactly Time; NonRecordedValue()
  // for an unknown name, a time without a reading, or a bad reading.
  void GetValue(LogTime Time, std::string_view SensorName, float& Value);
  float GetValue(LogTime Time, std::string_view SensorName) {
    float V;
    GetValue(Time, SensorName, V);
    return V;
  }
  // The sensor's record at 0-based Position (time order). Unknown name: only
  // Value is set (NonRecordedValue()). Position must lie in 0..RecordCount-1.
  void GetValueAt(int Position, std::string_view SensorName, float& Value, LogTime& Time);

  // Entry i holds the sensor's Name with the sensor, in order of first appearance.
  const TSensorList<TCSVSensor>& Sensors() const { return FSensors; }
  LogTime FirstTime() const override { return FFirstTime; }
  LogTime LastTime() const override { return FLastTime; }
  std::int32_t Interval() const override { return FInterval; }
  bool MixedIntervals() const override { return FMixedIntervals; }
  // Layout (1, 2, 3) of the last line examined; 0 before any.
  int RowLayout() const { return FRowLayout; }
  const std::string& FileName() const override { return FFileName; }
  const std::string& DisplayName() const override { return FDisplayName; }
  bool IsOpen() const { return FIsOpen; }

  // --- the log as every output sees it ---------------------------------------
  // The file name, folder included.
  std::string TitleName() const override { return FFileName; }
  std::string_view DataTitle() const override { return "CSV LOG DATA FROM: "; }
  int SensorCount() const override { return FSensors.Count(); }
  TLogSensor Sensor(int SensorIndex) const override;
  bool HasScaling() const override { return false; }
  // Only rows of layout 1 name units.
  bool HasUnits() const override { return FRowLayout == 1; }
  bool RecordsHoldEverySensor() const override { return false; }
  void GetValue(LogTime Time, int SensorIndex, float& Value) override;
  void GetValues(LogTime Time, const int* SensorIndexes, std::size_t Count, float* Values) override;
  int RecordCount(int SensorIndex) const override;
  void GetValueAt(int Position, int SensorIndex, float& Value, LogTime& Time) override;
  bool NextRecordTime(int SensorIndex, LogTime From, LogTime& Time) override;
  bool ShowHeader(ITextPane& Pane, const std::string& TitleName,
                  const TDateTimeFormat& Format) const override;

private:
  struct TParseState;
  bool Parse(TParseState& State);
  void ParseLine(std::string_view Line, TParseState& State);
  void AddReading(std::string_view Name, LogTime Time, float Value, std::uint16_t RightDigits,
                  std::string_view Units, std::string_view Status, TParseState& State);
  void SortOutOfOrderSensors(TParseState& State);
  void IntervalsOfNewestFirstSensors(TParseState& State);
  TCSVSensor* Find(std::string_view Name);
  static void ValueAt(TCSVSensor* S, LogTime Time, float& Value);
  static void RecordAt(TCSVSensor* S, int Position, float& Value, LogTime& Time);

  std::string FFileName;
  std::string FDisplayName;
  bool FIsOpen = false;
  TSensorList<TCSVSensor> FSensors;
  // Upper-case name -> index into FSensors, so a file with many sensors
  // does not cost a scan of the list per reading.
  std::unordered_map<std::string, int> FIndex;
  LogTime FFirstTime = 0;
  LogTime FLastTime = 0;
  std::int32_t FInterval = 0;
  bool FMixedIntervals = false;
  int FRowLayout = 0;
};

} // namespace quorvin
