// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-screenshots DIR EXAMPLES: starts the real window, loads the
// samples of EXAMPLES and saves a picture of each page with its main view
// on, at the design size and maximised, then the about box and the help
// window, into DIR. For people to look at; nothing is compared. Messages
// that would wait for a person go to standard error instead.
#include <QAction>
#include <QApplication>
#include <QChart>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimeZone>
#include <QToolTip>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "chart/ChartPanel.h"
#include "chart/QtBridge.h"
#include "gui/AboutForm.h"
#include "gui/HelpForm.h"
#include "gui/MainForm.h"
#include "gui/ZoneForm.h"

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

// A CSV export of sixteen sensors over three days, every half hour, each
// on a level of its own so every line shows.
QString WriteSixteenSensors(const QDir& Folder) {
  const QString Path = Folder.filePath(QStringLiteral("SIXTEEN.CSV"));
  QFile File(Path);
  if (!File.open(QIODevice::WriteOnly | QIODevice::Truncate)) return QString();
  QTextStream Out(&File);
  Out << "'Sixteen sensors\n;Date,Time,Sensor,Value,Units,Status\n";
  const QDateTime From(QDate(2024, 7, 1), QTime(0, 0), QTimeZone::utc());
  for (int Step = 0; Step < 3 * 48; ++Step) {
    const QDateTime At = From.addSecs(qint64(Step) * 1800);
    for (int Sensor = 0; Sensor < 16; ++Sensor) {
      const double Value = 15 + Sensor * 17 + 6 * std::sin(Step / 7.0 + Sensor);
      Out << At.toString(QStringLiteral("MM/dd/yyyy,HH:mm:ss")) << ",SENSOR"
          << QString::number(Sensor + 1).rightJustified(2, u'0') << ','
          << QString::number(Value, 'f', 1) << ",C,G\n";
    }
  }
  return Path;
}

void Settle(int Milliseconds = 300) {
  QElapsedTimer Since;
  Since.start();
  while (Since.elapsed() < Milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(10);
  }
}

// A picture of the whole screen with the window and its output area on, to
// see that it stays on a small screen.
int ShootSmallScreen(TMainForm& Window, const QDir& Examples, const QDir& Out) {
  Window.OpenDroppedFile(Examples.filePath(QStringLiteral("SITE1.LOG")));
  Window.App().Selection.SelectAllClick(true);
  Window.Action(captions::actOptionsDisplay)->trigger();
  Settle(600);
  QScreen* Screen = Window.screen();
  const QString File = Out.filePath(QStringLiteral("10-screen-%1x%2.png")
                                        .arg(Screen->geometry().width())
                                        .arg(Screen->geometry().height()));
  if (!Screen->grabWindow(0).save(File)) return 1;
  const QRect At = Window.frameGeometry();
  std::printf("%s (window at %d,%d size %dx%d)\n", qPrintable(File), At.x(), At.y(), At.width(),
              At.height());
  return 0;
}

// The pictures of the window, counting those it could not write.
struct TShooter {
  TMainForm& Window;
  const QDir& Out;
  const QDir& Examples;
  int Failures = 0;

  void Shoot(const QString& Name, const QString& Size) {
    Settle();
    const QString File = Out.filePath(Name + u'-' + Size + QStringLiteral(".png"));
    if (!Window.grab().save(File)) {
      std::fprintf(stderr, "could not write %s\n", qPrintable(File));
      ++Failures;
      return;
    }
    std::printf("%s (%dx%d)\n", qPrintable(File), Window.width(), Window.height());
  }

  void Trigger(captions::TActionId Id) { Window.Action(Id)->trigger(); }

  // Each page with its main view on.
  void Tour(const QString& Size) {
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
  }

  // A hint too long for its panel.
  void ShootHint() {
    QStatusTipEvent Tip(Caption(captions::HintHelpFind));
    QApplication::sendEvent(&Window, &Tip);
    Shoot(QStringLiteral("0-status-bar-hint"), QStringLiteral("design"));
    QStatusTipEvent None{QString()};
    QApplication::sendEvent(&Window, &None);
  }

  // Sixteen sensors with four-digit years and seconds in the labels.
  void ShootSixteenSensors(const QString& Sixteen) {
    Window.ShowPage(PageLogPlot);
    Window.OpenDroppedFile(Sixteen);
    Window.App().Selection.SelectAllClick(true);
    if (auto* Format = Window.findChild<QComboBox*>(QStringLiteral("cbxDtFormat2")))
      Format->setCurrentText(QStringLiteral("YYYY/MM/DD HH:MM:SS"));
    Trigger(captions::actOptionsGraph);
    Shoot(QStringLiteral("9-logplot-16-sensors"), QStringLiteral("design"));
    ShootReadOut(QStringLiteral("11-logplot-read-out-design"));
    // The same with the logger's clock zone set: the read-out names it.
    Window.App().LoggerTimeZone = "America/Denver";
    Trigger(captions::actOptionsRefresh);
    ShootReadOut(QStringLiteral("13-logplot-read-out-zone-design"));
    Window.App().LoggerTimeZone.clear();
    Trigger(captions::actOptionsRefresh);
    Trigger(captions::actOptionsGraph);
    if (auto* Format = Window.findChild<QComboBox*>(QStringLiteral("cbxDtFormat2")))
      Format->setCurrentText(QStringLiteral("MMDDYY HHMM"));
  }

  // The screen around the window, with what shows beside it (a tool tip,
  // an open menu).
  void ShootScreen(const QString& Name) {
    Settle();
    QRect Area = Window.frameGeometry();
    for (const QWidget* Top : QApplication::topLevelWidgets())
      if (Top->isVisible()) Area |= Top->frameGeometry();
    Area &= Window.screen()->geometry();
    const QString File = Out.filePath(Name + QStringLiteral(".png"));
    if (!Window.screen()
             ->grabWindow(0, Area.x(), Area.y(), Area.width(), Area.height())
             .save(File)) {
      std::fprintf(stderr, "could not write %s\n", qPrintable(File));
      ++Failures;
      return;
    }
    std::printf("%s\n", qPrintable(File));
  }

  // The read-out the mouse brings up over the middle of the plot.
  void ShootReadOut(const QString& Name) {
    TChartPanel& Chart = Window.Chart();
    const QPointF Middle = Chart.chart()->mapToScene(Chart.chart()->plotArea().center());
    const QPoint At = Chart.mapFromScene(Middle);
    QMouseEvent Move(QEvent::MouseMove, QPointF(At), QPointF(Chart.viewport()->mapToGlobal(At)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Chart.viewport(), &Move);
    ShootScreen(Name);
    QToolTip::hideText();
  }

  // The Options > Time Zone dialog with a zone chosen, then with its list
  // open.
  void ShootTimeZone() {
    TZoneForm Dialog(&Window);
    auto* Box = Dialog.findChild<QComboBox*>(QStringLiteral("cbxZone"));
    if (!Box) {
      std::fprintf(stderr, "no zone box\n");
      ++Failures;
      return;
    }
    FillZoneList(*Box);
    ShowZone(*Box, "America/Denver");
    Dialog.show();
    Settle();
    const QString File = Out.filePath(QStringLiteral("14-time-zone.png"));
    if (Dialog.grab().save(File))
      std::printf("%s (%dx%d)\n", qPrintable(File), Dialog.width(), Dialog.height());
    else
      ++Failures;
    Box->showPopup();
    ShootScreen(QStringLiteral("15-time-zone-list"));
    Box->hidePopup();
  }

  // The File menu with its recent files open.
  void ShootRecentFiles() {
    QMenu* File =
        Window.menuBar()->actions().value(0) ? Window.menuBar()->actions()[0]->menu() : nullptr;
    auto* Recent = Window.findChild<QMenu*>(QStringLiteral("mnuRecentFiles"));
    if (!File || !Recent) {
      std::fprintf(stderr, "no recent files menu\n");
      ++Failures;
      return;
    }
    File->popup(Window.menuBar()->mapToGlobal(QPoint(0, Window.menuBar()->height())));
    Settle();
    const QRect Entry = File->actionGeometry(Recent->menuAction());
    Recent->popup(File->mapToGlobal(QPoint(File->width() - 4, Entry.top())));
    ShootScreen(QStringLiteral("12-file-recent-files-design"));
    Recent->hide();
    File->hide();
  }

  void Maximise() {
    Window.showMaximized();
    Settle(600);
    // Without a window manager nobody maximises the window: do what one
    // would, and keep the state the window goes by.
    if (QScreen* Screen = Window.screen())
      if (Window.frameGeometry().size() != Screen->availableGeometry().size()) {
        Window.setGeometry(Screen->availableGeometry());
        Window.setWindowState(Qt::WindowMaximized);
      }
    Settle(300);
    std::printf("maximised: %s\n", Window.isMaximized() ? "yes" : "no");
  }

  // The about box, and the help window on the LOGPRN topic with a search
  // going on.
  void ShootAboutAndHelp() {
    TAboutForm About(&Window);
    About.show();
    Settle();
    const QString AboutFile = Out.filePath(QStringLiteral("7-about.png"));
    if (About.grab().save(AboutFile))
      std::printf("%s (%dx%d)\n", qPrintable(AboutFile), About.width(), About.height());
    else
      ++Failures;

    Window.ContextHelp(Window.findChild<QWidget*>(QStringLiteral("edtFilename")));
    THelpForm* Help = Window.HelpViewer() ? Window.HelpViewer()->Form() : nullptr;
    if (!Help) {
      std::fprintf(stderr, "no help window\n");
      ++Failures;
      return;
    }
    Help->FindBox().setText(QStringLiteral("sensor"));
    Settle();
    const QString HelpFile = Out.filePath(QStringLiteral("8-help.png"));
    if (Help->grab().save(HelpFile))
      std::printf("%s (%dx%d)\n", qPrintable(HelpFile), Help->width(), Help->height());
    else
      ++Failures;
  }
};

} // namespace

int main(int argc, char** argv) {
  QApplication App(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: quorvin-screenshots DIR EXAMPLES [small]\n");
    return 2;
  }
  // "small": only the window with its output area on, as a whole-screen
  // picture, to see that it stays on a small screen.
  const bool Small = argc > 3 && std::strcmp(argv[3], "small") == 0;
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

  if (Small) return ShootSmallScreen(Window, Examples, Out);
  TShooter Shooter{Window, Out, Examples};
  Shooter.ShootHint();
  Shooter.Tour(QStringLiteral("design"));
  Shooter.ShootSixteenSensors(WriteSixteenSensors(QDir(Start.path())));
  Shooter.ShootRecentFiles();
  Shooter.ShootTimeZone();
  Shooter.Maximise();
  Shooter.Tour(QStringLiteral("maximised"));
  Shooter.ShootAboutAndHelp();
  return Shooter.Failures == 0 ? 0 : 1;
}
