// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/OffscreenCharts.h"

#include <QApplication>

#include <cstdio>

#include "gui/ChartPanel.h"

namespace quorvin::gui {

namespace {

// Qt keeps the arguments it was started with for its whole life.
int Argc = 1;
char ProgramName[] = "quorvin-cli";
char* Argv[] = {ProgramName, nullptr};
// Qt's message handler before QuietNotes, while Qt started here runs.
QtMessageHandler PreviousHandler = nullptr;
bool HandlerInstalled = false;

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
  qInstallMessageHandler(PreviousHandler);
  HandlerInstalled = false;
}

std::unique_ptr<IChartPicture> TOffscreenCharts::Make(int Width, int Height) {
  if (!QCoreApplication::instance()) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!HandlerInstalled) PreviousHandler = qInstallMessageHandler(QuietNotes);
    HandlerInstalled = true;
    FApp = std::make_unique<QApplication>(Argc, Argv);
  }
  auto Chart = std::make_unique<TChartPanel>();
  // Laid out and drawn as shown, without a window on any screen.
  Chart->setAttribute(Qt::WA_DontShowOnScreen);
  Chart->resize(Width, Height);
  return Chart;
}

} // namespace quorvin::gui
