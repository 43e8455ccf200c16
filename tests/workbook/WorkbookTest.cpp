// SPDX-License-Identifier: GPL-3.0-or-later
#include "workbook/Workbook.h"

#include <gtest/gtest.h>

#include "support/Scratch.h"
#include "support/XlsxReader.h"

namespace quorvin {
namespace {

using test::FolderNames;
using test::ReadWhole;
using test::WriteWhole;

TEST(ConvertTextToWorkbook, NumbersQuotedTextAndEverythingElseAsWritten) {
  test::TScratchDir Dir;
  const std::string Xls = Dir / "OUT.XLS";
  WriteWhole(Xls, "R630/R600 DATA FROM: SITE1 DATE: 03/05/98 TO 03/05/98\r\n"
                  "\r\n"
                  "\"DATE\"\t\"TIME\"\t\"STAGE\"\t\"RAIN\"\r\n"
                  "\"SLOPE\"\t\t1.00\t0.0\r\n"
                  "030598\t1407\t-12.5\t-.-\r\n"
                  "005\t000000\t13\t0\r\n"
                  "a&b <c>\t1234567890123456\t0.1.2\t-\r\n"
                  "last line without line end\t\xE9t\xE9");
  ASSERT_TRUE(ConvertTextToWorkbook(Xls));
  const auto Zip = test::ReadZip(Xls);
  EXPECT_EQ(test::DumpSheet(Zip, 1),
            "1: A1=s:R630/R600 DATA FROM: SITE1 DATE: 03/05/98 TO 03/05/98\n"
            "3: A3=s:DATE B3=s:TIME C3=s:STAGE D3=s:RAIN\n"
            "4: A4=s:SLOPE C4=n:1[0.00] D4=n:0[0.0]\n"
            "5: A5=s:030598 B5=n:1407[0] C5=n:-12.5[0.0] D5=s:-.-\n"
            "6: A6=s:005 B6=s:000000 C6=n:13[0] D6=n:0[0]\n"
            "7: A7=s:a&b <c> B7=s:1234567890123456 C7=s:0.1.2 D7=s:-\n"
            "8: A8=s:last line without line end B8=s:\xC3\xA9t\xC3\xA9\n");
  EXPECT_EQ(Zip.count("xl/worksheets/sheet2.xml"), 0u);
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"OUT.XLS"}));
}

// The DDR conversion pads its value fields into columns: they are numbers
// all the same, shown with their decimals; missing values and flags stay
// text.
TEST(ConvertTextToWorkbook, PaddedValuesAreNumbers) {
  test::TScratchDir Dir;
  const std::string Xls = Dir / "SITE.XLS";
  WriteWhole(Xls, "060124 0000\t     123.45\t?\t       -.--\t \t          7\r\n");
  ASSERT_TRUE(ConvertTextToWorkbook(Xls));
  EXPECT_EQ(test::DumpSheet(test::ReadZip(Xls), 1),
            "1: A1=s:060124 0000 B1=n:123.45[0.00] C1=s:? D1=s:       -.-- E1=s:  F1=n:7[0]\n");
}

TEST(ConvertTextToWorkbook, LinesBeyondOneWorksheetContinueOnASecond) {
  test::TScratchDir Dir;
  const std::string Xls = Dir / "BIG.XLS";
  std::string Text = "first\r\n";
  Text.append(static_cast<std::size_t>(1048574) * 2, '\0');
  for (std::size_t i = 7; i < Text.size(); i += 2) {
    Text[i] = '\r';
    Text[i + 1] = '\n';
  }
  Text += "edge\r\nnext\t2.5\r\n";
  WriteWhole(Xls, Text);
  ASSERT_TRUE(ConvertTextToWorkbook(Xls));
  const auto Zip = test::ReadZip(Xls);
  EXPECT_EQ(test::DumpSheet(Zip, 1), "1: A1=s:first\n1048576: A1048576=s:edge\n");
  EXPECT_EQ(test::DumpSheet(Zip, 2), "1: A1=s:next B1=n:2.5[0.0]\n");
}

TEST(ConvertTextToWorkbook, FailureLeavesTheTextAsItWas) {
  test::TScratchDir Dir;
  EXPECT_FALSE(ConvertTextToWorkbook(Dir / "MISSING.XLS"));
  // A cell longer than a worksheet allows.
  const std::string Xls = Dir / "LONG.XLS";
  const std::string Text = "ok\t1\r\n" + std::string(40000, 'x') + "\r\n";
  WriteWhole(Xls, Text);
  EXPECT_FALSE(ConvertTextToWorkbook(Xls));
  EXPECT_EQ(ReadWhole(Xls), Text);
  // A folder cannot be read as text.
  std::filesystem::create_directory(Dir / "DIR.XLS");
  EXPECT_FALSE(ConvertTextToWorkbook(Dir / "DIR.XLS"));
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"DIR.XLS", "LONG.XLS"}));
}

} // namespace
} // namespace quorvin
