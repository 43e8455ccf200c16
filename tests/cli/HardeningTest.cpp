// SPDX-License-Identifier: GPL-3.0-or-later
// The batch tool on hostile settings files and card names.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "CliRun.h"
#include "cli/ConsoleUi.h"
#include "generators/RamCardGen.h"
#include "ramcard/RamTestUtil.h"

namespace quorvin::test {
namespace {

// A settings file named on purpose that cannot be read, or is not there, is
// a usage error naming it.
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
      {Dir / "none.ini", 2,
       "--ini " + Dir / "none.ini" + ": cannot be read (No such file or directory)\n"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Path);
    std::ostringstream Out, Err;
    EXPECT_EQ(cli::RunCli({"--ini", C.Path, "help"}, Out, Err), C.Code);
    EXPECT_EQ(Err.str(), C.Err);
  }
}

// Every message is one line of printable text: the names in it have their
// control characters escaped (in the summary too), a message's own line
// breaks are joined.
TEST(CliHardening, MessagesAreOneLineOfPrintableText) {
  TScratchDir Dir;
  CopySamples(Dir, {"SITE1.LOG"});
  const std::string Odd = "E\x1b[2J\nX";
  std::filesystem::copy_file(Dir / "SITE1.LOG", Dir / (Odd + ".LOG"));
  const TRun Saved =
      RunCliWithIni(Dir / "none.ini", {"--summary", "-", "prn", Dir / (Odd + ".LOG")});
  EXPECT_EQ(Saved.Code, 0);
  EXPECT_EQ(Saved.Err, "status: Log written to " + Dir / "E\\x1b[2J\\x0aX.PRN.\n");
  EXPECT_EQ(Saved.Out, "input\tcommand\texit status\toutput file\tstatus\n" +
                           Dir / "E\\x1b[2J\\nX.LOG\tprn\t0\t" +
                           Dir / "E\\x1b[2J\\nX.PRN\tLog written to " +
                           Dir / "E\\x1b[2J\\nX.PRN.\n");
  // C1 controls, raw or in UTF-8; other UTF-8 stays as it is.
  std::filesystem::copy_file(Dir / "SITE1.LOG", Dir / "\x9b\xc2\x9b\xc3\xa9.LOG");
  const TRun C1 = RunCliWithIni(Dir / "none.ini", {"prn", Dir / "\x9b\xc2\x9b\xc3\xa9.LOG"});
  EXPECT_EQ(C1.Err, "status: Log written to " + Dir / "\\x9b\\xc2\\x9b\xc3\xa9.PRN.\n");

  std::string Csv = "'Mixed\r\n";
  for (const char* Row : {"10:00:00,A,1.5", "10:00:00,B,10", "10:10:00,B,11", "10:15:00,A,1.6",
                          "10:20:00,B,12", "10:30:00,A,1.7", "10:30:00,B,13"})
    Csv += std::string("03/07/1999,") + Row + ",C,G\r\n";
  WriteWhole(Dir / "mixed.csv", Csv);
  const TRun Mixed = RunCliWithIni(Dir / "none.ini", {"prn", Dir / "mixed.csv"});
  EXPECT_EQ(Mixed.Code, 1);
  EXPECT_EQ(Mixed.Err, "warning: Sensors selected have different logging intervals. Please select "
                       "sensors with similiar logging intervals. View header for sensor logging "
                       "intervals\nstatus: Error! Unable to save file.\n");
}

// The command's result is what it put into the message panel, never the
// progress shown there on the way.
TEST(CliHardening, ProgressIsNoResult) {
  cli::TConsoleStatusBar Status;
  Status.SetProgressText("Importing from .LOG file SITE1 ...");
  EXPECT_EQ(Status.PanelText(1), "Importing from .LOG file SITE1 ...");
  EXPECT_EQ(Status.Result(), "");
  Status.SetPanelText(1, "Importing from the card is not possible.");
  EXPECT_EQ(Status.Result(), "Importing from the card is not possible.");
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
