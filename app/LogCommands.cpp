#include "app/LogCommands.h"

#include "logdata/HeaderReport.h"
#include "report/Formatting.h"
#include "report/LogExport.h"
#include "report/Statistics.h"

namespace quorvin {

bool ViewPrologue(TApplication& App, TUiServices& Ui, const char* MissingFileText) {
  Ui.Status.SetPanelText(1, "");
  if (!App.Selection.CheckDateRange(Ui)) return false;
  if (!App.Selection.FileValid) {
    Ui.Status.SetPanelText(1, MissingFileText);
    return false;
  }
  return true;
}

void LogPrnDisplay(TApplication& App, TUiServices& Ui) {
  if (!ViewPrologue(App, Ui, "Error! Please select a valid file.")) return;
  TBusyScope Busy(Ui.Busy);
  App.CommandMode = cmDisplay;
  ReadLogPrnOptions(App.LogPrnControls, App.LogPrn, App.Format);
  std::string Separator = GetFieldSeparator(App.LogPrn, App.CommandMode);
  Ui.Pane.Clear();
  if (App.Selection.CheckedSensorCount < 1) {
    Ui.Status.SetPanelText(1, "No sensors selected to display.");
    return;
  }
  std::string OutputFileName;
  if (!ConvertLogToText(App.Selection, App.LogPrn, App.Format, App.CommandMode, Separator, Ui,
                        OutputFileName))
    Ui.Status.SetPanelText(1, "Error! Unable to display file.");
}

void LogPrnHeader(TApplication& App, TUiServices& Ui) {
  if (!ViewPrologue(App, Ui, "Error! Please select a valid file.")) return;
  TBusyScope Busy(Ui.Busy);
  App.CommandMode = cmHeader;
  TLogSelection& Sel = App.Selection;
  bool Ran = false, Ok = true;
  if (Sel.BinaryLogLoaded && Sel.BinaryLog) {
    Ran = true;
    Ok = ShowLogHeader(Ui.Pane, *Sel.BinaryLog, Sel.LogTitleName, App.Format);
  } else if (Sel.CSVLogLoaded && Sel.CSVLog) {
    Ran = true;
    Ok = ShowCSVLogInfo(Ui.Pane, *Sel.CSVLog, Sel.LogTitleName, App.Format);
  }
  if (Ran && !Ok) Ui.Status.SetPanelText(1, "Error!  Unable to display Log Header");
}

void LogStatStatistics(TApplication& App, TUiServices& Ui) {
  if (!ViewPrologue(App, Ui, "Error! Please select a file.")) return;
  TBusyScope Busy(Ui.Busy);
  App.CommandMode = cmStatistics;
  App.StatAccumulators.SetSize(App.Selection.CheckedSensorCount);
  if (App.Selection.CheckedSensorCount > 0) {
    TStatistics Stats(App.Selection, App.Format, App.LogPrn, App.CommandMode, App.StatAccumulators,
                      Ui.Pane);
    Stats.Report();
  }
}

void LogPrnSave(TApplication& App, TUiServices& Ui) {
  Ui.Status.SetPanelText(1, "");
  App.CommandMode = cmNone;
  TBusyScope Busy(Ui.Busy);
  if (!App.Selection.FileValid) {
    Ui.Status.SetPanelText(1, "Error! Please select a valid file.");
    return;
  }
  ReadLogPrnOptions(App.LogPrnControls, App.LogPrn, App.Format);
  std::string Separator = GetFieldSeparator(App.LogPrn, App.CommandMode);
  if (App.Selection.CheckedSensorCount <= 0) return;
  std::string OutputFileName;
  if (ConvertLogToText(App.Selection, App.LogPrn, App.Format, App.CommandMode, Separator, Ui,
                       OutputFileName))
    Ui.Status.SetPanelText(1, "Log written to " + OutputFileName + ".");
  else
    Ui.Status.SetPanelText(1, "Error! Unable to save file.");
}

} // namespace quorvin
