// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the sample V900 recorder file SAMPLE.DDR: a Master, Sensor and Base
// block, a day of quarter-hour scans of four sensors in three Data blocks
// (one marked Bad Data), notes and events, and the end block.
// Usage: gen_ddr [FOLDER] (default: examples).
#include <cmath>
#include <cstdio>
#include <string>

#include "core/MiscUtil.h"
#include "generators/DDRGen.h"
#include "generators/ScratchFiles.h"

using namespace quorvin::ddrgen;
using quorvin::SecsPerDay;
using quorvin::test::WriteWhole;

int main(int argc, char** argv) {
  const std::string Folder = argc > 1 ? argv[1] : "examples";

  TGenSensor Stage{"Stage", "ft"};
  Stage.DataType = 2;
  Stage.RightDigits = 2;
  TGenSensor Temp{"WaterTemp", "degC"};
  Temp.DataType = 6;
  Temp.RightDigits = 1;
  TGenSensor Batt{"Battery", "V"};
  Batt.DataType = 0;
  Batt.RightDigits = 1;
  Batt.Flags = 1; // every value marked "?"
  TGenSensor Flow{"Discharge", "cfs"};
  Flow.DataType = 7;
  Flow.RightDigits = 3;
  const std::vector<TGenSensor> Sensors = {Stage, Temp, Batt, Flow};

  const std::int32_t Day = DDRTime(2024, 6, 1);
  const std::uint16_t Interval = 900;
  TBytes F;
  Append(F, MasterBlock(Day, Day, "V900 2.10", "creek-01"));
  Append(F, EventBlock(6, Day, Day));
  Append(F, SensorBlock(Day, Day, Interval, Sensors));
  // Stage is stored relative to 5.00 ft; the battery around 12.0 V.
  Append(F, BaseBlock(Day, Day, {BaseWord(500), 0xFFFFFFFFu, BaseWord(120), 0xFFFFFFFFu}));

  for (int Part = 0; Part < 3; ++Part) {
    const std::int32_t Start = Day + Part * 8 * 3600;
    TBytes Scans;
    for (int K = 0; K < 32; ++K) {
      const double Hours = (Part * 32 + K) * 0.25;
      const double StageHundredths = std::round(37 * std::sin(Hours / 24 * 6.283185));
      const double TempC = 14.0 + 3.5 * std::sin((Hours - 9) / 24 * 6.283185);
      const double BattTenths = (K % 16 == 5) ? Missing() : -(Part + K / 16);
      const double Cfs = 120.25 + 12.5 * std::sin(Hours / 24 * 6.283185);
      PutScan(Scans, Sensors, {StageHundredths, TempC, BattTenths, Cfs});
    }
    Append(F, DataBlock(Start, Start + 31 * Interval, Scans, Part == 1 ? 5 : 4));
    if (Part == 0)
      Append(F, NoteBlock(Start + 4 * 3600, Start + 4 * 3600, "Site visit: gauge cleaned"));
  }
  Append(F, EventBlock(11, Day + SecsPerDay - 60, Day + SecsPerDay - 60));
  Append(F, EventBlock(22, Day + SecsPerDay, Day + SecsPerDay));

  const std::string Path = Folder + "/SAMPLE.DDR";
  if (!WriteWhole(Path, F)) {
    std::fprintf(stderr, "cannot write %s\n", Path.c_str());
    return 1;
  }
  std::printf("%s: %zu bytes\n", Path.c_str(), F.size());
  return 0;
}
