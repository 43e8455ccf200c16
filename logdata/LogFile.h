// SPDX-License-Identifier: GPL-3.0-or-later
// The binary logger file reader: opens a .LOG file, decodes its header and
// sensor descriptors, and answers the value of sensor i at log time t from a
// cache of whole records (one file read serves every sensor of a time).
// Every record holds every sensor, so each sensor's grid is the log's.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/MiscUtil.h"
#include "logdata/LogReader.h"
#include "logdata/LogRecTypes.h"

namespace quorvin {

// Bytes of records a forward walk keeps cached: records behind the walk are
// released, so an export's memory does not grow with its range.
constexpr std::size_t RecordCacheBytes = 1 << 20;

class TLogFile final : public ILogReader {
public:
  // Stores both names; does not touch the file. DisplayName is the file name
  // without folder and extension, upper case (used in status messages).
  TLogFile(std::string FileName, std::string DisplayName);
  ~TLogFile() override;
  TLogFile(const TLogFile&) = delete;
  TLogFile& operator=(const TLogFile&) = delete;

  // Opens the file; the first successful open also reads the header and the
  // sensor descriptors. True when the reader is open and has a header.
  bool Open() override;
  // Closes the file; header, sensors and cached records stay.
  void Close();
  // Closes the file and frees header, sensors and the record cache.
  void Clear();

  // Engineering value of sensor SensorIndex (1-based, 1..NumSensors) at Time;
  // NonRecordedValue() when nothing was recorded there, the time lies outside
  // the data, or the index is out of range.
  void GetValue(LogTime Time, int SensorIndex, float& Value) override;
  float GetValue(LogTime Time, int SensorIndex) {
    float V;
    GetValue(Time, SensorIndex, V);
    return V;
  }
  // GetValue for several sensors of one time step at once: Values[i] for
  // SensorIndexes[i].
  void GetValues(LogTime Time, const int* SensorIndexes, std::size_t Count, float* Values) override;
  void GetValueRows(LogTime Time, std::size_t Rows, const int* SensorIndexes, std::size_t Count,
                    float* Values) override;
  void GetValueColumns(LogTime Time, std::size_t Rows, const int* SensorIndexes, std::size_t Count,
                       TValueMap Map, const int* Arguments, double* const* Columns) override;

  const std::string& FileName() const override { return FFileName; }
  const std::string& DisplayName() const override { return FDisplayName; }
  // None until a header was read.
  const THeader* Header() const { return FHeader.get(); }
  // Entry i (0-based) holds sensor Id i + 1 under its Name.
  const TSensorList<TSensor>& Sensors() const { return FSensors; }
  LogTime FirstTime() const override { return FFirstTime; }
  // The slot just after the last whole record.
  LogTime LastTime() const override { return FLastTime; }
  // The slot just after the last record that holds any bytes: LastTime, or
  // one interval later when the file ends inside a record (the values it
  // holds whole are read).
  std::int64_t DataEndTime() const;
  // Logging interval in seconds (the header's), 0 without a header.
  std::int32_t Interval() const override { return FHeader ? FHeader->Interval : 0; }
  int DescriptionLength() const { return FDescriptionLength; }
  int SensorInfoLength() const { return FSensorInfoLength; }
  bool IsOpen() const { return FFile != nullptr; }
  int LastIOResult() const { return FLastIOResult; }
  std::int64_t FileSize() const { return FFileSize; }
  // The record cache (none before the header is read).
  const TRecordList* Records() const { return FRecords.get(); }
  // Records the cache holds at most while a walk moves forward.
  int RecordCacheLimit() const { return FRecordCacheLimit; }

  // --- the log as every output sees it ---------------------------------------
  // The header's unit name (empty without a header).
  std::string TitleName() const override;
  std::string_view DataTitle() const override { return "R630/R600 DATA FROM: "; }
  int SensorCount() const override { return FSensors.Count(); }
  // Named "UNIT.NAME", its column by the part after the first full stop.
  TLogSensor Sensor(int SensorIndex) const override;
  bool HasScaling() const override { return true; }
  bool HasUnits() const override { return false; }
  bool MixedIntervals() const override { return false; }
  bool RecordsHoldEverySensor() const override { return true; }
  // Whole records, the same for every sensor; record Position is at
  // FirstTime + Position x Interval.
  int RecordCount(int SensorIndex) const override;
  void GetValueAt(int Position, int SensorIndex, float& Value, LogTime& Time) override;
  // From, or the first record's time when From lies before it.
  bool NextRecordTime(int SensorIndex, LogTime From, LogTime& Time) override;
  bool ShowHeader(ITextPane& Pane, const std::string& TitleName,
                  const TDateTimeFormat& Format) const override;

private:
  bool ReadHeader();
  void InitDataRange();
  void ReadRecord(TRecord& Rec);
  void MarkRecordEmpty(TRecord& Rec);
  bool ReadBytes(std::uint8_t* Dest, std::size_t Count, std::size_t& Got);
  void CloseFile();
  void ReleaseRecordsBehind();
  // The record of Time, from the cache or read into it.
  const TRecord* RecordAt(LogTime Time);

  std::string FFileName;
  std::string FDisplayName;
  std::FILE* FFile = nullptr;
  // The stream's buffer: larger than the C library's block, for fewer reads
  // on a walk through the records. It outlives the stream.
  std::unique_ptr<char[]> FReadBuffer;
  int FLastIOResult = 0;
  std::unique_ptr<THeader> FHeader;
  TSensorList<TSensor> FSensors;
  std::unique_ptr<TRecordList> FRecords;
  TRecord* FCurrentRecord = nullptr;
  int FRecordCacheLimit = 0;
  std::int64_t FFileSize = 0;
  LogTime FFirstTime = 0;
  LogTime FLastTime = 0;
  std::int64_t FNextReadPos = -1;
  std::int64_t FLastLocatedTime = 0;
  std::int64_t FLastLocatedPos = 0;
  int FDescriptionLength = 0;
  int FSensorInfoLength = 0;
  std::vector<std::uint8_t> FScratch; // one record as read from the file
  // RawToValue of every raw reading, per right digits: the bulk reads look
  // a value up instead of dividing it down.
  const std::vector<float>& RawValues(int RightDigits);
  std::vector<std::pair<int, std::vector<float>>> FRawValues;
  std::vector<std::uint8_t> FBulk; // records read at once
};

} // namespace quorvin
