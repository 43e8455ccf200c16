// SPDX-License-Identifier: GPL-3.0-or-later
// Builds V900 DDR recorder files byte by byte, for tests, benchmarks and the
// sample generator. No dependency beyond the standard library.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace quorvin::ddrgen {

using TBytes = std::vector<std::uint8_t>;

// A value the generator writes as "not recorded" (all bits of its field set).
inline double Missing() { return std::numeric_limits<double>::quiet_NaN(); }

struct TGenSensor {
  std::string Name;  // up to 10 characters are kept
  std::string Units; // up to 6
  std::uint8_t Flags = 0;
  std::uint8_t RightDigits = 2;
  std::uint8_t DataType = 2;
  std::int32_t Number20 = 0;
  std::int32_t Number24 = 0;
  std::uint16_t Word30 = 0;
  std::uint8_t Byte19 = 0;
};

inline void PutByte(TBytes& B, std::uint8_t V) { B.push_back(V); }
inline void PutWord(TBytes& B, std::uint16_t V) {
  B.push_back(static_cast<std::uint8_t>(V & 0xFF));
  B.push_back(static_cast<std::uint8_t>(V >> 8));
}
inline void PutLong(TBytes& B, std::uint32_t V) {
  PutWord(B, static_cast<std::uint16_t>(V & 0xFFFF));
  PutWord(B, static_cast<std::uint16_t>(V >> 16));
}
inline void PutText(TBytes& B, const std::string& Text, std::size_t Size) {
  for (std::size_t I = 0; I < Size; ++I)
    B.push_back(I < Text.size() ? static_cast<std::uint8_t>(Text[I]) : 0);
}

// One block: header with Length = 12 + payload size unless Length is given.
TBytes Block(std::uint8_t Status, std::int32_t Start, std::int32_t Stop, const TBytes& Payload,
             int Length = -1, std::uint8_t Spare = 0);

TBytes MasterBlock(std::int32_t Start, std::int32_t Stop, const std::string& Firmware,
                   const std::string& UnitID, std::uint32_t W76 = 0, std::uint32_t W80 = 0,
                   std::uint32_t W84 = 0);

// CountByte overrides the announced sensor count (to build hostile blocks).
TBytes SensorBlock(std::int32_t Start, std::int32_t Stop, std::uint16_t ScanInterval,
                   const std::vector<TGenSensor>& Sensors, std::uint16_t SetupWord = 2,
                   std::uint8_t SetupByte = 0, std::uint16_t Word14 = 0, int CountByte = -1);

// Base words as stored: 0xFFFFFFFF, or base value + 2147483647.
inline std::uint32_t BaseWord(std::int32_t BaseValue) {
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(BaseValue) + 2147483647);
}

inline TBytes BaseBlock(std::int32_t Start, std::int32_t Stop,
                        const std::vector<std::uint32_t>& Words) {
  TBytes P;
  for (auto W : Words) PutLong(P, W);
  return Block(3, Start, Stop, P);
}

// Appends one value of a sensor: integer types take the decoded integer
// before base (the bias is added here), real types the real; Missing() sets
// every bit of the field.
void PutValue(TBytes& B, std::uint8_t DataType, double Value);

int ScanWidth(const std::vector<TGenSensor>& Sensors);

inline void PutScan(TBytes& B, const std::vector<TGenSensor>& Sensors,
                    const std::vector<double>& Values) {
  for (std::size_t I = 0; I < Sensors.size(); ++I)
    PutValue(B, Sensors[I].DataType, I < Values.size() ? Values[I] : Missing());
}

inline TBytes DataBlock(std::int32_t Start, std::int32_t Stop, const TBytes& Scans,
                        std::uint8_t Status = 4) {
  return Block(Status, Start, Stop, Scans);
}

// A Log Note: the text, then one closing byte that is not part of the note.
inline TBytes NoteBlock(std::int32_t Start, std::int32_t Stop, const std::string& Text) {
  TBytes P(Text.begin(), Text.end());
  P.push_back(0);
  return Block(8, Start, Stop, P);
}

// An event block. Any block of 12 bytes or less ends a file's processing,
// so events carry a few payload bytes unless told otherwise.
inline TBytes EventBlock(std::uint8_t Status, std::int32_t Start, std::int32_t Stop,
                         std::size_t PayloadBytes = 4) {
  return Block(Status, Start, Stop, TBytes(PayloadBytes, 0));
}

inline void Append(TBytes& File, const TBytes& Part) {
  File.insert(File.end(), Part.begin(), Part.end());
}

// Seconds since 1984-12-31 00:00:00 of a calendar date and time (proleptic
// Gregorian, no zone).
std::int32_t DDRTime(int Year, int Month, int Day, int Hour = 0, int Minute = 0, int Second = 0);

} // namespace quorvin::ddrgen
