// SPDX-License-Identifier: GPL-3.0-or-later
// The window and quorvin-cli run the same commands on the same files: the
// files they write, the pane and standard output, and the message panel and
// the batch tool's status line are the same.
#include <QPushButton>

#include <functional>
#include <sstream>

#include "WindowFixture.h"
#include "cli/CliContext.h"

namespace quorvin::gui::test {
namespace {

using namespace captions;

struct TParityRow {
  const char* Name;
  // Drives the window (started in the scratch folder with the samples).
  std::function<void(WindowTest&)> Window;
  std::vector<std::string> Cli; // {dir} is the scratch folder
  std::vector<std::string> Written;
};

class ParityTest : public WindowTest {
public:
  void Do(TActionId Id) { Trigger(Id); }
  void Show(int P) { Page(P); }
  void Choose(const std::string& Sample) { OpenThroughDialog(Dir.File(Sample)); }
  void SelectAll() { ClickSelectAll(); }
  QListWidget* RamFiles() { return Find<QListWidget>("chklbxRamFiles"); }
  void RamDrive(const std::string& Dump) {
    auto* Drive = Find<QComboBox>("cbxRamdir");
    Drive->setFocus();
    QTest::keyClicks(Drive->lineEdit(), QString::fromStdString(Dir.File(Dump)));
    QTest::keyClick(Drive->lineEdit(), Qt::Key_Return);
    WaitFor([&] { return RamFiles()->count() > 0; });
  }
  void RamOut(const std::string& Folder) {
    QTest::keyClicks(Find<QLineEdit>("edtOutFile"), QString::fromStdString(Dir.File(Folder)));
  }
};

// What the batch tool reports as its status: the message panel, less the
// progress texts an import leaves there.
std::string StatusLine(const std::string& Panel) {
  if (Panel.empty() || Panel.rfind("Importing from ", 0) == 0) return "";
  return "status: " + Panel + "\n";
}

TEST_F(ParityTest, WindowAndBatchToolAgree) {
  const std::vector<TParityRow> Rows = {
      {"LOGPRN Save",
       [](WindowTest& W) {
         auto& P = static_cast<ParityTest&>(W);
         P.Choose("SITE1.LOG");
         P.SelectAll();
         P.Do(actFileSave);
       },
       {"prn", "{dir}SITE1.LOG", "--sensors", "all"},
       {"SITE1.PRN"}},
      {"LOGPRN Save of a CSV log",
       [](WindowTest& W) {
         auto& P = static_cast<ParityTest&>(W);
         P.Choose("site2.csv");
         P.Do(actFileSave);
       },
       {"prn", "{dir}site2.csv", "--sensors", "1"},
       {"SITE2.PRN"}},
      {"LOGPRN Display",
       [](WindowTest& W) {
         auto& P = static_cast<ParityTest&>(W);
         P.Choose("SITE1.LOG");
         P.SelectAll();
         P.Do(actOptionsDisplay);
       },
       {"prn", "{dir}SITE1.LOG", "--sensors", "all", "--display"},
       {}},
      {"LOGPRN Header",
       [](WindowTest& W) {
         auto& P = static_cast<ParityTest&>(W);
         P.Choose("SITE1.LOG");
         P.Do(actOptionsHeader);
       },
       {"header", "{dir}SITE1.LOG"},
       {}},
      {"LOGSTAT Statistics",
       [](WindowTest& W) {
         auto& P = static_cast<ParityTest&>(W);
         P.Choose("site3.csv");
         P.SelectAll();
         P.Show(PageLogStat);
         P.Do(actOptionsStats);
       },
       {"stats", "{dir}site3.csv", "--sensors", "all"},
       {}},
      {"DDRLOG Save",
       [](WindowTest& W) {
         auto& P = static_cast<ParityTest&>(W);
         P.Show(PageDDRLog);
         P.Choose("SAMPLE.DDR");
         P.Do(actFileSave);
       },
       {"ddr", "{dir}SAMPLE.DDR", "--save"},
       {"SAMPLE.PRN"}},
      {"DDRLOG Display",
       [](WindowTest& W) {
         auto& P = static_cast<ParityTest&>(W);
         P.Show(PageDDRLog);
         P.Choose("SAMPLE.DDR");
         P.Do(actOptionsDisplay);
       },
       {"ddr", "{dir}SAMPLE.DDR", "--display"},
       {}},
      {"DDRLOG Header",
       [](WindowTest& W) {
         auto& P = static_cast<ParityTest&>(W);
         P.Show(PageDDRLog);
         P.Choose("SAMPLE.DDR");
         P.Do(actOptionsHeader);
       },
       {"ddr", "{dir}SAMPLE.DDR", "--summary"},
       {}},
      {"RAMCARD Save",
       [](WindowTest& W) {
         auto& P = static_cast<ParityTest&>(W);
         P.Show(PageRamCard);
         P.RamOut("out");
         P.RamDrive("RAMCARD.RCD");
         P.RamFiles()->item(0)->setCheckState(Qt::Checked);
         P.RamFiles()->item(2)->setCheckState(Qt::Checked);
         P.Do(actFileSave);
       },
       {"ramcard", "{dir}RAMCARD.RCD", "save", "--out", "{dir}out", "README.TXT", "SITE1.CSV"},
       {"out/README.TXT", "out/SITE1.CSV"}},
  };
  for (const TParityRow& R : Rows) {
    SCOPED_TRACE(R.Name);
    for (const char* Sample : {"SITE1.LOG", "site2.csv", "site3.csv", "SAMPLE.DDR", "RAMCARD.RCD"})
      Copy(Sample);
    fs::create_directories(Dir.File("out"));

    Start();
    R.Window(*this);
    const std::string Pane = PaneText().toStdString();
    const std::string Panel = Panel1();
    std::vector<std::string> Files;
    for (const std::string& F : R.Written) {
      ASSERT_TRUE(fs::exists(Dir.File(F))) << F << " " << Panel;
      Files.push_back(ReadWhole(Dir.File(F)));
      fs::remove(Dir.File(F));
    }
    Close();

    // A settings file of defaults: one named on the command line must exist.
    WriteWhole(Dir.File("none.ini"), "");
    std::vector<std::string> Args = {"--ini", Dir.File("none.ini")};
    for (std::string A : R.Cli) {
      if (auto At = A.find("{dir}"); At != std::string::npos) A.replace(At, 5, StartDir());
      Args.push_back(A);
    }
    std::ostringstream Out, Err;
    cli::RunCli(Args, Out, Err);
    for (std::size_t I = 0; I < R.Written.size(); ++I)
      EXPECT_EQ(ReadWhole(Dir.File(R.Written[I])), Files[I]) << R.Written[I];
    // The pane shows what standard output gets (a save shows nothing).
    EXPECT_EQ(Pane, Out.str());
    EXPECT_EQ(StatusLine(Panel), Err.str());
    EXPECT_TRUE(Dialog.Shown.empty());
    fs::remove_all(Dir.File("out"));
    for (const std::string& F : R.Written) fs::remove(Dir.File(F));
  }
}

} // namespace
} // namespace quorvin::gui::test
