// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmarks' binary log: 16 sensors every minute from 1990, one
// million records (about 32 MB), with right digits 0 to 3.
#pragma once

#include <string>

#include "generators/LogGen.h"

namespace quorvin::bench {

constexpr int SensorCount = 16;
constexpr long long RecordCount = 1000000;

inline test::TGenLog BenchLog() {
  test::TGenLog L;
  L.UnitName = "BENCH";
  L.Year = 1990;
  L.IntervalMinutes = 1;
  for (int I = 0; I < SensorCount; ++I) {
    std::string Name = "S";
    Name += std::to_string(I + 1);
    L.Sensors.push_back({Name, 1.0, 0.0, static_cast<std::uint16_t>(I % 4)});
  }
  return L;
}

} // namespace quorvin::bench
