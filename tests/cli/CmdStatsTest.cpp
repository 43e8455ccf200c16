// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sstream>

#include "CliRun.h"
#include "generators/LogGen.h"
#include "ramcard/RamTestUtil.h"

namespace quorvin::test {
namespace {

// Two days at 15 minutes from 1998-03-05: STAGE 1.00 to 2.90 each day,
// TEMP rising by 0.2 a record.
std::string WriteSite(const TScratchDir& Dir) {
  TGenLog L;
  L.Year = 1998;
  L.Month = 3;
  L.Day = 5;
  L.Sensors = {{"STAGE", 1.0, 0.0, 2}, {"TEMP", 1.0, 0.0, 1}};
  const std::string Path = Dir / "site1.log";
  WriteLogFile(Path, L, 192, [](long long K, int I) {
    return static_cast<std::uint16_t>(32767 + (I == 0 ? 100 + 2 * (K % 96) : 2 * K));
  });
  return Path;
}

TEST(CmdStats, ReportsTheChosenSensorsAndDaysOnStandardOutput) {
  TScratchDir Dir;
  const std::string Log = WriteSite(Dir);
  TRun One =
      Cli(Dir, {"stats", Log, "--sensors", "TEMP", "--start", "1998-03-06", "--end", "1998-03-06"});
  EXPECT_EQ(One.Code, 0);
  EXPECT_EQ(One.Err, "");
  EXPECT_EQ(One.Out, "STATISTICS FOR: SITE1 DATE: 030698 TO 030698\n"
                     "\n"
                     "SENSORS                  TEMP\n"
                     "030698      MIN          19.2\n"
                     "#SAMPLES    MAX          38.2\n"
                     "96          MEAN         28.7\n"
                     "\n");

  TRun All = Cli(Dir, {"--set", "DateTimeFormat=YYYY/MM/DD HH:MM:SS", "stats", Log});
  EXPECT_EQ(All.Code, 0);
  EXPECT_EQ(All.Out, "STATISTICS FOR: SITE1 DATE: 1998/03/05 TO 1998/03/07\n"
                     "\n"
                     "SENSORS                 STAGE      TEMP\n"
                     "1998/03/05  MIN          1.00       0.0\n"
                     "#SAMPLES    MAX          2.90      19.0\n"
                     "96          MEAN         1.95       9.5\n"
                     "\n"
                     "1998/03/06  MIN          1.00      19.2\n"
                     "#SAMPLES    MAX          2.90      38.2\n"
                     "96          MEAN         1.95      28.7\n"
                     "\n");
}

TEST(CmdStats, MissingLogFailsWithTheCommandsMessages) {
  TScratchDir Dir;
  TRun R = Cli(Dir, {"stats", Dir / "nothere.log"});
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Out, "");
  EXPECT_EQ(R.Err, "error: File does not exist or is invalid. Please select another file.\n"
                   "status: Error! Please select a file.\n");
  TRun Usage = Cli(Dir, {"stats", WriteSite(Dir), "--display"});
  EXPECT_EQ(Usage.Code, 2);
}

} // namespace
} // namespace quorvin::test
