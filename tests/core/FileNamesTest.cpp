// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/FileNames.h"

#include <gtest/gtest.h>

namespace quorvin {
namespace {

TEST(FileNames, PathParts) {
  const struct {
    std::string Path, Folder, Name, Ext, AsXls;
  } Cases[] = {
      {"/data/site1.log", "/data/", "site1.log", ".log", "/data/site1.XLS"},
      {"site1.2.log", "", "site1.2.log", ".log", "site1.2.XLS"},
      {"/data.old/site1", "/data.old/", "site1", "", "/data.old/site1.XLS"},
      {"/data/", "/data/", "", "", "/data/.XLS"},
      {"", "", "", "", ".XLS"},
      {"/.hidden", "/", ".hidden", ".hidden", "/.XLS"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Path);
    EXPECT_EQ(ExtractFilePath(C.Path), C.Folder);
    EXPECT_EQ(ExtractFileName(C.Path), C.Name);
    EXPECT_EQ(ExtractFileExt(C.Path), C.Ext);
    EXPECT_EQ(ChangeFileExt(C.Path, ".XLS"), C.AsXls);
  }
}

// The stem is what a log is shown by and what every proposed output is
// named after: the name up to its first full stop, in upper case.
TEST(FileNames, ProposedOutputsTakeTheUpperCaseStem) {
  const struct {
    std::string Input, Stem, Text, Excel;
  } Cases[] = {
      {"/data/site1.log", "SITE1", "/out/SITE1.PRN", "/out/SITE1.XLS"},
      {"/data/site1.2.ddr", "SITE1", "/out/SITE1.PRN", "/out/SITE1.XLS"},
      {"/data.v2/Mixed-Case", "MIXED-CASE", "/out/MIXED-CASE.PRN", "/out/MIXED-CASE.XLS"},
      {"/data/.ddr", "", "/out/.PRN", "/out/.XLS"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Input);
    EXPECT_EQ(UpperNameStem(C.Input), C.Stem);
    EXPECT_EQ(OutputNameBeside("/out/", C.Input, false), C.Text);
    EXPECT_EQ(OutputNameBeside("/out/", C.Input, true), C.Excel);
  }
  EXPECT_EQ(OutputNameBeside("", "a.b", false), "A.PRN");
}

} // namespace
} // namespace quorvin
