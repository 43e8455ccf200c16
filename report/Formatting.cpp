#include "report/Formatting.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

namespace quorvin {

namespace {

// Longest run of padding blanks a line ever gets.
constexpr int MaxPadding = 46;

std::string ZeroFilled(long long Number, int MinDigits) {
  std::string Digits = std::to_string(Number < 0 ? -Number : Number);
  if (static_cast<int>(Digits.size()) < MinDigits)
    Digits.insert(0, static_cast<std::size_t>(MinDigits) - Digits.size(), '0');
  return Number < 0 ? "-" + Digits : Digits;
}

// Fallback for values too large for the exact integer path: the shortest
// correctly rounded fixed notation of the standard library.
std::string FixedByToChars(double Value, int RightDigits) {
  std::vector<char> Buffer(static_cast<std::size_t>(RightDigits) + 400);
  auto [End, Ec] = std::to_chars(Buffer.data(), Buffer.data() + Buffer.size(), Value,
                                 std::chars_format::fixed, RightDigits);
  if (Ec != std::errc()) return std::string();
  return std::string(Buffer.data(), End);
}

} // namespace

int DayOfYear(LogTime Time) {
  int Year, Month, Day, Hour, Minute, Second;
  SecsToParts(Time, Year, Month, Day, Hour, Minute, Second);
  return DaysBeforeMonth(Year, Month) + Day;
}

std::string DayOfYearText(LogTime Time) { return ZeroFilled(DayOfYear(Time), 3); }

std::string SecondsOfDayText(LogTime Time) { return ZeroFilled(SecondOfDay(Time), 6); }

std::string PadBlanks(int Count) {
  if (Count <= 0) return std::string();
  return std::string(static_cast<std::size_t>(Count > MaxPadding ? MaxPadding : Count), ' ');
}

std::string FormatLineTime(const std::string& Separator, bool Fixed, bool NewDay, LogTime Time,
                           const TLogPrnOptions& Options, const TDateTimeFormat& Format) {
  std::string D;
  if (Options.R600ASCII && !NewDay)
    D = std::string(Options.DisplayJulianDate ? 3 : Format.DatePattern.size(), ' ');
  else if (Options.DisplayJulianDate)
    D = DayOfYearText(Time);
  else
    D = FormatLogTime(Format.DatePattern, Time, Format);

  std::string PD;
  if (Fixed) PD = PadBlanks((Options.R600ASCII ? 10 : 11) - static_cast<int>(D.size()));

  const std::string T = Options.DisplaySeconds ? SecondsOfDayText(Time)
                                               : FormatLogTime(Format.TimePattern, Time, Format);
  std::string PT;
  if (Fixed) PT = PadBlanks(8 - static_cast<int>(T.size()));

  std::string Result;
  Result.reserve(D.size() + Separator.size() + PD.size() + PT.size() + T.size());
  Result += D;
  Result += Separator;
  Result += PD;
  Result += PT;
  Result += T;
  return Result;
}

void AppendFormattedValue(std::string& Out, float Value, int RightDigits) {
  const double V = Value;
  if (RightDigits < 0) RightDigits = 0;
  if (std::isnan(V)) {
    Out += "NAN";
    return;
  }
  if (std::isinf(V)) {
    Out += V < 0 ? "-INF" : "INF";
    return;
  }

  // A single has 24 significant bits and 10^17 needs 40 more: the product
  // is exact in the 64-bit mantissa of long double, so the rounding below
  // sees the value's true decimal expansion.
  static constexpr long double Powers[18] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,
                                             1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L,
                                             1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L};
  long long N = 0;
  bool Exact = false;
  if (RightDigits <= 12) {
    // 5^12 needs 28 bits: up to 12 decimals the product is exact even in a
    // double, which is much faster than the extended type.
    static constexpr double DPowers[13] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                           1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
    const double Scaled = V * DPowers[RightDigits];
    if (Scaled < 9.0e18 && Scaled > -9.0e18) {
      N = static_cast<long long>(Scaled);
      const double Frac = Scaled - static_cast<double>(N);
      if (Frac >= 0.5)
        ++N;
      else if (Frac <= -0.5)
        --N;
      Exact = true;
    }
  } else if (RightDigits <= 17) {
    const long double Scaled = static_cast<long double>(V) * Powers[RightDigits];
    if (Scaled < 9.0e18L && Scaled > -9.0e18L) {
      // Halves away from zero; the fraction is exact.
      N = static_cast<long long>(Scaled);
      const long double Frac = Scaled - static_cast<long double>(N);
      if (Frac >= 0.5L)
        ++N;
      else if (Frac <= -0.5L)
        --N;
      Exact = true;
    }
  }
  if (Exact) {
    // Digits of |N| right-aligned in at least RightDigits + 1 places,
    // zero-filled, with the point before the last RightDigits.
    char Buf[48];
    char* const End = Buf + sizeof Buf;
    char* P = End;
    unsigned long long U =
        N < 0 ? 0ull - static_cast<unsigned long long>(N) : static_cast<unsigned long long>(N);
    for (int i = 0; i < RightDigits; ++i) {
      *--P = static_cast<char>('0' + U % 10);
      U /= 10;
    }
    if (RightDigits > 0) *--P = '.';
    do {
      *--P = static_cast<char>('0' + U % 10);
      U /= 10;
    } while (U != 0);
    if (N < 0) *--P = '-';
    Out.append(P, static_cast<std::size_t>(End - P));
    return;
  }
  Out += FixedByToChars(V, RightDigits);
}

namespace {

bool HasAnyOf(const std::string& Pattern, const char* Letters) {
  return UpperCase(Pattern).find_first_of(Letters) != std::string::npos;
}

// True when Pattern renders the time of day only: no year or day letters,
// and every "MM" comes after an "HH" (so it means minutes).
bool TimeOfDayOnly(const std::string& Pattern) {
  const std::string P = UpperCase(Pattern);
  if (P.find_first_of("YD") != std::string::npos) return false;
  const std::size_t Mm = P.find("MM");
  return Mm == std::string::npos || P.find("HH") < Mm;
}

} // namespace

TLineTimeFormatter::TLineTimeFormatter(const std::string& Separator, bool Fixed,
                                       const TLogPrnOptions& Options, const TDateTimeFormat& Format)
    : FSeparator(Separator), FFixed(Fixed), FOptions(Options), FFormat(Format),
      FDateOnly(!HasAnyOf(Format.DatePattern, "HS")), FTimeOnly(TimeOfDayOnly(Format.TimePattern)),
      FBlankDate(Options.DisplayJulianDate ? 3 : Format.DatePattern.size(), ' ') {}

const std::string& TLineTimeFormatter::DateText(LogTime Time) {
  const std::int64_t Day = DayOfTime(Time);
  if (Day == FDay && (FDateOnly || FOptions.DisplayJulianDate)) return FDate;
  FDay = Day;
  FDate = FOptions.DisplayJulianDate ? DayOfYearText(Time)
                                     : FormatLogTime(FFormat.DatePattern, Time, FFormat);
  return FDate;
}

const std::string& TLineTimeFormatter::TimeText(LogTime Time) {
  const std::size_t Second = static_cast<std::size_t>(SecondOfDay(Time));
  if (FOptions.DisplaySeconds || FTimeOnly) {
    if (FTimes.empty()) FTimes.resize(86400);
    std::string& T = FTimes[Second];
    if (T.empty())
      T = FOptions.DisplaySeconds ? SecondsOfDayText(Time)
                                  : FormatLogTime(FFormat.TimePattern, Time, FFormat);
    return T;
  }
  FScratch = FormatLogTime(FFormat.TimePattern, Time, FFormat);
  return FScratch;
}

void TLineTimeFormatter::Append(std::string& Line, bool NewDay, LogTime Time) {
  const std::string& D = (FOptions.R600ASCII && !NewDay) ? FBlankDate : DateText(Time);
  const std::string& T = TimeText(Time);
  Line += D;
  Line += FSeparator;
  if (FFixed) {
    const int PD = (FOptions.R600ASCII ? 10 : 11) - static_cast<int>(D.size());
    const int PT = 8 - static_cast<int>(T.size());
    if (PD > 0) Line.append(static_cast<std::size_t>(std::min(PD, MaxPadding)), ' ');
    if (PT > 0) Line.append(static_cast<std::size_t>(std::min(PT, MaxPadding)), ' ');
  }
  Line += T;
}

std::string FormatValue(float Value, int RightDigits) {
  std::string Text;
  AppendFormattedValue(Text, Value, RightDigits);
  return Text;
}

TNonRecordedMode NonRecordedMode(const TLogPrnOptions& Options) {
  const int Set =
      int(Options.DisplayAsDash) + int(Options.DisplayAsZero) + int(Options.ExcludeNonRecItems);
  if (Set == 1 && Options.DisplayAsZero) return TNonRecordedMode::Zero;
  if (Set == 1 && Options.ExcludeNonRecItems) return TNonRecordedMode::Exclude;
  return TNonRecordedMode::Dashes;
}

std::string NonRecordedText(const TLogPrnOptions& Options, int RightDigits) {
  switch (NonRecordedMode(Options)) {
  case TNonRecordedMode::Zero:
    return FormatValue(0.0f, RightDigits);
  case TNonRecordedMode::Exclude:
    return std::string();
  case TNonRecordedMode::Dashes:
    break;
  }
  return MissingValueDashes(0, RightDigits);
}

bool UsesFixedColumns(const TLogPrnOptions& Options, int CommandMode) {
  return Options.OutputFormat != OutputFormatExcel &&
         (Options.DisplayFixedFormat || !IsSaving(CommandMode));
}

std::string GetFieldSeparator(const TLogPrnOptions& Options, int CommandMode) {
  if (Options.OutputFormat == OutputFormatExcel) return IsSaving(CommandMode) ? "\t" : " ";
  return Options.DisplayFixedFormat ? " " : ",";
}

} // namespace quorvin
