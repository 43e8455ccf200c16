// SPDX-License-Identifier: GPL-3.0-or-later
// Builds V900 DDR recorder files byte by byte, for tests, benchmarks and the
// sample generator. Header-only; no dependency beyond the standard library.
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
inline TBytes Block(std::uint8_t Status, std::int32_t Start, std::int32_t Stop,
                    const TBytes& Payload, int Length = -1, std::uint8_t Spare = 0) {
  TBytes B;
  PutWord(B, static_cast<std::uint16_t>(Length < 0 ? 12 + Payload.size()
                                                   : static_cast<std::size_t>(Length)));
  PutByte(B, Status);
  PutByte(B, Spare);
  PutLong(B, static_cast<std::uint32_t>(Start));
  PutLong(B, static_cast<std::uint32_t>(Stop));
  B.insert(B.end(), Payload.begin(), Payload.end());
  return B;
}

inline TBytes MasterBlock(std::int32_t Start, std::int32_t Stop, const std::string& Firmware,
                          const std::string& UnitID, std::uint32_t W76 = 0, std::uint32_t W80 = 0,
                          std::uint32_t W84 = 0) {
  TBytes P;
  PutText(P, Firmware, 32);
  PutText(P, UnitID, 32);
  PutLong(P, W76);
  PutLong(P, W80);
  PutLong(P, W84);
  return Block(1, Start, Stop, P);
}

// CountByte overrides the announced sensor count (to build hostile blocks).
inline TBytes SensorBlock(std::int32_t Start, std::int32_t Stop, std::uint16_t ScanInterval,
                          const std::vector<TGenSensor>& Sensors, std::uint16_t SetupWord = 2,
                          std::uint8_t SetupByte = 0, std::uint16_t Word14 = 0,
                          int CountByte = -1) {
  TBytes P;
  PutWord(P, ScanInterval);
  PutWord(P, Word14);
  PutWord(P, SetupWord);
  PutByte(P, static_cast<std::uint8_t>(CountByte < 0 ? Sensors.size()
                                                     : static_cast<std::size_t>(CountByte)));
  PutByte(P, SetupByte);
  for (const auto& S : Sensors) {
    PutText(P, S.Name, 11);
    PutText(P, S.Units, 7);
    PutByte(P, S.Flags);
    PutByte(P, S.Byte19);
    PutLong(P, static_cast<std::uint32_t>(S.Number20));
    PutLong(P, static_cast<std::uint32_t>(S.Number24));
    PutByte(P, S.RightDigits);
    PutByte(P, S.DataType);
    PutWord(P, S.Word30);
  }
  return Block(2, Start, Stop, P);
}

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
inline void PutValue(TBytes& B, std::uint8_t DataType, double Value) {
  const bool Miss = std::isnan(Value) && DataType != 6 && DataType != 7;
  const std::int64_t I = Miss ? 0 : static_cast<std::int64_t>(std::llround(Value));
  switch (DataType) {
  case 0:
    PutByte(B, Miss ? 255 : static_cast<std::uint8_t>(I + 127));
    break;
  case 1:
    PutByte(B, Miss ? 255 : static_cast<std::uint8_t>(I));
    break;
  case 2:
    PutWord(B, Miss ? 65535 : static_cast<std::uint16_t>(I + 32767));
    break;
  case 3:
    PutWord(B, Miss ? 65535 : static_cast<std::uint16_t>(I));
    break;
  case 4:
    PutLong(B, Miss ? 0xFFFFFFFFu : static_cast<std::uint32_t>(I + 2147483647));
    break;
  case 5:
    PutLong(B, Miss ? 0xFFFFFFFFu : static_cast<std::uint32_t>(static_cast<std::int32_t>(I)));
    break;
  case 6: {
    if (std::isnan(Value)) {
      PutLong(B, 0xFFFFFFFFu);
      break;
    }
    float F = static_cast<float>(Value);
    std::uint32_t Bits;
    std::memcpy(&Bits, &F, 4);
    PutLong(B, Bits);
    break;
  }
  case 7: {
    std::uint64_t Bits = 0xFFFFFFFFFFFFFFFFull;
    if (!std::isnan(Value)) std::memcpy(&Bits, &Value, 8);
    PutLong(B, static_cast<std::uint32_t>(Bits));
    PutLong(B, static_cast<std::uint32_t>(Bits >> 32));
    break;
  }
  default:
    break; // unknown types take no bytes
  }
}

inline int ScanWidth(const std::vector<TGenSensor>& Sensors) {
  int W = 0;
  for (const auto& S : Sensors) {
    switch (S.DataType) {
    case 0:
    case 1:
      W += 1;
      break;
    case 2:
    case 3:
      W += 2;
      break;
    case 4:
    case 5:
    case 6:
      W += 4;
      break;
    case 7:
      W += 8;
      break;
    default:
      break;
    }
  }
  return W;
}

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
inline std::int32_t DDRTime(int Year, int Month, int Day, int Hour = 0, int Minute = 0,
                            int Second = 0) {
  auto DaysFromCivil = [](int Y, int M, int D) {
    Y -= M <= 2;
    const int Era = (Y >= 0 ? Y : Y - 399) / 400;
    const int Yoe = Y - Era * 400;
    const int Doy = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
    const int Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
    return Era * 146097 + Doe - 719468;
  };
  const long long Days = DaysFromCivil(Year, Month, Day) - DaysFromCivil(1984, 12, 31);
  return static_cast<std::int32_t>(Days * 86400 + Hour * 3600 + Minute * 60 + Second);
}

} // namespace quorvin::ddrgen
