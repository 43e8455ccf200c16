// SPDX-License-Identifier: GPL-3.0-or-later
// The DDRLOG page without its widgets: the controls as plain fields, the
// edit handlers that open the DDR file and check the output name, the import
// driver and the block summary. The commands that run them (their checks,
// status texts and CommandMode) are the application's; the window binds its
// widgets to this state.
#pragma once

#include <functional>
#include <string>

#include "core/CommandMode.h"
#include "core/DateTimeFormat.h"
#include "core/UiServices.h"
#include "ddr/DDRObj.h"

namespace quorvin {

// Turns a TAB-separated text file into a workbook in place: the complete
// temporary file of a Save, or the .XLS itself when appending.
using TWorkbookConverter = std::function<bool(const std::string& FileName)>;

// The page's controls, as the user sees them.
struct TDDRPageControls {
  std::string edtDDRLog;
  std::string edtDDROutput;
  int cbxOutFormat1 = 0; // item index: 0 TEXT, 1 EXCEL
  bool chkAppend1 = false;
  bool chkHeader = false;
  bool chkData = true;
  bool chkNotes = true;
  bool chkUSGSStation = false;
  bool chkUSGSDevice = false;
  std::string edtDevice;
  bool edtDeviceEnabled = false;
};

// Adds one piece of decoded text to the pane: one trailing CRLF goes, the
// rest is split into lines at its CRLFs.
void AddPieceToPane(ITextPane& Pane, const std::string& Piece, bool StripOneCRLF = true);

class TDDRPage {
public:
  // CommandMode and FileValid belong to the main window (shared with the log
  // pages); Format is the program's one date-time format.
  TDDRPage(TDDRObj& DDRObj, TUiServices& Ui, const TDateTimeFormat& Format, int& CommandMode,
           bool& FileValid, TWorkbookConverter Converter);

  TDDRPageControls Controls;
  bool DDROutputValid = false;
  bool DDRNameEdited = false;
  bool DDROutputEdited = false;
  // The DDRLOG page is the one showing (the shared handlers act only then).
  bool PageActive = true;

  // Text set on the two name boxes, by the user or the program: a changed
  // text runs the box's change handler as the widget would.
  void SetDDRLogText(const std::string& Text);
  void SetDDROutputText(const std::string& Text);

  // Edit handlers.
  void LogFileChange();
  void edtFilenameExit();
  void edtDDROutputChange();
  void edtDDROutputExit();
  void btnDDRBrowseChosen(const std::string& Path);
  void btnOutBrowseChosen(const std::string& Path);
  void chkUSGSDeviceClick();
  void ShowDDROptions();
  void ReadDDROptions();

  // The driver. Each is true when its whole run ended normally, and then
  // equals Ok; Ok is false when the file ended early ("Error! Unexpected end
  // of DDR file." in the message panel), the text produced so far standing.
  bool ImportDDR(bool& Ok);
  bool ShowDDRSummary(bool& Ok);

  std::string Pattern() const { return FFormat.DatePattern + " " + FFormat.TimePattern; }

private:
  bool SaveMode() const { return FCommandMode != cmDisplay && FCommandMode != cmHeader; }
  bool Emit(const std::string& Text, bool ToFile);
  bool RunImport(bool& Ok);
  bool RunSummary(bool& Ok);
  // At the end of a block loop: data the loop could not reach is an early end.
  void CheckStop(bool& Ok);
  void Status(const std::string& Text) { FUi.Status.SetPanelText(1, Text); }

  TDDRObj& FDDR;
  TUiServices& FUi;
  const TDateTimeFormat& FFormat;
  int& FCommandMode;
  bool& FFileValid;
  TWorkbookConverter FConverter;
};

} // namespace quorvin
