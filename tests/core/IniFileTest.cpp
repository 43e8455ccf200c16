#include "core/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quorvin {
namespace {

std::string ReadAll(const std::filesystem::path& P) {
  std::ifstream F(P, std::ios::binary);
  std::stringstream S;
  S << F.rdbuf();
  return S.str();
}

TEST(IniFileTest, MissingFileReadsDefaultsAndIsCreatedOnUpdate) {
  auto Dir = std::filesystem::temp_directory_path() / "quorvin_ini_test";
  std::filesystem::remove_all(Dir);
  std::filesystem::create_directories(Dir);
  auto Path = Dir / "Quorvin.ini";
  TIniFile Ini(Path.string());
  EXPECT_FALSE(Ini.Loaded());
  EXPECT_EQ(Ini.ReadString("General", "DateTimeFormat", "MMDDYY HHMM"), "MMDDYY HHMM");
  Ini.WriteString("General", "DateTimeFormat", "MM/DD/YY HH:MM:SS");
  ASSERT_TRUE(Ini.UpdateFile());
  std::string Text = ReadAll(Path);
  EXPECT_NE(Text.find("[General]"), std::string::npos);
  EXPECT_NE(Text.find("DateTimeFormat=MM/DD/YY HH:MM:SS"), std::string::npos);
  std::filesystem::remove_all(Dir);
}

TEST(IniFileTest, KeepsUnknownSectionsAndKeys) {
  auto Dir = std::filesystem::temp_directory_path() / "quorvin_ini_test2";
  std::filesystem::create_directories(Dir);
  auto Path = Dir / "Quorvin.ini";
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
  std::filesystem::remove_all(Dir);
}

TEST(IniFileTest, ACopyHoldsTheSameValuesAndChangesAlone) {
  auto Dir = std::filesystem::temp_directory_path() / "quorvin_ini_test3";
  std::filesystem::create_directories(Dir);
  auto Path = Dir / "Quorvin.ini";
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
  std::filesystem::remove_all(Dir);
}

TEST(IniFileTest, UnwritableFolderFailsWithoutTouchingAnything) {
  TIniFile Ini("/nonexistent-quorvin-dir/Quorvin.ini");
  Ini.WriteString("A", "B", "C");
  EXPECT_FALSE(Ini.UpdateFile());
}

} // namespace
} // namespace quorvin
