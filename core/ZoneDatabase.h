// SPDX-License-Identifier: GPL-3.0-or-later
// The system's time-zone database, reached through date-tz. Programs link
// it (zone/ZoneDatabase.cpp), except quorvin-cli: it carries its own C++
// run-time so as to start in a few milliseconds, and date-tz would bring the
// shared one back at every start. It opens the module quorvin-zone when a
// zone is first named (cli/ZoneLoader.cpp); the calls cross as plain data,
// no exception crosses from one run-time to the other.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvin {

// How a clock time lies in its zone.
struct TZoneSpan {
  enum : int { Unique, Skipped, Repeated } Result = Unique;
  // The span in force before the clock time (seconds since 1970-01-01 UTC,
  // end excluded) and its offset (clock time less UTC).
  std::int64_t Begin = 0, End = 0;
  std::int32_t Offset = 0;
};

// The zone of that IANA name; null when there is none (Error empty) or the
// database cannot be reached (Error says why).
const void* LocateZone(const std::string& Name, std::string& Error);

// How a clock time (seconds since 1970-01-01, as if UTC) lies in Zone.
// Throws std::runtime_error when the database fails.
TZoneSpan ZoneSpan(const void* Zone, std::int64_t Clock);

// The IANA names of the database's zones, sorted; none when the database
// cannot be reached. For the window's lists: the module has no entry for it.
std::vector<std::string> ZoneNames();

} // namespace quorvin

// The module's entry points.
extern "C" {
// Null when there is no such zone.
const void* quorvin_zone_locate(const char* Name);
// 0 with Span filled, otherwise the reason in Error (Size bytes, ends in 0).
int quorvin_zone_span(const void* Zone, std::int64_t Clock, quorvin::TZoneSpan* Span, char* Error,
                      std::size_t Size);
}
