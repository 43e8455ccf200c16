// SPDX-License-Identifier: GPL-3.0-or-later
// The batch tool's charts: the window's own chart, drawn off screen. The
// first chart starts Qt on the offscreen platform (unless QT_QPA_PLATFORM
// names another), so no display is needed. Plain C++ to its users.
#pragma once

#include <memory>

#include "app/ChartPicture.h"

class QApplication;

namespace quorvin::gui {

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
  std::unique_ptr<QApplication> FApp;
};

} // namespace quorvin::gui
