// SPDX-License-Identifier: GPL-3.0-or-later
#include "ddr/DDRPage.h"

#include <charconv>
#include <exception>
#include <utility>

#include "core/Messages.h"

namespace quorvin {

void AddPieceToPane(ITextPane& Pane, const std::string& Piece, bool StripOneCRLF) {
  std::string::size_type End = Piece.size();
  if (StripOneCRLF && End >= 2 && Piece[End - 2] == '\r' && Piece[End - 1] == '\n') End -= 2;
  std::string::size_type From = 0;
  for (;;) {
    auto Pos = Piece.find("\r\n", From);
    if (Pos == std::string::npos || Pos >= End) {
      Pane.AppendLine(Piece.substr(From, End - From));
      return;
    }
    Pane.AppendLine(Piece.substr(From, Pos - From));
    From = Pos + 2;
  }
}

namespace {

// 100 * Data / Total as "%6.2f" writes it in the C locale, whatever the
// process locale.
std::string FormatRatio(long long Data, long long Total) {
  char Buf[64];
  const double Ratio = 100.0 * static_cast<double>(Data) / static_cast<double>(Total);
  const auto R = std::to_chars(Buf, Buf + sizeof Buf, Ratio, std::chars_format::fixed, 2);
  std::string Text(Buf, R.ec == std::errc() ? R.ptr : Buf);
  if (Text.size() < 6) Text.insert(0, 6 - Text.size(), ' ');
  return Text;
}

} // namespace

TDDRPage::TDDRPage(TDDRObj& DDRObj, TUiServices& Ui, const TDateTimeFormat& Format, bool& FileValid,
                   TWorkbookConverter Converter)
    : FDDR(DDRObj), FUi(Ui), FFormat(Format), FFileValid(FileValid),
      FConverter(std::move(Converter)) {}

// ---------------------------------------------------------------------------
// Controls and edit handlers

void TDDRPage::SetDDRLogText(const std::string& Text) {
  if (Controls.edtDDRLog == Text) return;
  Controls.edtDDRLog = Text;
  LogFileChange();
}

void TDDRPage::SetDDROutputText(const std::string& Text) {
  if (Controls.edtDDROutput == Text) return;
  Controls.edtDDROutput = Text;
  edtDDROutputChange();
}

void TDDRPage::LogFileChange() {
  if (PageActive) DDRNameEdited = true;
}

void TDDRPage::edtFilenameExit() {
  if (!PageActive) return;
  FDDR.DDRFileName = Controls.edtDDRLog;
  std::string Proposal;
  FFileValid = FDDR.OpenDDR(Proposal);
  SetDDROutputText(Proposal);
  FDDR.DDROutputFileName = Proposal;
  DDRNameEdited = false;
}

void TDDRPage::edtDDROutputChange() {
  if (PageActive) DDROutputEdited = true;
}

void TDDRPage::edtDDROutputExit() {
  if (!PageActive) return;
  FDDR.DDROutputFileName = Controls.edtDDROutput;
  DDROutputValid = FDDR.ValidateOutputFile();
  DDROutputEdited = false;
}

void TDDRPage::btnDDRBrowseChosen(const std::string& Path) {
  FDDR.DDRFileName = Path;
  SetDDRLogText(Path);
  std::string Proposal;
  FFileValid = FDDR.OpenDDR(Proposal);
  SetDDROutputText(Proposal);
  FDDR.DDROutputFileName = Proposal;
  DDRNameEdited = false;
}

void TDDRPage::btnOutBrowseChosen(const std::string& Path) {
  FDDR.DDROutputFileName = Path;
  SetDDROutputText(Path);
  DDROutputValid = FDDR.ValidateOutputFile();
  DDROutputEdited = false;
}

std::string TDDRPage::edtDevice() const {
  return FDDR.Layout.USGSDevice ? FDDR.Layout.DeviceName : std::string();
}

void TDDRPage::SetDeviceText(const std::string& Text) {
  if (FDDR.Layout.USGSDevice) FDDR.Layout.DeviceName = Text;
}

// ---------------------------------------------------------------------------
// Driver

bool TDDRPage::Emit(const std::string& Text, bool ToFile) {
  if (ToFile) return FDDR.WriteOutput(Text);
  AddPieceToPane(FUi.Pane, Text);
  return true;
}

bool TDDRPage::ImportDDR(TCommandMode Mode, std::string_view FailureText) {
  FEndedEarly = false;
  return Reported(Import(Mode), FailureText);
}

bool TDDRPage::ShowDDRSummary(TCommandMode Mode, std::string_view FailureText) {
  FEndedEarly = false;
  return Reported(Summary(Mode), FailureText);
}

bool TDDRPage::Reported(bool Result, std::string_view FailureText) {
  if (Result && !FEndedEarly) return true;
  // An early end has said so already, and its words stay.
  if (!FEndedEarly) Status(std::string(FailureText));
  return false;
}

bool TDDRPage::Guarded(const std::function<bool()>& Run) {
  try {
    return Run();
  } catch (const std::exception& E) {
    FUi.Dialog.Show(TMsgKind::Error, StoppedMessage(E), TMsgButtons::OK);
    return false;
  }
}

bool TDDRPage::Import(TCommandMode Mode) {
  if (DDRNameEdited) {
    edtFilenameExit();
    DDRNameEdited = false;
  }
  if (!FFileValid) return false;
  const bool ToFile = IsSaving(Mode);
  if (ToFile) {
    if (DDROutputEdited) {
      edtDDROutputExit();
      DDROutputEdited = false;
    }
    if (!DDROutputValid) return false;
  }
  FUi.Status.SetProgressText("Importing from .DDR file " + FDDR.DDRFileName + " ...");
  FDDR.DateSeparator = FFormat.DateSeparator;
  FDDR.TimeSeparator = FFormat.TimeSeparator;
  // Nothing is decoded into an output that could not be opened: the run
  // would otherwise end as a success with no file written.
  if (ToFile && !FDDR.OpenOutput(FDDR.Layout.AppendDDRData)) return false;

  bool Result = Guarded([&] { return RunImport(Mode); });
  FDDR.Rewind();
  if (ToFile) {
    // The workbook is made from the complete text before it replaces the
    // old file, so a failed conversion leaves the old file as it was.
    TWorkbookConverter Finish;
    if (FDDR.Layout.Excel())
      Finish = [this](const std::string& Name) { return FConverter && FConverter(Name); };
    if (!FDDR.CloseOutput(Result, Finish)) Result = false;
  }
  return Result;
}

bool TDDRPage::RunImport(TCommandMode Mode) {
  const bool ToFile = IsSaving(Mode);
  const bool Display = !ToFile;
  const std::string Pat = Pattern();
  int ColumnWidth = 11;
  int Count = 0;
  // A summary that ended early has said so; the import goes on.
  if (FDDR.Layout.AddHeader && !Summary(Mode) && !FEndedEarly)
    Status("Error!  Unable to read DDR Header");
  if (!FDDR.Layout.AddData && !FDDR.Layout.AddNotes) return true;
  // The data pass starts at the first block whatever the summary left.
  FDDR.Rewind();
  const long long Size = FDDR.InputSize();
  std::string Text;
  if (!FDDR.ReadBlock(Count)) return false;
  int ResumePosition = 0;
  std::int64_t ScanTime = 0;
  while (Count > DDRHeaderSize) {
    while (ResumePosition < Count) {
      FDDR.DecodeBlock(Text, ColumnWidth, Pat, ResumePosition, DDRLineBudget, ScanTime, Display);
      if (Text.empty()) {
        if (ResumePosition < Count) {
          EndedEarly();
          break;
        }
      } else if (!Emit(Text, ToFile)) {
        return false;
      }
      Text.clear();
      // Every piece offers a cancel: a block of scans that take no bytes
      // runs by its times alone and can give a great many lines.
      if (FUi.Busy.Step(FDDR.FilePosition(), Size)) return false;
    }
    // A read error in the middle of the file is a failure, not the end.
    if (!FDDR.ReadBlock(Count)) return false;
    ResumePosition = 0;
  }
  CheckStop();
  return true;
}

bool TDDRPage::ReadDDRScans(TDDRScanTable& Table, std::string_view FailureText) {
  FEndedEarly = false;
  if (DDRNameEdited) {
    edtFilenameExit();
    DDRNameEdited = false;
  }
  if (!FFileValid) return false;
  const bool Result = Guarded([&] { return RunScans(Table); });
  FDDR.Rewind();
  return Reported(Result, FailureText);
}

bool TDDRPage::RunScans(TDDRScanTable& Table) {
  // RunImport's walk: data blocks give their scans, the others are decoded
  // for the setup, base values and master they carry.
  FDDR.Rewind();
  const long long Size = FDDR.InputSize();
  const std::string Pat = Pattern();
  std::string Text;
  int ColumnWidth = 11;
  int Count = 0;
  std::int64_t ScanTime = 0;
  if (!FDDR.ReadBlock(Count)) return false;
  while (Count > DDRHeaderSize) {
    const std::uint8_t Kind = FDDR.BlockHeader().Status;
    int ResumePosition = 0;
    if (Kind != dsData && Kind != dsBadData) {
      // Decoded for what it sets; its text is not kept.
      FDDR.DecodeBlock(Text, ColumnWidth, Pat, ResumePosition, DDRLineBudget, ScanTime, true);
      Text.clear();
    }
    if (Table.AddBlock(FDDR) < Count) EndedEarly();
    if (FUi.Busy.Step(FDDR.FilePosition(), Size)) return false;
    if (!FDDR.ReadBlock(Count)) return false;
  }
  CheckStop();
  return true;
}

void TDDRPage::EndedEarly() {
  Status("Error! Unexpected end of DDR file.");
  FEndedEarly = true;
}

void TDDRPage::CheckStop() {
  if (!FDDR.StoppedAtEnd()) EndedEarly();
}

bool TDDRPage::Summary(TCommandMode Mode) {
  FDDR.DateSeparator = FFormat.DateSeparator;
  FDDR.TimeSeparator = FFormat.TimeSeparator;
  const bool Result = Guarded([&] { return RunSummary(Mode); });
  // Every summary, also a failed one, leaves the input at its first block.
  FDDR.Rewind();
  return Result;
}

bool TDDRPage::RunSummary(TCommandMode Mode) {
  long long Data = 0, Total = 0;
  int Count = 0;
  if (!FDDR.ReadBlock(Count)) return false;
  const bool ToFile = IsSaving(Mode);
  const bool Display = !ToFile;
  const std::string Pat = Pattern();
  std::string Line, Copy;
  FDDR.ListBlock(Line, true, Data, Total, Pat, Display, Copy);
  if (!Emit(Line, ToFile)) return false;
  for (;;) {
    if (Count <= DDRHeaderSize) {
      CheckStop();
      if (Total == 0) return false;
      const std::string Sentence = "Total Data: " + std::to_string(Data) +
                                   " Bytes; Non-data: " + std::to_string(Total - Data) +
                                   " Bytes; Ratio: " + FormatRatio(Data, Total) + "%;\r\n\r\n";
      if (ToFile) return FDDR.WriteOutput(Sentence);
      AddPieceToPane(FUi.Pane, Sentence, false);
      return true;
    }
    Line.clear();
    FDDR.ListBlock(Line, false, Data, Total, Pat, Display, Copy);
    if (!Emit(Line, ToFile)) return false;
    if (!FDDR.ReadBlock(Count)) return false;
  }
}

} // namespace quorvin
