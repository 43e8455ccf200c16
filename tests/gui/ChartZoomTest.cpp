// SPDX-License-Identifier: GPL-3.0-or-later
// The chart beyond the graph itself: zoom with a rubber band and back, the
// context menu's pictures and export of the visible range.
#include <QCategoryAxis>
#include <QImage>
#include <QLineSeries>
#include <QMenu>
#include <QTimeZone>
#include <QValueAxis>

#include <cmath>

#include "WindowFixture.h"

namespace quorvin::gui::test {
namespace {

using namespace captions;

class ChartZoomTest : public WindowTest {
protected:
  TChartPanel& Graph() {
    Start();
    OpenThroughDialog(Copy("SITE1.LOG"));
    ClickSelectAll();
    Page(PageLogPlot);
    Trigger(actOptionsGraph);
    TChartPanel& C = Form->Chart();
    EXPECT_TRUE(WaitFor([&] { return C.isVisible() && C.chart()->plotArea().width() > 100; }));
    return C;
  }
  // The plot area in the chart's own coordinates (= its viewport's).
  QRect Plot(TChartPanel& C) {
    return C.mapFromScene(C.chart()->mapToScene(C.chart()->plotArea())).boundingRect();
  }
  void Drag(TChartPanel& C, int FromX, int ToX) {
    const int Y = Plot(C).center().y();
    QTest::mousePress(C.viewport(), Qt::LeftButton, {}, QPoint(FromX, Y));
    QTest::mouseMove(C.viewport(), QPoint((FromX + ToX) / 2, Y));
    QTest::mouseRelease(C.viewport(), Qt::LeftButton, {}, QPoint(ToX, Y));
  }
  QAction* MenuEntry(QMenu& Menu, const char* Name) {
    QAction* Entry = Menu.findChild<QAction*>(QString::fromLatin1(Name));
    EXPECT_NE(Entry, nullptr) << Name;
    return Entry;
  }
};

TEST_F(ChartZoomTest, RubberBandZoomsTheTimeAxisAndResetShowsAllAgain) {
  TChartPanel& C = Graph();
  const double Min = UtcMSecs(2024, 5, 14), Max = UtcMSecs(2024, 5, 17);
  const QRect P = Plot(C);
  const double PerPixel = (Max - Min) / P.width();

  // A click is no zoom.
  Drag(C, P.left() + 50, P.left() + 52);
  EXPECT_FALSE(C.Zoomed());

  Drag(C, P.left() + P.width() / 2, P.left() + P.width() / 4);
  ASSERT_TRUE(C.Zoomed());
  EXPECT_NEAR(C.VisibleMinimumMSecs(), Min + (Max - Min) / 4, 2 * PerPixel);
  EXPECT_NEAR(C.VisibleMaximumMSecs(), Min + (Max - Min) / 2, 2 * PerPixel);
  // The axis and its labels follow; the left axis keeps its scale; the
  // graph's own range is unchanged.
  EXPECT_EQ(C.BottomAxis()->min(), C.VisibleMinimumMSecs());
  EXPECT_EQ(C.BottomAxis()->max(), C.VisibleMaximumMSecs());
  // Several labels, at whole hours within the zoomed range.
  ASSERT_GE(C.BottomAxis()->count(), 2);
  for (int I = 0; I < C.BottomAxis()->count(); ++I) {
    const double At = C.BottomAxis()->endValue(C.BottomLabels()[I]);
    EXPECT_GE(At, C.VisibleMinimumMSecs());
    EXPECT_LE(At, C.VisibleMaximumMSecs());
    EXPECT_EQ(std::fmod(At, 3600000.0), 0.0) << C.BottomLabels()[I].toStdString();
  }
  EXPECT_EQ(C.LeftAxis()->max(), 300);
  EXPECT_EQ(C.BottomMinimumMSecs(), Min);
  // The line shows the points in view and one beyond each side.
  const QList<QPointF> Shown = C.Series(0)->points();
  ASSERT_GT(Shown.size(), 2);
  EXPECT_LT(Shown.front().x(), C.VisibleMinimumMSecs());
  EXPECT_GE(Shown[1].x(), C.VisibleMinimumMSecs());
  EXPECT_GT(Shown.back().x(), C.VisibleMaximumMSecs());
  EXPECT_LE(Shown[Shown.size() - 2].x(), C.VisibleMaximumMSecs());

  // A zoom within the zoom, then the menu's reset.
  Drag(C, P.left(), P.left() + P.width() / 2);
  EXPECT_NEAR(C.VisibleMaximumMSecs() - C.VisibleMinimumMSecs(), (Max - Min) / 8, 4 * PerPixel);
  std::unique_ptr<QMenu> Menu(C.MakeContextMenu());
  QAction* Reset = MenuEntry(*Menu, "mnuResetZoom");
  EXPECT_EQ(Reset->text(), "Reset zoom");
  EXPECT_TRUE(Reset->isEnabled());
  Reset->trigger();
  EXPECT_FALSE(C.Zoomed());
  EXPECT_EQ(C.BottomAxis()->min(), Min);
  EXPECT_EQ(C.BottomLabels().front(), "051424 0000");
  Menu.reset(C.MakeContextMenu());
  EXPECT_FALSE(MenuEntry(*Menu, "mnuResetZoom")->isEnabled());

  // A double click, and the next graph, show the whole range too.
  Drag(C, P.left() + 10, P.left() + 100);
  ASSERT_TRUE(C.Zoomed());
  QTest::mouseDClick(C.viewport(), Qt::LeftButton, {}, P.center());
  EXPECT_FALSE(C.Zoomed());
  Drag(C, P.left() + 10, P.left() + 100);
  Trigger(actOptionsRefresh);
  EXPECT_FALSE(C.Zoomed());
}

TEST_F(ChartZoomTest, ExportVisibleRangeWritesTheZoomedLines) {
  TChartPanel& C = Graph();
  C.ZoomTo(UtcMSecs(2024, 5, 16, 12, 20), UtcMSecs(2024, 5, 16, 12, 45));
  const std::string Target = (Dir / "zoomed.prn");
  FileDialog.Answers.push_back(Target);
  std::unique_ptr<QMenu> Menu(C.MakeContextMenu());
  QAction* Export = MenuEntry(*Menu, "mnuExportVisibleRange");
  EXPECT_EQ(Export->text(), "Export visible range...");
  Export->trigger();
  EXPECT_EQ(ReadWhole(Target), "\"DATE\",\"TIME\",\"TEMP\",\"RH\",\"WIND\",\"BATT\"\r\n"
                               "\"SLOPE\",,0.1,1,0.1,0.01\r\n"
                               "\"OFFSET\",,-40.0,0,0.0,0.00\r\n"
                               "\"RIGHTDIGITS\",,1,0,1,2\r\n"
                               "051624,1230,15.7,66,0.9,12.50\r\n"
                               "051624,1245,15.4,67,2.3,12.50\r\n");
  EXPECT_EQ(Panel1(), "Log written to " + Target + ".");
}

TEST_F(ChartZoomTest, SavesTheChartAsPngAndPdf) {
  TChartPanel& C = Graph();
  const std::string Png = (Dir / "chart.png"), Pdf = (Dir / "chart.pdf");
  FileDialog.Answers = {Png, Pdf};
  std::unique_ptr<QMenu> Menu(C.MakeContextMenu());
  MenuEntry(*Menu, "mnuSaveChartPng")->trigger();
  MenuEntry(*Menu, "mnuSaveChartPdf")->trigger();
  const QImage Image(FromEngine(Png));
  ASSERT_FALSE(Image.isNull());
  EXPECT_EQ(Image.size(), C.size());
  EXPECT_EQ(ReadWhole(Pdf).substr(0, 5), "%PDF-");
  EXPECT_EQ(Panel1(), "Chart written to " + Pdf + ".");
}

} // namespace
} // namespace quorvin::gui::test
