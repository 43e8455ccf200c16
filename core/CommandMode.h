// SPDX-License-Identifier: GPL-3.0-or-later
// What the output area shows, or what the running command does. Every
// output treats a mode other than Display as writing to a file, which is why
// Save runs in mode None.
#pragma once

namespace quorvin {

enum TCommandMode : int {
  cmDisplay = 0,
  cmHeader = 1,
  cmGraph = 2,
  cmStatistics = 3,
  cmNone = 4, // nothing shown, or Save running
};

inline bool IsSaving(int CommandMode) { return CommandMode != cmDisplay; }

} // namespace quorvin
