#include "cli/Commands.h"

namespace quorvin::cli {

namespace {
// One line per command; each command parses its own arguments.
const TCommandEntry Table[] = {
    {"help", RunHelp, "help"},
    {"header", RunHeader, "header LOG"},
    {"prn", RunPrn, "prn LOG [--sensors LIST] [--start YYYY-MM-DD] [--end YYYY-MM-DD] [--display]"},
    {"ramcard", RunRamcard, "ramcard DUMP list | ramcard DUMP save [--out DIR] NAME..."},
    {"ddr", RunDdr, "ddr DDR [--display | --save | --summary] [--output PATH]"},
    {"stats", RunStats, "stats LOG [--sensors LIST] [--start YYYY-MM-DD] [--end YYYY-MM-DD]"},
};
} // namespace

std::span<const TCommandEntry> CommandTable() { return Table; }

} // namespace quorvin::cli
