// SPDX-License-Identifier: GPL-3.0-or-later
// The LOGPRN page's option controls as plain state: the window binds its
// widgets to these fields, quorvin-cli and the tests use them directly, and
// the rules between controls and options live here once.
#pragma once

#include <array>

#include "core/DateTimeFormat.h"
#include "report/LogPrnOptions.h"

namespace quorvin {

// Items of the layout check list chkFileLayout.
enum TFileLayoutItem {
  fliDisplaySeconds = 0,
  fliDisplayJulianDate = 1,
  fliFixedColumns = 2,
  fliAddBlankLine = 3,
  fliR600ASCII = 4,
};

struct TLogPrnControls {
  bool chkAppend = false;
  bool chkSysFormat = false;
  // Selected item of the radio group: 0 dashes, 1 zeros, 2 exclude, -1 none.
  int gbxStdzero = -1;
  std::array<bool, 5> chkFileLayout{};
  std::array<bool, 5> chkFileLayoutEnabled{true, true, true, true, true};
  // Item index of the output-format list: 0 TEXT, 1 EXCEL.
  int cbxOutFormat = 0;
};

void ShowLogPrnOptions(const TLogPrnOptions& Options, TLogPrnControls& Controls);
// Also applies the separators chosen by chkSysFormat.
void ReadLogPrnOptions(const TLogPrnControls& Controls, TLogPrnOptions& Options,
                       TDateTimeFormat& Format);
// After a toggle in the layout list: "R600 ASCII Format" checks and greys
// "Fixed Column Output"; clearing it enables that item again.
void chkFileLayoutClickCheck(TLogPrnControls& Controls);

} // namespace quorvin
