// SPDX-License-Identifier: GPL-3.0-or-later
// The rules between the LOGPRN page's option controls and the options they
// show: the window binds its widgets to the options through these, so the
// options are what the controls show, with no copy to keep in step.
#pragma once

#include "report/LogPrnOptions.h"

namespace quorvin {

// Items of the layout check list chkFileLayout.
enum TFileLayoutItem {
  fliDisplaySeconds = 0,
  fliDisplayJulianDate = 1,
  fliFixedColumns = 2,
  fliAddBlankLine = 3,
  fliR600ASCII = 4,
  FileLayoutItemCount = 5,
};

// The option an item of the layout list shows, and whether it can be
// changed: "R600 ASCII Format" checks and greys "Fixed Column Output".
bool FileLayoutChecked(const TLogPrnOptions& Options, int Item);
bool FileLayoutEnabled(const TLogPrnOptions& Options, int Item);
void SetFileLayout(TLogPrnOptions& Options, int Item, bool Checked);

// The selected item of the radio group gbxStdzero: 0 dashes, 1 zeros,
// 2 exclude. Any other mix of the three flags shows as dashes.
int StdzeroItem(const TLogPrnOptions& Options);
void SetStdzeroItem(TLogPrnOptions& Options, int Item);

// The options as the controls can show them: exactly one of the three
// flags of the radio group, fixed columns with the R600 format.
void NormaliseLogPrnOptions(TLogPrnOptions& Options);

} // namespace quorvin
