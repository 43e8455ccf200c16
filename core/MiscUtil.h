// SPDX-License-Identifier: GPL-3.0-or-later
// The program's time base and small text, number and date helpers.
//
// Log time: signed 32-bit seconds since 1984-12-31 00:00:00 wall-clock time,
// with no zone and no daylight saving. Day numbers count days with
// 1 = 1985-01-01 and 0 = 1984-12-31. Nothing here applies a time zone except
// NowSecs, which reads the local clock.
#pragma once

#include <bit>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quorvin {

using LogTime = std::int32_t;

// The seconds of a day: the log time base has no leap seconds.
inline constexpr int SecsPerDay = 86400;

// Raised by the calendar for years outside 1 to 9999; header decoding catches it.
class ECalendarError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The value both log readers answer for "nothing recorded here": the
// single-precision bit pattern FFFFFFFF. Compare bit patterns, never values.
constexpr std::uint32_t NonRecordedBits = 0xFFFFFFFFu;
// Inline: every reading of every export goes through them.
inline float NonRecordedValue() { return std::bit_cast<float>(NonRecordedBits); }
inline bool IsNonRecorded(float Value) {
  return std::bit_cast<std::uint32_t>(Value) == NonRecordedBits;
}

// Date-time value of the window toolkit: days since 1899-12-30, the fraction
// being the time of day.
using TDateTime = double;
// 1970-01-01 as a date-time value: where millisecond clocks begin.
inline constexpr TDateTime UnixEpochDateTime = 25569.0;

bool IsLeapYear(int Year);
int DaysBeforeYear(int Year);
int DaysBeforeMonth(int Year, int Month);
std::uint16_t DayNumber(int Year, int Month, int Day);
void DayNumberToDate(int DayNo, int& Year, int& Month, int& Day);
std::int32_t SecondsOfDay(int Hour, int Minute, int Second);
void SplitSecondsOfDay(std::int32_t Secs, int& Hour, int& Minute, int& Second);
// The day of a time in seconds (0 = 1984-12-31; days before it negative)
// and the second of that day, 0 to 86399: floored, so a time before the
// origin still has ordinary fields.
std::int64_t DayOfTime(std::int64_t Secs);
int SecondOfDay(std::int64_t Secs);
LogTime PartsToSecs(int Year, int Month, int Day, int Hour, int Minute, int Second);
void SecsToParts(LogTime Secs, int& Year, int& Month, int& Day, int& Hour, int& Minute,
                 int& Second);

// The local clock as a log time.
LogTime NowSecs();

// The calendar days a log time holds whole, from its first day (log time 0,
// where every log with an earlier or two-digit start year lands) to the last
// before it runs out (2053-01-18 03:14:07): what a date picker offers, a
// date argument may name and a CSV row may carry.
inline constexpr int FirstLogDay[3] = {1984, 12, 31};
inline constexpr int LastLogDay[3] = {2053, 1, 17};
bool IsLogDate(int Year, int Month, int Day);
// True for a day of the Gregorian calendar (years 1 to 9999): month 1 to 12,
// day 1 to the month's last.
bool IsCalendarDate(int Year, int Month, int Day);
// "YYYY-MM-DD" of a three-part date such as FirstLogDay.
std::string IsoDateText(const int (&Date)[3]);

TDateTime SecsToDateTime(LogTime Secs);
LogTime DateTimeToSecs(TDateTime Value);
// Calendar date of a date-time value (its whole days).
void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day);
TDateTime EncodeDate(int Year, int Month, int Day);

// Whole-text decimal conversion with "." as decimal point, whatever the locale.
bool StrToFloatOK(const std::string& Text, double& Number);

// "YES" or "NO" compared in upper case; Default for any other text.
bool ParseYesNo(const std::string& Text, bool Default);

std::string AppendField(const std::string& Line, const std::string& Separator,
                        const std::string& Field);
// Splits Text at the first Ch: returns the part before it and leaves the part
// after it in Text; without Ch returns Text whole and leaves Text unchanged.
std::string SplitAt(char Ch, std::string& Text);
std::string MissingValueDashes(int Width, int Digits);
// Loggers and recorders store a single digit of decimals; a larger count in
// a file is corrupt and is read as this many, so it cannot make every value
// tens of thousands of characters long.
constexpr int MaxRightDigits = 15;
bool MatchMask(const std::string& Name, const std::string& Mask);

// ASCII upper case: only a to z change, whatever the locale, so names,
// keys and file extensions compare the same everywhere.
constexpr char UpCase(char C) {
  return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C;
}
std::string UpperCase(std::string_view Text);
// Equal without regard to ASCII case.
bool SameText(std::string_view A, std::string_view B);

} // namespace quorvin
