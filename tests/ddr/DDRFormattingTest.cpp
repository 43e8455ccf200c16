// SPDX-License-Identifier: GPL-3.0-or-later
#include "ddr/DDRFormatting.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "core/DateTimeFormat.h"

namespace quorvin {
namespace {

TEST(FormatFixed, WidthElevenExamples) {
  EXPECT_EQ(FormatFixed(12345, 11, 2), "     123.45");
  EXPECT_EQ(FormatFixed(-5, 11, 2), "      -0.05");
  EXPECT_EQ(FormatFixed(0, 11, 2), "       0.00");
  EXPECT_EQ(FormatFixed(7, 11, 0), "          7");
  EXPECT_EQ(FormatFixed(-7, 11, 0), "         -7");
  EXPECT_EQ(FormatFixed(0, 11, 0), "          0");
  EXPECT_EQ(FormatFixed(45, 11, 2), "       0.45");
  EXPECT_EQ(FormatFixed(100, 11, 2), "       1.00");
  EXPECT_EQ(FormatFixed(-123456, 11, 3), "   -123.456");
}

TEST(FormatFixed, NeverDropsDigitsOfAValueTooLongForItsField) {
  // Ten digits, a sign and a point need 12 characters: the field grows.
  EXPECT_EQ(FormatFixed(INT_MIN, 11, 2), "-21474836.48");
  EXPECT_EQ(FormatFixed(INT_MAX, 11, 2), "21474836.47");
  EXPECT_EQ(FormatFixed(123456, 4, 0), "123456");
  EXPECT_EQ(FormatFixed(-123456, 4, 1), "-12345.6");
  EXPECT_EQ(FormatFixed(5, 0, 0), "5");
}

TEST(FormatFixed, MoreDecimalsThanTheFieldHoldsStillGivesTheNumber) {
  EXPECT_EQ(FormatFixed(5, 3, 4), "0.0005");
  EXPECT_EQ(FormatFixed(-5, 11, 12), "-0.000000000005");
  EXPECT_EQ(FormatFixed(0, 4, 5), "0.00000");
}

// Values appended to a line keep what the line held.
TEST(FormatFixed, AppendingFormsAddToTheLine) {
  std::string Line = "x";
  AppendFixed(Line, -5, 6, 2);
  AppendReal(Line, 2.25, 1);
  AppendBlanks(Line, 2);
  AppendBlanks(Line, -3);
  AppendReal(Line, -0.04, 1);
  EXPECT_EQ(Line, "x -0.052.2  -0.0");
}

TEST(DDRTimes, FastStampsEqualTheGeneralRendering) {
  const char* Patterns[] = {"MMDDYY HHMM",          "DDMMYY HHMM",
                            "YYMMDD HHMM",          "MM/DD/YY HH:MM:SS",
                            "DD/MM/YY HH:MM:SS",    "YY/MM/DD HH:MM:SS",
                            "MM/DD/YYYY HH:MM:SS",  "MM/DD/YYYY HH:MM",
                            "DD/MM/YYYY HH:MM:SS",  "YYYY/MM/DD HH:MM:SS",
                            "h:m:s d/m/y",          "hh-xx-mm yyy M",
                            "Day: DD, at HH.MM.SS", ""};
  TDDRTimeStamper Stamper;
  std::uint32_t X = 12345;
  for (const char* P : Patterns) {
    for (int I = 0; I < 400; ++I) {
      X = X * 1103515245u + 12345u;
      std::int64_t Secs =
          I < 200 ? static_cast<std::int32_t>(X) : (X % 5000000) + (I - 200) * 86400LL;
      const char DS = I % 3 ? '/' : '.', TS = I % 2 ? ':' : '-';
      std::string Fast = "pre";
      Stamper.Append(Fast, Secs, P, DS, TS);
      EXPECT_EQ(Fast, "pre" + FormatLogTime(P, static_cast<LogTime>(Secs), DS, TS))
          << P << " " << Secs;
    }
  }
}

} // namespace
} // namespace quorvin
