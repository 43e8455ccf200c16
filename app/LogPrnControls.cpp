// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LogPrnControls.h"

#include "report/Formatting.h"

namespace quorvin {

namespace {

constexpr bool TLogPrnOptions::*LayoutOptions[FileLayoutItemCount] = {
    &TLogPrnOptions::DisplaySeconds, &TLogPrnOptions::DisplayJulianDate,
    &TLogPrnOptions::DisplayFixedFormat, &TLogPrnOptions::AddBlankLine, &TLogPrnOptions::R600ASCII};

bool IsItem(int Item) { return Item >= 0 && Item < FileLayoutItemCount; }

} // namespace

bool FileLayoutChecked(const TLogPrnOptions& Options, int Item) {
  return IsItem(Item) && Options.*LayoutOptions[Item];
}

bool FileLayoutEnabled(const TLogPrnOptions& Options, int Item) {
  return Item != fliFixedColumns || !Options.R600ASCII;
}

void SetFileLayout(TLogPrnOptions& Options, int Item, bool Checked) {
  if (!IsItem(Item) || !FileLayoutEnabled(Options, Item)) return;
  Options.*LayoutOptions[Item] = Checked;
  // Clearing the R600 format enables fixed columns again, still checked.
  if (Options.R600ASCII) Options.DisplayFixedFormat = true;
}

int StdzeroItem(const TLogPrnOptions& Options) {
  switch (NonRecordedMode(Options)) {
  case TNonRecordedMode::Zero:
    return 1;
  case TNonRecordedMode::Exclude:
    return 2;
  case TNonRecordedMode::Dashes:
    break;
  }
  return 0;
}

void SetStdzeroItem(TLogPrnOptions& Options, int Item) {
  Options.DisplayAsDash = Item != 1 && Item != 2;
  Options.DisplayAsZero = Item == 1;
  Options.ExcludeNonRecItems = Item == 2;
}

void NormaliseLogPrnOptions(TLogPrnOptions& Options) {
  SetStdzeroItem(Options, StdzeroItem(Options));
  if (Options.R600ASCII) Options.DisplayFixedFormat = true;
}

} // namespace quorvin
