// SPDX-License-Identifier: GPL-3.0-or-later
// The chart of the LOGPLOT page as the graph sees it: a date-time line chart
// with title lines, a bottom (time) and a left (value) axis and line series.
// The window implements it with its chart widget, the tests with a
// recording fake; nothing else of the chart is used by the engines.
//
// Series are addressed by their position in the chart's series list, in the
// order they were created (0 = the first created after RemoveAllSeries).
#pragma once

#include <string>

#include "core/ClockZone.h"
#include "core/MiscUtil.h"

namespace quorvin {

// The left axis of a chart before any limits are given (the LOGPLOT page's
// Maximum and Minimum as the program starts).
inline constexpr int DefaultLeftAxisMaximum = 300;
inline constexpr int DefaultLeftAxisMinimum = 0;

class IChart {
public:
  virtual ~IChart() = default;

  // Makes every series inactive, destroys it, and empties the series list.
  virtual void RemoveAllSeries() = 0;
  // Adds a line series whose x values are date-time values; answers its
  // position in the series list.
  virtual int CreateDateTimeLineSeries() = 0;

  virtual void ClearTitle() = 0;
  virtual void AddTitleLine(const std::string& Line) = 0;

  virtual void BottomAxisAutomaticOff() = 0;
  virtual void SetBottomAxisMaximum(TDateTime Value) = 0;
  virtual void SetBottomAxisMinimum(TDateTime Value) = 0;
  // Pattern in the program's own date-time pattern letters ("MM/DD/YY HH:MM:SS").
  virtual void SetBottomAxisDateTimeFormat(const std::string& Pattern) = 0;
  virtual void BottomAxisLabelsOnOneLine() = 0;

  virtual void SetLeftAxisMaximum(double Value) = 0;
  virtual void SetLeftAxisMinimum(double Value) = 0;

  // Adds the point (X, Y) to series Series, with an empty label and the
  // series' own colour. May throw std::exception when the chart refuses it.
  virtual void AddPoint(int Series, TDateTime X, double Y) = 0;
  virtual void SetSeriesTitle(int Series, const std::string& Title) = 0;
  // Attaches the series to the left and the bottom axis.
  virtual void AttachSeriesToAxes(int Series) = 0;
  virtual void ActivateSeries(int Series) = 0;

  virtual void Repaint() = 0;

  // The zone the logger's clock kept (none: times as recorded), for a chart
  // that names it beside the times it reads out; others have no use for it.
  virtual void UseZone(const TClockZone& /*Zone*/) {}
};

// The picture files a chart can be written to.
enum class TChartFileType { Png, Pdf };

// A chart that can be written to a file as it shows now: the window's chart,
// or one drawn off screen for the batch tool.
class IChartWriter {
public:
  virtual ~IChartWriter() = default;
  // Writes FileName, replacing an existing file only once the new one is
  // complete. False with Reason (the system's words, with the path) when it
  // could not be written.
  virtual bool WriteChart(const std::string& FileName, TChartFileType Type,
                          std::string& Reason) = 0;
  // The bytes WriteChart would write, for a caller that sends them elsewhere
  // (the batch tool's standard output). False with Reason when they could
  // not be made. Unless a chart knows better, they are written to a
  // temporary file and read back.
  virtual bool ChartBytes(TChartFileType Type, std::string& Bytes, std::string& Reason);
};

// A chart that draws nothing, for work without a screen.
class TNoChart : public IChart {
public:
  void RemoveAllSeries() override { FSeries = 0; }
  int CreateDateTimeLineSeries() override { return FSeries++; }
  void ClearTitle() override {}
  void AddTitleLine(const std::string&) override {}
  void BottomAxisAutomaticOff() override {}
  void SetBottomAxisMaximum(TDateTime) override {}
  void SetBottomAxisMinimum(TDateTime) override {}
  void SetBottomAxisDateTimeFormat(const std::string&) override {}
  void BottomAxisLabelsOnOneLine() override {}
  void SetLeftAxisMaximum(double) override {}
  void SetLeftAxisMinimum(double) override {}
  void AddPoint(int, TDateTime, double) override {}
  void SetSeriesTitle(int, const std::string&) override {}
  void AttachSeriesToAxes(int) override {}
  void ActivateSeries(int) override {}
  void Repaint() override {}

private:
  int FSeries = 0;
};

} // namespace quorvin
