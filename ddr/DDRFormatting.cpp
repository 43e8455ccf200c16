// SPDX-License-Identifier: GPL-3.0-or-later
#include "ddr/DDRFormatting.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>

#include "core/DateTimeFormat.h"
#include "core/MiscUtil.h"

namespace quorvin {

namespace {

// Decimal digits of Magnitude into the end of Buf; returns the first digit.
char* UnsignedDigits(std::uint64_t Magnitude, char* End) {
  char* P = End;
  do {
    *--P = static_cast<char>('0' + Magnitude % 10);
    Magnitude /= 10;
  } while (Magnitude != 0);
  return P;
}

} // namespace

void AppendBlanks(std::string& Text, long long Count) {
  if (Count > 0) Text.append(static_cast<std::size_t>(Count), ' ');
}

std::string FormatFixed(std::int32_t Value, int Width, int Decimals) {
  std::string R;
  AppendFixed(R, Value, Width, Decimals);
  return R;
}

void AppendFixed(std::string& Out, std::int32_t Value, int Width, int Decimals) {
  if (Width < 0) Width = 0;
  if (Decimals < 0) Decimals = 0;
  const bool Negative = Value < 0;
  const std::uint64_t Magnitude =
      Negative ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(Value))
               : static_cast<std::uint64_t>(Value);
  if (Decimals <= 255) {
    // Built from the right in one buffer: fraction, point, integer digits
    // (at least "0"), sign; then padded on the left to Width.
    char Buf[288];
    char* const End = Buf + sizeof Buf;
    char* P = End;
    std::uint64_t M = Magnitude;
    if (Decimals > 0) {
      for (int K = 0; K < Decimals; ++K) {
        *--P = static_cast<char>('0' + M % 10);
        M /= 10;
      }
      *--P = '.';
    }
    do {
      *--P = static_cast<char>('0' + M % 10);
      M /= 10;
    } while (M != 0);
    if (Negative) *--P = '-';
    long long Len = End - P;
    if (Width > Len && Width - Len <= P - Buf) {
      // Blanks go into the same buffer: one append per field.
      const long long Pad = Width - Len;
      P -= Pad;
      std::memset(P, ' ', static_cast<std::size_t>(Pad));
      Len = Width;
    } else if (Width > Len) {
      Out.append(static_cast<std::size_t>(Width - Len), ' ');
    }
    Out.append(P, static_cast<std::size_t>(Len));
    return;
  }
  char DigitBuf[24];
  char* const DigitEnd = DigitBuf + sizeof DigitBuf;
  const char* Digits = UnsignedDigits(Magnitude, DigitEnd);
  const int Len = static_cast<int>(DigitEnd - Digits);

  // Sign, integer digits (at least "0" when the value is all fraction),
  // point and fraction padded with zeros on the left.
  int IntLen = Len > Decimals ? Len - Decimals : 0;
  int Total = (Negative ? 1 : 0) + (IntLen > 0 ? IntLen : 1) + (Decimals > 0 ? 1 + Decimals : 0);
  if (Magnitude == 0) Total = 1 + (Decimals > 0 ? 1 + Decimals : 0);
  AppendBlanks(Out, static_cast<long long>(Width) - Total);
  if (Magnitude == 0) {
    Out.push_back('0');
    if (Decimals > 0) {
      Out.push_back('.');
      Out.append(static_cast<std::size_t>(Decimals), '0');
    }
    return;
  }
  if (Negative) Out.push_back('-');
  if (IntLen > 0)
    Out.append(Digits, static_cast<std::size_t>(IntLen));
  else
    Out.push_back('0');
  if (Decimals > 0) {
    Out.push_back('.');
    if (Len < Decimals) Out.append(static_cast<std::size_t>(Decimals - Len), '0');
    Out.append(Digits + IntLen, static_cast<std::size_t>(Len - IntLen));
  }
}

// A real the way C's "%.*f" writes it in the C locale, whatever the process
// locale. The widest double with the most decimals a sensor can ask for (255)
// takes 566 characters.
void AppendReal(std::string& Out, double Value, int Decimals) {
  char Buf[700];
  auto R = std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::fixed,
                         std::clamp(Decimals, 0, 255));
  if (R.ec == std::errc()) Out.append(Buf, R.ptr);
}

// ---------------------------------------------------------------------------
// Time stamps

void TDDRTimeStamper::Compile(const std::string& Pattern, char DateSeparator, char TimeSeparator) {
  FPattern = Pattern;
  FDateSeparator = DateSeparator;
  FTimeSeparator = TimeSeparator;
  FCompiled = true;
  FTokenCount = 0;
  FTooLong = false;
  bool AfterHour = false;
  std::size_t I = 0;
  while (I < Pattern.size()) {
    if (FTokenCount == 64) {
      FTooLong = true;
      return;
    }
    const char C = UpCase(Pattern[I]);
    std::size_t Run = 1;
    if (C == 'Y' || C == 'M' || C == 'D' || C == 'H' || C == 'S')
      while (I + Run < Pattern.size() && UpCase(Pattern[I + Run]) == C) ++Run;
    TToken& T = FTokens[FTokenCount++];
    T.Width = Run >= 2 ? 2 : 1;
    T.Literal = 0;
    switch (C) {
    case 'Y':
      T.Kind = Run >= 3 ? 'Y' : 'y';
      AfterHour = false;
      break;
    case 'M':
      T.Kind = AfterHour ? 'N' : 'M';
      AfterHour = false;
      break;
    case 'D':
      T.Kind = 'D';
      AfterHour = false;
      break;
    case 'H':
      T.Kind = 'H';
      AfterHour = true;
      break;
    case 'S':
      T.Kind = 'S';
      AfterHour = false;
      break;
    case '/':
      T.Kind = 'L';
      T.Literal = DateSeparator;
      break;
    case ':':
      T.Kind = 'L';
      T.Literal = TimeSeparator;
      break;
    default:
      T.Kind = 'L';
      T.Literal = Pattern[I];
      break;
    }
    I += Run;
  }
}

void TDDRTimeStamper::Append(std::string& Out, std::int64_t Seconds, const std::string& Pattern,
                             char DateSeparator, char TimeSeparator) {
  // Times before the epoch have negative parts: leave them to the general code.
  if (Seconds < 0 || Seconds > INT32_MAX) {
    Out += FormatLogTime(Pattern, static_cast<LogTime>(Seconds), DateSeparator, TimeSeparator);
    return;
  }
  if (!FCompiled || DateSeparator != FDateSeparator || TimeSeparator != FTimeSeparator ||
      Pattern != FPattern)
    Compile(Pattern, DateSeparator, TimeSeparator);
  if (FTooLong) {
    Out += FormatLogTime(Pattern, static_cast<LogTime>(Seconds), DateSeparator, TimeSeparator);
    return;
  }
  const std::int64_t Day = DayOfTime(Seconds);
  if (Day != FDay) {
    DayNumberToDate(static_cast<int>(Day), FYear, FMonth, FDayOfMonth);
    FDay = Day;
  }
  const int SecOfDay = SecondOfDay(Seconds);
  const int Hour = SecOfDay / 3600, Minute = (SecOfDay % 3600) / 60, Second = SecOfDay % 60;
  // At most 64 tokens of at most 4 characters (a year of 9999 or less).
  char Buf[64 * 4 + 8];
  char* P = Buf;
  auto Two = [&P](int V, int Width) {
    if (Width == 2 || V >= 10) *P++ = static_cast<char>('0' + V / 10 % 10);
    *P++ = static_cast<char>('0' + V % 10);
  };
  for (int K = 0; K < FTokenCount; ++K) {
    const TToken& T = FTokens[K];
    switch (T.Kind) {
    case 'Y':
      if (FYear >= 0 && FYear <= 9999) {
        Two(FYear / 100, 2);
        Two(FYear % 100, 2);
      } else {
        Out.append(Buf, P);
        P = Buf;
        Out += std::to_string(FYear);
      }
      break;
    case 'y':
      Two(((FYear % 100) + 100) % 100, 2);
      break;
    case 'M':
      Two(FMonth, T.Width);
      break;
    case 'N':
      Two(Minute, T.Width);
      break;
    case 'D':
      Two(FDayOfMonth, T.Width);
      break;
    case 'H':
      Two(Hour, T.Width);
      break;
    case 'S':
      Two(Second, T.Width);
      break;
    default:
      *P++ = T.Literal;
      break;
    }
  }
  Out.append(Buf, P);
}

} // namespace quorvin
