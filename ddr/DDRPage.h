// SPDX-License-Identifier: GPL-3.0-or-later
// The DDRLOG page without its widgets: the controls as plain fields, the
// edit handlers that open the DDR file and check the output name, the import
// driver and the block summary. The commands that run them (their checks,
// status texts and CommandMode) are the application's; the window binds its
// widgets to this state.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/CommandMode.h"
#include "core/DateTimeFormat.h"
#include "core/UiServices.h"
#include "ddr/DDRObj.h"
#include "ddr/DDRScans.h"

namespace quorvin {

// Turns a TAB-separated text file into a workbook in place: the complete
// temporary file of a Save, or the .XLS itself when appending.
using TWorkbookConverter = std::function<bool(const std::string& FileName)>;

// The page's two name boxes, as the user typed them. The option controls
// show the decoder's layout itself.
struct TDDRPageControls {
  std::string edtDDRLog;
  std::string edtDDROutput;
};

// Adds one piece of decoded text to the pane: one trailing CRLF goes, the
// rest is split into lines at its CRLFs.
void AddPieceToPane(ITextPane& Pane, const std::string& Piece, bool StripOneCRLF = true);

class TDDRPage {
public:
  // FileValid belongs to the main window (shared with the log pages); Format
  // is the program's one date-time format.
  TDDRPage(TDDRObj& DDRObj, TUiServices& Ui, const TDateTimeFormat& Format, bool& FileValid,
           TWorkbookConverter Converter);

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
  // The device box shows the device name while USGS Device is checked, and
  // is empty and greyed otherwise; what is typed in it is the name.
  std::string edtDevice() const;
  bool edtDeviceEnabled() const { return FDDR.Layout.USGSDevice; }
  void SetDeviceText(const std::string& Text);

  // The driver, for the command running in Mode (Save writes the output
  // file, the views the pane). True when the whole run ended normally.
  // Otherwise the message panel says why: "Error! Unexpected end of DDR
  // file." when the file ended early (the text produced so far standing),
  // else FailureText, the command's own words; what stopped the run on its
  // way (no memory left) is shown in a dialog as well.
  bool ImportDDR(TCommandMode Mode, std::string_view FailureText);
  bool ShowDDRSummary(TCommandMode Mode, std::string_view FailureText);
  // The whole file's scans, notes and events as numbers, block by block as
  // the import decodes them; true when read to its end. Otherwise told as
  // the import tells it, what was read so far standing.
  bool ReadDDRScans(TDDRScanTable& Table, std::string_view FailureText);

  std::string Pattern() const { return FFormat.DatePattern + " " + FFormat.TimePattern; }

private:
  bool Emit(const std::string& Text, bool ToFile);
  bool Import(TCommandMode Mode);
  bool Summary(TCommandMode Mode);
  bool RunImport(TCommandMode Mode);
  bool RunSummary(TCommandMode Mode);
  bool RunScans(TDDRScanTable& Table);
  // Run, with what stops it on its way shown in a dialog (then false).
  bool Guarded(const std::function<bool()>& Run);
  // The end of a run: FailureText in the message panel for a failure that
  // has not said why.
  bool Reported(bool Result, std::string_view FailureText);
  // The text ended before the file did; the run goes on.
  void EndedEarly();
  // At the end of a block loop: data the loop could not reach is an early end.
  void CheckStop();
  void Status(const std::string& Text) { FUi.Status.SetPanelText(1, Text); }

  TDDRObj& FDDR;
  TUiServices& FUi;
  const TDateTimeFormat& FFormat;
  bool& FFileValid;
  TWorkbookConverter FConverter;
  bool FEndedEarly = false;
};

} // namespace quorvin
