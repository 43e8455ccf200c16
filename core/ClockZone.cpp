// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ClockZone.h"

#include "core/ZoneDatabase.h"

#include <date/date.h>

#include <chrono>
#include <cstdio>
#include <exception>

namespace quorvin {

namespace {

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// +HH:MM or -HH:MM, hours 0 to 23.
bool ParseOffset(const std::string& Text, std::int32_t& Offset) {
  if (Text.size() != 6 || (Text[0] != '+' && Text[0] != '-') || Text[3] != ':') return false;
  for (std::size_t I : {1, 2, 4, 5})
    if (!IsDigit(Text[I])) return false;
  const int Hours = (Text[1] - '0') * 10 + (Text[2] - '0');
  const int Minutes = (Text[4] - '0') * 10 + (Text[5] - '0');
  if (Hours > 23 || Minutes > 59) return false;
  Offset = (Hours * 3600 + Minutes * 60) * (Text[0] == '-' ? -1 : 1);
  return true;
}

// No zone changes its offset by more than this at once, so clock times this
// far inside a span belong to that span alone.
constexpr std::int64_t SpanMargin = SecsPerDay;

} // namespace

std::string ZoneRefused(const std::string& Text) {
  return "not a time zone (an IANA name such as America/Denver, or an offset such as -07:00): " +
         Text;
}

bool TClockZone::Assign(const std::string& Text, std::string& Error) {
  TClockZone Zone;
  Zone.FName = Text;
  if (!Text.empty() && !ParseOffset(Text, Zone.FFixedOffset)) {
    std::string Reason;
    Zone.FZone = LocateZone(Text, Reason);
    if (!Zone.FZone) {
      Error = Reason.empty() ? ZoneRefused(Text) : Reason;
      return false;
    }
  }
  Zone.FFixed = !Text.empty() && !Zone.FZone;
  *this = Zone;
  return true;
}

TZonedTime TClockZone::Place(LogTime Time) const {
  const std::int64_t Clock = LogTimeToUnix(Time);
  TZonedTime Result;
  if (!FZone) {
    Result.OffsetSecs = FFixed ? FFixedOffset : 0;
    Result.UnixSecs = Clock - Result.OffsetSecs;
    return Result;
  }
  if (Clock >= FSpanFrom && Clock < FSpanTo) {
    Result.OffsetSecs = FSpanOffset;
    Result.UnixSecs = Clock - FSpanOffset;
    return Result;
  }
  const TZoneSpan Span = ZoneSpan(FZone, Clock);
  // Before the change in every case: the first pass through a repeated hour,
  // and for a skipped hour the offset the clock still showed.
  Result.OffsetSecs = Span.Offset;
  Result.UnixSecs = Clock - Result.OffsetSecs;
  switch (Span.Result) {
  case TZoneSpan::Unique:
    FSpanFrom = Span.Begin + Span.Offset + SpanMargin;
    FSpanTo = Span.End + Span.Offset - SpanMargin;
    FSpanOffset = Result.OffsetSecs;
    break;
  case TZoneSpan::Repeated:
    Result.Placement = TClockPlacement::Repeated;
    break;
  case TZoneSpan::Skipped:
    Result.Placement = TClockPlacement::Skipped;
    break;
  }
  return Result;
}

std::string OffsetText(std::int32_t OffsetSecs) {
  const char Sign = OffsetSecs < 0 ? '-' : '+';
  const std::int32_t Abs = OffsetSecs < 0 ? -OffsetSecs : OffsetSecs;
  char Text[16];
  if (Abs % 60 != 0)
    std::snprintf(Text, sizeof Text, "%c%02d:%02d:%02d", Sign, Abs / 3600, Abs / 60 % 60, Abs % 60);
  else
    std::snprintf(Text, sizeof Text, "%c%02d:%02d", Sign, Abs / 3600, Abs / 60 % 60);
  return Text;
}

void TPlacementTally::Add(LogTime Time, const TZonedTime& Placed) {
  if (Placed.Placement == TClockPlacement::Repeated) {
    if (Repeated++ == 0) {
      FirstRepeated = Placed;
      FirstRepeatedTime = Time;
    }
  } else if (Placed.Placement == TClockPlacement::Skipped) {
    if (Skipped++ == 0) {
      FirstSkipped = Placed;
      FirstSkippedTime = Time;
    }
  }
}

std::string TPlacementTally::Warning(const std::string& ZoneName) const {
  std::string Text;
  if (Repeated > 0)
    Text += std::to_string(Repeated) + (Repeated == 1 ? " reading falls" : " readings fall") +
            " in an hour that " + ZoneName + " shows twice when clocks go back (the first at " +
            IsoClockText(LogTimeToUnix(FirstRepeatedTime)) + "); placed at the earlier offset, " +
            OffsetText(FirstRepeated.OffsetSecs) + ".";
  if (Skipped > 0) {
    if (!Text.empty()) Text += "\n";
    Text += std::to_string(Skipped) + (Skipped == 1 ? " reading falls" : " readings fall") +
            " in an hour that " + ZoneName +
            " skips when clocks go forward, which a clock keeping the zone never shows (the first "
            "at " +
            IsoClockText(LogTimeToUnix(FirstSkippedTime)) +
            "); placed at the offset before the change, " + OffsetText(FirstSkipped.OffsetSecs) +
            ".";
  }
  return Text;
}

std::string IsoClockText(std::int64_t UnixSecs) {
  using namespace std::chrono;
  const date::sys_seconds Time{seconds{UnixSecs}};
  const date::sys_days Day = date::floor<date::days>(Time);
  const date::year_month_day Date{Day};
  const date::hh_mm_ss<seconds> Clock{Time - Day};
  char Text[32];
  std::snprintf(Text, sizeof Text, "%04d-%02u-%02uT%02d:%02d:%02d", int(Date.year()),
                unsigned(Date.month()), unsigned(Date.day()), int(Clock.hours().count()),
                int(Clock.minutes().count()), int(Clock.seconds().count()));
  return Text;
}

} // namespace quorvin
