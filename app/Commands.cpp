// SPDX-License-Identifier: GPL-3.0-or-later
// The ten commands of the main window, decided by the page that is showing.
// Each view command (Display, Header, Graph, Statistics) is a toggle: it
// switches its view on on its own pages and off again on any page.
#include <filesystem>
#include <functional>

#include "app/Application.h"
#include "app/Captions.h"
#include "app/HelpTopics.h"
#include "core/FileNames.h"
#include "logdata/LogFormats.h"
#include "report/Formatting.h"
#include "report/LogExport.h"

namespace quorvin {

using namespace captions;

namespace {

bool IsBlank(const std::string& Text) {
  for (unsigned char C : Text)
    if (C > ' ') return false;
  return true;
}

// Path with the blanks around its last part taken off.
std::string TrimmedName(const std::string& Path) {
  const std::size_t Slash = Path.find_last_of('/');
  const std::size_t Start = Slash == std::string::npos ? 0 : Slash + 1;
  std::size_t Begin = Start, End = Path.size();
  while (Begin < End && (Path[Begin] == ' ' || Path[Begin] == '\t')) ++Begin;
  while (End > Begin && (Path[End - 1] == ' ' || Path[End - 1] == '\t')) --End;
  return Path.substr(0, Start) + Path.substr(Begin, End - Begin);
}

} // namespace

// The common start of Display, Header, Graph, Statistics: the message panel
// cleared, the dates and the file checked.
bool TApplication::Prologue(std::string_view MissingFileText) {
  ClearMessage();
  if (!Selection.CheckDateRange(FUi)) return false;
  if (!Selection.FileValid) {
    Message(MissingFileText);
    return false;
  }
  return true;
}

bool TApplication::RunLogPrnDisplay() {
  const std::string Separator = GetFieldSeparator(LogPrn, CommandMode);
  FServices.Pane.Clear();
  if (Selection.CheckedSensorCount < 1) {
    Message(MsgNoSensorsSelected);
    return true;
  }
  std::string OutputFileName;
  return ConvertLogToText(Selection, LogPrn, Format, CommandMode, Separator, FUi, OutputFileName);
}

bool TApplication::RunLogHeader() {
  if (!Selection.Log) return true;
  return Selection.Log->ShowHeader(FServices.Pane, Selection.LogTitleName, Format);
}

bool TApplication::RunStatistics() {
  StatAccumulators.SetSize(Selection.CheckedSensorCount);
  StatTable = TStatTable{};
  if (Selection.CheckedSensorCount < 1) return true;
  if (LongPassAccepted()) {
    TStatistics Stats(Selection, Format, LogPrn, CommandMode, StatAccumulators, FServices.Pane,
                      &FServices.Busy);
    Stats.RecordInto(StatTable);
    if (Stats.Report()) return true;
    // What shows is only part of the range its title names.
    FServices.Pane.AppendLine("");
    FServices.Pane.AppendLine(std::string(StatisticsCancelledLine));
  }
  Message(MsgStatisticsCancelled);
  return false;
}

std::string TApplication::StatisticsTableText() const {
  if (!Marks.mnuStatistics || !PaneVisible || StatTable.Empty()) return std::string();
  return StatisticsTsv(StatTable);
}

void TApplication::NothingChecked(TCommandOutcome& Outcome) const {
  // A log without sensors has nothing to convert (its load has said so).
  Outcome.Succeeded = Selection.SensorChoiceCount() > 0;
  Outcome.NoSensorChecked = Outcome.Succeeded;
}

bool TApplication::LongPassAccepted() {
  return ConfirmLongGrid(Selection, Selection.StartTime, Selection.EndTime, Selection.LogInterval,
                         Format, FServices.Dialog);
}

void TApplication::RemoveAllSeries() {
  FServices.Chart.RemoveAllSeries();
  FGraphedSensors.clear();
}

bool TApplication::RunGraph() {
  TGraph Graph(FServices.Chart, Selection, Format, GraphLimits, CommandMode, &FServices.Busy,
               &FServices.Dialog);
  Graph.CreateSeries();
  // The read-out names the zone of the options as they are now.
  UseLoggerTimeZone(LoggerTimeZone);
  FGraphedLog = Selection.LogFileName;
  FGraphedSensors.clear();
  for (const TSensorChoice& C : Selection.SensorChoices) FGraphedSensors.push_back(C.Checked);
  if (Selection.CheckedSensorCount < 1) return true;
  GraphLimits.ReadTexts();
  if (!GraphLimits.InOrder())
    FServices.Dialog.Show(TMsgKind::Warning, std::string(MsgLimitsNotInOrder), TMsgButtons::OK);
  if (LongPassAccepted()) {
    if (Graph.Draw()) return true;
    FServices.Chart.AddTitleLine(std::string(GraphCancelledLine));
  }
  Message(MsgGraphCancelled);
  return false;
}

// ---------------------------------------------------------------------------
// The views

// One of the four views: its marks, the mode it runs in, and whether it shows
// in the chart rather than the pane.
struct TViewToggle {
  bool TViewMarks::*Menu;
  bool TViewMarks::*Button;
  TCommandMode Mode;
  bool Chart;
};

namespace {

constexpr TViewToggle DisplayView{&TViewMarks::mnuDisplay, &TViewMarks::tbtnDisplay, cmDisplay,
                                  false};
constexpr TViewToggle HeaderView{&TViewMarks::mnuHeader, &TViewMarks::tbtnHeader, cmHeader, false};
constexpr TViewToggle GraphView{&TViewMarks::mnuGraph, &TViewMarks::tbtnGraph, cmGraph, true};
constexpr TViewToggle StatsView{&TViewMarks::mnuStatistics, &TViewMarks::tbtnStats, cmStatistics,
                                false};

} // namespace

TCommandOutcome TApplication::ToggleView(const TViewToggle& View, bool OwnPage,
                                         const std::function<void(TCommandOutcome&)>& Run) {
  TCommandOutcome Outcome;
  if (Marks.*View.Menu) {
    CommandMode = cmNone;
    if (!View.Chart) FServices.Pane.Clear();
    Marks.*View.Menu = false;
    (View.Chart ? ChartVisible : PaneVisible) = false;
    ShowOutputArea(false);
  } else if (OwnPage) {
    TBusyScope Busy(FServices.Busy);
    CommandMode = View.Mode;
    SetOnlyMark(View.Menu);
    if (View.Chart)
      ShowChart();
    else
      ShowPane();
    ShowOutputArea(true);
    Run(Outcome);
  }
  Marks.*View.Button = Marks.*View.Menu;
  ViewChanged();
  return Outcome;
}

bool TApplication::RunDDRDisplay(std::string_view FailureText) {
  FServices.Pane.Clear();
  if (!DDRPage.ImportDDR(CommandMode, FailureText)) return false;
  ClearMessage();
  return true;
}

bool TApplication::RunDDRHeader(std::string_view FailureText) {
  FServices.Pane.Clear();
  if (DDRPage.DDRNameEdited) {
    DDRPage.edtFilenameExit();
    DDRPage.DDRNameEdited = false;
    FView->ControlsChanged();
  }
  return DDRPage.ShowDDRSummary(CommandMode, FailureText);
}

TCommandOutcome TApplication::OptionsDisplayExecute() {
  if (!Prologue(MsgSelectValidFile)) return TCommandOutcome::Failed();
  const bool OwnPage = ActivePage == PageLogPrn || ActivePage == PageDDRLog;
  return ToggleView(DisplayView, OwnPage, [this](TCommandOutcome& Outcome) {
    if (ActivePage == PageDDRLog) {
      Outcome.Succeeded = RunDDRDisplay(MsgUnableToDisplay);
    } else if (!RunLogPrnDisplay()) {
      Message(MsgUnableToDisplay);
      Outcome.Succeeded = false;
    } else if (Selection.CheckedSensorCount < 1) {
      NothingChecked(Outcome);
    }
  });
}

TCommandOutcome TApplication::OptionsHeaderExecute() {
  if (!Prologue(MsgSelectValidFile)) return TCommandOutcome::Failed();
  const bool OwnPage = ActivePage == PageLogPrn || ActivePage == PageDDRLog;
  return ToggleView(HeaderView, OwnPage, [this](TCommandOutcome& Outcome) {
    if (ActivePage == PageDDRLog) {
      Outcome.Succeeded = RunDDRHeader(MsgUnableToDisplayDDRHeader);
    } else if (!RunLogHeader()) {
      Message(MsgUnableToDisplayLogHeader);
      Outcome.Succeeded = false;
    }
  });
}

TCommandOutcome TApplication::OptionsGraphExecute() {
  if (!Prologue(MsgSelectFile)) return TCommandOutcome::Failed();
  RemoveAllSeries();
  return ToggleView(GraphView, ActivePage == PageLogPlot,
                    [this](TCommandOutcome& Outcome) { Outcome.Succeeded = RunGraph(); });
}

TCommandOutcome TApplication::OptionsStatsExecute() {
  if (!Prologue(MsgSelectFile)) return TCommandOutcome::Failed();
  return ToggleView(StatsView, ActivePage == PageLogStat, [this](TCommandOutcome& Outcome) {
    Outcome.Succeeded = RunStatistics();
    if (Selection.CheckedSensorCount < 1) NothingChecked(Outcome);
  });
}

TCommandOutcome TApplication::OptionsRefreshExecute() {
  // The view to redo is the first whose button is down.
  if (Marks.tbtnDisplay)
    CommandMode = cmDisplay;
  else if (Marks.tbtnHeader)
    CommandMode = cmHeader;
  else if (Marks.tbtnGraph)
    CommandMode = cmGraph;
  else if (Marks.tbtnStats)
    CommandMode = cmStatistics;
  else
    CommandMode = cmNone;
  if (!Prologue(MsgSelectFile)) return TCommandOutcome::Failed();

  TCommandOutcome Outcome;
  auto Fail = [&](std::string_view Text) {
    Message(Text);
    Outcome.Succeeded = false;
  };
  TBusyScope Busy(FServices.Busy);
  if (ActivePage == PageDDRLog) {
    if (CommandMode == cmDisplay)
      Outcome.Succeeded = RunDDRDisplay(MsgRefreshDDRFile);
    else if (CommandMode == cmHeader)
      Outcome.Succeeded = RunDDRHeader(MsgRefreshDDRHeader);
    return Outcome;
  }

  if (Selection.CheckedSensorCount < 1) {
    StatTable = TStatTable{};
    if (ActivePage == PageLogPlot)
      RemoveAllSeries();
    else
      FServices.Pane.Clear();
  } else if (ActivePage == PageLogPlot) {
    RemoveAllSeries();
    Outcome.Succeeded = RunGraph();
  } else if (ActivePage == PageLogStat) {
    Outcome.Succeeded = RunStatistics();
  } else if (ActivePage == PageLogPrn && CommandMode == cmDisplay) {
    if (RunLogPrnDisplay())
      ClearMessage();
    else
      Fail(MsgRefreshLogFile);
  }
  if (ActivePage == PageLogPrn && CommandMode == cmHeader && !RunLogHeader())
    Fail(MsgRefreshLogHeader);
  return Outcome;
}

// ---------------------------------------------------------------------------
// Commands that act once

TCommandOutcome TApplication::FileSaveExecute() {
  ClearMessage();
  CommandMode = cmNone;
  TBusyScope Busy(FServices.Busy);
  TCommandOutcome Outcome;
  switch (ActivePage) {
  case PageRamCard:
    Outcome.Succeeded = RamCardPage.RamCardSave();
    break;
  case PageLogPrn: {
    if (!Selection.FileValid) {
      Message(MsgSelectValidFile);
      return TCommandOutcome::Failed();
    }
    const std::string Separator = GetFieldSeparator(LogPrn, CommandMode);
    if (Selection.CheckedSensorCount <= 0) {
      NothingChecked(Outcome);
      break;
    }
    std::string OutputFileName;
    if (ConvertLogToText(Selection, LogPrn, Format, CommandMode, Separator, FUi, OutputFileName)) {
      Message(std::string(MsgLogWrittenPrefix) + OutputFileName + ".");
      Outcome.WrittenFile = OutputFileName;
    } else {
      Message(MsgUnableToSave);
      Outcome.Succeeded = false;
    }
    break;
  }
  case PageDDRLog: {
    if (!Selection.FileValid) {
      Message(MsgSelectValidFile);
      return TCommandOutcome::Failed();
    }
    if (DDRPage.ImportDDR(CommandMode, MsgUnableToSaveDDR)) {
      Message(std::string(MsgDDRWrittenPrefix) + DDRObj.DDROutputFileName + ".");
      Outcome.WrittenFile = DDRObj.DDROutputFileName;
    } else {
      Outcome.Succeeded = false;
    }
    break;
  }
  default:
    break;
  }
  return Outcome;
}

std::string TApplication::SaveTarget(int Page, const std::string& FileName,
                                     const std::string& TypedOutput) const {
  if (Page == PageLogPrn)
    return TLogExport::MakeOutputFileName(ExtractFilePath(FileName), FileName, LogPrn.OutputFormat);
  if (Page == PageDDRLog)
    return TypedOutput.empty()
               ? TDDRObj::ProposedOutputFileName(FileName, DDRObj.Layout.DDROutputFormat)
               : TDDRObj::TypedOutputFileName(TypedOutput, FileName);
  return std::string();
}

TCommandOutcome TApplication::FilePrintExecute() {
  ClearMessage();
  if (!Selection.FileValid) {
    Message(MsgSelectValidFile);
    return TCommandOutcome::Failed();
  }
  // What the view shows decides what is printed; where that is nothing, no
  // print dialog is shown at all.
  const std::string Name = LoadedLogDisplayName();
  bool Print = false;
  TPrintSource Source = TPrintSource::Pane;
  std::string Title;
  if (ActivePage == PageDDRLog) {
    Print = CommandMode == cmDisplay;
    Title = DDRObj.DDROutputFileName;
  } else if (Selection.CheckedSensorCount > 0) {
    if (ActivePage == PageLogPrn && CommandMode == cmDisplay) {
      Print = true;
      Title = Name;
    } else if (ActivePage == PageLogPrn && CommandMode == cmHeader) {
      Print = true;
      Title = Name + " Header";
    } else if (ActivePage == PageLogPlot && CommandMode == cmGraph) {
      Print = true;
      Source = TPrintSource::Chart;
      Title = Name;
    } else if (ActivePage == PageLogStat && CommandMode == cmStatistics) {
      Print = true;
      Title = Name + " Statistics";
    }
  }
  if (!Print) {
    // Silence would look like a print that went nowhere.
    static constexpr std::string_view PageTexts[] = {
        MsgPrintLogPrn, MsgPrintLogPlot, MsgPrintLogStat, MsgPrintRamCard, MsgPrintDDRLog};
    const bool ViewOn = CommandMode == cmDisplay || CommandMode == cmHeader ||
                        CommandMode == cmGraph || CommandMode == cmStatistics;
    const bool MarksOn =
        Marks.mnuDisplay || Marks.mnuHeader || Marks.mnuGraph || Marks.mnuStatistics;
    if (ActivePage != PageRamCard && MarksOn && CommandMode == cmNone)
      Message(MsgPrintRefresh);
    else if (ActivePage != PageDDRLog && ActivePage != PageRamCard && ViewOn &&
             Selection.CheckedSensorCount < 1)
      Message(MsgPrintNoSensors);
    else if (ActivePage >= 0 && ActivePage < int(std::size(PageTexts)))
      Message(PageTexts[std::size_t(ActivePage)]);
    return TCommandOutcome{};
  }
  std::string Reason;
  if (FServices.Printer.Print(Source, Title, Reason) == TPrintResult::Failed) {
    FServices.Dialog.Show(TMsgKind::Error, std::string(MsgUnableToPrint), TMsgButtons::OK, Reason);
    Message(MsgUnableToPrint);
    return TCommandOutcome::Failed();
  }
  return TCommandOutcome{};
}

TCommandOutcome TApplication::FileOpenExecute(int Tag) {
  ClearMessage();
  if (IsBlank(OpenDialogFolder)) OpenDialogFolder = RamCardPage.RAMDirectory;
  TFileDialogRequest Request;
  Request.FilterIndex = Tag < 1 ? 1 : Tag;
  Request.Title = std::string(Tag == TagBrowseOut ? DialogSaveAs : DialogOpen);
  Request.InitialDir = OpenDialogFolder;
  std::string Chosen;
  if (!FServices.FileDialog.Execute(Request, Chosen)) return TCommandOutcome{};
  // A name pasted with a blank before or after it means the file without.
  std::error_code Ec;
  const std::string Trimmed = TrimmedName(Chosen);
  if (Trimmed != Chosen && !Trimmed.empty() && Trimmed.back() != '/' &&
      !std::filesystem::exists(Chosen, Ec))
    Chosen = Trimmed;
  return OpenChosenFile(Tag, Chosen);
}

TCommandOutcome TApplication::OpenChosenFile(int Tag, const std::string& Chosen) {
  std::error_code Ec;
  const std::filesystem::path Full = std::filesystem::absolute(Chosen, Ec);
  OpenDialogFolder = (Ec ? std::filesystem::path(Chosen) : Full).parent_path().string();
  TCommandOutcome Outcome;
  if (ActivePage != PageDDRLog) {
    Selection.LogFileName = Chosen;
    Selection.FileValid = Selection.ValidateLogFile(ActivePage, FUi);
    // The next time a file box is left, the log is loaded anew.
    Selection.LogNameEdited = true;
    Outcome.Succeeded = Selection.FileValid;
  } else if (Tag == TagBrowseOut) {
    DDRPage.btnOutBrowseChosen(Chosen);
    Outcome.Succeeded = DDRPage.DDROutputValid;
  } else {
    DDRPage.btnDDRBrowseChosen(Chosen);
    Outcome.Succeeded = Selection.FileValid;
  }
  FView->ControlsChanged();
  if (Tag != TagBrowseOut) Remember(Chosen, Outcome.Succeeded);
  return Outcome;
}

void TApplication::Remember(const std::string& Path, bool Opened) {
  std::error_code Ec;
  // A file that is gone leaves the list once it was asked for; one that
  // would not open stays, as it may be on a card not inserted yet.
  const bool Changed = Opened ? RecentFiles.Add(Path)
                              : !std::filesystem::exists(Path, Ec) && RecentFiles.Remove(Path);
  if (Changed) FView->RecentFilesChanged();
}

int TApplication::PageForFile(const std::string& Path, int Page) {
  std::error_code Ec;
  const bool Log = IsLogFileName(Path);
  const bool DDR = UpperCase(ExtractFileExt(Path)) == ".DDR";
  if (std::filesystem::is_directory(Path, Ec) || SameText(ExtractFileName(Path), RamCardDumpName) ||
      (Page == PageRamCard && !Log && !DDR))
    return PageRamCard;
  if (DDR || (Page == PageDDRLog && !Log)) return PageDDRLog;
  return IsLogPage(Page) ? Page : PageLogPrn;
}

TCommandOutcome TApplication::OpenFile(const std::string& Path) {
  const int Page = PageForFile(Path, ActivePage);
  if (Page != ActivePage) PgCntrlLogChange(Page);
  if (Page == PageRamCard) {
    const bool Listed = cbxRamdirClick(Path);
    Remember(Path, Listed);
    return TCommandOutcome{Listed, {}};
  }
  ClearMessage();
  return OpenChosenFile(Page == PageDDRLog ? TagBrowseDDR : TagBrowseLog, Path);
}

TCommandOutcome TApplication::OpenFiles(const std::vector<std::string>& Paths) {
  if (Paths.empty()) return TCommandOutcome{};
  std::error_code Ec;
  bool Changed = false;
  for (std::size_t I = Paths.size() - 1; I > 0; --I)
    if (std::filesystem::exists(Paths[I], Ec)) Changed = RecentFiles.Add(Paths[I]) || Changed;
  if (Changed) FView->RecentFilesChanged();
  return OpenFile(Paths.front());
}

void TApplication::FileExitExecute() { FView->CloseRequested(); }

void TApplication::HelpExecute() {
  ClearMessage();
  FServices.Help.ShowTopic(std::string(HelpContentsTopic));
}

void TApplication::ContextHelp(int Context) { FServices.Help.ShowTopic(HelpTopic(Context)); }

TCommandOutcome TApplication::Execute(captions::TActionId Id) {
  switch (Id) {
  case actFileOpen:
    return FileOpenExecute(TagFileOpen);
  case actFileSave:
    return FileSaveExecute();
  case actFilePrint:
    return FilePrintExecute();
  case actFileExit:
    FileExitExecute();
    break;
  case actOptionsDisplay:
    return OptionsDisplayExecute();
  case actOptionsHeader:
    return OptionsHeaderExecute();
  case actOptionsGraph:
    return OptionsGraphExecute();
  case actOptionsStats:
    return OptionsStatsExecute();
  case actOptionsRefresh:
    return OptionsRefreshExecute();
  case actHelp:
    HelpExecute();
    break;
  default:
    break;
  }
  return TCommandOutcome{};
}

} // namespace quorvin
