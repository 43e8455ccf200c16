// SPDX-License-Identifier: GPL-3.0-or-later
// Saves that cannot complete leave the user's file exactly as it was and
// say why: a write-protected file, a full disk (a file-size limit here), in
// replace and in append mode, for the LOGPRN and the DDR Save.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CliRun.h"
#include "core/OutputFile.h"

namespace quorvin::test {
namespace {

TEST(OutputFiles, WriteProtectedTargetIsNotReplaced) {
  TScratchDir Dir;
  CopySamples(Dir, {"SITE1.LOG"});
  WriteWhole(Dir / "SITE1.PRN", "protected");
  ::chmod((Dir / "SITE1.PRN").c_str(), 0444);
  for (const char* Append : {"AppendData=NO", "AppendData=YES"}) {
    TRun R = RunCliWithIni(Dir / "none.ini", {"--set", Append, "prn", Dir / "SITE1.LOG"});
    EXPECT_EQ(R.Code, 1);
    EXPECT_EQ(R.Err, "warning: Error opening output file " + Dir / "SITE1.PRN" +
                         ".\nreason: " + Dir / "SITE1.PRN" +
                         ": Permission denied\nstatus: Error! Unable to save file.\n");
    EXPECT_EQ(ReadWhole(Dir / "SITE1.PRN"), "protected");
  }
}

TEST(OutputFiles, FullDiskLeavesTheOldFileInEveryMode) {
  struct TCase {
    std::vector<std::string> Args; // "@" is the scratch folder
    std::string Output;
  };
  const TCase Cases[] = {
      {{"--set", "AppendData=YES", "prn", "@/SITE1.LOG"}, "SITE1.PRN"},
      {{"--set", "AppendData=NO", "prn", "@/SITE1.LOG"}, "SITE1.PRN"},
      {{"--set", "AppendDDRData=YES", "ddr", "@/SAMPLE.DDR", "--save"}, "SAMPLE.PRN"},
      {{"--set", "AppendDDRData=NO", "ddr", "@/SAMPLE.DDR", "--save"}, "SAMPLE.PRN"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Args[1]);
    TScratchDir Dir;
    CopySamples(Dir, {"SITE1.LOG", "SAMPLE.DDR"});
    const std::string Old(3000, 'o');
    WriteWhole(Dir / C.Output, Old);
    std::vector<std::string> Args;
    for (const std::string& A : C.Args)
      Args.push_back(A.rfind("@/", 0) == 0 ? Dir / A.substr(2) : A);
    const pid_t Pid = ::fork();
    if (Pid == 0) {
      // Room for the old file and a little more: the save runs out half way.
      SetUpProcessSignals();
      struct rlimit Limit {
        4000, 4000
      };
      ::setrlimit(RLIMIT_FSIZE, &Limit);
      ::_exit(RunCliWithIni(Dir / "none.ini", Args).Code);
    }
    int Status = 0;
    ::waitpid(Pid, &Status, 0);
    ASSERT_TRUE(WIFEXITED(Status));
    EXPECT_EQ(WEXITSTATUS(Status), 1);
    EXPECT_EQ(ReadWhole(Dir / C.Output), Old);
    EXPECT_EQ(FolderNames(Dir.Path()),
              (std::set<std::string>{"SITE1.LOG", "SAMPLE.DDR", C.Output}));
  }
}

} // namespace
} // namespace quorvin::test
