// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: its building, menus and tool bar, the running of commands
// and its own events. Its controls are bound to the application in
// MainFormBindings.cpp, the application's state is drawn in MainFormView.cpp
// and the pages are laid out in MainFormPages.cpp.
#include "gui/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <exception>

#include "app/Settings.h"
#include "chart/ChartPanel.h"
#include "chart/QtBridge.h"
#include "core/Messages.h"
#include "gui/AboutForm.h"
#include "gui/Accessibility.h"
#include "gui/ExportForm.h"
#include "gui/HelpForm.h"
#include "gui/Icons.h"
#include "gui/QtServices.h"
#include "gui/TextPane.h"
#include "gui/ZoneForm.h"

namespace quorvin::gui {

using namespace chart;

using namespace captions;

namespace {

// The tool-bar image of each action.
QString IconName(TActionId Id) {
  switch (Id) {
  case actFileOpen:
    return QStringLiteral("open");
  case actFileSave:
    return QStringLiteral("save");
  case actFilePrint:
    return QStringLiteral("print");
  case actOptionsDisplay:
    return QStringLiteral("display");
  case actOptionsHeader:
    return QStringLiteral("header");
  case actOptionsGraph:
    return QStringLiteral("graph");
  case actOptionsStats:
    return QStringLiteral("stats");
  case actOptionsRefresh:
    return QStringLiteral("refresh");
  case actHelp:
    return QStringLiteral("help");
  default:
    return QString();
  }
}

bool IsView(TActionId Id) {
  return Id == actOptionsDisplay || Id == actOptionsHeader || Id == actOptionsGraph ||
         Id == actOptionsStats;
}

// The dynamic property that holds a widget's help context; a widget without
// one has its parent's.
constexpr const char* HelpContextProperty = "HelpContext";

} // namespace

// ---------------------------------------------------------------------------
// Construction

TMainForm::TMainForm(const TInjectedServices& Injected, QWidget* Parent) : QMainWindow(Parent) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(Caption(ProgramName));
  setWindowIcon(ProgramIcon());
  setAcceptDrops(true);

  // The output area: the text pane and the chart, at most one visible.
  RedtDisplay = new TTextPane;
  RedtDisplay->setObjectName(QStringLiteral("RedtDisplay"));
  ChartLog = new TChartPanel;
  PnlOptions = new QWidget;
  PnlOptions->setObjectName(QStringLiteral("PnlOptions"));
  auto* OutputLayout = new QVBoxLayout(PnlOptions);
  OutputLayout->setContentsMargins(0, 0, 0, 0);
  OutputLayout->setSpacing(0);
  OutputLayout->addWidget(RedtDisplay);
  OutputLayout->addWidget(ChartLog);
  RedtDisplay->hide();
  ChartLog->hide();
  PnlOptions->hide();

  FStatus = std::make_unique<TQtStatusBar>(*statusBar());
  statusBar()->setObjectName(QStringLiteral("StatusBar1"));
  FBusy = std::make_unique<TQtBusyCursor>(this, FStatus.get());
  // Long finds, copies and prints in the pane show progress and can be cancelled.
  RedtDisplay->UseBusyCursor(FBusy.get());
  RedtDisplay->TableText = [this] { return FromEngine(FApp->StatisticsTableText()); };

  MakeServices(Injected);
  FApp = std::make_unique<TApplication>(*FServices);
  ChartLog->UseFormat(FApp->Format);
  ChartLog->OnContextMenu = [this](QMenu& Menu) { AddChartMenuEntries(Menu); };

  BuildActions();
  BuildMenus();
  BuildToolBar();

  BuildPages();
  ConnectOptions();

  auto* Central = new QWidget;
  auto* CentralLayout = new QVBoxLayout(Central);
  CentralLayout->setContentsMargins(0, 0, 0, 0);
  CentralLayout->setSpacing(0);
  CentralLayout->addWidget(PnlMain, 1);
  CentralLayout->addWidget(PnlOptions, 0);
  setCentralWidget(Central);

  // Each control has the help context of its page; the window, its two
  // areas and whatever lies outside the pages have the window's.
  setProperty(HelpContextProperty, HelpWindow);
  PnlMain->setProperty(HelpContextProperty, HelpWindow);
  PnlOptions->setProperty(HelpContextProperty, HelpWindow);
  RedtDisplay->setProperty(HelpContextProperty, HelpTextPane);
  ChartLog->setProperty(HelpContextProperty, HelpChart);
  for (int Page = 0; Page < PgCntrlLog->count(); ++Page)
    PgCntrlLog->widget(Page)->setProperty(HelpContextProperty, PageHelpContexts[std::size_t(Page)]);

  RedtDisplay->setAccessibleName(Caption(AccessibleTextPane));
  ChartLog->setAccessibleName(Caption(AccessibleChart));
  NameForAccessibility(*this);

  FApp->AttachView(this);
  FApp->Selection.AttachView(this);
  FApp->AttachExportDialog(Injected.ExportDialog
                               ? Injected.ExportDialog
                               : (FOwnExportDialog = std::make_unique<TExportForm>(nullptr)).get());
  FApp->AttachZoneDialog(Injected.ZoneDialog
                             ? Injected.ZoneDialog
                             : (FOwnZoneDialog = std::make_unique<TZoneForm>(nullptr)).get());
}

void TMainForm::MakeServices(const TInjectedServices& Injected) {
  if (!Injected.Dialog) FOwnDialog = std::make_unique<TQtMessageDialog>(this);
  if (!Injected.FileDialog) FOwnFileDialog = std::make_unique<TQtFileDialog>(this);
  if (!Injected.FolderBrowser) FOwnFolderBrowser = std::make_unique<TQtFolderBrowser>(this);
  if (!Injected.Printer) FOwnPrinter = std::make_unique<TQtPrinter>(this, *RedtDisplay, *ChartLog);
  if (!Injected.Help) FOwnHelp = std::make_unique<TQtHelpViewer>();
  if (!Injected.Mounts) FOwnMounts = SystemMountPoints();
  FServices.reset(new TAppServices{
      Injected.Dialog ? *Injected.Dialog : *FOwnDialog,
      *FStatus,
      *RedtDisplay,
      *FBusy,
      *ChartLog,
      Injected.FileDialog ? *Injected.FileDialog : *FOwnFileDialog,
      Injected.FolderBrowser ? *Injected.FolderBrowser : *FOwnFolderBrowser,
      Injected.Printer ? *Injected.Printer : *FOwnPrinter,
      Injected.Help ? *Injected.Help : *FOwnHelp,
      Injected.Mounts ? *Injected.Mounts : *FOwnMounts,
  });
}

// The page area.
void TMainForm::BuildPages() {
  PnlMain = new QWidget;
  PnlMain->setObjectName(QStringLiteral("PnlMain"));
  auto* MainLayout = new QVBoxLayout(PnlMain);
  MainLayout->setContentsMargins(2, 2, 2, 2);
  PgCntrlLog = new QTabWidget;
  PgCntrlLog->setObjectName(QStringLiteral("PgCntrlLog"));
  MainLayout->addWidget(PgCntrlLog);
  static const char* const PageNames[] = {"tbsLogPrn", "tbsLogPlot", "tbsLogStat", "tbsRamCard",
                                          "tbsDDRLog"};
  // The right parts of the three log pages are equally wide, so the log
  // selection stands in the same place on each.
  QWidget* Right[LogPageCount] = {BuildLogPrnOptions(), BuildLogPlotOptions(), new QWidget};
  int RightWidth = 0;
  for (QWidget* Part : Right) RightWidth = std::max(RightWidth, Part->minimumSizeHint().width());
  for (int Page = 0; Page < LogPageCount; ++Page) {
    auto* Tab = new QWidget;
    auto* Row = new QHBoxLayout(Tab);
    Row->setContentsMargins(8, 6, 8, 6);
    Row->setSpacing(12);
    Row->addWidget(BuildLogSelection(Page), 3);
    Right[Page]->setMinimumWidth(RightWidth);
    Row->addWidget(Right[Page], 2);
    Tab->setObjectName(QString::fromLatin1(PageNames[Page]));
    PgCntrlLog->addTab(Tab, Caption(PageCaptions[std::size_t(Page)]));
  }
  QWidget* Ram = BuildRamCardPage();
  Ram->setObjectName(QString::fromLatin1(PageNames[PageRamCard]));
  PgCntrlLog->addTab(Ram, Caption(PageCaptions[PageRamCard]));
  QWidget* DDR = BuildDDRLogPage();
  DDR->setObjectName(QString::fromLatin1(PageNames[PageDDRLog]));
  PgCntrlLog->addTab(DDR, Caption(PageCaptions[PageDDRLog]));
}

TMainForm::~TMainForm() {
  // Widgets going away must not call back into a window that is going.
  for (QObject* Child : findChildren<QObject*>())
    QObject::disconnect(Child, nullptr, this, nullptr);
  for (QWidget* Edit : {static_cast<QWidget*>(edtDDRLog), static_cast<QWidget*>(edtDDROutput),
                        static_cast<QWidget*>(chklbxSensors[PageLogPrn])})
    Edit->removeEventFilter(this);
  for (QLineEdit* Edit : edtFilename) Edit->removeEventFilter(this);
  // The application goes first: it refers to the widgets' services.
  FApp->AttachView(nullptr);
  FApp->Selection.AttachView(nullptr);
  FApp.reset();
}

TQtPrinter* TMainForm::Printer() const { return dynamic_cast<TQtPrinter*>(FOwnPrinter.get()); }

TQtHelpViewer* TMainForm::HelpViewer() const {
  return dynamic_cast<TQtHelpViewer*>(FOwnHelp.get());
}

void TMainForm::BuildActions() {
  for (const TActionText& Text : Actions) {
    auto* Action = new QAction(Caption(Text.Caption), this);
    Action->setObjectName(Caption(Text.Name));
    Action->setStatusTip(Caption(Text.Hint));
    if (Text.ShortcutLetter)
      Action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(Text.ShortcutLetter)));
    Action->setCheckable(IsView(Text.Id));
    const TActionId Id = Text.Id;
    connect(Action, &QAction::triggered, this, [this, Id] { RunAction(Id); });
    FActions[std::size_t(Id)] = Action;
  }
  About1 = new QAction(Caption(MenuAbout), this);
  About1->setObjectName(QStringLiteral("About1"));
  connect(About1, &QAction::triggered, this, [this] { About1Click(); });
  // F1: the topic of the control that has the focus.
  auto* F1 = new QAction(this);
  F1->setObjectName(QStringLiteral("ContextHelp"));
  F1->setShortcut(QKeySequence(Qt::Key_F1));
  F1->setShortcutContext(Qt::WindowShortcut);
  connect(F1, &QAction::triggered, this, [this] {
    QWidget* Focus = QApplication::focusWidget();
    ContextHelp(Focus && isAncestorOf(Focus) ? Focus : this);
  });
  addAction(F1);
}

void TMainForm::BuildMenus() {
  // Alt and the first letter open each menu; the captions read as always.
  auto Mnemonic = [](std::string_view Text) { return u'&' + Caption(Text); };
  QMenu* File = menuBar()->addMenu(Mnemonic(MenuFile));
  for (TActionId Id : FileMenu) {
    if (Id == actFileExit) {
      File->addSeparator();
      mnuRecentFiles = File->addMenu(Caption(MenuRecentFiles));
      mnuRecentFiles->setObjectName(QStringLiteral("mnuRecentFiles"));
      mnuRecentFiles->setToolTipsVisible(true);
      mnuRecentFiles->setEnabled(false);
      File->addSeparator();
    }
    File->addAction(Action(Id));
    if (Id == actFileSave) {
      QAction* Export = File->addAction(Caption(MenuExport));
      Export->setObjectName(QStringLiteral("FileExport"));
      Export->setStatusTip(Caption(HintExport));
      connect(Export, &QAction::triggered, this,
              [this] { Run([this] { FApp->FileExportExecute(); }); });
    }
  }
  // The key that leaves a program on every desktop.
  Action(actFileExit)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  QMenu* Options = menuBar()->addMenu(Mnemonic(MenuOptions));
  for (TActionId Id : OptionsMenu) Options->addAction(Action(Id));
  Options->addSeparator();
  QAction* TimeZone = Options->addAction(Caption(MenuTimeZone));
  TimeZone->setObjectName(QStringLiteral("OptionsTimeZone"));
  TimeZone->setStatusTip(Caption(HintTimeZone));
  connect(TimeZone, &QAction::triggered, this,
          [this] { Run([this] { FApp->OptionsTimeZoneExecute(); }); });
  QMenu* Help = menuBar()->addMenu(Mnemonic(MenuHelp));
  Help->addAction(Action(actHelp));
  Help->addAction(About1);
}

void TMainForm::BuildToolBar() {
  QToolBar* Bar = addToolBar(QStringLiteral("ToolBar1"));
  Bar->setObjectName(QStringLiteral("ToolBar1"));
  Bar->setMovable(false);
  Bar->setFloatable(false);
  Bar->setIconSize(QSize(22, 22));
  Bar->setMinimumHeight(30);
  Bar->setContextMenuPolicy(Qt::PreventContextMenu);
  auto Button = [&](TActionId Id, const char* Name, std::string_view OwnHint) {
    auto* B = new QToolButton(Bar);
    B->setObjectName(QString::fromLatin1(Name));
    B->setIcon(ToolIcon(IconName(Id)));
    B->setAutoRaise(true);
    B->setFocusPolicy(Qt::NoFocus);
    B->setCheckable(IsView(Id));
    const QString Hint = OwnHint.empty() ? Action(Id)->statusTip() : Caption(OwnHint);
    B->setToolTip(Hint);
    B->setStatusTip(Hint);
    B->setText(Action(Id)->text().remove(u'&'));
    connect(B, &QToolButton::clicked, this, [this, Id] { RunAction(Id); });
    Bar->addWidget(B);
    return B;
  };
  tbtnOpen = Button(actFileOpen, "tbtnOpen", HintToolOpen);
  tbtnSave = Button(actFileSave, "tbtnSave", HintToolSave);
  tbtnPrint = Button(actFilePrint, "tbtnPrint", HintToolPrint);
  Bar->addSeparator();
  tbtnDisplay = Button(actOptionsDisplay, "tbtnDisplay", {});
  tbtnHeader = Button(actOptionsHeader, "tbtnHeader", {});
  tbtnGraph = Button(actOptionsGraph, "tbtnGraph", {});
  tbtnStats = Button(actOptionsStats, "tbtnStats", HintToolStats);
  tbtnRefresh = Button(actOptionsRefresh, "tbtnRefresh", {});
  Bar->addSeparator();
  tbtnHelp = Button(actHelp, "tbtnHelp", {});
}

// ---------------------------------------------------------------------------
// Start-up and shut-down

void TMainForm::FormCreate(const std::string& StartDir, const std::string& ProgramDir) {
  FApp->FormCreate(StartDir, ProgramDir);

  // The design size: a page area 251 high and an output area 315 high in a
  // client area 552 wide, or larger where the desktop's font needs it.
  ensurePolished();
  if (layout()) layout()->activate();
  FPageAreaHeight = std::max(251, PnlMain->minimumSizeHint().height());
  PnlMain->setMinimumHeight(FPageAreaHeight);
  const int Chrome = menuBar()->sizeHint().height() +
                     std::max(30, findChild<QToolBar*>()->sizeHint().height()) +
                     statusBar()->sizeHint().height();
  FCollapsedHeight = std::max(Chrome + FPageAreaHeight, minimumSizeHint().height());
  const int FullHeight = FCollapsedHeight + FOutputAreaHeight;
  const int Width = std::max(552, minimumSizeHint().width());
  // Centred for its full height, then shrunk by the output area; a screen
  // too small for the full height puts the window at its top, never above.
  if (QScreen* Screen = screen()) {
    const QRect Area = Screen->availableGeometry();
    move(Area.left() + std::max(0, (Area.width() - Width) / 2),
         Area.top() + std::max(0, (Area.height() - FullHeight) / 2));
  }
  resize(Width, FCollapsedHeight);
  FitOnScreen();
  FCreated = true;
}

void TMainForm::FitOnScreen() {
  QScreen* Screen = screen();
  if (!Screen || (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) return;
  const QRect Area = Screen->availableGeometry();
  // The frame the window manager adds, once it is known.
  const QRect Outer = frameGeometry();
  const QRect Inner = geometry();
  const int FrameWidth = Outer.width() - Inner.width();
  const int FrameHeight = Outer.height() - Inner.height();
  const QSize Fitting(std::min(Inner.width(), Area.width() - FrameWidth),
                      std::min(Inner.height(), Area.height() - FrameHeight));
  if (Fitting != Inner.size()) resize(Fitting.expandedTo(minimumSize()));
  const QRect Now = frameGeometry();
  const int Left = std::max(Area.left(), std::min(Now.left(), Area.right() + 1 - Now.width()));
  const int Top = std::max(Area.top(), std::min(Now.top(), Area.bottom() + 1 - Now.height()));
  if (Left != Now.left() || Top != Now.top()) move(Left, Top);
}

void TMainForm::showEvent(QShowEvent* Event) {
  QMainWindow::showEvent(Event);
  // The window manager's frame is known once the window shows.
  QTimer::singleShot(0, this, [this] { FitOnScreen(); });
  if (FApp->ActivePage == PageLogPrn) edtFilename[PageLogPrn]->setFocus();
}

void TMainForm::closeEvent(QCloseEvent* Event) {
  // One command at a time: the window does not close under a running one.
  if (FRunning || FBusy->Busy()) {
    Event->ignore();
    return;
  }
  if (FCreated && !FDestroyed) {
    FDestroyed = true;
    FApp->FormDestroy();
  }
  Event->accept();
}

// ---------------------------------------------------------------------------
// Running commands

void TMainForm::Run(const std::function<void()>& Work) {
  if (FRunning || FBusy->Busy()) return;
  FRunning = true;
  try {
    Work();
  } catch (const std::exception& E) {
    FServices->Dialog.Show(TMsgKind::Error, StoppedMessage(E), TMsgButtons::OK);
  }
  FRunning = false;
  RedtDisplay->Flush();
}

void TMainForm::RunAction(TActionId Id) {
  TApplication& A = *FApp;
  Run([&A, Id] { A.Execute(Id); });
  // A toggle that refused leaves its marks as they were.
  ViewStateChanged();
}

void TMainForm::About1Click() {
  TAboutForm Box(this);
  PlaceOverWindow(Box);
  Box.exec();
}

void TMainForm::PlaceOverWindow(QWidget& Box) const {
  // Over the middle of the window, where the eye is, and on the screen.
  QPoint TopLeft = frameGeometry().center() - QPoint(Box.width() / 2, Box.height() / 2);
  if (QScreen* Screen = screen()) {
    const QRect Area = Screen->availableGeometry();
    TopLeft.setX(std::clamp(TopLeft.x(), Area.left(),
                            std::max(Area.left(), Area.right() + 1 - Box.width())));
    TopLeft.setY(std::clamp(TopLeft.y(), Area.top(),
                            std::max(Area.top(), Area.bottom() + 1 - Box.height())));
  }
  Box.move(TopLeft);
}

bool TMainForm::event(QEvent* Event) {
  // The hint of whatever the mouse is over goes to panel 0, never over the
  // panels as a passing message.
  if (Event->type() == QEvent::StatusTip) {
    FStatus->ShowHint(static_cast<QStatusTipEvent*>(Event)->tip());
    return true;
  }
  return QMainWindow::event(Event);
}

// ---------------------------------------------------------------------------
// Drag and drop, and files named at start

void TMainForm::dragEnterEvent(QDragEnterEvent* Event) {
  if (!Event->mimeData()->hasUrls()) return;
  for (const QUrl& Url : Event->mimeData()->urls())
    if (Url.isLocalFile()) {
      Event->acceptProposedAction();
      return;
    }
}

void TMainForm::dropEvent(QDropEvent* Event) {
  QStringList Paths;
  for (const QUrl& Url : Event->mimeData()->urls())
    if (Url.isLocalFile()) Paths.append(Url.toLocalFile());
  if (Paths.isEmpty()) return;
  Event->acceptProposedAction();
  // The files are opened once the drop is over, so a message about one
  // does not hold up the program it was dragged from.
  QTimer::singleShot(0, this, [this, Paths] {
    for (const QString& Path : Paths) OpenDroppedFile(Path);
  });
}

void TMainForm::OpenStartFiles(const QStringList& Files) {
  // Of several files named at once, opening each in turn would leave only
  // the last of each kind: the first is opened, the others are offered.
  std::vector<std::string> Paths;
  for (const QString& File : Files)
    Paths.push_back(ToEngine(QDir::current().absoluteFilePath(File)));
  if (Paths.empty() || FRunning || FBusy->Busy()) return;
  Run([this, Paths] { FApp->OpenFiles(Paths); });
}

void TMainForm::ContextHelp(QWidget* Widget) {
  int Context = HelpWindow;
  for (QWidget* W = Widget; W; W = W->parentWidget()) {
    const QVariant Own = W->property(HelpContextProperty);
    if (Own.isValid()) {
      Context = Own.toInt();
      break;
    }
  }
  Run([this, Context] { FApp->ContextHelp(Context); });
}

void TMainForm::ShowPage(int Page) {
  if (Page >= 0 && Page < PgCntrlLog->count()) PgCntrlLog->setCurrentIndex(Page);
}

void TMainForm::OpenDroppedFile(const QString& Path) {
  if (FRunning || FBusy->Busy()) return;
  Run([this, File = ToEngine(Path)] { FApp->OpenFile(File); });
}

} // namespace quorvin::gui
