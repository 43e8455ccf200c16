// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "CliRun.h"
#include "generators/RamCardGen.h"
#include "ramcard/RamTestUtil.h"

namespace quorvin::test {
namespace {

std::string SampleDump() {
  return RamGenDump(
      {{"A.LOG", "alpha"}, {"BAD.LOG", "bravo", 1}, {"", "x"}, {"C.LOG", std::string(40001, 'c')}});
}

TEST(CmdRamcard, ListsEveryEntryWithItsChecksum) {
  TScratchDir Dir;
  WriteWhole(Dir / "card.img", std::string(4096, 'i') + SampleDump());
  TRun R = Cli(Dir, {"ramcard", Dir / "card.img", "list"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Out, "A.LOG\t5\tok\n"
                   "BAD.LOG\t5\tbad checksum\n"
                   "NONAME\t1\tok\n"
                   "C.LOG\t40001\tok\n");
  EXPECT_EQ(R.Err, "");
}

TEST(CmdRamcard, ListReportsDumpsThatCannotBeRead) {
  TScratchDir Dir;
  TRun Missing = Cli(Dir, {"ramcard", Dir.Path(), "list"});
  EXPECT_EQ(Missing.Code, 1);
  EXPECT_EQ(Missing.Out, "");
  EXPECT_EQ(Missing.Err, "error: Error! Ram Card Dump could not be found.\n");

  WriteWhole(Dir / "RAMCARD.RCD", RamGenHeader(2) + RamGenEnd());
  TRun Version = Cli(Dir, {"ramcard", Dir.Path(), "list"});
  EXPECT_EQ(Version.Code, 1);
  EXPECT_EQ(Version.Err, "error: Error! Incompatible dump version \n");

  WriteWhole(Dir / "RAMCARD.RCD", "short");
  TRun Short = Cli(Dir, {"ramcard", Dir / "RAMCARD.RCD", "list"});
  EXPECT_EQ(Short.Code, 1);
  EXPECT_EQ(Short.Err, "error: Error! File too short or cannot read file.\n");
}

TEST(CmdRamcard, SavesTheNamedFiles) {
  TScratchDir Dir;
  WriteWhole(Dir / "RAMCARD.RCD", SampleDump());
  const std::string Out = Dir / "out";
  std::filesystem::create_directory(Out);
  TRun R = Cli(Dir, {"ramcard", Dir.Path(), "save", "--out", Out, "A.LOG", "C.*"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Out, "");
  EXPECT_EQ(R.Err, "warning: Warning!  Checksum of data area failed.\n"
                   "status: Saved successfully: A.LOG, C.LOG\n");
  EXPECT_EQ(ReadWhole(Out + "/A.LOG"), "alpha");
  EXPECT_EQ(ReadWhole(Out + "/C.LOG"), std::string(40001, 'c'));

  // A damaged file among the names: the others are still saved, exit 1.
  TRun Bad = Cli(Dir, {"ramcard", Dir.Path(), "save", "--out", Out, "A.LOG", "BAD.LOG", "C.LOG"});
  EXPECT_EQ(Bad.Code, 1);
  EXPECT_EQ(Bad.Err, "warning: Warning!  Checksum of data area failed.\n"
                     "status: Warning! Save: Failed: BAD.LOG; Successful: A.L01, C.L01\n");
}

TEST(CmdRamcard, MissingOutputFolderNeedsYes) {
  TScratchDir Dir;
  WriteWhole(Dir / "d.rcd", RamGenDump({{"A.LOG", "alpha"}}));
  const std::string Out = Dir / "new/sub";
  TRun No = Cli(Dir, {"ramcard", Dir / "d.rcd", "save", "--out", Out, "A.LOG"});
  EXPECT_EQ(No.Code, 1);
  EXPECT_EQ(No.Err, "info: File Path does not exist. Do you wish to create it?\n"
                    "status: Warning! Unable to save files.\n");
  EXPECT_FALSE(std::filesystem::exists(Dir / "new"));

  std::vector<std::string> Args = {"--yes", "ramcard", Dir / "d.rcd", "save",
                                   "--out", Out,       "A.LOG"};
  TRun Yes = Cli(Dir, Args);
  EXPECT_EQ(Yes.Code, 0);
  EXPECT_EQ(Yes.Err, "info: File Path does not exist. Do you wish to create it?\n"
                     "status: Saved successfully: A.LOG\n");
  EXPECT_EQ(ReadWhole(Out + "/A.LOG"), "alpha");
}

TEST(CmdRamcard, OutputFolderFromTheSettings) {
  TScratchDir Dir;
  WriteWhole(Dir / "d.rcd", RamGenDump({{"A.LOG", "alpha"}}));
  TRun R =
      Cli(Dir, {"--set", "RAMDirectory=" + Dir.Path(), "ramcard", Dir / "d.rcd", "save", "A.LOG"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Err, "status: Saved successfully: A.LOG\n");
  EXPECT_EQ(ReadWhole(Dir / "A.LOG"), "alpha");

  TRun None = Cli(Dir, {"ramcard", Dir / "d.rcd", "save", "A.LOG"});
  EXPECT_EQ(None.Code, 1);
  EXPECT_EQ(None.Err, "status: Please select a valid output directory.\n");
}

TEST(CmdRamcard, NoSaveWhenTheDumpIsUnusable) {
  TScratchDir Dir;
  TRun R = Cli(Dir, {"ramcard", Dir / "none.rcd", "save", "--out", Dir.Path(), "*.*"});
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "error: Error! Ram Card Dump could not be found.\n");
}

TEST(CmdRamcard, UsageErrors) {
  TScratchDir Dir;
  for (const std::vector<std::string>& Args : {std::vector<std::string>{"ramcard"},
                                               {"ramcard", "x"},
                                               {"ramcard", "x", "show"},
                                               {"ramcard", "x", "list", "extra"},
                                               {"ramcard", "x", "save", "--out", "d"},
                                               {"ramcard", "x", "save", "--out"},
                                               {"ramcard", "x", "save", "--yes", "A"}}) {
    TRun R = Cli(Dir, Args);
    EXPECT_EQ(R.Code, 2) << Args.size();
    EXPECT_NE(R.Err.find("usage: quorvin-cli ramcard DUMP list"), std::string::npos) << R.Err;
  }
}

TEST(CmdRamcard, SampleDumpThroughTheProgram) {
  TScratchDir Dir;
  TRun R = RunCliProgram(Dir / "none.ini", {"ramcard", ExamplesDir(), "list"});
  EXPECT_EQ(R.Code, 0);
  const std::string& Out = R.Out;
  EXPECT_EQ(Out, "README.TXT\t38\tok\n"
                 "SITE1.DAT\t480\tok\n"
                 "SITE1.CSV\t384\tok\n"
                 "EMPTY.TXT\t0\tok\n"
                 "ODD.BIN\t3\tok\n");
}

// "--" ends the options: a stored name may start with "-".
TEST(CmdRamcard, DoubleDashEndsTheOptions) {
  TScratchDir Dir;
  WriteWhole(Dir / "RAMCARD.RCD", RamGenDump({{"-A.TXT", "dash"}}));
  std::filesystem::create_directory(Dir / "out");
  const TRun R = Cli(Dir, {"ramcard", Dir.Path(), "save", "--out", Dir / "out", "--", "-A.TXT"});
  EXPECT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(ReadWhole(Dir / "out/-A.TXT"), "dash");
}

} // namespace
} // namespace quorvin::test
