// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LogReadings.h"

#include <cmath>
#include <limits>

#include "report/Readings.h"
#include "report/ReadingsExport.h"

namespace quorvin {

void DayRange(std::optional<TDateTime> FirstDay, std::optional<TDateTime> LastDay, LogTime& From,
              LogTime& To) {
  From = FirstDay ? DateTimeToSecs(std::floor(*FirstDay)) : std::numeric_limits<LogTime>::min();
  To = LastDay ? DateTimeToSecs(std::floor(*LastDay)) + (SecsPerDay - 1)
               : std::numeric_limits<LogTime>::max();
}

bool ReadCheckedReadings(TLogSelection& Sel, LogTime From, LogTime To, const TClockZone& Zone,
                         TReadingColumns& Columns) {
  if (!Sel.LogLoaded()) return false;
  Columns = TReadingColumns();
  Columns.Title = LogTitle(*Sel.Log);
  std::vector<int> Digits;
  for (int I = 0; I < Sel.SensorChoiceCount(); ++I)
    if (Sel.SensorChoices[std::size_t(I)].Checked) {
      Columns.Sensors.push_back(I + 1);
      Digits.push_back(Sel.SensorChoices[std::size_t(I)].RightDigits);
    }
  TReadingWalk Walk(*Sel.Log, Columns.Sensors, From, To);
  const std::size_t N = Columns.Sensors.size();
  // Exact for a log whose records hold every sensor; for one whose sensors
  // have readings of their own, rows shared by sensors make it less.
  Columns.Capacity = static_cast<std::size_t>(Walk.RowsLeft());
  Columns.Times.reserve(Columns.Capacity);
  Columns.Values.resize(N * Columns.Capacity);
  std::vector<float> Values(N);
  LogTime Time;
  std::size_t Row = 0;
  while (Row < Columns.Capacity && Walk.Next(Time, Values.data())) {
    const TZonedTime Placed = Zone.Place(Time);
    if (Zone.HasZone()) Columns.Tally.Add(Time, Placed);
    Columns.Times.push_back(Placed.UnixSecs);
    double* Out = Columns.Values.data() + Row;
    for (std::size_t I = 0; I < N; ++I, Out += Columns.Capacity)
      *Out = ReadingValue(Values[I], Digits[I]);
    ++Row;
  }
  return true;
}

} // namespace quorvin
