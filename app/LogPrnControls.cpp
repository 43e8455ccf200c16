// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LogPrnControls.h"

namespace quorvin {

void chkFileLayoutClickCheck(TLogPrnControls& Controls) {
  if (Controls.chkFileLayout[fliR600ASCII]) {
    Controls.chkFileLayout[fliFixedColumns] = true;
    Controls.chkFileLayoutEnabled[fliFixedColumns] = false;
  } else {
    Controls.chkFileLayoutEnabled[fliFixedColumns] = true;
  }
}

void ShowLogPrnOptions(const TLogPrnOptions& Options, TLogPrnControls& Controls) {
  Controls.chkAppend = Options.AppendData;
  Controls.chkSysFormat = Options.UseSysFormat;
  int Set =
      int(Options.DisplayAsDash) + int(Options.DisplayAsZero) + int(Options.ExcludeNonRecItems);
  Controls.gbxStdzero = 0;
  if (Set == 1) {
    if (Options.DisplayAsZero) Controls.gbxStdzero = 1;
    if (Options.ExcludeNonRecItems) Controls.gbxStdzero = 2;
  }
  Controls.chkFileLayout[fliDisplaySeconds] = Options.DisplaySeconds;
  Controls.chkFileLayout[fliDisplayJulianDate] = Options.DisplayJulianDate;
  Controls.chkFileLayout[fliFixedColumns] = Options.DisplayFixedFormat;
  Controls.chkFileLayout[fliAddBlankLine] = Options.AddBlankLine;
  Controls.chkFileLayout[fliR600ASCII] = Options.R600ASCII;
  chkFileLayoutClickCheck(Controls);
}

void ReadLogPrnOptions(const TLogPrnControls& Controls, TLogPrnOptions& Options,
                       TDateTimeFormat& Format) {
  Options.AppendData = Controls.chkAppend;
  Options.UseSysFormat = Controls.chkSysFormat;
  ApplySeparators(Format, Options.UseSysFormat);
  Options.DisplayAsDash = Controls.gbxStdzero != 1 && Controls.gbxStdzero != 2;
  Options.DisplayAsZero = Controls.gbxStdzero == 1;
  Options.ExcludeNonRecItems = Controls.gbxStdzero == 2;
  Options.DisplaySeconds = Controls.chkFileLayout[fliDisplaySeconds];
  Options.DisplayJulianDate = Controls.chkFileLayout[fliDisplayJulianDate];
  Options.DisplayFixedFormat = Controls.chkFileLayout[fliFixedColumns];
  Options.AddBlankLine = Controls.chkFileLayout[fliAddBlankLine];
  Options.R600ASCII = Controls.chkFileLayout[fliR600ASCII];
}

} // namespace quorvin
