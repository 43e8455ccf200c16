// SPDX-License-Identifier: GPL-3.0-or-later
// The time zone a logger's clock kept. Logs record clock time with no zone;
// given the zone (LoggerTimeZone: an IANA name from the system's time-zone
// database, or a fixed offset such as -07:00), a log time becomes an instant
// (seconds since 1970-01-01 UTC) and the offset in force.
//
// A clock that follows daylight saving shows one hour twice in autumn: its
// readings are placed at the earlier offset (the first pass through the
// hour). It never shows the hour skipped in spring; a reading there comes
// from a clock that was not set forward, and is placed at the offset in
// force before the change. Either way the caller is told, so it can warn.
#pragma once

#include <cstdint>
#include <string>

#include "core/MiscUtil.h"

namespace quorvin {

// 1984-12-31 00:00:00, log time 0, in seconds since 1970-01-01.
inline constexpr std::int64_t LogTimeUnixEpoch = 473299200;

// The clock time of a log time counted from 1970-01-01, as if it were UTC.
constexpr std::int64_t LogTimeToUnix(LogTime Time) { return LogTimeUnixEpoch + Time; }

// How a clock time lies in its zone.
enum class TClockPlacement {
  Unique,   // one instant shows this clock time
  Repeated, // the hour shown twice when clocks go back
  Skipped,  // the hour no clock following the zone shows
};

struct TZonedTime {
  std::int64_t UnixSecs = 0;   // the instant, seconds since 1970-01-01 UTC
  std::int32_t OffsetSecs = 0; // clock time less UTC
  TClockPlacement Placement = TClockPlacement::Unique;
};

class TClockZone {
public:
  // No zone: times stay clock times.
  TClockZone() = default;

  // Empty text for no zone, else an IANA name or +HH:MM / -HH:MM. False,
  // with the reason in Error, for any other text.
  bool Assign(const std::string& Text, std::string& Error);
  bool HasZone() const { return FZone != nullptr || FFixed; }
  // As assigned (empty for none).
  const std::string& Name() const { return FName; }

  // The instant a clock time of the zone stands for (with no zone, the
  // clock time as if it were UTC, offset 0). Keeps the span of the last
  // answer: one thread at a time.
  TZonedTime Place(LogTime Time) const;

private:
  std::string FName;
  const void* FZone = nullptr; // core/ZoneDatabase.h
  bool FFixed = false;
  std::int32_t FFixedOffset = 0;
  // Clock times from FSpanFrom up to FSpanTo (Unix-counted) lie in one span of
  // the zone with one offset, well away from its changes.
  mutable std::int64_t FSpanFrom = 0, FSpanTo = 0;
  mutable std::int32_t FSpanOffset = 0;
};

// The readings a conversion placed in a repeated or a skipped hour, for
// the warning that says how they were placed.
struct TPlacementTally {
  std::int64_t Repeated = 0, Skipped = 0;
  TZonedTime FirstRepeated, FirstSkipped;
  LogTime FirstRepeatedTime = 0, FirstSkippedTime = 0;

  void Add(LogTime Time, const TZonedTime& Placed);
  // One line per kind counted; empty when every reading was unique.
  std::string Warning(const std::string& ZoneName) const;
};

// "+HH:MM" or "-HH:MM" ("+HH:MM:SS" where seconds remain), as ISO 8601 writes
// an offset.
std::string OffsetText(std::int32_t OffsetSecs);

// "YYYY-MM-DDTHH:MM:SS" of a clock time counted from 1970-01-01.
std::string IsoClockText(std::int64_t UnixSecs);

// The reason Assign gives for a text that is not a zone.
std::string ZoneRefused(const std::string& Text);

} // namespace quorvin
