// SPDX-License-Identifier: GPL-3.0-or-later
// The main window TMainForm: menu, tool bar, the five pages, the output area
// (text pane and chart) and the two-panel status bar. It turns widget events
// into calls on the application object and draws what the application's
// state and observers say; it decides nothing of its own.
#pragma once

#include <QMainWindow>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/Application.h"
#include "app/Captions.h"
#include "app/LogSelection.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace quorvin::chart {
class TChartPanel;
}

namespace quorvin::gui {

using chart::TChartPanel;

class TQtBusyCursor;
class TQtHelpViewer;
class TQtPrinter;
class TQtStatusBar;
class TTextPane;

// Services the window would otherwise make with Qt; tests give fakes for
// those that would wait for a person (null: the window's own).
struct TInjectedServices {
  IMessageDialog* Dialog = nullptr;
  IFileDialog* FileDialog = nullptr;
  IFolderBrowser* FolderBrowser = nullptr;
  IPrinter* Printer = nullptr;
  IHelpViewer* Help = nullptr;
  IMountPoints* Mounts = nullptr;
  IExportDialog* ExportDialog = nullptr;
  IZoneDialog* ZoneDialog = nullptr;
};

class TMainForm final : public QMainWindow, public IAppView, public ISelectionView {
  Q_OBJECT
public:
  explicit TMainForm(const TInjectedServices& Injected = {}, QWidget* Parent = nullptr);
  ~TMainForm() override;

  // Start-up: settings from StartDir's Quorvin.ini, the first page, the
  // design size, centred for its full height and then collapsed.
  void FormCreate(const std::string& StartDir, const std::string& ProgramDir);

  TApplication& App() { return *FApp; }
  TTextPane& Pane() { return *RedtDisplay; }
  TChartPanel& Chart() { return *ChartLog; }
  TQtStatusBar& Status() { return *FStatus; }
  TQtBusyCursor& Busy() { return *FBusy; }
  QAction* Action(captions::TActionId Id) const { return FActions[std::size_t(Id)]; }
  // The window's own printer, when none was injected.
  TQtPrinter* Printer() const;
  // The window's own help viewer, when none was injected.
  TQtHelpViewer* HelpViewer() const;

  // A file dropped on the window (or named on the command line), opened on
  // the page its kind belongs to (TApplication::OpenFile).
  void OpenDroppedFile(const QString& Path);
  // The files named on the command line, relative to the current folder:
  // the first is opened as a drop of it would be, the others go into the
  // recent files (TApplication::OpenFiles).
  void OpenStartFiles(const QStringList& Files);
  // Moves a dialog of the window (the about box) over the window's middle.
  void PlaceOverWindow(QWidget& Box) const;
  // F1 on Widget: the topic of its help context.
  void ContextHelp(QWidget* Widget);
  // Shows a page as a click on its tab does.
  void ShowPage(int Page);

  int CollapsedHeight() const { return FCollapsedHeight; }

  // --- IAppView ------------------------------------------------------------
  void ViewStateChanged() override;
  void ControlsChanged() override;
  void RamFilesChanged() override;
  void ChartColoursChanged() override;
  void RecentFilesChanged() override;
  void FocusControl(TFocusTarget Target) override;
  void CloseRequested() override;

  // --- ISelectionView ------------------------------------------------------
  void FileNameShown(int Page, const std::string& Text) override;
  void FocusFileName(int Page) override;
  void SensorsCleared() override;
  void SensorAdded(const std::string& FullName) override;
  void SensorCheckShown(int Index, bool Checked) override;
  void SelectAllShown(bool Checked) override;
  void FirstSensorHighlighted() override;
  void StartPickerShown(int Page, TDateTime Date) override;
  void EndPickerShown(int Page, TDateTime Date) override;
  void DtFormatShown(int Page, int Index) override;

protected:
  bool event(QEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  void showEvent(QShowEvent* Event) override;
  void dragEnterEvent(QDragEnterEvent* Event) override;
  void dropEvent(QDropEvent* Event) override;

private:
  // --- building ------------------------------------------------------------
  // The services the application is given: those injected, the window's own
  // for the rest.
  void MakeServices(const TInjectedServices& Injected);
  void BuildPages();
  void BuildActions();
  void BuildMenus();
  void BuildToolBar();
  QWidget* BuildLogSelection(int Page);
  QWidget* BuildLogPrnOptions();
  QWidget* BuildLogPlotOptions();
  QWidget* BuildRamCardPage();
  QWidget* BuildDDRLogPage();
  QWidget* Hinted(QWidget* Widget, std::string_view Hint);
  // --- bindings (MainFormBindings.cpp) ---------------------------------------
  void ConnectLogSelection(int Page);
  void ConnectOptions();

  // --- running ---------------------------------------------------------------
  // Runs one command or event at a time; another arriving meanwhile (from a
  // queued event) is dropped.
  void Run(const std::function<void()>& Work);
  void RunAction(captions::TActionId Id);
  void About1Click();
  void RamDriveChosen();
  // The LOGPLOT page's entries of the chart's context menu.
  void AddChartMenuEntries(QMenu& Menu);
  void SetOutputAreaShown(bool Shown);
  // Shrinks and moves the window, frame included, into the screen's
  // available area: a menu above the screen cannot be reached.
  void FitOnScreen();
  void ShowLogPrnControls();
  void ShowDDRControls();
  // A control was left: its exit handler runs now, or after the command
  // that moved the focus.
  void ControlExit(std::function<void()> Handler);

  std::unique_ptr<TApplication> FApp;
  std::unique_ptr<TAppServices> FServices;
  // The window's own services (those not injected).
  std::unique_ptr<IMessageDialog> FOwnDialog;
  std::unique_ptr<IFileDialog> FOwnFileDialog;
  std::unique_ptr<IFolderBrowser> FOwnFolderBrowser;
  std::unique_ptr<IPrinter> FOwnPrinter;
  std::unique_ptr<IHelpViewer> FOwnHelp;
  std::unique_ptr<IMountPoints> FOwnMounts;
  std::unique_ptr<IExportDialog> FOwnExportDialog;
  std::unique_ptr<IZoneDialog> FOwnZoneDialog;
  std::unique_ptr<TQtStatusBar> FStatus;
  std::unique_ptr<TQtBusyCursor> FBusy;

  bool FRunning = false;
  bool FRamDrivePending = false;
  bool FCreated = false;
  bool FDestroyed = false;
  bool FOutputShown = false;
  int FCollapsedHeight = 0;
  int FOutputAreaHeight = 315;
  int FPageAreaHeight = 251;

  // --- widgets, named as the program names its controls ------------------
  std::array<QAction*, captions::ActionCount> FActions{};
  QAction* About1 = nullptr;
  QMenu* mnuRecentFiles = nullptr;
  QToolButton* tbtnOpen = nullptr;
  QToolButton* tbtnSave = nullptr;
  QToolButton* tbtnPrint = nullptr;
  QToolButton* tbtnDisplay = nullptr;
  QToolButton* tbtnHeader = nullptr;
  QToolButton* tbtnGraph = nullptr;
  QToolButton* tbtnStats = nullptr;
  QToolButton* tbtnRefresh = nullptr;
  QToolButton* tbtnHelp = nullptr;

  QWidget* PnlMain = nullptr;
  QTabWidget* PgCntrlLog = nullptr;
  QWidget* PnlOptions = nullptr;
  TTextPane* RedtDisplay = nullptr;
  TChartPanel* ChartLog = nullptr;

  // The log selection, once per log page.
  std::array<QLineEdit*, LogPageCount> edtFilename{};
  std::array<QPushButton*, LogPageCount> btnBrowse{};
  std::array<QDateEdit*, LogPageCount> dtpStart{};
  std::array<QDateEdit*, LogPageCount> dtpEnd{};
  std::array<QComboBox*, LogPageCount> cbxDtFormat{};
  std::array<QCheckBox*, LogPageCount> chkSelectAll{};
  std::array<QListWidget*, LogPageCount> chklbxSensors{};

  // LOGPRN.
  QComboBox* cbxOutFormat = nullptr;
  QCheckBox* chkAppend = nullptr;
  QCheckBox* chkSysFormat = nullptr;
  QGroupBox* gbxStdzero = nullptr;
  QButtonGroup* FStdzeroButtons = nullptr;
  QListWidget* chkFileLayout = nullptr;

  // LOGPLOT.
  QComboBox* STBackColor = nullptr;
  QComboBox* STTextColor = nullptr;
  QLineEdit* edtMax = nullptr;
  QLineEdit* edtMin = nullptr;

  // RAMCARD.
  QComboBox* cbxRamdir = nullptr;
  QListWidget* chklbxRamFiles = nullptr;
  QLineEdit* edtOutFile = nullptr;
  QPushButton* btnBrowseDir = nullptr;

  // DDRLOG.
  QLineEdit* edtDDRLog = nullptr;
  QPushButton* btnDDRBrowse = nullptr;
  QComboBox* cbxOutFormat1 = nullptr;
  QCheckBox* chkAppend1 = nullptr;
  QLineEdit* edtDDROutput = nullptr;
  QPushButton* btnOutBrowse = nullptr;
  QComboBox* cbxDtFormatDDR = nullptr;
  QCheckBox* chkHeader = nullptr;
  QCheckBox* chkData = nullptr;
  QCheckBox* chkNotes = nullptr;
  QCheckBox* chkUSGSStation = nullptr;
  QCheckBox* chkUSGSDevice = nullptr;
  QLineEdit* edtDevice = nullptr;
};

} // namespace quorvin::gui
