// SPDX-License-Identifier: GPL-3.0-or-later
#include "generators/LogGen.h"

namespace quorvin::test {

std::string LogHeaderBytes(const TGenLog& L) {
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

void AppendRecord(std::string& Out, const TGenLog& L, long long K, const TRawFn& Raw) {
  const int Size = GenRecordSize(L);
  const int N = static_cast<int>(L.Sensors.size());
  for (int B = 0; B < Size; B += 2) {
    const int I = B / 2;
    const std::uint16_t V = I < N ? Raw(K, I) : 0;
    Out.push_back(static_cast<char>(V & 0xFF));
    if (B + 1 < Size) Out.push_back(static_cast<char>(V >> 8));
  }
}

bool WriteBinaryLog(const std::string& Path, const std::string& UnitName, int Year, int Month,
                    int Day, int IntervalSecs, const std::vector<TGenSensor>& Sensors,
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

bool WriteLogFile(const std::string& Path, const TGenLog& L, long long Records, const TRawFn& Raw) {
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

TGenParts GenSecsToParts(long long Secs) {
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

long long GenPartsToSecs(int Year, int Month, int Day, int Hour, int Minute, int Second) {
  long long Y = Month <= 2 ? Year - 1 : Year;
  long long Era = (Y >= 0 ? Y : Y - 399) / 400;
  long long Yoe = Y - Era * 400;
  long long Doy = (153 * (Month > 2 ? Month - 3 : Month + 9) + 2) / 5 + Day - 1;
  long long Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
  long long Days1970 = Era * 146097 + Doe - 719468;
  return (Days1970 - 5478) * 86400 + Hour * 3600 + Minute * 60 + Second;
}

std::string GenDate(long long Secs) {
  TGenParts P = GenSecsToParts(Secs);
  char B[32];
  std::snprintf(B, sizeof B, "%02d/%02d/%04d", P.Month, P.Day, P.Year);
  return B;
}

std::string GenTime(long long Secs) {
  TGenParts P = GenSecsToParts(Secs);
  char B[32];
  std::snprintf(B, sizeof B, "%02d:%02d:%02d", P.Hour, P.Minute, P.Second);
  return B;
}

std::string GenValue(long long K, int Index) {
  long long Hundredths = (K * 37 + Index * 1013) % 5000 - 1000;
  char B[32];
  std::snprintf(B, sizeof B, "%s%lld.%02lld", Hundredths < 0 ? "-" : "",
                (Hundredths < 0 ? -Hundredths : Hundredths) / 100,
                (Hundredths < 0 ? -Hundredths : Hundredths) % 100);
  return B;
}

std::string CSVLayout1Text(const std::vector<std::string>& Names,
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

std::string CSVLayout2Text(const std::string& Base, int Count, long long First, long long Interval,
                           long long Rows) {
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
