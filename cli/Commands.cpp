// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Commands.h"

namespace quorvin::cli {

namespace {
// One line per command; each declares its own arguments.
const TCommandEntry Table[] = {
    {"help", "The tool's usage, or one command's arguments", DeclareHelp, nullptr, RunHelp, false,
     nullptr, ""},
    {"header", "The header report of each log (the LOGPRN Header)", DeclareHeader, nullptr,
     RunHeader, true, nullptr, "no log file given"},
    {"prn", "LOGPRN: save each log as .PRN text or .XLS workbook beside it, or show it", DeclarePrn,
     CheckLogArgs, RunPrn, true, PrnTarget, "no log file given"},
    {"ramcard", "RAMCARD: list the files of a card dump, or copy them out", DeclareRamcard,
     CheckRamcard, RunRamcard, false, nullptr, ""},
    {"ddr", "DDRLOG: decode each DDR file, save it, or list its blocks", DeclareDdr, CheckDdr,
     RunDdr, true, DdrTarget, "ddr needs a DDR file"},
    {"stats", "LOGSTAT: minimum, maximum, mean and samples per day of each log", DeclareStats,
     CheckLogArgs, RunStats, true, nullptr, "no log file given"},
    {"export", "The readings of each log as ISO 8601 CSV or NetCDF, for analysis tools",
     DeclareExport, CheckExport, RunExport, true, ExportTarget, "no log file given"},
    {"graph", "LOGPLOT: draw a log's graph, as the window does, into a PNG picture", DeclareGraph,
     CheckGraph, RunGraph, false, nullptr, "", true},
};
} // namespace

std::span<const TCommandEntry> CommandTable() { return Table; }

const TCommandEntry* FindCommand(const std::string& Name) {
  for (const TCommandEntry& E : Table)
    if (Name == E.Name) return &E;
  return nullptr;
}

} // namespace quorvin::cli
