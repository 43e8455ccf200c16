// SPDX-License-Identifier: GPL-3.0-or-later
// The one file writer: whatever fails or is cancelled, the old file is left
// byte for byte, nothing is left beside it, and the reason is told.
#include "core/OutputFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/Scratch.h"

namespace quorvin::test {
namespace {

mode_t ModeOf(const std::string& Path) {
  struct stat St;
  return ::stat(Path.c_str(), &St) == 0 ? St.st_mode & 07777 : 0;
}

// Runs Body in a child process under a file-size limit of Limit bytes, as
// a full disk or a quota would stop it; answers the child's exit status.
template <typename F>
int InChildWithSizeLimit(rlim_t Limit, F Body) {
  const pid_t Pid = ::fork();
  if (Pid == 0) {
    SetUpProcessSignals();
    struct rlimit R {
      Limit, Limit
    };
    ::setrlimit(RLIMIT_FSIZE, &R);
    ::_exit(Body() ? 0 : 1);
  }
  int Status = 0;
  ::waitpid(Pid, &Status, 0);
  return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

TEST(OutputFile, ReplacementKeepsTheModeAndLeavesNothingBeside) {
  TScratchDir Dir;
  const std::string Target = Dir / "SITE1.PRN";
  WriteWhole(Target, "old");
  ::chmod(Target.c_str(), 0640);
  TOutputFile Out;
  ASSERT_TRUE(Out.OpenReplace(Target));
  // While it is written the new content sits beside the target under a name
  // a person recognises, not a hidden one.
  EXPECT_EQ(Out.WrittenName().rfind(Target + ".partial-", 0), 0u);
  ASSERT_TRUE(Out.WriteLine("new"));
  EXPECT_EQ(ReadWhole(Target), "old");
  ASSERT_TRUE(Out.Commit());
  EXPECT_EQ(ReadWhole(Target), "new\r\n");
  EXPECT_EQ(ModeOf(Target), 0640u);
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"SITE1.PRN"}));

  // A new file gets the usual mode of a new file.
  const mode_t Mask = ::umask(022);
  TOutputFile New;
  ASSERT_TRUE(New.OpenReplace(Dir / "NEW.PRN") && New.Write("x") && New.Commit());
  ::umask(Mask);
  EXPECT_EQ(ModeOf(Dir / "NEW.PRN"), 0644u);
}

TEST(OutputFile, ReadOnlyTargetsAreRefusedWithTheReason) {
  TScratchDir Dir;
  const std::string Target = Dir / "LOCKED.PRN";
  WriteWhole(Target, "keep");
  ::chmod(Target.c_str(), 0444);
  for (bool Append : {false, true}) {
    TOutputFile Out;
    EXPECT_FALSE(Append ? Out.OpenAppend(Target) : Out.OpenReplace(Target));
    EXPECT_EQ(Out.FailureReason(), Target + ": Permission denied");
  }
  EXPECT_EQ(ReadWhole(Target), "keep");
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"LOCKED.PRN"}));
}

TEST(OutputFile, FailedOrAbandonedAppendIsCutBack) {
  TScratchDir Dir;
  const std::string Target = Dir / "SITE1.PRN";
  const std::string Old(1000, 'o');
  WriteWhole(Target, Old);
  // A cancelled append: everything added goes again.
  {
    TOutputFile Out;
    ASSERT_TRUE(Out.OpenAppend(Target) && Out.Write("appended") && Out.Flush());
    Out.Abandon();
  }
  EXPECT_EQ(ReadWhole(Target), Old);
  // A file-size limit stops the write half way: the file is as it was.
  const std::string Big(1 << 21, 'n');
  EXPECT_EQ(InChildWithSizeLimit(4096,
                                 [&] {
                                   TOutputFile Out;
                                   return Out.OpenAppend(Target) && Out.Write(Big) && Out.Commit();
                                 }),
            1);
  EXPECT_EQ(ReadWhole(Target), Old);
  // The same limit on a replacement keeps the old file and leaves no
  // temporary file. Either way the reason names the target, never the
  // temporary file beside it.
  for (bool Append : {true, false})
    EXPECT_EQ(InChildWithSizeLimit(4096,
                                   [&] {
                                     TOutputFile Out;
                                     const bool Opened =
                                         Append ? Out.OpenAppend(Target) : Out.OpenReplace(Target);
                                     return Opened && !(Out.Write(Big) && Out.Commit()) &&
                                            Out.FailureReason() == Target + ": File too large";
                                   }),
              0)
        << Append;
  EXPECT_EQ(ReadWhole(Target), Old);
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"SITE1.PRN"}));
}

TEST(OutputFile, TerminationRemovesTheTemporaryFile) {
  TScratchDir Dir;
  const std::string Target = Dir / "SITE1.PRN";
  WriteWhole(Target, "old");
  for (int Signal : {SIGTERM, SIGINT}) {
    const pid_t Pid = ::fork();
    if (Pid == 0) {
      SetUpProcessSignals();
      TOutputFile Out;
      if (Out.OpenReplace(Target) && Out.Write("half") && Out.Flush()) std::raise(Signal);
      ::_exit(3);
    }
    int Status = 0;
    ::waitpid(Pid, &Status, 0);
    EXPECT_TRUE(WIFSIGNALED(Status) && WTERMSIG(Status) == Signal);
    EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"SITE1.PRN"}));
    EXPECT_EQ(ReadWhole(Target), "old");
  }
}

} // namespace
} // namespace quorvin::test
