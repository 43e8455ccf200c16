// SPDX-License-Identifier: GPL-3.0-or-later
// The batch tool's charts: the window's own chart, drawn off screen. The
// first chart starts Qt on the offscreen platform (unless QT_QPA_PLATFORM
// names another), so no display is needed. Plain C++ to its users.
#pragma once

#include <QtGlobal>

#include <memory>

#include "app/ChartPicture.h"

class QApplication;

namespace quorvin::chart {

class TOffscreenCharts {
public:
  TOffscreenCharts();
  // Ends Qt, when it was started here: after every chart made is gone.
  ~TOffscreenCharts();
  TOffscreenCharts(const TOffscreenCharts&) = delete;
  TOffscreenCharts& operator=(const TOffscreenCharts&) = delete;

  std::unique_ptr<IChartPicture> Make(int Width, int Height);
  TChartPictureFactory Factory() {
    return [this](int Width, int Height) { return Make(Width, Height); };
  }

private:
  // Qt keeps the arguments it was started with for its whole life.
  int FArgc = 1;
  char FProgramName[12] = "quorvin-cli";
  char* FArgv[2] = {FProgramName, nullptr};
  // Qt's message handler before the one installed while Qt started here runs.
  QtMessageHandler FPreviousHandler = nullptr;
  std::unique_ptr<QApplication> FApp;
};

} // namespace quorvin::chart
