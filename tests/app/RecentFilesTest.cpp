// SPDX-License-Identifier: GPL-3.0-or-later
// The files opened last: which opens list a file, in what order, how many,
// and how the list and the Open dialog's folder outlive the program.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/IniFile.h"
#include "support/FakeApp.h"
#include "support/Scratch.h"

namespace quorvin::test {
namespace {

TEST(RecentFiles, OpensListTheNewestFirstUpToEightAndTheListIsKeptWithTheFolder) {
  TScratchDir Dir;
  CopySamples(Dir, {"SITE1.LOG"});
  std::vector<std::string> Logs;
  for (int I = 0; I < 10; ++I) {
    Logs.push_back(Dir / ("L" + std::to_string(I) + ".log"));
    std::filesystem::copy_file(Dir / "SITE1.LOG", Logs.back());
  }
  WriteWhole(Dir / "Quorvin.ini",
             "[Mine]\nKey=kept\n[RecentFiles]\nFolder=/srv/logs\nFile1=" + Logs[9] +
                 "\nFile2=\nFile3=" + Logs[9] + "\nFile4=" + Dir / "gone.log" + "\n");
  TFakeApp F;
  TIniFile Ini(Dir / "Quorvin.ini");
  F.App.FormCreate(Ini);
  EXPECT_EQ(F.App.OpenDialogFolder, "/srv/logs");
  EXPECT_EQ(F.App.RecentFiles.Files(), (std::vector<std::string>{Logs[9], Dir / "gone.log"}));

  // The Open dialog and OpenFile alike; a log listed already moves up.
  F.FileDialog.Answers = {Logs[0]};
  EXPECT_TRUE(F.App.FileOpenExecute(captions::TagFileOpen).Succeeded);
  for (int I = 1; I < 9; ++I) EXPECT_TRUE(F.App.OpenFile(Logs[std::size_t(I)]).Succeeded);
  EXPECT_TRUE(F.App.OpenFile(Logs[3]).Succeeded);
  EXPECT_EQ(F.App.RecentFiles.Files(),
            (std::vector<std::string>{Logs[3], Logs[8], Logs[7], Logs[6], Logs[5], Logs[4], Logs[2],
                                      Logs[1]}));
  // A listed file that is gone leaves the list when asked for; a name
  // relative to the current folder is listed by its whole path.
  F.App.RecentFiles.Add(Dir / "gone.log");
  EXPECT_FALSE(F.App.OpenFile(Dir / "gone.log").Succeeded);
  EXPECT_EQ(F.App.RecentFiles.Files().front(), Logs[3]);
  const std::filesystem::path Here = std::filesystem::current_path();
  std::filesystem::current_path(Dir.Path());
  F.App.OpenFiles({"L0.log", "missing.log", "L9.log", "L8.log"});
  std::filesystem::current_path(Here);
  EXPECT_EQ(F.App.Selection.LogFileName, "L0.log");
  EXPECT_EQ(F.App.RecentFiles.Files(),
            (std::vector<std::string>{Logs[0], Logs[9], Logs[8], Logs[3], Logs[7], Logs[6], Logs[5],
                                      Logs[4]}));

  // A shorter list leaves no entry of the longer one behind.
  F.App.RecentFiles.Remove(Logs[4]);
  EXPECT_TRUE(F.App.FormDestroy(Ini));
  EXPECT_NE(ReadWhole(Dir / "Quorvin.ini").find("[Mine]\nKey=kept\n"), std::string::npos);
  TFakeApp Again;
  TIniFile Back(Dir / "Quorvin.ini");
  Again.App.FormCreate(Back);
  EXPECT_EQ(Again.App.RecentFiles.Files(), F.App.RecentFiles.Files());
  EXPECT_EQ(Again.App.OpenDialogFolder, Dir.Path());
}

} // namespace
} // namespace quorvin::test
