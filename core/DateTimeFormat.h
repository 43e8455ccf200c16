// SPDX-License-Identifier: GPL-3.0-or-later
// The one current date-time format of the program and its separators, and the
// rendering of a log time with a date or time pattern.
//
// Pattern letters (case-insensitive): YYYY four-digit year, YY two-digit year,
// MM two-digit month, DD day, HH hour 00-23, MM after HH (also with other
// characters between) minutes, SS seconds. "/" prints the date separator,
// ":" the time separator; every other character is copied.
#pragma once

#include <string>

#include "core/MiscUtil.h"

namespace quorvin {

struct TDateTimeFormat {
  std::string DatePattern;
  std::string TimePattern;
  char DateSeparator = '/';
  char TimeSeparator = ':';
  // The system locale's separators, taken once at start-up.
  char SystemDateSeparator = '/';
  char SystemTimeSeparator = ':';
};

// The format of a new installation, and of a settings file naming none.
inline constexpr const char* DefaultDateTimeFormat = "MMDDYY HHMM";
// No format name is longer: a longer stored name is damage, not a format.
constexpr std::size_t MaxDateTimeFormatName = 64;

// Splits Name at its first blank into DatePattern and TimePattern; a name
// without a blank gives both halves the whole name.
void SetDateTimeFormat(TDateTimeFormat& Format, const std::string& Name);
// True: the system's separators; false: "/" and ":".
void ApplySeparators(TDateTimeFormat& Format, bool UseSystem);
// The name as stored in the settings file: DatePattern, a blank, TimePattern.
std::string DateTimeFormatName(const TDateTimeFormat& Format);

// The separators of the locale in force for LC_TIME, derived from its short
// date and time formats; "/" and ":" where it gives none.
void SystemSeparators(char& DateSeparator, char& TimeSeparator);

// Renders a log time (never through a floating value, so midnight is never
// the previous day) with Pattern and the given separators.
std::string FormatLogTime(const std::string& Pattern, LogTime Secs, char DateSeparator,
                          char TimeSeparator);
inline std::string FormatLogTime(const std::string& Pattern, LogTime Secs,
                                 const TDateTimeFormat& Format) {
  return FormatLogTime(Pattern, Secs, Format.DateSeparator, Format.TimeSeparator);
}

} // namespace quorvin
