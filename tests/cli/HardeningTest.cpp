// SPDX-License-Identifier: GPL-3.0-or-later
// The batch tool on hostile settings files and card names.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "CliRun.h"
#include "ramcard/RamTestUtil.h"
#include "support/RamCardGen.h"

namespace quorvin::test {
namespace {

// A settings file named on purpose that cannot be read is a usage error
// naming it; one that does not exist gives the defaults, as before.
TEST(CliHardening, IniThatCannotBeReadIsAUsageError) {
  TScratchDir Dir;
  std::filesystem::create_directory(Dir / "folder.ini");
  ASSERT_EQ(::mkfifo((Dir / "fifo.ini").c_str(), 0600), 0);
  const struct {
    std::string Path;
    int Code;
    std::string Err;
  } Cases[] = {
      {Dir / "folder.ini", 2, "--ini " + Dir / "folder.ini" + ": cannot be read (a folder)\n"},
      {Dir / "fifo.ini", 2,
       "--ini " + Dir / "fifo.ini" + ": cannot be read (not a regular file)\n"},
      {Dir / "none.ini", 0, ""},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Path);
    const TRun R = RunCliWithIni(C.Path, {"help"});
    EXPECT_EQ(R.Code, C.Code);
    EXPECT_EQ(R.Err, C.Err);
  }
}

// A listing never passes a control character of a stored name to the terminal.
TEST(CliHardening, RamcardListEscapesNonPrintableBytes) {
  TScratchDir Dir;
  WriteWhole(Dir / "RAMCARD.RCD", RamGenDump({{"ESC\x1b[2J.L", "e"}, {"CAF\x82.LOG", "cc"}}));
  const TRun R = RunCliWithIni(Dir / "none.ini", {"ramcard", Dir.Path(), "list"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Out, "ESC\\x1b[2J.L\t1\tok\n"
                   "CAF\\x82.LOG\t2\tok\n");
}

} // namespace
} // namespace quorvin::test
