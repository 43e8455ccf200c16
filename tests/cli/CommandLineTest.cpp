// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as the parser declares it: help, version and the usage
// errors, one line naming the problem and the command's usage.
#include <gtest/gtest.h>

#include "CliRun.h"

namespace quorvin::test {
namespace {

const std::string Tool = "[--ini PATH] [--set KEY=VALUE]... [--yes] [--jobs N] "
                         "[--files-from LIST] [--summary FILE] COMMAND ARGS...";
const std::string Prn =
    "prn LOG... [--sensors LIST] [--start YYYY-MM-DD] [--end YYYY-MM-DD] [--display]";
const std::string Ddr = "ddr DDR... [--display | --save | --summary] [--output PATH]";
const std::string Ramcard = "ramcard DUMP list | ramcard DUMP save NAME... [--out DIR]";

TEST(CommandLine, UsageErrorsNameTheProblemAndTheUsage) {
  TScratchDir Dir;
  const struct {
    std::vector<std::string> Args;
    std::string Problem, Usage;
  } Cases[] = {
      {{}, "no command given", Tool},
      {{"--bogus", "prn", "X.LOG"}, "unknown option: --bogus", Tool},
      {{"convert", "X.LOG"}, "unknown command: convert", Tool},
      {{"--set", "Foo"}, "--set takes KEY=VALUE", Tool},
      {{"--set", "NoKey=1", "prn", "X.LOG"}, "unknown settings key: NoKey", Tool},
      {{"--set", "AppendData=maybe", "prn", "X.LOG"},
       "--set AppendData takes one of YES, NO, not \"maybe\"",
       Tool},
      {{"--ini"}, "--ini needs a value", Tool},
      {{"--jobs", "0", "prn", "X.LOG"}, "--jobs takes a whole number of 1 or more: 0", Tool},
      {{"prn", "X.LOG", "--jobs", "two"}, "--jobs takes a whole number of 1 or more: two", Tool},
      {{"--summary", "s.tsv", "ramcard", "D", "list"},
       "--jobs, --files-from and --summary go with prn, header, stats and ddr",
       Tool},
      {{"prn"}, "no log file given", Prn},
      {{"prn", "X.LOG", "--bogus"}, "unknown option: --bogus", Prn},
      {{"prn", "X.LOG", "--sensors"}, "--sensors needs a value", Prn},
      {{"prn", "X.LOG", "--start", "2024-02-30"},
       "--start takes a date as YYYY-MM-DD: 2024-02-30",
       Prn},
      {{"prn", "X.LOG", "--end", ""}, "--end takes a date as YYYY-MM-DD: ", Prn},
      {{"header"}, "no log file given", "header LOG..."},
      {{"stats", "X.LOG", "--display"},
       "unknown option: --display",
       "stats LOG... [--sensors LIST] [--start YYYY-MM-DD] [--end YYYY-MM-DD]"},
      {{"ddr"}, "ddr needs a DDR file", Ddr},
      {{"ddr", "X.DDR", "--save", "--summary"}, "choose one of --display, --save, --summary", Ddr},
      {{"ddr", "X.DDR", "--output", "Y.PRN"}, "--output goes with --save", Ddr},
      {{"ramcard"}, "ramcard needs DUMP and list or save", Ramcard},
      {{"ramcard", "D", "show"}, "unknown ramcard action: show", Ramcard},
      {{"ramcard", "D", "list", "A"}, "list takes no further arguments", Ramcard},
      {{"ramcard", "D", "save"}, "save needs at least one NAME", Ramcard},
      {{"ramcard", "D", "save", "A", "--jobs", "2"}, "unknown option: --jobs", Ramcard},
      {{"help", "convert"}, "unknown command: convert", "help [COMMAND]"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Problem);
    const TRun R = RunCliWithIni(Dir / "none.ini", C.Args);
    EXPECT_EQ(R.Code, 2);
    EXPECT_EQ(R.Out, "");
    EXPECT_EQ(R.Err, C.Problem + " (usage: quorvin-cli " + C.Usage + ")\n");
  }
}

TEST(CommandLine, HelpAndVersionComeFromTheDeclarations) {
  TScratchDir Dir;
  auto Out = [&](const std::vector<std::string>& Args) {
    const TRun R = RunCliWithIni(Dir / "none.ini", Args);
    EXPECT_EQ(R.Code, 0);
    EXPECT_EQ(R.Err, "");
    return R.Out;
  };
  EXPECT_EQ(Out({"--version"}),
            "quorvin-cli " QUORVIN_VERSION "\n"
            "Copyright (C) The Quorvin developers\n"
            "License GPL-3.0-or-later: GNU GPL version 3 or later "
            "<https://gnu.org/licenses/gpl.html>.\n"
            "This is free software: you are free to change and redistribute it.\n"
            "There is NO WARRANTY, to the extent permitted by law.\n");
  const std::string All = Out({"help"});
  EXPECT_EQ(All, Out({"--help"}));
  EXPECT_NE(All.find("\nUsage: quorvin-cli " + Tool + "\n"), std::string::npos) << All;
  for (const char* Command : {"header", "prn", "ramcard", "ddr", "stats"})
    EXPECT_NE(All.find(std::string("\n  ") + Command + " "), std::string::npos) << Command;

  const std::string One = Out({"help", "prn"});
  EXPECT_EQ(One, Out({"prn", "--help"}));
  EXPECT_NE(One.find("\nUsage: quorvin-cli " + Prn + "\n"), std::string::npos) << One;
  for (const char* Option : {"--sensors LIST", "--display", "--jobs N", "--summary FILE"})
    EXPECT_NE(One.find(Option), std::string::npos) << Option;
  // After ddr, --summary is the block summary, not the run's summary file.
  const std::string D = Out({"help", "ddr"});
  EXPECT_EQ(D.find("--summary FILE"), std::string::npos) << D;
  EXPECT_NE(D.find("--files-from LIST"), std::string::npos) << D;
}

TEST(CommandLine, RunOptionsBeforeOrAfterTheCommand) {
  TScratchDir Dir;
  CopySamples(Dir, {"SITE1.LOG", "SAMPLE.DDR"});
  for (const std::vector<std::string>& Args :
       {std::vector<std::string>{"--summary", Dir / "s.tsv", "--jobs", "2", "header",
                                 Dir / "SITE1.LOG"},
        {"header", Dir / "SITE1.LOG", "--summary", Dir / "s.tsv", "--jobs", "2"}}) {
    std::filesystem::remove(Dir / "s.tsv");
    EXPECT_EQ(RunCliWithIni(Dir / "none.ini", Args).Code, 0);
    EXPECT_TRUE(std::filesystem::exists(Dir / "s.tsv"));
  }
  // "ddr X --summary" lists the blocks; a summary file goes before ddr.
  const TRun Blocks = RunCliWithIni(
      Dir / "none.ini", {"--summary", Dir / "d.tsv", "ddr", Dir / "SAMPLE.DDR", "--summary"});
  EXPECT_EQ(Blocks.Code, 0);
  EXPECT_NE(Blocks.Out.find("START TIME"), std::string::npos);
  EXPECT_NE(ReadWhole(Dir / "d.tsv").find("\tddr\t0\t"), std::string::npos);
}

} // namespace
} // namespace quorvin::test
