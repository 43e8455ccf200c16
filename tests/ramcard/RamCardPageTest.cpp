// SPDX-License-Identifier: GPL-3.0-or-later
#include "ramcard/RamCardPage.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

#include "RamTestUtil.h"
#include "generators/RamCardGen.h"
#include "support/FakeUi.h"
#include "support/Scratch.h"

namespace quorvin::test {
namespace {

using Names = std::vector<std::string>;

class TListMounts : public IMountPoints {
public:
  std::vector<std::string> List;
  std::vector<std::string> MountPoints() override { return List; }
};

class TFakeBrowser : public IFolderBrowser {
public:
  std::string StartedAt;
  std::string Answer; // empty: cancelled
  bool Browse(const std::string& StartFolder, std::string& Chosen) override {
    StartedAt = StartFolder;
    Chosen = Answer;
    return !Answer.empty();
  }
};

// A page whose drive is a scratch "mount point" holding RAMCARD.RCD, with a
// separate scratch output folder.
struct TPageFixture {
  TScratchDir Drive;
  TScratchDir Out;
  TFakeUi Ui;
  TRamCardPage Page{Ui.Services};
  int PaneShown = 0;
  int FocusRequests = 0;

  TPageFixture() {
    Page.OnShowPane = [this] { ++PaneShown; };
    Page.OnFocusOutFile = [this] { ++FocusRequests; };
  }
  void ChooseDump(const std::vector<TRamGenEntry>& Entries) {
    WriteWhole(Drive / "RAMCARD.RCD", RamGenDump(Entries));
    Page.cbxRamdir.Text = Drive.Path();
    Page.cbxRamdirClick();
  }
  Names ListNames() const {
    Names R;
    for (const auto& I : Page.chklbxRamFiles.Items) R.push_back(I.Text);
    return R;
  }
  void Check(std::initializer_list<int> Indexes) {
    for (int I : Indexes) Page.chklbxRamFiles.Items.at(static_cast<std::size_t>(I)).Checked = true;
  }
  std::string Save(const std::string& OutDir) {
    Page.RAMDirectory = OutDir;
    Ui.Status.SetPanelText(1, "");
    Page.RamCardSave();
    return Ui.Status.Panels[1];
  }
};

TEST(RamCardPage, DriveListComesFromTheMountPoints) {
  TFakeUi Ui;
  TRamCardPage Page(Ui.Services);
  TListMounts Mounts;
  Mounts.List = {"/media/u/CARD", "/"};
  Page.FillDrives(Mounts);
  EXPECT_EQ(Page.cbxRamdir.Items, Mounts.List);
  EXPECT_EQ(Page.cbxRamdir.Text, "");
}

TEST(RamCardPage, ChoosingADriveListsItsFiles) {
  TPageFixture F;
  F.ChooseDump({{"A.LOG", "aaa"}, {"BAD.LOG", "bbb", 1}, {"", "c"}});
  EXPECT_EQ(F.PaneShown, 1);
  EXPECT_EQ(F.Page.RamCard->DumpFileName, F.Drive.Path() + "/RAMCARD.RCD");
  EXPECT_EQ(F.ListNames(), (Names{"A.LOG", "BAD.LOG", "NONAME"}));
  for (const auto& I : F.Page.chklbxRamFiles.Items) EXPECT_FALSE(I.Checked);
  EXPECT_EQ(F.Page.chklbxRamFiles.ItemIndex, 0);
  ASSERT_EQ(F.Ui.Dialog.Shown.size(), 1u);
  EXPECT_EQ(F.Ui.Dialog.Shown[0].Text, "Warning!  Checksum of data area failed.");
  EXPECT_EQ(F.Ui.Dialog.Shown[0].Kind, TMsgKind::Warning);
  EXPECT_EQ(F.Ui.Dialog.Shown[0].Buttons, TMsgButtons::OK);

  // Choosing again replaces the reader and clears the check marks.
  F.Check({0});
  TRamCard* Old = F.Page.RamCard.get();
  F.Page.cbxRamdirClick();
  EXPECT_NE(F.Page.RamCard.get(), Old);
  EXPECT_FALSE(F.Page.chklbxRamFiles.Items[0].Checked);
}

TEST(RamCardPage, ChoosingADriveWithoutAUsableDump) {
  TPageFixture F;
  F.ChooseDump({{"A.LOG", "aaa"}});
  ASSERT_EQ(F.ListNames(), (Names{"A.LOG"}));
  F.Check({0});

  // No dump there: the old drive's files go with the old reader.
  TScratchDir Empty;
  F.Page.cbxRamdir.Text = Empty.Path();
  F.Page.cbxRamdirClick();
  EXPECT_EQ(F.Ui.Dialog.Texts(), (Names{"Error! Ram Card Dump could not be found."}));
  EXPECT_EQ(F.Ui.Dialog.Shown[0].Kind, TMsgKind::Error);
  EXPECT_TRUE(F.ListNames().empty());
  EXPECT_EQ(F.Page.chklbxRamFiles.ItemIndex, -1);
  EXPECT_EQ(F.Save(F.Out.Path()), "Warning! Unable to save files.");
  EXPECT_TRUE(FolderNames(F.Out.Path()).empty());

  // Not a dump: only the header message.
  WriteWhole(Empty / "RAMCARD.RCD", std::string(5000, 'x'));
  F.Page.cbxRamdirClick();
  EXPECT_EQ(F.Ui.Dialog.Texts(), (Names{"Error! Ram Card Dump could not be found.",
                                        "Error! This file is not a Ram Card dump or image."}));
  EXPECT_TRUE(F.ListNames().empty());

  // No drive text: nothing happens beyond showing the pane.
  F.Page.cbxRamdir.Text.clear();
  F.Page.cbxRamdirClick();
  EXPECT_EQ(F.PaneShown, 4);
  EXPECT_EQ(F.Ui.Dialog.Shown.size(), 2u);
}

TEST(RamCardPage, SaveWithoutDriveOrOutputFolder) {
  TPageFixture F;
  F.Ui.Status.Panels[1] = "old text";
  EXPECT_EQ(F.Save(F.Out.Path()), "Error!  Please select a valid RAM drive.");
  EXPECT_EQ(F.Ui.Status.History, (Names{"", "Error!  Please select a valid RAM drive."}));
  EXPECT_EQ(F.FocusRequests, 0);

  F.ChooseDump({{"A.LOG", "aaa"}});
  F.Check({0});
  EXPECT_EQ(F.Save(""), "Please select a valid output directory.");
  EXPECT_EQ(F.FocusRequests, 1);
}

TEST(RamCardPage, SavesCheckedFilesWithTheirContents) {
  TPageFixture F;
  F.ChooseDump({{"A.LOG", "alpha"}, {"B.LOG", "bravo"}, {"C.LOG", "charlie"}});
  F.Check({0, 2});
  // Typed without a trailing separator: the files still go inside.
  EXPECT_EQ(F.Save(F.Out.Path()), "Saved successfully: A.LOG, C.LOG");
  EXPECT_EQ(F.Page.RAMDirectory, F.Out.Path());
  EXPECT_EQ(FolderNames(F.Out.Path()), (std::set<std::string>{"A.LOG", "C.LOG"}));
  EXPECT_EQ(ReadWhole(F.Out / "A.LOG"), "alpha");
  EXPECT_EQ(ReadWhole(F.Out / "C.LOG"), "charlie");

  // The reader stays open; the next save starts from the first entry again
  // and finds the names taken.
  EXPECT_EQ(F.Save(F.Out.Path() + "/"), "Saved successfully: A.L01, C.L01");
  EXPECT_EQ(ReadWhole(F.Out / "A.L01"), "alpha");
  EXPECT_EQ(ReadWhole(F.Out / "C.L01"), "charlie");
}

TEST(RamCardPage, CancelledCopyStopsAndLeavesNoPartOfTheFile) {
  TPageFixture F;
  F.ChooseDump({{"A.LOG", "alpha"}, {"B.LOG", "bravo"}, {"C.LOG", "charlie"}});
  F.Check({0, 1, 2});
  // Cancel while B.LOG is copied: A.LOG stays, nothing of B.LOG, C.LOG is
  // not tried.
  F.Ui.Busy.CancelAtStep = 2;
  EXPECT_EQ(F.Save(F.Out.Path()), "Warning! Save: Failed: B.LOG; Successful: A.LOG");
  EXPECT_EQ(FolderNames(F.Out.Path()), (std::set<std::string>{"A.LOG"}));
}

TEST(RamCardPage, TakenNameGetsTheNumberedVariant) {
  TPageFixture F;
  F.ChooseDump({{"DATA.LOG", "new"}});
  WriteWhole(F.Out / "DATA.LOG", "old");
  F.Check({0});
  EXPECT_EQ(F.Save(F.Out.Path()), "Saved successfully: DATA.L01");
  EXPECT_EQ(ReadWhole(F.Out / "DATA.LOG"), "old");
  EXPECT_EQ(ReadWhole(F.Out / "DATA.L01"), "new");
}

TEST(RamCardPage, BadChecksumDoesNotHideTheFilesAfterIt) {
  {
    TPageFixture F;
    F.ChooseDump({{"A.LOG", "a"}, {"B.LOG", "b", 7}, {"C.LOG", "c"}});
    F.Check({1, 2});
    EXPECT_EQ(F.Save(F.Out.Path()), "Warning! Save: Failed: B.LOG; Successful: C.LOG");
    EXPECT_EQ(FolderNames(F.Out.Path()), (std::set<std::string>{"C.LOG"}));
  }
  {
    TPageFixture F;
    F.ChooseDump({{"A.LOG", "a"}, {"B.LOG", "b", 7}, {"C.LOG", "c"}, {"D.LOG", "d"}});
    F.Check({0, 1, 2, 3});
    EXPECT_EQ(F.Save(F.Out.Path()),
              "Warning! Save: Failed: B.LOG; Successful: A.LOG, C.LOG, D.LOG");
  }
  {
    // Nothing saved at all is still the plain warning.
    TPageFixture F;
    F.ChooseDump({{"A.LOG", "a"}, {"B.LOG", "b", 7}});
    F.Check({1});
    EXPECT_EQ(F.Save(F.Out.Path()), "Warning! Unable to save files.");
    EXPECT_TRUE(FolderNames(F.Out.Path()).empty());
  }
}

TEST(RamCardPage, SameNameTwiceSavesEachEntryOnce) {
  TPageFixture F;
  F.ChooseDump({{"A.LOG", "first"}, {"X.LOG", "x"}, {"A.LOG", "second"}});
  F.Check({0, 2});
  EXPECT_EQ(F.Save(F.Out.Path()), "Saved successfully: A.LOG, A.L01");
  EXPECT_EQ(ReadWhole(F.Out / "A.LOG"), "first");
  EXPECT_EQ(ReadWhole(F.Out / "A.L01"), "second");
}

TEST(RamCardPage, WildcardsAndEmptyItems) {
  TPageFixture F;
  F.ChooseDump({{"NOTE", "n"}, {"A.DAT", "a"}, {"B.LOG", "b"}, {"C.LOG", "c"}});
  // Items as the batch tool sets them: masks, in the order given.
  F.Page.chklbxRamFiles.Items = {{"*.LOG", true}, {"?.LOG", true}, {"", true}, {"b.log", true}};
  // "*.*" wants an extension, so the empty item finds nothing after C.LOG;
  // matching is case-sensitive.
  EXPECT_EQ(F.Save(F.Out.Path()), "Warning! Save: Failed: *.*, b.log; Successful: B.LOG, C.LOG");
  F.Page.chklbxRamFiles.Items = {{"NOTE", true}, {"", true}};
  EXPECT_EQ(F.Save(F.Out.Path()), "Saved successfully: NOTE, A.DAT");
}

TEST(RamCardPage, AllNamesTakenReportsTheEntrysOwnName) {
  TPageFixture F;
  F.ChooseDump({{"DATA.LOG", "d"}, {"OK.LOG", "o"}});
  WriteWhole(F.Out / "DATA.LOG", "");
  for (int I = 1; I <= 99; ++I) {
    char Name[16];
    std::snprintf(Name, sizeof Name, "DATA.L%02d", I);
    WriteWhole(F.Out / Name, "");
  }
  F.Check({0, 1});
  EXPECT_EQ(F.Save(F.Out.Path()), "Warning! Save: Failed: DATA.LOG; Successful: OK.LOG");
  EXPECT_EQ(FolderNames(F.Out.Path()).size(), 101u);
}

TEST(RamCardPage, StoredNamesNeverLeaveTheOutputFolder) {
  TPageFixture F;
  TScratchDir Root;
  const std::string OutDir = Root / "out";
  std::filesystem::create_directory(OutDir);
  F.ChooseDump({{"../EVIL.LOG", "e1"},
                {"..\\EVIL.LOG", "e2"},
                {"..", "e3"},
                {"/tmp/EVIL", "e4"},
                {".", "dot"},
                {"GOOD.LOG", "g"}});
  ASSERT_EQ(F.ListNames(),
            (Names{"../EVIL.LOG", "..\\EVIL.LOG", "..", "/tmp/EVIL", "NONAME.", "GOOD.LOG"}));
  F.Check({0, 1, 2, 3, 4, 5});
  EXPECT_EQ(F.Save(OutDir), "Warning! Save: Failed: ../EVIL.LOG, ..\\EVIL.LOG, .., /tmp/EVIL; "
                            "Successful: NONAME., GOOD.LOG");
  EXPECT_EQ(FolderNames(OutDir), (std::set<std::string>{"NONAME.", "GOOD.LOG"}));
  EXPECT_EQ(FolderNames(Root.Path()), (std::set<std::string>{"out"}));
  EXPECT_FALSE(std::filesystem::exists("/tmp/EVIL") && ReadWhole("/tmp/EVIL") == "e4");
}

// A control character in a stored name could drive the terminal that shows
// it or make a file name no one can type: such a name is never written and
// is shown escaped. Other 8-bit names (DOS letters) are written as stored.
TEST(RamCardPage, NamesWithControlCharactersAreNeverWritten) {
  TPageFixture F;
  F.ChooseDump({{"ESC\x1b[2J.L", "e"},
                {"TAB\tX.LOG", "t"},
                {"DEL\x7f.LOG", "d"},
                {"CAF\x82.LOG", "c"},
                {"GOOD.LOG", "g"}});
  F.Check({0, 1, 2, 3, 4});
  EXPECT_EQ(F.Save(F.Out.Path()), "Warning! Save: Failed: ESC\\x1b[2J.L, TAB\\x09X.LOG, "
                                  "DEL\\x7f.LOG; Successful: CAF\\x82.LOG, GOOD.LOG");
  EXPECT_EQ(FolderNames(F.Out.Path()), (std::set<std::string>{"CAF\x82.LOG", "GOOD.LOG"}));
}

TEST(RamCardPage, PrintableEntryNameEscapesEveryOtherByte) {
  const std::pair<std::string, std::string> Cases[] = {
      {"PLAIN.LOG", "PLAIN.LOG"},
      {"A\x1b[2J", "A\\x1b[2J"},
      {std::string("\x00\x01\x1f", 3), "\\x00\\x01\\x1f"},
      {"~\x7f\x80\xff", "~\\x7f\\x80\\xff"},
      {"back\\slash", "back\\slash"}};
  for (const auto& [Name, Shown] : Cases) EXPECT_EQ(PrintableEntryName(Name), Shown);
}

TEST(RamCardPage, MissingOutputFolderIsOfferedForCreation) {
  {
    TPageFixture F;
    F.ChooseDump({{"A.LOG", "a"}});
    F.Check({0});
    F.Ui.Dialog.Answers = {TMsgResult::Yes};
    const std::string Deep = F.Out / "x/y/z";
    EXPECT_EQ(F.Save(Deep), "Saved successfully: A.LOG");
    ASSERT_EQ(F.Ui.Dialog.Shown.size(), 1u);
    EXPECT_EQ(F.Ui.Dialog.Shown[0].Text, "File Path does not exist. Do you wish to create it?");
    EXPECT_EQ(F.Ui.Dialog.Shown[0].Kind, TMsgKind::Information);
    EXPECT_EQ(F.Ui.Dialog.Shown[0].Buttons, TMsgButtons::YesNo);
    EXPECT_EQ(ReadWhole(Deep + "/A.LOG"), "a");
  }
  {
    TPageFixture F;
    F.ChooseDump({{"A.LOG", "a"}});
    F.Check({0});
    F.Ui.Dialog.Answers = {TMsgResult::No};
    EXPECT_EQ(F.Save(F.Out / "missing"), "Warning! Unable to save files.");
    EXPECT_FALSE(std::filesystem::exists(F.Out / "missing"));
    EXPECT_TRUE(FolderNames(F.Out.Path()).empty());
  }
}

TEST(RamCardPage, OutputFolderThatIsAFile) {
  TPageFixture F;
  F.ChooseDump({{"A.LOG", "a"}, {"B.LOG", "b"}});
  F.Check({0, 1});
  // The output folder is a file: every name is taken, nothing can be written.
  WriteWhole(F.Out / "file", "");
  EXPECT_EQ(F.Save(F.Out / "file"), "Warning! Unable to save files.");
  EXPECT_EQ(F.Ui.Dialog.Texts(), (Names{"File Path does not exist. Do you wish to create it?"}));
}

// Lowers the file-size limit for the scope, so that writes past it fail
// with EFBIG whoever runs the test.
class TFileSizeLimit {
public:
  explicit TFileSizeLimit(rlim_t Bytes) {
    ::getrlimit(RLIMIT_FSIZE, &FOld);
    FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit New = FOld;
    New.rlim_cur = Bytes;
    ::setrlimit(RLIMIT_FSIZE, &New);
  }
  ~TFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &FOld);
    std::signal(SIGXFSZ, FOldHandler);
  }

private:
  rlimit FOld{};
  void (*FOldHandler)(int) = nullptr;
};

TEST(RamCardPage, WriteFailuresGoToTheFailedListAndTheSearchGoesOn) {
  TPageFixture F;
  F.ChooseDump({{"BIG.LOG", std::string(5000, 'b')}, {"BIG.LOG", "small"}, {"SMALL.LOG", "s"}});
  F.Check({0, 2});
  std::string Status;
  {
    TFileSizeLimit Limit(1000);
    Status = F.Save(F.Out.Path());
  }
  EXPECT_EQ(Status, "Warning! Save: Failed: BIG.LOG; Successful: BIG.LOG, SMALL.LOG");
  // The failed copy left nothing behind, so the name was free for the next match.
  EXPECT_EQ(FolderNames(F.Out.Path()), (std::set<std::string>{"BIG.LOG", "SMALL.LOG"}));
  EXPECT_EQ(ReadWhole(F.Out / "BIG.LOG"), "small");
}

TEST(RamCardPage, BrowseForTheOutputFolder) {
  TFakeUi Ui;
  TRamCardPage Page(Ui.Services);
  int Focus = 0;
  Page.OnFocusOutFile = [&] { ++Focus; };
  TFakeBrowser Browser;

  Page.RAMDirectory = "  ";
  Page.btnBrowseDirClick(Browser, "/opt/quorvin/");
  EXPECT_EQ(Browser.StartedAt, "/opt/quorvin/");
  EXPECT_EQ(Page.RAMDirectory, "  "); // cancelled
  EXPECT_EQ(Focus, 1);

  Browser.Answer = "/data/cards";
  Page.btnBrowseDirClick(Browser, "/opt/quorvin/");
  EXPECT_EQ(Page.RAMDirectory, "/data/cards/");
  EXPECT_EQ(Focus, 2);

  Browser.Answer.clear();
  Page.btnBrowseDirClick(Browser, "/opt/quorvin/");
  EXPECT_EQ(Browser.StartedAt, "/data/cards/");
}

TEST(RamCardPage, NameMatching) {
  EXPECT_TRUE(RamNameMatches("DATA.LOG", "DATA.LOG"));
  EXPECT_TRUE(RamNameMatches("DATA.LOG", "*.LOG"));
  EXPECT_FALSE(RamNameMatches("DATA.DAT", "*.LOG"));
  EXPECT_TRUE(RamNameMatches("DATA.LOG", "D???.L*"));
  EXPECT_FALSE(RamNameMatches("DATA", "*.*"));
  EXPECT_TRUE(RamNameMatches("DATA", "DATA"));
  EXPECT_FALSE(RamNameMatches("data.log", "DATA.LOG"));
  EXPECT_EQ(RamNameExt("A.B.C"), ".C");
  EXPECT_EQ(RamNameExt("NONAME."), ".");
  EXPECT_EQ(RamNameExt("NOEXT"), "");
}

} // namespace
} // namespace quorvin::test
