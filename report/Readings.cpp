// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/Readings.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace quorvin {

TReadingWalk::TReadingWalk(ILogReader& Log, std::vector<int> SensorIndexes, LogTime From,
                           LogTime To)
    : FLog(Log), FSensors(std::move(SensorIndexes)), FTo(To),
      FRecords(Log.RecordsHoldEverySensor()) {
  if (From > To) return;
  if (FRecords) {
    FInterval = Log.Interval();
    int Sensor = 0;
    for (int Index : FSensors)
      if (Index >= 1 && Index <= Log.SensorCount()) Sensor = Index;
    if (Sensor == 0 || FInterval <= 0) return;
    LogTime First;
    if (!Log.NextRecordTime(Sensor, std::numeric_limits<LogTime>::min(), First)) return;
    FFirst = First;
    // The whole records, and a last one the file cuts short (which still
    // holds its first values).
    std::int64_t Count = Log.RecordCount(Sensor);
    LogTime Cut;
    const std::int64_t AfterWhole = FFirst + Count * FInterval;
    if (AfterWhole <= std::numeric_limits<LogTime>::max() &&
        Log.NextRecordTime(Sensor, static_cast<LogTime>(AfterWhole), Cut) && Cut == AfterWhole)
      ++Count;
    const std::int64_t Step = FInterval;
    FPosition = std::max<std::int64_t>(0, (std::int64_t(From) - FFirst + Step - 1) / Step);
    if (std::int64_t(From) < FFirst) FPosition = 0;
    FEnd = std::min<std::int64_t>(Count, (std::int64_t(To) - FFirst) / Step + 1);
    if (std::int64_t(To) < FFirst) FEnd = 0;
    return;
  }
  for (int Index : FSensors) {
    TCursor C;
    C.Index = Index;
    const std::int64_t Count = Log.RecordCount(Index);
    C.Position = FirstAtOrAfter(Index, Count, From);
    // Readings after To are never reached: the walk stops at the first.
    C.Count = Count;
    FCursors.push_back(C);
  }
}

std::int64_t TReadingWalk::FirstAtOrAfter(int Index, std::int64_t Count, LogTime Time) {
  std::int64_t Low = 0, High = Count;
  while (Low < High) {
    const std::int64_t Mid = Low + (High - Low) / 2;
    float Value;
    LogTime At;
    FLog.GetValueAt(static_cast<int>(Mid), Index, Value, At);
    if (At < Time)
      Low = Mid + 1;
    else
      High = Mid;
  }
  return Low;
}

LogTime TReadingWalk::TimeAt(const TCursor& C, float& Value) {
  LogTime Time;
  FLog.GetValueAt(static_cast<int>(C.Position), C.Index, Value, Time);
  return Time;
}

std::int64_t TReadingWalk::RowsLeft() const {
  if (FRecords) return std::max<std::int64_t>(0, FEnd - FPosition);
  std::int64_t Rows = 0;
  for (const TCursor& C : FCursors) Rows += C.Count - C.Position;
  return Rows;
}

bool TReadingWalk::NextOfRecords(LogTime& Time, float* Values) {
  if (FPosition >= FEnd) return false;
  Time = static_cast<LogTime>(FFirst + FPosition * FInterval);
  ++FPosition;
  FLog.GetValues(Time, FSensors.data(), FSensors.size(), Values);
  return true;
}

std::size_t TReadingWalk::NextRows(std::size_t MaxRows, LogTime* Times, float* Values) {
  if (!FRecords) {
    std::size_t Rows = 0;
    while (Rows < MaxRows && Next(Times[Rows], Values + Rows * FSensors.size())) ++Rows;
    return Rows;
  }
  LogTime First = 0;
  const std::size_t Rows = TakeRecordRows(MaxRows, Times, First);
  if (Rows) FLog.GetValueRows(First, Rows, FSensors.data(), FSensors.size(), Values);
  return Rows;
}

std::size_t TReadingWalk::NextColumns(std::size_t MaxRows, LogTime* Times,
                                      ILogReader::TValueMap Map, const int* Arguments,
                                      double* const* Columns) {
  const std::size_t N = FSensors.size();
  if (!FRecords) {
    std::vector<float> Values(N);
    std::size_t Rows = 0;
    for (; Rows < MaxRows && Next(Times[Rows], Values.data()); ++Rows)
      for (std::size_t I = 0; I < N; ++I) Columns[I][Rows] = Map(Values[I], Arguments[I]);
    return Rows;
  }
  LogTime First = 0;
  const std::size_t Rows = TakeRecordRows(MaxRows, Times, First);
  if (Rows) FLog.GetValueColumns(First, Rows, FSensors.data(), N, Map, Arguments, Columns);
  return Rows;
}

std::size_t TReadingWalk::TakeRecordRows(std::size_t MaxRows, LogTime* Times, LogTime& First) {
  const auto Rows = static_cast<std::size_t>(
      std::clamp<std::int64_t>(FEnd - FPosition, 0, std::int64_t(MaxRows)));
  const std::int64_t From = FFirst + FPosition * FInterval;
  for (std::size_t R = 0; R < Rows; ++R)
    Times[R] = static_cast<LogTime>(From + std::int64_t(R) * FInterval);
  First = static_cast<LogTime>(From);
  FPosition += std::int64_t(Rows);
  return Rows;
}

bool TReadingWalk::Next(LogTime& Time, float* Values) {
  if (FRecords) return NextOfRecords(Time, Values);
  // The earliest next reading of any sensor is the row's time.
  const std::size_t N = FCursors.size();
  std::int64_t Earliest = std::numeric_limits<std::int64_t>::max();
  for (std::size_t I = 0; I < N; ++I) {
    TCursor& C = FCursors[I];
    Values[I] = NonRecordedValue();
    if (C.Position >= C.Count) continue;
    float Value;
    const LogTime At = TimeAt(C, Value);
    if (At > FTo) {
      C.Position = C.Count;
      continue;
    }
    if (At < Earliest) {
      // Sensors before this one had later readings: not in this row.
      for (std::size_t J = 0; J < I; ++J) Values[J] = NonRecordedValue();
      Earliest = At;
    }
    if (At == Earliest) Values[I] = Value;
  }
  if (Earliest == std::numeric_limits<std::int64_t>::max()) return false;
  Time = static_cast<LogTime>(Earliest);
  for (std::size_t I = 0; I < N; ++I) {
    TCursor& C = FCursors[I];
    if (C.Position >= C.Count) continue;
    float Value;
    if (TimeAt(C, Value) == Time) ++C.Position;
  }
  return true;
}

} // namespace quorvin
