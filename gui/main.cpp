// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin: the window program. A file named on the command line (as the
// desktop entry passes it) is opened as if dropped on the window.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFontDatabase>
#include <QTimer>

#include <cstdio>
#include <cstring>

#include "chart/QtBridge.h"
#include "core/Collect.h"
#include "core/OutputFile.h"
#include "core/ProcessLocale.h"
#include "gui/Icons.h"
#include "gui/MainForm.h"
#include "gui/ProcessMemory.h"

namespace {

// The options the program knows. Qt's own (-platform, -style, ...) are
// taken by the application object and never reach the list of files.
void AddOptions(QCommandLineParser& Parser) {
  Parser.setApplicationDescription(
      QStringLiteral("Converts, shows and charts the files of environmental data loggers."));
  Parser.addHelpOption();
  Parser.addVersionOption();
  Parser.addPositionalArgument(
      QStringLiteral("files"),
      QStringLiteral("A log, CSV, DDR or RAM card file to open on its page."),
      QStringLiteral("[files...]"));
}

// What --help and --version print: asked for before any window, so they
// work without a display too.
bool AnswerInformationOptions(int argc, char** argv) {
  QStringList Arguments;
  for (int I = 0; I < argc; ++I) {
    const QString Argument = QString::fromLocal8Bit(argv[I]);
    // Whatever follows "--" is a file name, even "--help".
    if (Argument == QStringLiteral("--")) break;
    Arguments.append(Argument);
  }
  const bool Help = Arguments.contains(QStringLiteral("--help")) ||
                    Arguments.contains(QStringLiteral("-h")) ||
                    Arguments.contains(QStringLiteral("-?"));
  const bool Version =
      Arguments.contains(QStringLiteral("--version")) || Arguments.contains(QStringLiteral("-v"));
  if (!Help && !Version) return false;
  QCoreApplication Information(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("quorvin"));
  QCoreApplication::setApplicationVersion(QStringLiteral(QUORVIN_VERSION));
  QCommandLineParser Parser;
  AddOptions(Parser);
  const QByteArray Text =
      (Help ? Parser.helpText()
            : QStringLiteral("quorvin ") + QStringLiteral(QUORVIN_VERSION) + u'\n')
          .toLocal8Bit();
  std::fwrite(Text.constData(), 1, std::size_t(Text.size()), stdout);
  std::fflush(stdout);
  return true;
}

// Qt would abort when it finds no display to open the window on; the
// program says why and ends instead.
bool DisplayMissing(int argc, char** argv) {
  QByteArray Platform = qgetenv("QT_QPA_PLATFORM");
  for (int I = 1; I + 1 < argc; ++I)
    if (std::strcmp(argv[I], "-platform") == 0 || std::strcmp(argv[I], "--platform") == 0)
      Platform = argv[I + 1];
  const bool X11 = !qEnvironmentVariableIsEmpty("DISPLAY");
  const bool Wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  if (Platform.isEmpty()) return !X11 && !Wayland;
  if (Platform.startsWith("xcb")) return !X11;
  if (Platform.startsWith("wayland")) return !Wayland;
  return false;
}

} // namespace

int main(int argc, char** argv) {
  quorvin::gui::SetUpProcessMemory();
  if (AnswerInformationOptions(argc, argv)) return 0;
  if (DisplayMissing(argc, argv)) {
    std::fputs("quorvin: no display to show the window on (DISPLAY and WAYLAND_DISPLAY are "
               "not set); quorvin-cli converts files without one.\n",
               stderr);
    return 1;
  }
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

  QCommandLineParser Parser;
  AddOptions(Parser);
  // An unknown option is no file to open; the files are opened all the same.
  if (!Parser.parse(QCoreApplication::arguments()))
    std::fprintf(stderr, "quorvin: %s\n", qPrintable(Parser.errorText()));
  const QStringList Files = Parser.positionalArguments();
  QTimer::singleShot(0, &Window, [&Window, Files] { Window.OpenStartFiles(Files); });
  return App.exec();
}
