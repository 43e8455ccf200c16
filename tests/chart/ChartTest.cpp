// SPDX-License-Identifier: GPL-3.0-or-later
// The chart without the window: the labels of its time axis, the reduction
// of a line to the plot's columns, its date-times as UTC, and the batch
// tool's graph drawn off screen.
#include <gtest/gtest.h>

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QImage>
#include <QLineSeries>
#include <QSet>
#include <QTimeZone>
#include <QValueAxis>

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "chart/ChartPanel.h"
#include "chart/OffscreenCharts.h"
#include "chart/QtBridge.h"
#include "cli/CliContext.h"
#include "support/Scratch.h"

namespace quorvin::chart {
namespace {

using test::TScratchDir;

qint64 UtcMSecs(int Y, int Mo, int D, int H = 0, int Mi = 0, int S = 0) {
  return QDateTime(QDate(Y, Mo, D), QTime(H, Mi, S), QTimeZone::utc()).toMSecsSinceEpoch();
}

TEST(ChartLabels, WriteThePatternWithTheSeparatorsOfTheFormat) {
  struct TRow {
    const char* Pattern;
    char DateSep, TimeSep;
    const char* Expected; // 2024-05-14 13:05:09
  };
  const double When = double(UtcMSecs(2024, 5, 14, 13, 5, 9));
  for (const TRow& R :
       {TRow{"MMDDYY HHMM", '/', ':', "051424 1305"}, TRow{"MM/DD/YY", '/', ':', "05/14/24"},
        TRow{"DD/MM/YYYY HH:MM:SS", '.', '.', "14.05.2024 13.05.09"},
        TRow{"hh:mm", '/', ':', "13:05"}, TRow{"H:M:S", '/', ':', "13:5:9"},
        TRow{"HH 'x' MM", '/', ':', "13 'x' 05"}, TRow{"YYYY/MM/DD", '\'', ':', "2024'05'14"}}) {
    TDateTimeFormat Format;
    Format.DateSeparator = R.DateSep;
    Format.TimeSeparator = R.TimeSep;
    TChartPanel Chart;
    Chart.UseFormat(Format);
    Chart.SetBottomAxisDateTimeFormat(R.Pattern);
    EXPECT_EQ(Chart.BottomLabel(When).toStdString(), R.Expected) << R.Pattern;
  }
  // A time is labelled with the second it falls in, once rounded to the
  // millisecond the axis keeps.
  TChartPanel Chart;
  Chart.SetBottomAxisDateTimeFormat("HH:MM:SS");
  EXPECT_EQ(Chart.BottomLabel(When - 0.4), "13:05:09");
  EXPECT_EQ(Chart.BottomLabel(When - 1), "13:05:08");
}

TEST(ChartLabels, TheAxisLabelsItsWholeRange) {
  TDateTimeFormat Format;
  TChartPanel Chart;
  Chart.UseFormat(Format);
  Chart.resize(800, 600);
  Chart.SetBottomAxisMinimum(SecsToDateTime(PartsToSecs(2024, 5, 14, 0, 0, 0)));
  Chart.SetBottomAxisMaximum(SecsToDateTime(PartsToSecs(2024, 5, 17, 0, 0, 0)));
  Chart.SetBottomAxisDateTimeFormat("MM/DD/YY HH:MM");
  // Laid out at its size, as the window and the batch tool draw it.
  Chart.setAttribute(Qt::WA_DontShowOnScreen);
  Chart.Picture();
  ASSERT_GE(Chart.BottomLabels().size(), 2);
  EXPECT_EQ(Chart.BottomLabels().front(), "05/14/24 00:00");
  EXPECT_EQ(Chart.BottomLabels().back(), "05/17/24 00:00");
}

TEST(ChartLabels, FallOnRoundTimesNoFinerThanThePatternWrites) {
  struct TRow {
    qint64 From, To;
    int MaxCount;
    qint64 Finest;
    std::vector<qint64> Expected;
  };
  const qint64 Minute = 60000, Hour = 60 * Minute;
  const qint64 Day0 = UtcMSecs(2024, 5, 14);
  for (const TRow& R : std::initializer_list<TRow>{
           // Three days in at most ten labels: every twelve hours.
           {Day0, UtcMSecs(2024, 5, 17), 10, 1000, {}},
           // 07:10 to 07:20 with minutes as the finest: every two minutes.
           {Day0 + 7 * Hour + 10 * Minute,
            Day0 + 7 * Hour + 20 * Minute,
            6,
            Minute,
            {Day0 + 7 * Hour + 10 * Minute, Day0 + 7 * Hour + 12 * Minute,
             Day0 + 7 * Hour + 14 * Minute, Day0 + 7 * Hour + 16 * Minute,
             Day0 + 7 * Hour + 18 * Minute, Day0 + 7 * Hour + 20 * Minute}},
           // Half a year: the first of each month.
           {UtcMSecs(2023, 11, 20),
            UtcMSecs(2024, 5, 2),
            8,
            1000,
            {UtcMSecs(2023, 12, 1), UtcMSecs(2024, 1, 1), UtcMSecs(2024, 2, 1),
             UtcMSecs(2024, 3, 1), UtcMSecs(2024, 4, 1), UtcMSecs(2024, 5, 1)}},
           // Thirty seconds between two whole minutes: no round time.
           {Day0 + 10000, Day0 + 40000, 5, Minute, {}}}) {
    const std::vector<double> Times =
        RoundLabelTimes(double(R.From), double(R.To), R.MaxCount, R.Finest);
    if (R.Expected.empty() && R.MaxCount == 10) {
      ASSERT_EQ(Times.size(), 7u);
      for (std::size_t I = 0; I < Times.size(); ++I)
        EXPECT_EQ(Times[I], double(Day0 + qint64(I) * 12 * Hour)) << I;
      continue;
    }
    ASSERT_EQ(Times.size(), R.Expected.size()) << R.From;
    for (std::size_t I = 0; I < Times.size(); ++I) EXPECT_EQ(Times[I], double(R.Expected[I])) << I;
  }
}

TEST(ChartSeries, SixteenSensorsHaveSixteenColoursAndTheLegendHoldsThemAll) {
  TDateTimeFormat Format;
  TChartPanel Chart;
  Chart.UseFormat(Format);
  Chart.setAttribute(Qt::WA_DontShowOnScreen);
  Chart.resize(552, 315);
  Chart.SetBottomAxisMinimum(SecsToDateTime(PartsToSecs(2024, 5, 14, 0, 0, 0)));
  Chart.SetBottomAxisMaximum(SecsToDateTime(PartsToSecs(2024, 5, 17, 0, 0, 0)));
  Chart.SetBottomAxisDateTimeFormat("YYYY/MM/DD HH:MM:SS");
  constexpr int Count = 40;
  for (int I = 0; I < Count; ++I) {
    Chart.CreateDateTimeLineSeries();
    Chart.SetSeriesTitle(I, "SENSOR" + std::to_string(I + 1));
    Chart.AttachSeriesToAxes(I);
  }
  Chart.Repaint();
  Chart.Picture();
  // Sixteen colours, then the same with another dash pattern.
  QSet<QRgb> Colours;
  for (int I = 0; I < 16; ++I) Colours.insert(Chart.Series(I)->pen().color().rgb());
  EXPECT_EQ(Colours.size(), 16);
  EXPECT_EQ(Chart.Series(16)->pen().color(), Chart.Series(0)->pen().color());
  EXPECT_NE(Chart.Series(16)->pen().style(), Chart.Series(0)->pen().style());
  // Every series has its legend entry, whole, inside the chart and clear of
  // the plot and of the others.
  const QRectF Whole = Chart.chart()->rect();
  const QRectF Plot = Chart.chart()->plotArea();
  ASSERT_EQ(Chart.LegendLabels().size(), Count);
  QList<QRectF> Taken;
  for (int I = 0; I < Count; ++I) {
    const QGraphicsSimpleTextItem* Label = Chart.LegendLabels()[I];
    EXPECT_EQ(Label->text().toStdString(), "SENSOR" + std::to_string(I + 1));
    const QRectF At = Label->mapRectToItem(Chart.chart(), Label->boundingRect());
    EXPECT_TRUE(Whole.contains(At)) << I;
    EXPECT_FALSE(Plot.intersects(At)) << I;
    for (const QRectF& Other : Taken) EXPECT_FALSE(Other.intersects(At)) << I;
    Taken.append(At);
    EXPECT_EQ(Chart.LegendSamples()[I]->pen(), Chart.Series(I)->pen());
  }
  // The time labels are whole, inside the chart and clear of the axis title.
  EXPECT_FALSE(Chart.BottomAxis()->labelsTruncated());
  for (const QString& Label : Chart.BottomLabels())
    EXPECT_EQ(Label.size(), 19) << Label.toStdString();
  QRectF Title;
  QList<QRectF> Labels;
  for (QGraphicsItem* Item : Chart.scene()->items()) {
    const auto* Text = dynamic_cast<QGraphicsTextItem*>(Item);
    if (!Text || !Text->isVisible()) continue;
    if (Text->toPlainText() == Chart.BottomAxis()->titleText()) Title = Text->sceneBoundingRect();
    if (Chart.BottomLabels().contains(Text->toPlainText()))
      Labels.append(Text->sceneBoundingRect());
  }
  ASSERT_FALSE(Title.isEmpty());
  ASSERT_GE(Labels.size(), 2);
  for (const QRectF& At : Labels) {
    EXPECT_TRUE(Chart.chart()->sceneBoundingRect().contains(At));
    EXPECT_LE(At.bottom(), Title.top() + 1);
  }
}

TEST(ChartReadOut, NamesTheNearestTimeAndEachSeriesNearestValue) {
  TDateTimeFormat Format;
  TChartPanel Chart;
  Chart.UseFormat(Format);
  Chart.setAttribute(Qt::WA_DontShowOnScreen);
  Chart.resize(552, 315);
  const LogTime From = PartsToSecs(2024, 5, 14, 0, 0, 0);
  Chart.SetBottomAxisMinimum(SecsToDateTime(From));
  Chart.SetBottomAxisMaximum(SecsToDateTime(From + 4 * 3600));
  Chart.SetBottomAxisDateTimeFormat("MM/DD/YY HH:MM");
  // Hourly values; the second series misses 02:00, the third has none.
  for (int S = 0; S < 3; ++S) Chart.CreateDateTimeLineSeries();
  for (int H = 0; H <= 4; ++H) {
    Chart.AddPoint(0, SecsToDateTime(From + H * 3600), 10.1f + H);
    if (H != 2) Chart.AddPoint(1, SecsToDateTime(From + H * 3600), 0.25 * H);
  }
  for (int S = 0; S < 3; ++S) {
    Chart.SetSeriesTitle(S, std::string("ABC").substr(std::size_t(S), 1));
    Chart.AttachSeriesToAxes(S);
  }
  Chart.Repaint();
  Chart.Picture();
  const QRectF Plot = Chart.chart()->plotArea();
  auto At = [&](double Hours) {
    return Chart.mapFromScene(Chart.chart()->mapToScene(
        QPointF(Plot.left() + Plot.width() * Hours / 4, Plot.center().y())));
  };
  // Near 02:00 the second series' nearest point is at 01:00 or 03:00.
  EXPECT_EQ(Chart.ReadOutAt(At(2.2)), "05/14/24 02:00\nA: 12.1\nB: 0.75 at 05/14/24 03:00\nC: -");
  EXPECT_EQ(Chart.ReadOutAt(At(0.4)), "05/14/24 00:00\nA: 10.1\nB: 0\nC: -");
  EXPECT_EQ(Chart.ReadOutAt(QPoint(1, 1)), "");
  // With the clock's zone: the offset then (daylight time), and the name
  // unless the zone is an offset.
  TClockZone Zone;
  std::string Error;
  ASSERT_TRUE(Zone.Assign("America/Denver", Error)) << Error;
  Chart.UseZone(Zone);
  EXPECT_EQ(Chart.ReadOutAt(At(0.4)), "05/14/24 00:00 -06:00 America/Denver\nA: 10.1\nB: 0\nC: -");
  ASSERT_TRUE(Zone.Assign("-07:00", Error));
  Chart.UseZone(Zone);
  EXPECT_EQ(Chart.ReadOutAt(At(0.4)).section(u'\n', 0, 0), "05/14/24 00:00 -07:00");
  // Equal left-axis limits leave room to draw in.
  Chart.SetLeftAxisMaximum(5);
  Chart.SetLeftAxisMinimum(5);
  EXPECT_EQ(Chart.LeftAxis()->min(), 4);
  EXPECT_EQ(Chart.LeftAxis()->max(), 6);
}

TEST(ReducePoints, KeepsTheFirstLowestHighestAndLastOfEachColumn) {
  QList<QPointF> Points;
  for (int I = 0; I < 1000; ++I) Points.append(QPointF(I, (I * 37) % 101));
  const QList<QPointF> Reduced = ReducePoints(Points, 0, 1000, 10);
  EXPECT_LE(Reduced.size(), 40);
  EXPECT_EQ(Reduced.front(), Points.front());
  EXPECT_EQ(Reduced.back(), Points.back());
  for (int Column = 0; Column < 10; ++Column) {
    double Low = 1e9, High = -1e9;
    for (int I = Column * 100; I < Column * 100 + 100; ++I) {
      Low = std::min(Low, Points[I].y());
      High = std::max(High, Points[I].y());
    }
    int Found = 0;
    for (const QPointF& P : Reduced)
      if (P.x() >= Column * 100 && P.x() < Column * 100 + 100 && (P.y() == Low || P.y() == High))
        ++Found;
    EXPECT_GE(Found, 2) << Column;
  }
  for (qsizetype I = 1; I < Reduced.size(); ++I) EXPECT_LT(Reduced[I - 1].x(), Reduced[I].x());
  // Few points, or points outside the range, are kept as they are.
  const QList<QPointF> Few = {{1, 1}, {2, 5}, {3, 2}};
  EXPECT_EQ(ReducePoints(Few, 0, 10, 100), Few);
  QList<QPointF> Outside = Points;
  Outside.append(QPointF(2000, 7));
  EXPECT_EQ(ReducePoints(Outside, 0, 1000, 10).back(), QPointF(2000, 7));
}

TEST(DateBridge, DateTimeValuesMeetQtAsUtc) {
  ASSERT_STREQ(std::getenv("TZ"), "America/Denver");
  // 2024-03-10 02:30, an hour the local clock skips.
  const TDateTime Value = SecsToDateTime(PartsToSecs(2024, 3, 10, 2, 30, 0));
  const QDateTime Qt = DateTimeToQt(Value);
  EXPECT_EQ(Qt.offsetFromUtc(), 0);
  EXPECT_EQ(Qt.date(), QDate(2024, 3, 10));
  EXPECT_EQ(Qt.time(), QTime(2, 30));
  EXPECT_EQ(DateOfDateTime(Value), QDate(2024, 3, 10));
  EXPECT_EQ(DateToDateTime(QDate(2024, 3, 10)), std::floor(Value));
  EXPECT_DOUBLE_EQ(MSecsToDateTime(DateTimeToMSecs(Value)), Value);
}

TEST(OffscreenGraph, QuorvinCliDrawsAPictureOfTheAskedSize) {
  TScratchDir Dir;
  const std::string Png = (Dir / "graph.png");
  TOffscreenCharts Charts;
  cli::TCliEnvironment Environment;
  Environment.Charts = Charts.Factory();
  std::ostringstream Out, Err;
  // Every option at its default: a settings file named must exist.
  ASSERT_TRUE(test::WriteWhole(Dir / "none.ini", ""));
  const int Code =
      cli::RunCli({"--ini", (Dir / "none.ini"), "graph",
                   std::string(QUORVIN_EXAMPLES) + "/SITE1.LOG", "--png", Png, "--size", "640x360"},
                  Out, Err, Environment);
  EXPECT_EQ(Code, 0);
  EXPECT_EQ(Err.str(), "status: Chart written to " + Png + ".\n");
  const QImage Image(FromEngine(Png));
  ASSERT_FALSE(Image.isNull());
  EXPECT_EQ(Image.size(), QSize(640, 360));
  // Drawn, not blank: the lines and texts take up a good part of it.
  qsizetype Drawn = 0;
  for (int Y = 0; Y < Image.height(); ++Y)
    for (int X = 0; X < Image.width(); ++X) Drawn += Image.pixelColor(X, Y) != QColor(Qt::white);
  EXPECT_GT(Drawn, 640 * 360 / 50);

  // The same picture on standard output.
  std::ostringstream Piped, Told;
  EXPECT_EQ(
      cli::RunCli({"--ini", (Dir / "none.ini"), "graph",
                   std::string(QUORVIN_EXAMPLES) + "/SITE1.LOG", "--png", "-", "--size", "640x360"},
                  Piped, Told, Environment),
      0);
  EXPECT_EQ(Told.str(), "status: Chart written to standard output.\n");
  EXPECT_EQ(Piped.str(), test::ReadWhole(Png));
}

} // namespace
} // namespace quorvin::chart
