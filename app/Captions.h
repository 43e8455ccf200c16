// SPDX-License-Identifier: GPL-3.0-or-later
// Every text the window shows of its own: captions, hints, list entries,
// the actions, the open dialog's file types, the help contexts, and the
// messages the commands put in the message panel. The window and its tests
// take them from here, so a text exists once.
#pragma once

#include <array>
#include <string_view>

namespace quorvin::captions {

// --- the main window and the about box ----------------------------------
inline constexpr std::string_view ProgramName = "Quorvin";
inline constexpr std::string_view AboutCaption = "About Quorvin";
inline constexpr std::string_view AboutVersionPrefix = "Version ";
inline constexpr std::string_view AboutOK = "OK";
// The copyright and the licence, as the about box and quorvin-cli --version
// state them.
inline constexpr std::string_view CopyrightLine = "Copyright (C) The Quorvin developers";
inline constexpr std::string_view LicenceLine =
    "License GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.";
inline constexpr std::string_view WarrantyLines =
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.";

inline constexpr std::string_view MenuFile = "File";
inline constexpr std::string_view MenuOptions = "Options";
inline constexpr std::string_view MenuHelp = "Help";
inline constexpr std::string_view MenuAbout = "About...";

// --- the actions ----------------------------------------------------------
enum TActionId {
  actFileOpen,
  actFileSave,
  actFilePrint,
  actFileExit,
  actOptionsDisplay,
  actOptionsHeader,
  actOptionsGraph,
  actOptionsStats,
  actOptionsRefresh,
  actHelp,
  ActionCount
};

struct TActionText {
  TActionId Id;
  std::string_view Name;
  std::string_view Caption; // "&" marks the accelerator letter
  char ShortcutLetter;      // Ctrl plus this letter; 0 for none
  std::string_view Hint;
};

inline constexpr std::array<TActionText, ActionCount> Actions = {{
    {actFileOpen, "FileOpen", "&Open", 'O', "Open File"},
    {actFileSave, "FileSave", "&Save", 'S', "Save Log file as .prn file"},
    {actFilePrint, "FilePrint", "&Print", 'P', "Will print the data in Display Screen "},
    {actFileExit, "FileExit", "E&xit", 0, "Exit Application "},
    {actOptionsDisplay, "OptionsDisplay", "&Display", 'D', "Display Log File"},
    {actOptionsHeader, "OptionsHeader", "&Header", 'H', "Display Log Header"},
    {actOptionsGraph, "OptionsGraph", "&Graph", 'G', "Plot logged data"},
    {actOptionsStats, "OptionsStats", "S&tatistics", 'T', "Do statistics on data"},
    {actOptionsRefresh, "OptionsRefresh", "&Refresh", 'R', "Refresh Screen"},
    {actHelp, "Help", "Quorvin &Help", 0, "Quorvin Help"},
}};

// The menus, in order.
inline constexpr std::array<TActionId, 4> FileMenu = {actFileOpen, actFileSave, actFilePrint,
                                                      actFileExit};
inline constexpr std::array<TActionId, 5> OptionsMenu = {
    actOptionsDisplay, actOptionsHeader, actOptionsGraph, actOptionsStats, actOptionsRefresh};

// Tool buttons with a hint of their own (the others show their action's).
inline constexpr std::string_view HintToolOpen = "Open Log File";
inline constexpr std::string_view HintToolSave = "Save Logfile or transfer RAM card files";
inline constexpr std::string_view HintToolPrint = "Print Display Screen data or print graph";
inline constexpr std::string_view HintToolStats = "Do statistics on log data";

// --- pages ----------------------------------------------------------------
inline constexpr std::array<std::string_view, 5> PageCaptions = {"LOGPRN", "LOGPLOT", "LOGSTAT",
                                                                 "RAMCARD", "DDRLOG"};

// The log selection group, alike on the three log pages.
inline constexpr std::string_view LabelLogFileName = "Log File Name:";
inline constexpr std::string_view HintLogFileName = "Enter name of a valid R630 Log file";
inline constexpr std::string_view ButtonBrowse = "Browse...";
inline constexpr std::string_view HintBrowseLog = "Browse for R630 log files";
inline constexpr std::string_view GroupDateOptions = "Date Options:";
inline constexpr std::string_view LabelStartDate = "Start Date:";
inline constexpr std::string_view HintStartDate = "Start date of R630 log file";
inline constexpr std::string_view LabelEndDate = "End Date:";
inline constexpr std::string_view HintEndDate = "End date of R630 log file";
inline constexpr std::string_view LabelDateFormat = "Date Format:";
inline constexpr std::string_view HintDateFormat = "Date Format";
// The names of cbxDtFormat (LOGPRN), in list order.
inline constexpr std::array<std::string_view, 10> LogPrnDtFormatNames = {
    "MMDDYY HHMM",         "DDMMYY HHMM",        "YYMMDD HHMM",         "MM/DD/YY HH:MM:SS",
    "DD/MM/YY HH:MM:SS",   "YY/MM/DD HH:MM:SS",  "MM/DD/YYYY HH:MM:SS", "MM/DD/YYYY HH:MM",
    "DD/MM/YYYY HH:MM:SS", "YYYY/MM/DD HH:MM:SS"};
// The names of the LOGPLOT, LOGSTAT and DDRLOG lists: the same without
// "MM/DD/YYYY HH:MM".
inline constexpr std::array<std::string_view, 9> OtherDtFormatNames = {
    "MMDDYY HHMM",         "DDMMYY HHMM",         "YYMMDD HHMM",
    "MM/DD/YY HH:MM:SS",   "DD/MM/YY HH:MM:SS",   "YY/MM/DD HH:MM:SS",
    "MM/DD/YYYY HH:MM:SS", "DD/MM/YYYY HH:MM:SS", "YYYY/MM/DD HH:MM:SS"};
inline constexpr std::string_view CheckSelectAll = "Select all Sensors";
inline constexpr std::string_view GroupSensors = "Sensors";
inline constexpr std::string_view HintSensors = "List of sensors in the R630 logfile";

// LOGPRN options.
inline constexpr std::string_view LabelOutputFormat = "Output Format:";
inline constexpr std::string_view HintOutputFormat = "Type of output format - Text or Excel";
inline constexpr std::array<std::string_view, 2> OutputFormatItems = {"TEXT", "EXCEL"};
inline constexpr std::string_view CheckAppend = "Always Append Data";
inline constexpr std::string_view CheckSysFormat = "Always Use System Format";
inline constexpr std::string_view GroupFileLayout = "File Layout Options:";
inline constexpr std::string_view HintFileLayout = "File format options";
inline constexpr std::array<std::string_view, 3> NonRecordedItems = {
    "Add Dashes to Non-recorded Data ", "Add Zero to Non-recorded Data ",
    "Exclude Non-recorded Data "};
inline constexpr std::array<std::string_view, 5> FileLayoutItems = {
    "Display Time as Seconds", "Display Date as Julian Day ", "Fixed Column Output",
    "Insert Blank Line Between Days", "R600 ASCII Format"};

// LOGPLOT options.
inline constexpr std::string_view LabelBackColor = "Background Color:";
inline constexpr std::string_view HintBackColor = "Change background color of graph";
inline constexpr std::string_view LabelTextColor = "Text Color:";
inline constexpr std::string_view HintTextColor = "Change color of graph text";
inline constexpr std::string_view GroupLeftAxis = "Set Scale for Left Axis:";
inline constexpr std::string_view LabelMaximum = "Maximum:";
inline constexpr std::string_view HintMaximum = "Maximum value for left axis";
inline constexpr std::string_view LabelMinimum = "Minimum:";
inline constexpr std::string_view HintMinimum = "Minimum value for left axis";

// The chart.
inline constexpr std::string_view ChartBottomAxisTitle = "Date and Time";
inline constexpr std::string_view ChartLeftAxisTitle = "Sensor Values";

// RAMCARD.
inline constexpr std::string_view LabelRamDrive = "RAM Card Drive:";
inline constexpr std::string_view HintRamDrive = "RAM card directory you wish to read";
inline constexpr std::string_view LabelRamFiles = "RAM Files:";
inline constexpr std::string_view HintRamFiles = "Names of all files in the RAM card";
inline constexpr std::string_view LabelOutputDirectory = "Output Directory:";
inline constexpr std::string_view HintOutputDirectory = "Output directory for storing RAM files";
inline constexpr std::string_view HintBrowseDir = "Browse for output folder";
inline constexpr std::string_view RamInstruction =
    "Click on the Save tool button or select File|Save to copy the RAM files into the output "
    "directory.";

// DDRLOG.
inline constexpr std::string_view LabelDDRFileName = "DDR File Name:";
inline constexpr std::string_view HintDDRFileName = "Enter name of a valid V900 DDR file";
inline constexpr std::string_view HintDDRBrowse = "Browse for V900 DDR files";
inline constexpr std::string_view LabelDDROutputFile = "Output File Name:";
inline constexpr std::string_view HintDDROutputFile = "Enter name of a valid V900 DDR Output file";
inline constexpr std::string_view HintOutBrowse = "Browse to select an Output V900 DDR file";
inline constexpr std::string_view GroupOutputLayout = "Output Layout Options:";
inline constexpr std::string_view CheckHeader = "Header";
inline constexpr std::string_view HintHeader = "Add Header to Output";
inline constexpr std::string_view CheckData = "Data";
inline constexpr std::string_view HintData = "Add Data to Output";
inline constexpr std::string_view CheckNotes = "Notes";
inline constexpr std::string_view HintNotes = "Add Log Notes to Output";
inline constexpr std::string_view GroupUSGS = "USGS Decode Option:";
inline constexpr std::string_view CheckUSGSStation = "Unit ID as //Station";
inline constexpr std::string_view CheckUSGSDevice = "Add //Device:";
inline constexpr std::string_view HintUSGSDevice = "Write USGS Device to the output";
inline constexpr std::string_view HintDevice = "USGS Device name";

// --- the open dialog --------------------------------------------------------
struct TFileType {
  std::string_view Description;
  std::string_view Pattern; // patterns separated by ";"
};
// Index 1 is the first entry.
inline constexpr std::array<TFileType, 6> FileTypes = {{
    {"Log files (*.log;*.csv;*.txt)", "*.log;*.csv;*.txt"},
    {"DDR files (*.ddr)", "*.ddr"},
    {"Text files (*.prn)", "*.prn"},
    {"CSV files (*.CSV)", "*.CSV"},
    {"Excel files (*.XLS)", "*.XLS"},
    {"All Files (*.*)", "*.*"},
}};
inline constexpr std::string_view DialogOpen = "Open";
inline constexpr std::string_view DialogSaveAs = "Save As";

// Tags of the invokers of Open.
constexpr int TagFileOpen = 0;
constexpr int TagBrowseLog = 1; // btnBrowse, btnBrowse2, btnBrowse3
constexpr int TagBrowseDDR = 2; // btnDDRBrowse
constexpr int TagBrowseOut = 3; // btnOutBrowse

// --- the window's own dialogs ---------------------------------------------
// The progress dialog of work that runs longer than about half a second.
inline constexpr std::string_view ProgressCancel = "Cancel";
inline constexpr std::string_view ProgressWorking = "Working...";
// Closing the window when the settings file could not be written.
inline constexpr std::string_view MsgSettingsNotWrittenPrefix =
    "The settings could not be written to ";

// --- the text pane: its context menu, its find bar, a long copy ------------
inline constexpr std::string_view MenuPaneCopy = "&Copy";
inline constexpr std::string_view MenuPaneCopyTable = "Copy as &Table for Spreadsheets";
inline constexpr std::string_view MenuPaneSelectAll = "Select &All";
inline constexpr std::string_view MenuPaneFind = "&Find...";
inline constexpr std::string_view FindLabel = "Find:";
inline constexpr std::string_view FindNext = "Next";
inline constexpr std::string_view FindPrevious = "Previous";
inline constexpr std::string_view FindClose = "Close";
inline constexpr std::string_view FindNotFound = "Not found";
inline constexpr std::string_view FindWrapped = "Passed the end, went on from the other end";
// Before a copy larger than the pane copies unasked: "The selection holds
// 1000000 lines, about 96 MB. Copy them to the clipboard?"
inline constexpr std::string_view MsgLargeCopyPrefix = "The selection holds ";
inline constexpr std::string_view MsgLargeCopyLines = " lines, about ";
inline constexpr std::string_view MsgLargeCopySuffix = " MB. Copy them to the clipboard?";

// --- the chart's context menu (LOGPLOT) -----------------------------------
inline constexpr std::string_view MenuSaveChartPng = "Save chart as PNG...";
inline constexpr std::string_view MenuSaveChartPdf = "Save chart as PDF...";
inline constexpr std::string_view MenuExportVisibleRange = "Export visible range...";
inline constexpr std::string_view MenuResetZoom = "Reset zoom";
inline constexpr std::string_view MenuVisibleRangeStatistics = "Statistics of visible range";
// The read-out under the mouse, below its first sixteen series: "... and 3 more".
inline constexpr std::string_view ReadOutMorePrefix = "... and ";
inline constexpr std::string_view ReadOutMoreSuffix = " more";
inline constexpr std::string_view DialogSaveChartPng = "Save chart as PNG";
inline constexpr std::string_view DialogSaveChartPdf = "Save chart as PDF";
inline constexpr std::string_view DialogExportVisibleRange = "Export visible range";
inline constexpr std::string_view FilterPng = "PNG images (*.png)";
inline constexpr std::string_view FilterPdf = "PDF documents (*.pdf)";
inline constexpr std::string_view FilterPrn = "Text files (*.prn)";
inline constexpr std::string_view FilterXls = "Excel files (*.XLS)";
inline constexpr std::string_view MsgChartWrittenPrefix = "Chart written to ";
inline constexpr std::string_view MsgUnableToSaveChart = "Error! Unable to save chart.";
inline constexpr std::string_view MsgChartNotWrittenPrefix = "The chart could not be written to ";
inline constexpr std::string_view MsgGraphAgain = "Error! Please draw the graph again.";
inline constexpr std::string_view MsgNothingInRange = "No readings in the visible range.";
// "STATISTICS OF THE VISIBLE RANGE: 03/05/98 14:30 TO 03/05/98 18:00", then a
// line per sensor.
inline constexpr std::string_view MsgVisibleRangePrefix = "STATISTICS OF THE VISIBLE RANGE: ";
inline constexpr std::string_view MsgVisibleRangeTo = " TO ";

// --- help contexts ----------------------------------------------------------
// The window and its two areas; the text pane shares LOGPRN's, the chart
// LOGPLOT's; every control has its page's.
constexpr int HelpWindow = 18;
constexpr int HelpLogPrn = 19;
constexpr int HelpLogPlot = 20;
constexpr int HelpLogStat = 21;
constexpr int HelpRamCard = 22;
constexpr int HelpDDRLog = 24;
constexpr int HelpTextPane = HelpLogPrn;
constexpr int HelpChart = HelpLogPlot;
// By page, in tab order.
inline constexpr std::array<int, 5> PageHelpContexts = {HelpLogPrn, HelpLogPlot, HelpLogStat,
                                                        HelpRamCard, HelpDDRLog};

// The help window.
inline constexpr std::string_view HelpCaption = "Quorvin Help";
inline constexpr std::string_view HelpBack = "Back";
inline constexpr std::string_view HelpForward = "Forward";
inline constexpr std::string_view HelpContents = "Contents";
inline constexpr std::string_view HelpFind = "Find:";
inline constexpr std::string_view HelpNotFound = "Not found";
inline constexpr std::string_view HelpNotOnPage = "Not on this page; see the pages listed";
inline constexpr std::string_view HintHelpFind =
    "Finds the text in the page as you type; Enter finds the next, Shift+Enter the previous; "
    "the contents list the pages that hold it";

// Names a screen reader gives the two output areas.
inline constexpr std::string_view AccessibleTextPane = "Output text";
inline constexpr std::string_view AccessibleChart = "Graph of the checked sensors";

// --- messages of the commands (the message panel) ----------------------------
inline constexpr std::string_view MsgSelectValidFile = "Error! Please select a valid file.";
inline constexpr std::string_view MsgSelectFile = "Error! Please select a file.";
inline constexpr std::string_view MsgNoSensorsSelected = "No sensors selected to display.";
inline constexpr std::string_view MsgUnableToDisplay = "Error! Unable to display file.";
inline constexpr std::string_view MsgUnableToDisplayLogHeader =
    "Error!  Unable to display Log Header";
inline constexpr std::string_view MsgUnableToDisplayDDRHeader =
    "Error!  Unable to display DDR Header";
inline constexpr std::string_view MsgRefreshDDRFile = "Error! Unable to display DDR file.";
inline constexpr std::string_view MsgRefreshDDRHeader = "Error! Unable to display DDR Header";
inline constexpr std::string_view MsgRefreshLogFile = "Error! Unable to display LOG file.";
inline constexpr std::string_view MsgRefreshLogHeader = "Error!  Unable to read Log Header";
inline constexpr std::string_view MsgLogWrittenPrefix = "Log written to ";
inline constexpr std::string_view MsgUnableToSave = "Error! Unable to save file.";
inline constexpr std::string_view MsgDDRWrittenPrefix = "DDR Log written to ";
inline constexpr std::string_view MsgUnableToSaveDDR = "Error! Unable to save DDR file.";
// The long pass of a graph or the statistics declined or cancelled.
inline constexpr std::string_view MsgGraphCancelled = "Graph cancelled.";
inline constexpr std::string_view MsgStatisticsCancelled = "Statistics cancelled.";
// The graph is drawn all the same, the larger limit at the top.
inline constexpr std::string_view MsgLimitsNotInOrder =
    "Warning! Minimum is not below Maximum. Check the limits of the left axis.";
// The last line of a report, or of a chart's title, that a cancel cut short.
inline constexpr std::string_view StatisticsCancelledLine =
    "CANCELLED: the report stops where the statistics were cancelled.";
inline constexpr std::string_view GraphCancelledLine =
    "CANCELLED: the graph stops where drawing was cancelled.";
inline constexpr std::string_view MsgUnableToPrint = "Error! Unable to print.";
// File > Export.
inline constexpr std::string_view MenuExport = "&Export...";
// The File menu's list of the files opened last.
inline constexpr std::string_view MenuRecentFiles = "&Recent Files";
inline constexpr std::string_view HintExport =
    "Export the checked sensors as ISO 8601 CSV or NetCDF for analysis tools";
inline constexpr std::string_view DialogExport = "Export";
inline constexpr std::string_view LabelExportFormat = "Format:";
inline constexpr std::array<std::string_view, 2> ExportFormatNames = {"CSV (ISO 8601 times)",
                                                                      "NetCDF-4 (CF conventions)"};
inline constexpr std::string_view LabelExportZone = "Logger time zone:";
inline constexpr std::string_view HintExportZone =
    "The zone the logger's clock kept: an IANA name such as America/Denver, an offset such as "
    "-07:00, or empty for times as recorded";
inline constexpr std::string_view LabelExportFile = "File:";
// Options > Time Zone, and the zone lists of both dialogs.
inline constexpr std::string_view MenuTimeZone = "Time &Zone...";
inline constexpr std::string_view HintTimeZone =
    "Choose the time zone the logger's clock kept, for the exports and the chart's read-out";
inline constexpr std::string_view DialogTimeZone = "Time Zone";
inline constexpr std::string_view PlaceholderNoZone = "none: times as recorded";
inline constexpr std::string_view FilterExportCsv = "CSV files (*.csv)";
inline constexpr std::string_view FilterExportNetCdf = "NetCDF files (*.nc)";
inline constexpr std::string_view MsgExportCancelled = "Export cancelled.";
inline constexpr std::string_view MsgExportNotWrittenPrefix =
    "The readings could not be written to ";
inline constexpr std::string_view MsgExportOverLog =
    "The export would replace the log it reads; choose another file name.";
// Print with nothing on the page to print: what to do first.
inline constexpr std::string_view MsgPrintLogPrn =
    "Nothing to print: show the data (Display) or the header (Header) first.";
inline constexpr std::string_view MsgPrintLogPlot =
    "Nothing to print: draw the graph (Graph) first.";
inline constexpr std::string_view MsgPrintLogStat =
    "Nothing to print: show the statistics (Statistics) first.";
inline constexpr std::string_view MsgPrintRamCard =
    "Nothing to print: the RAMCARD page has no printout.";
inline constexpr std::string_view MsgPrintDDRLog =
    "Nothing to print: show the DDR data (Display) first.";
inline constexpr std::string_view MsgPrintRefresh =
    "Nothing to print: show the view again (Refresh) first.";
inline constexpr std::string_view MsgPrintNoSensors =
    "Nothing to print: check the sensors to show first.";

} // namespace quorvin::captions
