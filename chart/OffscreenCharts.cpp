// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart/OffscreenCharts.h"

#include <QApplication>

#include <cstdio>

#include "chart/ChartPanel.h"

namespace quorvin::chart {

namespace {

// The tool's standard error carries its own lines only: Qt's notes on a
// platform without a desktop (no runtime folder, no window manager) are
// not the user's concern. Its errors still show.
void QuietNotes(QtMsgType Type, const QMessageLogContext&, const QString& Text) {
  if (Type == QtDebugMsg || Type == QtInfoMsg || Type == QtWarningMsg) return;
  std::fprintf(stderr, "%s\n", Text.toLocal8Bit().constData());
}

} // namespace

TOffscreenCharts::TOffscreenCharts() = default;

TOffscreenCharts::~TOffscreenCharts() {
  if (!FApp) return;
  FApp.reset();
  qInstallMessageHandler(FPreviousHandler);
}

std::unique_ptr<IChartPicture> TOffscreenCharts::Make(int Width, int Height) {
  if (!QCoreApplication::instance()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    FPreviousHandler = qInstallMessageHandler(QuietNotes);
    FApp = std::make_unique<QApplication>(FArgc, FArgv);
  }
  auto Chart = std::make_unique<TChartPanel>();
  // Laid out and drawn as shown, without a window on any screen.
  Chart->setAttribute(Qt::WA_DontShowOnScreen);
  Chart->resize(Width, Height);
  return Chart;
}

} // namespace quorvin::chart
