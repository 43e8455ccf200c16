// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/MiscUtil.h"

#include <gtest/gtest.h>

#include <clocale>
#include <ctime>
#include <string>
#include <vector>

namespace quorvin {
namespace {

TEST(DayNumberTest, CountsDaysFromTheEndOf1984) {
  EXPECT_EQ(DayNumber(1985, 1, 1), 1);
  EXPECT_EQ(DayNumber(1984, 12, 31), 0);
  EXPECT_EQ(DayNumber(0, 0, 0), 0);
  EXPECT_EQ(DayNumber(1986, 3, 1), 365 + 59 + 1);
  EXPECT_EQ(DayNumber(1988, 3, 1), 3 * 365 + 59 + 1 + 1);
  EXPECT_EQ(DayNumber(1999, 13, 1), DayNumber(2000, 1, 1));
  EXPECT_EQ(DayNumber(1999, 25, 1), DayNumber(2001, 1, 1));
  // Day 0 is the last day of the previous month; days run past month ends.
  EXPECT_EQ(DayNumber(1985, 2, 0), DayNumber(1985, 1, 31));
  EXPECT_EQ(DayNumber(1985, 1, 32), DayNumber(1985, 2, 1));
  // Years before 1985, including two-digit years, give day 0.
  EXPECT_EQ(DayNumber(1900, 6, 1), 0);
  EXPECT_EQ(DayNumber(99, 3, 7), 0);
}

TEST(DayNumberTest, CalendarRejectsYearsOutsideItsRange) {
  EXPECT_THROW(DayNumber(10001, 1, 1), ECalendarError);
  EXPECT_THROW(DayNumber(10000, 3, 1), ECalendarError);
  EXPECT_NO_THROW(DayNumber(10000, 2, 1));
  EXPECT_THROW(IsLeapYear(0), ECalendarError);
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
}

TEST(DayNumberTest, DaysBeforeYearReadsTwoDigitYears) {
  EXPECT_EQ(DaysBeforeYear(1985), 0);
  EXPECT_EQ(DaysBeforeYear(1986), 365);
  EXPECT_EQ(DaysBeforeYear(86), 365);
  EXPECT_EQ(DaysBeforeYear(0), DaysBeforeYear(2000));
  EXPECT_EQ(DaysBeforeYear(1900), 0);
  EXPECT_EQ(DaysBeforeMonth(1996, 3), 60);
  EXPECT_EQ(DaysBeforeMonth(1997, 3), 59);
  EXPECT_EQ(DaysBeforeMonth(1996, 13), 366);
}

TEST(DayNumberTest, RoundTripsEveryDayOfTheLogTimeRange) {
  for (int D = 0; D <= 24855; ++D) {
    int Y, M, Dd;
    DayNumberToDate(D, Y, M, Dd);
    ASSERT_EQ(DayNumber(Y, M, Dd), D) << Y << "-" << M << "-" << Dd;
  }
  int Y, M, D;
  DayNumberToDate(DayNumber(2000, 2, 29), Y, M, D);
  EXPECT_EQ(Y * 10000 + M * 100 + D, 20000229);
}

TEST(LogTimeTest, SplitsAndJoinsParts) {
  int Y, Mo, D, H, Mi, S;
  SecsToParts(86399, Y, Mo, D, H, Mi, S);
  EXPECT_EQ(std::vector<int>({Y, Mo, D, H, Mi, S}), std::vector<int>({1984, 12, 31, 23, 59, 59}));
  EXPECT_EQ(PartsToSecs(1999, 3, 7, 14, 30, 0), DayNumber(1999, 3, 7) * 86400 + 52200);
  SplitSecondsOfDay(90000, H, Mi, S);
  EXPECT_EQ(H, 25);
  EXPECT_EQ(SecondsOfDay(25, 0, 0), 90000);
  // The last representable log time.
  SecsToParts(2147483647, Y, Mo, D, H, Mi, S);
  EXPECT_EQ(std::vector<int>({Y, Mo, D, H, Mi, S}), std::vector<int>({2053, 1, 18, 3, 14, 7}));
}

TEST(LogTimeTest, DateTimeValuesConvertWithoutZoneOrRoundingLoss) {
  EXPECT_DOUBLE_EQ(SecsToDateTime(86400), EncodeDate(1985, 1, 1));
  EXPECT_EQ(DateTimeToSecs(EncodeDate(1985, 1, 1) + 0.5), 129600);
  // Every second of a spring-forward and a fall-back day in the test's zone
  // survives the round trip: no hour is dropped, shifted or doubled.
  for (int Day : {DayNumber(2026, 3, 8), DayNumber(2026, 11, 1)}) {
    for (int S = 0; S < 86400; ++S) {
      LogTime T = Day * 86400 + S;
      ASSERT_EQ(DateTimeToSecs(SecsToDateTime(T)), T);
    }
    int Y, Mo, D, H, Mi, Se;
    SecsToParts(Day * 86400 + 2 * 3600 + 30 * 60, Y, Mo, D, H, Mi, Se);
    EXPECT_EQ(H, 2);
    EXPECT_EQ(Mi, 30);
  }
  // A value a little off a whole second rounds to the nearest one.
  EXPECT_EQ(DateTimeToSecs(SecsToDateTime(100) + 0.4 / 86400), 100);
  EXPECT_EQ(DateTimeToSecs(SecsToDateTime(100) - 0.4 / 86400), 100);
}

TEST(LogTimeTest, NowFollowsTheLocalClock) {
  std::time_t Now = std::time(nullptr);
  std::tm L{};
  localtime_r(&Now, &L);
  const LogTime N = NowSecs();
  EXPECT_EQ(N / 86400, DayNumber(L.tm_year + 1900, L.tm_mon + 1, L.tm_mday));
  EXPECT_NEAR(N % 86400, SecondsOfDay(L.tm_hour, L.tm_min, L.tm_sec), 2);
}

TEST(StrToFloatOKTest, AcceptsOnlyWholeDecimalNumbers) {
  double V = -1;
  EXPECT_TRUE(StrToFloatOK("21.50", V));
  EXPECT_DOUBLE_EQ(V, 21.5);
  EXPECT_TRUE(StrToFloatOK("-0.5", V));
  EXPECT_DOUBLE_EQ(V, -0.5);
  EXPECT_TRUE(StrToFloatOK(" 12 ", V));
  EXPECT_DOUBLE_EQ(V, 12);
  EXPECT_TRUE(StrToFloatOK(".25", V));
  EXPECT_DOUBLE_EQ(V, 0.25);
  EXPECT_TRUE(StrToFloatOK("+1e3", V));
  EXPECT_DOUBLE_EQ(V, 1000);
  V = 7;
  for (const char* Bad :
       {"", " ", "1,5", "12a", "inf", "nan", "0x10", "-", ".", "1e", "1..2", "BAD"}) {
    EXPECT_FALSE(StrToFloatOK(Bad, V)) << Bad;
  }
  EXPECT_EQ(V, 7);
}

TEST(StrToFloatOKTest, IgnoresTheProcessLocale) {
  const char* Old = std::setlocale(LC_NUMERIC, nullptr);
  std::string Saved = Old ? Old : "C";
  bool Switched = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  double V = 0;
  EXPECT_TRUE(StrToFloatOK("2.34", V));
  EXPECT_DOUBLE_EQ(V, 2.34);
  EXPECT_FALSE(StrToFloatOK("2,34", V));
  std::setlocale(LC_NUMERIC, Saved.c_str());
  if (!Switched) GTEST_SKIP() << "no German locale on this machine";
}

TEST(YesNoTest, ReadsCaseInsensitivelyWithDefaults) {
  const struct {
    const char* Text;
    bool Default, Expected;
  } Cases[] = {{"yes", false, true}, {"YES", false, true},  {"No", true, false},
               {"Y", false, false},  {"Y", true, true},     {"1", true, true},
               {"", true, true},     {" YES", false, false}};
  for (const auto& C : Cases)
    EXPECT_EQ(ParseYesNo(C.Text, C.Default), C.Expected) << C.Text << " " << C.Default;
}

TEST(StringHelpersTest, FieldsAndSplits) {
  EXPECT_EQ(AppendField("", ",", "A"), "A");
  EXPECT_EQ(AppendField("A", ",", "B"), "A,B");
  std::string T = "UNITA.TEMP.X";
  EXPECT_EQ(SplitAt('.', T), "UNITA");
  EXPECT_EQ(T, "TEMP.X");
  std::string U = "NODOT";
  EXPECT_EQ(SplitAt('.', U), "NODOT");
  EXPECT_EQ(U, "NODOT");
}

// Only a to z change case: bytes beyond ASCII and the neighbours of the
// letters stay as they are, in any locale.
TEST(StringHelpersTest, UpperCaseAndSameTextKnowAsciiLettersOnly) {
  EXPECT_EQ(UpperCase("site1.log"), "SITE1.LOG");
  EXPECT_EQ(UpperCase("@`az{AZ[\xe4\xdf"), "@`AZ{AZ[\xe4\xdf");
  EXPECT_EQ(UpperCase(""), "");
  EXPECT_EQ(UpCase('q'), 'Q');
  EXPECT_EQ(UpCase('\xe4'), '\xe4');
  const struct {
    const char *A, *B;
    bool Same;
  } Cases[] = {{"Stage", "STAGE", true},   {"stage", "stage", true}, {"", "", true},
               {"stage", "stages", false}, {"\xe4", "\xc4", false},  {"@", "`", false},
               {"[", "{", false}};
  for (const auto& C : Cases) {
    EXPECT_EQ(SameText(C.A, C.B), C.Same) << C.A << " " << C.B;
    EXPECT_EQ(SameText(C.B, C.A), C.Same) << C.B << " " << C.A;
  }
}

TEST(StringHelpersTest, MissingValueDashesAreRightAlignedInTheirWidth) {
  EXPECT_EQ(MissingValueDashes(0, 0), "-");
  EXPECT_EQ(MissingValueDashes(0, 3), "-.---");
  EXPECT_EQ(MissingValueDashes(8, 2), "    -.--");
  EXPECT_EQ(MissingValueDashes(0, 2), "-.--");
  // Without decimals the dash fills the whole width, like the values do.
  EXPECT_EQ(MissingValueDashes(6, 0), "     -");
  EXPECT_EQ(MissingValueDashes(3, 4), "-.----");
}

TEST(StringHelpersTest, MatchMaskFollowsFileNameWildcards) {
  EXPECT_TRUE(MatchMask("ABC", "*"));
  EXPECT_FALSE(MatchMask("", "*"));
  EXPECT_TRUE(MatchMask("", ""));
  EXPECT_TRUE(MatchMask("ABC", "A?C"));
  EXPECT_FALSE(MatchMask("ABC", "AB"));
  EXPECT_FALSE(MatchMask("AB", "ABC"));
  EXPECT_TRUE(MatchMask("DATA1.LOG", "DATA*"));
  EXPECT_FALSE(MatchMask("data1.log", "DATA*"));
  EXPECT_TRUE(MatchMask("ABC", "ABC"));
}

} // namespace
} // namespace quorvin
