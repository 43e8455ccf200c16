// SPDX-License-Identifier: GPL-3.0-or-later
// The chart ChartLog of the LOGPLOT page: Qt Charts behind the chart
// interface the graph draws through.
//
// The bottom axis shows date-time labels turned 90 degrees, written from the
// log's own wall-clock times as UTC (Qt's date-time axis would write them in
// the local zone). Points gathered from the graph go to each series in one
// replacement of its list. A line of more points than a screen has columns
// looks the same as its first, lowest, highest and last point in every
// column: the chart keeps those of 4096 columns across the bottom axis as
// the points arrive, and the series draws those of the plot's own width.
// So a year of one-minute data costs little more than reading it.
//
// A rubber band dragged across the plot zooms the bottom axis to the times
// it spans; a double click or "Reset zoom" in the context menu shows the
// whole range again, as does the next graph. The left axis keeps the
// user's scale throughout.
#pragma once

#include <QChartView>
#include <QColor>
#include <QFont>
#include <QList>
#include <QPen>
#include <QPointF>

#include <functional>
#include <vector>

#include "app/ChartPicture.h"
#include "core/ChartService.h"
#include "core/ClockZone.h"
#include "core/DateTimeFormat.h"

class QCategoryAxis;
class QGraphicsLineItem;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QMenu;
class QRubberBand;
class QValueAxis;

namespace quorvin::chart {

class TChartPanel final : public QChartView, public IChartPicture {
  Q_OBJECT
public:
  explicit TChartPanel(QWidget* Parent = nullptr);

  // The program's date-time format, whose separators the bottom axis
  // writes (taken when its pattern is set).
  void UseFormat(const TDateTimeFormat& Format) override { FFormat = &Format; }
  void ShowColours(const TChartColours& Colours) override;
  void SetBackColour(const QColor& Colour);
  void SetTextColour(const QColor& Colour);

  // --- zoom --------------------------------------------------------------
  // Shows the bottom axis from MinMSecs to MaxMSecs (milliseconds since
  // 1970, UTC), within the range the graph set.
  void ZoomTo(double MinMSecs, double MaxMSecs);
  void ResetZoom();
  bool Zoomed() const { return FViewMinX != FMinX || FViewMaxX != FMaxX; }
  double VisibleMinimumMSecs() const { return FViewMinX; }
  double VisibleMaximumMSecs() const { return FViewMaxX; }
  // The narrowest span a zoom shows.
  static constexpr double ShortestSpanMSecs = 1000;

  // --- read-out ------------------------------------------------------------
  // What the mouse at At (view coordinates) points to, as its tool tip
  // shows it: the time of the nearest point in the axis's pattern (with the
  // chart's zone, if any: its offset at that time, then its name unless that
  // is the offset), then each series' name and the value of its point
  // nearest the mouse's time, with that point's time where it is another.
  // Empty outside the plot.
  QString ReadOutAt(const QPoint& At) const;

  // --- context menu --------------------------------------------------------
  // Adds the page's entries to the chart's context menu.
  std::function<void(QMenu&)> OnContextMenu;
  // The context menu as a right click shows it (owned by the caller).
  QMenu* MakeContextMenu();

  // --- pictures ------------------------------------------------------------
  // The chart as it shows now, at the widget's size.
  QImage Picture();
  bool WriteChart(const std::string& FileName, TChartFileType Type, std::string& Reason) override;
  bool ChartBytes(TChartFileType Type, std::string& Bytes, std::string& Reason) override;

  // --- IChart ------------------------------------------------------------
  void RemoveAllSeries() override;
  int CreateDateTimeLineSeries() override;
  void ClearTitle() override;
  void AddTitleLine(const std::string& Line) override;
  void BottomAxisAutomaticOff() override;
  void SetBottomAxisMaximum(TDateTime Value) override;
  void SetBottomAxisMinimum(TDateTime Value) override;
  void SetBottomAxisDateTimeFormat(const std::string& Pattern) override;
  void BottomAxisLabelsOnOneLine() override;
  void SetLeftAxisMaximum(double Value) override;
  void SetLeftAxisMinimum(double Value) override;
  void AddPoint(int Series, TDateTime X, double Y) override;
  void SetSeriesTitle(int Series, const std::string& Title) override;
  void AttachSeriesToAxes(int Series) override;
  void ActivateSeries(int Series) override;
  void Repaint() override;
  void UseZone(const TClockZone& Zone) override { FZone = Zone; }

  // --- what is shown, for printing and tests ---------------------------------
  int SeriesCount() const { return int(FSeries.size()); }
  QLineSeries* Series(int Index) const;
  // The points a series keeps (x in milliseconds since 1970, UTC): every
  // point given to it while there are no more than the kept columns hold.
  const QList<QPointF>& SeriesPoints(int Index) const;
  static constexpr int KeptColumns = 4096;
  QStringList TitleLines() const { return FTitle; }
  QValueAxis* LeftAxis() const { return FAxisY; }
  QCategoryAxis* BottomAxis() const { return FAxisX; }
  // The labels of the bottom axis as written, and the label of a time
  // (milliseconds since 1970, UTC) in the axis's pattern.
  QStringList BottomLabels() const;
  QString BottomLabel(double MSecs) const;
  double BottomMinimumMSecs() const { return FMinX; }
  double BottomMaximumMSecs() const { return FMaxX; }
  QColor BackColour() const { return FBackColour; }
  QColor TextColour() const { return FTextColour; }
  // The pen of the series at Index: sixteen colours, then the same with
  // dashes, dots and their mixes.
  static QPen SeriesPen(int Index);
  static constexpr int PaletteSize = 16;
  // The legend, one entry per series, in columns beside the plot when one
  // column would not hold them all.
  QList<QGraphicsSimpleTextItem*> LegendLabels() const;
  QList<QGraphicsLineItem*> LegendSamples() const;

protected:
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;
  void contextMenuEvent(QContextMenuEvent* Event) override;

private:
  struct TSeriesData {
    QLineSeries* Line = nullptr;
    QList<QPointF> Points; // kept so far
    qsizetype Shown = -1;  // how many of them the drawn line reflects
    int Columns = 0;       // at how many columns
    bool Attached = false;
    // The kept column the latest points fall in, and its four points.
    qint64 Column = -1;
    QPointF First, Low, High, Last;
  };
  void EndColumn(TSeriesData& Data);
  TSeriesData& At(int Series);
  void ApplyLeftRange();
  void ApplyBottomRange();
  void RebuildBottomLabels();
  // Writes the bottom labels smaller where the room below the plot is short.
  void FitBottomLabels();
  // Hands the series its points, reduced to the plot's width.
  void ShowPoints(TSeriesData& Data);
  void ShowAllPoints();
  void PlotAreaChanged();
  void RebuildLegend();
  void LayoutLegend();
  void ApplyTextColour();
  int PlotColumns() const;
  // The plot area in the view's coordinates.
  QRect PlotRect() const;
  // The time at a view x coordinate.
  double TimeAt(int X) const;
  // The log time of the whole second a time (milliseconds since 1970, UTC)
  // falls in.
  static LogTime WholeSecond(double MSecs);
  // " -06:00 America/Denver": the zone at a log time, for the read-out.
  QString ZoneText(LogTime Time) const;
  void ApplyView();
  void PrepareForPicture();

  QChart* FChart;
  QCategoryAxis* FAxisX;
  QValueAxis* FAxisY;
  std::vector<TSeriesData> FSeries;
  QStringList FTitle;
  double FMinX = 0, FMaxX = 0;
  // The range shown: the whole range, or a zoomed part of it.
  double FViewMinX = 0, FViewMaxX = 0;
  QRubberBand* FBand = nullptr;
  int FBandFrom = -1; // where the drag began; -1: no drag
  double FLeftMax = DefaultLeftAxisMaximum, FLeftMin = DefaultLeftAxisMinimum;
  std::string FPattern;
  // The bottom labels' own font, before any fitting.
  QFont FLabelFont;
  char FDateSeparator = '/', FTimeSeparator = ':';
  const TDateTimeFormat* FFormat = nullptr;
  TClockZone FZone;
  QColor FBackColour = Qt::white;
  QColor FTextColour = Qt::black;
  int FColumns = 0;
  struct TLegendEntry {
    QGraphicsLineItem* Sample = nullptr;
    QGraphicsSimpleTextItem* Name = nullptr;
  };
  std::vector<TLegendEntry> FLegend;
  bool FLayingOutLegend = false;
};

// The times of the bottom axis's labels: the multiples of the smallest
// round step (whole seconds, minutes, hours, days, months, years; none
// finer than Finest milliseconds) that puts no more than MaxCount labels
// in [MinX, MaxX]. Empty when no round time falls in the range.
std::vector<double> RoundLabelTimes(double MinX, double MaxX, int MaxCount, qint64 Finest);

// The points a line needs to look the same at Columns columns across
// [MinX, MaxX]: per column the first, lowest, highest and last point, in x
// order. Points outside the range are kept as they are, few as they are.
QList<QPointF> ReducePoints(const QList<QPointF>& Points, double MinX, double MaxX, int Columns);

} // namespace quorvin::chart
