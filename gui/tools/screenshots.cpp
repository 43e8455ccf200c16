// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-screenshots DIR EXAMPLES: starts the real window, loads the
// samples of EXAMPLES and saves a picture of each page with its main view
// on, at the design size and maximised, then the about box and the help
// window, into DIR. For people to look at; nothing is compared. Messages
// that would wait for a person go to standard error instead.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

#include "chart/QtBridge.h"
#include "gui/AboutForm.h"
#include "gui/HelpForm.h"
#include "gui/MainForm.h"

namespace {

using namespace quorvin;
using namespace quorvin::gui;
using namespace quorvin::chart;

class TQuietDialog : public IMessageDialog {
public:
  using IMessageDialog::Show;
  TMsgResult Show(TMsgKind, const std::string& Text, TMsgButtons Buttons,
                  const std::string&) override {
    std::fprintf(stderr, "dialog: %s\n", Text.c_str());
    return Buttons == TMsgButtons::OK ? TMsgResult::OK : TMsgResult::No;
  }
};

void Settle(int Milliseconds = 300) {
  QElapsedTimer Since;
  Since.start();
  while (Since.elapsed() < Milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
}

} // namespace

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: quorvin-screenshots DIR EXAMPLES\n");
    return 2;
  }
  const QDir Out(QString::fromLocal8Bit(argv[1]));
  const QDir Examples(QDir(QString::fromLocal8Bit(argv[2])).absolutePath());
  QDir().mkpath(Out.absolutePath());
  // A start folder of its own, so no settings file is left anywhere.
  QTemporaryDir Start;
  QDir::setCurrent(Start.path());

  TQuietDialog Dialog;
  TInjectedServices Services;
  Services.Dialog = &Dialog;
  TMainForm Window(Services);
  Window.FormCreate(ToEngine(Start.path() + u'/'),
                    ToEngine(QCoreApplication::applicationDirPath() + u'/'));
  Window.show();
  Settle(600);

  int Failures = 0;
  auto Shoot = [&](const QString& Name, const QString& Size) {
    Settle();
    const QString File = Out.filePath(Name + u'-' + Size + QStringLiteral(".png"));
    if (!Window.grab().save(File)) {
      std::fprintf(stderr, "could not write %s\n", qPrintable(File));
      ++Failures;
      return;
    }
    std::printf("%s (%dx%d)\n", qPrintable(File), Window.width(), Window.height());
  };
  auto Trigger = [&](captions::TActionId Id) { Window.Action(Id)->trigger(); };

  auto Tour = [&](const QString& Size) {
    Window.ShowPage(PageLogPrn);
    Window.OpenDroppedFile(Examples.filePath(QStringLiteral("SITE1.LOG")));
    Window.App().Selection.SelectAllClick(true);
    Trigger(captions::actOptionsDisplay);
    Shoot(QStringLiteral("1-logprn-display"), Size);
    Trigger(captions::actOptionsHeader);
    Shoot(QStringLiteral("2-logprn-header"), Size);
    Window.ShowPage(PageLogPlot);
    Trigger(captions::actOptionsGraph);
    Shoot(QStringLiteral("3-logplot-graph"), Size);
    Window.ShowPage(PageLogStat);
    Trigger(captions::actOptionsStats);
    Shoot(QStringLiteral("4-logstat-statistics"), Size);
    Window.ShowPage(PageRamCard);
    Window.OpenDroppedFile(Examples.filePath(QStringLiteral("RAMCARD.RCD")));
    Shoot(QStringLiteral("5-ramcard-list"), Size);
    Window.ShowPage(PageDDRLog);
    Window.OpenDroppedFile(Examples.filePath(QStringLiteral("SAMPLE.DDR")));
    Trigger(captions::actOptionsDisplay);
    Shoot(QStringLiteral("6-ddrlog-display"), Size);
    // Back to no view, as the tour started.
    Trigger(captions::actOptionsDisplay);
  };

  Tour(QStringLiteral("design"));
  Window.showMaximized();
  Settle(600);
  // Without a window manager nobody maximises the window: do what one would,
  // and keep the state the window goes by.
  if (QScreen* Screen = Window.screen())
    if (Window.frameGeometry().size() != Screen->availableGeometry().size()) {
      Window.setGeometry(Screen->availableGeometry());
      Window.setWindowState(Qt::WindowMaximized);
    }
  Settle(300);
  std::printf("maximised: %s\n", Window.isMaximized() ? "yes" : "no");
  Tour(QStringLiteral("maximised"));

  TAboutForm About(&Window);
  About.show();
  Settle();
  const QString AboutFile = Out.filePath(QStringLiteral("7-about.png"));
  if (About.grab().save(AboutFile))
    std::printf("%s (%dx%d)\n", qPrintable(AboutFile), About.width(), About.height());
  else
    ++Failures;

  // The help window on the LOGPRN topic, with a search going on.
  Window.ContextHelp(Window.findChild<QWidget*>(QStringLiteral("edtFilename")));
  if (THelpForm* Help = Window.HelpViewer() ? Window.HelpViewer()->Form() : nullptr) {
    Help->FindBox().setText(QStringLiteral("sensor"));
    Settle();
    const QString HelpFile = Out.filePath(QStringLiteral("8-help.png"));
    if (Help->grab().save(HelpFile))
      std::printf("%s (%dx%d)\n", qPrintable(HelpFile), Help->width(), Help->height());
    else
      ++Failures;
  } else {
    std::fprintf(stderr, "no help window\n");
    ++Failures;
  }
  return Failures == 0 ? 0 : 1;
}
