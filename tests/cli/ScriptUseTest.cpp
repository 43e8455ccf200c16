// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli as scripts use it: every failure to write standard output is
// told, "--" and "-" mean what they mean to other tools, the lists and
// settings files it is given are checked, and the exit status says whether
// anything was made.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "CliRun.h"
#include "generators/LogGen.h"

namespace quorvin::test {
namespace {

namespace fs = std::filesystem;

// A CSV log whose one stray row from a reset clock makes a grid of millions
// of empty lines, which the long passes ask about first.
void WriteStrayLog(const std::string& Path) {
  std::string Csv = "01/01/1985,00:00:00,A,1.0,C,G\r\n";
  for (int M = 0; M < 1440; M += 15)
    Csv += "07/01/2024," + std::to_string(100 + M / 60).substr(1) + ":" +
           std::to_string(100 + M % 60).substr(1) + ":00,A,2.5,C,G\r\n";
  WriteWhole(Path, Csv);
}

TEST(ScriptUse, StandardOutputThatCannotBeWrittenIsAnError) {
  TScratchDir Dir;
  CopySamples(Dir, {"SITE1.LOG"});
  TGenLog L;
  L.Sensors = {{"STAGE", 1.0, 0.0, 2}, {"RAIN", 0.01, 0.0, 1}};
  WriteLogFile(Dir / "BIG.LOG", L, 20000, PatternRaw);
  const std::string Full = "error: standard output could not be written: No space left on device\n";
  for (const char* Args :
       {"header SITE1.LOG", "prn SITE1.LOG --display", "--summary - header SITE1.LOG"}) {
    SCOPED_TRACE(Args);
    const TRun R = RunShell(Dir.Path(), CliCommand(Dir / "none.ini") + " " + Args + " >/dev/full");
    EXPECT_EQ(R.Code, 1);
    EXPECT_EQ(R.Err, Full);
  }
  // A closed pipe, with SIGPIPE ignored as some callers do: the long
  // display stops, and the run fails.
  const TRun Closed =
      RunShell(Dir.Path(), "trap '' PIPE; { " + CliCommand(Dir / "none.ini") +
                               " prn BIG.LOG --display; echo $? >code; } | head -c 10 >/dev/null; "
                               "exit $(cat code)");
  EXPECT_EQ(Closed.Code, 1);
  EXPECT_NE(Closed.Err.find("error: standard output could not be written: Broken pipe\n"),
            std::string::npos)
      << Closed.Err;
}

TEST(ScriptUse, DoubleDashEndsTheOptions) {
  TScratchDir Dir;
  CopySamples(Dir, {"SITE1.LOG"});
  fs::copy_file(Dir / "SITE1.LOG", Dir / "-x.LOG");
  const std::string Ini = Dir / "none.ini";
  const fs::path Was = fs::current_path();
  fs::current_path(Dir.Path());
  const TRun Header = RunCliWithIni(Ini, {"header", "--", "-x.LOG"});
  const TRun Prn = RunCliWithIni(Ini, {"prn", "--sensors", "1", "--", "-x.LOG", "SITE1.LOG"});
  fs::current_path(Was);
  EXPECT_EQ(Header.Code, 0) << Header.Err;
  EXPECT_NE(Header.Out.find("R630/R600 LOG HEADER FROM: SITE1"), std::string::npos);
  EXPECT_EQ(Prn.Code, 0) << Prn.Err;
  EXPECT_EQ(FolderNames(Dir.Path()),
            (std::set<std::string>{"-X.PRN", "-x.LOG", "SITE1.LOG", "SITE1.PRN"}));
}

TEST(ScriptUse, DashAsTheSummaryIsStandardOutput) {
  TScratchDir Dir;
  CopySamples(Dir, {"SITE1.LOG"});
  const TRun R = RunCliWithIni(Dir / "none.ini", {"--summary", "-", "prn", Dir / "SITE1.LOG"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Out, "input\tcommand\texit status\toutput file\tstatus\n" + Dir / "SITE1.LOG" +
                       "\tprn\t0\t" + Dir / "SITE1.PRN" + "\tLog written to " + Dir / "SITE1.PRN" +
                       ".\n");
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"SITE1.LOG", "SITE1.PRN"}));
}

// The usual settings file may be missing, but one that is there and cannot
// be read is worth a warning.
TEST(ScriptUse, UsualSettingsFileThatCannotBeRead) {
  TScratchDir Dir;
  fs::create_directory(Dir / "Quorvin.ini");
  const TRun Folder = RunShell(Dir.Path(), std::string(QUORVIN_CLI_PATH) + " help >/dev/null");
  EXPECT_EQ(Folder.Code, 0);
  EXPECT_EQ(Folder.Err,
            "warning: Quorvin.ini cannot be read (a folder); the default options are used\n");
}

TEST(ScriptUse, FilesFromTakesARegularFileOrAPipe) {
  TScratchDir Dir;
  CopySamples(Dir, {"SITE1.LOG"});
  const std::string Ini = Dir / "none.ini";
  const std::string Usage = " (usage: quorvin-cli header LOG...)\n";
  fs::create_directory(Dir / "list");
  const TRun Folder = RunCliWithIni(Ini, {"header", "--files-from", Dir / "list"});
  EXPECT_EQ(Folder.Code, 2);
  EXPECT_EQ(Folder.Err, "--files-from " + Dir / "list" + ": cannot be read (a folder)" + Usage);
  const TRun Device = RunCliWithIni(Ini, {"header", "--files-from", "/dev/zero"});
  EXPECT_EQ(Device.Code, 2);
  EXPECT_EQ(Device.Err, "--files-from /dev/zero: cannot be read (not a regular file)" + Usage);

  // A line longer than any path (an endless stream without line ends, say)
  // stops the reading at once.
  std::istringstream Long(Dir / "SITE1.LOG" + "\n\n" + std::string(5000, 'x') + "\n");
  std::ostringstream Out, Err;
  cli::TCliEnvironment Env;
  Env.In = &Long;
  EXPECT_EQ(cli::RunCli({"--ini", TestIni(Ini), "header", "--files-from", "-"}, Out, Err, Env), 1);
  EXPECT_EQ(Err.str(), "error: --files-from -: line 3 is longer than a path can be (4096 bytes)\n");
  EXPECT_EQ(Out.str(), "");

  // A pipe is read as a file is.
  ASSERT_EQ(::mkfifo((Dir / "fifo").c_str(), 0600), 0);
  std::thread Writer([&] { WriteWhole(Dir / "fifo", Dir / "SITE1.LOG" + "\n"); });
  const TRun Piped = RunCliWithIni(Ini, {"header", "--files-from", Dir / "fifo"});
  Writer.join();
  EXPECT_EQ(Piped.Code, 0) << Piped.Err;
  EXPECT_NE(Piped.Out.find("LOG HEADER FROM: SITE1"), std::string::npos);
}

// A run that makes nothing because the log holds nothing to convert fails;
// one that makes nothing because the user asked for nothing succeeds and
// says so, as the window's Display does.
TEST(ScriptUse, ExitStatusWhenNothingIsMade) {
  TScratchDir Dir;
  CopySamples(Dir, {"SITE1.LOG"});
  ASSERT_TRUE(WriteBinaryLog(Dir / "EMPTY.LOG", "EMPTY", 1999, 3, 7, 900, {}, {{}, {}}));
  const std::string Ini = Dir / "none.ini";
  for (const char* Command : {"prn", "stats"}) {
    SCOPED_TRACE(Command);
    const TRun Empty = RunCliWithIni(Ini, {Command, Dir / "EMPTY.LOG"});
    EXPECT_EQ(Empty.Code, 1);
    EXPECT_EQ(Empty.Err, "warning: No sensors in Log file.\n");
    const TRun None = RunCliWithIni(Ini, {Command, Dir / "SITE1.LOG", "--sensors", "none"});
    EXPECT_EQ(None.Code, 0);
    EXPECT_EQ(None.Err, "status: No sensors selected to display.\n");
    EXPECT_EQ(None.Out, "");
  }
  const TRun Summary =
      RunCliWithIni(Ini, {"--summary", "-", "prn", Dir / "EMPTY.LOG", "--display"});
  EXPECT_EQ(Summary.Code, 1);
  EXPECT_NE(Summary.Out.find("\tprn\t1\t\tNo sensors selected to display.\n"), std::string::npos)
      << Summary.Out;
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"EMPTY.LOG", "SITE1.LOG"}));
}

// No to the question before a long pass: the status says the command was
// not carried out, as the window's message panel does.
TEST(ScriptUse, DeclinedLongPassSaysSo) {
  TScratchDir Dir;
  WriteStrayLog(Dir / "stray.csv");
  const TRun R = RunCliWithIni(Dir / "none.ini", {"stats", Dir / "stray.csv"});
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err.rfind("confirm: This log spans ", 0), 0u);
  EXPECT_EQ(R.Err.substr(R.Err.rfind('\n', R.Err.size() - 2) + 1),
            "status: Statistics cancelled.\n");
}

} // namespace
} // namespace quorvin::test
