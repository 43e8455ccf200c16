// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/DateTimeFormat.h"

#include <gtest/gtest.h>

#include <clocale>

namespace quorvin {
namespace {

const LogTime Example = PartsToSecs(1998, 3, 5, 14, 7, 9);

std::string Render(const std::string& Name, char DateSep = '/', char TimeSep = ':') {
  TDateTimeFormat F;
  SetDateTimeFormat(F, Name);
  return FormatLogTime(F.DatePattern, Example, DateSep, TimeSep) + " " +
         FormatLogTime(F.TimePattern, Example, DateSep, TimeSep);
}

TEST(DateTimeFormatTest, RendersEveryFormatName) {
  EXPECT_EQ(Render("MMDDYY HHMM"), "030598 1407");
  EXPECT_EQ(Render("DDMMYY HHMM"), "050398 1407");
  EXPECT_EQ(Render("YYMMDD HHMM"), "980305 1407");
  EXPECT_EQ(Render("MM/DD/YY HH:MM:SS"), "03/05/98 14:07:09");
  EXPECT_EQ(Render("DD/MM/YY HH:MM:SS"), "05/03/98 14:07:09");
  EXPECT_EQ(Render("YY/MM/DD HH:MM:SS"), "98/03/05 14:07:09");
  EXPECT_EQ(Render("MM/DD/YYYY HH:MM:SS"), "03/05/1998 14:07:09");
  EXPECT_EQ(Render("MM/DD/YYYY HH:MM"), "03/05/1998 14:07");
  EXPECT_EQ(Render("DD/MM/YYYY HH:MM:SS"), "05/03/1998 14:07:09");
  EXPECT_EQ(Render("YYYY/MM/DD HH:MM:SS"), "1998/03/05 14:07:09");
  EXPECT_EQ(Render("mm/dd/yy hh:mm:ss"), "03/05/98 14:07:09");
}

TEST(DateTimeFormatTest, SeparatorsComeFromTheFormatState) {
  EXPECT_EQ(Render("MM/DD/YY HH:MM:SS", '.', '.'), "03.05.98 14.07.09");
  TDateTimeFormat F;
  F.SystemDateSeparator = '-';
  F.SystemTimeSeparator = '.';
  ApplySeparators(F, true);
  EXPECT_EQ(F.DateSeparator, '-');
  EXPECT_EQ(F.TimeSeparator, '.');
  ApplySeparators(F, false);
  EXPECT_EQ(F.DateSeparator, '/');
  EXPECT_EQ(F.TimeSeparator, ':');
}

TEST(DateTimeFormatTest, NameWithoutBlankGivesBothHalves) {
  TDateTimeFormat F;
  SetDateTimeFormat(F, "MMDDYY");
  EXPECT_EQ(F.DatePattern, "MMDDYY");
  EXPECT_EQ(F.TimePattern, "MMDDYY");
  EXPECT_EQ(DateTimeFormatName(F), "MMDDYY MMDDYY");
}

TEST(DateTimeFormatTest, MidnightAndLastSecondStayOnTheirDay) {
  LogTime Midnight = PartsToSecs(2026, 3, 8, 0, 0, 0);
  EXPECT_EQ(FormatLogTime("YYYY/MM/DD HH:MM:SS", Midnight, '/', ':'), "2026/03/08 00:00:00");
  EXPECT_EQ(FormatLogTime("YYYY/MM/DD HH:MM:SS", Midnight - 1, '/', ':'), "2026/03/07 23:59:59");
  // 02:30 does not exist in a daylight-saving zone on this day; log times keep it.
  EXPECT_EQ(FormatLogTime("HH:MM", Midnight + 9000, '/', ':'), "02:30");
  // Before the origin of log time the fields are still those of a clock.
  EXPECT_EQ(FormatLogTime("YYYY/MM/DD HH:MM:SS", -100, '/', ':'), "1984/12/30 23:58:20");
}

TEST(DateTimeFormatTest, SystemSeparatorsFollowTheLocale) {
  char D = 0, T = 0;
  std::setlocale(LC_TIME, "C");
  SystemSeparators(D, T);
  EXPECT_EQ(D, '/');
  EXPECT_EQ(T, ':');
  if (std::setlocale(LC_TIME, "de_DE.UTF-8")) {
    SystemSeparators(D, T);
    EXPECT_EQ(D, '.');
    EXPECT_EQ(T, ':');
  }
  std::setlocale(LC_TIME, "C");
}

} // namespace
} // namespace quorvin
