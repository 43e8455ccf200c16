// SPDX-License-Identifier: GPL-3.0-or-later
// The binary log reader: open, header report, every value over the range and
// a few times around it.
#include <algorithm>
#include <cstdint>

#include "FuzzSupport.h"
#include "core/DateTimeFormat.h"
#include "logdata/HeaderReport.h"
#include "logdata/LogFile.h"

using namespace quorvin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Path = fuzz::WriteInput("F.LOG", Data, Size);
  fuzz::TNullUi Ui;
  TLogFile Log(Path, "F");
  if (!Log.Open()) return 0;
  TDateTimeFormat Format;
  SetDateTimeFormat(Format, "MM/DD/YYYY HH:MM:SS");
  ShowLogHeader(Ui, Log, Log.Header()->UnitName, Format);

  const int Sensors = Log.Sensors().Count();
  const std::int64_t Step = Log.Interval() > 0 ? Log.Interval() : 1;
  float V;
  // The walk's length follows from the file's size, so a small input walks
  // a short range; the bound only guards against a reader that miscounts.
  std::int64_t Steps = 0;
  for (std::int64_t T = Log.FirstTime(); T <= Log.LastTime() && Steps < 200000; T += Step, ++Steps)
    for (int S = 1; S <= Sensors; ++S) Log.GetValue(static_cast<LogTime>(T), S, V);
  // Backwards, off the grid, before the data and out of the sensor range.
  const LogTime Beyond =
      static_cast<LogTime>(std::min<std::int64_t>(std::int64_t(Log.LastTime()) + Step, INT32_MAX));
  const LogTime Probes[] = {
      Log.LastTime(), Log.FirstTime(), Log.FirstTime() - 1, Log.FirstTime() + 1, Beyond, 0, -1};
  for (LogTime T : Probes)
    for (int S = 0; S <= Sensors + 1; ++S) Log.GetValue(T, S, V);
  Log.Close();
  Log.GetValue(Log.FirstTime(), 1, V);
  return 0;
}
