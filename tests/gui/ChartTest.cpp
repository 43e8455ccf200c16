// SPDX-License-Identifier: GPL-3.0-or-later
// The chart of the LOGPLOT page: its series, axes and scale after Graph,
// its colours, and log times that meet Qt only as UTC (a log across a
// daylight-saving change, run in a zone that has one).
#include <QCategoryAxis>
#include <QLegend>
#include <QLineSeries>
#include <QTimeZone>
#include <QValueAxis>

#include "WindowFixture.h"

namespace quorvin::gui::test {
namespace {

using namespace captions;

class ChartTest : public WindowTest {
protected:
  void Graph(const std::string& Log) {
    Start();
    OpenThroughDialog(Log);
    ClickSelectAll();
    Page(PageLogPlot);
    Trigger(actOptionsGraph);
  }
  // A log of one sensor every hour from 9 to 11 March 2024: the clocks of
  // Denver skip 02:00 to 03:00 on the 10th.
  std::string AcrossDaylightSaving() {
    TGenLog L;
    L.UnitName = "DST";
    L.Year = 2024;
    L.Month = 3;
    L.Day = 9;
    L.IntervalMinutes = 60;
    L.Sensors = {{"LEVEL", 1.0, 0.0, 1}};
    const std::string Path = Dir.File("DST.LOG");
    WriteWhole(Path, LogFileBytes(L, 72, [](long long K, int) {
                 return static_cast<std::uint16_t>(32767 + K);
               }));
    return Path;
  }
};

TEST_F(ChartTest, GraphDrawsOneSeriesPerCheckedSensorOnTheChosenScale) {
  Graph(Copy("SITE1.LOG"));
  TChartPanel& C = Form->Chart();
  ASSERT_EQ(C.SeriesCount(), 4);
  QStringList Titles;
  for (int I = 0; I < 4; ++I) Titles.append(C.Series(I)->name());
  EXPECT_EQ(Titles, QStringList({"TEMP", "RH", "WIND", "BATT"}));
  EXPECT_EQ(C.TitleLines(), QStringList({"R630/R600 DATA FROM: SITE1 DATE: 051424 TO 051724"}));
  EXPECT_EQ(C.BottomAxis()->titleText(), "Date and Time");
  EXPECT_EQ(C.BottomAxis()->labelsAngle(), -90);
  EXPECT_EQ(C.LeftAxis()->titleText(), "Sensor Values");
  EXPECT_EQ(C.LeftAxis()->min(), 0);
  EXPECT_EQ(C.LeftAxis()->max(), 300);
  ASSERT_EQ(C.LegendLabels().size(), 4);
  for (int I = 0; I < 4; ++I) EXPECT_EQ(C.LegendLabels()[I]->text(), Titles[I]);
  EXPECT_EQ(C.BottomMinimumMSecs(), UtcMSecs(2024, 5, 14));
  EXPECT_EQ(C.BottomMaximumMSecs(), UtcMSecs(2024, 5, 17));
  // Every 15 minutes up to, not including, the end time.
  const QList<QPointF>& Temp = C.SeriesPoints(0);
  ASSERT_EQ(Temp.size(), 288);
  EXPECT_EQ(Temp.front().x(), UtcMSecs(2024, 5, 14));
  EXPECT_EQ(Temp.back().x(), UtcMSecs(2024, 5, 16, 23, 45));
  EXPECT_EQ(float(Temp.front().y()), 16.4f);
  EXPECT_EQ(C.BottomLabels().front(), "051424 0000");
  EXPECT_EQ(C.BottomLabels().back(), "051724 0000");

  // A new scale applies to the next graph; a text that is no number keeps
  // the value before it.
  auto* Max = Find<QLineEdit>("edtMax");
  auto* Min = Find<QLineEdit>("edtMin");
  Max->selectAll();
  QTest::keyClicks(Max, "50");
  Min->selectAll();
  QTest::keyClicks(Min, "-10.5");
  Trigger(actOptionsRefresh);
  EXPECT_EQ(C.LeftAxis()->min(), -10.5);
  EXPECT_EQ(C.LeftAxis()->max(), 50);
  Max->selectAll();
  QTest::keyClicks(Max, "abc");
  Trigger(actOptionsRefresh);
  EXPECT_EQ(C.LeftAxis()->max(), 50);
  // Switching it off removes the series and hides the chart.
  Trigger(actOptionsGraph);
  EXPECT_EQ(C.SeriesCount(), 0);
  EXPECT_FALSE(C.isVisible());
}

TEST_F(ChartTest, WallClockTimesAcrossADaylightSavingChangeKeepEveryHour) {
  ASSERT_STREQ(std::getenv("TZ"), "America/Denver");
  const std::string Log = AcrossDaylightSaving();
  Start();
  OpenThroughDialog(Log);
  ClickSelectAll();
  EXPECT_EQ(Find<QDateEdit>("dtpStart")->date(), QDate(2024, 3, 9));
  // The reader's last time is one interval after the last record.
  EXPECT_EQ(Find<QDateEdit>("dtpEnd2")->date(), QDate(2024, 3, 12));
  // The 10th picked as the start begins the range at its midnight.
  Find<QDateEdit>("dtpStart")->setFocus(Qt::MouseFocusReason);
  Find<QDateEdit>("dtpStart")->setDate(QDate(2024, 3, 10));
  EXPECT_EQ(App().Selection.StartTime, PartsToSecs(2024, 3, 10, 0, 0, 0));
  Trigger(actOptionsDisplay);
  EXPECT_TRUE(PaneText().contains("031024,         0200,")) << PaneText().left(300).toStdString();
  Trigger(actOptionsDisplay);

  Page(PageLogPlot);
  Trigger(actOptionsGraph);
  TChartPanel& C = Form->Chart();
  ASSERT_EQ(C.SeriesCount(), 1);
  const QList<QPointF>& Points = C.SeriesPoints(0);
  // From the 10th 00:00 to the 11th 23:00: 48 hours, none moved, dropped or
  // doubled.
  ASSERT_EQ(Points.size(), 48);
  EXPECT_EQ(Points.front().x(), UtcMSecs(2024, 3, 10));
  for (qsizetype I = 1; I < Points.size(); ++I)
    EXPECT_EQ(Points[I].x() - Points[I - 1].x(), 3600000.0) << I;
  EXPECT_EQ(float(Points[2].y()), 2.6f); // 02:00 on the 10th: record 26
  EXPECT_EQ(C.BottomLabels().front(), "031024 0000");
  EXPECT_EQ(C.BottomLabels().back(), "031224 0000");
  for (const QString& Label : C.BottomLabels()) EXPECT_EQ(Label.size(), 11) << Label.toStdString();
}

TEST_F(ChartTest, ColoursApplyAtOnceAlsoBeforeAnyGraph) {
  Start();
  Page(PageLogPlot);
  Find<QComboBox>("STBackColor")->setCurrentText("clBlack");
  Find<QComboBox>("STTextColor")->setCurrentText("clLime");
  TChartPanel& C = Form->Chart();
  EXPECT_EQ(C.chart()->plotAreaBackgroundBrush().color(), QColor(Qt::black));
  // Only the back wall, the plot area: around it the chart stays white.
  EXPECT_EQ(C.chart()->backgroundBrush().color(), QColor(Qt::white));
  EXPECT_EQ(C.chart()->titleBrush().color(), QColor(0, 0xFF, 0));
  for (QAbstractAxis* Axis : C.chart()->axes()) {
    EXPECT_EQ(Axis->titleBrush().color(), QColor(0, 0xFF, 0));
    EXPECT_EQ(Axis->labelsBrush().color(), QColor(0, 0xFF, 0));
  }
  // Each of the sixteen entries carries a swatch of its colour.
  auto* Back = Find<QComboBox>("STBackColor");
  ASSERT_EQ(Back->count(), 16);
  EXPECT_EQ(Back->itemText(4), "clNavy");
  const QImage Swatch = Back->itemIcon(4).pixmap(22, 12).toImage();
  EXPECT_EQ(QColor(Swatch.pixel(10, 6)), QColor(0, 0, 0x80));
}

} // namespace
} // namespace quorvin::gui::test
