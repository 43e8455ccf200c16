// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ZoneDatabase.h"

#include <date/tz.h>

#include <algorithm>
#include <chrono>
#include <exception>

namespace quorvin {

const void* LocateZone(const std::string& Name, std::string&) {
  try {
    return date::locate_zone(Name);
  } catch (const std::exception&) {
    return nullptr;
  }
}

std::vector<std::string> ZoneNames() {
  std::vector<std::string> Names;
  try {
    for (const date::time_zone& Zone : date::get_tzdb().zones)
      // This machine's own zone, under a name that means another elsewhere.
      if (Zone.name() != "localtime") Names.push_back(Zone.name());
  } catch (const std::exception&) {
    return {};
  }
  std::sort(Names.begin(), Names.end());
  return Names;
}

TZoneSpan ZoneSpan(const void* Zone, std::int64_t Clock) {
  const auto* TimeZone = static_cast<const date::time_zone*>(Zone);
  const date::local_info Info =
      TimeZone->get_info(date::local_seconds{std::chrono::seconds{Clock}});
  TZoneSpan Span;
  Span.Result = Info.result == date::local_info::nonexistent ? TZoneSpan::Skipped
                : Info.result == date::local_info::ambiguous ? TZoneSpan::Repeated
                                                             : TZoneSpan::Unique;
  Span.Begin = Info.first.begin.time_since_epoch().count();
  Span.End = Info.first.end.time_since_epoch().count();
  Span.Offset = static_cast<std::int32_t>(Info.first.offset.count());
  return Span;
}

} // namespace quorvin
