// SPDX-License-Identifier: GPL-3.0-or-later
#include <netcdf.h>

#include <gtest/gtest.h>

#include "CliRun.h"
#include "generators/LogGen.h"
#include "report/ReadingsExport.h"
#include "support/SameBytes.h"

namespace quorvin::test {
namespace {

TEST(CmdExport, CsvTimesCarryTheOffsetOfTheClocksZone) {
  TScratchDir Dir;
  // Readings of two sensors of their own around the autumn change.
  WriteWhole(Dir / "fall.csv", "11/03/2024,00:30:00,AIRTEMP,5.25,C,G\r\n"
                               "11/03/2024,01:30:00,AIRTEMP,4.5,C,G\r\n"
                               "11/03/2024,01:30:00,PRECIP,0.2,mm,G\r\n"
                               "11/03/2024,02:30:00,PRECIP,0.0,mm,G\r\n");
  const std::string Out = Dir / "fall-iso.csv";
  TRun R = Cli(Dir, {"export", Dir / "fall.csv", "--format", "csv", "--tz", "America/Denver",
                     "--output", Out});
  EXPECT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(ReadWhole(Out),
            CRLFLines({"time,AIRTEMP (C),PRECIP (mm)", "2024-11-03T00:30:00-06:00,5.25,",
                       "2024-11-03T01:30:00-06:00,4.50,0.2", "2024-11-03T02:30:00-07:00,,0.0"}));
  EXPECT_NE(R.Err.find("warning: 1 reading falls in an hour that America/Denver shows twice"),
            std::string::npos)
      << R.Err;

  // Without a zone the times are as recorded; the setting gives the zone
  // when --tz does not; the log itself is never the output.
  R = Cli(Dir,
          {"export", Dir / "fall.csv", "--format", "csv", "--sensors", "PRECIP", "--output", Out});
  EXPECT_EQ(ReadWhole(Out),
            CRLFLines({"time,PRECIP (mm)", "2024-11-03T01:30:00,0.2", "2024-11-03T02:30:00,0.0"}));
  R = Cli(Dir, {"--set", "LoggerTimeZone=+01:00", "export", Dir / "fall.csv", "--format", "csv",
                "--sensors", "PRECIP", "--output", Out});
  EXPECT_EQ(ReadWhole(Out), CRLFLines({"time,PRECIP (mm)", "2024-11-03T01:30:00+01:00,0.2",
                                       "2024-11-03T02:30:00+01:00,0.0"}));
  const std::string Log = ReadWhole(Dir / "fall.csv");
  R = Cli(Dir, {"export", Dir / "fall.csv", "--format", "csv"});
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(ReadWhole(Dir / "fall.csv"), Log);
  EXPECT_EQ(CsvField("a,\"b\""), "\"a,\"\"b\"\"\"");
}

TEST(CmdExport, NetCdfHoldsUtcTimesUnitsAndFillValues) {
  TScratchDir Dir;
  const std::string Log = Dir / "site1.log";
  WriteBinaryLog(Log, "SITE1", 2024, 5, 14, 900, {{"STAGE", 1.0, 0.0, 2}, {"RAIN", 1.0, 0.0, 1}},
                 {{Raw(1.23, 2), Raw(0.5, 1)}, {Raw(1.25, 2), 0xFFFF}, {Raw(1.5, 2), Raw(0, 1)}});
  TRun R = Cli(Dir, {"export", Log, "--format", "netcdf", "--tz", "-06:00", "--start", "2024-05-14",
                     "--end", "2024-05-14"});
  ASSERT_EQ(R.Code, 0) << R.Err;
  int Id, Var;
  ASSERT_EQ(nc_open((Dir / "site1.nc").c_str(), NC_NOWRITE, &Id), NC_NOERR);
  const auto Text = [&](int V, const char* Name) {
    std::size_t Len = 0;
    if (nc_inq_attlen(Id, V, Name, &Len) != NC_NOERR) return std::string("(none)");
    std::string T(Len, '\0');
    nc_get_att_text(Id, V, Name, T.data());
    return T;
  };
  EXPECT_EQ(Text(NC_GLOBAL, "title"), "SITE1");
  EXPECT_EQ(Text(NC_GLOBAL, "source"), "site1.log");
  EXPECT_EQ(Text(NC_GLOBAL, "Conventions"), "CF-1.8");
  ASSERT_EQ(nc_inq_varid(Id, "time", &Var), NC_NOERR);
  EXPECT_EQ(Text(Var, "units"), "seconds since 1970-01-01 00:00:00 UTC");
  long long Times[3];
  ASSERT_EQ(nc_get_var_longlong(Id, Var, Times), NC_NOERR);
  EXPECT_EQ(Times[0], 1715644800 + 6 * 3600); // 2024-05-14T00:00:00-06:00
  EXPECT_EQ(Times[2] - Times[0], 1800);
  ASSERT_EQ(nc_inq_varid(Id, "RAIN", &Var), NC_NOERR);
  EXPECT_EQ(Text(Var, "long_name"), "SITE1.RAIN");
  double Rain[3], Fill;
  int NoFill;
  ASSERT_EQ(nc_get_var_double(Id, Var, Rain), NC_NOERR);
  ASSERT_EQ(nc_inq_var_fill(Id, Var, &NoFill, &Fill), NC_NOERR);
  EXPECT_EQ(Rain[0], 0.5);
  EXPECT_EQ(Rain[1], Fill);
  EXPECT_EQ(Rain[2], 0.0);
  nc_close(Id);
}

TEST(CmdExport, RefusesZonesItDoesNotKnowAndOneOutputForSeveralLogs) {
  TScratchDir Dir;
  TRun R = Cli(Dir, {"export", "a.log", "--format", "csv", "--tz", "Mars/Olympus"});
  EXPECT_EQ(R.Code, 2);
  EXPECT_NE(R.Err.find(ZoneRefused("Mars/Olympus")), std::string::npos) << R.Err;
  R = Cli(Dir, {"export", "a.log", "b.log", "--format", "csv", "--output", "x.csv"});
  EXPECT_EQ(R.Code, 2);
  R = Cli(Dir, {"export", "a.log", "--format", "xlsx"});
  EXPECT_EQ(R.Code, 2);
}

// The installed tool reaches the zone database through a module of its own.
// Without it a named zone is refused with the reason and nothing is
// written; a fixed offset needs no database.
TEST(CmdExport, WithoutTheZoneModuleANamedZoneIsRefusedAndAnOffsetStillWorks) {
  TScratchDir Dir;
  std::filesystem::copy_file(QUORVIN_CLI_PATH, Dir / "quorvin-cli");
  WriteWhole(Dir / "a.csv", "11/03/2024,00:30:00,AIRTEMP,5.25,C,G\r\n"
                            "11/03/2024,01:30:00,AIRTEMP,4.5,C,G\r\n");
  const std::string Run = "./quorvin-cli --ini '" + TestIni(Dir / "none.ini") +
                          "' export a.csv --format csv --output a-iso.csv --tz ";
  TRun R = RunShell(Dir.Path(), Run + "America/Denver");
  EXPECT_EQ(R.Code, 2);
  EXPECT_NE(R.Err.find("time zones are not available: "), std::string::npos) << R.Err;
  EXPECT_FALSE(std::filesystem::exists(Dir / "a-iso.csv"));
  R = RunShell(Dir.Path(), Run + "-06:00");
  EXPECT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(ReadWhole(Dir / "a-iso.csv"),
            CRLFLines({"time,AIRTEMP (C)", "2024-11-03T00:30:00-06:00,5.25",
                       "2024-11-03T01:30:00-06:00,4.50"}));
}

} // namespace
} // namespace quorvin::test
