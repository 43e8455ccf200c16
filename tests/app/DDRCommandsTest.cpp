// SPDX-License-Identifier: GPL-3.0-or-later
// The DDRLOG page's commands as the application runs them: the checks before
// the import, CommandMode, the busy cursor, and which message each outcome
// leaves in the message panel. What an import writes is the page's own and
// is tested with it in tests/ddr.
#include <gtest/gtest.h>

#include <functional>

#include "app/Captions.h"
#include "core/IniFile.h"
#include "generators/DDRGen.h"
#include "support/FakeApp.h"
#include "support/Scratch.h"

namespace quorvin::test {
namespace {

using namespace captions;
using namespace ddrgen;

const std::int32_t T0 = DDRTime(2024, 3, 5, 10);

// A master block and the end: a file that imports cleanly.
TBytes Clean() {
  TBytes F = MasterBlock(T0, T0, "v", "u");
  Append(F, EventBlock(22, T0, T0));
  return F;
}

// A scan due in five bytes of data: the import ends early.
TBytes Unfinished() {
  TBytes F = MasterBlock(T0, T0, "v", "u");
  Append(F, DataBlock(T0, T0, {1, 0x80, 2, 0x80, 3}));
  Append(F, EventBlock(22, T0, T0));
  return F;
}

// Data after zero bytes the block loop stops at: an early end.
TBytes DataAfterPadding() {
  TBytes F = Clean();
  Append(F, TBytes(300, 0x00));
  F.push_back(0x01);
  return F;
}

// The application on the DDRLOG page, with its scratch folder.
struct TDDRApp {
  TScratchDir Dir;
  TFakeApp F;
  TApplication& App = F.App;

  TDDRApp() {
    TIniFile Ini(Dir / "none.ini");
    App.FormCreate(Ini);
    App.PgCntrlLogChange(PageDDRLog);
  }
  // Writes Bytes as Name, types the name into the box and leaves it.
  void Choose(const TBytes& Bytes, const std::string& Name = "TEST.DDR") {
    ASSERT_TRUE(WriteWhole(Dir / Name, Bytes));
    App.LogFileChange(PageDDRLog, Dir / Name);
    App.edtFilenameExit(PageDDRLog);
  }
  TCommandOutcome Run(TActionId Id) { return App.Execute(Id); }

  const std::vector<std::string>& History() const { return F.Ui.Status.History; }
  std::string Message() const { return F.Ui.Status.Panels[1]; }
};

TEST(DDRCommands, EachCommandSetsItsModeAndSaysWhatItDid) {
  struct TCase {
    TActionId Command;
    TActionId Before; // a view switched on first (actFileOpen: none)
    TCommandMode Mode;
    // The message panel in turn: "I" the driver's "Importing from" line,
    // "W" the Save's "DDR Log written to" line.
    std::vector<std::string> Said;
  };
  const TCase Cases[] = {
      {actOptionsDisplay, actFileOpen, cmDisplay, {"", "I", ""}},
      {actOptionsHeader, actFileOpen, cmHeader, {""}},
      {actFileSave, actFileOpen, cmNone, {"", "I", "W"}},
      {actOptionsRefresh, actOptionsDisplay, cmDisplay, {"", "I", ""}},
      {actOptionsRefresh, actOptionsHeader, cmHeader, {""}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::string(Actions[C.Before].Name) + " " + std::string(Actions[C.Command].Name));
    TDDRApp A;
    A.Choose(Clean());
    if (C.Before != actFileOpen) A.Run(C.Before);
    A.F.Ui.Status.History.clear();
    A.F.Ui.Busy = TFakeBusy{};
    const TCommandOutcome Outcome = A.Run(C.Command);
    EXPECT_TRUE(Outcome.Succeeded);
    EXPECT_EQ(A.App.CommandMode, C.Mode);
    const std::string Out = A.Dir / "TEST.PRN";
    std::vector<std::string> Said = C.Said;
    for (std::string& Line : Said) {
      if (Line == "I") Line = "Importing from .DDR file " + (A.Dir / "TEST.DDR") + " ...";
      if (Line == "W") Line = "DDR Log written to " + Out + ".";
    }
    EXPECT_EQ(A.History(), Said);
    EXPECT_EQ(Outcome.WrittenFile, C.Command == actFileSave ? Out : "");
    EXPECT_EQ(A.F.Ui.Busy.Begins, 1);
    EXPECT_EQ(A.F.Ui.Busy.Ends, 1);
    EXPECT_TRUE(A.F.Ui.Dialog.Shown.empty());
  }
}

// Which message stands after which failure, and that the command reports it.
TEST(DDRCommands, FailuresLeaveTheirMessage) {
  struct TCase {
    std::string Name;
    std::function<void(TDDRApp&)> Prepare;
    TActionId Command;
    std::string Message;
    std::string Dialog; // the one dialog the command showed, if any
  };
  const std::string Early = "Error! Unexpected end of DDR file.";
  const std::string Missing = "File does not exist or is invalid. Please select another file.";
  auto ChooseFile = [](TBytes Bytes) { return [Bytes](TDDRApp& A) { A.Choose(Bytes); }; };
  auto Then = [](std::function<void(TDDRApp&)> First, std::function<void(TDDRApp&)> Second) {
    return [First, Second](TDDRApp& A) {
      First(A);
      Second(A);
    };
  };
  auto ViewOn = [](TActionId View) { return [View](TDDRApp& A) { A.Run(View); }; };
  auto Typed = [](std::string Name) {
    return [Name](TDDRApp& A) { A.App.LogFileChange(PageDDRLog, A.Dir / Name); };
  };
  // An output name typed into its box, the box not yet left.
  auto Output = [](std::string Name) {
    return [Name](TDDRApp& A) { A.App.edtDDROutputChange(Name); };
  };
  auto Nothing = [](TDDRApp&) {};
  const TCase Cases[] = {
      {"no file", Nothing, actOptionsDisplay, "Error! Please select a valid file.", ""},
      {"no file", Nothing, actOptionsHeader, "Error! Please select a valid file.", ""},
      {"no file", Nothing, actFileSave, "Error! Please select a valid file.", ""},
      {"no file", Nothing, actOptionsRefresh, "Error! Please select a file.", ""},
      {"empty file", ChooseFile({}), actOptionsHeader, "Error!  Unable to display DDR Header", ""},
      {"empty file", Then(ChooseFile({}), ViewOn(actOptionsHeader)), actOptionsRefresh,
       "Error! Unable to display DDR Header", ""},
      {"unfinished block", ChooseFile(Unfinished()), actOptionsDisplay, Early, ""},
      {"unfinished block", ChooseFile(Unfinished()), actFileSave, Early, ""},
      {"data after padding", ChooseFile(DataAfterPadding()), actOptionsHeader, Early, ""},
      {"data after padding", ChooseFile(DataAfterPadding()), actOptionsDisplay, Early, ""},
      {"data after padding", ChooseFile(DataAfterPadding()), actFileSave, Early, ""},
      {"data after padding", Then(ChooseFile(DataAfterPadding()), ViewOn(actOptionsHeader)),
       actOptionsRefresh, Early, ""},
      {"data after padding", Then(ChooseFile(DataAfterPadding()), ViewOn(actOptionsDisplay)),
       actOptionsRefresh, Early, ""},
      {"text format, other extension", Then(ChooseFile(Clean()), Output("REPORT.TXT")), actFileSave,
       "Error! Unable to save DDR file.", "Please enter valid \"Text\" Output File Name."},
      {"folder not made", Then(ChooseFile(Clean()), Output("/no-such-folder/OUT.PRN")), actFileSave,
       "Error! Unable to save DDR file.", "Path does not exist. Do you wish to create it?"},
      {"name typed, box not left",
       Then(Then(ChooseFile(Clean()), ViewOn(actOptionsDisplay)), Typed("gone.ddr")),
       actOptionsRefresh, "Error! Unable to display DDR file.", Missing},
      {"not a .DDR name", Then(ChooseFile(Clean()), Typed("TEST.DDRX")), actOptionsDisplay,
       "Error! Unable to display file.", "File is invalid. Please select another file."},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name + ", " + std::string(Actions[C.Command].Name));
    TDDRApp A;
    WriteWhole(A.Dir / "TEST.DDRX", "");
    C.Prepare(A);
    A.F.Ui.Dialog.Shown.clear();
    EXPECT_FALSE(A.Run(C.Command).Succeeded);
    EXPECT_EQ(A.Message(), C.Message);
    EXPECT_EQ(A.F.Ui.Dialog.Texts(),
              C.Dialog.empty() ? std::vector<std::string>{} : std::vector<std::string>{C.Dialog});
    EXPECT_EQ(A.F.Ui.Busy.Begins, A.F.Ui.Busy.Ends);
  }
}

// Names typed into the boxes are taken by the next command that needs them:
// the output name by Save only, the DDR name by any; a missing DDR file
// leaves no file valid and no output proposed.
TEST(DDRCommands, TypedNamesAreTakenByTheNextCommandThatNeedsThem) {
  TDDRApp A;
  A.Choose(Clean());
  EXPECT_EQ(A.App.DDRPage.Controls.edtDDROutput, A.Dir / "TEST.PRN");
  A.App.edtDDROutputChange("REPORT.TXT");
  EXPECT_TRUE(A.Run(actOptionsDisplay).Succeeded);
  EXPECT_TRUE(A.F.Ui.Dialog.Shown.empty());
  EXPECT_FALSE(A.Run(actFileSave).Succeeded);
  EXPECT_EQ(A.F.Ui.Dialog.Shown.size(), 1u);

  A.App.LogFileChange(PageDDRLog, A.Dir / "gone.ddr");
  EXPECT_FALSE(A.Run(actOptionsRefresh).Succeeded);
  EXPECT_FALSE(A.App.Selection.FileValid);
  EXPECT_EQ(A.App.DDRPage.Controls.edtDDROutput, "");
  // With no valid file every command stops at its check.
  EXPECT_FALSE(A.Run(actFileSave).Succeeded);
  EXPECT_EQ(A.Message(), "Error! Please select a valid file.");
}

// A listing that cannot be made does not stop a Save: the driver says so,
// then the data is written and the Save reports the file.
TEST(DDRCommands, SaveGoesOnWhenTheListingFails) {
  TDDRApp A;
  A.Choose({});
  A.App.DDRObj.Layout.AddHeader = true;
  A.F.Ui.Status.History.clear();
  const TCommandOutcome Outcome = A.Run(actFileSave);
  EXPECT_TRUE(Outcome.Succeeded);
  const std::string Out = A.Dir / "TEST.PRN";
  EXPECT_EQ(A.History(),
            (std::vector<std::string>{
                "", "Importing from .DDR file " + (A.Dir / "TEST.DDR") + " ...",
                "Error!  Unable to read DDR Header", "DDR Log written to " + Out + "."}));
  EXPECT_EQ(Outcome.WrittenFile, Out);
}

// An early end leaves the file written but the Save failed: the message of
// the early end stands, no "written" message replaces it.
TEST(DDRCommands, EarlyEndOfASaveKeepsTheFileAndItsMessage) {
  TDDRApp A;
  A.Choose(Unfinished());
  const TCommandOutcome Outcome = A.Run(actFileSave);
  EXPECT_FALSE(Outcome.Succeeded);
  EXPECT_EQ(Outcome.WrittenFile, "");
  EXPECT_EQ(A.History().back(), "Error! Unexpected end of DDR file.");
  EXPECT_EQ(ReadWhole(A.Dir / "TEST.PRN"),
            "Unit ID: U\r\nVersion: v\r\n030524 1000        0.02 ? \r\nEnd of Data\r\n");
}

} // namespace
} // namespace quorvin::test
