// SPDX-License-Identifier: GPL-3.0-or-later
// How the DDR converter writes values and times: integers with implied
// decimals in fixed-width columns, reals as C's "%.*f" writes them, and
// time stamps in the current date-time pattern. Every number uses "." as
// its point whatever the locale. The appending forms build no temporaries:
// a scan line is made of many of them.
#pragma once

#include <cstdint>
#include <string>

namespace quorvin {

// Count blanks, none for a count of 0 or less.
void AppendBlanks(std::string& Text, long long Count);
// An integer with Decimals implied decimal places, right-aligned in Width.
// A value too long for the field is written whole and the field grows.
std::string FormatFixed(std::int32_t Value, int Width, int Decimals);
void AppendFixed(std::string& Out, std::int32_t Value, int Width, int Decimals);
// A real with exactly Decimals digits after the point (0 to 255), no padding.
void AppendReal(std::string& Out, double Value, int Decimals);

// Renders time stamps as FormatLogTime does, without its per-call costs:
// the pattern is read once and the calendar date is worked out once a day.
class TDDRTimeStamper {
public:
  void Append(std::string& Out, std::int64_t Seconds, const std::string& Pattern,
              char DateSeparator, char TimeSeparator);

private:
  struct TToken {
    char Kind; // Y year, y two-digit year, M month, N minute, D day, H hour, S second, L literal
    int Width; // 1 or 2 for the two-digit fields
    char Literal;
  };
  void Compile(const std::string& Pattern, char DateSeparator, char TimeSeparator);

  std::string FPattern;
  char FDateSeparator = 0;
  char FTimeSeparator = 0;
  bool FCompiled = false;
  TToken FTokens[64];
  int FTokenCount = 0;
  bool FTooLong = false;
  std::int64_t FDay = -1;
  int FYear = 0, FMonth = 0, FDayOfMonth = 0;
};

} // namespace quorvin
