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
  // file, the views the pane). Each is true when its whole run ended
  // normally, and then equals Ok; Ok is false when the file ended early
  // ("Error! Unexpected end of DDR file." in the message panel), the text
  // produced so far standing.
  bool ImportDDR(TCommandMode Mode, bool& Ok);
  bool ShowDDRSummary(TCommandMode Mode, bool& Ok);
  // The whole file's scans, notes and events as numbers, block by block as
  // the import decodes them. True when read to its end and then equal to
  // Ok, which is false when the file ended early (told as the import tells
  // it), what was read so far standing.
  bool ReadDDRScans(TDDRScanTable& Table, bool& Ok);

  std::string Pattern() const { return FFormat.DatePattern + " " + FFormat.TimePattern; }

private:
  bool Emit(const std::string& Text, bool ToFile);
  bool RunImport(TCommandMode Mode, bool& Ok);
  bool RunSummary(TCommandMode Mode, bool& Ok);
  bool RunScans(TDDRScanTable& Table, bool& Ok);
  // At the end of a block loop: data the loop could not reach is an early end.
  void CheckStop(bool& Ok);
  void Status(const std::string& Text) { FUi.Status.SetPanelText(1, Text); }

  TDDRObj& FDDR;
  TUiServices& FUi;
  const TDateTimeFormat& FFormat;
  bool& FFileValid;
  TWorkbookConverter FConverter;
};

} // namespace quorvin
