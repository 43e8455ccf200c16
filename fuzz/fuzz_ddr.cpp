// SPDX-License-Identifier: GPL-3.0-or-later
// The DDRLOG page on a recorder file: display, block summary, and saves as
// text and as a workbook into the scratch folder, with the header, data and
// notes sections and the USGS conventions switched by the first input byte;
// and its scans read as numbers.
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "core/DateTimeFormat.h"
#include "ddr/DDRPage.h"
#include "workbook/Workbook.h"

using namespace quorvin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size < 1) return 0;
  const std::uint8_t Switches = Data[0];
  const std::string Path = fuzz::WriteInput("F.DDR", Data + 1, Size - 1);
  fuzz::TNullUi Ui;
  TDDRObj DDR(Ui);
  TDateTimeFormat Format;
  SetDateTimeFormat(Format, (Switches & 0x80) ? "YYYY-MM-DD HH:MM" : "MM/DD/YYYY HH:MM:SS");
  bool FileValid = false;
  TDDRPage Page(DDR, Ui.Services, Format, FileValid,
                [](const std::string& Name) { return ConvertTextToWorkbook(Name); });
  DDR.Layout.AddHeader = Switches & 1;
  DDR.Layout.AddData = !(Switches & 2);
  DDR.Layout.AddNotes = !(Switches & 4);
  DDR.Layout.USGSStation = Switches & 8;
  DDR.Layout.USGSDevice = Switches & 16;
  Page.SetDDRLogText(Path);
  Page.edtFilenameExit();
  if (!FileValid) return 0;
  // Display, Header and Save as the application drives the page.
  Page.ImportDDR(cmDisplay, "display failed");
  Page.ShowDDRSummary(cmHeader, "header failed");
  Page.ImportDDR(cmNone, "save failed");
  // The scans as numbers: one value per scan in every column.
  TDDRScanTable Table;
  Page.ReadDDRScans(Table, "scans failed");
  for (const TDDRScanColumn& C : Table.Columns)
    if (C.Values.size() != Table.Times.size() || Table.Bad.size() != Table.Times.size())
      std::abort();
  if ((Switches & 0x60) == 0x60 && Size % 4 == 0) {
    // The EXCEL entry of the output-format list, then Save again. One input
    // in sixteen: the workbook library (not instrumented, so it finds no new
    // paths) spends five times the rest of an input's work zipping the file.
    DDR.Layout.DDROutputFormat = TOutputFormat::Excel;
    std::string Output;
    DDR.MatchOutputExt(Output);
    Page.SetDDROutputText(Output);
    Page.ImportDDR(cmNone, "save failed");
  }
  return 0;
}
