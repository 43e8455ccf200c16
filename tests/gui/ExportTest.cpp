// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLineEdit>

#include "WindowFixture.h"
#include "gui/ExportForm.h"

namespace quorvin::gui::test {
namespace {

// Answers File > Export with the format, zone and file of the test.
class TFakeExportDialog : public IExportDialog {
public:
  bool Execute(TExportChoice& Choice) override {
    Proposed = Choice;
    Choice.Format = Format;
    Choice.Zone = Zone;
    if (!FileName.empty()) Choice.FileName = FileName;
    return true;
  }
  TExportChoice Proposed;
  TReadingsFormat Format = TReadingsFormat::Csv;
  std::string Zone, FileName;
};

class ExportTest : public WindowTest {
protected:
  TFakeExportDialog Export;
  void StartWithDialog() {
    TInjectedServices S = Services();
    S.ExportDialog = &Export;
    Form = std::make_unique<TMainForm>(S);
    Form->FormCreate(StartDir(), StartDir());
  }
};

TEST_F(ExportTest, FileExportWritesTheChosenFormatAndKeepsTheZone) {
  StartWithDialog();
  OpenThroughDialog(Copy("SITE1.LOG"));
  App().Selection.SelectAllClick(true);
  QAction* Entry = Find<QAction>("FileExport");
  Entry->trigger();
  EXPECT_EQ(Export.Proposed.FileName, Dir.File("SITE1.csv"));
  EXPECT_EQ(Export.Proposed.Zone, "");
  EXPECT_EQ(Panel1(), "Log written to " + Dir.File("SITE1.csv") + ".");
  EXPECT_EQ(ReadWhole(Dir.File("SITE1.csv")).substr(0, 48),
            "time,TEMP,RH,WIND,BATT\r\n2024-05-14T00:00:00,16.4");

  Export.Format = TReadingsFormat::NetCdf;
  Export.Zone = "America/Denver";
  Export.FileName = Dir.File("site1.nc");
  Entry->trigger();
  EXPECT_TRUE(fs::exists(Dir.File("site1.nc")));
  Close();
  EXPECT_NE(ReadWhole(Dir.File("Quorvin.ini")).find("LoggerTimeZone=America/Denver"),
            std::string::npos);
}

TEST_F(ExportTest, TheDialogsFileNameFollowsTheFormat) {
  TExportForm Dialog(nullptr);
  Dialog.Show(TExportChoice{TReadingsFormat::Csv, "-07:00", "/data/SITE1.csv", {}, {}});
  Dialog.findChild<QComboBox*>("cbxExportFormat")->setCurrentIndex(1);
  TExportChoice Taken;
  Dialog.Take(Taken);
  EXPECT_EQ(Taken.Format, TReadingsFormat::NetCdf);
  EXPECT_EQ(Taken.FileName, "/data/SITE1.nc");
  EXPECT_EQ(Taken.Zone, "-07:00");
}

} // namespace
} // namespace quorvin::gui::test
