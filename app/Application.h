// SPDX-License-Identifier: GPL-3.0-or-later
// The application object: everything the main window owns, as plain state,
// and every command's flow. The window turns widget events into calls on
// it and draws what its state and its observer say; quorvin-cli turns its
// arguments into the same calls. Neither decides anything on its own.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Captions.h"
#include "app/LogPrnControls.h"
#include "app/LogSelection.h"
#include "app/RecentFiles.h"
#include "core/ChartService.h"
#include "core/CommandMode.h"
#include "core/DateTimeFormat.h"
#include "core/UiServices.h"
#include "ddr/DDRObj.h"
#include "ddr/DDRPage.h"
#include "ramcard/MountPoints.h"
#include "ramcard/RamCardPage.h"
#include "report/Graph.h"
#include "report/LogPrnOptions.h"
#include "report/ReadingsExport.h"
#include "report/Statistics.h"

namespace quorvin {

class TIniFile;
struct TViewToggle;

// Every service a command may need. The window implements them with
// widgets, quorvin-cli with its console and the "No" services of core/, the
// tests with recording fakes.
struct TAppServices {
  IMessageDialog& Dialog;
  IStatusBar& Status;
  ITextPane& Pane;
  IBusyCursor& Busy;
  IChart& Chart;
  IFileDialog& FileDialog;
  IFolderBrowser& FolderBrowser;
  IPrinter& Printer;
  IHelpViewer& Help;
  IMountPoints& Mounts;
};

// The mount points of the system the program runs on, which the window
// offers on the RAMCARD page.
std::unique_ptr<IMountPoints> SystemMountPoints();

// What a command came to: whether it did what it was asked, and the file it
// wrote, if any. Front ends take their exit status from it, never from the
// wording of a message.
struct TCommandOutcome {
  bool Succeeded = true;
  std::string WrittenFile;
  // Nothing was made because no sensor was checked: the user asked for
  // nothing. (A log that holds no sensors at all is a failure instead.)
  bool NoSensorChecked = false;

  // A command that stopped, with nothing written.
  static TCommandOutcome Failed() { return TCommandOutcome{false, {}}; }
};

// File > Export: the file and its format, the clock's time zone, and the
// days (none: from the first reading, to the last).
struct TExportChoice {
  TReadingsFormat Format = TReadingsFormat::Csv;
  std::string Zone;
  std::string FileName;
  std::optional<TDateTime> FirstDay, LastDay;
};

// The window's File > Export dialog: shows Choice and lets the user change
// the format, the zone and the file; false when cancelled. Changing the
// format proposes ExportTarget's name for it.
class IExportDialog {
public:
  virtual ~IExportDialog() = default;
  virtual bool Execute(TExportChoice& Choice) = 0;
};

// The window's Options > Time Zone dialog: shows Zone, the zone the loggers'
// clocks keep, for the user to change. Each zone the user confirms is put to
// Accepted, and the dialog closes only on one it accepts (Accepted has said
// why it refused the others); false when cancelled.
class IZoneDialog {
public:
  virtual ~IZoneDialog() = default;
  virtual bool Execute(std::string& Zone,
                       const std::function<bool(const std::string&)>& Accepted) = 0;
};

// The controls that can be given the keyboard focus by a command.
enum class TFocusTarget {
  edtFilename,
  edtFilename2,
  edtFilename3,
  cbxRamdir,
  edtOutFile,
  edtDDRLog
};

// Check marks of the view entries of the Options menu and the pressed state
// of their tool buttons. The menu mark is the one that says a view is on.
struct TViewMarks {
  bool mnuDisplay = false;
  bool mnuHeader = false;
  bool mnuGraph = false;
  bool mnuStatistics = false;
  bool tbtnDisplay = false;
  bool tbtnHeader = false;
  bool tbtnGraph = false;
  bool tbtnStats = false;
};

// The four view buttons of the tool bar that change with the page.
struct TToolButtonsEnabled {
  bool tbtnDisplay = true;
  bool tbtnHeader = true;
  bool tbtnGraph = false;
  bool tbtnStats = false;
};

// The window's side of the application state; every call tells it to show
// that part anew from the state.
class IAppView {
public:
  virtual ~IAppView() = default;
  // The marks, the visible pane or chart, the output area, the tool-button
  // enables or the page showing changed.
  virtual void ViewStateChanged() {}
  // The program changed option controls (settings loaded, the DDR output
  // name proposed, the device box, the RAM card output folder, ...).
  virtual void ControlsChanged() {}
  // The RAM card's file list was filled anew.
  virtual void RamFilesChanged() {}
  // The chart's back wall or text colour changed.
  virtual void ChartColoursChanged() {}
  // The list of recent files changed.
  virtual void RecentFilesChanged() {}
  virtual void FocusControl(TFocusTarget /*Target*/) {}
  // File, Exit: close the main window.
  virtual void CloseRequested() {}
};

// The chart's colours, by the names the colour lists show and the settings
// file keeps (one of ColourNames of app/Settings.h).
struct TChartColours {
  std::string BackgroundColor = "clWhite";
  std::string TextColor = "clBlack";
};

class TApplication {
  // First, so every page below can be given them.
  TAppServices& FServices;
  TUiServices FUi;

public:
  explicit TApplication(TAppServices& Services);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  void AttachView(IAppView* View) { FView = View ? View : &FNoView; }
  // The window's export dialog (none: File > Export does nothing).
  void AttachExportDialog(IExportDialog* Dialog) { FExportDialog = Dialog; }
  // The window's time-zone dialog (none: Options > Time Zone does nothing).
  void AttachZoneDialog(IZoneDialog* Dialog) { FZoneDialog = Dialog; }
  TAppServices& Services() { return FServices; }
  TUiServices& Ui() { return FUi; }

  // --- state -----------------------------------------------------------------
  // The one current date-time format and the separators in force.
  TDateTimeFormat Format;
  TCommandMode CommandMode = cmNone;
  // The log chosen on the three log pages, its sensors and dates.
  TLogSelection Selection;
  // The options, each held once, where the engine that uses it reads it:
  // the window's controls show and set them directly (app/LogPrnControls.h
  // has the LOGPRN page's rules), the settings table loads and saves them.
  // The DDRLog options are DDRObj.Layout, RAMDirectory RamCardPage's.
  TLogPrnOptions LogPrn;
  TChartColours Colours;
  // The zone the loggers' clocks keep (LoggerTimeZone): empty for none, an
  // IANA name or a fixed offset. The analysis outputs and the chart's
  // read-out read it.
  std::string LoggerTimeZone;
  // Entry of cbxDtFormatDDR (-1: none); the log pages' lists are the
  // selection's.
  int cbxDtFormatDDR = -1;
  // The DDR converter lives as long as the application, so the setup, base
  // values and master copy carry from one import to the next. Its layout
  // holds the DDRLog options.
  TDDRObj DDRObj;
  TDDRPage DDRPage;
  // The RAMCARD page, its reader and RAMDirectory.
  TRamCardPage RamCardPage;
  // Kept from one command to the next.
  TStatAccumulators StatAccumulators;
  TGraphLimits GraphLimits;
  // The figures of the statistics report the pane shows.
  TStatTable StatTable;

  // View state.
  int ActivePage = PageLogPrn;
  TViewMarks Marks;
  TToolButtonsEnabled ToolButtons;
  bool OutputAreaShown = false;
  bool PaneVisible = false;
  bool ChartVisible = false;
  // The open dialog's folder for its next use, kept from one run to the
  // next with the files opened last.
  std::string OpenDialogFolder;
  TRecentFiles RecentFiles;
  // The folder the program was started from and the program's own folder.
  std::string StartDir;
  std::string ProgramDir;

  // --- start-up and shut-down --------------------------------------------------
  // Loads the settings file of StartDir (with its trailing separator) into
  // the options and the controls and sets the initial view state.
  void FormCreate(const std::string& StartDirectory, const std::string& ProgramDirectory);
  // The same with settings already in hand (the batch tool's --set).
  void FormCreate(TIniFile& Ini);
  // Writes the settings file; when it cannot be written, says so (the reason
  // in the dialog's detail) and answers false.
  bool FormDestroy();
  bool FormDestroy(TIniFile& Ini);
  std::string SettingsFileName() const { return StartDir + "Quorvin.ini"; }

  // --- the commands ----------------------------------------------------------
  TCommandOutcome FileOpenExecute(int Tag);
  // Opens Path as Open would with Path chosen, on the page its kind belongs
  // to (PageForFile), which shows first as a click on its tab shows it; a
  // folder or a RAM card dump becomes the RAMCARD page's drive. For a file
  // dropped on the window, named at start or picked from a list of files.
  TCommandOutcome OpenFile(const std::string& Path);
  // The page OpenFile opens Path on while Page shows: RAMCARD for a folder,
  // a RAM card dump, or a file of no known kind while RAMCARD shows; DDRLOG
  // for a DDR file, or a file of no known kind while DDRLOG shows; else a
  // log page, the one showing or LOGPRN.
  static int PageForFile(const std::string& Path, int Page);
  // Files named together (the desktop's list): the first opened by
  // OpenFile, the others that exist put below it in the recent files, in
  // their order.
  TCommandOutcome OpenFiles(const std::vector<std::string>& Paths);
  TCommandOutcome FileSaveExecute();
  TCommandOutcome FilePrintExecute();
  // The command of a menu entry or tool button (Open with the File, Open tag).
  TCommandOutcome Execute(captions::TActionId Id);
  void FileExitExecute();
  TCommandOutcome OptionsDisplayExecute();
  TCommandOutcome OptionsHeaderExecute();
  TCommandOutcome OptionsGraphExecute();
  TCommandOutcome OptionsStatsExecute();
  TCommandOutcome OptionsRefreshExecute();
  void HelpExecute();
  // F1 on a control whose help context is Context.
  void ContextHelp(int Context);

  // The statistics report the pane shows as tab-separated text for a
  // spreadsheet; empty when the pane shows no statistics report.
  std::string StatisticsTableText() const;

  // --- the chart's context menu (LOGPLOT) --------------------------------------
  // "Save chart as PNG..." / "...PDF...": asks for a file, then SaveChart.
  TCommandOutcome SaveChartExecute(IChartWriter& Chart, TChartFileType Type);
  // Writes the chart as it shows now to FileName.
  TCommandOutcome SaveChart(IChartWriter& Chart, TChartFileType Type, const std::string& FileName);
  // Writes it to Out instead (the batch tool's standard output), called Name
  // in the messages.
  TCommandOutcome SaveChart(IChartWriter& Chart, TChartFileType Type, std::ostream& Out,
                            const std::string& Name);
  // "Export visible range...": the graphed sensors from From to To (the
  // chart's visible times) into a file the user picks, through ExportRange.
  TCommandOutcome ExportVisibleRangeExecute(TDateTime From, TDateTime To);
  // "Statistics of visible range": minimum, maximum, mean and samples of
  // each graphed sensor over the whole seconds From to To, in a message.
  TCommandOutcome VisibleRangeStatisticsExecute(TDateTime From, TDateTime To);
  // The LOGPRN Save, with the LOGPRN options, of the sensors checked in
  // Sensors (by position) and only the lines timed From to To (whole
  // seconds within them), into FileName: an Excel workbook when its
  // extension is .XLS, text otherwise. The selection is left as it was.
  TCommandOutcome ExportRange(TDateTime From, TDateTime To, const std::vector<bool>& Sensors,
                              const std::string& FileName);
  // File > Export: the dialog proposes CSV beside the log, LoggerTimeZone
  // and the pickers' days; a zone accepted there becomes LoggerTimeZone.
  TCommandOutcome FileExportExecute();
  // The checked sensors of the selected log as ISO 8601 CSV
  // or NetCDF into Choice.FileName, the times placed in Choice.Zone.
  TCommandOutcome ExportReadingsTo(const TExportChoice& Choice);
  // The file an export of LogFile writes unless told another: beside it,
  // its extension replaced by ".csv" or ".nc".
  static std::string ExportTarget(const std::string& LogFile, TReadingsFormat Format);
  // Options > Time Zone: the dialog proposes LoggerTimeZone and refuses, in
  // a message, what is not a zone; the zone accepted becomes LoggerTimeZone.
  TCommandOutcome OptionsTimeZoneExecute();

  // --- page and control events ---------------------------------------------------
  // The page control now shows NewPage.
  void PgCntrlLogChange(int NewPage);
  // A file-name box's text changed (Page: the page whose box it is).
  void LogFileChange(int Page, const std::string& Text);
  // Leaving a file-name box (the three log pages and DDRLOG).
  void edtFilenameExit(int Page);
  // The DDR output-name box changed, and was left.
  void edtDDROutputChange(const std::string& Text);
  void edtDDROutputExit();
  // A date-format list changed to Name (the three log pages and DDRLOG).
  void DtFormatChange(int Page, const std::string& Name);
  // The output-format list of Page (LOGPRN or DDRLOG) changed to Index.
  void cbxOutFormatChange(int Page, int Index);
  void chkFileLayoutClickCheck(int Item, bool Checked);
  void gbxStdzeroClick(int Item);
  // Use System Format: the separators follow at once.
  void chkSysFormatClick(bool Checked);
  // A colour list changed to its entry Index (a colour of ColourNames).
  void STBackColorChange(int Index);
  void STTextColorChange(int Index);
  void chkUSGSDeviceClick(bool Checked);
  void btnBrowseDirClick();
  // True when the drive's files are listed.
  bool cbxRamdirClick(const std::string& Drive);

  // --- options -------------------------------------------------------------------
  // The settings were read: the date-format lists take the format's name and
  // the view shows every option anew.
  void ShowOptions();
  // The log reader loaded, for titles: its display name (empty when none).
  std::string LoadedLogDisplayName() const;
  // The file Save on Page would write for the file FileName with the options
  // in force (on DDRLOG, TypedOutput is a name typed into the output box,
  // empty for the proposed one); empty where Save writes no file of its own.
  std::string SaveTarget(int Page, const std::string& FileName,
                         const std::string& TypedOutput = std::string()) const;

private:
  // Open's steps once the file is chosen, Tag being the invoker's.
  TCommandOutcome OpenChosenFile(int Tag, const std::string& Chosen);
  // Lists Path among the recent files when it opened; forgets it when it
  // is gone.
  void Remember(const std::string& Path, bool Opened);
  void ClearMessage();
  void Message(std::string_view Text);
  bool Prologue(std::string_view MissingFileText);
  void ShowOutputArea(bool Show);
  void ShowPane();
  void ShowChart();
  // Switching a view on switches the other three's marks off.
  void SetOnlyMark(bool TViewMarks::*Menu);
  void ViewChanged() { FView->ViewStateChanged(); }
  // A view command: switches View off where it is on, else on where OwnPage
  // and runs it (Run), with the marks, the mode and the output area to match.
  TCommandOutcome ToggleView(const TViewToggle& View, bool OwnPage,
                             const std::function<void(TCommandOutcome&)>& Run);
  bool RunLogPrnDisplay();
  bool RunLogHeader();
  // DDR Display and DDR Header into the pane: false when they failed, the
  // message panel then saying why (FailureText unless the driver has).
  bool RunDDRDisplay(std::string_view FailureText);
  bool RunDDRHeader(std::string_view FailureText);
  TCommandOutcome ChartSaved(bool Written, const std::string& Name, const std::string& Reason);
  // True when the chart still shows the selected log; says so otherwise.
  bool GraphShowsSelection();
  bool RunStatistics();
  bool RunGraph();
  // LoggerTimeZone becomes Zone, when it is one, and the chart names it.
  void UseLoggerTimeZone(const std::string& Zone);
  // The outcome of a command that found no sensor checked.
  void NothingChecked(TCommandOutcome& Outcome) const;
  // A data pass over a mostly empty grid is put to the user first.
  bool LongPassAccepted();
  void RemoveAllSeries();

  IAppView FNoView;
  IAppView* FView = &FNoView;
  IExportDialog* FExportDialog = nullptr;
  IZoneDialog* FZoneDialog = nullptr;
  // What the chart shows: the log and the sensors it was drawn for.
  std::string FGraphedLog;
  std::vector<bool> FGraphedSensors;
};

} // namespace quorvin
