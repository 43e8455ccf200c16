// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/MainForm.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <cmath>
#include <exception>

#include "app/Settings.h"
#include "chart/ChartPanel.h"
#include "chart/QtBridge.h"
#include "gui/AboutForm.h"
#include "gui/Accessibility.h"
#include "gui/ExportForm.h"
#include "gui/HelpForm.h"
#include "gui/Icons.h"
#include "gui/QtServices.h"
#include "gui/TextPane.h"

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

void SetChecked(QAbstractButton* Button, bool Checked) {
  const QSignalBlocker Block(Button);
  Button->setChecked(Checked);
}

void SetText(QLineEdit* Edit, const std::string& Text) {
  const QString Shown = FromEngine(Text);
  if (Edit->text() == Shown) return;
  const QSignalBlocker Block(Edit);
  Edit->setText(Shown);
}

void SetIndex(QComboBox* Box, int Index) {
  const QSignalBlocker Block(Box);
  Box->setCurrentIndex(Index >= 0 && Index < Box->count() ? Index : -1);
}

void SetItemCheck(QListWidget* List, int Row, bool Checked) {
  QListWidgetItem* Item = List->item(Row);
  if (!Item) return;
  const QSignalBlocker Block(List);
  Item->setCheckState(Checked ? Qt::Checked : Qt::Unchecked);
}

QListWidgetItem* AddCheckItem(QListWidget* List, const QString& Text, bool Checked) {
  auto* Item = new QListWidgetItem(Text, List);
  Item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  Item->setCheckState(Checked ? Qt::Checked : Qt::Unchecked);
  return Item;
}

// The date pickers show the desktop's short date, with the year in full.
QString PickerFormat() {
  QString Format = QLocale::system().dateFormat(QLocale::ShortFormat);
  if (!Format.contains(QStringLiteral("yyyy")))
    Format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
  return Format;
}

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
    if (Id == actFileExit) File->addSeparator();
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

void TMainForm::ConnectLogSelection(int Page) {
  TApplication& A = *FApp;
  connect(edtFilename[Page], &QLineEdit::textEdited, this,
          [&A, Page](const QString& Text) { A.LogFileChange(Page, ToEngine(Text)); });
  // Enter in the box takes the name as leaving it does.
  connect(edtFilename[Page], &QLineEdit::returnPressed, this,
          [this, Page] { Run([this, Page] { FApp->edtFilenameExit(Page); }); });
  edtFilename[Page]->installEventFilter(this);
  connect(btnBrowse[Page], &QPushButton::clicked, this,
          [this] { Run([this] { FApp->FileOpenExecute(TagBrowseLog); }); });
  const QString Format = PickerFormat();
  for (QDateEdit* Picker : {dtpStart[Page], dtpEnd[Page]}) Picker->setDisplayFormat(Format);
  connect(dtpStart[Page], &QDateEdit::dateChanged, this, [&A, Page](const QDate& Date) {
    A.Selection.dtpStartChange(Page, DateToDateTime(Date));
  });
  connect(dtpEnd[Page], &QDateEdit::dateChanged, this,
          [&A, Page](const QDate& Date) { A.Selection.dtpEndChange(Page, DateToDateTime(Date)); });
  connect(cbxDtFormat[Page], &QComboBox::currentIndexChanged, this, [this, Page](int Index) {
    if (Index >= 0) FApp->DtFormatChange(Page, ToEngine(cbxDtFormat[Page]->itemText(Index)));
  });
  connect(chkSelectAll[Page], &QCheckBox::clicked, this,
          [&A](bool Checked) { A.Selection.SelectAllClick(Checked); });
  connect(chklbxSensors[Page], &QListWidget::itemChanged, this,
          [this, Page](QListWidgetItem* Item) {
            FApp->Selection.CheckSensorsClick(chklbxSensors[Page]->row(Item),
                                              Item->checkState() == Qt::Checked);
          });
  if (Page == PageLogPrn) chklbxSensors[Page]->installEventFilter(this);
}

void TMainForm::ConnectOptions() {
  TApplication& A = *FApp;
  // LOGPRN.
  connect(chkAppend, &QCheckBox::toggled, this, [&A](bool B) { A.LogPrn.AppendData = B; });
  connect(chkSysFormat, &QCheckBox::toggled, this, [&A](bool B) { A.chkSysFormatClick(B); });
  connect(FStdzeroButtons, &QButtonGroup::idToggled, this, [&A](int Id, bool Checked) {
    if (Checked) A.gbxStdzeroClick(Id);
  });
  connect(chkFileLayout, &QListWidget::itemChanged, this, [this](QListWidgetItem* Item) {
    FApp->chkFileLayoutClickCheck(chkFileLayout->row(Item), Item->checkState() == Qt::Checked);
  });
  connect(cbxOutFormat, &QComboBox::currentIndexChanged, this,
          [this](int Index) { FApp->cbxOutFormatChange(PageLogPrn, Index); });

  // LOGPLOT.
  connect(STBackColor, &QComboBox::currentIndexChanged, this,
          [this](int Index) { FApp->STBackColorChange(Index); });
  connect(STTextColor, &QComboBox::currentIndexChanged, this,
          [this](int Index) { FApp->STTextColorChange(Index); });
  connect(edtMax, &QLineEdit::textEdited, this,
          [&A](const QString& T) { A.GraphLimits.edtMax = ToEngine(T); });
  connect(edtMin, &QLineEdit::textEdited, this,
          [&A](const QString& T) { A.GraphLimits.edtMin = ToEngine(T); });

  // RAMCARD.
  // A drive picked from the list, or a folder or file typed and entered.
  connect(cbxRamdir, &QComboBox::activated, this, [this](int) { RamDriveChosen(); });
  connect(cbxRamdir->lineEdit(), &QLineEdit::returnPressed, this, [this] { RamDriveChosen(); });
  connect(edtOutFile, &QLineEdit::textEdited, this,
          [&A](const QString& T) { A.RamCardPage.RAMDirectory = ToEngine(T); });
  connect(btnBrowseDir, &QPushButton::clicked, this,
          [this] { Run([this] { FApp->btnBrowseDirClick(); }); });
  connect(chklbxRamFiles, &QListWidget::itemChanged, this, [this](QListWidgetItem* Item) {
    auto& Items = FApp->RamCardPage.chklbxRamFiles.Items;
    const int Row = chklbxRamFiles->row(Item);
    if (Row >= 0 && Row < int(Items.size()))
      Items[std::size_t(Row)].Checked = Item->checkState() == Qt::Checked;
  });
  connect(chklbxRamFiles, &QListWidget::currentRowChanged, this,
          [&A](int Row) { A.RamCardPage.chklbxRamFiles.ItemIndex = Row; });

  // DDRLOG.
  connect(edtDDRLog, &QLineEdit::textEdited, this,
          [&A](const QString& T) { A.LogFileChange(PageDDRLog, ToEngine(T)); });
  connect(edtDDRLog, &QLineEdit::returnPressed, this,
          [this] { Run([this] { FApp->edtFilenameExit(PageDDRLog); }); });
  edtDDRLog->installEventFilter(this);
  connect(edtDDROutput, &QLineEdit::textEdited, this,
          [&A](const QString& T) { A.edtDDROutputChange(ToEngine(T)); });
  connect(edtDDROutput, &QLineEdit::returnPressed, this,
          [this] { Run([this] { FApp->edtDDROutputExit(); }); });
  edtDDROutput->installEventFilter(this);
  connect(btnDDRBrowse, &QPushButton::clicked, this,
          [this] { Run([this] { FApp->FileOpenExecute(TagBrowseDDR); }); });
  connect(btnOutBrowse, &QPushButton::clicked, this,
          [this] { Run([this] { FApp->FileOpenExecute(TagBrowseOut); }); });
  connect(cbxOutFormat1, &QComboBox::currentIndexChanged, this,
          [this](int Index) { FApp->cbxOutFormatChange(PageDDRLog, Index); });
  TDDRLayout& D = A.DDRObj.Layout;
  connect(chkAppend1, &QCheckBox::toggled, this, [&D](bool B) { D.AppendDDRData = B; });
  connect(chkHeader, &QCheckBox::toggled, this, [&D](bool B) { D.AddHeader = B; });
  connect(chkData, &QCheckBox::toggled, this, [&D](bool B) { D.AddData = B; });
  connect(chkNotes, &QCheckBox::toggled, this, [&D](bool B) { D.AddNotes = B; });
  connect(chkUSGSStation, &QCheckBox::toggled, this, [&D](bool B) { D.USGSStation = B; });
  connect(chkUSGSDevice, &QCheckBox::clicked, this,
          [this](bool B) { FApp->chkUSGSDeviceClick(B); });
  connect(edtDevice, &QLineEdit::textEdited, this,
          [&A](const QString& T) { A.DDRPage.SetDeviceText(ToEngine(T)); });
  connect(cbxDtFormatDDR, &QComboBox::currentIndexChanged, this, [this](int Index) {
    if (Index >= 0) FApp->DtFormatChange(PageDDRLog, ToEngine(cbxDtFormatDDR->itemText(Index)));
  });

  connect(PgCntrlLog, &QTabWidget::currentChanged, this,
          [this](int Page) { Run([this, Page] { FApp->PgCntrlLogChange(Page); }); });
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

template <class F>
void TMainForm::Run(F&& Work) {
  if (FRunning || FBusy->Busy()) return;
  FRunning = true;
  try {
    Work();
  } catch (const std::exception& E) {
    FServices->Dialog.Show(TMsgKind::Error, std::string(MsgUnexpectedErrorPrefix) + E.what(),
                           TMsgButtons::OK);
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

void TMainForm::ControlExit(std::function<void()> Handler) {
  if (FRunning || FBusy->Busy())
    QTimer::singleShot(0, this, [this, Handler] { Run(Handler); });
  else
    Run(Handler);
}

void TMainForm::RamDriveChosen() {
  // Enter on a name the list holds is also an activation: one choice, once.
  if (FRamDrivePending) return;
  FRamDrivePending = true;
  QTimer::singleShot(0, this, [this] {
    FRamDrivePending = false;
    Run([this] { FApp->cbxRamdirClick(ToEngine(cbxRamdir->currentText())); });
  });
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

bool TMainForm::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::FocusOut) {
    // Leaving a control: by the keyboard or the mouse, not by a menu or a
    // dialog opening over the window.
    const Qt::FocusReason Reason = static_cast<QFocusEvent*>(Event)->reason();
    if (Reason == Qt::ActiveWindowFocusReason || Reason == Qt::PopupFocusReason)
      return QMainWindow::eventFilter(Watched, Event);
    for (int Page = 0; Page < LogPageCount; ++Page)
      if (Watched == edtFilename[Page]) ControlExit([this, Page] { FApp->edtFilenameExit(Page); });
    if (Watched == edtDDRLog) ControlExit([this] { FApp->edtFilenameExit(PageDDRLog); });
    if (Watched == edtDDROutput) ControlExit([this] { FApp->edtDDROutputExit(); });
    if (Watched == chklbxSensors[PageLogPrn]) {
      std::vector<bool> States;
      for (int I = 0; I < chklbxSensors[PageLogPrn]->count(); ++I)
        States.push_back(chklbxSensors[PageLogPrn]->item(I)->checkState() == Qt::Checked);
      FApp->Selection.chklbxSensorsExit(States);
    }
  }
  return QMainWindow::eventFilter(Watched, Event);
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
  // The desktop starts the program once per file; of several named on one
  // command line, opening each in turn would leave only the last of each
  // kind, so the first is the one.
  if (!Files.isEmpty()) OpenDroppedFile(QDir::current().absoluteFilePath(Files.first()));
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

// ---------------------------------------------------------------------------
// Drawing the application's state

void TMainForm::SetOutputAreaShown(bool Shown) {
  if (Shown == FOutputShown) return;
  FOutputShown = Shown;
  const bool Normal = !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen));
  if (Shown) {
    PnlMain->setMaximumHeight(FPageAreaHeight);
    PnlOptions->show();
    if (Normal && FCreated) {
      resize(width(), FCollapsedHeight + FOutputAreaHeight);
      FitOnScreen();
    }
  } else {
    PnlOptions->hide();
    PnlMain->setMaximumHeight(QWIDGETSIZE_MAX);
    // The smaller minimum counts before the window shrinks to it.
    centralWidget()->layout()->activate();
    layout()->activate();
    if (Normal && FCreated) resize(width(), FCollapsedHeight);
  }
}

void TMainForm::ViewStateChanged() {
  const TApplication& A = *FApp;
  const TViewMarks& M = A.Marks;
  const std::pair<TActionId, bool> MenuMarks[] = {{actOptionsDisplay, M.mnuDisplay},
                                                  {actOptionsHeader, M.mnuHeader},
                                                  {actOptionsGraph, M.mnuGraph},
                                                  {actOptionsStats, M.mnuStatistics}};
  for (const auto& [Id, Checked] : MenuMarks) {
    const QSignalBlocker Block(Action(Id));
    Action(Id)->setChecked(Checked);
  }
  SetChecked(tbtnDisplay, M.tbtnDisplay);
  SetChecked(tbtnHeader, M.tbtnHeader);
  SetChecked(tbtnGraph, M.tbtnGraph);
  SetChecked(tbtnStats, M.tbtnStats);
  tbtnDisplay->setEnabled(A.ToolButtons.tbtnDisplay);
  tbtnHeader->setEnabled(A.ToolButtons.tbtnHeader);
  tbtnGraph->setEnabled(A.ToolButtons.tbtnGraph);
  tbtnStats->setEnabled(A.ToolButtons.tbtnStats);
  RedtDisplay->setVisible(A.PaneVisible);
  ChartLog->setVisible(A.ChartVisible);
  SetOutputAreaShown(A.OutputAreaShown);
  if (PgCntrlLog->currentIndex() != A.ActivePage) {
    const QSignalBlocker Block(PgCntrlLog);
    PgCntrlLog->setCurrentIndex(A.ActivePage);
  }
}

void TMainForm::ShowLogPrnControls() {
  const TLogPrnOptions& O = FApp->LogPrn;
  SetChecked(chkAppend, O.AppendData);
  SetChecked(chkSysFormat, O.UseSysFormat);
  {
    const QSignalBlocker Block(FStdzeroButtons);
    if (QAbstractButton* Radio = FStdzeroButtons->button(StdzeroItem(O))) Radio->setChecked(true);
  }
  {
    const QSignalBlocker Block(chkFileLayout);
    for (int I = 0; I < chkFileLayout->count() && I < FileLayoutItemCount; ++I) {
      QListWidgetItem* Item = chkFileLayout->item(I);
      Item->setCheckState(FileLayoutChecked(O, I) ? Qt::Checked : Qt::Unchecked);
      Qt::ItemFlags Flags = Qt::ItemIsUserCheckable | Qt::ItemIsSelectable;
      if (FileLayoutEnabled(O, I)) Flags |= Qt::ItemIsEnabled;
      Item->setFlags(Flags);
    }
  }
  SetIndex(cbxOutFormat, ItemOfOutputFormat(O.OutputFormat));
}

void TMainForm::ShowDDRControls() {
  const TDDRPage& P = FApp->DDRPage;
  const TDDRLayout& L = FApp->DDRObj.Layout;
  SetText(edtDDRLog, P.Controls.edtDDRLog);
  SetText(edtDDROutput, P.Controls.edtDDROutput);
  SetIndex(cbxOutFormat1, ItemOfOutputFormat(L.DDROutputFormat));
  SetChecked(chkAppend1, L.AppendDDRData);
  SetChecked(chkHeader, L.AddHeader);
  SetChecked(chkData, L.AddData);
  SetChecked(chkNotes, L.AddNotes);
  SetChecked(chkUSGSStation, L.USGSStation);
  SetChecked(chkUSGSDevice, L.USGSDevice);
  SetText(edtDevice, P.edtDevice());
  edtDevice->setEnabled(P.edtDeviceEnabled());
  SetIndex(cbxDtFormatDDR, FApp->cbxDtFormatDDR);
}

void TMainForm::ControlsChanged() {
  ShowLogPrnControls();
  ShowDDRControls();
  SetText(edtMax, FApp->GraphLimits.edtMax);
  SetText(edtMin, FApp->GraphLimits.edtMin);
  const TRamCardPage& R = FApp->RamCardPage;
  SetText(edtOutFile, R.RAMDirectory);
  QStringList Drives;
  for (const std::string& D : R.cbxRamdir.Items) Drives.append(FromEngine(D));
  QStringList Shown;
  for (int I = 0; I < cbxRamdir->count(); ++I) Shown.append(cbxRamdir->itemText(I));
  const QSignalBlocker Block(cbxRamdir);
  if (Shown != Drives) {
    cbxRamdir->clear();
    cbxRamdir->addItems(Drives);
  }
  cbxRamdir->setEditText(FromEngine(R.cbxRamdir.Text));
}

void TMainForm::RamFilesChanged() {
  const TRamCardPage& R = FApp->RamCardPage;
  {
    const QSignalBlocker Block(chklbxRamFiles);
    chklbxRamFiles->clear();
    for (const TRamFileItem& Item : R.chklbxRamFiles.Items)
      AddCheckItem(chklbxRamFiles, FromEngine(Item.Text), Item.Checked);
    chklbxRamFiles->setCurrentRow(R.chklbxRamFiles.ItemIndex);
  }
  const QSignalBlocker Block(cbxRamdir);
  cbxRamdir->setEditText(FromEngine(R.cbxRamdir.Text));
}

void TMainForm::ChartColoursChanged() {
  const TChartColours& C = FApp->Colours;
  SetIndex(STBackColor, ColourIndex(C.BackgroundColor));
  SetIndex(STTextColor, ColourIndex(C.TextColor));
  ChartLog->ShowColours(C);
}

void TMainForm::AddChartMenuEntries(QMenu& Menu) {
  auto Add = [&](std::string_view Text, const char* Name, auto Work) {
    QAction* Entry = Menu.addAction(Caption(Text));
    Entry->setObjectName(QString::fromLatin1(Name));
    connect(Entry, &QAction::triggered, this, [this, Work] { Run(Work); });
  };
  Add(MenuSaveChartPng, "mnuSaveChartPng",
      [this] { FApp->SaveChartExecute(*ChartLog, TChartFileType::Png); });
  Add(MenuSaveChartPdf, "mnuSaveChartPdf",
      [this] { FApp->SaveChartExecute(*ChartLog, TChartFileType::Pdf); });
  Add(MenuExportVisibleRange, "mnuExportVisibleRange", [this] {
    // Whole milliseconds within what shows.
    FApp->ExportVisibleRangeExecute(
        MSecsToDateTime(qint64(std::ceil(ChartLog->VisibleMinimumMSecs()))),
        MSecsToDateTime(qint64(std::floor(ChartLog->VisibleMaximumMSecs()))));
  });
}

void TMainForm::FocusControl(TFocusTarget Target) {
  QWidget* Widget = nullptr;
  switch (Target) {
  case TFocusTarget::edtFilename:
    Widget = edtFilename[PageLogPrn];
    break;
  case TFocusTarget::edtFilename2:
    Widget = edtFilename[PageLogPlot];
    break;
  case TFocusTarget::edtFilename3:
    Widget = edtFilename[PageLogStat];
    break;
  case TFocusTarget::cbxRamdir:
    Widget = cbxRamdir;
    break;
  case TFocusTarget::edtOutFile:
    Widget = edtOutFile;
    break;
  case TFocusTarget::edtDDRLog:
    Widget = edtDDRLog;
    break;
  }
  if (Widget) Widget->setFocus(Qt::OtherFocusReason);
}

void TMainForm::CloseRequested() {
  // Closed once the command that asked for it has returned.
  QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

// --- the selection's view ------------------------------------------------------

void TMainForm::FileNameShown(int Page, const std::string& Text) {
  if (IsLogPage(Page)) SetText(edtFilename[Page], Text);
}

void TMainForm::FocusFileName(int /*Page*/) {
  // The box of the log page that is showing; a hidden page takes no focus.
  const int Showing = PgCntrlLog->currentIndex();
  if (IsLogPage(Showing)) edtFilename[Showing]->setFocus(Qt::OtherFocusReason);
}

void TMainForm::SensorsCleared() {
  for (QListWidget* List : chklbxSensors) {
    const QSignalBlocker Block(List);
    List->clear();
  }
}

void TMainForm::SensorAdded(const std::string& FullName) {
  const QString Name = FromEngine(FullName);
  for (QListWidget* List : chklbxSensors) {
    const QSignalBlocker Block(List);
    AddCheckItem(List, Name, false);
  }
}

void TMainForm::SensorCheckShown(int Index, bool Checked) {
  for (QListWidget* List : chklbxSensors) SetItemCheck(List, Index, Checked);
}

void TMainForm::SelectAllShown(bool Checked) {
  for (QCheckBox* Box : chkSelectAll) SetChecked(Box, Checked);
}

void TMainForm::FirstSensorHighlighted() {
  for (QListWidget* List : chklbxSensors) {
    const QSignalBlocker Block(List);
    List->setCurrentRow(0);
  }
}

void TMainForm::StartPickerShown(int Page, TDateTime Date) {
  if (!IsLogPage(Page)) return;
  const QSignalBlocker Block(dtpStart[Page]);
  dtpStart[Page]->setDate(DateOfDateTime(Date));
}

void TMainForm::EndPickerShown(int Page, TDateTime Date) {
  if (!IsLogPage(Page)) return;
  const QSignalBlocker Block(dtpEnd[Page]);
  dtpEnd[Page]->setDate(DateOfDateTime(Date));
}

void TMainForm::DtFormatShown(int Page, int Index) {
  if (IsLogPage(Page)) SetIndex(cbxDtFormat[Page], Index);
}

} // namespace quorvin::gui
