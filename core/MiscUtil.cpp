// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MiscUtil.h"

#include <bit>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace quorvin {

namespace {

constexpr int DaysBeforeMonthTable[14] = {0,   0,   31,  59,  90,  120, 151,
                                          181, 212, 243, 273, 304, 334, 365};

// 1984-12-31, the log time origin, as a toolkit date-time value.
constexpr double LogOriginDateTime = 31047.0;

void CheckCalendarYear(long long Year) {
  if (Year < 1 || Year > 9999) throw ECalendarError("Invalid argument to date encode");
}

// Days since 1970-01-01 of a valid calendar date.
long long CivilDays(int Year, int Month, int Day) {
  using namespace std::chrono;
  year_month_day Ymd{year{Year}, month{static_cast<unsigned>(Month)},
                     day{static_cast<unsigned>(Day)}};
  if (!Ymd.ok()) throw ECalendarError("Invalid argument to date encode");
  return sys_days{Ymd}.time_since_epoch().count();
}

void CivilFromDays(long long Days, int& Year, int& Month, int& Day) {
  using namespace std::chrono;
  year_month_day Ymd{sys_days{days{Days}}};
  Year = static_cast<int>(Ymd.year());
  Month = static_cast<int>(static_cast<unsigned>(Ymd.month()));
  Day = static_cast<int>(static_cast<unsigned>(Ymd.day()));
}

LogTime Wrap32(long long Value) { return static_cast<LogTime>(static_cast<std::uint32_t>(Value)); }

} // namespace

bool IsLeapYear(int Year) {
  CheckCalendarYear(Year);
  return std::chrono::year{Year}.is_leap();
}

int DaysBeforeYear(int Year) {
  long long Y = Year >= 100 ? static_cast<long long>(Year) - 1985 : (Year + 15) % 100;
  if (Y < 0) Y = 0;
  CheckCalendarYear(1984 + Y);
  return static_cast<int>(CivilDays(static_cast<int>(1984 + Y), 12, 31) - CivilDays(1984, 12, 31));
}

int DaysBeforeMonth(int Year, int Month) {
  int Index = Month < 0 ? 0 : (Month > 13 ? 13 : Month);
  int Days = DaysBeforeMonthTable[Index];
  if (Month > 2 && IsLeapYear(Year)) ++Days;
  return Days;
}

std::uint16_t DayNumber(int Year, int Month, int Day) {
  while (Month > 13) {
    Month -= 12;
    ++Year;
  }
  if (Year == 0 && Month == 0 && Day == 0) return 0;
  if (Year < 1985) return 0;
  long long N = static_cast<long long>(DaysBeforeMonth(Year, Month)) + DaysBeforeYear(Year) + Day;
  return static_cast<std::uint16_t>(N);
}

void DayNumberToDate(int DayNo, int& Year, int& Month, int& Day) {
  // The product is a 32-bit log time, so day numbers past 24855 wrap.
  LogTime Secs = Wrap32(static_cast<long long>(DayNo) * SecsPerDay);
  DecodeDate(SecsToDateTime(Secs), Year, Month, Day);
}

std::int32_t SecondsOfDay(int Hour, int Minute, int Second) {
  return Wrap32(static_cast<long long>(Hour) * 3600 + static_cast<long long>(Minute) * 60 + Second);
}

void SplitSecondsOfDay(std::int32_t Secs, int& Hour, int& Minute, int& Second) {
  Hour = Secs / 3600;
  Minute = (Secs % 3600) / 60;
  Second = (Secs % 3600) % 60;
}

LogTime PartsToSecs(int Year, int Month, int Day, int Hour, int Minute, int Second) {
  return Wrap32(static_cast<long long>(DayNumber(Year, Month, Day)) * SecsPerDay +
                SecondsOfDay(Hour, Minute, Second));
}

std::int64_t DayOfTime(std::int64_t Secs) {
  return Secs >= 0 ? Secs / SecsPerDay : -((-Secs + SecsPerDay - 1) / SecsPerDay);
}

int SecondOfDay(std::int64_t Secs) { return static_cast<int>(Secs - DayOfTime(Secs) * SecsPerDay); }

void SecsToParts(LogTime Secs, int& Year, int& Month, int& Day, int& Hour, int& Minute,
                 int& Second) {
  DayNumberToDate(static_cast<int>(DayOfTime(Secs)), Year, Month, Day);
  SplitSecondsOfDay(SecondOfDay(Secs), Hour, Minute, Second);
}

namespace {
std::tm LocalNow() {
  std::time_t Now = std::time(nullptr);
  std::tm Local{};
  localtime_r(&Now, &Local);
  return Local;
}
} // namespace

LogTime NowSecs() {
  // One reading of the clock, so the day and the time of day agree.
  const std::tm L = LocalNow();
  return PartsToSecs(L.tm_year + 1900, L.tm_mon + 1, L.tm_mday, L.tm_hour, L.tm_min, L.tm_sec);
}

bool IsLogDate(int Year, int Month, int Day) {
  const auto Key = [](int Y, int M, int D) { return (Y * 100 + M) * 100 + D; };
  const int K = Key(Year, Month, Day);
  return K >= Key(FirstLogDay[0], FirstLogDay[1], FirstLogDay[2]) &&
         K <= Key(LastLogDay[0], LastLogDay[1], LastLogDay[2]);
}

bool IsCalendarDate(int Year, int Month, int Day) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1) return false;
  using namespace std::chrono;
  return year_month_day{year{Year}, month{static_cast<unsigned>(Month)},
                        day{static_cast<unsigned>(Day)}}
      .ok();
}

std::string IsoDateText(const int (&Date)[3]) {
  char B[16];
  std::snprintf(B, sizeof B, "%04d-%02d-%02d", Date[0], Date[1], Date[2]);
  return B;
}

TDateTime SecsToDateTime(LogTime Secs) { return LogOriginDateTime + Secs / double(SecsPerDay); }

LogTime DateTimeToSecs(TDateTime Value) {
  double S = (Value - LogOriginDateTime) * SecsPerDay;
  if (!std::isfinite(S)) return 0;
  // nearbyint rounds halves to even in the default rounding mode.
  double R = std::nearbyint(S);
  if (R > 9.2e18 || R < -9.2e18) return 0;
  return Wrap32(static_cast<long long>(R));
}

void DecodeDate(TDateTime Value, int& Year, int& Month, int& Day) {
  long long Days =
      static_cast<long long>(std::floor(Value)) - static_cast<long long>(UnixEpochDateTime);
  CivilFromDays(Days, Year, Month, Day);
}

TDateTime EncodeDate(int Year, int Month, int Day) {
  CheckCalendarYear(Year);
  return static_cast<double>(CivilDays(Year, Month, Day)) + UnixEpochDateTime;
}

bool StrToFloatOK(const std::string& Text, double& Number) {
  // Blanks around the number are passed over, as the plain conversion does.
  std::size_t B = 0, E = Text.size();
  while (B < E && Text[B] == ' ') ++B;
  while (E > B && Text[E - 1] == ' ') --E;
  std::size_t P = B;
  bool Negative = false;
  if (P < E && (Text[P] == '+' || Text[P] == '-')) {
    Negative = Text[P] == '-';
    ++P;
  }
  // Only digits, one point and an exponent: no "inf", "nan" or hex forms.
  std::size_t Start = P, Digits = 0;
  while (P < E && Text[P] >= '0' && Text[P] <= '9') ++P, ++Digits;
  if (P < E && Text[P] == '.') {
    ++P;
    while (P < E && Text[P] >= '0' && Text[P] <= '9') ++P, ++Digits;
  }
  if (Digits == 0) return false;
  if (P < E && (Text[P] == 'e' || Text[P] == 'E')) {
    ++P;
    if (P < E && (Text[P] == '+' || Text[P] == '-')) ++P;
    std::size_t ExpDigits = 0;
    while (P < E && Text[P] >= '0' && Text[P] <= '9') ++P, ++ExpDigits;
    if (ExpDigits == 0) return false;
  }
  if (P != E) return false;
  std::string Body = Text.substr(Start, E - Start);
  if (Body[0] == '.') Body.insert(Body.begin(), '0');
  double V = 0;
  auto [Ptr, Ec] = std::from_chars(Body.data(), Body.data() + Body.size(), V);
  if (Ec != std::errc() || Ptr != Body.data() + Body.size()) return false;
  Number = Negative ? -V : V;
  return true;
}

bool ParseYesNo(const std::string& Text, bool Default) {
  const std::string Upper = UpperCase(Text);
  if (Upper == "YES") return true;
  if (Upper == "NO") return false;
  return Default;
}

std::string AppendField(const std::string& Line, const std::string& Separator,
                        const std::string& Field) {
  return Line.empty() ? Field : Line + Separator + Field;
}

std::string SplitAt(char Ch, std::string& Text) {
  std::size_t P = Text.find(Ch);
  if (P == std::string::npos) return Text;
  std::string Head = Text.substr(0, P);
  Text.erase(0, P + 1);
  return Head;
}

std::string MissingValueDashes(int Width, int Digits) {
  std::string Text;
  int Pad;
  if (Digits <= 0) {
    Text = "-";
    // A value without decimals is one character narrower than "-.-" forms:
    // pad to the full width so the dash stands where the digits would.
    Pad = Digits == 0 ? Width - 1 : Width - Digits - 2;
  } else {
    Text = "-." + std::string(static_cast<std::size_t>(Digits), '-');
    Pad = Width - Digits - 2;
  }
  if (Pad > 0) return std::string(static_cast<std::size_t>(Pad), ' ') + Text;
  return Text;
}

bool MatchMask(const std::string& Name, const std::string& Mask) {
  for (std::size_t I = 0; I < Name.size(); ++I) {
    if (I >= Mask.size()) return false;
    if (Mask[I] == '*') return true;
    if (Mask[I] != '?' && Mask[I] != Name[I]) return false;
  }
  return Mask.size() == Name.size();
}

std::string UpperCase(std::string_view Text) {
  std::string R(Text);
  for (char& C : R) C = UpCase(C);
  return R;
}

bool SameText(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (UpCase(A[I]) != UpCase(B[I])) return false;
  return true;
}

} // namespace quorvin
