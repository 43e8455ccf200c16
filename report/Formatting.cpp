#include "report/Formatting.h"

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

std::string SecondsOfDayText(LogTime Time) {
  int Year, Month, Day, Hour, Minute, Second;
  SecsToParts(Time, Year, Month, Day, Hour, Minute, Second);
  return ZeroFilled(SecondsOfDay(Hour, Minute, Second), 6);
}

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

std::string FormatValue(float Value, int RightDigits) {
  const double V = Value;
  if (RightDigits < 0) RightDigits = 0;
  if (std::isnan(V)) return "NAN";
  if (std::isinf(V)) return V < 0 ? "-INF" : "INF";

  // A single has 24 significant bits and 10^17 needs 40 more: the product
  // is exact in the 64-bit mantissa of long double, so the rounding below
  // sees the value's true decimal expansion.
  if (RightDigits <= 17) {
    long double Scaled = static_cast<long double>(V);
    for (int i = 0; i < RightDigits; ++i) Scaled *= 10.0L;
    const long double Rounded = std::round(Scaled); // halves away from zero
    if (std::fabs(Rounded) < 9.0e18L) {
      const long long N = static_cast<long long>(Rounded);
      char Digits[24];
      const auto Res = std::to_chars(Digits, Digits + sizeof Digits, N < 0 ? -N : N);
      const int Count = static_cast<int>(Res.ptr - Digits);
      const int IntDigits = Count > RightDigits ? Count - RightDigits : 1;
      std::string Text;
      Text.reserve(static_cast<std::size_t>(IntDigits + RightDigits + 2));
      if (N < 0) Text += '-';
      // Digits right-aligned in IntDigits + RightDigits places, zero-filled.
      const int Width = IntDigits + RightDigits;
      for (int i = 0; i < Width; ++i) {
        if (i == IntDigits) Text += '.';
        const int k = i - (Width - Count);
        Text += k >= 0 ? Digits[k] : '0';
      }
      return Text;
    }
  }
  return FixedByToChars(V, RightDigits);
}

TNonRecordedMode NonRecordedMode(const TLogPrnOptions& Options) {
  const int Set = int(Options.DisplayAsDash) + int(Options.DisplayAsZero) +
                  int(Options.ExcludeNonRecItems);
  if (Set == 1 && Options.DisplayAsZero) return TNonRecordedMode::Zero;
  if (Set == 1 && Options.ExcludeNonRecItems) return TNonRecordedMode::Exclude;
  return TNonRecordedMode::Dashes;
}

std::string NonRecordedText(const TLogPrnOptions& Options, int RightDigits) {
  switch (NonRecordedMode(Options)) {
  case TNonRecordedMode::Zero: return FormatValue(0.0f, RightDigits);
  case TNonRecordedMode::Exclude: return std::string();
  case TNonRecordedMode::Dashes: break;
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
