// SPDX-License-Identifier: GPL-3.0-or-later
// How every log output writes dates, times and values: day of the year,
// seconds of the day, the date/time block that opens a data line, recorded
// and not-recorded values, and the field separator.
//
// Nothing here holds state: the current format, the options and the command
// mode are passed in by the caller.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/CommandMode.h"
#include "core/DateTimeFormat.h"
#include "core/MiscUtil.h"
#include "report/LogPrnOptions.h"

namespace quorvin {

// Longest run of padding blanks a line ever gets.
inline constexpr int MaxPadding = 46;

// Day of the year of a log time, 1 to 366.
int DayOfYear(LogTime Time);
// The day of the year zero-filled to at least three digits: 001 to 366.
std::string DayOfYearText(LogTime Time);
// The seconds of the day zero-filled to at least six digits: 000000 to 086399.
std::string SecondsOfDayText(LogTime Time);

// Blanks for padding; none for a count of 0 or less, and never more than 46.
std::string PadBlanks(int Count);

// The date/time block that opens every data line is this many fields: the
// date and the time.
constexpr int LineTimeFields = 2;

// The date/time block at the start of a data line: date, Separator, the
// fixed-column paddings, time. Rendered from the integer log time.
std::string FormatLineTime(const std::string& Separator, bool Fixed, bool NewDay, LogTime Time,
                           const TLogPrnOptions& Options, const TDateTimeFormat& Format);

// FormatLineTime for the consecutive lines of one conversion: the same text,
// appended to a line, with the date text kept for the day and the time text
// kept per second of the day when the patterns allow it.
class TLineTimeFormatter {
public:
  TLineTimeFormatter(const std::string& Separator, bool Fixed, const TLogPrnOptions& Options,
                     const TDateTimeFormat& Format);
  void Append(std::string& Line, bool NewDay, LogTime Time);
  // The same written at Out, which has room for Room() characters; answers
  // the end of what was written.
  char* Put(char* Out, bool NewDay, LogTime Time);
  std::size_t Room() const { return FRoom; }

private:
  const std::string& DateText(LogTime Time);
  const std::string& TimeText(LogTime Time);

  std::string FSeparator;
  bool FFixed;
  const TLogPrnOptions& FOptions;
  const TDateTimeFormat& FFormat;
  bool FDateOnly; // DatePattern depends on the date alone
  bool FTimeOnly; // TimePattern depends on the time of day alone
  std::string FBlankDate;
  std::size_t FRoom;
  std::int64_t FDay = -1;
  std::string FDate;
  // Time texts by second of the day, in blocks made when first used: a
  // short export touches a few blocks, not 86,400 strings.
  static constexpr std::size_t TimeBlock = 64;
  std::vector<std::unique_ptr<std::string[]>> FTimes;
  std::string FScratch;
};

// Value (a single widened to double) in fixed-point notation with exactly
// RightDigits decimals, halves rounded away from zero, "." as decimal point
// whatever the locale, no padding. A result that rounds to zero has no sign.
std::string FormatValue(float Value, int RightDigits);
// The same, appended to Out.
void AppendFormattedValue(std::string& Out, float Value, int RightDigits);
// The same, written at Out, which has room for FormattedValueRoom
// (RightDigits) characters; answers the end of the text.
char* PutFormattedValue(char* Out, float Value, int RightDigits);
std::size_t FormattedValueRoom(int RightDigits);
// The same right-aligned in Width: blanks first (at most 46), for which Out
// has 46 characters more room (what lies beyond the text may be overwritten).
char* PutFormattedValueRight(char* Out, float Value, int RightDigits, int Width);

// A column of values: its decimals, its width in fixed columns, its text
// for a value not recorded.
struct TValueColumn {
  int RightDigits = 0;
  int Width = 0;
  std::string Missing;
};
// The values of one line, each after Separator and, in fixed columns,
// right-aligned in its column's width. Out has room for the separator, 46
// blanks and FormattedValueRoom (or the missing text, if longer) per column.
char* PutValues(char* Out, const float* Values, const TValueColumn* Columns, std::size_t Count,
                std::string_view Separator, bool Fixed);

// How a value that was not recorded is written. Exactly one rendering is in
// force; a combination of flags other than exactly one counts as dashes, as
// the radio group shows it.
enum class TNonRecordedMode { Dashes, Zero, Exclude };
TNonRecordedMode NonRecordedMode(const TLogPrnOptions& Options);
// "-.--" style dashes, a zero with the sensor's decimals, or empty.
std::string NonRecordedText(const TLogPrnOptions& Options, int RightDigits);

// Fixed columns: TEXT output, and either a chosen fixed layout or a display.
bool UsesFixedColumns(const TLogPrnOptions& Options, TCommandMode CommandMode);
// Blank (fixed TEXT, or EXCEL displayed), "," (TEXT) or tab (EXCEL saved).
std::string GetFieldSeparator(const TLogPrnOptions& Options, TCommandMode CommandMode);

} // namespace quorvin
