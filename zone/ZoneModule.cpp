// SPDX-License-Identifier: GPL-3.0-or-later
// The module quorvin-zone: the database's calls as plain C, for quorvin-cli.
#include <cstring>
#include <exception>

#include "core/ZoneDatabase.h"

extern "C" {

const void* quorvin_zone_locate(const char* Name) {
  std::string Unused;
  try {
    return quorvin::LocateZone(Name, Unused);
  } catch (...) {
    return nullptr;
  }
}

int quorvin_zone_span(const void* Zone, std::int64_t Clock, quorvin::TZoneSpan* Span, char* Error,
                      std::size_t Size) {
  const char* Reason = "the time-zone database failed";
  try {
    *Span = quorvin::ZoneSpan(Zone, Clock);
    return 0;
  } catch (const std::exception& E) {
    Reason = E.what();
  } catch (...) {}
  if (Size > 0) {
    std::strncpy(Error, Reason, Size - 1);
    Error[Size - 1] = '\0';
  }
  return 1;
}
}
