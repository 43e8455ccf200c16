// SPDX-License-Identifier: GPL-3.0-or-later
// Writes small sample logs of our own: a binary logger file and two CSV logs.
//   gen_logs [folder]      (default: the current folder)
// SITE1.LOG  4 sensors, 15-minute interval, 3 days from 2024-05-14
// site2.csv  layout 1 (date,time,sensor,value,units,status), 3 sensors, 2 days
// site3.csv  layout 2 (date,time,group,values...), one wind group, 1 day
#include <cstdio>
#include <filesystem>
#include <string>

#include "generators/LogGen.h"
#include "generators/ScratchFiles.h"

namespace {

using namespace quorvin::test;

// A triangle wave between Low and High over Period steps, in whole units.
long long Triangle(long long K, long long Period, long long Low, long long High) {
  const long long Phase = K % Period, Half = Period / 2;
  const long long Up = Phase <= Half ? Phase : Period - Phase;
  return Low + (High - Low) * Up / Half;
}

bool WriteReplacing(const std::filesystem::path& Path, const std::string& Bytes) {
  const std::filesystem::path Tmp = Path.string() + ".tmp";
  if (!WriteWhole(Tmp.string(), Bytes)) return false;
  std::error_code Ec;
  std::filesystem::rename(Tmp, Path, Ec);
  return !Ec;
}

std::string BinaryLog() {
  TGenLog L;
  L.Version = 3;
  L.UnitName = "SITE1";
  L.Year = 2024, L.Month = 5, L.Day = 14;
  L.LogHour = 0, L.LogMinute = 0, L.LogSecond = 0;
  L.IntervalHours = 0, L.IntervalMinutes = 15, L.IntervalSeconds = 0;
  L.NumDays = 3;
  L.Sensors = {
      {"TEMP", 0.1, -40.0, 1}, {"RH", 1.0, 0.0, 0}, {"WIND", 0.1, 0.0, 1}, {"BATT", 0.01, 0.0, 2}};
  const long long Records = 3 * 96;
  L.DayLength = 96 * 8;
  L.DataLength = static_cast<std::uint32_t>(Records * 8);
  L.TotalLength = 54 + 4 * 28 + L.DataLength;
  return LogFileBytes(L, Records, [](long long K, int I) -> std::uint16_t {
    if (I == 2 && K >= 100 && K < 104) return 0xFFFF; // the anemometer iced up for an hour
    switch (I) {
    case 0:
      return static_cast<std::uint16_t>(32767 + Triangle(K + 24, 96, 85, 243)); // 8.5 .. 24.3
    case 1:
      return static_cast<std::uint16_t>(32767 + Triangle(K + 72, 96, 38, 91)); // 38 .. 91 %
    case 2:
      return static_cast<std::uint16_t>(32767 + Triangle(K * 7, 53, 0, 124)); // 0 .. 12.4
    default:
      return static_cast<std::uint16_t>(32767 + 1280 - K / 8); // 12.80 falling
    }
  });
}

std::string Value(long long Tenths) {
  char B[32];
  std::snprintf(B, sizeof B, "%s%lld.%lld", Tenths < 0 ? "-" : "",
                (Tenths < 0 ? -Tenths : Tenths) / 10, (Tenths < 0 ? -Tenths : Tenths) % 10);
  return B;
}

std::string Layout1Csv() {
  std::string Out = "'Site 2 export\r\n;Date,Time,Sensor,Value,Units,Status\r\n";
  const long long T0 = GenPartsToSecs(2024, 7, 1);
  for (long long K = 0; K < 2 * 96; ++K) {
    const long long T = T0 + K * 900;
    const std::string Stamp = GenDate(T) + "," + GenTime(T) + ",";
    Out += Stamp + "AIRTEMP," + Value(Triangle(K + 24, 96, 152, 318)) + ",C," +
           (K == 50 ? "BAD" : "G") + "\r\n";
    Out += Stamp + "SOILTEMP," + Value(Triangle(K + 40, 96, 171, 224)) + ",C,G\r\n";
    Out += Stamp + "PRECIP," + Value(K % 37 == 3 ? 12 : 0) + ",mm,G\r\n";
  }
  return Out;
}

std::string Layout2Csv() {
  std::string Out = "'Site 3 wind: speed m/s, direction deg, gust m/s\r\n";
  const long long T0 = GenPartsToSecs(2024, 9, 30);
  for (long long K = 0; K < 144; ++K) {
    const long long T = T0 + K * 600;
    Out += GenDate(T) + "," + GenTime(T) + ",WIND," + Value(Triangle(K, 40, 8, 71)) + "," +
           std::to_string(Triangle(K * 3, 144, 90, 270)) + "," +
           Value(Triangle(K, 40, 8, 71) + 23) + "\r\n";
  }
  return Out;
}

} // namespace

int main(int argc, char** argv) {
  const std::filesystem::path Dir = argc > 1 ? argv[1] : ".";
  bool Ok = WriteReplacing(Dir / "SITE1.LOG", BinaryLog());
  Ok = WriteReplacing(Dir / "site2.csv", Layout1Csv()) && Ok;
  Ok = WriteReplacing(Dir / "site3.csv", Layout2Csv()) && Ok;
  if (!Ok) {
    std::fprintf(stderr, "gen_logs: cannot write the samples into %s\n", Dir.string().c_str());
    return 1;
  }
  return 0;
}
