// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/IniFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "core/RegularFile.h"
#include "support/Scratch.h"

namespace quorvin {
namespace {

using test::ReadWhole;
using test::TScratchDir;

TEST(IniFileTest, MissingFileReadsDefaultsAndIsCreatedOnUpdate) {
  TScratchDir Dir;
  const std::filesystem::path Path = Dir / "Quorvin.ini";
  TIniFile Ini(Path.string());
  EXPECT_FALSE(Ini.Loaded());
  EXPECT_EQ(Ini.ReadString("General", "DateTimeFormat", "MMDDYY HHMM"), "MMDDYY HHMM");
  Ini.WriteString("General", "DateTimeFormat", "MM/DD/YY HH:MM:SS");
  ASSERT_TRUE(Ini.UpdateFile());
  std::string Text = ReadWhole(Path.string());
  EXPECT_NE(Text.find("[General]"), std::string::npos);
  EXPECT_NE(Text.find("DateTimeFormat=MM/DD/YY HH:MM:SS"), std::string::npos);
}

TEST(IniFileTest, KeepsUnknownSectionsAndKeys) {
  TScratchDir Dir;
  const std::filesystem::path Path = Dir / "Quorvin.ini";
  {
    std::ofstream F(Path);
    F << "[Other]\nColour=Blue\n[LogPrn]\nOutputFormat=TEXT\nMine=42\n";
  }
  TIniFile Ini(Path.string());
  EXPECT_TRUE(Ini.Loaded());
  EXPECT_EQ(Ini.ReadString("logprn", "outputformat", ""), "TEXT");
  Ini.WriteString("LogPrn", "OutputFormat", "EXCEL");
  ASSERT_TRUE(Ini.UpdateFile());
  TIniFile Again(Path.string());
  EXPECT_EQ(Again.ReadString("Other", "Colour", ""), "Blue");
  EXPECT_EQ(Again.ReadString("LogPrn", "Mine", ""), "42");
  EXPECT_EQ(Again.ReadString("LogPrn", "OutputFormat", ""), "EXCEL");
}

TEST(IniFileTest, ACopyHoldsTheSameValuesAndChangesAlone) {
  TScratchDir Dir;
  const std::filesystem::path Path = Dir / "Quorvin.ini";
  {
    std::ofstream F(Path);
    F << "; kept\n[LogPrn]\nOutputFormat=TEXT\n[Other]\nColour=Blue\n";
  }
  TIniFile Ini(Path.string());
  Ini.WriteString("LogPrn", "AppendData", "NO");
  TIniFile Copy(Ini);
  EXPECT_EQ(Copy.FileName(), Ini.FileName());
  EXPECT_TRUE(Copy.Loaded());
  EXPECT_EQ(Copy.ReadString("LogPrn", "OutputFormat", ""), "TEXT");
  EXPECT_EQ(Copy.ReadString("LogPrn", "AppendData", ""), "NO");
  EXPECT_EQ(Copy.ReadString("Other", "Colour", ""), "Blue");
  Copy.WriteString("LogPrn", "OutputFormat", "EXCEL");
  EXPECT_EQ(Ini.ReadString("LogPrn", "OutputFormat", ""), "TEXT");
}

TEST(IniFileTest, UnwritableFolderFailsWithoutTouchingAnything) {
  TIniFile Ini("/nonexistent-quorvin-dir/Quorvin.ini");
  Ini.WriteString("A", "B", "C");
  EXPECT_FALSE(Ini.UpdateFile());
}

// A folder or a FIFO named like the settings file is never read: a FIFO
// would block the start, a folder made the settings library ask for an
// impossible amount of memory.
TEST(IniFileTest, OnlyARegularFileIsRead) {
  TScratchDir Scratch;
  const std::filesystem::path Dir = Scratch.Path();
  std::filesystem::create_directories(Dir / "folder.ini");
  ASSERT_EQ(::mkfifo((Dir / "fifo.ini").c_str(), 0600), 0);
  {
    std::ofstream F(Dir / "locked.ini");
    F << "[LogPrn]\nOutputFormat=EXCEL\n";
  }
  std::filesystem::permissions(Dir / "locked.ini", std::filesystem::perms::none);
  const bool Root = ::geteuid() == 0; // reads whatever the permissions say
  const struct {
    const char* Name;
    int Error;
  } Cases[] = {{"folder.ini", EISDIR},
               {"fifo.ini", NotARegularFile},
               {"locked.ini", Root ? 0 : EACCES},
               {"missing.ini", ENOENT}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TIniFile Ini((Dir / C.Name).string());
    EXPECT_EQ(Ini.LoadError(), C.Error);
    EXPECT_EQ(Ini.Loaded(), C.Error == 0);
    EXPECT_EQ(Ini.ReadString("LogPrn", "OutputFormat", "TEXT"), C.Error == 0 ? "EXCEL" : "TEXT");
  }
  EXPECT_EQ(RegularFileProblem(EISDIR), "a folder");
  EXPECT_EQ(RegularFileProblem(NotARegularFile), "not a regular file");
}

// Damaged settings files found by fuzzing (tests/data/fuzz/settings): once
// the program has written one, loading and writing it again changes
// nothing. A section line without its "]" once ran into the next section's
// name and made the file grow with every save.
TEST(IniFileTest, ASavedFileSavesAgainUnchanged) {
  TScratchDir Dir;
  const std::filesystem::path Path = Dir / "Quorvin.ini";
  auto Resave = [&] {
    TIniFile Ini(Path.string());
    Ini.WriteString("General", "DateTimeFormat",
                    Ini.ReadString("General", "DateTimeFormat", "MMDDYY HHMM"));
    EXPECT_TRUE(Ini.UpdateFile());
    return ReadWhole(Path.string());
  };
  int Files = 0;
  for (const auto& E :
       std::filesystem::directory_iterator(std::string(QUORVIN_TEST_DATA) + "/fuzz/settings")) {
    SCOPED_TRACE(E.path().filename().string());
    std::filesystem::copy_file(E.path(), Path, std::filesystem::copy_options::overwrite_existing);
    Resave();
    const std::string Once = Resave();
    EXPECT_EQ(Resave(), Once);
    ++Files;
  }
  EXPECT_GE(Files, 3);

  std::ofstream(Path, std::ios::binary) << "[Bad\r\nKey=1\r\n[LogPrn]\r\nOutputFormat=EXCEL\r\n";
  TIniFile Ini(Path.string());
  EXPECT_EQ(Ini.ReadString("LogPrn", "OutputFormat", ""), "EXCEL");
  EXPECT_EQ(Ini.ReadString("", "Key", "none"), "1");
}

} // namespace
} // namespace quorvin
