// The application object: everything the main window owned and the commands
// share, as plain values. The window and quorvin-cli each own one and drive
// it through the same operations.
#pragma once

#include <string>

#include "app/LogPrnControls.h"
#include "core/DateTimeFormat.h"
#include "report/Formatting.h"
#include "report/LogPrnOptions.h"
#include "report/LogSelection.h"

namespace quorvin {

class TApplication {
public:
  TApplication();

  // The one current date-time format and the separators in force.
  TDateTimeFormat Format;
  int CommandMode = cmNone;
  // The log chosen on the three log pages, its sensors and dates.
  TLogSelection Selection;

  // Options, and the controls that show them.
  TLogPrnOptions LogPrn;
  TLogPrnControls LogPrnControls;
  std::string BackgroundColor = "clWhite";
  std::string TextColor = "clBlack";
  // Selected entries of the colour lists (STBackColor, STTextColor).
  int STBackColor = 15;
  int STTextColor = 0;
  // The RAM card output folder, shown in edtOutFile.
  std::string RAMDirectory;
  // Selected entries of the LOGPRN and DDRLOG date-format lists; -1 none.
  int cbxDtFormat = -1;
  int cbxDtFormatDDR = -1;
};

} // namespace quorvin
