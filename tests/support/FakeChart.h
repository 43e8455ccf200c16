// SPDX-License-Identifier: GPL-3.0-or-later
// A recording fake of the chart: keeps the state a real chart would show
// (title lines, axis settings, series with their points) and the order of
// the calls, so a test can check both what is drawn and how it was set up.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/ChartService.h"

namespace quorvin::test {

struct TFakeSeries {
  std::string Title;
  bool DateTimeX = false;
  bool Attached = false;
  bool Active = false;
  std::vector<std::pair<TDateTime, double>> Points;
};

class TFakeChart : public IChart {
public:
  std::vector<TFakeSeries> Series;
  std::vector<std::string> Title;
  bool BottomAutomatic = true;
  TDateTime BottomMaximum = 0, BottomMinimum = 0;
  std::string BottomFormat;
  bool BottomOneLine = false;
  double LeftMaximum = 300, LeftMinimum = 0;
  int Repaints = 0;
  // Every call by name, in order (points are not listed, they are many).
  std::vector<std::string> Calls;
  // When >= 0: the 0-based AddPoint call that throws (once), as a chart
  // refusing a point does.
  int RefuseAttempt = -1;
  int Attempts = 0;

  void RemoveAllSeries() override {
    Calls.push_back("RemoveAllSeries");
    Series.clear();
  }
  int CreateDateTimeLineSeries() override {
    Calls.push_back("CreateDateTimeLineSeries");
    Series.push_back(TFakeSeries{});
    Series.back().DateTimeX = true;
    return static_cast<int>(Series.size()) - 1;
  }
  void ClearTitle() override {
    Calls.push_back("ClearTitle");
    Title.clear();
  }
  void AddTitleLine(const std::string& Line) override {
    Calls.push_back("AddTitleLine");
    Title.push_back(Line);
  }
  void BottomAxisAutomaticOff() override {
    Calls.push_back("BottomAxisAutomaticOff");
    BottomAutomatic = false;
  }
  void SetBottomAxisMaximum(TDateTime Value) override {
    Calls.push_back("SetBottomAxisMaximum");
    BottomMaximum = Value;
  }
  void SetBottomAxisMinimum(TDateTime Value) override {
    Calls.push_back("SetBottomAxisMinimum");
    BottomMinimum = Value;
  }
  void SetBottomAxisDateTimeFormat(const std::string& Pattern) override {
    Calls.push_back("SetBottomAxisDateTimeFormat");
    BottomFormat = Pattern;
  }
  void BottomAxisLabelsOnOneLine() override {
    Calls.push_back("BottomAxisLabelsOnOneLine");
    BottomOneLine = true;
  }
  void SetLeftAxisMaximum(double Value) override {
    Calls.push_back("SetLeftAxisMaximum");
    LeftMaximum = Value;
  }
  void SetLeftAxisMinimum(double Value) override {
    Calls.push_back("SetLeftAxisMinimum");
    LeftMinimum = Value;
  }
  void AddPoint(int S, TDateTime X, double Y) override {
    if (Attempts++ == RefuseAttempt) throw std::runtime_error("chart refuses the point");
    At(S).Points.emplace_back(X, Y);
  }
  void SetSeriesTitle(int S, const std::string& T) override {
    Calls.push_back("SetSeriesTitle " + std::to_string(S));
    At(S).Title = T;
  }
  void AttachSeriesToAxes(int S) override {
    Calls.push_back("AttachSeriesToAxes " + std::to_string(S));
    At(S).Attached = true;
  }
  void ActivateSeries(int S) override {
    Calls.push_back("ActivateSeries " + std::to_string(S));
    At(S).Active = true;
  }
  void Repaint() override {
    Calls.push_back("Repaint");
    ++Repaints;
  }

  int PointCount() const {
    int N = 0;
    for (const auto& S : Series) N += static_cast<int>(S.Points.size());
    return N;
  }

private:
  // A series the graph never created is a fault of the caller: fail loudly.
  TFakeSeries& At(int S) {
    if (S < 0 || S >= static_cast<int>(Series.size()))
      throw std::logic_error("no series " + std::to_string(S));
    return Series[static_cast<std::size_t>(S)];
  }
};

} // namespace quorvin::test
