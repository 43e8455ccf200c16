// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV log reader: open, information report, every record of every
// sensor, and the grid the export steps over (cut short where a stray row
// would make it span decades).
#include <algorithm>
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "core/DateTimeFormat.h"
#include "logdata/CSVFile.h"
#include "logdata/HeaderReport.h"

using namespace quorvin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Path = fuzz::WriteInput("F.csv", Data, Size);
  fuzz::TNullUi Ui;
  TCSVLogFile Log(Path, "F");
  if (!Log.Open()) return 0;
  TDateTimeFormat Format;
  SetDateTimeFormat(Format, "MM/DD/YYYY HH:MM:SS");
  ShowCSVLogInfo(Ui, Log, Path, Format);

  const auto& Sensors = Log.Sensors();
  const int Count = Sensors.Count();
  float V;
  LogTime T;
  // Names once per sensor; every record by position, as the export reads
  // them.
  for (int I = 0; I < Count; ++I) {
    const TCSVSensor* S = Sensors.Objects(I);
    if (S->RecordCount() > 0) Log.GetValueAt(S->RecordCount() - 1, S->Name, V, T);
    for (int K = 0; K < S->RecordCount(); ++K) Log.GetValueAt(K, I + 1, V, T);
  }
  Log.GetValueAt(0, "no such sensor", V, T);
  Log.GetValue(Log.FirstTime(), "no such sensor", V);

  // The grid the export steps over, every sensor at each time: at most about
  // 2,000 look-ups per input, however many sensors it names (more only walk
  // the same search again).
  std::vector<int> Indexes(static_cast<std::size_t>(Count));
  for (int I = 0; I < Count; ++I) Indexes[static_cast<std::size_t>(I)] = I + 1;
  std::vector<float> Values(Indexes.size());
  const std::int64_t Step = Log.Interval() > 0 ? Log.Interval() : 1;
  const std::int64_t MaxSteps = 2000 / std::max(1, Count);
  std::int64_t Steps = 0;
  for (std::int64_t G = Log.FirstTime(); G <= Log.LastTime() && Steps < MaxSteps;
       G += Step, ++Steps)
    Log.GetValues(static_cast<LogTime>(G), Indexes.data(), Indexes.size(), Values.data());
  if (Count > 0) Log.GetValue(Log.LastTime(), Sensors.Names(Count - 1), V);
  return 0;
}
