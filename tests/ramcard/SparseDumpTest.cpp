// SPDX-License-Identifier: GPL-3.0-or-later
// A card dump beyond 4 GiB: two entries of almost 2 GiB each (a sparse run
// of zero bytes that costs no disk), then a small file past the 4 GiB mark,
// which the walk reaches, verifies and saves.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "RamTestUtil.h"
#include "generators/RamCardGen.h"
#include "ramcard/RamCard.h"
#include "support/FakeUi.h"

namespace quorvin::test {
namespace {

TEST(RamCardSparse, EntryBeyondFourGiBIsFoundVerifiedAndSaved) {
  TScratchDir Dir;
  const std::string Path = Dir / "RAMCARD.RCD";
  TRamGenEntry Large("LARGE.DAT", "");
  Large.Length = INT32_MAX; // 24 header bytes and 2 GiB - 25 zero bytes: checksum 0
  Large.Checksum = 0;
  const std::int64_t Second = RamHeaderSize + std::int64_t(INT32_MAX);
  const std::int64_t Far = Second + INT32_MAX;
  const std::string Tail = RamGenEntry({"FAR.LOG", "far away"}) + RamGenEnd();
  const std::pair<std::int64_t, std::string> Pieces[] = {
      {0, RamGenHeader() + RamGenEntry(Large)}, {Second, RamGenEntry(Large)}, {Far, Tail}};
  const int Fd = ::open(Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(Fd, 0);
  for (const auto& [At, Bytes] : Pieces)
    ASSERT_EQ(::pwrite(Fd, Bytes.data(), Bytes.size(), At), static_cast<ssize_t>(Bytes.size()));
  ::close(Fd);
  ASSERT_GT(Far, std::int64_t(1) << 32);

  TFakeDialog Dialog;
  TRamCard Card(Dialog);
  Card.DumpFileName = Path;
  ASSERT_TRUE(Card.OpenDump());
  ASSERT_TRUE(Card.ValidateDump());
  EXPECT_EQ(Card.DumpSize(), Far + std::int64_t(Tail.size()));
  const std::int64_t Expected[] = {RamHeaderSize, Second, Far};
  for (std::int64_t Pos : Expected) {
    ASSERT_TRUE(Card.NextEntry());
    EXPECT_EQ(Card.CurrentEntryPos(), Pos);
  }
  EXPECT_EQ(Card.CurrentEntry().NameText(), "FAR.LOG");
  EXPECT_TRUE(Card.VerifyEntry());
  ASSERT_TRUE(Card.SaveEntry(Dir / "FAR.LOG"));
  EXPECT_EQ(ReadWhole(Dir / "FAR.LOG"), "far away");
  EXPECT_FALSE(Card.NextEntry());
  EXPECT_TRUE(Dialog.Shown.empty());
}

} // namespace
} // namespace quorvin::test
