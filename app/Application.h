// The application object: everything the main window owned and the commands
// share, as plain values. The window and quorvin-cli each own one and drive
// it through the same operations.
#pragma once

#include <string>

#include "app/LogPrnControls.h"
#include "core/DateTimeFormat.h"
#include "ddr/DDRLog.h"
#include "report/Formatting.h"
#include "report/Graph.h"
#include "report/LogPrnOptions.h"
#include "report/LogSelection.h"
#include "report/Statistics.h"

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
  // The DDRLog section; the DDR converter takes it as its layout.
  TDDRLayout DDRLayout;
  // The statistics accumulators and the graph's left-axis limits live from
  // one command to the next.
  TStatAccumulators StatAccumulators;
  TGraphLimits GraphLimits;
  // Selected entries of the LOGPRN and DDRLOG date-format lists; -1 none.
  int cbxDtFormat = -1;
  int cbxDtFormatDDR = -1;
};

} // namespace quorvin
