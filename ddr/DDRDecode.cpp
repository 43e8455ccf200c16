// SPDX-License-Identifier: GPL-3.0-or-later
#include "ddr/DDRObj.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "core/ByteReader.h"
#include "core/DateTimeFormat.h"
#include "core/MiscUtil.h"

namespace quorvin {

namespace {

const char* const StatusNames[22] = {"Wrap",       "Master",   "Sensor",          "Base",
                                     "Data",       "Bad Data", "System Power-up", "Setup Change",
                                     "Log Note",   "Header",   "System Reset",    "Low Battery",
                                     "Battery OK", "Setup",    "hs_Rsvd3",        "hs_Rsvd4",
                                     "hs_Rsvd5",   "hs_Rsvd6", "hs_Rsvd7",        "hs_Rsvd8",
                                     "hs_Rsvd9",   "hs_Rsvd10"};

const char CRLF[] = "\r\n";

} // namespace

int DDRDataTypeWidth(std::uint8_t DataType) {
  switch (DataType) {
  case 0:
  case 1:
    return 1;
  case 2:
  case 3:
    return 2;
  case 4:
  case 5:
  case 6:
    return 4;
  case 7:
    return 8;
  default:
    return 0;
  }
}

std::string TDDRObj::StatusName(const TDDRBlockHeader& Header) {
  if (Header.Status < 22) return StatusNames[Header.Status];
  if (Header.Status == dsEnd) return "END";
  return "Unknown Header";
}

std::string TDDRObj::FormatDDRTime(std::int64_t Seconds, const std::string& Pattern) const {
  return FormatLogTime(Pattern, static_cast<LogTime>(Seconds), DateSeparator, TimeSeparator);
}

void TDDRObj::AppendTime(std::string& Text, std::int64_t Seconds, const std::string& Pattern) {
  FStamper.Append(Text, Seconds, Pattern, DateSeparator, TimeSeparator);
}

// ---------------------------------------------------------------------------
// Decoding

void TDDRObj::InstallDefaultSetup() {
  FSetup = TDDRSetup();
  FSetup.ScanInterval = 3600;
  FSetup.Word14 = 0;
  FSetup.SetupWord = 2;
  FSetup.SensorCount = 1;
  FSetup.SetupByte = 0;
  TDDRSensor& S = FSetup.Sensors[0];
  S.Name = "Unknown";
  S.Units = "??";
  S.SensorFlags = 1;
  S.Real1 = 0.01;
  S.Real2 = 0;
  S.RightDigits = 2;
  S.DataType = 2;
}

char TDDRObj::FieldSeparator(bool Display) const {
  return (Layout.Excel() && !Display) ? '\t' : ' ';
}

void TDDRObj::DecodeBlock(std::string& Text, int& ColumnWidth, const std::string& Pattern,
                          int& ResumePosition, int LineBudget, std::int64_t& ScanTime,
                          bool Display) {
  if (ColumnWidth < 0) ColumnWidth = 0;
  const char Sep = FieldSeparator(Display);
  Text.clear();
  const std::uint8_t Status = FHeader.Status;
  const bool IsData = Status == dsData || Status == dsBadData;
  if (IsData && Layout.AddData) {
    DecodeData(Text, ColumnWidth, Pattern, ResumePosition, LineBudget, ScanTime, Sep);
    return;
  }
  ResumePosition = DDRBlockFinished;
  const std::string StartText = FormatDDRTime(FHeader.Start, Pattern);
  const std::string Name = StatusName(FHeader);
  switch (Status) {
  case dsWrap:
    Text += StartText;
    Text += Sep;
    Text += "Wrap";
    Text += CRLF;
    break;
  case dsMaster:
    DecodeMaster(Text, Sep);
    break;
  case dsSensor:
    DecodeSensor(Text, ColumnWidth, Pattern, Display);
    break;
  case dsBase:
    DecodeBase();
    break;
  case dsData:
  case dsBadData:
    break; // data not wanted
  case dsLogNote:
    if (Layout.AddNotes) {
      Text += StartText;
      Text += Sep;
      Text += FNoteText;
      Text += CRLF;
    }
    break;
  case dsEnd:
    if (Layout.AddNotes) {
      Text += "End of Data";
      Text += CRLF;
    }
    break;
  default:
    if (!Layout.AddNotes) break;
    if (Status >= dsFirstReserved && Status <= dsLastReserved) {
      Text += StartText;
      Text += Sep;
      Text += " Newer verison of program required for block type";
      Text += Name;
      Text += CRLF;
    } else if (Status > dsEnd) {
      Text += "Unknown Header status: ";
      Text += Name;
      Text += " found in the data";
      Text += CRLF;
    } else {
      Text += StartText;
      Text += Sep;
      Text += Name;
      Text += CRLF;
    }
    break;
  }
}

void TDDRObj::DecodeMaster(std::string& Text, char Sep) {
  FMaster.FirmwareVersion = BufferText(12, 32, DDRBlockSize);
  FMaster.UnitID = BufferText(44, 32, DDRBlockSize);
  FMaster.Word76 = GetLong(76);
  FMaster.Word80 = GetLong(80);
  FMaster.Word84 = GetLong(84);
  std::memcpy(FMasterInfo, FBuffer, sizeof FMasterInfo);
  const std::string Unit = UpperCase(FMaster.UnitID);
  if (Layout.USGSStation) {
    Text += "//STATION:";
    Text += Sep;
    Text += Unit;
    Text += CRLF;
  }
  if (Layout.USGSDevice) {
    Text += "//DEVICE:";
    Text += Sep;
    Text += UpperCase(Layout.DeviceName);
    Text += CRLF;
    Text += CRLF;
  }
  Text += "Unit ID:";
  Text += Sep;
  Text += Unit;
  Text += CRLF;
  Text += "Version:";
  Text += Sep;
  Text += FMaster.FirmwareVersion;
  Text += CRLF;
  InstallDefaultSetup();
}

void TDDRObj::DecodeSensor(std::string& Text, int& ColumnWidth, const std::string& Pattern,
                           bool Display) {
  TDDRSetup New;
  New.ScanInterval = static_cast<std::uint16_t>(GetWord(12));
  New.Word14 = static_cast<std::uint16_t>(GetWord(14));
  New.SetupWord = static_cast<std::uint16_t>(GetWord(16));
  New.SetupByte = FBuffer[19];
  // Only whole descriptors inside the block, and no more than the setup holds.
  int Count = FBuffer[18];
  const int Fit = FHeader.Length >= 20 ? (FHeader.Length - 20) / 32 : 0;
  Count = std::min({Count, Fit, DDRMaxSensors});
  New.SensorCount = static_cast<std::uint8_t>(Count);
  for (int I = 0; I < Count; ++I) {
    const int D = 20 + 32 * I;
    TDDRSensor& S = New.Sensors[I];
    S.Name = BufferText(D, 10, D + 11);
    S.Units = BufferText(D + 11, 6, D + 18);
    S.SensorFlags = FBuffer[D + 18];
    S.Spare = FBuffer[D + 19];
    S.Real1 = static_cast<std::int32_t>(GetLong(D + 20));
    S.Real2 = static_cast<std::int32_t>(GetLong(D + 24));
    // A count above what the recorder stores is corrupt: bounded as a log's.
    S.RightDigits = static_cast<std::uint8_t>(std::min<int>(FBuffer[D + 28], MaxRightDigits));
    S.DataType = FBuffer[D + 29];
    S.Real3 = GetWord(D + 30);
  }

  bool Changed = New.SetupWord != FSetup.SetupWord || New.SensorCount != FSetup.SensorCount ||
                 New.SetupByte != FSetup.SetupByte;
  for (int I = 0; !Changed && I < Count; ++I)
    Changed = !SameText(New.Sensors[I].Name, FSetup.Sensors[I].Name);

  if (Changed) {
    for (int I = 0; I < Count; ++I) {
      const int Need =
          static_cast<int>(New.Sensors[I].Name.size() + New.Sensors[I].Units.size()) + 2;
      if (Need > ColumnWidth) ColumnWidth = Need;
    }
    const int N = ColumnWidth;
    const char Sep = FieldSeparator(Display);
    if (!ExcelStyle(Display)) {
      const long long W = static_cast<long long>(Pattern.size()) + 1;
      AppendBlanks(Text, W);
      for (int I = 0; I < Count; ++I) {
        const TDDRSensor& S = New.Sensors[I];
        AppendBlanks(Text, static_cast<long long>(N) - 2 - static_cast<long long>(S.Name.size()) -
                               static_cast<long long>(S.Units.size()));
        Text += Sep;
        Text += S.Name;
        Text += ' ';
        Text += S.Units;
        Text += "   ";
      }
      Text += CRLF;
      AppendBlanks(Text, W);
      for (int I = 0; I < Count; ++I) {
        Text.append(static_cast<std::size_t>(N + 2), '-');
        Text += ' ';
      }
      Text += CRLF;
    } else {
      for (int I = 0; I < Count; ++I) {
        const TDDRSensor& S = New.Sensors[I];
        Text += Sep;
        Text += S.Name;
        Text += ' ';
        Text += S.Units;
        Text += Sep;
      }
      Text += CRLF;
    }
  }
  FSetup = New;
  for (int I = 0; I < Count; ++I) FBase[I] = 0;
}

void TDDRObj::DecodeBase() {
  for (int I = 0; I < FSetup.SensorCount; ++I) {
    const std::uint32_t V = GetLong(12 + 4 * I);
    FBase[I] = V == NonRecordedBits
                   ? 0
                   : static_cast<std::int32_t>(static_cast<std::int64_t>(V) - 2147483647);
  }
}

void TDDRObj::DecodeData(std::string& Text, int ColumnWidth, const std::string& Pattern,
                         int& ResumePosition, int LineBudget, std::int64_t& ScanTime, char Sep) {
  // A block's first call starts at its first scan and its start time; a
  // later call goes on where the budget stopped the one before.
  const bool First = ResumePosition < DDRHeaderSize;
  int P = First ? DDRHeaderSize : ResumePosition;
  if (First) ScanTime = FHeader.Start;
  const int Width = ScanWidth();
  const std::size_t Budget = static_cast<std::size_t>(std::max(LineBudget, 0));
  std::size_t PreviousLine = 0;
  for (int Scans = 0; ScanDue(ScanTime, P, Width, First && Scans == 0); ++Scans) {
    // Stop while a line as long as the last one still fits the budget.
    if (Text.size() + PreviousLine >= Budget) break;
    const std::size_t LineStart = Text.size();
    AppendScan(Text, P, ColumnWidth, Pattern, ScanTime, Sep);
    PreviousLine = Text.size() - LineStart;
    ScanTime += FSetup.ScanInterval;
  }
  ResumePosition = P;
}

int TDDRObj::ScanWidth() const {
  int Width = 0;
  for (int I = 0; I < FSetup.SensorCount; ++I)
    Width += DDRDataTypeWidth(FSetup.Sensors[I].DataType);
  return Width;
}

bool TDDRObj::ScanDue(std::int64_t ScanTime, int P, int Width, bool FirstOfBlock) const {
  if (ScanTime > FHeader.Stop) return false;
  const int End = std::min<int>(FHeader.Length, FBytesRead);
  // A field of an unknown type takes no bytes but a "Bad type" text: a
  // block holds no more scans than its payload has bytes, and a byte for
  // each such field, so neither a damaged stop time years on nor a setup of
  // unknown types can turn a few bytes into millions of lines.
  int Unknown = 0;
  for (int I = 0; I < FSetup.SensorCount; ++I)
    Unknown += DDRDataTypeWidth(FSetup.Sensors[I].DataType) == 0;
  const std::int64_t Most = std::max(1, (End - DDRHeaderSize) / std::max(1, Unknown));
  // A scan that takes no bytes is paced by the time alone; without an
  // interval the time never moves either, so it is written once a block.
  if (Width == 0)
    return FSetup.ScanInterval == 0 ? FirstOfBlock
                                    : (ScanTime - FHeader.Start) / FSetup.ScanInterval < Most;
  if (Unknown > 0 && (P - DDRHeaderSize) / Width >= Most) return false;
  return P + Width <= End;
}

void TDDRObj::AppendScan(std::string& Text, int& P, int ColumnWidth, const std::string& Pattern,
                         std::int64_t ScanTime, char Sep) {
  const std::size_t LineStart = Text.size();
  if (Text.capacity() < LineStart + 1024) Text.reserve(2 * LineStart + 4096);
  AppendTime(Text, ScanTime, Pattern);
  Text += Sep;
  for (int I = 0; I < FSetup.SensorCount; ++I) {
    const TDDRSensor& S = FSetup.Sensors[I];
    AppendScanValue(Text, S, FBase[I], static_cast<std::size_t>(P), ColumnWidth);
    P += DDRDataTypeWidth(S.DataType);
    const char Tail[3] = {Sep, (S.SensorFlags & 1) ? '?' : ' ', Sep};
    Text.append(Tail, 3);
  }
  Text += CRLF;
}

void TDDRObj::AppendScanValue(std::string& Text, const TDDRSensor& S, std::int32_t Base,
                              std::size_t At, int ColumnWidth) const {
  const TDDRScanValue V = ScanValue(S, Base, At);
  switch (V.Kind) {
  case TDDRScanValue::Fixed:
    AppendFixed(Text, V.Integer, ColumnWidth, S.RightDigits);
    break;
  case TDDRScanValue::Real:
    AppendReal(Text, V.Number, S.RightDigits);
    break;
  case TDDRScanValue::Missing:
    Text += MissingValueDashes(ColumnWidth, S.RightDigits);
    break;
  case TDDRScanValue::BadType:
    Text += "Bad type: ";
    Text += std::to_string(S.DataType);
    break;
  }
}

TDDRScanValue TDDRObj::ScanValue(const TDDRSensor& S, std::int32_t Base, std::size_t At) const {
  const TByteSpan B(FBuffer);
  TDDRScanValue R;
  // Integer types: 32-bit arithmetic that wraps, as the recorder's own does.
  auto Fixed = [&R](std::uint32_t Value) {
    R.Kind = TDDRScanValue::Fixed;
    R.Integer = static_cast<std::int32_t>(Value);
  };
  auto Real = [&R](double Value) {
    R.Kind = TDDRScanValue::Real;
    R.Number = Value;
  };
  const std::uint32_t Offset = static_cast<std::uint32_t>(Base);
  switch (S.DataType) {
  case 0: // a byte, 127 being zero, on the base value
  case 1: // a byte on the base value
    if (B[At] != 255) Fixed(B[At] - (S.DataType == 0 ? 127u : 0u) + Offset);
    break;
  case 2: // a word, 32767 being zero, on the base value
  case 3: // a word on the base value
  {
    const std::uint32_t V = ReadU16LE(B, At);
    if (V != 65535) Fixed(V - (S.DataType == 2 ? 32767u : 0u) + Offset);
    break;
  }
  case 4: // a long, 2147483647 being zero
  case 5: // a signed long
  {
    const std::uint32_t V = ReadU32LE(B, At);
    if (V != NonRecordedBits) Fixed(S.DataType == 4 ? V - 2147483647u : V);
    break;
  }
  case 6: {
    const float V = ReadF32LE(B, At);
    if (!IsNonRecorded(V)) Real(V);
    break;
  }
  case 7: {
    const std::uint64_t Bits = ReadU64LE(B, At);
    if (Bits != ~std::uint64_t{0}) Real(std::bit_cast<double>(Bits));
    break;
  }
  default:
    R.Kind = TDDRScanValue::BadType;
    break;
  }
  return R;
}

double TDDRScanValue::Value(int RightDigits) const {
  if (Kind == Real) return Number;
  if (Kind != Fixed) return std::numeric_limits<double>::quiet_NaN();
  // Powers of ten up to 1e22 are exact, so the quotient is the decimal the
  // text shows, rounded once.
  double Scale = 1;
  for (int I = 0; I < RightDigits; ++I) Scale *= 10;
  return static_cast<double>(Integer) / Scale;
}

int TDDRObj::WalkScans(const TDDRScanVisitor& Scan) const {
  // The scans DecodeData writes, in one go: the same start, step and bounds.
  int P = DDRHeaderSize;
  std::int64_t ScanTime = FHeader.Start;
  const int Width = ScanWidth();
  TDDRScanValue Values[DDRMaxSensors];
  for (int Scans = 0; ScanDue(ScanTime, P, Width, Scans == 0); ++Scans) {
    for (int I = 0; I < FSetup.SensorCount; ++I) {
      const TDDRSensor& S = FSetup.Sensors[I];
      Values[I] = ScanValue(S, FBase[I], static_cast<std::size_t>(P));
      P += DDRDataTypeWidth(S.DataType);
    }
    Scan(ScanTime, Values);
    ScanTime += FSetup.ScanInterval;
  }
  return P;
}

// ---------------------------------------------------------------------------
// Block listing

void TDDRObj::ListBlock(std::string& Line, bool Heading, long long& Data, long long& Total,
                        const std::string& Pattern, bool Display, std::string& LineCopy) {
  const char Sep = FieldSeparator(Display);
  const long long W = static_cast<long long>(Pattern.size()) + 1;
  if (Heading) {
    if (!ExcelStyle(Display)) {
      Line += "\r\nSTART TIME";
      AppendBlanks(Line, W - 10);
      Line += "STOP TIME";
      AppendBlanks(Line, W - 9);
      Line += "STATUS         LEN  NOTE";
      Line += CRLF;
      if (W > 1) Line.append(static_cast<std::size_t>(W - 1), '-');
      Line += Sep;
      if (W > 1) Line.append(static_cast<std::size_t>(W - 1), '-');
      Line += Sep;
      Line += "-------------- ---- ---------------";
      Line += CRLF;
    } else {
      Line += "\r\nSTART TIME";
      Line += Sep;
      Line += "STOP TIME";
      Line += Sep;
      Line += "STATUS";
      Line += Sep;
      Line += "LEN";
      Line += Sep;
      Line += "NOTE";
      Line += CRLF;
    }
  } else {
    const std::string Start = FormatDDRTime(FHeader.Start, Pattern);
    const std::string Stop = FormatDDRTime(FHeader.Stop, Pattern);
    const std::string Name = StatusName(FHeader);
    if (!ExcelStyle(Display)) {
      Line += Start;
      Line += ' ';
      Line += Stop;
      Line += ' ';
      Line += Name;
      AppendBlanks(Line, 15 - static_cast<long long>(Name.size()));
      std::string Len = std::to_string(FHeader.Length);
      AppendBlanks(Line, 4 - static_cast<long long>(Len.size()));
      Line += Len;
    } else {
      Line += Start;
      Line += Sep;
      Line += Stop;
      Line += Sep;
      Line += Name;
      Line += Sep;
      Line += std::to_string(FHeader.Length);
    }
    if (FHeader.Status == dsLogNote) {
      if (FHeader.Length > DDRHeaderSize) {
        Line += Sep;
        Line += FNoteText;
        Line += CRLF;
      }
    } else {
      Line += CRLF;
    }
    Total += FHeader.Length;
    if (FHeader.Status == dsData || FHeader.Status == dsBadData) Data += FHeader.Length - 12;
  }
  LineCopy = Line;
}

} // namespace quorvin
