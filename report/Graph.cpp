// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/Graph.h"

#include <algorithm>
#include <exception>

#include "core/Messages.h"
#include "report/Formatting.h"
#include "report/Titles.h"

namespace quorvin {

namespace {

// The graph shows, but not every point: the chart refused some.
constexpr std::string_view MsgPointsNotDrawn = "Error! Some points could not be drawn: ";

} // namespace

TGraph::TGraph(IChart& Chart, TSelectedLog& Selection, const TDateTimeFormat& Format,
               TGraphLimits& Limits, TCommandMode CommandMode, IBusyCursor* Busy,
               IMessageDialog* Dialog)
    : FChart(Chart), FSel(Selection), FFormat(Format), FLimits(Limits), FCommandMode(CommandMode),
      FBusy(Busy), FDialog(Dialog) {}

void TGraphLimits::ReadTexts() {
  double Number = 0;
  if (StrToFloatOK(edtMax, Number)) Maximum = Number;
  if (StrToFloatOK(edtMin, Number)) Minimum = Number;
}

int TGraph::SeriesCount() const {
  int Checked = 0;
  for (const TSensorChoice& C : FSel.SensorChoices) Checked += C.Checked;
  return std::min(Checked, MaxGraphSeries);
}

void TGraph::CreateSeries() {
  for (int j = SeriesCount(); j > 0; --j) FChart.CreateDateTimeLineSeries();
}

std::string TGraph::TitleLine() const { return DataTitleLine(FSel, FFormat); }

bool TGraph::Draw() {
  FChart.ClearTitle();
  FChart.BottomAxisAutomaticOff();
  FChart.SetBottomAxisMaximum(FSel.EndDate);
  FChart.SetBottomAxisMinimum(FSel.StartDate);
  FChart.SetBottomAxisDateTimeFormat(FFormat.DatePattern + " " + FFormat.TimePattern);
  FChart.BottomAxisLabelsOnOneLine();

  FLimits.ReadTexts();
  FChart.SetLeftAxisMaximum(FLimits.Maximum);
  FChart.SetLeftAxisMinimum(FLimits.Minimum);

  FRefusal.clear();
  const bool Complete = RunDataPass(FSel, FCommandMode == cmGraph ? this : nullptr, FBusy);
  if (!FRefusal.empty() && FDialog)
    FDialog->Show(TMsgKind::Error, std::string(MsgPointsNotDrawn) + FRefusal, TMsgButtons::OK);

  FChart.AddTitleLine(TitleLine());
  const int Series = SeriesCount();
  // Sensors left out are named in the picture itself, wherever it is shown.
  const auto Checked = std::count_if(FSel.SensorChoices.begin(), FSel.SensorChoices.end(),
                                     [](const TSensorChoice& C) { return C.Checked; });
  if (Series < Checked)
    FChart.AddTitleLine("The graph shows the first " + std::to_string(Series) + " of " +
                        std::to_string(Checked) + " checked sensors.");
  int j = 0;
  for (const TSensorChoice& C : FSel.SensorChoices) {
    if (!C.Checked) continue;
    if (j == Series) break;
    FChart.SetSeriesTitle(j, C.ShortName);
    FChart.AttachSeriesToAxes(j);
    FChart.ActivateSeries(j);
    ++j;
  }
  FChart.Repaint();
  return Complete;
}

bool TGraph::AddRows(const TPendingRows& Rows) {
  const int Series = std::min(Rows.Width(), MaxGraphSeries);
  try {
    for (int k = 0; k < Rows.Count(); ++k) {
      const float* Row = Rows.Row(k);
      const TDateTime X = SecsToDateTime(Rows.Time(k));
      for (int j = 0; j < Series; ++j)
        if (!IsNonRecorded(Row[j])) FChart.AddPoint(j, X, static_cast<double>(Row[j]));
    }
  } catch (const std::exception& E) {
    if (FRefusal.empty()) FRefusal = ExceptionReason(E);
    return false;
  }
  return true;
}

void TGraph::BeforeStep(LogTime, TPendingRows& Rows) {
  if (Rows.Count() > MaxPendingRows) {
    AddRows(Rows);
    Rows.Clear();
  }
}

void TGraph::AtEnd(TPendingRows& Rows) {
  AddRows(Rows);
  Rows.Clear();
}

} // namespace quorvin
