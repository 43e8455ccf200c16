// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/LogSelection.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/FileNames.h"
#include "core/Messages.h"
#include "logdata/LogFormats.h"
#include "report/Formatting.h"

namespace quorvin {

namespace {

const char* const MsgCannotOpen = "Unble to open file or read header.  Check file format.";
const char* const MsgNoSensors = "No sensors in Log file.";
const char* const MsgDateRange = "Error: Please check the start date and the end date.";

bool IsLogPage(int Page) { return Page >= 0 && Page < LogPageCount; }

std::int32_t NonNegativeMod(LogTime Value, std::int32_t Divisor) {
  if (Divisor <= 0) return 0;
  const std::int32_t R = Value % Divisor;
  return R < 0 ? R + Divisor : R;
}

} // namespace

void TLogSelection::LogFileChange(int Page, const std::string& Text) {
  if (IsLogPage(Page)) FileNameBoxes[static_cast<std::size_t>(Page)] = Text;
  LogNameEdited = true;
}

void TLogSelection::edtFilenameExit(int Page, TUiServices& Ui) {
  if (!IsLogPage(Page)) return;
  LogFileName = FileNameBoxes[static_cast<std::size_t>(Page)];
  FileValid = ValidateLogFile(Page, Ui);
}

bool TLogSelection::ValidateLogFile(int Page, TUiServices& Ui) {
  // A box whose text changes marks the name as edited, as typing would.
  for (int P = 0; P < LogPageCount; ++P) {
    std::string& Box = FileNameBoxes[static_cast<std::size_t>(P)];
    if (Box != LogFileName) {
      Box = LogFileName;
      LogNameEdited = true;
      FView->FileNameShown(P, LogFileName);
    }
  }

  if (LogFileName.empty()) {
    if (SelectAll) {
      SelectAll = false;
      ApplySelectAll();
    }
    FView->SensorsCleared();
    return false;
  }

  std::error_code Ec;
  const std::filesystem::path Path(LogFileName);
  if (!std::filesystem::exists(Path, Ec) || std::filesystem::is_directory(Path, Ec)) {
    Ui.Dialog.Show(TMsgKind::Error, MsgFileMissing, TMsgButtons::OK);
    FView->FocusFileName(IsLogPage(Page) ? Page : PageLogPrn);
    return false;
  }

  if (!IsLogFileName(LogFileName)) {
    Ui.Dialog.Show(TMsgKind::Error, MsgFileInvalid, TMsgButtons::OK);
    return false;
  }
  // Valid once a log is loaded: the one just loaded, or the one already
  // loaded under this unchanged name. A failed load leaves none.
  LogFileDir = ExtractFilePath(LogFileName);
  LoadLogFile(Ui);
  return LogLoaded();
}

void TLogSelection::FillSensorsCleared() {
  FView->SensorsCleared();
  SensorChoices.clear();
}

void TLogSelection::LoadFailed(TUiServices& Ui) {
  Log.reset();
  // No sensors of an earlier log stay behind to be reported under the new name.
  FillSensorsCleared();
  CheckedSensorCount = 0;
  FileValid = false;
  Ui.Dialog.Show(TMsgKind::Error, MsgCannotOpen, TMsgButtons::OK);
}

void TLogSelection::SetDates(LogTime Start, LogTime End) {
  StartTime = Start;
  EndTime = End;
  GridOffset = NonNegativeMod(StartTime, LogInterval);
  StartDate = SecsToDateTime(StartTime);
  EndDate = SecsToDateTime(EndTime);
  for (int P = 0; P < LogPageCount; ++P) {
    FView->StartPickerShown(P, StartDate);
    FView->EndPickerShown(P, EndDate);
  }
}

void TLogSelection::LoadLogFile(TUiServices& Ui) {
  if (!LogNameEdited) return;
  LogNameEdited = false;
  // The old reader goes first: it may hold a whole file in memory.
  Log.reset();
  Log = MakeLogReader(LogFileName, UpperNameStem(LogFileName));
  if (!Log || !Log->Open()) {
    LoadFailed(Ui);
    return;
  }

  FillSensorsCleared();
  const int Count = Log->SensorCount();
  SensorChoices.resize(static_cast<std::size_t>(Count));
  for (int i = 0; i < Count; ++i) {
    TLogSensor S = Log->Sensor(i + 1);
    TSensorChoice& C = SensorChoices[static_cast<std::size_t>(i)];
    C.FullName = std::move(S.Name);
    C.ShortName = std::move(S.ShortName);
    C.RightDigits = S.RightDigits;
    C.Slope = S.Slope;
    C.Offset = S.Offset;
    C.Units = std::move(S.Units);
    FView->SensorAdded(C.FullName);
  }
  // Sensors with readings of their own may not share a grid: only the
  // first starts checked.
  if (Log->RecordsHoldEverySensor())
    ApplySelectAll();
  else
    CheckFirstSensorOnly();

  LogInterval = Log->Interval();
  LogTitleName = Log->TitleName();
  // The range of the first sensor, which for a logger file is the log's.
  if (Count > 0) {
    const TLogSensor First = Log->Sensor(1);
    SetDates(First.FirstTime, First.LastTime);
  } else {
    SetDates(Log->FirstTime(), Log->LastTime());
  }

  if (SensorChoices.empty())
    Ui.Dialog.Show(TMsgKind::Warning, MsgNoSensors, TMsgButtons::OK);
  else
    FView->FirstSensorHighlighted();
}

void TLogSelection::CheckSensorsClick(int Index, bool Checked) {
  SelectAll = false;
  FView->SelectAllShown(false);
  if (Index < 0 || Index >= SensorChoiceCount()) return;
  TSensorChoice& C = SensorChoices[static_cast<std::size_t>(Index)];
  // A click always toggles; a repeated state would only skew the count.
  const bool Changed = C.Checked != Checked;
  C.Checked = Checked;
  FView->SensorCheckShown(Index, Checked);
  if (!Changed) return;
  if (Checked)
    ++CheckedSensorCount;
  else if (CheckedSensorCount > 0)
    --CheckedSensorCount;
}

void TLogSelection::chklbxSensorsExit(const std::vector<bool>& ItemChecked) {
  const std::size_t N = std::min(ItemChecked.size(), SensorChoices.size());
  for (std::size_t i = 0; i < N; ++i) SensorChoices[i].Checked = ItemChecked[i];
}

void TLogSelection::SelectAllClick(bool Checked) {
  SelectAll = Checked;
  ApplySelectAll();
}

void TLogSelection::ApplySelectAll() {
  FView->SelectAllShown(SelectAll);
  for (std::size_t i = 0; i < SensorChoices.size(); ++i) {
    SensorChoices[i].Checked = SelectAll;
    FView->SensorCheckShown(static_cast<int>(i), SelectAll);
  }
  CheckedSensorCount = SelectAll ? SensorChoiceCount() : 0;
}

void TLogSelection::CheckFirstSensorOnly() {
  SelectAll = false;
  FView->SelectAllShown(false);
  for (std::size_t i = 0; i < SensorChoices.size(); ++i) {
    SensorChoices[i].Checked = i == 0;
    FView->SensorCheckShown(static_cast<int>(i), i == 0);
  }
  CheckedSensorCount = SensorChoices.empty() ? 0 : 1;
}

void TLogSelection::dtpStartChange(int Page, TDateTime Picked) {
  StartDate = std::floor(Picked) + GridOffset / 86400.0;
  for (int P = 0; P < LogPageCount; ++P)
    if (P != Page) FView->StartPickerShown(P, StartDate);
  StartTime = DateTimeToSecs(StartDate);
}

void TLogSelection::dtpEndChange(int Page, TDateTime Picked) {
  EndDate = std::floor(Picked) + 1.0 - 1.0 / 86400.0;
  for (int P = 0; P < LogPageCount; ++P)
    if (P != Page) FView->EndPickerShown(P, EndDate);
  EndTime = DateTimeToSecs(EndDate);
}

bool TLogSelection::CheckDateRange(TUiServices& Ui) {
  if (StartDate > EndDate) {
    Ui.Status.SetPanelText(1, MsgDateRange);
    return false;
  }
  return true;
}

void TLogSelection::DtFormatChange(int Page, const std::string& Name, TDateTimeFormat& Format) {
  if (IsLogPage(Page)) {
    for (int P = 0; P < LogPageCount; ++P) {
      const int Index = P == PageLogPrn ? DtFormatIndex(LogPrnDtFormatNames, Name)
                                        : DtFormatIndex(OtherDtFormatNames, Name);
      DtFormatSelection[static_cast<std::size_t>(P)] = Index;
      if (P != Page) FView->DtFormatShown(P, Index);
    }
  }
  SetDateTimeFormat(Format, Name);
}

void TLogSelection::ShowDtFormat(int Page, int Index) {
  if (!IsLogPage(Page)) return;
  DtFormatSelection[static_cast<std::size_t>(Page)] = Index;
  FView->DtFormatShown(Page, Index);
}

std::int64_t CheckedReadings(const TLogSelection& Selection) {
  std::int64_t Most = 0;
  if (!Selection.Log) return Most;
  const int Count = Selection.Log->SensorCount();
  for (int I = 0; I < Count && I < Selection.SensorChoiceCount(); ++I)
    if (Selection.SensorChoices[std::size_t(I)].Checked)
      Most = std::max<std::int64_t>(Most, Selection.Log->RecordCount(I + 1));
  return Most;
}

std::int64_t LogFileBytes(const TLogSelection& Selection) {
  if (!Selection.Log) return 0;
  std::error_code Ec;
  const auto Size = std::filesystem::file_size(Selection.Log->FileName(), Ec);
  return Ec ? 0 : static_cast<std::int64_t>(Size);
}

double ExpectedGridBytes(const TLogSelection& Selection, std::int64_t Start, std::int64_t End,
                         std::int64_t Interval, const TDateTimeFormat& Format) {
  if (End < Start) return 0;
  const double Lines = Interval > 0 ? double((End - Start) / Interval + 1) : 2;
  // The date and time in their fixed columns (or as long as a long pattern
  // makes them) with a separator and the line end, then per checked sensor
  // a separator and its value in a fixed column (or as long as its decimals
  // make it); the column header lines weigh as much again for four lines.
  const LogTime At = static_cast<LogTime>(Start);
  double LineBytes =
      std::max<double>(11, double(FormatLogTime(Format.DatePattern, At, Format).size())) +
      std::max<double>(8, double(FormatLogTime(Format.TimePattern, At, Format).size())) + 3;
  for (const TSensorChoice& C : Selection.SensorChoices)
    if (C.Checked)
      LineBytes += 1 + std::max({8.0, double(C.ShortName.size()) + 2, double(C.RightDigits) + 3});
  return (Lines + 4) * LineBytes;
}

bool ConfirmLongGrid(const TLogSelection& Selection, std::int64_t Start, std::int64_t End,
                     std::int64_t Interval, const TDateTimeFormat& Format, IMessageDialog& Dialog) {
  if (Interval <= 0 || End < Start) return true;
  const std::int64_t Lines = (End - Start) / Interval + 1;
  const std::int64_t Readings = CheckedReadings(Selection);
  // What will be written is weighed, not the lines alone: a header that
  // makes every line thousands of columns wide multiplies a file's size as
  // surely as a stray date decades away.
  const double Expected = ExpectedGridBytes(Selection, Start, End, Interval, Format);
  const std::int64_t Input = LogFileBytes(Selection);
  if (Expected <= GridBytesFloor || Expected <= GridGrowthLimit * double(Input)) return true;
  const std::string Pattern = Format.DatePattern + " " + Format.TimePattern;
  const std::string Text = "This log spans " + std::to_string(Lines) + " lines from " +
                           FormatLogTime(Pattern, static_cast<LogTime>(Start), Format) + " to " +
                           FormatLogTime(Pattern, static_cast<LogTime>(End), Format) + " for " +
                           std::to_string(Readings) + " readings. Continue?";
  const std::string Detail = "About " + std::to_string(std::llround(Expected)) +
                             " bytes of lines from a file of " + std::to_string(Input) + " bytes.";
  return Dialog.Show(TMsgKind::Confirmation, Text, TMsgButtons::YesNo, Detail) == TMsgResult::Yes;
}

} // namespace quorvin
