// SPDX-License-Identifier: GPL-3.0-or-later
// A chart drawn off screen and written as a picture: the batch tool's graph.
// The window's own chart does the drawing, so axis titles, legend and scale
// are those of the window; this side of it is plain C++.
#pragma once

#include <functional>
#include <memory>

#include "app/Application.h"
#include "core/ChartService.h"
#include "core/DateTimeFormat.h"

namespace quorvin {

class IChartPicture : public IChart, public IChartWriter {
public:
  // The program's date-time format, whose separators the bottom axis writes.
  virtual void UseFormat(const TDateTimeFormat& Format) = 0;
  // The chart colours of the LOGPLOT page.
  virtual void ShowColours(const TChartColours& Colours) = 0;
};

// Makes a chart of Width x Height pixels.
using TChartPictureFactory = std::function<std::unique_ptr<IChartPicture>(int Width, int Height)>;

} // namespace quorvin
