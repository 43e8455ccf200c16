// SPDX-License-Identifier: GPL-3.0-or-later
// The batch tool and the application driven as the window drives it give
// the same files, pane lines, dialogs and message panel for every command
// the tool offers.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "CliRun.h"
#include "core/IniFile.h"
#include "core/MiscUtil.h"
#include "support/FakeApp.h"

namespace quorvin::test {
namespace {

// Everything a user sees of a command or finds on disk afterwards.
struct TSeen {
  std::string Pane;    // one line per pane line
  std::string Dialogs; // "kind: text" per dialog, as the batch tool prints them
  std::string Message; // the message panel at the end
  std::map<std::string, std::string> Files;
  bool Succeeded = false;
};

// Text with the scratch folder's path written as "@", so two runs in two
// folders compare.

std::map<std::string, std::string> FilesIn(const std::string& Folder) {
  std::map<std::string, std::string> Files;
  for (const std::string& Name : FolderNames(Folder))
    if (Name != "none.ini") Files[Name] = Normal(ReadWhole(Folder + "/" + Name), Folder);
  return Files;
}

std::vector<std::string> SplitLines(const std::string& Text) {
  std::vector<std::string> Lines;
  std::size_t From = 0;
  for (std::size_t Pos; (Pos = Text.find('\n', From)) != std::string::npos; From = Pos + 1)
    Lines.push_back(Text.substr(From, Pos - From));
  return Lines;
}

const char* KindPrefix(TMsgKind Kind) {
  switch (Kind) {
  case TMsgKind::Error:
    return "error: ";
  case TMsgKind::Warning:
    return "warning: ";
  case TMsgKind::Confirmation:
    return "confirm: ";
  default:
    return "info: ";
  }
}

struct TCase {
  std::string Name;
  std::vector<std::string> Args; // after the settings; "@" stands for the scratch folder
  std::function<TCommandOutcome(TApplication&, const TScratchDir&)> Window;
};

std::string Expand(const std::string& Arg, const TScratchDir& Dir) {
  return Arg.rfind("@/", 0) == 0 ? Dir / Arg.substr(2) : Arg;
}

void ChooseLog(TApplication& App, int Page, const std::string& Path) {
  App.PgCntrlLogChange(Page);
  App.LogFileChange(Page, Path);
  App.edtFilenameExit(Page);
  App.Selection.SelectAllClick(false);
  App.Selection.SelectAllClick(true);
}

void ChooseDDR(TApplication& App, const std::string& Path) {
  App.PgCntrlLogChange(PageDDRLog);
  App.LogFileChange(PageDDRLog, Path);
  App.edtFilenameExit(PageDDRLog);
}

TEST(Parity, BatchToolAndWindowDoTheSame) {
  const std::vector<std::string> Settings = {"--set", "AddHeader=YES", "--set",
                                             "DisplayFixedFormat=YES"};
  const TCase Cases[] = {
      {"prn save",
       {"prn", "@/SITE1.LOG"},
       [](TApplication& A, const TScratchDir& D) {
         ChooseLog(A, PageLogPrn, D / "SITE1.LOG");
         return A.FileSaveExecute();
       }},
      {"prn display",
       {"prn", "@/site2.csv", "--display"},
       [](TApplication& A, const TScratchDir& D) {
         ChooseLog(A, PageLogPrn, D / "site2.csv");
         return A.OptionsDisplayExecute();
       }},
      {"header",
       {"header", "@/site3.csv"},
       [](TApplication& A, const TScratchDir& D) {
         ChooseLog(A, PageLogPrn, D / "site3.csv");
         return A.OptionsHeaderExecute();
       }},
      {"stats",
       {"stats", "@/SITE1.LOG"},
       [](TApplication& A, const TScratchDir& D) {
         ChooseLog(A, PageLogStat, D / "SITE1.LOG");
         return A.OptionsStatsExecute();
       }},
      {"missing log",
       {"prn", "@/NONE.LOG"},
       [](TApplication& A, const TScratchDir& D) {
         A.LogFileChange(PageLogPrn, D / "NONE.LOG");
         A.edtFilenameExit(PageLogPrn);
         return A.FileSaveExecute();
       }},
      {"ddr display",
       {"ddr", "@/SAMPLE.DDR"},
       [](TApplication& A, const TScratchDir& D) {
         ChooseDDR(A, D / "SAMPLE.DDR");
         return A.OptionsDisplayExecute();
       }},
      {"ddr summary",
       {"ddr", "@/SAMPLE.DDR", "--summary"},
       [](TApplication& A, const TScratchDir& D) {
         ChooseDDR(A, D / "SAMPLE.DDR");
         return A.OptionsHeaderExecute();
       }},
      {"ddr save",
       {"ddr", "@/SAMPLE.DDR", "--save", "--output", "@/out.prn"},
       [](TApplication& A, const TScratchDir& D) {
         ChooseDDR(A, D / "SAMPLE.DDR");
         A.edtDDROutputChange(D / "out.prn");
         A.edtDDROutputExit();
         return A.FileSaveExecute();
       }},
      {"ramcard save",
       {"ramcard", "@/RAMCARD.RCD", "save", "--out", "@/", "SITE1.DAT"},
       [](TApplication& A, const TScratchDir& D) {
         A.PgCntrlLogChange(PageRamCard);
         A.RamCardPage.RAMDirectory = D / "";
         A.cbxRamdirClick(D / "RAMCARD.RCD");
         for (TRamFileItem& Item : A.RamCardPage.chklbxRamFiles.Items)
           Item.Checked = Item.Text == "SITE1.DAT";
         return A.FileSaveExecute();
       }},
  };
  const std::vector<std::string> Samples = {"SITE1.LOG", "site2.csv", "site3.csv", "SAMPLE.DDR",
                                            "RAMCARD.RCD"};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TSeen Cli, Window;
    {
      TScratchDir Dir;
      CopySamples(Dir, Samples);
      std::vector<std::string> Args = Settings;
      for (const std::string& A : C.Args) Args.push_back(Expand(A, Dir));
      TRun R = RunCliWithIni(Dir / "none.ini", Args);
      Cli.Pane = Normal(R.Out, Dir.Path());
      Cli.Succeeded = R.Code == 0;
      for (const std::string& Line : SplitLines(Normal(R.Err, Dir.Path()))) {
        if (Line.rfind("status: ", 0) == 0)
          Cli.Message = Line.substr(8);
        else
          Cli.Dialogs += Line + "\n";
      }
      Cli.Files = FilesIn(Dir.Path());
    }
    {
      TScratchDir Dir;
      CopySamples(Dir, Samples);
      TFakeApp F;
      TIniFile Ini(Dir / "none.ini");
      Ini.WriteString("DDRLog", "AddHeader", "YES");
      Ini.WriteString("LogPrn", "DisplayFixedFormat", "YES");
      F.App.FormCreate(Ini);
      Window.Succeeded = C.Window(F.App, Dir).Succeeded;
      for (const TPaneLine& L : F.Ui.Pane.Lines) Window.Pane += Normal(L.Text, Dir.Path()) + "\n";
      for (const TShownMessage& M : F.Ui.Dialog.Shown)
        Window.Dialogs += KindPrefix(M.Kind) + Normal(M.Text, Dir.Path()) + "\n";
      Window.Message = Normal(F.Ui.Status.Panels[1], Dir.Path());
      if (Window.Message.rfind("Importing from ", 0) == 0) Window.Message.clear();
      Window.Files = FilesIn(Dir.Path());
    }
    EXPECT_EQ(Cli.Pane, Window.Pane);
    EXPECT_EQ(Cli.Dialogs, Window.Dialogs);
    EXPECT_EQ(Cli.Message, Window.Message);
    EXPECT_EQ(Cli.Files, Window.Files);
    EXPECT_EQ(Cli.Succeeded, Window.Succeeded);
  }
}

} // namespace
} // namespace quorvin::test
