// SPDX-License-Identifier: GPL-3.0-or-later
#include "ramcard/RamCard.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "RamTestUtil.h"
#include "generators/RamCardGen.h"
#include "support/FakeUi.h"
#include "support/Scratch.h"

namespace quorvin::test {
namespace {

// A test dump on disk and a reader opened and validated on it.
struct TDumpFixture {
  TScratchDir Dir;
  TFakeDialog Dialog;
  TRamCard Card{Dialog};

  bool Load(const std::string& Bytes, const std::string& Name = "RAMCARD.RCD") {
    WriteWhole(Dir / Name, Bytes);
    Card.DumpFileName = Dir / Name;
    return Card.OpenDump() && Card.ValidateDump();
  }
  // Names of the entries a walk reaches from the current position.
  std::vector<std::string> Walk() {
    std::vector<std::string> Names;
    while (Card.NextEntry()) Names.push_back(Card.CurrentEntry().NameText());
    return Names;
  }
};

using Names = std::vector<std::string>;

std::string Bytes(std::initializer_list<int> List) {
  std::string S;
  for (int B : List) S += static_cast<char>(B);
  return S;
}

TEST(RamCard, HeaderAtStartAndCardImage) {
  TDumpFixture F;
  ASSERT_TRUE(F.Load(RamGenDump({{"A.LOG", "abc"}, {"B.DAT", "defg"}})));
  EXPECT_EQ(F.Card.FirstEntryPos(), 28);
  EXPECT_EQ(F.Walk(), (Names{"A.LOG", "B.DAT"}));

  // 4096 bytes of anything, then the header: the image's first entry is at 4124.
  TDumpFixture G;
  ASSERT_TRUE(G.Load(RamGenDump({{"IMG.LOG", "xyz"}}, true, 'Q')));
  EXPECT_EQ(G.Card.FirstEntryPos(), 4124);
  ASSERT_TRUE(G.Card.NextEntry());
  EXPECT_EQ(G.Card.CurrentEntryPos(), 4124);
  EXPECT_EQ(G.Card.CurrentEntry().NameText(), "IMG.LOG");
  EXPECT_TRUE(G.Dialog.Shown.empty());

  // The image's signature is compared in upper case.
  TDumpFixture H;
  std::string Image =
      std::string(4096, '\0') + RamGenHeader(1, 0, "tavrix r630 ram card") + RamGenEnd();
  EXPECT_TRUE(H.Load(Image));
}

TEST(RamCard, HeaderFailuresShowOneMessageEach) {
  struct TCase {
    std::string Bytes;
    std::string Message;
  };
  const std::string NotDump(5000, 'x');
  std::string BadVersion = RamGenHeader(2, 0) + RamGenEnd();
  std::string ImageBadVersion = std::string(4096, 'z') + RamGenHeader(2, 1) + RamGenEnd();
  const TCase Cases[] = {
      {"", "Error! File too short or cannot read file."},
      {RamGenHeader().substr(0, 27), "Error! File too short or cannot read file."},
      // No signature at 0 and no room for a header at 4096.
      {std::string(200, 'x'), "Error! File too short or cannot read file."},
      {NotDump, "Error! This file is not a Ram Card dump or image."},
      // A lower-case signature at 0 is not the exact one: the image header is
      // then looked for, and the file is too short for it.
      {RamGenHeader(1, 0, "tavrix r630 ram card") + RamGenEnd(),
       "Error! File too short or cannot read file."},
      {BadVersion, "Error! Incompatible dump version "},
      {ImageBadVersion, "Error! Incompatible dump version "},
  };
  for (const auto& C : Cases) {
    TDumpFixture F;
    EXPECT_FALSE(F.Load(C.Bytes));
    ASSERT_EQ(F.Dialog.Shown.size(), 1u) << C.Message;
    EXPECT_EQ(F.Dialog.Shown[0].Text, C.Message);
    EXPECT_EQ(F.Dialog.Shown[0].Kind, TMsgKind::Error);
    EXPECT_EQ(F.Dialog.Shown[0].Buttons, TMsgButtons::OK);
    EXPECT_FALSE(F.Card.NextEntry());
  }
}

TEST(RamCard, VersionLowByteIsNotLookedAt) {
  TDumpFixture F;
  EXPECT_TRUE(F.Load(RamGenHeader(1, 0x37) + RamGenEnd()));
  EXPECT_TRUE(F.Dialog.Shown.empty());
  EXPECT_EQ(F.Card.DumpHeader()[20], 0x37);
}

TEST(RamCard, OpenDumpCompletesDriveFormsAndFolders) {
  TFakeDialog D;
  {
    TRamCard C(D);
    EXPECT_FALSE(C.DumpOpen());
    EXPECT_EQ(C.CurrentEntryPos(), 0);
    EXPECT_EQ(C.FirstEntryPos(), 0);
    C.OpenDump();
    EXPECT_EQ(C.DumpFileName, "D:\\RAMCARD.RCD");
  }
  const std::pair<std::string, std::string> Forms[] = {
      {"E:", "E:\\RAMCARD.RCD"}, {"E:\\", "E:\\RAMCARD.RCD"}, {"E:/", "E:/"}, {"E:x", "E:x"}};
  for (const auto& [Given, Completed] : Forms) {
    TRamCard C(D);
    C.DumpFileName = Given;
    EXPECT_FALSE(C.OpenDump());
    EXPECT_EQ(C.DumpFileName, Completed);
  }

  TScratchDir Dir;
  WriteWhole(Dir / "RAMCARD.RCD", RamGenDump({{"A.LOG", "1"}}));
  for (const std::string& Folder : {Dir.Path(), Dir.Path() + "/"}) {
    TRamCard C(D);
    C.DumpFileName = Folder;
    EXPECT_TRUE(C.OpenDump());
    EXPECT_EQ(C.DumpFileName, Dir.Path() + "/RAMCARD.RCD");
  }
  // A dump copied under another name, or a card image, opens by its path.
  WriteWhole(Dir / "card.img", RamGenDump({{"A.LOG", "1"}}, true));
  TRamCard C(D);
  C.DumpFileName = Dir / "card.img";
  EXPECT_TRUE(C.OpenDump());
  EXPECT_TRUE(C.ValidateDump());
  EXPECT_EQ(C.DumpFileName, Dir / "card.img");
  EXPECT_TRUE(D.Shown.empty());
}

TEST(RamCard, PipesAndMissingFilesAreNotOpened) {
  TScratchDir Dir;
  ASSERT_EQ(::mkfifo((Dir / "fifo").c_str(), 0600), 0);
  TFakeDialog D;
  TRamCard C(D);
  C.DumpFileName = Dir / "fifo";
  EXPECT_FALSE(C.OpenDump()); // and does not wait for a writer
  EXPECT_FALSE(C.DumpOpen());
  C.DumpFileName = Dir / "missing.rcd";
  EXPECT_FALSE(C.OpenDump());
  EXPECT_FALSE(C.ValidateDump());
  EXPECT_EQ(D.Texts(), (Names{"Error! File too short or cannot read file."}));
}

TEST(RamCard, EntryNames) {
  TDumpFixture F;
  ASSERT_TRUE(F.Load(RamGenDump({{"", "a"},
                                 {".", "b"},
                                 {"ABCDEFGH.LOGX", "c"}, // 13 characters, no NUL
                                 {std::string("AB\0CD", 5), "d"}})));
  EXPECT_EQ(F.Walk(), (Names{"NONAME", "NONAME.", "ABCDEFGH.LOGX", "AB"}));
}

TEST(RamCard, Checksums) {
  TDumpFixture F;
  const std::string Big = [] {
    std::string S(100001, '\0'); // odd, and longer than two buffers
    for (std::size_t I = 0; I < S.size(); ++I) S[I] = static_cast<char>((I * 7 + 3) & 0xFF);
    return S;
  }();
  ASSERT_TRUE(F.Load(RamGenDump({{"ODD.DAT", Bytes({1, 2, 3}), 0x0204},
                                 {"ODDBAD.DAT", Bytes({1, 2, 3}), 0x0203},
                                 {"EMPTY.DAT", "", 0},
                                 {"EMPTYBAD.DAT", "", 1},
                                 {"BIG.DAT", Big},
                                 {"WRAP.DAT", Bytes({0xFF, 0xFF, 0x02, 0x00}), 0x0001}})));
  std::vector<std::pair<std::string, bool>> Got;
  while (F.Card.NextEntry())
    Got.emplace_back(F.Card.CurrentEntry().NameText(), F.Card.VerifyEntry());
  EXPECT_EQ(Got, (std::vector<std::pair<std::string, bool>>{{"ODD.DAT", true},
                                                            {"ODDBAD.DAT", false},
                                                            {"EMPTY.DAT", true},
                                                            {"EMPTYBAD.DAT", false},
                                                            {"BIG.DAT", true},
                                                            {"WRAP.DAT", true}}));
  // The sum carries an odd byte across pieces.
  int Odd = -1;
  std::uint16_t Sum = AddRamChecksum(0, reinterpret_cast<const std::uint8_t*>("\x01"), 1, Odd);
  Sum = AddRamChecksum(Sum, reinterpret_cast<const std::uint8_t*>("\x02\x03"), 2, Odd);
  EXPECT_EQ(Odd, 3);
  EXPECT_EQ(Sum, 0x0201);
}

TEST(RamCard, SaveEntryCopiesWholeDataAndReplacesOnlyWhenComplete) {
  TDumpFixture F;
  std::string Big(90001, 'B');
  Big[0] = 'S';
  Big[89999] = 'E';
  ASSERT_TRUE(F.Load(RamGenDump({{"BIG.DAT", Big}, {"EMPTY.DAT", ""}})));
  TScratchDir Out;
  WriteWhole(Out / "old.dat", "previous contents");

  ASSERT_TRUE(F.Card.NextEntry());
  EXPECT_TRUE(F.Card.SaveEntry(Out / "old.dat")); // overwritten
  EXPECT_EQ(ReadWhole(Out / "old.dat"), Big);
  ASSERT_TRUE(F.Card.NextEntry());
  EXPECT_TRUE(F.Card.SaveEntry(Out / "empty.dat"));
  EXPECT_TRUE(std::filesystem::exists(Out / "empty.dat"));
  EXPECT_EQ(ReadWhole(Out / "empty.dat"), "");

  // A target that cannot be replaced: nothing partial stays behind.
  std::filesystem::create_directory(Out / "adir");
  EXPECT_FALSE(F.Card.SaveEntry(Out / "adir"));
  EXPECT_FALSE(F.Card.SaveEntry(Out / "nofolder/x.dat"));
  EXPECT_EQ(FolderNames(Out.Path()), (std::set<std::string>{"adir", "empty.dat", "old.dat"}));
  EXPECT_TRUE(FolderNames(Out / "adir").empty());

  // Past the end of the directory there is no entry to save.
  EXPECT_FALSE(F.Card.NextEntry());
  EXPECT_FALSE(F.Card.SaveEntry(Out / "none.dat"));
  EXPECT_FALSE(F.Card.VerifyEntry());
  EXPECT_FALSE(std::filesystem::exists(Out / "none.dat"));
}

TEST(RamCard, SaveEntryFailsWhenTheDumpShrinks) {
  TDumpFixture F;
  ASSERT_TRUE(F.Load(RamGenDump({{"A.DAT", std::string(1000, 'a')}})));
  ASSERT_TRUE(F.Card.NextEntry());
  std::filesystem::resize_file(F.Dir / "RAMCARD.RCD", 500);
  TScratchDir Out;
  EXPECT_FALSE(F.Card.SaveEntry(Out / "A.DAT"));
  EXPECT_FALSE(F.Card.VerifyEntry());
  EXPECT_TRUE(FolderNames(Out.Path()).empty());
}

TEST(RamCard, UniqueEntryName) {
  TDumpFixture F;
  ASSERT_TRUE(F.Load(RamGenDump({{"A.B", "1"}, {"DATA.LOG", "2"}, {"X", "3"}})));
  TScratchDir Out;
  ASSERT_TRUE(F.Card.NextEntry());
  EXPECT_EQ(F.Card.UniqueEntryName(Out.Path()), "A.B");
  WriteWhole(Out / "A.B", "");
  EXPECT_EQ(F.Card.UniqueEntryName(Out.Path()), "A01");
  EXPECT_EQ(F.Card.UniqueEntryName(Out.Path() + "/"), "A01");

  ASSERT_TRUE(F.Card.NextEntry());
  WriteWhole(Out / "DATA.LOG", "");
  WriteWhole(Out / "DATA.L01", "");
  std::filesystem::create_directory(Out / "DATA.L02");             // a folder takes the name too
  std::filesystem::create_symlink(Out / "gone", Out / "DATA.L03"); // so does a dangling link
  EXPECT_EQ(F.Card.UniqueEntryName(Out.Path()), "DATA.L04");
  for (int I = 4; I <= 99; ++I) {
    char Name[16];
    std::snprintf(Name, sizeof Name, "DATA.L%02d", I);
    WriteWhole(Out / Name, "");
  }
  EXPECT_EQ(F.Card.UniqueEntryName(Out.Path()), "");

  // A one-character name loses it to the digits.
  ASSERT_TRUE(F.Card.NextEntry());
  WriteWhole(Out / "X", "");
  EXPECT_EQ(F.Card.UniqueEntryName(Out.Path()), "01");
}

TEST(RamCard, DamagedChainsEndTheWalk) {
  auto Entry = [](const std::string& Name, std::optional<std::int32_t> Length,
                  std::uint16_t Mark = 18497) {
    TRamGenEntry E{Name, "data"};
    E.Length = Length;
    E.Mark = Mark;
    return RamGenEntry(E);
  };
  const std::string Good = RamGenEntry({"GOOD.LOG", "good"});
  struct TCase {
    const char* What;
    std::string Tail;
  };
  const TCase Cases[] = {
      {"length 0", Entry("Z", 0)},
      {"length below 24", Entry("Z", 23)},
      {"negative length", Entry("Z", -24)},
      {"most negative length", Entry("Z", INT32_MIN)},
      {"huge length", Entry("Z", INT32_MAX)},
      {"data past the end", Entry("Z", 24 + 5)},
      {"wrong mark", Entry("Z", std::nullopt, 0x4842)},
      {"entry cut short", Good.substr(0, 20)},
      {"no end mark", ""},
  };
  for (const auto& C : Cases) {
    TDumpFixture F;
    ASSERT_TRUE(F.Load(RamGenHeader() + Good + C.Tail)) << C.What;
    EXPECT_EQ(F.Walk(), (Names{"GOOD.LOG"})) << C.What;
    // An ended walk stays ended, and the entries before the damage stay usable.
    EXPECT_FALSE(F.Card.NextEntry()) << C.What;
    F.Card.RewindEntries();
    ASSERT_TRUE(F.Card.NextEntry()) << C.What;
    EXPECT_TRUE(F.Card.VerifyEntry()) << C.What;
  }
  // An exact fit: the last entry's data ends with the file, no end mark.
  TDumpFixture F;
  ASSERT_TRUE(F.Load(RamGenHeader() + Good + RamGenEntry({"LAST.LOG", "xy"})));
  EXPECT_EQ(F.Walk(), (Names{"GOOD.LOG", "LAST.LOG"}));
}

TEST(RamCard, RewindAndResume) {
  TDumpFixture F;
  ASSERT_TRUE(F.Load(RamGenDump({{"A", "1"}, {"B", "22"}, {"C", "333"}})));
  EXPECT_FALSE(F.Card.NextEntry() && F.Card.NextEntry() && F.Card.NextEntry() &&
               F.Card.NextEntry());
  F.Card.RewindEntries();
  ASSERT_TRUE(F.Card.NextEntry());
  EXPECT_EQ(F.Card.CurrentEntryPos(), 28);
  std::int64_t AfterA = F.Card.NextEntryPos();
  EXPECT_EQ(AfterA, 28 + 25);
  EXPECT_EQ(F.Walk(), (Names{"B", "C"}));
  F.Card.ResumeEntriesAt(AfterA);
  EXPECT_EQ(F.Walk(), (Names{"B", "C"}));
  // Positions before the first entry start over from it.
  for (std::int64_t Pos : {std::int64_t{0}, std::int64_t{-7}, std::int64_t{5}}) {
    F.Card.ResumeEntriesAt(Pos);
    EXPECT_EQ(F.Walk(), (Names{"A", "B", "C"}));
  }
  F.Card.ResumeEntriesAt(INT64_MAX);
  EXPECT_TRUE(F.Walk().empty());
}

TEST(RamCard, NothingIsWalkedBeforeValidation) {
  TScratchDir Dir;
  // A file that reads as a sound entry at offset 0.
  std::string Tricky = RamGenDump({{"A", "1"}});
  Tricky.replace(0, 4, std::string("\x18\0\0\0", 4));
  Tricky[4] = 0x41;
  Tricky[5] = 0x48;
  WriteWhole(Dir / "t.rcd", Tricky);
  TFakeDialog D;
  TRamCard C(D);
  C.DumpFileName = Dir / "t.rcd";
  ASSERT_TRUE(C.OpenDump());
  EXPECT_FALSE(C.NextEntry());
}

TEST(RamCard, SafeEntryNames) {
  for (const char* Bad : {"", ".", "..", "../X", "A/B", "..\\X", "A\\B", "/"})
    EXPECT_FALSE(IsSafeEntryName(Bad)) << Bad;
  for (const char* Good : {"DATA.LOG", "NONAME.", "...", "..A", "A..", ".HIDDEN", "A B"})
    EXPECT_TRUE(IsSafeEntryName(Good)) << Good;
  EXPECT_EQ(JoinRamPath("/out", "A"), "/out/A");
  EXPECT_EQ(JoinRamPath("/out/", "A"), "/out/A");
  EXPECT_EQ(JoinRamPath("out\\", "A"), "out\\/A");
}

} // namespace
} // namespace quorvin::test
