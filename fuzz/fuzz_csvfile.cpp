// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV log reader: open, information report, every record of every
// sensor, and the grid the export steps over (cut short where a stray row
// would make it span decades).
#include <algorithm>
#include <cstdint>

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
  float V;
  LogTime T;
  for (int I = 0; I < Sensors.Count(); ++I) {
    const TCSVSensor* S = Sensors.Objects(I);
    for (int K = 0; K < S->RecordCount(); ++K) Log.GetValueAt(K, S->Name, V, T);
    Log.GetValueAt(0, "no such sensor", V, T);
  }
  const std::int64_t Step = Log.Interval() > 0 ? Log.Interval() : 1;
  // At most about 20,000 look-ups per input, however many sensors it names.
  const std::int64_t MaxSteps = 20000 / std::max(1, Sensors.Count());
  std::int64_t Steps = 0;
  for (std::int64_t G = Log.FirstTime(); G <= Log.LastTime() && Steps < MaxSteps;
       G += Step, ++Steps)
    for (int I = 0; I < Sensors.Count(); ++I)
      Log.GetValue(static_cast<LogTime>(G), Sensors.Names(I), V);
  Log.GetValue(Log.FirstTime(), "no such sensor", V);
  return 0;
}
