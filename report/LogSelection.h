// SPDX-License-Identifier: GPL-3.0-or-later
// The log selection shared by the three log pages (LOGPRN, LOGPLOT,
// LOGSTAT): the chosen log file and its loaded reader, the sensor checks, the
// date range and the date-format choice, with the rules that change them.
//
// The pages' file boxes, sensor lists, pickers and format lists are views of
// this one object: the window attaches an ISelectionView and forwards its
// control events to the handlers below; quorvin-cli calls the same handlers
// without a view.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "core/DateTimeFormat.h"
#include "core/MiscUtil.h"
#include "core/UiServices.h"
#include "logdata/LogReader.h"

namespace quorvin {

// Pages of the main window, in tab order.
constexpr int PageLogPrn = 0;
constexpr int PageLogPlot = 1;
constexpr int PageLogStat = 2;
constexpr int PageRamCard = 3;
constexpr int PageDDRLog = 4;
constexpr int LogPageCount = 3;

struct TSensorChoice {
  bool Checked = false;
  std::string FullName;  // the name the reader knows the sensor by
  std::string ShortName; // the column name
  int RightDigits = 0;
  float Slope = 0.0f;  // logs with scaling only
  float Offset = 0.0f; // logs with scaling only
  std::string Units;   // logs with units only
};

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

class TLogSelection {
public:
  TLogSelection() = default;
  TLogSelection(const TLogSelection&) = delete;
  TLogSelection& operator=(const TLogSelection&) = delete;

  // The view to keep informed; none (the default) for work without a window.
  void AttachView(ISelectionView* View) { FView = View ? View : &FNoView; }

  // --- state ---------------------------------------------------------------
  std::string LogFileName;
  std::string LogFileDir; // with its trailing separator; empty for the current folder
  bool FileValid = false;
  bool LogNameEdited = false;

  // The loaded log, of whichever kind its file is; none when no log is loaded.
  std::unique_ptr<ILogReader> Log;

  std::vector<TSensorChoice> SensorChoices;
  int CheckedSensorCount = 0;
  bool SelectAll = false;

  LogTime StartTime = 0;
  LogTime EndTime = 0;
  TDateTime StartDate = 0;
  TDateTime EndDate = 0;
  std::int32_t LogInterval = 0;
  std::int32_t GridOffset = 0;
  std::string LogTitleName;

  // Texts of the three file-name boxes.
  std::array<std::string, LogPageCount> FileNameBoxes;
  // Selected entry of each log page's date-format list (-1: none).
  std::array<int, LogPageCount> DtFormatSelection{{-1, -1, -1}};

  int SensorChoiceCount() const { return static_cast<int>(SensorChoices.size()); }
  bool LogLoaded() const { return Log != nullptr; }

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
  void SetDates(LogTime Start, LogTime End);
  void FillSensorsCleared();
  // A reader that would not open: no log stays selected.
  void LoadFailed(TUiServices& Ui);

  ISelectionView FNoView;
  ISelectionView* FView = &FNoView;
};

// Readings stored for the checked sensors: the most any of them holds.
std::int64_t CheckedReadings(const TLogSelection& Selection);

// The size in bytes of the loaded log's file (0 when none is loaded).
std::int64_t LogFileBytes(const TLogSelection& Selection);

// About how many characters the lines of a walk over Start to End
// (inclusive) in steps of Interval take for the checked sensors, with the
// dates and times written in Format.
double ExpectedGridBytes(const TLogSelection& Selection, std::int64_t Start, std::int64_t End,
                         std::int64_t Interval, const TDateTimeFormat& Format);

// A walk whose lines would take more than GridGrowthLimit times the log's
// file, and more than GridBytesFloor, is first put to the user: that is
// what one stray row from a logger whose clock was reset, or a damaged
// header, makes of a small file. False when the answer is No.
constexpr double GridGrowthLimit = 100;
constexpr double GridBytesFloor = 1 << 20;
bool ConfirmLongGrid(const TLogSelection& Selection, std::int64_t Start, std::int64_t End,
                     std::int64_t Interval, const TDateTimeFormat& Format, IMessageDialog& Dialog);

} // namespace quorvin
