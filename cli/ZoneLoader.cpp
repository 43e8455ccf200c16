// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli's way to the time-zone database: the module quorvin-zone,
// opened when a zone is first named (core/ZoneDatabase.h says why). It is
// looked for beside the program, then where the package installs it.
#include <cstddef>
#include <stdexcept>
#include <string>

#include "cli/CliProcess.h"
#include "core/SharedLibrary.h"
#include "core/ZoneDatabase.h"

namespace quorvin {

namespace {

struct TZoneModule {
  decltype(&quorvin_zone_locate) Locate = nullptr;
  decltype(&quorvin_zone_span) Span = nullptr;
  std::string Reason; // why the module is not there
};

const TZoneModule& Module() {
  static const TZoneModule Loaded = [] {
    TZoneModule M;
    const std::string Folder = cli::ProgramFolder();
    std::string Reason;
    for (const std::string& Path :
         {Folder + "/quorvin-zone.so", Folder + "/" QUORVIN_ZONE_MODULE_FROM_PROGRAM}) {
      if (Folder.empty()) break;
      void* Library = ::dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL);
      if (!Library) {
        const char* Error = ::dlerror();
        if (Error) Reason = Error;
        continue;
      }
      if (FindSymbol(Library, "quorvin_zone_locate", M.Locate) &&
          FindSymbol(Library, "quorvin_zone_span", M.Span))
        return M;
      Reason = Path + ": not the time-zone module";
      M.Locate = nullptr;
    }
    M.Reason = "time zones are not available: " +
               (Reason.empty() ? std::string("quorvin-zone.so not found") : Reason);
    return M;
  }();
  return Loaded;
}

} // namespace

const void* LocateZone(const std::string& Name, std::string& Error) {
  const TZoneModule& M = Module();
  if (!M.Locate) {
    Error = M.Reason;
    return nullptr;
  }
  return M.Locate(Name.c_str());
}

TZoneSpan ZoneSpan(const void* Zone, std::int64_t Clock) {
  // Only a zone the module located gets here.
  TZoneSpan Span;
  char Error[256] = "";
  if (Module().Span(Zone, Clock, &Span, Error, sizeof Error) != 0) throw std::runtime_error(Error);
  return Span;
}

} // namespace quorvin
