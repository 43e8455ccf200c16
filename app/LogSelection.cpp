// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LogSelection.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "app/Captions.h"
#include "core/FileNames.h"
#include "core/Messages.h"
#include "logdata/LogFormats.h"

namespace quorvin {

namespace {

const char* const MsgCannotOpen = "Unble to open file or read header.  Check file format.";
const char* const MsgNoSensors = "No sensors in Log file.";
const char* const MsgDateRange = "Error: Please check the start date and the end date.";

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

void TLogSelection::ShowDates() {
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
  std::unique_ptr<ILogReader> Reader = MakeLogReader(LogFileName, UpperNameStem(LogFileName));
  if (!Reader || !Reader->Open()) {
    LoadFailed(Ui);
    return;
  }

  FillSensorsCleared();
  UseLog(std::move(Reader));
  for (const TSensorChoice& C : SensorChoices) FView->SensorAdded(C.FullName);
  // Sensors with readings of their own may not share a grid: only the
  // first starts checked.
  if (Log->RecordsHoldEverySensor())
    ApplySelectAll();
  else
    CheckFirstSensorOnly();
  ShowDates();

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
  StartDate = std::floor(Picked) + GridOffset / double(SecsPerDay);
  for (int P = 0; P < LogPageCount; ++P)
    if (P != Page) FView->StartPickerShown(P, StartDate);
  StartTime = DateTimeToSecs(StartDate);
}

void TLogSelection::dtpEndChange(int Page, TDateTime Picked) {
  EndDate = std::floor(Picked) + 1.0 - 1.0 / SecsPerDay;
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
      const int Index = P == PageLogPrn ? DtFormatIndex(captions::LogPrnDtFormatNames, Name)
                                        : DtFormatIndex(captions::OtherDtFormatNames, Name);
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

int DtFormatIndex(std::span<const std::string_view> Names, const std::string& Name) {
  const std::string Upper = UpperCase(Name);
  for (std::size_t i = 0; i < Names.size(); ++i)
    if (Names[i] == Upper) return static_cast<int>(i);
  return -1;
}

bool SensorsNamed(const TSelectedLog& Sel, const std::string& List, std::vector<bool>& Check,
                  std::string& Unknown) {
  Check.assign(Sel.SensorChoices.size(), List == "all");
  if (List == "all" || List == "none") return true;
  std::string Rest = List;
  while (true) {
    std::string Item = SplitAt(',', Rest);
    bool Last = Item == Rest;
    bool Found = false;
    bool Numeric = !Item.empty() && std::all_of(Item.begin(), Item.end(),
                                                [](char C) { return C >= '0' && C <= '9'; });
    if (Numeric && Item.size() < 9) {
      std::size_t Pos = std::stoul(Item);
      if (Pos >= 1 && Pos <= Check.size()) {
        Check[Pos - 1] = true;
        Found = true;
      }
    } else {
      std::string Upper = UpperCase(Item);
      for (std::size_t I = 0; I < Sel.SensorChoices.size(); ++I) {
        const TSensorChoice& C = Sel.SensorChoices[I];
        if (UpperCase(C.FullName) == Upper || UpperCase(C.ShortName) == Upper) {
          Check[I] = true;
          Found = true;
        }
      }
    }
    if (!Found) {
      Unknown = Item;
      return false;
    }
    if (Last) return true;
  }
}

} // namespace quorvin
