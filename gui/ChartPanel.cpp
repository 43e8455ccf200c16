#include "gui/ChartPanel.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLineSeries>
#include <QSet>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "app/Captions.h"
#include "gui/QtBridge.h"

namespace quorvin::gui {

namespace {

// About one bottom-axis label per this many pixels of the plot's width.
constexpr int LabelSpacing = 48;
constexpr int MaxLabels = 40;

} // namespace

QList<QPointF> ReducePoints(const QList<QPointF>& Points, double MinX, double MaxX, int Columns) {
  if (Columns <= 0 || !(MaxX > MinX) || Points.size() <= 4 * qsizetype(Columns)) return Points;
  QList<QPointF> Out;
  Out.reserve(4 * qsizetype(Columns) + 16);
  const double Scale = Columns / (MaxX - MinX);
  qsizetype First = -1, Low = -1, High = -1, Last = -1;
  qint64 Column = -1;
  auto Emit = [&] {
    if (First < 0) return;
    qsizetype Picks[4] = {First, Low, High, Last};
    std::sort(Picks, Picks + 4);
    qsizetype Previous = -1;
    for (qsizetype P : Picks)
      if (P != Previous) {
        Out.append(Points[P]);
        Previous = P;
      }
    First = -1;
  };
  for (qsizetype I = 0; I < Points.size(); ++I) {
    const QPointF& P = Points[I];
    if (P.x() < MinX || P.x() > MaxX) {
      Emit();
      Column = -1;
      Out.append(P);
      continue;
    }
    const qint64 C = std::min<qint64>(qint64((P.x() - MinX) * Scale), Columns - 1);
    if (C != Column) {
      Emit();
      Column = C;
      First = Low = High = Last = I;
      continue;
    }
    Last = I;
    if (P.y() < Points[Low].y()) Low = I;
    if (P.y() > Points[High].y()) High = I;
  }
  Emit();
  return Out;
}

TChartPanel::TChartPanel(QWidget* Parent)
    // Made with its chart: a chart view made without one makes its own,
    // which a later setChart would leave behind.
    : QChartView(new QChart, Parent), FChart(chart()), FAxisX(new QCategoryAxis),
      FAxisY(new QValueAxis) {
  setObjectName(QStringLiteral("ChartLog"));
  setRenderHint(QPainter::Antialiasing, false);
  FChart->setAnimationOptions(QChart::NoAnimation);
  FChart->legend()->setVisible(true);
  FChart->legend()->setAlignment(Qt::AlignRight);
  FChart->setBackgroundRoundness(0);
  FChart->setMargins(QMargins(4, 4, 4, 4));

  FAxisX->setTitleText(Caption(captions::ChartBottomAxisTitle));
  FAxisX->setLabelsAngle(-90);
  FAxisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  FAxisX->setRange(0, 1);
  FChart->addAxis(FAxisX, Qt::AlignBottom);

  FAxisY->setTitleText(Caption(captions::ChartLeftAxisTitle));
  FAxisY->setRange(FLeftMin, FLeftMax);
  FAxisY->setLabelFormat(QStringLiteral("%g"));
  FChart->addAxis(FAxisY, Qt::AlignLeft);

  // The chart's own colour reaches the edges of the output area.
  setFrameShape(QFrame::NoFrame);
  FChart->layout()->setContentsMargins(0, 0, 0, 0);
  connect(FChart, &QChart::plotAreaChanged, this, [this] { PlotAreaChanged(); });
  SetBackColour(Qt::white);
  SetTextColour(Qt::black);
}

void TChartPanel::SetBackColour(const QColor& Colour) {
  FBackColour = Colour;
  // The whole chart takes the colour, so a text colour chosen to stand out
  // from it stays readable around the plot too.
  FChart->setBackgroundBrush(QBrush(Colour, Qt::SolidPattern));
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
  FChart->legend()->setLabelColor(FTextColour);
  for (QAbstractAxis* Axis :
       {static_cast<QAbstractAxis*>(FAxisX), static_cast<QAbstractAxis*>(FAxisY)}) {
    Axis->setTitleBrush(Brush);
    Axis->setLabelsBrush(Brush);
  }
}

TChartPanel::TSeriesData& TChartPanel::At(int Series) {
  if (Series < 0 || Series >= int(FSeries.size())) throw std::out_of_range("no such series");
  return FSeries[std::size_t(Series)];
}

QLineSeries* TChartPanel::Series(int Index) const {
  return Index >= 0 && Index < int(FSeries.size()) ? FSeries[std::size_t(Index)].Line : nullptr;
}

const QList<QPointF>& TChartPanel::SeriesPoints(int Index) const {
  static const QList<QPointF> None;
  return Index >= 0 && Index < int(FSeries.size()) ? FSeries[std::size_t(Index)].Points : None;
}

void TChartPanel::RemoveAllSeries() {
  for (TSeriesData& Data : FSeries) Data.Line->setVisible(false);
  FChart->removeAllSeries();
  FSeries.clear();
}

int TChartPanel::CreateDateTimeLineSeries() {
  TSeriesData Data;
  Data.Line = new QLineSeries(FChart);
  FChart->addSeries(Data.Line);
  FSeries.push_back(std::move(Data));
  return int(FSeries.size()) - 1;
}

void TChartPanel::ClearTitle() {
  FTitle.clear();
  FChart->setTitle(QString());
}

void TChartPanel::AddTitleLine(const std::string& Line) {
  FTitle.append(FromEngine(Line));
  QStringList Escaped;
  for (const QString& L : FTitle) Escaped.append(L.toHtmlEscaped());
  FChart->setTitle(Escaped.join(QStringLiteral("<br>")));
}

void TChartPanel::BottomAxisAutomaticOff() {
  // The bottom axis never scales itself here: its range is always the one set.
}

void TChartPanel::SetBottomAxisMaximum(TDateTime Value) {
  FMaxX = double(DateTimeToMSecs(Value));
  ApplyBottomRange();
}

void TChartPanel::SetBottomAxisMinimum(TDateTime Value) {
  FMinX = double(DateTimeToMSecs(Value));
  ApplyBottomRange();
}

void TChartPanel::SetBottomAxisDateTimeFormat(const std::string& Pattern) {
  FPattern = Pattern;
  const char DateSep = FFormat ? FFormat->DateSeparator : '/';
  const char TimeSep = FFormat ? FFormat->TimeSeparator : ':';
  const std::size_t Blank = Pattern.find(' ');
  // The date half writes "/" as the date separator and the time half ":" as
  // the time separator, as every other output does.
  if (Blank == std::string::npos)
    FQtFormat = QtDateTimeFormat(Pattern, DateSep, TimeSep);
  else
    FQtFormat = QtDateTimeFormat(Pattern.substr(0, Blank), DateSep, TimeSep) +
                QStringLiteral("' '") +
                QtDateTimeFormat(Pattern.substr(Blank + 1), DateSep, TimeSep);
  RebuildBottomLabels();
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
  // leaving the axis at its previous range.
  FAxisY->setRange(std::min(FLeftMin, FLeftMax), std::max(FLeftMin, FLeftMax));
}

void TChartPanel::ApplyBottomRange() {
  RebuildBottomLabels();
  // The drawn lines were reduced for the old range.
  for (TSeriesData& Data : FSeries) Data.Shown = -1;
  ShowAllPoints();
}

void TChartPanel::AddPoint(int Series, TDateTime X, double Y) {
  TSeriesData& Data = At(Series);
  const QPointF P(double(DateTimeToMSecs(X)), Y);
  if (!(FMaxX > FMinX) || P.x() < FMinX || P.x() > FMaxX) {
    EndColumn(Data);
    Data.Points.append(P);
    return;
  }
  const qint64 Column =
      std::min<qint64>(qint64((P.x() - FMinX) * (KeptColumns / (FMaxX - FMinX))), KeptColumns - 1);
  if (Column != Data.Column) {
    EndColumn(Data);
    Data.Column = Column;
    Data.First = Data.Low = Data.High = Data.Last = P;
    return;
  }
  Data.Last = P;
  if (P.y() < Data.Low.y()) Data.Low = P;
  if (P.y() > Data.High.y()) Data.High = P;
}

void TChartPanel::EndColumn(TSeriesData& Data) {
  if (Data.Column < 0) return;
  // The four in the order they came (by time), each once.
  QPointF Picks[4] = {Data.First, Data.Low, Data.High, Data.Last};
  std::sort(Picks, Picks + 4, [](const QPointF& A, const QPointF& B) { return A.x() < B.x(); });
  for (int I = 0; I < 4; ++I)
    if (I == 0 || Picks[I].x() != Picks[I - 1].x()) Data.Points.append(Picks[I]);
  Data.Column = -1;
}

void TChartPanel::SetSeriesTitle(int Series, const std::string& Title) {
  At(Series).Line->setName(FromEngine(Title));
}

void TChartPanel::AttachSeriesToAxes(int Series) {
  TSeriesData& Data = At(Series);
  if (!Data.Attached) {
    Data.Line->attachAxis(FAxisX);
    Data.Line->attachAxis(FAxisY);
    Data.Attached = true;
  }
  ShowPoints(Data);
}

void TChartPanel::ActivateSeries(int Series) { At(Series).Line->setVisible(true); }

void TChartPanel::Repaint() {
  ShowAllPoints();
  viewport()->update();
}

int TChartPanel::PlotColumns() const {
  const double Width = FChart->plotArea().width();
  const double Ratio = devicePixelRatioF();
  return std::max(64, int(std::ceil(Width * Ratio)));
}

void TChartPanel::ShowPoints(TSeriesData& Data) {
  EndColumn(Data);
  FColumns = PlotColumns();
  if (Data.Shown == Data.Points.size() && Data.Columns == FColumns) return;
  // One replacement of the whole list: adding points one at a time would
  // make the chart redo its line for each.
  Data.Line->replace(ReducePoints(Data.Points, FMinX, FMaxX, FColumns));
  Data.Shown = Data.Points.size();
  Data.Columns = FColumns;
}

void TChartPanel::ShowAllPoints() {
  for (TSeriesData& Data : FSeries)
    if (Data.Attached) ShowPoints(Data);
}

void TChartPanel::PlotAreaChanged() {
  const int Columns = PlotColumns();
  if (Columns == FColumns) return;
  FColumns = Columns;
  RebuildBottomLabels();
  ShowAllPoints();
}

QStringList TChartPanel::BottomLabels() const { return FAxisX->categoriesLabels(); }

void TChartPanel::RebuildBottomLabels() {
  for (const QString& Label : FAxisX->categoriesLabels()) FAxisX->remove(Label);
  if (!(FMaxX > FMinX)) {
    FAxisX->setRange(0, 1);
    return;
  }
  const int Width = std::max(1, int(FChart->plotArea().width()));
  const int Steps = std::clamp(Width / LabelSpacing, 1, MaxLabels);
  // The first category ends at the minimum, so the minimum has its label.
  FAxisX->setStartValue(FMinX - 1.0);
  QSet<QString> Used;
  for (int I = 0; I <= Steps; ++I) {
    const double Value = FMinX + (FMaxX - FMinX) * I / Steps;
    const QString Label = FormatUtc(std::llround(Value), FQtFormat);
    if (Used.contains(Label)) continue;
    Used.insert(Label);
    FAxisX->append(Label, Value);
  }
  FAxisX->setRange(FMinX, FMaxX);
}

} // namespace quorvin::gui
