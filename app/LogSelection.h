// SPDX-License-Identifier: GPL-3.0-or-later
// The log selection shared by the three log pages (LOGPRN, LOGPLOT,
// LOGSTAT): the chosen log file and its loaded reader, the sensor checks, the
// date range and the date-format choice, with the rules that change them.
// What the outputs read of it is its TSelectedLog part.
//
// The pages' file boxes, sensor lists, pickers and format lists are views of
// this one object: the window attaches an ISelectionView and forwards its
// control events to the handlers below; quorvin-cli calls the same handlers
// without a view.
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/Pages.h"
#include "core/DateTimeFormat.h"
#include "core/MiscUtil.h"
#include "core/UiServices.h"
#include "report/SelectedLog.h"

namespace quorvin {

// What the window shows of the selection. Every call concerns the controls
// of all three log pages unless a Page is given. Nothing here calls back
// into the model.
class ISelectionView {
public:
  virtual ~ISelectionView() = default;
  virtual void FileNameShown(int /*Page*/, const std::string& /*Text*/) {}
  virtual void FocusFileName(int /*Page*/) {}
  virtual void SensorsCleared() {}
  virtual void SensorAdded(const std::string& /*FullName*/) {}
  virtual void SensorCheckShown(int /*Index*/, bool /*Checked*/) {}
  virtual void SelectAllShown(bool /*Checked*/) {}
  virtual void FirstSensorHighlighted() {}
  virtual void StartPickerShown(int /*Page*/, TDateTime /*Date*/) {}
  virtual void EndPickerShown(int /*Page*/, TDateTime /*Date*/) {}
  // Index into that page's list of names; -1 shows no selection.
  virtual void DtFormatShown(int /*Page*/, int /*Index*/) {}
};

class TLogSelection : public TSelectedLog {
public:
  TLogSelection() = default;
  TLogSelection(const TLogSelection&) = delete;
  TLogSelection& operator=(const TLogSelection&) = delete;

  // The view to keep informed; none (the default) for work without a window.
  void AttachView(ISelectionView* View) { FView = View ? View : &FNoView; }

  // --- state (besides the log, its sensors and the range) --------------------
  bool FileValid = false;
  bool LogNameEdited = false;
  int CheckedSensorCount = 0;
  bool SelectAll = false;

  // Texts of the three file-name boxes.
  std::array<std::string, LogPageCount> FileNameBoxes;
  // Selected entry of each log page's date-format list (-1: none).
  std::array<int, LogPageCount> DtFormatSelection{{-1, -1, -1}};

  // --- control events ------------------------------------------------------
  // A log page's file box text changed.
  void LogFileChange(int Page, const std::string& Text);
  // Leaving a log page's file box: validate (and load) the name typed there.
  void edtFilenameExit(int Page, TUiServices& Ui);
  // Item Index of a sensor list was toggled to Checked.
  void CheckSensorsClick(int Index, bool Checked);
  // Leaving the LOGPRN sensor list: its item states become the entries'.
  void chklbxSensorsExit(const std::vector<bool>& ItemChecked);
  void SelectAllClick(bool Checked);
  // The user picked a date in Page's start (end) picker.
  void dtpStartChange(int Page, TDateTime Picked);
  void dtpEndChange(int Page, TDateTime Picked);
  // The program selects entry Index (-1: none) in Page's date-format list.
  void ShowDtFormat(int Page, int Index);
  // A date-format list changed to Name; sets the program's one format.
  void DtFormatChange(int Page, const std::string& Name, TDateTimeFormat& Format);

  // --- operations ----------------------------------------------------------
  // Checks LogFileName and loads it; the new value for FileValid: true when
  // a log is loaded under that name.
  bool ValidateLogFile(int Page, TUiServices& Ui);
  // Loads LogFileName with the reader of its kind, unless the name is
  // unchanged since the last load.
  void LoadLogFile(TUiServices& Ui);
  void ApplySelectAll();
  void CheckFirstSensorOnly();
  // False, with its message in the message panel, when start is after end.
  bool CheckDateRange(TUiServices& Ui);

private:
  void ShowDates();
  void FillSensorsCleared();
  // A reader that would not open: no log stays selected.
  void LoadFailed(TUiServices& Ui);

  ISelectionView FNoView;
  ISelectionView* FView = &FNoView;
};

// The sensors List names: "all", "none", or positions (from 1) and names
// (full or column names, in any case) separated by commas. False, with
// Unknown the item, when the log has no such sensor.
bool SensorsNamed(const TSelectedLog& Sel, const std::string& List, std::vector<bool>& Check,
                  std::string& Unknown);

// Position of Name in a list of date-format names, compared in upper case;
// -1 when the list does not hold it (the list then shows no selection).
int DtFormatIndex(std::span<const std::string_view> Names, const std::string& Name);

} // namespace quorvin
