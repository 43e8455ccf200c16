// SPDX-License-Identifier: GPL-3.0-or-later
// The chart panel: its series and their points, zoom, context menu and
// pictures. Its axes, their labels, the colours and the legend are drawn in
// ChartPanelAxes.cpp.
#include "chart/ChartPanel.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QGraphicsSimpleTextItem>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QMenu>
#include <QMouseEvent>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRubberBand>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <stdexcept>

#include "app/Captions.h"
#include "app/Settings.h"
#include "chart/QtBridge.h"
#include "core/OutputFile.h"

namespace quorvin::chart {

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
  // The chart's own legend keeps to one column and drops what does not
  // fit: the panel draws its own, in as many columns as it takes.
  FChart->legend()->setVisible(false);
  FChart->setBackgroundRoundness(0);
  FChart->setMargins(QMargins(4, 4, 4, 4));
  // A changed title or axis leaves no trace of the old one behind.
  setViewportUpdateMode(QGraphicsView::FullViewportUpdate);

  FAxisX->setTitleText(Caption(captions::ChartBottomAxisTitle));
  // Labels are written whole: a date with "..." says nothing.
  FAxisX->setTruncateLabels(false);
  FLabelFont = FAxisX->labelsFont();
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
  connect(FChart, &QGraphicsWidget::geometryChanged, this, [this] { LayoutLegend(); });
  SetBackColour(Qt::white);
  SetTextColour(Qt::black);
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
  RebuildLegend();
}

int TChartPanel::CreateDateTimeLineSeries() {
  TSeriesData Data;
  Data.Line = new QLineSeries(FChart);
  Data.Line->setPen(SeriesPen(int(FSeries.size())));
  FChart->addSeries(Data.Line);
  FSeries.push_back(std::move(Data));
  RebuildLegend();
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

void TChartPanel::ApplyBottomRange() {
  // A new range is a new graph: it shows whole.
  FViewMinX = FMinX;
  FViewMaxX = FMaxX;
  ApplyView();
}

void TChartPanel::ApplyView() {
  RebuildBottomLabels();
  // The drawn lines were reduced for the old range.
  for (TSeriesData& Data : FSeries) Data.Shown = -1;
  ShowAllPoints();
}

void TChartPanel::ZoomTo(double MinMSecs, double MaxMSecs) {
  if (!(FMaxX > FMinX)) return;
  if (MaxMSecs < MinMSecs) std::swap(MinMSecs, MaxMSecs);
  MinMSecs = std::max(MinMSecs, FMinX);
  MaxMSecs = std::min(MaxMSecs, FMaxX);
  // Too narrow a span widens about its middle, within the whole range.
  const double Shortest = std::min(ShortestSpanMSecs, FMaxX - FMinX);
  if (MaxMSecs - MinMSecs < Shortest) {
    const double Middle = (MinMSecs + MaxMSecs) / 2;
    MinMSecs = std::clamp(Middle - Shortest / 2, FMinX, FMaxX - Shortest);
    MaxMSecs = MinMSecs + Shortest;
  }
  FViewMinX = MinMSecs;
  FViewMaxX = MaxMSecs;
  ApplyView();
}

void TChartPanel::ResetZoom() {
  if (!Zoomed()) return;
  FViewMinX = FMinX;
  FViewMaxX = FMaxX;
  ApplyView();
}

QRect TChartPanel::PlotRect() const {
  return mapFromScene(FChart->mapToScene(FChart->plotArea())).boundingRect();
}

double TChartPanel::TimeAt(int X) const {
  const QRectF Plot = FChart->plotArea();
  const QPointF At = FChart->mapFromScene(mapToScene(QPoint(X, 0)));
  const double Fraction = std::clamp((At.x() - Plot.left()) / Plot.width(), 0.0, 1.0);
  return FViewMinX + Fraction * (FViewMaxX - FViewMinX);
}

void TChartPanel::mousePressEvent(QMouseEvent* Event) {
  const QPoint At = Event->position().toPoint();
  if (Event->button() != Qt::LeftButton || !(FMaxX > FMinX) || !PlotRect().contains(At)) {
    QChartView::mousePressEvent(Event);
    return;
  }
  FBandFrom = At.x();
  if (!FBand) FBand = new QRubberBand(QRubberBand::Rectangle, this);
  const QRect Plot = PlotRect();
  FBand->setGeometry(QRect(FBandFrom, Plot.top(), 1, Plot.height()));
  FBand->show();
  Event->accept();
}

namespace {

// The point of Points (in time order) nearest Time; null when there is none.
const QPointF* Nearest(const QList<QPointF>& Points, double Time) {
  if (Points.isEmpty()) return nullptr;
  auto Next = std::lower_bound(Points.cbegin(), Points.cend(), Time,
                               [](const QPointF& P, double X) { return P.x() < X; });
  if (Next == Points.cend() ||
      (Next != Points.cbegin() && Time - (Next - 1)->x() <= Next->x() - Time))
    --Next;
  return &*Next;
}

// A value as the single it was read as, in its shortest exact digits.
QString ValueText(double Value) {
  char Text[32];
  const auto End = std::to_chars(Text, Text + sizeof Text, float(Value)).ptr;
  return QString::fromLatin1(Text, End - Text);
}

} // namespace

QString TChartPanel::ReadOutAt(const QPoint& At) const {
  if (!(FViewMaxX > FViewMinX) || !PlotRect().contains(At)) return QString();
  const double Time = TimeAt(At.x());
  std::vector<const QPointF*> Points;
  const QPointF* Closest = nullptr;
  for (const TSeriesData& Data : FSeries) {
    Points.push_back(Nearest(Data.Points, Time));
    if (Points.back() &&
        (!Closest || std::abs(Points.back()->x() - Time) < std::abs(Closest->x() - Time)))
      Closest = Points.back();
  }
  if (!Closest) return QString();
  QStringList Lines{BottomLabel(Closest->x()) + ZoneText(WholeSecond(Closest->x()))};
  // A tip taller than a screen helps nobody: the first series, and how
  // many more there are.
  constexpr std::size_t MostLines = 16;
  for (std::size_t I = 0; I < FSeries.size(); ++I) {
    if (I == MostLines) {
      Lines.append(Caption(captions::ReadOutMorePrefix) + QString::number(FSeries.size() - I) +
                   Caption(captions::ReadOutMoreSuffix));
      break;
    }
    QString Line = FSeries[I].Line->name() + QStringLiteral(": ");
    if (!Points[I]) {
      Line += u'-';
    } else {
      Line += ValueText(Points[I]->y());
      if (Points[I]->x() != Closest->x())
        Line += QStringLiteral(" at ") + BottomLabel(Points[I]->x());
    }
    Lines.append(Line);
  }
  return Lines.join(u'\n');
}

QString TChartPanel::ZoneText(LogTime Time) const {
  if (!FZone.HasZone()) return QString();
  TZonedTime Placed;
  try {
    Placed = FZone.Place(Time);
  } catch (const std::exception&) {
    // A database that fails leaves the times as they are shown anyway.
    return QString();
  }
  const std::string Offset = OffsetText(Placed.OffsetSecs);
  // A fixed offset is its own name: it is said once.
  return FromEngine(' ' + Offset + (FZone.Name() == Offset ? std::string() : ' ' + FZone.Name()));
}

void TChartPanel::mouseMoveEvent(QMouseEvent* Event) {
  if (FBandFrom < 0) {
    // The read-out follows the mouse over the plot.
    const QString Text = ReadOutAt(Event->position().toPoint());
    if (Text.isEmpty())
      QToolTip::hideText();
    else
      QToolTip::showText(Event->globalPosition().toPoint(), Text, this, PlotRect());
    QChartView::mouseMoveEvent(Event);
    return;
  }
  const QRect Plot = PlotRect();
  const int X = std::clamp(int(Event->position().x()), Plot.left(), Plot.right());
  FBand->setGeometry(QRect(QPoint(std::min(X, FBandFrom), Plot.top()),
                           QPoint(std::max(X, FBandFrom), Plot.bottom())));
  Event->accept();
}

void TChartPanel::mouseReleaseEvent(QMouseEvent* Event) {
  if (FBandFrom < 0 || Event->button() != Qt::LeftButton) {
    QChartView::mouseReleaseEvent(Event);
    return;
  }
  const int From = FBandFrom;
  FBandFrom = -1;
  FBand->hide();
  const QRect Plot = PlotRect();
  const int To = std::clamp(int(Event->position().x()), Plot.left(), Plot.right());
  // A click, or a slip of the hand, is no zoom.
  if (std::abs(To - From) >= 4) ZoomTo(TimeAt(std::min(From, To)), TimeAt(std::max(From, To)));
  Event->accept();
}

void TChartPanel::mouseDoubleClickEvent(QMouseEvent* Event) {
  if (Event->button() == Qt::LeftButton) {
    ResetZoom();
    Event->accept();
    return;
  }
  QChartView::mouseDoubleClickEvent(Event);
}

QMenu* TChartPanel::MakeContextMenu() {
  auto* Menu = new QMenu(this);
  Menu->setObjectName(QStringLiteral("ChartMenu"));
  QAction* Reset = Menu->addAction(Caption(captions::MenuResetZoom));
  Reset->setObjectName(QStringLiteral("mnuResetZoom"));
  Reset->setEnabled(Zoomed());
  connect(Reset, &QAction::triggered, this, [this] { ResetZoom(); });
  if (OnContextMenu) {
    Menu->addSeparator();
    OnContextMenu(*Menu);
  }
  return Menu;
}

void TChartPanel::contextMenuEvent(QContextMenuEvent* Event) {
  std::unique_ptr<QMenu> Menu(MakeContextMenu());
  Menu->exec(Event->globalPos());
  Event->accept();
}

void TChartPanel::PrepareForPicture() {
  // A chart drawn just now, or never shown, may still have its size and
  // layout pending.
  if (!isVisible() && testAttribute(Qt::WA_DontShowOnScreen)) show();
  QCoreApplication::sendPostedEvents();
  FChart->layout()->activate();
  QCoreApplication::sendPostedEvents();
}

QImage TChartPanel::Picture() {
  PrepareForPicture();
  QImage Image(size(), QImage::Format_ARGB32_Premultiplied);
  Image.fill(Qt::white);
  QPainter Painter(&Image);
  Painter.setRenderHint(QPainter::Antialiasing);
  render(&Painter, QRectF(Image.rect()), viewport()->rect());
  Painter.end();
  return Image;
}

bool TChartPanel::ChartBytes(TChartFileType Type, std::string& Data, std::string& Reason) {
  QByteArray Bytes;
  QBuffer Buffer(&Bytes);
  Buffer.open(QIODevice::WriteOnly);
  bool Made;
  if (Type == TChartFileType::Png) {
    Made = Picture().save(&Buffer, "PNG");
  } else {
    PrepareForPicture();
    // One page the size of the chart, so it keeps its proportions.
    QPdfWriter Writer(&Buffer);
    Writer.setResolution(96);
    Writer.setPageSize(QPageSize(QSizeF(size()) * 72.0 / 96.0, QPageSize::Point));
    Writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    Writer.setTitle(FTitle.join(QLatin1Char(' ')));
    QPainter Painter;
    Made = Painter.begin(&Writer);
    if (Made) {
      Painter.setRenderHint(QPainter::Antialiasing);
      render(&Painter, QRectF(Painter.viewport()), viewport()->rect(), Qt::KeepAspectRatio);
      Made = Painter.end();
    }
  }
  Buffer.close();
  if (!Made || Bytes.isEmpty()) {
    Reason = "the picture could not be made";
    return false;
  }
  Data.assign(Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
  return true;
}

bool TChartPanel::WriteChart(const std::string& FileName, TChartFileType Type,
                             std::string& Reason) {
  std::string Bytes;
  if (!ChartBytes(Type, Bytes, Reason)) {
    Reason = FileName + ": " + Reason;
    return false;
  }
  TOutputFile Out;
  if (!Out.OpenReplace(FileName) || !Out.Write(Bytes) || !Out.Commit()) {
    Reason = Out.FailureReason();
    return false;
  }
  return true;
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
  FLegend[std::size_t(Series)].Name->setText(FromEngine(Title));
  LayoutLegend();
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
  if (Zoomed()) {
    // The points in view and one beyond each side, so the line runs on to
    // the edges. Points come in time order.
    auto Before = [](const QPointF& P, double X) { return P.x() < X; };
    auto First = std::lower_bound(Data.Points.cbegin(), Data.Points.cend(), FViewMinX, Before);
    auto Last = std::lower_bound(First, Data.Points.cend(), FViewMaxX, Before);
    if (First != Data.Points.cbegin()) --First;
    if (Last != Data.Points.cend()) ++Last;
    Data.Line->replace(ReducePoints(QList<QPointF>(First, Last), FViewMinX, FViewMaxX, FColumns));
  } else {
    Data.Line->replace(ReducePoints(Data.Points, FMinX, FMaxX, FColumns));
  }
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

} // namespace quorvin::chart
