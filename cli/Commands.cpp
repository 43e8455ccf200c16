#include "cli/Commands.h"

namespace quorvin::cli {

namespace {
// One line per command; each command parses its own arguments.
const TCommandEntry Table[] = {
    {"help", RunHelp, "help"},
};
} // namespace

std::span<const TCommandEntry> CommandTable() { return Table; }

} // namespace quorvin::cli
