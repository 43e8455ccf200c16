// SPDX-License-Identifier: GPL-3.0-or-later
#include <QChart>
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>

#include "WindowFixture.h"
#include "core/ClockZone.h"
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

// Answers Options > Time Zone as a user pressing OK on each typed zone in
// turn; cancels once all are refused.
class TFakeZoneDialog : public IZoneDialog {
public:
  bool Execute(std::string& Zone,
               const std::function<bool(const std::string&)>& Accepted) override {
    Proposed = Zone;
    auto Taken = std::find_if(Typed.begin(), Typed.end(), Accepted);
    if (Taken != Typed.end()) Zone = *Taken;
    return Taken != Typed.end();
  }
  std::string Proposed;
  std::vector<std::string> Typed;
};

class ExportTest : public WindowTest {
protected:
  TFakeExportDialog Export;
  TFakeZoneDialog Zones;
  void StartWithDialog() {
    TInjectedServices S = Services();
    S.ExportDialog = &Export;
    S.ZoneDialog = &Zones;
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

TEST_F(ExportTest, TimeZoneRefusesWhatIsNoZoneAndTheChartNamesTheZoneTaken) {
  StartWithDialog();
  Form->show();
  QAction* Entry = Find<QAction>("OptionsTimeZone");
  Zones.Typed = {"Mars/Olympus", "America/Denver"};
  Entry->trigger();
  EXPECT_EQ(Dialog.Texts(), std::vector<std::string>{ZoneRefused("Mars/Olympus")});
  EXPECT_EQ(App().LoggerTimeZone, "America/Denver");
  Zones.Typed = {"-25:00"};
  Entry->trigger();
  EXPECT_EQ(Zones.Proposed, "America/Denver");
  EXPECT_EQ(App().LoggerTimeZone, "America/Denver");

  OpenThroughDialog(Copy("SITE1.LOG"));
  ClickSelectAll();
  Page(PageLogPlot);
  Trigger(captions::actOptionsGraph);
  TChartPanel& Chart = Form->Chart();
  Chart.Picture();
  const QString Tip = Chart.ReadOutAt(
      Chart.mapFromScene(Chart.chart()->mapToScene(Chart.chart()->plotArea().center())));
  EXPECT_TRUE(Tip.section(u'\n', 0, 0).endsWith(" -06:00 America/Denver")) << Tip.toStdString();
}

TEST_F(ExportTest, TheDialogsFileNameFollowsTheFormatAndTheZonesAreTheSystems) {
  TExportForm Dialog(nullptr);
  Dialog.Show(TExportChoice{TReadingsFormat::Csv, "-07:00", "/data/SITE1.csv", {}, {}});
  Dialog.findChild<QComboBox*>("cbxExportFormat")->setCurrentIndex(1);
  TExportChoice Taken;
  Dialog.Take(Taken);
  EXPECT_EQ(Taken.Format, TReadingsFormat::NetCdf);
  EXPECT_EQ(Taken.FileName, "/data/SITE1.nc");
  EXPECT_EQ(Taken.Zone, "-07:00");
  auto* Zones = Dialog.findChild<QComboBox*>("cbxExportZone");
  QStringList Offered;
  for (int I = 0; I < Zones->count(); ++I) Offered.append(Zones->itemText(I));
  EXPECT_EQ(Offered.first(), "");
  EXPECT_TRUE(Offered.contains("Europe/Berlin"));
  EXPECT_TRUE(std::is_sorted(Offered.begin() + 1, Offered.end()));
}

} // namespace
} // namespace quorvin::gui::test
