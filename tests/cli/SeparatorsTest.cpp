// SPDX-License-Identifier: GPL-3.0-or-later
// Every command takes the date and time separators the LOGPRN options choose:
// the locale's with "Always Use System Format", "/" and ":" without.
#include <gtest/gtest.h>

#include "CliRun.h"
#include "support/GermanLocale.h"

namespace quorvin::test {
namespace {

TEST(Separators, EveryCommandFollowsUseSysFormat) {
  TScratchDir Dir;
  CopySamples(Dir, {"SITE1.LOG", "site2.csv", "SAMPLE.DDR"});
  struct TCase {
    std::vector<std::string> Args;
    std::string Fixed;  // with UseSysFormat=NO
    std::string System; // with YES, under a locale writing "." in dates
  };
  const TCase Cases[] = {
      {{"header", Dir / "site2.csv"}, "07/01/2024 00:00:00", "07.01.2024 00:00:00"},
      {{"stats", Dir / "site2.csv"}, "\n07/01/24 ", "\n07.01.24 "},
      {{"prn", Dir / "SITE1.LOG", "--display"}, "05/14/24    00:00:00", "05.14.24    00:00:00"},
      {{"ddr", Dir / "SAMPLE.DDR"}, "06/01/24 00:00:00 System", "06.01.24 00:00:00 System"},
      {{"ddr", Dir / "SAMPLE.DDR", "--summary"},
       "06/01/24 00:00:00 06/01/24",
       "06.01.24 00:00:00 06.01.24"},
  };
  TGermanLocale German;
  if (!German.Ok()) GTEST_SKIP() << "no German locale on this machine";
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Args[0] + " " + C.Args.back());
    for (bool UseSys : {false, true}) {
      std::vector<std::string> Args = {"--set", "DateTimeFormat=MM/DD/YY HH:MM:SS",
                                       "--set", UseSys ? "UseSysFormat=YES" : "UseSysFormat=NO",
                                       "--set", "DisplayFixedFormat=YES"};
      Args.insert(Args.end(), C.Args.begin(), C.Args.end());
      TRun R = RunCliWithIni(Dir / "none.ini", Args);
      EXPECT_EQ(R.Code, 0) << R.Err;
      const std::string& Want = UseSys ? C.System : C.Fixed;
      EXPECT_NE(R.Out.find(Want), std::string::npos) << Want << "\n" << R.Out.substr(0, 400);
    }
  }
}

} // namespace
} // namespace quorvin::test
