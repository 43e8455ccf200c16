// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Application.h"

#include "app/Settings.h"
#include "core/IniFile.h"
#include "workbook/Workbook.h"

namespace quorvin {

TApplication::TApplication(TAppServices& Services)
    : FServices(Services), FUi{Services.Dialog, Services.Status, Services.Pane, Services.Busy},
      DDRObj(Services.Dialog),
      DDRPage(DDRObj, FUi, Format, Selection.FileValid,
              [](const std::string& Name) { return ConvertTextToWorkbook(Name); }),
      RamCardPage(FUi) {
  // The system's separators are taken once, when the program starts.
  SystemSeparators(Format.SystemDateSeparator, Format.SystemTimeSeparator);
  Format.DateSeparator = Format.SystemDateSeparator;
  Format.TimeSeparator = Format.SystemTimeSeparator;
  RamCardPage.OnShowPane = [this] {
    PaneVisible = true;
    ViewChanged();
  };
  RamCardPage.OnFocusOutFile = [this] { FView->FocusControl(TFocusTarget::edtOutFile); };
  DDRPage.PageActive = false;
}

TApplication::~TApplication() = default;

std::unique_ptr<IMountPoints> SystemMountPoints() { return std::make_unique<TSystemMountPoints>(); }

// ---------------------------------------------------------------------------
// Start-up and shut-down

void TApplication::FormCreate(const std::string& StartDirectory,
                              const std::string& ProgramDirectory) {
  // One separator at the end, also for the root folder.
  StartDir = StartDirectory;
  while (StartDir.size() > 1 && StartDir.back() == '/' && StartDir[StartDir.size() - 2] == '/')
    StartDir.pop_back();
  if (!StartDir.empty() && StartDir.back() != '/') StartDir += '/';
  ProgramDir = ProgramDirectory;
  TIniFile Ini(SettingsFileName());
  FormCreate(Ini);
}

void TApplication::FormCreate(TIniFile& Ini) {
  Selection.LogNameEdited = false;
  DDRPage.DDRNameEdited = false;
  DDRPage.DDROutputEdited = false;
  Format.DatePattern.clear();
  Format.TimePattern.clear();
  RamCardPage.FillDrives(FServices.Mounts);
  LoadSettings(Ini, *this);

  ActivePage = PageLogPrn;
  DDRPage.PageActive = false;
  ToolButtons = TToolButtonsEnabled{};
  Selection.SelectAll = false;
  // The LOGPRN list's name sets the format and the other log pages' lists.
  // A stored name the list does not hold keeps the stored halves.
  const int Index = Selection.DtFormatSelection[PageLogPrn];
  if (Index >= 0)
    DtFormatChange(PageLogPrn,
                   std::string(captions::LogPrnDtFormatNames[static_cast<std::size_t>(Index)]));
  Selection.Log.reset();
  Selection.CheckedSensorCount = 0;
  Selection.FileValid = false;
  GraphLimits.Maximum = DefaultLeftAxisMaximum;
  GraphLimits.Minimum = DefaultLeftAxisMinimum;
  CommandMode = cmNone;
  RecentFiles.Load(Ini, OpenDialogFolder);
  FView->RecentFilesChanged();
  // The saved choice of separators applies from the start, not only after
  // the first command that reads the LOGPRN options.
  ApplySeparators(Format, LogPrn.UseSysFormat);
  ViewChanged();
}

bool TApplication::FormDestroy() {
  TIniFile Ini(SettingsFileName());
  return FormDestroy(Ini);
}

bool TApplication::FormDestroy(TIniFile& Ini) {
  RecentFiles.Save(Ini, OpenDialogFolder);
  if (SaveSettings(Ini, *this)) return true;
  FServices.Dialog.Show(TMsgKind::Error,
                        std::string(captions::MsgSettingsNotWrittenPrefix) + Ini.FileName() + ".",
                        TMsgButtons::OK, Ini.FailureReason());
  return false;
}

// ---------------------------------------------------------------------------
// Options

void TApplication::ShowOptions() {
  const std::string Name = DateTimeFormatName(Format);
  // A stored name none of the lists holds shows as no choice on every log
  // page, as the reports then use the stored halves.
  const int LogPrnIndex = DtFormatIndex(captions::LogPrnDtFormatNames, Name);
  for (int Page = 0; Page < LogPageCount; ++Page)
    Selection.ShowDtFormat(Page, Page == PageLogPrn || LogPrnIndex < 0
                                     ? LogPrnIndex
                                     : DtFormatIndex(captions::OtherDtFormatNames, Name));
  cbxDtFormatDDR = DtFormatIndex(captions::OtherDtFormatNames, Name);
  FView->ControlsChanged();
  FView->ChartColoursChanged();
}

std::string TApplication::LoadedLogDisplayName() const {
  return Selection.Log ? Selection.Log->DisplayName() : std::string();
}

// ---------------------------------------------------------------------------
// Page and control events

void TApplication::PgCntrlLogChange(int NewPage) {
  ActivePage = NewPage;
  DDRPage.PageActive = NewPage == PageDDRLog;
  switch (CommandMode) {
  case cmDisplay:
    OptionsDisplayExecute();
    break;
  case cmHeader:
    OptionsHeaderExecute();
    break;
  case cmGraph:
    OptionsGraphExecute();
    break;
  case cmStatistics:
    OptionsStatsExecute();
    break;
  default:
    // The marks a Save left stay, and so does the window's height.
    PaneVisible = false;
    ChartVisible = false;
    break;
  }
  static constexpr TFocusTarget Focus[] = {TFocusTarget::edtFilename, TFocusTarget::edtFilename2,
                                           TFocusTarget::edtFilename3, TFocusTarget::cbxRamdir,
                                           TFocusTarget::edtDDRLog};
  ToolButtons.tbtnDisplay = NewPage == PageLogPrn || NewPage == PageDDRLog;
  ToolButtons.tbtnHeader = ToolButtons.tbtnDisplay;
  ToolButtons.tbtnGraph = NewPage == PageLogPlot;
  ToolButtons.tbtnStats = NewPage == PageLogStat;
  ViewChanged();
  if (NewPage >= 0 && NewPage < 5) FView->FocusControl(Focus[NewPage]);
}

void TApplication::LogFileChange(int Page, const std::string& Text) {
  if (Page == PageDDRLog)
    DDRPage.SetDDRLogText(Text);
  else
    Selection.LogFileChange(Page, Text);
}

void TApplication::edtFilenameExit(int Page) {
  if (Page == PageDDRLog) {
    DDRPage.edtFilenameExit();
    FView->ControlsChanged();
  } else {
    Selection.edtFilenameExit(Page, FUi);
  }
}

void TApplication::edtDDROutputChange(const std::string& Text) { DDRPage.SetDDROutputText(Text); }

void TApplication::edtDDROutputExit() { DDRPage.edtDDROutputExit(); }

void TApplication::DtFormatChange(int Page, const std::string& Name) {
  if (Page == PageDDRLog) {
    cbxDtFormatDDR = DtFormatIndex(captions::OtherDtFormatNames, Name);
    SetDateTimeFormat(Format, Name);
  } else {
    Selection.DtFormatChange(Page, Name, Format);
  }
}

void TApplication::cbxOutFormatChange(int Page, int Index) {
  if (Page == PageDDRLog)
    DDRObj.Layout.DDROutputFormat = OutputFormatOfItem(Index);
  else
    LogPrn.OutputFormat = OutputFormatOfItem(Index);
  // Either list proposes the DDR output name with the DDR format's extension.
  std::string NewName;
  DDRObj.MatchOutputExt(NewName);
  DDRPage.SetDDROutputText(NewName);
  FView->ControlsChanged();
}

void TApplication::chkFileLayoutClickCheck(int Item, bool Checked) {
  SetFileLayout(LogPrn, Item, Checked);
  FView->ControlsChanged();
}

void TApplication::gbxStdzeroClick(int Item) { SetStdzeroItem(LogPrn, Item); }

void TApplication::chkSysFormatClick(bool Checked) {
  LogPrn.UseSysFormat = Checked;
  ApplySeparators(Format, Checked);
}

namespace {

// A list that shows no colour keeps the name it had.
void SetColour(std::string& Name, int Index) {
  if (Index >= 0 && Index < int(ColourNames.size())) Name = ColourNames[std::size_t(Index)];
}

} // namespace

void TApplication::STBackColorChange(int Index) {
  SetColour(Colours.BackgroundColor, Index);
  FView->ChartColoursChanged();
}

void TApplication::STTextColorChange(int Index) {
  SetColour(Colours.TextColor, Index);
  FView->ChartColoursChanged();
}

void TApplication::chkUSGSDeviceClick(bool Checked) {
  DDRObj.Layout.USGSDevice = Checked;
  FView->ControlsChanged();
}

void TApplication::btnBrowseDirClick() {
  RamCardPage.btnBrowseDirClick(FServices.FolderBrowser, ProgramDir);
  FView->ControlsChanged();
}

bool TApplication::cbxRamdirClick(const std::string& Drive) {
  RamCardPage.cbxRamdir.Text = Drive;
  const bool Listed = RamCardPage.cbxRamdirClick();
  FView->RamFilesChanged();
  return Listed;
}

// ---------------------------------------------------------------------------
// View state

void TApplication::ClearMessage() { FServices.Status.SetPanelText(1, ""); }

void TApplication::Message(std::string_view Text) {
  FServices.Status.SetPanelText(1, std::string(Text));
}

void TApplication::ShowOutputArea(bool Show) {
  OutputAreaShown = Show;
  ViewChanged();
}

void TApplication::ShowPane() {
  ChartVisible = false;
  PaneVisible = true;
}

void TApplication::ShowChart() {
  PaneVisible = false;
  ChartVisible = true;
}

void TApplication::SetOnlyMark(bool TViewMarks::*Menu) {
  Marks.mnuDisplay = Marks.tbtnDisplay = false;
  Marks.mnuHeader = Marks.tbtnHeader = false;
  Marks.mnuGraph = Marks.tbtnGraph = false;
  Marks.mnuStatistics = Marks.tbtnStats = false;
  Marks.*Menu = true;
}

} // namespace quorvin
