// SPDX-License-Identifier: GPL-3.0-or-later
// Generators of our own binary logger files (.LOG) and CSV logs, for tests,
// benchmarks and samples. Plain C++: no project code needed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "generators/PutBytes.h"
#include "generators/ScratchFiles.h"

namespace quorvin::test {

struct TGenSensor {
  std::string Name; // at most 10 characters are stored
  double Slope = 1.0;
  double Offset = 0.0;
  std::uint16_t RightDigits = 2;
};

// The header fields of a generated binary log. RecordSize and NumSensors of
// -1 mean "as the sensors say" (2 bytes per sensor, the number of sensors).
struct TGenLog {
  std::uint16_t Version = 3;
  std::string UnitName = "SITE1"; // at most 8 characters are stored
  std::uint16_t Year = 1999, Month = 3, Day = 7;
  std::uint16_t LogHour = 0, LogMinute = 0, LogSecond = 0;
  std::uint16_t IntervalHours = 0, IntervalMinutes = 15, IntervalSeconds = 0;
  int RecordSize = -1;
  std::uint16_t NumDays = 1;
  std::uint32_t TotalLength = 0, DayLength = 0, DataLength = 0;
  int NumSensors = -1;
  std::vector<TGenSensor> Sensors;
};

inline int GenRecordSize(const TGenLog& L) {
  return L.RecordSize >= 0 ? L.RecordSize : 2 * static_cast<int>(L.Sensors.size());
}

// The 54-byte header block and the 28-byte descriptors.
std::string LogHeaderBytes(const TGenLog& L);

// Raw value of sensor Index (0-based) in record K.
using TRawFn = std::function<std::uint16_t(long long K, int Index)>;

// A deterministic pattern with a gap now and then: raw 32767 + a few hundred,
// FFFF (not recorded) for every 97th record of sensor 1.
inline std::uint16_t PatternRaw(long long K, int Index) {
  if (Index == 1 && K % 97 == 5) return 0xFFFF;
  return static_cast<std::uint16_t>(32767 + ((K * 7 + Index * 131) % 1000) - 300);
}

// One record's bytes: RecordSize bytes, the raw values first, zero padding.
void AppendRecord(std::string& Out, const TGenLog& L, long long K, const TRawFn& Raw);

inline std::string LogFileBytes(const TGenLog& L, long long Records,
                                const TRawFn& Raw = PatternRaw) {
  std::string Out = LogHeaderBytes(L);
  for (long long K = 0; K < Records; ++K) AppendRecord(Out, L, K, Raw);
  return Out;
}

// A version 1 log from midnight of Year-Month-Day, IntervalSecs apart;
// Records[k][i] is the raw value of sensor i in record k (FFFF: not
// recorded, a value not given: 0).
bool WriteBinaryLog(const std::string& Path, const std::string& UnitName, int Year, int Month,
                    int Day, int IntervalSecs, const std::vector<TGenSensor>& Sensors,
                    const std::vector<std::vector<std::uint16_t>>& Records);

// The raw value of Value with RightDigits decimals (halves away from zero).
inline std::uint16_t Raw(double Value, int RightDigits) {
  for (int I = 0; I < RightDigits; ++I) Value *= 10;
  return static_cast<std::uint16_t>(32767 +
                                    static_cast<long>(Value >= 0 ? Value + 0.5 : Value - 0.5));
}

// Streams a large log to disk without holding it in memory.
bool WriteLogFile(const std::string& Path, const TGenLog& L, long long Records,
                  const TRawFn& Raw = PatternRaw);

// Calendar date and time of a log time (seconds since 1984-12-31 00:00:00).
struct TGenParts {
  int Year, Month, Day, Hour, Minute, Second;
};
TGenParts GenSecsToParts(long long Secs);
// Log time of a calendar date and time (1985 and later).
long long GenPartsToSecs(int Year, int Month, int Day, int Hour = 0, int Minute = 0,
                         int Second = 0);

// "MM/DD/YYYY" and "HH:MM:SS" of a log time.
std::string GenDate(long long Secs);
std::string GenTime(long long Secs);

// A value with two decimals for row K of sensor Index.
std::string GenValue(long long K, int Index);

// A layout 1 CSV text: for each of Rows times from First in steps of Interval,
// one row per sensor: date,time,name,value,units,G with CR LF line ends.
std::string CSVLayout1Text(const std::vector<std::string>& Names,
                           const std::vector<std::string>& Units, long long First,
                           long long Interval, long long Rows);

// A layout 2 CSV text: one row per time, date,time,Base,V1,...,VCount.
std::string CSVLayout2Text(const std::string& Base, int Count, long long First, long long Interval,
                           long long Rows);

} // namespace quorvin::test
