// SPDX-License-Identifier: GPL-3.0-or-later
// A DDR file beyond 4 GiB (the sample, then a sparse run of zero bytes that
// costs no disk, and zero bytes on disk at its end): it reads, lists and
// saves exactly like the sample alone, and progress counts its whole size.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "DDRTestUtil.h"
#include "ddr/DDRPage.h"
#include "support/FakeUi.h"

namespace quorvin::test {
namespace {

class TTotals : public IBusyCursor {
public:
  long long Largest = 0;
  void Begin() override {}
  void End() override {}
  bool Step(long long, long long Total) override {
    Largest = std::max(Largest, Total);
    return false;
  }
};

struct TRunResult {
  std::string Pane;
  std::string Saved;
  long long Total;
};

TRunResult DisplayHeaderAndSave(const TDDRScratch& Scratch, const std::string& Name,
                                long long Size) {
  const std::string Path = Scratch.File(Name + ".DDR");
  EXPECT_TRUE(WriteWhole(Path, ddrsample::SampleFile()));
  if (Size > 0) {
    EXPECT_EQ(::truncate(Path.c_str(), Size), 0);
    // The last zero bytes written for real, past 4 GiB: the padding check
    // passes over the hole before them but reads them where they are.
    const std::string Zeros(4096, '\0');
    const int Fd = ::open(Path.c_str(), O_WRONLY);
    EXPECT_EQ(::pwrite(Fd, Zeros.data(), Zeros.size(), Size - off_t(Zeros.size())),
              ssize_t(Zeros.size()));
    ::close(Fd);
  }
  TFakeUi Ui;
  TTotals Totals;
  TUiServices Services{Ui.Dialog, Ui.Status, Ui.Pane, Totals};
  TDDRObj DDR(Ui.Dialog);
  TDateTimeFormat Format;
  SetDateTimeFormat(Format, "MM/DD/YYYY HH:MM:SS");
  bool FileValid = false;
  TDDRPage Page(DDR, Services, Format, FileValid, [](const std::string&) { return true; });
  DDR.Layout.AddHeader = true;
  Page.SetDDRLogText(Path);
  Page.edtFilenameExit();
  EXPECT_TRUE(FileValid);
  // Display, Header and Save as the commands drive the page.
  EXPECT_TRUE(Page.ImportDDR(cmDisplay, "display failed"));
  std::string Pane = Ui.Pane.Text();
  Ui.Pane.Clear();
  EXPECT_TRUE(Page.ShowDDRSummary(cmHeader, "header failed"));
  Pane += Ui.Pane.Text();
  EXPECT_TRUE(Page.ImportDDR(cmNone, "save failed"));
  EXPECT_EQ(DDR.DDROutputFileName, Scratch.File(Name + ".PRN"));
  EXPECT_TRUE(Ui.Dialog.Shown.empty());
  // The summary names the input file; the rest must be the same.
  std::string Saved = ReadWhole(Scratch.File(Name + ".PRN"));
  for (std::size_t At; (At = Saved.find(Name)) != std::string::npos;)
    Saved.replace(At, Name.size(), "X");
  for (std::size_t At; (At = Pane.find(Name)) != std::string::npos;)
    Pane.replace(At, Name.size(), "X");
  return {Pane, Saved, Totals.Largest};
}

TEST(DDRSparse, FileBeyondFourGiBReadsLikeItsFirstBlocks) {
  TDDRScratch Scratch;
  const long long Huge = (1LL << 32) + 4096 + 7;
  const TRunResult Small = DisplayHeaderAndSave(Scratch, "SMALL", 0);
  const TRunResult Big = DisplayHeaderAndSave(Scratch, "BIGGER", Huge);
  ASSERT_FALSE(Small.Pane.empty());
  EXPECT_EQ(Big.Pane, Small.Pane);
  EXPECT_EQ(Big.Saved, Small.Saved);
  EXPECT_EQ(Big.Total, Huge);
}

} // namespace
} // namespace quorvin::test
