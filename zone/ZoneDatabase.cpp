// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ZoneDatabase.h"

#include <date/tz.h>

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
