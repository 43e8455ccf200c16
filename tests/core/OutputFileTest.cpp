// SPDX-License-Identifier: GPL-3.0-or-later
// The one file writer: whatever fails or is cancelled, the old file is left
// byte for byte, nothing is left beside it, and the reason is told.
#include "core/OutputFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

// A signal that ends the program takes back every file in progress, as a
// cancel does: replacements leave no temporary file, appends are cut back to
// their old size, however many files are being written at once (a --jobs
// run on a machine of many cores). A signal the program was started with
// ignored (nohup) stays ignored.
TEST(OutputFile, EndingSignalsTakeBackEveryFileInProgress) {
  constexpr int Files = 100;
  auto Name = [](int I) { return "F" + std::to_string(I) + ".PRN"; };
  for (int Signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) {
    SCOPED_TRACE(Signal);
    TScratchDir Dir;
    std::set<std::string> Names;
    for (int I = 0; I < Files; ++I) {
      WriteWhole(Dir / Name(I), "old");
      Names.insert(Name(I));
    }
    const pid_t Pid = ::fork();
    if (Pid == 0) {
      std::signal(Signal, SIG_DFL);
      SetUpProcessSignals();
      std::vector<std::unique_ptr<TOutputFile>> Open;
      for (int I = 0; I < Files; ++I) {
        Open.push_back(std::make_unique<TOutputFile>());
        TOutputFile& Out = *Open.back();
        const std::string Target = Dir / Name(I);
        if (!(I % 2 ? Out.OpenAppend(Target) : Out.OpenReplace(Target)) || !Out.Write("half") ||
            !Out.Flush())
          ::_exit(3);
      }
      std::raise(Signal);
      ::_exit(4);
    }
    int Status = 0;
    ::waitpid(Pid, &Status, 0);
    EXPECT_TRUE(WIFSIGNALED(Status) && WTERMSIG(Status) == Signal) << Status;
    EXPECT_EQ(FolderNames(Dir.Path()), Names);
    for (int I = 0; I < Files; ++I) EXPECT_EQ(ReadWhole(Dir / Name(I)), "old") << Name(I);
  }

  const pid_t Pid = ::fork();
  if (Pid == 0) {
    std::signal(SIGHUP, SIG_IGN);
    SetUpProcessSignals();
    std::raise(SIGHUP);
    ::_exit(0);
  }
  int Status = 0;
  ::waitpid(Pid, &Status, 0);
  EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0);
}

// A target that is a symbolic link keeps being one: the file it names gets
// the new content, replaced or appended to, and is made when missing.
TEST(OutputFile, ALinkAsTheTargetIsWrittenThrough) {
  TScratchDir Dir;
  std::filesystem::create_directory(Dir / "data");
  WriteWhole(Dir / "data/SITE1.PRN", "old");
  ASSERT_EQ(::symlink("data/SITE1.PRN", (Dir / "SITE1.PRN").c_str()), 0);
  ASSERT_EQ(::symlink("data/NEW.PRN", (Dir / "NEW.PRN").c_str()), 0);
  auto IsLink = [](const std::string& Path) {
    struct stat St;
    return ::lstat(Path.c_str(), &St) == 0 && S_ISLNK(St.st_mode);
  };

  TOutputFile Out;
  ASSERT_TRUE(Out.OpenReplace(Dir / "SITE1.PRN"));
  EXPECT_EQ(Out.WrittenName().rfind(Dir / "data/SITE1.PRN.partial-", 0), 0u);
  ASSERT_TRUE(Out.Write("new") && Out.Commit());
  ASSERT_TRUE(Out.OpenAppend(Dir / "SITE1.PRN") && Out.Write("+") && Out.Commit());
  ASSERT_TRUE(Out.OpenReplace(Dir / "NEW.PRN") && Out.Write("made") && Out.Commit());
  EXPECT_TRUE(IsLink(Dir / "SITE1.PRN"));
  EXPECT_TRUE(IsLink(Dir / "NEW.PRN"));
  EXPECT_EQ(ReadWhole(Dir / "data/SITE1.PRN"), "new+");
  EXPECT_EQ(ReadWhole(Dir / "data/NEW.PRN"), "made");
  EXPECT_EQ(FolderNames(Dir / "data"), (std::set<std::string>{"NEW.PRN", "SITE1.PRN"}));
}

} // namespace
} // namespace quorvin::test
