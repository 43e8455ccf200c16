// SPDX-License-Identifier: GPL-3.0-or-later
// What the output area shows, or what the running command does.
#pragma once

namespace quorvin {

enum class TCommandMode {
  cmDisplay = 0,
  cmHeader = 1,
  cmGraph = 2,
  cmStatistics = 3,
  cmNone = 4, // nothing shown, or Save running
};
using enum TCommandMode;

// The command writes a file rather than showing its lines: Save and the
// export of a range run in mode None; the four views write nothing.
inline bool IsSaving(TCommandMode Mode) { return Mode == cmNone; }

} // namespace quorvin
