// SPDX-License-Identifier: GPL-3.0-or-later
// The DDR converter: the V900 recorder's DDR file, a chain of typed blocks
// (Master, Sensor, Base, Data, events, notes), decoded one block at a time
// into text for the display pane, a .PRN text file or the TAB-separated
// text of an .XLS book.
//
// The decoder keeps the sensor setup, the base values and the master copy
// from one import to the next: only Master, Sensor and Base blocks change them.
//
// TDDRObj's members live in four files: the block reader in DDRObj.cpp, the
// decoder and the block listing in DDRDecode.cpp, the input and output files
// in DDRFiles.cpp; the value and time rendering they use is DDRFormatting.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "core/OutputFile.h"
#include "core/OutputFormat.h"
#include "ddr/DDRFormatting.h"

namespace quorvin {

class IMessageDialog;

// Block layout.
constexpr int DDRBlockSize = 4096;      // largest block, header included
constexpr int DDRHeaderSize = 12;       // length, status, spare byte, start, stop
constexpr int DDRMaxSensors = 51;       // room in the setup record
constexpr int DDRBlockFinished = 32767; // ResumePosition of a finished block
constexpr int DDRLineBudget = 22000;    // characters per DecodeBlock call

// Block status codes.
enum : std::uint8_t {
  dsWrap = 0,
  dsMaster = 1,
  dsSensor = 2,
  dsBase = 3,
  dsData = 4,
  dsBadData = 5,
  dsPowerUp = 6,
  dsSetupChange = 7,
  dsLogNote = 8,
  dsHeader = 9,
  dsSystemReset = 10,
  dsLowBattery = 11,
  dsBatteryOK = 12,
  dsSetup = 13,
  dsFirstReserved = 14,
  dsLastReserved = 21,
  dsEnd = 22,
};

// The DDRLog section of the settings file, held by the decoder.
struct TDDRLayout {
  TOutputFormat DDROutputFormat = TOutputFormat::Text;
  bool AppendDDRData = false;
  bool AddHeader = false;
  bool AddData = true;
  bool AddNotes = true;
  bool USGSStation = false;
  bool USGSDevice = false;
  std::string DeviceName = "TXV900";

  bool Excel() const { return DDROutputFormat == TOutputFormat::Excel; }
};

struct TDDRBlockHeader {
  std::uint16_t Length = 0;
  std::uint8_t Status = 0;
  std::uint8_t Spare = 0;
  std::int32_t Start = 0;
  std::int32_t Stop = 0;
};

struct TDDRSensor {
  std::string Name;  // up to 10 characters
  std::string Units; // up to 6 characters
  std::uint8_t SensorFlags = 0;
  std::uint8_t Spare = 0;
  double Real1 = 0;
  double Real2 = 0;
  std::uint8_t RightDigits = 0;
  std::uint8_t DataType = 0;
  double Real3 = 0;
};

struct TDDRSetup {
  std::uint16_t ScanInterval = 0;
  std::uint16_t Word14 = 0;
  std::uint16_t SetupWord = 0;
  std::uint8_t SensorCount = 0;
  std::uint8_t SetupByte = 0;
  TDDRSensor Sensors[DDRMaxSensors];
};

struct TDDRMaster {
  std::string FirmwareVersion;
  std::string UnitID;
  std::uint32_t Word76 = 0;
  std::uint32_t Word80 = 0;
  std::uint32_t Word84 = 0;
};

// Width in bytes of one value of DataType in a scan (0 for unknown types).
int DDRDataTypeWidth(std::uint8_t DataType);

// One value of a scan as decoded: an integer with the sensor's implied
// decimals, a real, missing, or of a type the decoder does not know.
struct TDDRScanValue {
  enum TKind : std::uint8_t { Fixed, Real, Missing, BadType };
  TKind Kind = Missing;
  std::int32_t Integer = 0; // Fixed
  double Number = 0;        // Real
  // The value as a number; NaN when missing or of an unknown type.
  double Value(int RightDigits) const;
};

// Hears one scan: its time and one value for each sensor of the setup.
using TDDRScanVisitor = std::function<void(std::int64_t ScanTime, const TDDRScanValue* Values)>;

class TDDRObj {
public:
  explicit TDDRObj(IMessageDialog& Dialog);
  ~TDDRObj();
  TDDRObj(const TDDRObj&) = delete;
  TDDRObj& operator=(const TDDRObj&) = delete;

  TDDRLayout Layout;
  std::string DDRFileName;
  std::string DDRDirectory; // with its trailing separator, or empty
  std::string DDROutputFileName;
  // The separators the time stamps are rendered with.
  char DateSeparator = '/';
  char TimeSeparator = ':';

  bool InputOpen() const { return FInput >= 0; }
  bool OutputOpen() const { return FOut.IsOpen(); }

  // Block reading and decoding.
  bool ReadBlock(int& Count);
  // The text of the block read last, or of its next piece (data blocks);
  // throws what the text cannot be made for (no memory left).
  void DecodeBlock(std::string& Text, int& ColumnWidth, const std::string& Pattern,
                   int& ResumePosition, int LineBudget, std::int64_t& ScanTime, bool Display);
  static std::string StatusName(const TDDRBlockHeader& Header);
  // The scans of the current Data or Bad Data block as numbers, within the
  // bounds its text keeps; answers the block offset after the last scan
  // (less than the bytes read when the block ends early).
  int WalkScans(const TDDRScanVisitor& Scan) const;
  void Rewind();
  std::string FormatDDRTime(std::int64_t Seconds, const std::string& Pattern) const;
  std::uint32_t GetWord(int Offset) const;
  std::uint32_t GetLong(int Offset) const;
  double GetReal(int Offset, int Size) const;

  // Conversion output.
  char FieldSeparator(bool Display) const;
  bool ExcelStyle(bool Display) const { return !Display && Layout.Excel(); }
  void ListBlock(std::string& Line, bool Heading, long long& Data, long long& Total,
                 const std::string& Pattern, bool Display, std::string& LineCopy);
  bool ValidateDDRFile(std::string& DefaultOutput);
  bool OpenDDR(std::string& DefaultOutput);
  void CloseDDR();
  bool ValidateOutputFile();
  void MatchOutputExt(std::string& NewName);
  // The output name proposed for a DDR file: its folder, its name up to the
  // first full stop in capitals, .PRN or .XLS.
  static std::string ProposedOutputFileName(const std::string& DDRFileName,
                                            TOutputFormat OutputFormat);
  // Where a typed output name writes: a name without a folder goes into the
  // DDR file's folder.
  static std::string TypedOutputFileName(const std::string& Typed, const std::string& DDRFileName);
  // Appending to a workbook (Excel output) is refused as a failure to open:
  // text added to it would ruin it.
  bool OpenOutput(bool Append);
  // Writes one piece of text and flushes it; false when it could not be written.
  bool WriteOutput(const std::string& Text);
  // Complete: a created file replaces the old one; otherwise it is dropped.
  // Finish, when given, works on the complete text first (the temporary file
  // of a created output, the file itself when appending); a created file
  // replaces the old one only when Finish succeeds. False when the output
  // could not be finished.
  bool CloseOutput(bool Complete = true,
                   const std::function<bool(const std::string& FileName)>& Finish = nullptr);

  // State, readable for the driver and the tests.
  const TDDRBlockHeader& BlockHeader() const { return FHeader; }
  const TDDRSetup& CurrentSetup() const { return FSetup; }
  const std::int32_t* BaseValues() const { return FBase; }
  const std::uint8_t* MasterInfo() const { return FMasterInfo; }
  const TDDRMaster& Master() const { return FMaster; }
  const std::string& NoteText() const { return FNoteText; }
  long long FilePosition() const { return FFilePosition; }
  // Size of the open input in bytes (0 when closed), for progress.
  long long InputSize() const;
  // After a ReadBlock that ended the block loop (a count of 12 or less):
  // true when nothing but padding follows, that is the bytes from the start
  // of that read to the end of the file are none, all 0x00 or all 0xFF (as
  // an erased card leaves them); false when the file holds more than the
  // loop could reach, or cannot be read.
  bool StoppedAtEnd() const;

private:
  void InstallDefaultSetup();
  void DecodeMaster(std::string& Text, char Sep);
  void DecodeSensor(std::string& Text, int& ColumnWidth, const std::string& Pattern, bool Display);
  void DecodeBase();
  void DecodeData(std::string& Text, int ColumnWidth, const std::string& Pattern,
                  int& ResumePosition, int LineBudget, std::int64_t& ScanTime, char Sep);
  // The steps of DecodeData: the bytes one scan takes, whether another scan
  // is written, one scan line, and one value of it at byte At of the block.
  int ScanWidth() const;
  bool ScanDue(std::int64_t ScanTime, int P, int Width, bool FirstOfBlock) const;
  void AppendScan(std::string& Text, int& P, int ColumnWidth, const std::string& Pattern,
                  std::int64_t ScanTime, char Sep);
  void AppendScanValue(std::string& Text, const TDDRSensor& S, std::int32_t Base, std::size_t At,
                       int ColumnWidth) const;
  TDDRScanValue ScanValue(const TDDRSensor& S, std::int32_t Base, std::size_t At) const;
  std::string BufferText(int Offset, int MaxChars, int End) const;
  void AppendTime(std::string& Text, std::int64_t Seconds, const std::string& Pattern);

  IMessageDialog& FDialog;
  std::uint8_t FBuffer[DDRBlockSize] = {};
  int FBytesRead = 0;
  TDDRBlockHeader FHeader;
  TDDRSetup FSetup;
  std::int32_t FBase[DDRMaxSensors] = {};
  std::uint8_t FMasterInfo[88] = {};
  TDDRMaster FMaster;
  std::string FNoteText;
  long long FFilePosition = 0;
  long long FBlockPosition = 0; // where the last ReadBlock started

  int FInput = -1;
  TOutputFile FOut;
  TDDRTimeStamper FStamper;
};

} // namespace quorvin
