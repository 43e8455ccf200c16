// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/Formatting.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quorvin {

namespace {

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

namespace {

// Two decimal digits for each number below 100.
constexpr char DigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233"
                              "34353637383940414243444546474849505152535455565758596061626364656667"
                              "68697071727374757677787980818283848586878889909192939495969798"
                              "99";

// The digits of U, ending just before End; answers where they start.
template <typename TUnsigned>
char* DigitsBefore(char* End, TUnsigned U) {
  while (U >= 100) {
    End -= 2;
    std::memcpy(End, DigitPairs + 2 * (U % 100), 2);
    U /= 100;
  }
  if (U >= 10) {
    End -= 2;
    std::memcpy(End, DigitPairs + 2 * U, 2);
  } else {
    *--End = static_cast<char>('0' + U);
  }
  return End;
}

constexpr std::uint64_t PowersOfTen[20] = {1ull,
                                           10ull,
                                           100ull,
                                           1000ull,
                                           10000ull,
                                           100000ull,
                                           1000000ull,
                                           10000000ull,
                                           100000000ull,
                                           1000000000ull,
                                           10000000000ull,
                                           100000000000ull,
                                           1000000000000ull,
                                           10000000000000ull,
                                           100000000000000ull,
                                           1000000000000000ull,
                                           10000000000000000ull,
                                           100000000000000000ull,
                                           1000000000000000000ull,
                                           10000000000000000000ull};

// Texts of the fast paths: at most 38 characters, blanks written 48 at a
// time (the padding is at most 46).
constexpr std::size_t FastRoom = 48;

// The last Count digits of U (zero-filled), ending just before End; U
// keeps the digits before them.
template <typename TUnsigned>
char* LastDigitsBefore(char* End, TUnsigned& U, int Count) {
  for (; Count >= 2; Count -= 2) {
    End -= 2;
    std::memcpy(End, DigitPairs + 2 * (U % 100), 2);
    U /= 100;
  }
  if (Count == 1) {
    *--End = static_cast<char>('0' + U % 10);
    U /= 10;
  }
  return End;
}

// Digits of U, at least 1.
int DigitCount(std::uint64_t U) {
  const int Guess = (std::bit_width(U | 1) * 1233) >> 12; // log10 from log2
  return std::max(Guess + (U >= PowersOfTen[Guess]), 1);
}

template <typename TUnsigned>
char* PutScaledDigits(char* Out, TUnsigned U, bool Negative, int RightDigits, int Width) {
  const int Digits = std::max(DigitCount(U), RightDigits + 1);
  const int Length = Negative + Digits + (RightDigits > 0);
  if (Width > Length) {
    std::memset(Out, ' ', FastRoom);
    Out += std::min(Width - Length, MaxPadding);
  }
  char* P = Out + Length;
  if (RightDigits > 0) {
    P = LastDigitsBefore(P, U, RightDigits);
    *--P = '.';
  }
  P = DigitsBefore(P, U);
  if (Negative) *--P = '-';
  return Out + Length;
}

// The eight decimal digits of U (below 10^8, zero-filled) as byte values
// 0 to 9 in memory order: the first digit in the lowest byte. Each step
// splits every lane of the word in two at once.
inline std::uint64_t EightDigits(std::uint32_t U) {
  std::uint64_t W = (U / 10000) | (static_cast<std::uint64_t>(U % 10000) << 32);
  // Four digits to two pairs: v / 100 is (v * 10486) >> 20 below 10^4.
  const std::uint64_t Hundreds = ((W * 10486) >> 20) & 0x0000007F0000007Full;
  W = ((W - Hundreds * 100) << 16) | Hundreds;
  // Pairs to digits: v / 10 is (v * 103) >> 10 below 100.
  const std::uint64_t Tens = ((W * 103) >> 10) & 0x000F000F000F000Full;
  return ((W - Tens * 10) << 8) | Tens;
}

// PutScaledDigits for U below 10^8 and fewer than 8 decimals, without a
// branch per digit: the digits land with two unaligned 8-byte stores, whose
// bytes past the text are overwritten later (the room of the fast path).
inline char* PutScaledSmall(char* Out, std::uint32_t U, bool Negative, int RightDigits, int Width) {
  const std::uint64_t Values = EightDigits(U);
  // The leading zeros are the lowest bytes that are 0 (all eight for 0).
  const int Significant = 8 - std::countr_zero(Values) / 8;
  const int Digits = std::max(Significant, RightDigits + 1);
  const int Length = Negative + Digits + (RightDigits > 0);
  if (Width > Length) {
    std::memset(Out, ' ', FastRoom);
    Out += std::min(Width - Length, MaxPadding);
  }
  *Out = '-';
  char* P = Out + Negative;
  // The last Digits digits, first in the lowest byte.
  const std::uint64_t Text = (Values | 0x3030303030303030ull) >> (8 * (8 - Digits));
  std::memcpy(P, &Text, 8);
  if (RightDigits > 0) {
    const int Whole = Digits - RightDigits;
    const std::uint64_t Decimals = Text >> (8 * Whole);
    P[Whole] = '.';
    std::memcpy(P + Whole + 1, &Decimals, 8);
  }
  return Out + Length;
}

// N with the point before its last RightDigits digits (at most 17),
// zero-filled so a digit stands before the point, and zero without a sign;
// right-aligned in Width when Width is more than its length. Written in
// place, from its end backwards, once its length is known.
inline char* PutScaled(char* Out, long long N, int RightDigits, int Width) {
  // The magnitude without a branch: signs come in no order a processor
  // could foresee.
  const std::uint64_t Sign = static_cast<std::uint64_t>(N >> 63);
  const std::uint64_t U = (static_cast<std::uint64_t>(N) ^ Sign) - Sign;
  if constexpr (std::endian::native == std::endian::little)
    if (U < 100000000ull && RightDigits < 8)
      return PutScaledSmall(Out, static_cast<std::uint32_t>(U), N < 0, RightDigits, Width);
  if (U <= 0xFFFFFFFFull)
    return PutScaledDigits(Out, static_cast<std::uint32_t>(U), N < 0, RightDigits, Width);
  return PutScaledDigits(Out, U, N < 0, RightDigits, Width);
}

// The integer holding the value's rounded decimals, for the values with an
// exact integer path; false for the others (not a number, infinite, too
// large, more than 17 decimals).
inline bool ScaledValue(float Value, int RightDigits, long long& N) {
  if (!std::isfinite(Value)) return false;
  const double V = Value;
  if (RightDigits <= 12) {
    // 5^12 needs 28 bits and a single has 24: up to 12 decimals the product
    // is exact in a double, so the rounding sees the true decimal expansion.
    static constexpr double Powers[13] = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                          1e7, 1e8, 1e9, 1e10, 1e11, 1e12};
    const double Scaled = V * Powers[RightDigits];
    const double Magnitude = std::fabs(Scaled);
    if (!(Magnitude < 9.0e18)) return false;
    // Halves away from zero. Below 2^52 adding a half is exact, so cutting
    // off the fraction afterwards rounds the true value; above, the product
    // is a whole number already.
    N = static_cast<long long>(Magnitude < 0x1p52 ? Scaled + std::copysign(0.5, Scaled) : Scaled);
    return true;
  }
  if (RightDigits > 17) return false;
  // 10^17 needs 40 bits more: exact in the 64-bit mantissa of long double.
  static constexpr long double Powers[18] = {1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,
                                             1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L,
                                             1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L};
  const long double Scaled = static_cast<long double>(V) * Powers[RightDigits];
  if (!(Scaled < 9.0e18L && Scaled > -9.0e18L)) return false;
  N = static_cast<long long>(Scaled);
  const long double Frac = Scaled - static_cast<long double>(N);
  if (Frac >= 0.5L)
    ++N;
  else if (Frac <= -0.5L)
    --N;
  return true;
}

// The general path: the shortest correctly rounded fixed notation of the
// exact value, and the words for what is not a number.
char* PutGeneral(char* Out, float Value, int RightDigits) {
  const double V = Value;
  const char* Text = std::isnan(V) ? "NAN" : (V < 0 ? "-INF" : "INF");
  std::string Fixed;
  if (std::isfinite(V)) {
    Fixed = FixedByToChars(V, RightDigits);
    Text = Fixed.c_str();
  }
  const std::size_t Size = std::strlen(Text);
  std::memcpy(Out, Text, Size);
  return Out + Size;
}

} // namespace

std::size_t FormattedValueRoom(int RightDigits) {
  // Sign, 39 digits of the largest single, point, the decimals.
  return static_cast<std::size_t>(RightDigits > 0 ? RightDigits : 0) + FastRoom;
}

char* PutFormattedValue(char* Out, float Value, int RightDigits) {
  if (RightDigits < 0) RightDigits = 0;
  long long N;
  if (ScaledValue(Value, RightDigits, N)) return PutScaled(Out, N, RightDigits, 0);
  return PutGeneral(Out, Value, RightDigits);
}

char* PutFormattedValueRight(char* Out, float Value, int RightDigits, int Width) {
  if (RightDigits < 0) RightDigits = 0;
  long long N;
  if (ScaledValue(Value, RightDigits, N)) return PutScaled(Out, N, RightDigits, Width);
  // Rare: made aside to learn its length.
  std::string Text(FormattedValueRoom(RightDigits), '\0');
  Text.resize(static_cast<std::size_t>(PutGeneral(Text.data(), Value, RightDigits) - Text.data()));
  const int Pad = std::min(Width - static_cast<int>(Text.size()), MaxPadding);
  if (Pad > 0) {
    std::memset(Out, ' ', static_cast<std::size_t>(Pad));
    Out += Pad;
  }
  std::memcpy(Out, Text.data(), Text.size());
  return Out + Text.size();
}

char* PutValues(char* Out, const float* Values, const TValueColumn* Columns, std::size_t Count,
                std::string_view Separator, bool Fixed) {
  for (std::size_t I = 0; I < Count; ++I) {
    const TValueColumn& C = Columns[I];
    if (Separator.size() == 1) {
      *Out++ = Separator[0];
    } else {
      std::memcpy(Out, Separator.data(), Separator.size());
      Out += Separator.size();
    }
    const float V = Values[I];
    const int Width = Fixed ? C.Width : 0;
    if (std::bit_cast<std::uint32_t>(V) == NonRecordedBits) {
      const int Pad = std::min(Width - static_cast<int>(C.Missing.size()), MaxPadding);
      if (Pad > 0) {
        std::memset(Out, ' ', static_cast<std::size_t>(Pad));
        Out += Pad;
      }
      std::memcpy(Out, C.Missing.data(), C.Missing.size());
      Out += C.Missing.size();
      continue;
    }
    long long N;
    const int Digits = std::max(C.RightDigits, 0);
    if (ScaledValue(V, Digits, N))
      Out = PutScaled(Out, N, Digits, Width);
    else
      Out = PutFormattedValueRight(Out, V, Digits, Width);
  }
  return Out;
}

void AppendFormattedValue(std::string& Out, float Value, int RightDigits) {
  const std::size_t Old = Out.size();
  Out.resize(Old + FormattedValueRoom(RightDigits));
  char* const End = PutFormattedValue(Out.data() + Old, Value, RightDigits);
  Out.resize(static_cast<std::size_t>(End - Out.data()));
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
      FBlankDate(Options.DisplayJulianDate ? 3 : Format.DatePattern.size(), ' '),
      // A pattern letter writes at most two characters (a run of year
      // letters four for three or more), the alternatives six; two paddings.
      FRoom(2 * (Format.DatePattern.size() + Format.TimePattern.size()) + Separator.size() + 12 +
            2 * MaxPadding) {}

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
    if (FTimes.empty()) FTimes.resize((SecsPerDay + TimeBlock - 1) / TimeBlock);
    std::unique_ptr<std::string[]>& Block = FTimes[Second / TimeBlock];
    if (!Block) Block = std::make_unique<std::string[]>(TimeBlock);
    std::string& T = Block[Second % TimeBlock];
    if (T.empty())
      T = FOptions.DisplaySeconds ? SecondsOfDayText(Time)
                                  : FormatLogTime(FFormat.TimePattern, Time, FFormat);
    return T;
  }
  FScratch = FormatLogTime(FFormat.TimePattern, Time, FFormat);
  return FScratch;
}

char* TLineTimeFormatter::Put(char* Out, bool NewDay, LogTime Time) {
  const std::string& D = (FOptions.R600ASCII && !NewDay) ? FBlankDate : DateText(Time);
  const std::string& T = TimeText(Time);
  std::memcpy(Out, D.data(), D.size());
  Out += D.size();
  std::memcpy(Out, FSeparator.data(), FSeparator.size());
  Out += FSeparator.size();
  if (FFixed) {
    const int PD = (FOptions.R600ASCII ? 10 : 11) - static_cast<int>(D.size());
    const int PT = 8 - static_cast<int>(T.size());
    for (const int Pad : {PD, PT})
      if (Pad > 0) {
        std::memset(Out, ' ', static_cast<std::size_t>(std::min(Pad, MaxPadding)));
        Out += std::min(Pad, MaxPadding);
      }
  }
  std::memcpy(Out, T.data(), T.size());
  return Out + T.size();
}

void TLineTimeFormatter::Append(std::string& Line, bool NewDay, LogTime Time) {
  const std::size_t Old = Line.size();
  Line.resize(Old + FRoom);
  char* const End = Put(Line.data() + Old, NewDay, Time);
  Line.resize(static_cast<std::size_t>(End - Line.data()));
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

bool UsesFixedColumns(const TLogPrnOptions& Options, TCommandMode CommandMode) {
  return !Options.Excel() && (Options.DisplayFixedFormat || !IsSaving(CommandMode));
}

std::string GetFieldSeparator(const TLogPrnOptions& Options, TCommandMode CommandMode) {
  if (Options.Excel()) return IsSaving(CommandMode) ? "\t" : " ";
  return Options.DisplayFixedFormat ? " " : ",";
}

} // namespace quorvin
