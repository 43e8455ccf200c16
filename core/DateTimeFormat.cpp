// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/DateTimeFormat.h"

#include <cctype>
#include <cstdio>
#include <langinfo.h>

namespace quorvin {

void SetDateTimeFormat(TDateTimeFormat& Format, const std::string& Name) {
  std::size_t Blank = Name.find(' ');
  if (Blank == std::string::npos) {
    Format.DatePattern = Name;
    Format.TimePattern = Name;
  } else {
    Format.DatePattern = Name.substr(0, Blank);
    Format.TimePattern = Name.substr(Blank + 1);
  }
}

void ApplySeparators(TDateTimeFormat& Format, bool UseSystem) {
  if (UseSystem) {
    Format.DateSeparator = Format.SystemDateSeparator;
    Format.TimeSeparator = Format.SystemTimeSeparator;
  } else {
    Format.DateSeparator = '/';
    Format.TimeSeparator = ':';
  }
}

std::string DateTimeFormatName(const TDateTimeFormat& Format) {
  return Format.DatePattern + " " + Format.TimePattern;
}

namespace {

// The first literal character between the directives of a strftime format.
char FirstLiteral(const char* Fmt, char Fallback) {
  if (!Fmt) return Fallback;
  for (const char* P = Fmt; *P; ++P) {
    if (*P == '%') {
      ++P;
      while (*P == 'E' || *P == 'O' || *P == '-' || *P == '_' || *P == '0' || *P == '^' ||
             *P == '#')
        ++P;
      if (!*P) break;
      continue;
    }
    unsigned char C = static_cast<unsigned char>(*P);
    if (!std::isalnum(C) && C != ' ') return *P;
  }
  return Fallback;
}

// Zero-filled to Width digits; every line of an export renders a time, so
// this avoids the cost of a formatted print.
void AppendNumber(std::string& Out, int Value, int Width) {
  if (Value < 0) {
    char Buf[24];
    std::snprintf(Buf, sizeof Buf, "%0*d", Width, Value);
    Out += Buf;
    return;
  }
  char Buf[12];
  int N = 0;
  do {
    Buf[N++] = static_cast<char>('0' + Value % 10);
    Value /= 10;
  } while (Value > 0);
  for (int I = N; I < Width; ++I) Out += '0';
  while (N > 0) Out += Buf[--N];
}

} // namespace

void SystemSeparators(char& DateSeparator, char& TimeSeparator) {
  DateSeparator = FirstLiteral(nl_langinfo(D_FMT), '/');
  TimeSeparator = FirstLiteral(nl_langinfo(T_FMT), ':');
}

std::string FormatLogTime(const std::string& Pattern, LogTime Secs, char DateSeparator,
                          char TimeSeparator) {
  int Year, Month, Day, Hour, Minute, Second;
  SecsToParts(Secs, Year, Month, Day, Hour, Minute, Second);
  std::string Out;
  bool AfterHour = false;
  std::size_t I = 0;
  while (I < Pattern.size()) {
    const char C = UpCase(Pattern[I]);
    std::size_t Run = 1;
    if (C == 'Y' || C == 'M' || C == 'D' || C == 'H' || C == 'S') {
      while (I + Run < Pattern.size() && UpCase(Pattern[I + Run]) == C) ++Run;
    }
    int Width = Run >= 2 ? 2 : 1;
    switch (C) {
    case 'Y':
      if (Run >= 3)
        AppendNumber(Out, Year, 4);
      else
        AppendNumber(Out, ((Year % 100) + 100) % 100, 2);
      AfterHour = false;
      break;
    case 'M':
      // After an hour, M means minutes; anywhere else the month.
      AppendNumber(Out, AfterHour ? Minute : Month, Width);
      AfterHour = false;
      break;
    case 'D':
      AppendNumber(Out, Day, Width);
      AfterHour = false;
      break;
    case 'H':
      AppendNumber(Out, Hour, Width);
      AfterHour = true;
      break;
    case 'S':
      AppendNumber(Out, Second, Width);
      AfterHour = false;
      break;
    case '/':
      Out += DateSeparator;
      break;
    case ':':
      Out += TimeSeparator;
      break;
    default:
      Out += Pattern[I];
      break;
    }
    I += Run;
  }
  return Out;
}

} // namespace quorvin
