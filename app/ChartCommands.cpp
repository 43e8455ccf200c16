// SPDX-License-Identifier: GPL-3.0-or-later
// The entries of the chart's context menu on the LOGPLOT page: the chart
// saved as a picture, and the LOGPRN Save and the statistics of what the
// chart shows, over the times it shows.
#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>

#include "app/Application.h"
#include "app/Captions.h"
#include "core/FileNames.h"
#include "report/Formatting.h"
#include "report/LogExport.h"
#include "report/RangeStatistics.h"

namespace quorvin {

using namespace captions;

namespace {

// Seconds since the log-time origin of a date-time value, to within half a
// millisecond (the chart's times are whole milliseconds).
double LogSeconds(TDateTime Value) { return (Value - SecsToDateTime(0)) * SecsPerDay; }

LogTime ClampToLogTime(double Seconds) {
  constexpr double Lowest = std::numeric_limits<LogTime>::min();
  constexpr double Highest = std::numeric_limits<LogTime>::max();
  return static_cast<LogTime>(std::clamp(Seconds, Lowest, Highest));
}

// Puts the given sensor checks in force for one piece of work and the
// user's back afterwards, however the work ends.
class TChecksInForce {
public:
  TChecksInForce(TLogSelection& Selection, const std::vector<bool>& Checks)
      : FSelection(Selection), FCount(Selection.CheckedSensorCount) {
    int Count = 0;
    for (std::size_t I = 0; I < Selection.SensorChoices.size(); ++I) {
      bool& Checked = Selection.SensorChoices[I].Checked;
      FSaved.push_back(Checked);
      Checked = I < Checks.size() && Checks[I];
      Count += Checked;
    }
    Selection.CheckedSensorCount = Count;
  }
  ~TChecksInForce() {
    for (std::size_t I = 0; I < FSaved.size() && I < FSelection.SensorChoices.size(); ++I)
      FSelection.SensorChoices[I].Checked = FSaved[I];
    FSelection.CheckedSensorCount = FCount;
  }
  TChecksInForce(const TChecksInForce&) = delete;
  TChecksInForce& operator=(const TChecksInForce&) = delete;

private:
  TLogSelection& FSelection;
  int FCount;
  std::vector<bool> FSaved;
};

} // namespace

TCommandOutcome TApplication::SaveChartExecute(IChartWriter& Chart, TChartFileType Type) {
  ClearMessage();
  TFileDialogRequest Request;
  const bool Png = Type == TChartFileType::Png;
  Request.Title = std::string(Png ? DialogSaveChartPng : DialogSaveChartPdf);
  Request.Filters = {std::string(Png ? FilterPng : FilterPdf)};
  Request.Save = true;
  Request.ConfirmReplace = true;
  Request.InitialDir = Selection.LogFileDir;
  std::string Chosen;
  if (!FServices.FileDialog.Execute(Request, Chosen)) return TCommandOutcome{};
  return SaveChart(Chart, Type, Chosen);
}

TCommandOutcome TApplication::SaveChart(IChartWriter& Chart, TChartFileType Type,
                                        const std::string& FileName) {
  ClearMessage();
  std::string Reason;
  bool Written;
  {
    TBusyScope Busy(FServices.Busy);
    Written = Chart.WriteChart(FileName, Type, Reason);
  }
  return ChartSaved(Written, FileName, Reason);
}

TCommandOutcome TApplication::SaveChart(IChartWriter& Chart, TChartFileType Type, std::ostream& Out,
                                        const std::string& Name) {
  ClearMessage();
  std::string Reason, Bytes;
  bool Written;
  {
    TBusyScope Busy(FServices.Busy);
    Written = Chart.ChartBytes(Type, Bytes, Reason);
  }
  if (Written) {
    Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    Written = static_cast<bool>(Out.flush());
    if (!Written) Reason = Name + ": the picture could not be written";
  }
  const TCommandOutcome Outcome = ChartSaved(Written, Name, Reason);
  return TCommandOutcome{Outcome.Succeeded, {}};
}

TCommandOutcome TApplication::ChartSaved(bool Written, const std::string& Name,
                                         const std::string& Reason) {
  if (!Written) {
    FServices.Dialog.Show(TMsgKind::Error, std::string(MsgChartNotWrittenPrefix) + Name + ".",
                          TMsgButtons::OK, Reason);
    Message(MsgUnableToSaveChart);
    return TCommandOutcome::Failed();
  }
  Message(std::string(MsgChartWrittenPrefix) + Name + ".");
  return TCommandOutcome{true, Name};
}

bool TApplication::GraphShowsSelection() {
  // Another log chosen since the chart was drawn has other sensors under
  // the same positions.
  if (!Marks.mnuGraph || FGraphedSensors.empty() || !Selection.FileValid ||
      FGraphedLog != Selection.LogFileName ||
      FGraphedSensors.size() != Selection.SensorChoices.size()) {
    Message(MsgGraphAgain);
    return false;
  }
  return true;
}

TCommandOutcome TApplication::VisibleRangeStatisticsExecute(TDateTime From, TDateTime To) {
  ClearMessage();
  if (!GraphShowsSelection() || !Selection.LogLoaded()) return TCommandOutcome::Failed();
  const LogTime First = ClampToLogTime(std::ceil(LogSeconds(From) - 0.0005));
  const LogTime Last = ClampToLogTime(std::floor(LogSeconds(To) + 0.0005));
  std::vector<TRangeFigures> Figures;
  {
    TBusyScope Busy(FServices.Busy);
    const std::vector<bool> Sensors = FGraphedSensors;
    const TChecksInForce Checks(Selection, Sensors);
    if (!RangeStatistics(Selection, First, Last, Figures, &FServices.Busy)) {
      Message(MsgStatisticsCancelled);
      return TCommandOutcome::Failed();
    }
  }
  auto When = [this](LogTime T) {
    return FormatLogTime(Format.DatePattern, T, Format) + ' ' +
           FormatLogTime(Format.TimePattern, T, Format);
  };
  std::string Text = std::string(MsgVisibleRangePrefix) + When(First) +
                     std::string(MsgVisibleRangeTo) + When(Last);
  for (const TRangeFigures& F : Figures) Text += '\n' + RangeFiguresLine(F);
  FServices.Dialog.Show(TMsgKind::Information, Text, TMsgButtons::OK);
  return TCommandOutcome{};
}

TCommandOutcome TApplication::ExportVisibleRangeExecute(TDateTime From, TDateTime To) {
  ClearMessage();
  // The chart must still show the selected log.
  if (!GraphShowsSelection()) return TCommandOutcome::Failed();
  TFileDialogRequest Request;
  Request.Title = std::string(DialogExportVisibleRange);
  Request.Filters = {std::string(FilterPrn), std::string(FilterXls)};
  Request.FilterIndex = LogPrn.Excel() ? 2 : 1;
  // Written as Save writes its file: appended to when Always Append Data is
  // on, so the dialog does not offer to replace it.
  Request.Save = true;
  Request.InitialDir = Selection.LogFileDir;
  std::string Chosen;
  if (!FServices.FileDialog.Execute(Request, Chosen)) return TCommandOutcome{};
  // Copied: the export puts the checks in force in the selection.
  const std::vector<bool> Sensors = FGraphedSensors;
  return ExportRange(From, To, Sensors, Chosen);
}

TCommandOutcome TApplication::ExportRange(TDateTime From, TDateTime To,
                                          const std::vector<bool>& Sensors,
                                          const std::string& FileName) {
  ClearMessage();
  if (!Selection.FileValid || !Selection.LogLoaded()) {
    Message(MsgSelectValidFile);
    return TCommandOutcome::Failed();
  }
  // Whole seconds within the range; a time a hair off a whole second (the
  // chart keeps milliseconds in a double) counts as that second.
  const LogTime First = ClampToLogTime(std::ceil(LogSeconds(From) - 0.0005));
  const LogTime Last = ClampToLogTime(std::floor(LogSeconds(To) + 0.0005));

  TLogPrnOptions Options = LogPrn;
  Options.OutputFormat =
      UpperCase(ExtractFileExt(FileName)) == ".XLS" ? TOutputFormat::Excel : TOutputFormat::Text;
  // A file is written whatever view is on, as Save writes one; the view and
  // CommandMode stay as they are.
  const TCommandMode Mode = cmNone;
  const std::string Separator = GetFieldSeparator(Options, Mode);

  TBusyScope Busy(FServices.Busy);
  const TChecksInForce Checks(Selection, Sensors);
  if (Selection.CheckedSensorCount < 1) {
    Message(MsgNoSensorsSelected);
    return TCommandOutcome::Failed();
  }
  if (First > Last) {
    Message(MsgNothingInRange);
    return TCommandOutcome::Failed();
  }
  TLogExport Export(Selection, Options, Format, Mode, FUi);
  Export.SetOutputFileName(FileName);
  Export.SetTimeWindow(First, Last);
  if (!Export.ConvertLogToText(Separator)) {
    Message(MsgUnableToSave);
    return TCommandOutcome::Failed();
  }
  if (!Export.AnythingWritten()) {
    Message(MsgNothingInRange);
    return TCommandOutcome::Failed();
  }
  Message(std::string(MsgLogWrittenPrefix) + FileName + ".");
  return TCommandOutcome{true, FileName};
}

} // namespace quorvin
