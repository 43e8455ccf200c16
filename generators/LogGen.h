// SPDX-License-Identifier: GPL-3.0-or-later
// Generators of our own binary logger files (.LOG) and CSV logs, for tests,
// benchmarks and samples. Header-only, plain C++: no project code needed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "Scratch.h"

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

inline void PutU16(std::string& Out, std::uint16_t V) {
  Out.push_back(static_cast<char>(V & 0xFF));
  Out.push_back(static_cast<char>(V >> 8));
}
inline void PutU32(std::string& Out, std::uint32_t V) {
  for (int I = 0; I < 4; ++I) Out.push_back(static_cast<char>((V >> (8 * I)) & 0xFF));
}
inline void PutF64(std::string& Out, double D) {
  std::uint64_t B;
  std::memcpy(&B, &D, 8);
  for (int I = 0; I < 8; ++I) Out.push_back(static_cast<char>((B >> (8 * I)) & 0xFF));
}
inline void PutChars(std::string& Out, const std::string& Text, std::size_t Width) {
  for (std::size_t I = 0; I < Width; ++I) Out.push_back(I < Text.size() ? Text[I] : '\0');
}

inline int GenRecordSize(const TGenLog& L) {
  return L.RecordSize >= 0 ? L.RecordSize : 2 * static_cast<int>(L.Sensors.size());
}

// The 54-byte header block and the 28-byte descriptors.
inline std::string LogHeaderBytes(const TGenLog& L) {
  std::string Out;
  PutU16(Out, L.Version);
  PutChars(Out, L.UnitName, 8);
  PutU16(Out, L.Year);
  PutU16(Out, L.Month);
  PutU16(Out, L.Day);
  PutU16(Out, L.LogHour);
  PutU16(Out, L.LogMinute);
  PutU16(Out, L.LogSecond);
  PutU16(Out, L.IntervalHours);
  PutU16(Out, L.IntervalMinutes);
  PutU16(Out, L.IntervalSeconds);
  PutU16(Out, static_cast<std::uint16_t>(GenRecordSize(L)));
  PutU16(Out, L.NumDays);
  PutU32(Out, L.TotalLength);
  PutU32(Out, L.DayLength);
  PutU32(Out, L.DataLength);
  PutChars(Out, "", 8);
  PutU16(Out, static_cast<std::uint16_t>(L.NumSensors >= 0 ? L.NumSensors
                                                           : static_cast<int>(L.Sensors.size())));
  for (const auto& S : L.Sensors) {
    PutChars(Out, S.Name, 10);
    PutF64(Out, S.Slope);
    PutF64(Out, S.Offset);
    PutU16(Out, S.RightDigits);
  }
  return Out;
}

// Raw value of sensor Index (0-based) in record K.
using TRawFn = std::function<std::uint16_t(long long K, int Index)>;

// A deterministic pattern with a gap now and then: raw 32767 + a few hundred,
// FFFF (not recorded) for every 97th record of sensor 1.
inline std::uint16_t PatternRaw(long long K, int Index) {
  if (Index == 1 && K % 97 == 5) return 0xFFFF;
  return static_cast<std::uint16_t>(32767 + ((K * 7 + Index * 131) % 1000) - 300);
}

// One record's bytes: RecordSize bytes, the raw values first, zero padding.
inline void AppendRecord(std::string& Out, const TGenLog& L, long long K, const TRawFn& Raw) {
  const int Size = GenRecordSize(L);
  const int N = static_cast<int>(L.Sensors.size());
  for (int B = 0; B < Size; B += 2) {
    const int I = B / 2;
    const std::uint16_t V = I < N ? Raw(K, I) : 0;
    Out.push_back(static_cast<char>(V & 0xFF));
    if (B + 1 < Size) Out.push_back(static_cast<char>(V >> 8));
  }
}

inline std::string LogFileBytes(const TGenLog& L, long long Records,
                                const TRawFn& Raw = PatternRaw) {
  std::string Out = LogHeaderBytes(L);
  for (long long K = 0; K < Records; ++K) AppendRecord(Out, L, K, Raw);
  return Out;
}

// A version 1 log from midnight of Year-Month-Day, IntervalSecs apart;
// Records[k][i] is the raw value of sensor i in record k (FFFF: not
// recorded, a value not given: 0).
inline bool WriteBinaryLog(const std::string& Path, const std::string& UnitName, int Year,
                           int Month, int Day, int IntervalSecs,
                           const std::vector<TGenSensor>& Sensors,
                           const std::vector<std::vector<std::uint16_t>>& Records) {
  TGenLog L;
  L.Version = 1;
  L.UnitName = UnitName;
  L.Year = static_cast<std::uint16_t>(Year);
  L.Month = static_cast<std::uint16_t>(Month);
  L.Day = static_cast<std::uint16_t>(Day);
  L.IntervalHours = static_cast<std::uint16_t>(IntervalSecs / 3600);
  L.IntervalMinutes = static_cast<std::uint16_t>(IntervalSecs % 3600 / 60);
  L.IntervalSeconds = static_cast<std::uint16_t>(IntervalSecs % 60);
  L.NumDays = 0;
  L.Sensors = Sensors;
  const auto Value = [&Records](long long K, int I) -> std::uint16_t {
    const auto& R = Records[static_cast<std::size_t>(K)];
    return static_cast<std::size_t>(I) < R.size() ? R[static_cast<std::size_t>(I)] : 0;
  };
  return WriteWhole(Path, LogFileBytes(L, static_cast<long long>(Records.size()), Value));
}

// The raw value of Value with RightDigits decimals (halves away from zero).
inline std::uint16_t Raw(double Value, int RightDigits) {
  for (int I = 0; I < RightDigits; ++I) Value *= 10;
  return static_cast<std::uint16_t>(32767 +
                                    static_cast<long>(Value >= 0 ? Value + 0.5 : Value - 0.5));
}

// Streams a large log to disk without holding it in memory.
inline bool WriteLogFile(const std::string& Path, const TGenLog& L, long long Records,
                         const TRawFn& Raw = PatternRaw) {
  std::ofstream F(Path, std::ios::binary | std::ios::trunc);
  std::string Chunk = LogHeaderBytes(L);
  for (long long K = 0; K < Records; ++K) {
    AppendRecord(Chunk, L, K, Raw);
    if (Chunk.size() >= (1u << 20)) {
      F.write(Chunk.data(), static_cast<std::streamsize>(Chunk.size()));
      Chunk.clear();
    }
  }
  F.write(Chunk.data(), static_cast<std::streamsize>(Chunk.size()));
  return static_cast<bool>(F);
}

// Calendar date and time of a log time (seconds since 1984-12-31 00:00:00).
struct TGenParts {
  int Year, Month, Day, Hour, Minute, Second;
};
inline TGenParts GenSecsToParts(long long Secs) {
  long long Days = Secs / 86400, Rem = Secs % 86400;
  // Days since 1970-01-01 of the log day, then the civil date of it.
  long long Z = Days + 5478 + 719468; // 1984-12-31 is day 5478 after 1970-01-01
  long long Era = (Z >= 0 ? Z : Z - 146096) / 146097;
  long long Doe = Z - Era * 146097;
  long long Yoe = (Doe - Doe / 1460 + Doe / 36524 - Doe / 146096) / 365;
  long long Y = Yoe + Era * 400;
  long long Doy = Doe - (365 * Yoe + Yoe / 4 - Yoe / 100);
  long long Mp = (5 * Doy + 2) / 153;
  long long D = Doy - (153 * Mp + 2) / 5 + 1;
  long long M = Mp < 10 ? Mp + 3 : Mp - 9;
  if (M <= 2) ++Y;
  return {static_cast<int>(Y),
          static_cast<int>(M),
          static_cast<int>(D),
          static_cast<int>(Rem / 3600),
          static_cast<int>(Rem % 3600 / 60),
          static_cast<int>(Rem % 60)};
}
// Log time of a calendar date and time (1985 and later).
inline long long GenPartsToSecs(int Year, int Month, int Day, int Hour = 0, int Minute = 0,
                                int Second = 0) {
  long long Y = Month <= 2 ? Year - 1 : Year;
  long long Era = (Y >= 0 ? Y : Y - 399) / 400;
  long long Yoe = Y - Era * 400;
  long long Doy = (153 * (Month > 2 ? Month - 3 : Month + 9) + 2) / 5 + Day - 1;
  long long Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
  long long Days1970 = Era * 146097 + Doe - 719468;
  return (Days1970 - 5478) * 86400 + Hour * 3600 + Minute * 60 + Second;
}

// "MM/DD/YYYY" and "HH:MM:SS" of a log time.
inline std::string GenDate(long long Secs) {
  TGenParts P = GenSecsToParts(Secs);
  char B[32];
  std::snprintf(B, sizeof B, "%02d/%02d/%04d", P.Month, P.Day, P.Year);
  return B;
}
inline std::string GenTime(long long Secs) {
  TGenParts P = GenSecsToParts(Secs);
  char B[32];
  std::snprintf(B, sizeof B, "%02d:%02d:%02d", P.Hour, P.Minute, P.Second);
  return B;
}

// A value with two decimals for row K of sensor Index.
inline std::string GenValue(long long K, int Index) {
  long long Hundredths = (K * 37 + Index * 1013) % 5000 - 1000;
  char B[32];
  std::snprintf(B, sizeof B, "%s%lld.%02lld", Hundredths < 0 ? "-" : "",
                (Hundredths < 0 ? -Hundredths : Hundredths) / 100,
                (Hundredths < 0 ? -Hundredths : Hundredths) % 100);
  return B;
}

// A layout 1 CSV text: for each of Rows times from First in steps of Interval,
// one row per sensor: date,time,name,value,units,G with CR LF line ends.
inline std::string CSVLayout1Text(const std::vector<std::string>& Names,
                                  const std::vector<std::string>& Units, long long First,
                                  long long Interval, long long Rows) {
  std::string Out = "'Generated log\r\n";
  for (long long K = 0; K < Rows; ++K) {
    const long long T = First + K * Interval;
    const std::string Stamp = GenDate(T) + "," + GenTime(T) + ",";
    for (std::size_t I = 0; I < Names.size(); ++I) {
      Out += Stamp;
      Out += Names[I];
      Out += ',';
      Out += GenValue(K, static_cast<int>(I));
      Out += ',';
      Out += I < Units.size() ? Units[I] : std::string();
      Out += ",G\r\n";
    }
  }
  return Out;
}

// A layout 2 CSV text: one row per time, date,time,Base,V1,...,VCount.
inline std::string CSVLayout2Text(const std::string& Base, int Count, long long First,
                                  long long Interval, long long Rows) {
  std::string Out = ";Generated group log\r\n";
  for (long long K = 0; K < Rows; ++K) {
    const long long T = First + K * Interval;
    Out += GenDate(T) + "," + GenTime(T) + "," + Base;
    for (int I = 0; I < Count; ++I) Out += "," + GenValue(K, I);
    Out += "\r\n";
  }
  return Out;
}

} // namespace quorvin::test
