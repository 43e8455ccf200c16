// SPDX-License-Identifier: GPL-3.0-or-later
// The chart without the window: the labels of its time axis, the reduction
// of a line to the plot's columns, its date-times as UTC, and the batch
// tool's graph drawn off screen.
#include <gtest/gtest.h>

#include <QCategoryAxis>
#include <QImage>
#include <QTimeZone>

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
  ASSERT_GE(Chart.BottomLabels().size(), 2);
  EXPECT_EQ(Chart.BottomLabels().front(), "05/14/24 00:00");
  EXPECT_EQ(Chart.BottomLabels().back(), "05/17/24 00:00");
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
