// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/Formatting.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <random>

#include <gtest/gtest.h>

namespace quorvin {
namespace {

// 1998-03-05 14:07:09, the example instant of the format names.
const LogTime Example = PartsToSecs(1998, 3, 5, 14, 7, 9);

// The ten names of the LOGPRN date-format list.
const char* const DtFormatNames[10] = {
    "MMDDYY HHMM",         "DDMMYY HHMM",        "YYMMDD HHMM",         "MM/DD/YY HH:MM:SS",
    "DD/MM/YY HH:MM:SS",   "YY/MM/DD HH:MM:SS",  "MM/DD/YYYY HH:MM:SS", "MM/DD/YYYY HH:MM",
    "DD/MM/YYYY HH:MM:SS", "YYYY/MM/DD HH:MM:SS"};

TDateTimeFormat FormatNamed(const std::string& Name, char DateSep = '/', char TimeSep = ':') {
  TDateTimeFormat F;
  SetDateTimeFormat(F, Name);
  F.DateSeparator = DateSep;
  F.TimeSeparator = TimeSep;
  return F;
}

TEST(FormatLineTime, EveryNameRendersTheExampleInstant) {
  const char* Expected[10] = {"030598 1407",         "050398 1407",       "980305 1407",
                              "03/05/98 14:07:09",   "05/03/98 14:07:09", "98/03/05 14:07:09",
                              "03/05/1998 14:07:09", "03/05/1998 14:07",  "05/03/1998 14:07:09",
                              "1998/03/05 14:07:09"};
  TLogPrnOptions O;
  for (int i = 0; i < 10; ++i) {
    const TDateTimeFormat F = FormatNamed(std::string(DtFormatNames[i]));
    EXPECT_EQ(FormatLineTime(" ", false, true, Example, O, F), Expected[i]) << i;
  }
}

TEST(FormatLineTime, SystemSeparatorsReplaceSlashAndColon) {
  TLogPrnOptions O;
  TDateTimeFormat F = FormatNamed("MM/DD/YY HH:MM:SS");
  F.SystemDateSeparator = '.';
  F.SystemTimeSeparator = '-';
  ApplySeparators(F, true);
  EXPECT_EQ(FormatLineTime(",", false, true, Example, O, F), "03.05.98,14-07-09");
  ApplySeparators(F, false);
  EXPECT_EQ(FormatLineTime(",", false, true, Example, O, F), "03/05/98,14:07:09");
}

TEST(FormatLineTime, FixedColumnsPadBetweenSeparatorAndTime) {
  TLogPrnOptions O;
  EXPECT_EQ(FormatLineTime(" ", true, true, Example, O, FormatNamed("MM/DD/YY HH:MM:SS")),
            "03/05/98    14:07:09");
  EXPECT_EQ(FormatLineTime(" ", true, true, Example, O, FormatNamed("MMDDYY HHMM")),
            "030598          1407");
  EXPECT_EQ(FormatLineTime(" ", true, true, Example, O, FormatNamed("YYYY/MM/DD HH:MM:SS")),
            "1998/03/05  14:07:09");
  O.R600ASCII = true;
  EXPECT_EQ(FormatLineTime(" ", true, true, Example, O, FormatNamed("MM/DD/YY HH:MM:SS")),
            "03/05/98   14:07:09");
  // Later lines of a day leave the date blank, as wide as the pattern.
  EXPECT_EQ(FormatLineTime(" ", true, false, Example, O, FormatNamed("MM/DD/YYYY HH:MM")),
            "              14:07");
  EXPECT_EQ(FormatLineTime(",", false, false, Example, O, FormatNamed("MM/DD/YYYY HH:MM")),
            "          ,14:07");
}

TEST(FormatLineTime, JulianDateAndSecondsOfDay) {
  TLogPrnOptions O;
  O.DisplayJulianDate = true;
  O.DisplaySeconds = true;
  const TDateTimeFormat F = FormatNamed("MM/DD/YY HH:MM:SS");
  EXPECT_EQ(FormatLineTime(",", false, true, PartsToSecs(1996, 12, 31, 23, 59, 59), O, F),
            "366,086399");
  EXPECT_EQ(FormatLineTime(",", false, true, PartsToSecs(1998, 1, 5, 0, 0, 0), O, F), "005,000000");
  EXPECT_EQ(FormatLineTime(" ", true, true, PartsToSecs(1998, 3, 1, 0, 0, 1), O, F),
            "060           000001");
  EXPECT_EQ(DayOfYear(PartsToSecs(1996, 3, 1, 0, 0, 0)), 61);
  O.R600ASCII = true;
  EXPECT_EQ(FormatLineTime(" ", true, false, PartsToSecs(1998, 3, 1, 7, 0, 0), O, F),
            "             025200");
}

TEST(FormatLineTime, MidnightIsNeverThePreviousDay) {
  TLogPrnOptions O;
  const TDateTimeFormat F = FormatNamed("YYYY/MM/DD HH:MM:SS");
  // Times far from 1984, where a floating day count loses the last second.
  EXPECT_EQ(FormatLineTime(" ", false, true, PartsToSecs(2040, 1, 1, 0, 0, 0), O, F),
            "2040/01/01 00:00:00");
  EXPECT_EQ(FormatLineTime(" ", false, true, PartsToSecs(2039, 12, 31, 23, 59, 59), O, F),
            "2039/12/31 23:59:59");
}

TEST(LineTimeFormatter, AgreesWithFormatLineTimeOverDaysAndPatterns) {
  std::vector<std::string> Names(std::begin(DtFormatNames), std::end(DtFormatNames));
  // Names without a blank put the whole name in both halves.
  Names.push_back("MM/DD/YY-HH:MM");
  Names.push_back("MMHH");
  Names.push_back("SSDD");
  std::vector<LogTime> Times;
  for (LogTime T = PartsToSecs(1996, 12, 30, 22, 0, 0); T < PartsToSecs(1997, 1, 2, 2, 0, 0);
       T += 3217)
    Times.push_back(T);
  Times.push_back(Times[3]); // the same second again, from the cache
  for (const std::string& Name : Names)
    for (int Bits = 0; Bits < 32; ++Bits) {
      TLogPrnOptions O;
      O.DisplaySeconds = Bits & 1;
      O.DisplayJulianDate = Bits & 2;
      O.R600ASCII = Bits & 4;
      const bool Fixed = Bits & 8;
      const std::string Sep = Bits & 16 ? "\t" : " ";
      const TDateTimeFormat F = FormatNamed(Name, '.', '-');
      TLineTimeFormatter Fast(Sep, Fixed, O, F);
      for (std::size_t i = 0; i < Times.size(); ++i) {
        const bool NewDay = i % 5 == 0;
        std::string Line = "x";
        Fast.Append(Line, NewDay, Times[i]);
        ASSERT_EQ(Line, "x" + FormatLineTime(Sep, Fixed, NewDay, Times[i], O, F))
            << Name << " " << Bits << " " << i;
      }
    }
}

TEST(FormatValue, ExactDecimalsRoundedWithPointWhateverTheLocale) {
  EXPECT_EQ(FormatValue(1.25f, 2), "1.25");
  EXPECT_EQ(FormatValue(12.6f, 0), "13");
  EXPECT_EQ(FormatValue(2.5f, 0), "3");
  EXPECT_EQ(FormatValue(-2.5f, 0), "-3");
  EXPECT_EQ(FormatValue(0.125f, 2), "0.13");
  EXPECT_EQ(FormatValue(2.34f, 2), "2.34");
  EXPECT_EQ(FormatValue(0.01f, 1), "0.0");
  EXPECT_EQ(FormatValue(0.0f, 3), "0.000");
  EXPECT_EQ(FormatValue(-0.004f, 2), "0.00");
  EXPECT_EQ(FormatValue(-32767.0f, 0), "-32767");
  EXPECT_EQ(FormatValue(-3.2767f, 4), "-3.2767");
  EXPECT_EQ(FormatValue(1234567.0f, 1), "1234567.0");
  // Either side of eight digits and seven decimals.
  EXPECT_EQ(FormatValue(16777216.0f, 0), "16777216");
  EXPECT_EQ(FormatValue(-16777216.0f, 1), "-16777216.0");
  EXPECT_EQ(FormatValue(-0.5f, 7), "-0.5000000");
  EXPECT_EQ(FormatValue(-0.5f, 8), "-0.50000000");
  EXPECT_EQ(FormatValue(0.0f, 7), "0.0000000");
  EXPECT_EQ(FormatValue(9.9999999e-8f, 7), "0.0000001");
  // Beyond the exact integer path the exact binary value is written out.
  EXPECT_EQ(FormatValue(3.0e20f, 2), "300000006012263202816.00");
  EXPECT_EQ(FormatValue(1.5f, 20), "1.50000000000000000000");
  // The single's exact value, rounded at 12 and at 15 decimals.
  EXPECT_EQ(FormatValue(0.1f, 12), "0.100000001490");
  EXPECT_EQ(FormatValue(0.1f, 15), "0.100000001490116");
  EXPECT_EQ(FormatValue(-0.1f, 15), "-0.100000001490116");
}

// The value as the C library prints it (exact, ties to even), with an exact
// tie rounded away from zero instead.
std::string Printed(float Value, int RightDigits) {
  char Buf[128];
  std::snprintf(Buf, sizeof Buf, "%.*f", RightDigits, static_cast<double>(Value));
  // Exact: a single times a power of ten up to 10^17 fits the 64-bit mantissa.
  const long double Scaled =
      static_cast<long double>(Value) * std::pow(10.0L, static_cast<long double>(RightDigits));
  const long double Frac = Scaled - std::trunc(Scaled);
  if (std::fabs(Frac) == 0.5L) {
    const long double Away = std::trunc(Scaled) + (Scaled < 0 ? -1 : 1);
    std::snprintf(Buf, sizeof Buf, "%.*Lf", RightDigits,
                  Away / std::pow(10.0L, static_cast<long double>(RightDigits)));
  }
  std::string Text = Buf;
  // A result of zero carries no sign.
  if (Text[0] == '-' && Text.find_first_not_of("-0.") == std::string::npos) Text.erase(0, 1);
  return Text;
}

TEST(FormatValue, AgreesWithTheLibrarysExactPrintOverManyValues) {
  std::mt19937 Gen(20240517);
  std::uniform_int_distribution<std::uint32_t> Bits;
  for (int I = 0; I < 200000; ++I) {
    const int Digits = I % 18;
    // Singles of every magnitude, and raw logger values and their halves.
    float V = std::bit_cast<float>(Bits(Gen));
    if (I % 3 == 0) V = static_cast<float>(static_cast<int>(Bits(Gen) % 65535) - 32767) / 10.0f;
    if (I % 3 == 1)
      V = static_cast<float>(static_cast<int>(Bits(Gen) % 20001) - 10000) / 2.0f /
          std::pow(10.0f, static_cast<float>(I % 4));
    if (!std::isfinite(V) || std::fabs(V) > 1e17f) continue;
    const std::string Expected = Printed(V, Digits);
    ASSERT_EQ(FormatValue(V, Digits), Expected) << V << " " << Digits;
    char Buf[128];
    char* End = PutFormattedValueRight(Buf, V, Digits, 30);
    const std::string Padded(Buf, End);
    ASSERT_EQ(Padded, std::string(Expected.size() < 30 ? 30 - Expected.size() : 0, ' ') + Expected);
  }
}

TEST(NonRecordedText, ExactlyOneRenderingIsInForce) {
  TLogPrnOptions O;
  EXPECT_EQ(NonRecordedText(O, 2), "-.--");
  EXPECT_EQ(NonRecordedText(O, 0), "-");
  O.DisplayAsDash = false;
  O.DisplayAsZero = true;
  EXPECT_EQ(NonRecordedText(O, 2), "0.00");
  EXPECT_EQ(NonRecordedText(O, 0), "0");
  O.DisplayAsZero = false;
  O.ExcludeNonRecItems = true;
  EXPECT_EQ(NonRecordedText(O, 2), "");
  EXPECT_EQ(NonRecordedMode(O), TNonRecordedMode::Exclude);
  // Two flags set count as dashes, as the radio group shows them.
  O.DisplayAsZero = true;
  EXPECT_EQ(NonRecordedText(O, 1), "-.-");
  O = TLogPrnOptions{};
  O.DisplayAsDash = false;
  EXPECT_EQ(NonRecordedMode(O), TNonRecordedMode::Dashes);
}

TEST(FieldSeparator, ByOutputFormatFixedLayoutAndCommandMode) {
  TLogPrnOptions O;
  EXPECT_EQ(GetFieldSeparator(O, cmNone), ",");
  EXPECT_EQ(GetFieldSeparator(O, cmDisplay), ",");
  EXPECT_FALSE(UsesFixedColumns(O, cmNone));
  EXPECT_TRUE(UsesFixedColumns(O, cmDisplay));
  O.DisplayFixedFormat = true;
  EXPECT_EQ(GetFieldSeparator(O, cmNone), " ");
  EXPECT_TRUE(UsesFixedColumns(O, cmNone));
  O.OutputFormat = TOutputFormat::Excel;
  EXPECT_EQ(GetFieldSeparator(O, cmNone), "\t");
  EXPECT_EQ(GetFieldSeparator(O, cmHeader), " "); // the Header view writes no file
  EXPECT_EQ(GetFieldSeparator(O, cmDisplay), " ");
  EXPECT_FALSE(UsesFixedColumns(O, cmDisplay));
  EXPECT_FALSE(UsesFixedColumns(O, cmNone));
}

TEST(PadBlanks, NoneForZeroOrLessAndAtMostFortySix) {
  EXPECT_EQ(PadBlanks(-3), "");
  EXPECT_EQ(PadBlanks(0), "");
  EXPECT_EQ(PadBlanks(3), "   ");
  EXPECT_EQ(PadBlanks(100).size(), 46u);
}

} // namespace
} // namespace quorvin
