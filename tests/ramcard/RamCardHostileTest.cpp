// SPDX-License-Identifier: GPL-3.0-or-later
// Hostile dumps: random bytes, every truncation, chains that end badly,
// extreme lengths. The reader must answer, never crash, hang or read outside
// the file (run under the sanitizer build too).
#include "ramcard/RamCard.h"

#include <gtest/gtest.h>

#include <random>

#include "RamTestUtil.h"
#include "generators/RamCardGen.h"
#include "support/FakeUi.h"

namespace quorvin::test {
namespace {

struct TWalkResult {
  std::vector<std::string> Names;
  std::vector<bool> Verified;
};

// Opens, validates and walks Bytes; every entry is verified and (when
// SaveTo is given) saved. The walk must end within the bytes of the file.
TWalkResult WalkDump(const TScratchDir& Dir, const std::string& Bytes,
                     const std::string& SaveTo = std::string()) {
  WriteWhole(Dir / "d.rcd", Bytes);
  TFakeDialog Dialog;
  TRamCard Card(Dialog);
  Card.DumpFileName = Dir / "d.rcd";
  TWalkResult R;
  EXPECT_TRUE(Card.OpenDump());
  if (!Card.ValidateDump()) {
    EXPECT_EQ(Dialog.Shown.size(), 1u);
    return R;
  }
  const std::size_t MaxEntries = Bytes.size() / RamEntrySize + 1;
  while (Card.NextEntry()) {
    EXPECT_GE(Card.CurrentEntryPos(), Card.FirstEntryPos());
    EXPECT_LE(Card.NextEntryPos(), static_cast<std::int64_t>(Bytes.size()));
    R.Names.push_back(Card.CurrentEntry().NameText());
    R.Verified.push_back(Card.VerifyEntry());
    if (!SaveTo.empty()) {
      const std::string Path = JoinRamPath(SaveTo, "out.bin");
      EXPECT_TRUE(Card.SaveEntry(Path));
      EXPECT_EQ(static_cast<std::int64_t>(std::filesystem::file_size(Path)),
                Card.CurrentEntry().DataLength());
    }
    if (R.Names.size() > MaxEntries) {
      ADD_FAILURE() << "walk does not end";
      break;
    }
  }
  EXPECT_FALSE(Card.NextEntry());
  return R;
}

std::string SampleDump(bool Image) {
  return RamGenDump({{"A.LOG", "abcdefg"},
                     {"", ""},
                     {"BAD.DAT", "0123456789", 0x1234},
                     {"C.TXT", std::string(300, 'c')}},
                    Image, 'i');
}

TEST(RamCardHostile, EveryTruncationListsAPrefix) {
  for (bool Image : {false, true}) {
    const std::string Full = SampleDump(Image);
    TScratchDir Dir;
    const TWalkResult Whole = WalkDump(Dir, Full, Dir.Path());
    ASSERT_EQ(Whole.Names, (std::vector<std::string>{"A.LOG", "NONAME", "BAD.DAT", "C.TXT"}));
    EXPECT_EQ(Whole.Verified, (std::vector<bool>{true, true, false, true}));
    for (std::size_t Len = 0; Len < Full.size(); ++Len) {
      const TWalkResult Cut = WalkDump(Dir, Full.substr(0, Len), Dir.Path());
      ASSERT_LE(Cut.Names.size(), Whole.Names.size()) << Len;
      for (std::size_t I = 0; I < Cut.Names.size(); ++I) {
        EXPECT_EQ(Cut.Names[I], Whole.Names[I]) << Len;
        EXPECT_EQ(Cut.Verified[I], Whole.Verified[I]) << Len;
      }
    }
  }
}

TEST(RamCardHostile, RandomBytesAfterAValidHeader) {
  std::mt19937 Gen(20240611);
  TScratchDir Dir;
  for (int Round = 0; Round < 400; ++Round) {
    std::uniform_int_distribution<int> Size(0, 600);
    std::string Tail(static_cast<std::size_t>(Size(Gen)), '\0');
    for (char& C : Tail) C = static_cast<char>(Gen() & 0xFF);
    // Make plausible entries likelier: sprinkle the mark and small lengths.
    for (std::size_t P = 0; P + 6 <= Tail.size(); P += 24) {
      if (Gen() % 2) {
        std::int32_t L = static_cast<std::int32_t>(Gen() % 64) - 8;
        for (int I = 0; I < 4; ++I) Tail[P + I] = static_cast<char>((L >> (8 * I)) & 0xFF);
        Tail[P + 4] = 0x41;
        Tail[P + 5] = 0x48;
      }
    }
    WalkDump(Dir, (Round % 3 == 0 ? std::string(4096, 'r') : std::string()) + RamGenHeader() + Tail,
             Round % 4 == 0 ? Dir.Path() : std::string());
  }
}

TEST(RamCardHostile, WhollyRandomFiles) {
  std::mt19937 Gen(7);
  TScratchDir Dir;
  for (int Round = 0; Round < 200; ++Round) {
    std::string Bytes(static_cast<std::size_t>(Gen() % 5000), '\0');
    for (char& C : Bytes) C = static_cast<char>(Gen() & 0xFF);
    WalkDump(Dir, Bytes);
  }
}

TEST(RamCardHostile, ExtremeLengthsAndBackwardChains) {
  TScratchDir Dir;
  const std::string Good = RamGenEntry({"OK", "ok"});
  for (std::int32_t L : {INT32_MIN, -2, -24, -26, 0, 1, 23, INT32_MAX, 24 + 1000000}) {
    TRamGenEntry E{"X", "xx"};
    E.Length = L;
    const TWalkResult R =
        WalkDump(Dir, RamGenHeader() + Good + RamGenEntry(E) + Good + RamGenEnd());
    EXPECT_EQ(R.Names, (std::vector<std::string>{"OK"})) << L;
  }
}

} // namespace
} // namespace quorvin::test
