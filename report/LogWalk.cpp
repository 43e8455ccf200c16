// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/LogWalk.h"

#include <algorithm>
#include <climits>

namespace quorvin {

std::int64_t TLogWalk::Steps() const {
  if (RecordByRecord) return Log->RecordCount(SensorIndexes.front());
  if (Interval <= 0) return 2;
  return End >= Start ? (std::int64_t(End) - Start) / Interval + 1 : 1;
}

std::int64_t TLogWalk::ProgressTotal() const {
  if (RecordByRecord) return Log->RecordCount(SensorIndexes.front());
  return std::max<std::int64_t>(std::int64_t(End) - Start, 0);
}

bool TLogWalk::Next(std::int64_t Position, LogTime Time, std::int64_t& At) const {
  if (RecordByRecord) {
    At = Position + 1;
    return At < Log->RecordCount(SensorIndexes.front());
  }
  // An interval of 0 walks the start and then the end.
  if (Interval <= 0) {
    At = End;
    return Time < End;
  }
  At = std::int64_t(Time) + Interval;
  return At <= End;
}

void TLogWalk::Run(TLineMaker& Maker, std::int64_t At) const {
  if (RecordByRecord)
    RunRecords(Maker, At);
  else
    RunGrid(Maker, At);
}

void TLogWalk::RunRecords(TLineMaker& Maker, std::int64_t At) const {
  const int SensorIndex = SensorIndexes.front();
  const int Count = Log->RecordCount(SensorIndex);
  for (int k = static_cast<int>(At); k < Count; ++k) {
    Maker.SetProgress(k);
    float V;
    LogTime T = 0;
    Log->GetValueAt(k, SensorIndex, V, T);
    if (Windowed && (T < WindowFrom || T > WindowTo)) continue;
    int Recorded;
    if (!Maker.Step(
            T, [&](float* Values) { Values[0] = V; }, Recorded))
      break;
  }
}

std::int64_t TLogWalk::NextRecordTime(std::int64_t From) const {
  constexpr std::int64_t None = INT64_MAX;
  if (From > INT32_MAX) return None;
  std::int64_t Next = None;
  for (const int SensorIndex : SensorIndexes) {
    LogTime T;
    if (Log->NextRecordTime(SensorIndex, static_cast<LogTime>(From), T))
      Next = std::min<std::int64_t>(Next, T);
  }
  return Next;
}

bool TLogWalk::SkipEmptyStretch(TLineMaker& Maker, std::int64_t& T, std::int64_t Step) const {
  // The lines of days on which no checked sensor has a record are all
  // excluded: step over those days at once, doing for each what its steps
  // would have done (a blank line for the new day, the chunk rule).
  const std::int64_t Next = NextRecordTime(T);
  const std::int64_t Day = DayOfTime(T);
  const std::int64_t LastDay = DayOfTime(End);
  const std::int64_t TargetDay =
      Next == INT64_MAX ? LastDay + 1 : std::min(DayOfTime(Next), LastDay + 1);
  if (TargetDay <= Day) return true;
  // The first grid time on or after the first second of D.
  auto GridAt = [&](std::int64_t D) {
    const std::int64_t DayStart = D * SecsPerDay;
    return DayStart <= T ? T : T + (DayStart - T + Step - 1) / Step * Step;
  };
  for (std::int64_t D = Day; D < TargetDay; ++D) {
    const std::int64_t FirstOfDay = GridAt(D);
    if (FirstOfDay >= (D + 1) * SecsPerDay || FirstOfDay > End) continue;
    if (!Maker.StepExcluded(static_cast<LogTime>(FirstOfDay))) return false;
  }
  T = GridAt(TargetDay);
  return true;
}

void TLogWalk::RunGrid(TLineMaker& Maker, std::int64_t At) const {
  // Times run in 64 bits so a range ending near the last log time cannot
  // wrap; an interval of 0 jumps to End and ends after its line.
  const std::int64_t Last = End;
  const std::int64_t Step = Interval > 0 ? Interval : 0;
  ILogReader& Reader = *Log;
  std::int64_t T = At;
  for (;;) {
    Maker.SetProgress(T - Start);
    const LogTime LT = static_cast<LogTime>(T);
    int Recorded = 0;
    const bool Ok = Maker.Step(
        LT,
        [&](float* Values) {
          Reader.GetValues(LT, SensorIndexes.data(), SensorIndexes.size(), Values);
        },
        Recorded);
    if (!Ok) break;
    if (Step == 0) {
      if (T >= Last) break;
      T = Last;
      continue;
    }
    T += Step;
    if (Maker.Excluding() && Recorded == 0 && T <= Last && !SkipEmptyStretch(Maker, T, Step)) break;
    if (T > Last) break;
  }
}

} // namespace quorvin
