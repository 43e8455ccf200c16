// SPDX-License-Identifier: GPL-3.0-or-later
// File > Export: the selected log's readings for analysis tools; Options >
// Time Zone: the zone the logger's clock kept, which they are placed in.
#include <filesystem>

#include "app/Application.h"
#include "app/LogReadings.h"
#include "core/FileNames.h"

namespace quorvin {

using namespace captions;

namespace {

bool SameFile(const std::string& A, const std::string& B) {
  std::error_code Ec;
  return std::filesystem::equivalent(A, B, Ec) && !Ec;
}

} // namespace

std::string TApplication::ExportTarget(const std::string& LogFile, TReadingsFormat Format) {
  return ChangeFileExt(LogFile, Format == TReadingsFormat::NetCdf ? ".nc" : ".csv");
}

TCommandOutcome TApplication::FileExportExecute() {
  ClearMessage();
  if (!FExportDialog) return TCommandOutcome{};
  if (!Selection.FileValid || !Selection.LogLoaded()) {
    Message(MsgSelectValidFile);
    return TCommandOutcome::Failed();
  }
  if (!Selection.CheckDateRange(FUi)) return TCommandOutcome::Failed();
  TExportChoice Choice;
  Choice.Zone = LoggerTimeZone;
  Choice.FileName = ExportTarget(Selection.Log->FileName(), Choice.Format);
  Choice.FirstDay = Selection.StartDate;
  Choice.LastDay = Selection.EndDate;
  if (!FExportDialog->Execute(Choice)) return TCommandOutcome{};
  UseLoggerTimeZone(Choice.Zone);
  return ExportReadingsTo(Choice);
}

TCommandOutcome TApplication::OptionsTimeZoneExecute() {
  ClearMessage();
  if (!FZoneDialog) return TCommandOutcome{};
  std::string Zone = LoggerTimeZone;
  const bool Chosen = FZoneDialog->Execute(Zone, [this](const std::string& Text) {
    TClockZone Candidate;
    std::string Error;
    if (Candidate.Assign(Text, Error)) return true;
    FServices.Dialog.Show(TMsgKind::Error, Error, TMsgButtons::OK);
    return false;
  });
  if (Chosen) UseLoggerTimeZone(Zone);
  return TCommandOutcome{};
}

void TApplication::UseLoggerTimeZone(const std::string& Zone) {
  TClockZone Taken;
  std::string Error;
  if (!Taken.Assign(Zone, Error)) return;
  LoggerTimeZone = Zone;
  FServices.Chart.UseZone(Taken);
}

TCommandOutcome TApplication::ExportReadingsTo(const TExportChoice& Choice) {
  ClearMessage();
  if (!Selection.FileValid || !Selection.LogLoaded()) {
    Message(MsgSelectValidFile);
    return TCommandOutcome::Failed();
  }
  TReadingsRequest Request;
  Request.Format = Choice.Format;
  Request.FileName = Choice.FileName;
  std::string Error;
  if (!Request.Zone.Assign(Choice.Zone, Error)) {
    FServices.Dialog.Show(TMsgKind::Error, Error, TMsgButtons::OK);
    Message(MsgUnableToSave);
    return TCommandOutcome::Failed();
  }
  for (int I = 0; I < Selection.SensorChoiceCount(); ++I)
    if (Selection.SensorChoices[std::size_t(I)].Checked) Request.Sensors.push_back(I + 1);
  if (Request.Sensors.empty()) {
    Message(MsgNoSensorsSelected);
    TCommandOutcome Outcome;
    NothingChecked(Outcome);
    return Outcome;
  }
  if (SameFile(Choice.FileName, Selection.Log->FileName())) {
    FServices.Dialog.Show(TMsgKind::Error, std::string(MsgExportOverLog), TMsgButtons::OK);
    Message(MsgUnableToSave);
    return TCommandOutcome::Failed();
  }
  DayRange(Choice.FirstDay, Choice.LastDay, Request.From, Request.To);

  const TReadingsOutcome Outcome = ExportReadings(*Selection.Log, Request, FServices.Busy);
  if (Outcome.Cancelled) {
    Message(MsgExportCancelled);
    return TCommandOutcome::Failed();
  }
  if (!Outcome.Written) {
    FServices.Dialog.Show(TMsgKind::Error,
                          std::string(MsgExportNotWrittenPrefix) + Choice.FileName + ".",
                          TMsgButtons::OK, Outcome.Reason);
    Message(MsgUnableToSave);
    return TCommandOutcome::Failed();
  }
  const std::string Warning = Outcome.Tally.Warning(Choice.Zone);
  if (!Warning.empty()) FServices.Dialog.Show(TMsgKind::Warning, Warning, TMsgButtons::OK);
  Message(std::string(MsgLogWrittenPrefix) + Choice.FileName + ".");
  return TCommandOutcome{true, Choice.FileName};
}

} // namespace quorvin
