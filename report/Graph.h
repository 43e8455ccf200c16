// SPDX-License-Identifier: GPL-3.0-or-later
// The graph of the LOGPLOT page: one date-time line series per checked
// sensor, filled by the data pass of the statistics report, on a chart with
// a title line, a time axis over the chosen dates and a left axis scaled by
// the user's Maximum and Minimum.
#pragma once

#include <string>

#include "core/ChartService.h"
#include "core/DateTimeFormat.h"
#include "report/SelectedLog.h"
#include "report/Statistics.h"

namespace quorvin {

// The left-axis limits: the texts of edtMax and edtMin, and the values kept
// from the last text that was a number. They last as long as the window.
struct TGraphLimits {
  std::string edtMax = std::to_string(DefaultLeftAxisMaximum);
  std::string edtMin = std::to_string(DefaultLeftAxisMinimum);
  double Maximum = DefaultLeftAxisMaximum;
  double Minimum = DefaultLeftAxisMinimum;
  // Takes each text that is a number as its value; another text keeps the
  // value of the last one that was.
  void ReadTexts();
  bool InOrder() const { return Minimum < Maximum; }
};

// The most series a graph draws, one per checked sensor in log order. A
// chart component spends on each series it is given time that grows with
// the series it holds already, and no legend lists more.
constexpr int MaxGraphSeries = 256;

class TGraph final : public IRowConsumer {
public:
  // In mode Graph Draw adds the rows of the data pass to the series; with
  // any other mode Draw sets the chart up and adds no points.
  TGraph(IChart& Chart, TSelectedLog& Selection, const TDateTimeFormat& Format,
         TGraphLimits& Limits, TCommandMode CommandMode, IBusyCursor* Busy = nullptr,
         IMessageDialog* Dialog = nullptr);

  void RemoveAllSeries() { FChart.RemoveAllSeries(); }
  // One series per checked sensor, in log order: series j is the j-th; for
  // the first MaxGraphSeries checked sensors.
  void CreateSeries();
  int SeriesCount() const;
  // False when the user cancelled the data pass; the chart is set up all the
  // same, with the points read so far.
  bool Draw();
  // Adds a point for every recorded value. A point the chart refuses drops
  // the rest of the batch (false); the drawing goes on, and at its end a
  // dialog says, once, why points are missing.
  bool AddRows(const TPendingRows& Rows);

  // The loaded log's data title ("R630/R600 DATA FROM: ...", ...).
  std::string TitleLine() const;

  void BeforeStep(LogTime Time, TPendingRows& Rows) override;
  void AtEnd(TPendingRows& Rows) override;

private:
  IChart& FChart;
  TSelectedLog& FSel;
  const TDateTimeFormat& FFormat;
  TGraphLimits& FLimits;
  TCommandMode FCommandMode;
  IBusyCursor* FBusy;
  IMessageDialog* FDialog;
  // Why the chart refused a point, once it has.
  std::string FRefusal;
};

} // namespace quorvin
