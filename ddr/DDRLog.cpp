#include "ddr/DDRLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/DateTimeFormat.h"
#include "core/IniFile.h"
#include "core/Messages.h"
#include "core/MiscUtil.h"
#include "core/UiServices.h"
#include "report/Workbook.h"

namespace quorvin {

namespace fs = std::filesystem;

namespace {

const char* const StatusNames[22] = {"Wrap",       "Master",   "Sensor",          "Base",
                                     "Data",       "Bad Data", "System Power-up", "Setup Change",
                                     "Log Note",   "Header",   "System Reset",    "Low Battery",
                                     "Battery OK", "Setup",    "hs_Rsvd3",        "hs_Rsvd4",
                                     "hs_Rsvd5",   "hs_Rsvd6", "hs_Rsvd7",        "hs_Rsvd8",
                                     "hs_Rsvd9",   "hs_Rsvd10"};

const char* const DDRSection = "DDRLog";
const char CRLF[] = "\r\n";

std::string UpperAscii(std::string Text) {
  for (char& C : Text)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return Text;
}

bool SameTextAscii(const std::string& A, const std::string& B) {
  return UpperAscii(A) == UpperAscii(B);
}

// Path parts, "/" being the separator.
std::string ExtractFilePath(const std::string& Path) {
  auto Pos = Path.rfind('/');
  return Pos == std::string::npos ? std::string() : Path.substr(0, Pos + 1);
}

std::string ExtractFileName(const std::string& Path) {
  auto Pos = Path.rfind('/');
  return Pos == std::string::npos ? Path : Path.substr(Pos + 1);
}

// The extension with its point, taken from the file-name part; empty if none.
std::string ExtractFileExt(const std::string& Path) {
  std::string Name = ExtractFileName(Path);
  auto Pos = Name.rfind('.');
  return Pos == std::string::npos ? std::string() : Name.substr(Pos);
}

std::string ChangeFileExt(const std::string& Path, const std::string& Ext) {
  std::string Dir = ExtractFilePath(Path);
  std::string Name = ExtractFileName(Path);
  auto Pos = Name.rfind('.');
  if (Pos != std::string::npos) Name.erase(Pos);
  return Dir + Name + Ext;
}

bool IsFile(const std::string& Path) {
  std::error_code Ec;
  return fs::is_regular_file(Path, Ec);
}

bool IsDirectory(const std::string& Path) {
  std::error_code Ec;
  return fs::is_directory(Path, Ec);
}

void AppendBlanks(std::string& Text, long long Count) {
  if (Count > 0) Text.append(static_cast<std::size_t>(Count), ' ');
}

// Decimal digits of Magnitude into the end of Buf; returns the first digit.
char* UnsignedDigits(std::uint64_t Magnitude, char* End) {
  char* P = End;
  do {
    *--P = static_cast<char>('0' + Magnitude % 10);
    Magnitude /= 10;
  } while (Magnitude != 0);
  return P;
}

// Appends FormatFixed's text without building temporaries.
void AppendFixed(std::string& Out, std::int32_t Value, int Width, int Decimals) {
  if (Width < 0) Width = 0;
  if (Decimals < 0) Decimals = 0;
  const bool Negative = Value < 0;
  const std::uint64_t Magnitude =
      Negative ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(Value))
               : static_cast<std::uint64_t>(Value);
  if (Decimals <= 255) {
    // Built from the right in one buffer: fraction, point, integer digits
    // (at least "0"), sign; then padded on the left to Width.
    char Buf[288];
    char* const End = Buf + sizeof Buf;
    char* P = End;
    std::uint64_t M = Magnitude;
    if (Decimals > 0) {
      for (int K = 0; K < Decimals; ++K) {
        *--P = static_cast<char>('0' + M % 10);
        M /= 10;
      }
      *--P = '.';
    }
    do {
      *--P = static_cast<char>('0' + M % 10);
      M /= 10;
    } while (M != 0);
    if (Negative) *--P = '-';
    long long Len = End - P;
    if (Width > Len && Width - Len <= P - Buf) {
      // Blanks go into the same buffer: one append per field.
      const long long Pad = Width - Len;
      P -= Pad;
      std::memset(P, ' ', static_cast<std::size_t>(Pad));
      Len = Width;
    } else if (Width > Len) {
      Out.append(static_cast<std::size_t>(Width - Len), ' ');
    }
    Out.append(P, static_cast<std::size_t>(Len));
    return;
  }
  char DigitBuf[24];
  char* const DigitEnd = DigitBuf + sizeof DigitBuf;
  const char* Digits = UnsignedDigits(Magnitude, DigitEnd);
  const int Len = static_cast<int>(DigitEnd - Digits);

  // Sign, integer digits (at least "0" when the value is all fraction),
  // point and fraction padded with zeros on the left.
  int IntLen = Len > Decimals ? Len - Decimals : 0;
  int Total = (Negative ? 1 : 0) + (IntLen > 0 ? IntLen : 1) + (Decimals > 0 ? 1 + Decimals : 0);
  if (Magnitude == 0) Total = 1 + (Decimals > 0 ? 1 + Decimals : 0);
  AppendBlanks(Out, static_cast<long long>(Width) - Total);
  if (Magnitude == 0) {
    Out.push_back('0');
    if (Decimals > 0) {
      Out.push_back('.');
      Out.append(static_cast<std::size_t>(Decimals), '0');
    }
    return;
  }
  if (Negative) Out.push_back('-');
  if (IntLen > 0)
    Out.append(Digits, static_cast<std::size_t>(IntLen));
  else
    Out.push_back('0');
  if (Decimals > 0) {
    Out.push_back('.');
    if (Len < Decimals) Out.append(static_cast<std::size_t>(Decimals - Len), '0');
    Out.append(Digits + IntLen, static_cast<std::size_t>(Len - IntLen));
  }
}

// A real the way C's "%.*f" writes it in the C locale, whatever the process
// locale. The widest double with the most decimals a sensor can ask for (255)
// takes 566 characters.
void AppendReal(std::string& Out, double Value, int Decimals) {
  char Buf[700];
  auto R = std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::fixed,
                         std::clamp(Decimals, 0, 255));
  if (R.ec == std::errc()) Out.append(Buf, R.ptr);
}

} // namespace

// ---------------------------------------------------------------------------
// Settings

void LoadDDRLayout(TIniFile& IniFile, TDDRLayout& Layout) {
  const TDDRLayout Defaults;
  Layout.DDROutputFormat =
      UpperAscii(IniFile.ReadString(DDRSection, "DDROutputFormat", "TEXT")) == "EXCEL" ? 1 : 0;
  Layout.AppendDDRData = ReadYesNo(IniFile, DDRSection, "AppendDDRData", Defaults.AppendDDRData);
  Layout.AddHeader = ReadYesNo(IniFile, DDRSection, "AddHeader", Defaults.AddHeader);
  Layout.AddData = ReadYesNo(IniFile, DDRSection, "AddData", Defaults.AddData);
  Layout.AddNotes = ReadYesNo(IniFile, DDRSection, "AddNotes", Defaults.AddNotes);
  Layout.USGSStation = ReadYesNo(IniFile, DDRSection, "USGSStation", Defaults.USGSStation);
  Layout.USGSDevice = ReadYesNo(IniFile, DDRSection, "USGSDevice", Defaults.USGSDevice);
  Layout.DeviceName = IniFile.ReadString(DDRSection, "DeviceName", Defaults.DeviceName);
}

void SaveDDRLayout(TIniFile& IniFile, const TDDRLayout& Layout) {
  IniFile.WriteString(DDRSection, "DDROutputFormat",
                      Layout.DDROutputFormat == 1 ? "EXCEL" : "TEXT");
  WriteYesNo(IniFile, DDRSection, "AppendDDRData", Layout.AppendDDRData);
  WriteYesNo(IniFile, DDRSection, "AddHeader", Layout.AddHeader);
  WriteYesNo(IniFile, DDRSection, "AddData", Layout.AddData);
  WriteYesNo(IniFile, DDRSection, "AddNotes", Layout.AddNotes);
  WriteYesNo(IniFile, DDRSection, "USGSStation", Layout.USGSStation);
  WriteYesNo(IniFile, DDRSection, "USGSDevice", Layout.USGSDevice);
  IniFile.WriteString(DDRSection, "DeviceName", Layout.DeviceName);
}

// ---------------------------------------------------------------------------
// Helpers

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

std::string FormatFixed(std::int32_t Value, int Width, int Decimals) {
  std::string R;
  AppendFixed(R, Value, Width, Decimals);
  return R;
}

// ---------------------------------------------------------------------------
// TDDRObj: reading

TDDRObj::TDDRObj(IMessageDialog& Dialog) : FDialog(Dialog) {}

TDDRObj::~TDDRObj() {
  CloseDDR();
  CloseOutput(false);
}

std::uint32_t TDDRObj::GetWord(int Offset) const {
  if (Offset < 0 || Offset + 2 > DDRBlockSize) return 0;
  return FBuffer[Offset] + 256u * FBuffer[Offset + 1];
}

std::uint32_t TDDRObj::GetLong(int Offset) const {
  return GetWord(Offset) + 65536u * GetWord(Offset + 2);
}

double TDDRObj::GetReal(int Offset, int Size) const {
  if (Offset < 0 || Offset + Size > DDRBlockSize) return 0;
  if (Size == 4) {
    std::uint32_t Bits = GetLong(Offset);
    float F;
    std::memcpy(&F, &Bits, 4);
    return F;
  }
  if (Size == 8) {
    std::uint64_t Bits = GetLong(Offset) | (static_cast<std::uint64_t>(GetLong(Offset + 4)) << 32);
    double D;
    std::memcpy(&D, &Bits, 8);
    return D;
  }
  return 0;
}

void TDDRObj::Rewind() { FFilePosition = 0; }

long long TDDRObj::InputSize() const {
  if (FInput < 0) return 0;
  struct stat St;
  return fstat(FInput, &St) == 0 ? static_cast<long long>(St.st_size) : 0;
}

namespace {

// Reads up to Size bytes at Position; -1 on a read error.
long long ReadAt(int Fd, std::uint8_t* Buf, long long Size, long long Position) {
  long long Got = 0;
  while (Got < Size) {
    ssize_t N = pread(Fd, Buf + Got, static_cast<std::size_t>(Size - Got), Position + Got);
    if (N < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (N == 0) break;
    Got += N;
  }
  return Got;
}

} // namespace

bool TDDRObj::ReadBlock(int& Count) {
  Count = 0;
  if (FInput < 0) return false;
  FBlockPosition = FFilePosition;
  std::uint8_t LengthBytes[2] = {0, 0};
  long long N = ReadAt(FInput, LengthBytes, 2, FFilePosition);
  if (N < 0) return false;
  FFilePosition += N;
  if (N == 0) return true; // end of the file
  const int Length = LengthBytes[0] + 256 * LengthBytes[1];
  if (Length > DDRBlockSize) {
    // Not a block: the caller takes a count of 12 or less as the end.
    FFilePosition += N;
    Count = static_cast<int>(N);
    return true;
  }
  FFilePosition -= N;
  long long Got = ReadAt(FInput, FBuffer, Length, FFilePosition);
  if (Got < 0) return false;
  // Bytes not read for this block read as 0, never as an earlier block's.
  std::memset(FBuffer + Got, 0, static_cast<std::size_t>(DDRBlockSize - Got));
  FBytesRead = static_cast<int>(Got);
  Count = FBytesRead;
  FHeader.Length = static_cast<std::uint16_t>(GetWord(0));
  FHeader.Status = FBuffer[2];
  FHeader.Spare = FBuffer[3];
  FHeader.Start = static_cast<std::int32_t>(GetLong(4));
  FHeader.Stop = static_cast<std::int32_t>(GetLong(8));
  if (FHeader.Status == dsLogNote) {
    // The note ends before the block's last byte, at a NUL, or after 50 characters.
    int End = std::min<int>(FHeader.Length - 1, FBytesRead);
    FNoteText = BufferText(12, 50, End);
  }
  FFilePosition += Got;
  return true;
}

bool TDDRObj::StoppedAtEnd() const {
  if (FInput < 0) return false;
  std::uint8_t Buf[4096];
  int Fill = -1; // the padding byte, once the first byte is read
  for (long long Position = FBlockPosition;;) {
    const long long N = ReadAt(FInput, Buf, sizeof Buf, Position);
    if (N < 0) return false;
    if (N == 0) return true;
    if (Fill < 0) Fill = Buf[0];
    if (Fill != 0x00 && Fill != 0xFF) return false;
    for (long long I = 0; I < N; ++I)
      if (Buf[I] != Fill) return false;
    Position += N;
  }
}

std::string TDDRObj::BufferText(int Offset, int MaxChars, int End) const {
  std::string R;
  End = std::min({End, Offset + MaxChars, DDRBlockSize});
  for (int I = Offset; I < End && FBuffer[I] != 0; ++I) R.push_back(static_cast<char>(FBuffer[I]));
  return R;
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
// Time stamps

void TDDRTimeStamper::Compile(const std::string& Pattern, char DateSeparator, char TimeSeparator) {
  FPattern = Pattern;
  FDateSeparator = DateSeparator;
  FTimeSeparator = TimeSeparator;
  FCompiled = true;
  FTokenCount = 0;
  FTooLong = false;
  bool AfterHour = false;
  auto Upper = [](char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C; };
  std::size_t I = 0;
  while (I < Pattern.size()) {
    if (FTokenCount == 64) {
      FTooLong = true;
      return;
    }
    const char C = Upper(Pattern[I]);
    std::size_t Run = 1;
    if (C == 'Y' || C == 'M' || C == 'D' || C == 'H' || C == 'S')
      while (I + Run < Pattern.size() && Upper(Pattern[I + Run]) == C) ++Run;
    TToken& T = FTokens[FTokenCount++];
    T.Width = Run >= 2 ? 2 : 1;
    T.Literal = 0;
    switch (C) {
    case 'Y':
      T.Kind = Run >= 3 ? 'Y' : 'y';
      AfterHour = false;
      break;
    case 'M':
      T.Kind = AfterHour ? 'N' : 'M';
      AfterHour = false;
      break;
    case 'D':
      T.Kind = 'D';
      AfterHour = false;
      break;
    case 'H':
      T.Kind = 'H';
      AfterHour = true;
      break;
    case 'S':
      T.Kind = 'S';
      AfterHour = false;
      break;
    case '/':
      T.Kind = 'L';
      T.Literal = DateSeparator;
      break;
    case ':':
      T.Kind = 'L';
      T.Literal = TimeSeparator;
      break;
    default:
      T.Kind = 'L';
      T.Literal = Pattern[I];
      break;
    }
    I += Run;
  }
}

void TDDRTimeStamper::Append(std::string& Out, std::int64_t Seconds, const std::string& Pattern,
                             char DateSeparator, char TimeSeparator) {
  // Times before the epoch have negative parts: leave them to the general code.
  if (Seconds < 0 || Seconds > INT32_MAX) {
    Out += FormatLogTime(Pattern, static_cast<LogTime>(Seconds), DateSeparator, TimeSeparator);
    return;
  }
  if (!FCompiled || DateSeparator != FDateSeparator || TimeSeparator != FTimeSeparator ||
      Pattern != FPattern)
    Compile(Pattern, DateSeparator, TimeSeparator);
  if (FTooLong) {
    Out += FormatLogTime(Pattern, static_cast<LogTime>(Seconds), DateSeparator, TimeSeparator);
    return;
  }
  const std::int64_t Day = DayOfTime(Seconds);
  if (Day != FDay) {
    DayNumberToDate(static_cast<int>(Day), FYear, FMonth, FDayOfMonth);
    FDay = Day;
  }
  const int SecOfDay = SecondOfDay(Seconds);
  const int Hour = SecOfDay / 3600, Minute = (SecOfDay % 3600) / 60, Second = SecOfDay % 60;
  // At most 64 tokens of at most 4 characters (a year of 9999 or less).
  char Buf[64 * 4 + 8];
  char* P = Buf;
  auto Two = [&P](int V, int Width) {
    if (Width == 2 || V >= 10) *P++ = static_cast<char>('0' + V / 10 % 10);
    *P++ = static_cast<char>('0' + V % 10);
  };
  for (int K = 0; K < FTokenCount; ++K) {
    const TToken& T = FTokens[K];
    switch (T.Kind) {
    case 'Y':
      if (FYear >= 0 && FYear <= 9999) {
        Two(FYear / 100, 2);
        Two(FYear % 100, 2);
      } else {
        Out.append(Buf, P);
        P = Buf;
        Out += std::to_string(FYear);
      }
      break;
    case 'y':
      Two(((FYear % 100) + 100) % 100, 2);
      break;
    case 'M':
      Two(FMonth, T.Width);
      break;
    case 'N':
      Two(Minute, T.Width);
      break;
    case 'D':
      Two(FDayOfMonth, T.Width);
      break;
    case 'H':
      Two(Hour, T.Width);
      break;
    case 'S':
      Two(Second, T.Width);
      break;
    default:
      *P++ = T.Literal;
      break;
    }
  }
  Out.append(Buf, P);
}

// ---------------------------------------------------------------------------
// TDDRObj: decoding

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
  return (Layout.DDROutputFormat == 1 && !Display) ? '\t' : ' ';
}

bool TDDRObj::DecodeBlock(std::string& Text, int& ColumnWidth, const std::string& Pattern,
                          int& ResumePosition, int LineBudget, std::int64_t& ScanTime,
                          bool Display) {
  try {
    if (ColumnWidth < 0) ColumnWidth = 0;
    const char Sep = FieldSeparator(Display);
    Text.clear();
    const std::uint8_t Status = FHeader.Status;
    const bool IsData = Status == dsData || Status == dsBadData;
    if (IsData && Layout.AddData) {
      DecodeData(Text, ColumnWidth, Pattern, ResumePosition, LineBudget, ScanTime, Sep);
      return true;
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
    return true;
  } catch (...) {
    return false;
  }
}

void TDDRObj::DecodeMaster(std::string& Text, char Sep) {
  FMaster.FirmwareVersion = BufferText(12, 32, DDRBlockSize);
  FMaster.UnitID = BufferText(44, 32, DDRBlockSize);
  FMaster.Word76 = GetLong(76);
  FMaster.Word80 = GetLong(80);
  FMaster.Word84 = GetLong(84);
  std::memcpy(FMasterInfo, FBuffer, sizeof FMasterInfo);
  const std::string Unit = UpperAscii(FMaster.UnitID);
  if (Layout.USGSStation) {
    Text += "//STATION:";
    Text += Sep;
    Text += Unit;
    Text += CRLF;
  }
  if (Layout.USGSDevice) {
    Text += "//DEVICE:";
    Text += Sep;
    Text += UpperAscii(Layout.DeviceName);
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
    S.RightDigits = FBuffer[D + 28];
    S.DataType = FBuffer[D + 29];
    S.Real3 = GetWord(D + 30);
  }

  bool Changed = New.SetupWord != FSetup.SetupWord || New.SensorCount != FSetup.SensorCount ||
                 New.SetupByte != FSetup.SetupByte;
  for (int I = 0; !Changed && I < Count; ++I)
    Changed = !SameTextAscii(New.Sensors[I].Name, FSetup.Sensors[I].Name);

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
    FBase[I] =
        V == 0xFFFFFFFFu ? 0 : static_cast<std::int32_t>(static_cast<std::int64_t>(V) - 2147483647);
  }
}

void TDDRObj::DecodeData(std::string& Text, int ColumnWidth, const std::string& Pattern,
                         int& ResumePosition, int LineBudget, std::int64_t& ScanTime, char Sep) {
  const bool First = ResumePosition < DDRHeaderSize;
  int P;
  if (First) {
    P = DDRHeaderSize;
    ScanTime = FHeader.Start;
  } else {
    P = ResumePosition;
  }
  const int Limit = std::min<int>(FHeader.Length, FBytesRead);
  const int Count = FSetup.SensorCount;
  int ScanWidth = 0;
  for (int I = 0; I < Count; ++I) ScanWidth += DDRDataTypeWidth(FSetup.Sensors[I].DataType);

  std::size_t PreviousLine = 0;
  int Scans = 0;
  for (;;) {
    if (ScanTime > FHeader.Stop) break;
    if (Text.size() + PreviousLine >= static_cast<std::size_t>(std::max(LineBudget, 0))) break;
    if (ScanWidth == 0) {
      // A scan that takes no bytes is paced by the time alone; without an
      // interval the time never moves either, so it is written once a block.
      if (FSetup.ScanInterval == 0 && (!First || Scans > 0)) break;
    } else if (P + ScanWidth > Limit) {
      break;
    }
    const std::size_t LineStart = Text.size();
    if (Text.capacity() < LineStart + 1024) Text.reserve(2 * LineStart + 4096);
    AppendTime(Text, ScanTime, Pattern);
    Text += Sep;
    for (int I = 0; I < Count; ++I) {
      const TDDRSensor& S = FSetup.Sensors[I];
      const std::uint8_t* B = FBuffer + P;
      const int Base = FBase[I];
      bool Missing = false;
      switch (S.DataType) {
      case 0:
        if (B[0] == 255)
          Missing = true;
        else
          AppendFixed(Text,
                      static_cast<std::int32_t>(B[0] - 127u + static_cast<std::uint32_t>(Base)),
                      ColumnWidth, S.RightDigits);
        P += 1;
        break;
      case 1:
        if (B[0] == 255)
          Missing = true;
        else
          AppendFixed(Text, static_cast<std::int32_t>(B[0] + static_cast<std::uint32_t>(Base)),
                      ColumnWidth, S.RightDigits);
        P += 1;
        break;
      case 2:
      case 3: {
        const std::uint32_t V = B[0] | (static_cast<std::uint32_t>(B[1]) << 8);
        if (V == 65535)
          Missing = true;
        else {
          const std::uint32_t Bias = S.DataType == 2 ? 32767u : 0u;
          AppendFixed(Text, static_cast<std::int32_t>(V - Bias + static_cast<std::uint32_t>(Base)),
                      ColumnWidth, S.RightDigits);
        }
        P += 2;
        break;
      }
      case 4:
      case 5: {
        const std::uint32_t V = B[0] | (static_cast<std::uint32_t>(B[1]) << 8) |
                                (static_cast<std::uint32_t>(B[2]) << 16) |
                                (static_cast<std::uint32_t>(B[3]) << 24);
        if (V == 0xFFFFFFFFu)
          Missing = true;
        else
          AppendFixed(Text, static_cast<std::int32_t>(S.DataType == 4 ? V - 2147483647u : V),
                      ColumnWidth, S.RightDigits);
        P += 4;
        break;
      }
      case 6: {
        if (B[0] == 255 && B[1] == 255 && B[2] == 255 && B[3] == 255)
          Missing = true;
        else
          AppendReal(Text, GetReal(P, 4), S.RightDigits);
        P += 4;
        break;
      }
      case 7: {
        bool AllOnes = true;
        for (int K = 0; K < 8; ++K) AllOnes = AllOnes && B[K] == 255;
        if (AllOnes)
          Missing = true;
        else
          AppendReal(Text, GetReal(P, 8), S.RightDigits);
        P += 8;
        break;
      }
      default:
        Text += "Bad type: ";
        Text += std::to_string(S.DataType);
        break;
      }
      if (Missing) Text += MissingValueDashes(ColumnWidth, S.RightDigits);
      const char Tail[3] = {Sep, (S.SensorFlags & 1) ? '?' : ' ', Sep};
      Text.append(Tail, 3);
    }
    Text += CRLF;
    PreviousLine = Text.size() - LineStart;
    ++Scans;
    ScanTime += FSetup.ScanInterval;
  }
  ResumePosition = P;
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

// ---------------------------------------------------------------------------
// Input file

bool TDDRObj::ValidateDDRFile(std::string& DefaultOutput) {
  if (DDRFileName.empty()) return false;
  if (!IsFile(DDRFileName)) {
    FDialog.Show(TMsgKind::Error, MsgFileMissing, TMsgButtons::OK);
    return false;
  }
  if (UpperAscii(ExtractFileExt(DDRFileName)) != ".DDR") {
    FDialog.Show(TMsgKind::Error, MsgFileInvalid, TMsgButtons::OK);
    return false;
  }
  DDRDirectory = ExtractFilePath(DDRFileName);
  std::string Name = ExtractFileName(DDRFileName);
  Name = UpperAscii(Name.substr(0, Name.find('.')));
  DDROutputFileName = DDRDirectory + Name + (Layout.DDROutputFormat == 0 ? ".PRN" : ".XLS");
  DefaultOutput = DDROutputFileName;
  return true;
}

bool TDDRObj::OpenDDR(std::string& DefaultOutput) {
  CloseDDR();
  DefaultOutput.clear();
  if (!ValidateDDRFile(DefaultOutput)) return false;
  FInput = ::open(DDRFileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (FInput < 0) {
    FDialog.Show(TMsgKind::Error, "Unable to open DDR file " + DDRFileName, TMsgButtons::OK);
    return false;
  }
  Rewind();
  return true;
}

void TDDRObj::CloseDDR() {
  if (FInput >= 0) ::close(FInput);
  FInput = -1;
}

// ---------------------------------------------------------------------------
// Output file

bool TDDRObj::ValidateOutputFile() {
  if (DDROutputFileName.empty()) return false;
  std::string Prefix;
  const std::string Dir = ExtractFilePath(DDROutputFileName);
  std::error_code Ec;
  if (Dir.empty()) {
    Prefix = DDRDirectory;
    if (!Prefix.empty() && !IsDirectory(Prefix)) fs::create_directories(Prefix, Ec);
  } else if (!IsDirectory(Dir)) {
    if (FDialog.Show(TMsgKind::Confirmation, "Path does not exist. Do you wish to create it?",
                     TMsgButtons::YesNo) != TMsgResult::Yes)
      return false;
    fs::create_directories(Dir, Ec);
  }
  const std::string Name = ExtractFileName(DDROutputFileName);
  if (Name.empty()) {
    FDialog.Show(TMsgKind::Error, "Please enter Output File name.", TMsgButtons::OK);
    return false;
  }
  const std::string Ext = UpperAscii(ExtractFileExt(Name));
  if (Layout.DDROutputFormat == 1 && Ext != ".XLS") {
    FDialog.Show(TMsgKind::Error, "Please enter valid \"Excel\" Output File Name.",
                 TMsgButtons::OK);
    return false;
  }
  if (Layout.DDROutputFormat == 0 && Ext != ".PRN") {
    FDialog.Show(TMsgKind::Error, "Please enter valid \"Text\" Output File Name.", TMsgButtons::OK);
    return false;
  }
  const std::string Full = Prefix + DDROutputFileName;
  if (fs::exists(Full, Ec)) {
    const fs::perms P = fs::status(Full, Ec).permissions();
    const fs::perms Write =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if (!Ec && (P & Write) == fs::perms::none) {
      FDialog.Show(TMsgKind::Error, "Unable to write to a Read-only file.", TMsgButtons::OK);
      return false;
    }
  }
  DDROutputFileName = Full;
  return true;
}

void TDDRObj::MatchOutputExt(std::string& NewName) {
  if (!DDROutputFileName.empty())
    DDROutputFileName =
        ChangeFileExt(DDROutputFileName, Layout.DDROutputFormat == 1 ? ".XLS" : ".PRN");
  NewName = DDROutputFileName;
}

bool TDDRObj::OpenOutput(bool Append) {
  CloseOutput(false);
  const std::string Path = DDROutputFileName;
  bool Opened = false;
  // Appending to a workbook would turn it into text: refused, as the LOGPRN
  // export refuses it. A new file replaces the old one only when complete;
  // an append that fails is cut back to what the file held.
  if (Append && IsFile(Path))
    Opened = CanAppendText(Path, Layout.DDROutputFormat == 1) && FOut.OpenAppend(Path);
  else
    Opened = FOut.OpenReplace(Path);
  if (!Opened) {
    FDialog.Show(TMsgKind::Error, MsgOpeningOutput(Path), TMsgButtons::OK, FOut.FailureReason());
    return false;
  }
  return true;
}

bool TDDRObj::WriteOutput(const std::string& Text) { return FOut.Write(Text) && FOut.Flush(); }

bool TDDRObj::CloseOutput(bool Complete,
                          const std::function<bool(const std::string& FileName)>& Finish) {
  if (!FOut.IsOpen()) return true;
  bool Ok = Complete && FOut.Close();
  if (Ok && Finish) Ok = Finish(FOut.WrittenName());
  if (Ok) Ok = FOut.Publish();
  if (!Ok) FOut.Abandon();
  return Ok;
}

} // namespace quorvin
