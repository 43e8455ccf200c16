// SPDX-License-Identifier: GPL-3.0-or-later
// The chart panel's axes, their labels, its colours and its legend: the
// bottom axis is labelled at round times in the program's own date-time
// pattern, the left axis keeps the user's scale, and the legend stands in
// as many columns beside the plot as its entries take.
#include <QCategoryAxis>
#include <QChart>
#include <QDateTime>
#include <QFontMetricsF>
#include <QGraphicsLineItem>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLineSeries>
#include <QSet>
#include <QTimeZone>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

#include "app/Settings.h"
#include "chart/ChartPanel.h"
#include "chart/QtBridge.h"

namespace quorvin::chart {

namespace {

// At most one bottom-axis label per this many pixels of the plot's width.
constexpr int LabelSpacing = 40;
constexpr int MaxLabels = 40;

constexpr qint64 Second = 1000;
constexpr qint64 Minute = 60 * Second;
constexpr qint64 Hour = 60 * Minute;
constexpr qint64 Day = 24 * Hour;
// The steps between labels, finest first: whole seconds, minutes, hours
// and days; beyond them whole months and years.
constexpr qint64 FixedSteps[] = {
    Second,     2 * Second, 5 * Second,  10 * Second, 15 * Second, 30 * Second, Minute,
    2 * Minute, 5 * Minute, 10 * Minute, 15 * Minute, 30 * Minute, Hour,        2 * Hour,
    3 * Hour,   6 * Hour,   12 * Hour,   Day,         2 * Day,     5 * Day,     10 * Day};
constexpr int MonthSteps[] = {1, 2, 3, 6, 12, 24, 60, 120, 240, 600, 1200};

qint64 FloorDiv(qint64 A, qint64 B) { return A / B - ((A % B != 0) && ((A < 0) != (B < 0))); }

qint64 MonthStartMSecs(int MonthIndex) {
  const int Year = int(FloorDiv(MonthIndex, 12));
  const int Month = int(MonthIndex - qint64(Year) * 12) + 1;
  return QDateTime(QDate(Year, Month, 1), QTime(0, 0), QTimeZone::utc()).toMSecsSinceEpoch();
}

// Sixteen colours that tell apart on the white wall and on most others.
constexpr QRgb Palette[TChartPanel::PaletteSize] = {
    0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd, 0x8c564b, 0xe377c2, 0x7f7f7f,
    0xbcbd22, 0x17becf, 0x000080, 0x800000, 0x006400, 0xff00ff, 0x000000, 0x808000};
constexpr Qt::PenStyle Dashes[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                   Qt::DashDotDotLine};

} // namespace

std::vector<double> RoundLabelTimes(double MinX, double MaxX, int MaxCount, qint64 Finest) {
  std::vector<double> Times;
  if (!(MaxX > MinX) || MaxCount < 1) return Times;
  const qint64 Low = qint64(std::ceil(MinX));
  const qint64 High = qint64(std::floor(MaxX));
  for (qint64 Step : FixedSteps) {
    if (Step < Finest) continue;
    // Steps of several days count from the range's first midnight.
    const qint64 Base = Step > Day && Step % Day == 0 ? FloorDiv(Low + Day - 1, Day) * Day : 0;
    const qint64 First = Base + FloorDiv(Low - Base + Step - 1, Step) * Step;
    if (First > High || (High - First) / Step + 1 > MaxCount) continue;
    for (qint64 T = First; T <= High; T += Step) Times.push_back(double(T));
    return Times;
  }
  const QDate From = QDateTime::fromMSecsSinceEpoch(Low, QTimeZone::utc()).date();
  const int FirstMonth = From.year() * 12 + From.month() - 1;
  for (int Months : MonthSteps) {
    int M = int(FloorDiv(FirstMonth + Months - 1, Months)) * Months;
    if (MonthStartMSecs(M) < Low) M += Months;
    Times.clear();
    for (; MonthStartMSecs(M) <= High; M += Months) {
      Times.push_back(double(MonthStartMSecs(M)));
      if (int(Times.size()) > MaxCount) break;
    }
    if (int(Times.size()) <= MaxCount) return Times;
  }
  Times.clear();
  return Times;
}

void TChartPanel::SetBackColour(const QColor& Colour) {
  FBackColour = Colour;
  // The back wall, the plot area, takes the colour; around it the chart
  // stays white.
  FChart->setBackgroundBrush(QBrush(Qt::white, Qt::SolidPattern));
  FChart->setPlotAreaBackgroundBrush(QBrush(Colour, Qt::SolidPattern));
  FChart->setPlotAreaBackgroundVisible(true);
}

void TChartPanel::SetTextColour(const QColor& Colour) {
  FTextColour = Colour;
  ApplyTextColour();
}

void TChartPanel::ApplyTextColour() {
  const QBrush Brush(FTextColour);
  FChart->setTitleBrush(Brush);
  for (const TLegendEntry& Entry : FLegend) Entry.Name->setBrush(Brush);
  for (QAbstractAxis* Axis :
       {static_cast<QAbstractAxis*>(FAxisX), static_cast<QAbstractAxis*>(FAxisY)}) {
    Axis->setTitleBrush(Brush);
    Axis->setLabelsBrush(Brush);
  }
}

void TChartPanel::ShowColours(const TChartColours& Colours) {
  const int Back = ColourIndex(Colours.BackgroundColor);
  const int Text = ColourIndex(Colours.TextColor);
  if (Back >= 0) SetBackColour(ListColour(Back));
  if (Text >= 0) SetTextColour(ListColour(Text));
}

QPen TChartPanel::SeriesPen(int Index) {
  const int I = std::max(0, Index);
  QPen Pen(QColor::fromRgb(Palette[I % PaletteSize]));
  Pen.setWidthF(1.5);
  Pen.setStyle(Dashes[(I / PaletteSize) % int(std::size(Dashes))]);
  return Pen;
}

QList<QGraphicsSimpleTextItem*> TChartPanel::LegendLabels() const {
  QList<QGraphicsSimpleTextItem*> Labels;
  for (const TLegendEntry& Entry : FLegend) Labels.append(Entry.Name);
  return Labels;
}

QList<QGraphicsLineItem*> TChartPanel::LegendSamples() const {
  QList<QGraphicsLineItem*> Samples;
  for (const TLegendEntry& Entry : FLegend) Samples.append(Entry.Sample);
  return Samples;
}

void TChartPanel::RebuildLegend() {
  while (FLegend.size() > FSeries.size()) {
    delete FLegend.back().Sample;
    delete FLegend.back().Name;
    FLegend.pop_back();
  }
  while (FLegend.size() < FSeries.size()) {
    TLegendEntry Entry;
    Entry.Sample = new QGraphicsLineItem(FChart);
    Entry.Name = new QGraphicsSimpleTextItem(FChart);
    Entry.Sample->setZValue(10);
    Entry.Name->setZValue(10);
    FLegend.push_back(Entry);
  }
  const QFont Font = FChart->legend()->font();
  for (std::size_t I = 0; I < FLegend.size(); ++I) {
    FLegend[I].Sample->setPen(FSeries[I].Line->pen());
    FLegend[I].Name->setText(FSeries[I].Line->name());
    FLegend[I].Name->setFont(Font);
    FLegend[I].Name->setBrush(QBrush(FTextColour));
  }
  LayoutLegend();
}

void TChartPanel::LayoutLegend() {
  // Setting the margin below lays the chart out again, which comes back here.
  if (FLayingOutLegend) return;
  FLayingOutLegend = true;
  const QRectF Box = FChart->rect();
  const QFontMetricsF Metrics(FChart->legend()->font());
  const qreal Row = std::ceil(Metrics.height()) + 3;
  const qreal SampleWidth = 18, Gap = 6;
  // From the top of the plot to the chart's foot, beside both.
  const qreal Top = std::max(Box.top() + 4, FChart->plotArea().top());
  const qreal Room = std::max(Row, Box.bottom() - 4 - Top);
  const int Count = int(FLegend.size());
  const int Rows = std::max(1, std::min(Count, int(Room / Row)));
  const int Columns = Count == 0 ? 0 : (Count + Rows - 1) / Rows;
  qreal NameWidth = 0;
  for (const TLegendEntry& Entry : FLegend)
    NameWidth = std::max(NameWidth, Metrics.horizontalAdvance(Entry.Name->text()));
  const qreal ColumnWidth = SampleWidth + Gap + std::ceil(NameWidth) + 2 * Gap;
  const qreal Width = Columns * ColumnWidth;
  const int Right = 4 + int(std::ceil(Width));
  if (FChart->margins().right() != Right) {
    QMargins Margins = FChart->margins();
    Margins.setRight(Right);
    FChart->setMargins(Margins);
  }
  // One column stands in the middle of the height, as a legend usually does.
  const qreal Used = std::min(Count, Rows) * Row;
  const qreal FirstTop = Columns == 1 ? Top + (Room - Used) / 2 : Top;
  const qreal Left = Box.right() - Right + Gap;
  for (int I = 0; I < Count; ++I) {
    const qreal X = Left + (I / Rows) * ColumnWidth;
    const qreal Y = FirstTop + (I % Rows) * Row;
    FLegend[std::size_t(I)].Sample->setLine(X, Y + Row / 2, X + SampleWidth, Y + Row / 2);
    FLegend[std::size_t(I)].Name->setPos(X + SampleWidth + Gap, Y + (Row - Metrics.height()) / 2);
  }
  FLayingOutLegend = false;
}

void TChartPanel::SetBottomAxisDateTimeFormat(const std::string& Pattern) {
  FPattern = Pattern;
  FDateSeparator = FFormat ? FFormat->DateSeparator : '/';
  FTimeSeparator = FFormat ? FFormat->TimeSeparator : ':';
  RebuildBottomLabels();
}

LogTime TChartPanel::WholeSecond(double MSecs) {
  const qint64 Whole = std::llround(MSecs);
  const qint64 Seconds = Whole / 1000 - (Whole % 1000 < 0 ? 1 : 0);
  return DateTimeToSecs(MSecsToDateTime(Seconds * 1000));
}

QString TChartPanel::BottomLabel(double MSecs) const {
  const LogTime Secs = WholeSecond(MSecs);
  // The date half and the time half are written each on its own, as every
  // other output writes them.
  const std::size_t Blank = FPattern.find(' ');
  if (Blank == std::string::npos)
    return FromEngine(FormatLogTime(FPattern, Secs, FDateSeparator, FTimeSeparator));
  return FromEngine(
      FormatLogTime(FPattern.substr(0, Blank), Secs, FDateSeparator, FTimeSeparator) + ' ' +
      FormatLogTime(FPattern.substr(Blank + 1), Secs, FDateSeparator, FTimeSeparator));
}

void TChartPanel::BottomAxisLabelsOnOneLine() {
  // Each label is one line of text already.
}

void TChartPanel::SetLeftAxisMaximum(double Value) {
  FLeftMax = Value;
  ApplyLeftRange();
}

void TChartPanel::SetLeftAxisMinimum(double Value) {
  FLeftMin = Value;
  ApplyLeftRange();
}

void TChartPanel::ApplyLeftRange() {
  // A maximum below the minimum is shown the right way up rather than
  // leaving the axis at its previous range; equal limits leave no height to
  // draw in, so the axis shows one either side of them.
  double Low = std::min(FLeftMin, FLeftMax), High = std::max(FLeftMin, FLeftMax);
  if (Low == High) {
    Low -= 1;
    High += 1;
  }
  FAxisY->setRange(Low, High);
}

QStringList TChartPanel::BottomLabels() const { return FAxisX->categoriesLabels(); }

void TChartPanel::RebuildBottomLabels() {
  for (const QString& Label : FAxisX->categoriesLabels()) FAxisX->remove(Label);
  if (!(FViewMaxX > FViewMinX)) {
    FAxisX->setRange(0, 1);
    return;
  }
  const int Width = std::max(1, int(FChart->plotArea().width()));
  const int MaxCount = std::clamp(Width / LabelSpacing, 2, MaxLabels);
  // Labels at round times, no finer than the pattern writes.
  const bool Seconds =
      FPattern.find("SS") != std::string::npos || FPattern.find("ss") != std::string::npos;
  std::vector<double> Times =
      RoundLabelTimes(FViewMinX, FViewMaxX, MaxCount, Seconds ? Second : Minute);
  // A span shorter than any round step is labelled at its ends.
  if (Times.empty()) Times = {FViewMinX, FViewMaxX};
  FAxisX->setStartValue(std::min(Times.front(), FViewMinX) - 1.0);
  QSet<QString> Used;
  for (double Value : Times) {
    const QString Label = BottomLabel(Value);
    if (Used.contains(Label)) continue;
    Used.insert(Label);
    FAxisX->append(Label, Value);
  }
  FAxisX->setRange(FViewMinX, FViewMaxX);
  FitBottomLabels();
}

void TChartPanel::FitBottomLabels() {
  // The axes below the plot get at most 40 per cent of the height the
  // chart's title leaves; labels on their side that need more would lose
  // their first characters and run into the axis title.
  constexpr qreal AxisShare = 0.4;
  constexpr qreal Paddings = 14; // around the labels and the axis title
  constexpr qreal SmallestPoints = 6;
  QFont Font = FLabelFont;
  const QFontMetricsF Metrics(Font);
  qreal Longest = 0;
  for (const QString& Label : FAxisX->categoriesLabels())
    Longest = std::max(Longest, Metrics.horizontalAdvance(Label));
  const QMargins Margins = FChart->margins();
  const qreal Title =
      FTitle.isEmpty() ? 0 : FTitle.size() * QFontMetricsF(FChart->titleFont()).height() + 3;
  const qreal Room =
      AxisShare * (FChart->size().height() - Margins.top() - Margins.bottom() - Title) - Paddings -
      QFontMetricsF(FAxisX->titleFont()).height();
  if (Longest > Room && Room > 0 && Font.pointSizeF() > 0)
    Font.setPointSizeF(std::max(SmallestPoints, Font.pointSizeF() * Room / Longest));
  if (FAxisX->labelsFont() != Font) FAxisX->setLabelsFont(Font);
}

} // namespace quorvin::chart
