// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/Titles.h"

#include "core/MiscUtil.h"

namespace quorvin {

std::string DateRangeText(TDateTime Start, TDateTime End, const TDateTimeFormat& Format) {
  auto Date = [&Format](TDateTime Value) {
    return FormatLogTime(Format.DatePattern, DateTimeToSecs(Value), Format);
  };
  return " DATE: " + Date(Start) + " TO " + Date(End);
}

std::string DateRangeText(const TLogSelection& Selection, const TDateTimeFormat& Format) {
  return DateRangeText(Selection.StartDate, Selection.EndDate, Format);
}

std::string DataTitleLine(bool CSV, const TLogSelection& Selection, TDateTime Start, TDateTime End,
                          const TDateTimeFormat& Format) {
  return (CSV ? "CSV LOG DATA FROM: " : "R630/R600 DATA FROM: ") +
         UpperCase(Selection.LogTitleName) + DateRangeText(Start, End, Format);
}

std::string DataTitleLine(bool CSV, const TLogSelection& Selection, const TDateTimeFormat& Format) {
  return DataTitleLine(CSV, Selection, Selection.StartDate, Selection.EndDate, Format);
}

std::string StatisticsTitleLine(const TLogSelection& Selection, const TDateTimeFormat& Format) {
  return "STATISTICS FOR: " + UpperCase(Selection.LogTitleName) + DateRangeText(Selection, Format);
}

} // namespace quorvin
