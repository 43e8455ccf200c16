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

std::string DateRangeText(const TSelectedLog& Selection, const TDateTimeFormat& Format) {
  return DateRangeText(Selection.StartDate, Selection.EndDate, Format);
}

std::string DataTitleLine(const TSelectedLog& Selection, TDateTime Start, TDateTime End,
                          const TDateTimeFormat& Format) {
  std::string Line(Selection.Log ? Selection.Log->DataTitle() : std::string_view());
  return Line + UpperCase(Selection.LogTitleName) + DateRangeText(Start, End, Format);
}

std::string DataTitleLine(const TSelectedLog& Selection, const TDateTimeFormat& Format) {
  return DataTitleLine(Selection, Selection.StartDate, Selection.EndDate, Format);
}

std::string StatisticsTitleLine(const TSelectedLog& Selection, const TDateTimeFormat& Format) {
  return "STATISTICS FOR: " + UpperCase(Selection.LogTitleName) + DateRangeText(Selection, Format);
}

} // namespace quorvin
