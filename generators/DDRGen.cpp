// SPDX-License-Identifier: GPL-3.0-or-later
#include "generators/DDRGen.h"

namespace quorvin::ddrgen {

TBytes Block(std::uint8_t Status, std::int32_t Start, std::int32_t Stop, const TBytes& Payload,
             int Length, std::uint8_t Spare) {
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

TBytes MasterBlock(std::int32_t Start, std::int32_t Stop, const std::string& Firmware,
                   const std::string& UnitID, std::uint32_t W76, std::uint32_t W80,
                   std::uint32_t W84) {
  TBytes P;
  PutText(P, Firmware, 32);
  PutText(P, UnitID, 32);
  PutLong(P, W76);
  PutLong(P, W80);
  PutLong(P, W84);
  return Block(1, Start, Stop, P);
}

TBytes SensorBlock(std::int32_t Start, std::int32_t Stop, std::uint16_t ScanInterval,
                   const std::vector<TGenSensor>& Sensors, std::uint16_t SetupWord,
                   std::uint8_t SetupByte, std::uint16_t Word14, int CountByte) {
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

void PutValue(TBytes& B, std::uint8_t DataType, double Value) {
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

int ScanWidth(const std::vector<TGenSensor>& Sensors) {
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

std::int32_t DDRTime(int Year, int Month, int Day, int Hour, int Minute, int Second) {
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
