// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli as built: its graph command runs in the program it hands over
// to, with the same arguments, answers and picture; without that program
// it says so.
#include <gtest/gtest.h>

#include <QImage>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/Scratch.h"

namespace quorvin::chart {
namespace {

namespace fs = std::filesystem;

struct TProcess {
  int Code = -1;
  std::string Err;
};

// Runs Program with Args (quoted for the shell); its standard error.
TProcess RunProgram(const std::string& Program, const std::vector<std::string>& Args,
                    const std::string& ErrFile) {
  std::string Command = "'" + Program + "'";
  for (const std::string& A : Args) Command += " '" + A + "'";
  Command += " 2>'" + ErrFile + "' </dev/null";
  TProcess P;
  const int Status = std::system(Command.c_str());
  P.Code = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
  P.Err = test::ReadWhole(ErrFile);
  return P;
}

TEST(GraphHandOver, TheBuiltToolDrawsThroughItsGraphProgram) {
  test::TScratchDir Dir;
  // Every option at its default: a settings file named must exist.
  ASSERT_TRUE(test::WriteWhole(Dir / "none.ini", ""));
  const std::string Png = Dir / "graph.png";
  const TProcess P =
      RunProgram(QUORVIN_CLI_PATH,
                 {"--ini", Dir / "none.ini", "graph", std::string(QUORVIN_EXAMPLES) + "/SITE1.LOG",
                  "--png", Png, "--size", "320x200"},
                 Dir / "err");
  EXPECT_EQ(P.Code, 0);
  EXPECT_EQ(P.Err, "status: Chart written to " + Png + ".\n");
  EXPECT_EQ(QImage(QString::fromStdString(Png)).size(), QSize(320, 200));
  // A usage error is the tool's own, before any hand-over.
  const TProcess Usage = RunProgram(QUORVIN_CLI_PATH, {"graph", "--png", Png}, Dir / "err");
  EXPECT_EQ(Usage.Code, 2);
  EXPECT_EQ(Usage.Err.rfind("no log file given (usage: quorvin-cli graph LOG", 0), 0u);
}

TEST(GraphHandOver, WithoutTheGraphProgramGraphIsNotAvailable) {
  test::TScratchDir Dir;
  const std::string Alone = Dir / "quorvin-cli";
  ASSERT_TRUE(test::WriteWhole(Dir / "none.ini", ""));
  fs::copy_file(QUORVIN_CLI_PATH, Alone);
  const std::string Png = Dir / "graph.png";
  const TProcess P = RunProgram(Alone,
                                {"--ini", Dir / "none.ini", "graph",
                                 std::string(QUORVIN_EXAMPLES) + "/SITE1.LOG", "--png", Png},
                                Dir / "err");
  EXPECT_EQ(P.Code, 2);
  EXPECT_EQ(P.Err, "graph is not available: " + Dir.Path() +
                       "/quorvin-cli-graph: No such file or directory\n");
  EXPECT_FALSE(fs::exists(Png));
  // Every other command needs no graph program.
  EXPECT_EQ(RunProgram(
                Alone,
                {"--ini", Dir / "none.ini", "header", std::string(QUORVIN_EXAMPLES) + "/SITE1.LOG"},
                Dir / "err")
                .Code,
            0);
}

} // namespace
} // namespace quorvin::chart
