// SPDX-License-Identifier: GPL-3.0-or-later
// The title lines that open the log outputs: where the data comes from, the
// log's name in upper case and the chosen dates in the current date pattern.
#pragma once

#include <string>

#include "core/DateTimeFormat.h"
#include "report/SelectedLog.h"

namespace quorvin {

// " DATE: " + StartDate + " TO " + EndDate, each written with DatePattern.
std::string DateRangeText(const TSelectedLog& Selection, const TDateTimeFormat& Format);
std::string DateRangeText(TDateTime Start, TDateTime End, const TDateTimeFormat& Format);
// The loaded log's data title ("R630/R600 DATA FROM: " for a logger file,
// "CSV LOG DATA FROM: " for a CSV log), NAME and " DATE: ...": the export's
// and the graph's title.
std::string DataTitleLine(const TSelectedLog& Selection, const TDateTimeFormat& Format);
// The same over the dates Start to End instead of the selection's.
std::string DataTitleLine(const TSelectedLog& Selection, TDateTime Start, TDateTime End,
                          const TDateTimeFormat& Format);
// "STATISTICS FOR: NAME DATE: ...".
std::string StatisticsTitleLine(const TSelectedLog& Selection, const TDateTimeFormat& Format);

} // namespace quorvin
