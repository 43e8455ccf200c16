// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin: the window program. A file named on the command line (as the
// desktop entry passes it) is opened as if dropped on the window.
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QTimer>

#include <cstdio>

#include "chart/QtBridge.h"
#include "core/Collect.h"
#include "core/OutputFile.h"
#include "core/ProcessLocale.h"
#include "gui/Icons.h"
#include "gui/MainForm.h"
#include "gui/ProcessMemory.h"

int main(int argc, char** argv) {
  quorvin::gui::SetUpProcessMemory();
  QApplication App(argc, argv);
  // process locale: after Qt has set it from the environment, numbers go
  // back to "." whatever the desktop's language.
  quorvin::SetUpProcessLocale();
  // A save in progress leaves no temporary file behind when the session ends.
  quorvin::SetUpProcessSignals();
  QApplication::setApplicationName(QStringLiteral("Quorvin"));
  QApplication::setApplicationDisplayName(QStringLiteral("Quorvin"));
  QApplication::setApplicationVersion(QStringLiteral(QUORVIN_VERSION));
  QApplication::setWindowIcon(quorvin::gui::ProgramIcon());
  // The program's own font where the desktop has it; the desktop's otherwise.
  if (QFontDatabase::families().contains(QStringLiteral("Arial"))) {
    QFont Font(QStringLiteral("Arial"));
    Font.setPointSize(8);
    QApplication::setFont(Font);
  }
  quorvin::SetRunErrorHandler([](int RunError) {
    std::fprintf(stderr, "Runtime error %d\n", RunError);
    std::fflush(stderr);
  });

  quorvin::gui::TMainForm Window;
  const std::string StartDir = quorvin::chart::ToEngine(QDir::currentPath() + u'/');
  const std::string ProgramDir =
      quorvin::chart::ToEngine(QCoreApplication::applicationDirPath() + u'/');
  Window.FormCreate(StartDir, ProgramDir);
  Window.show();

  const QStringList Files = QCoreApplication::arguments().mid(1);
  QTimer::singleShot(0, &Window, [&Window, Files] { Window.OpenStartFiles(Files); });
  return App.exec();
}
