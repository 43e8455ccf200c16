// SPDX-License-Identifier: GPL-3.0-or-later
// A log loaded into what the outputs read, as the log selection loads it,
// for the tests of the outputs (which live below the selection).
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "core/FileNames.h"
#include "logdata/LogFormats.h"
#include "report/SelectedLog.h"

namespace quorvin::test {

// Opens the log at Path into Sel, no sensor checked; false (and no log)
// when it does not open.
inline bool SelectLog(TSelectedLog& Sel, const std::string& Path) {
  Sel.Log.reset();
  Sel.LogFileName = Path;
  Sel.LogFileDir = ExtractFilePath(Path);
  auto Log = MakeLogReader(Path, UpperNameStem(Path));
  if (!Log || !Log->Open()) return false;
  Sel.UseLog(std::move(Log));
  return true;
}

// Checks the sensors at the 0-based Positions and no others.
inline void CheckOnly(TSelectedLog& Sel, const std::vector<int>& Positions) {
  for (std::size_t I = 0; I < Sel.SensorChoices.size(); ++I)
    Sel.SensorChoices[I].Checked =
        std::find(Positions.begin(), Positions.end(), static_cast<int>(I)) != Positions.end();
}

inline void CheckAll(TSelectedLog& Sel) {
  for (TSensorChoice& C : Sel.SensorChoices) C.Checked = true;
}

} // namespace quorvin::test
