// SPDX-License-Identifier: GPL-3.0-or-later
#include "generators/RamCardGen.h"

namespace quorvin::test {

std::uint16_t RamGenChecksum(const std::string& Data) {
  std::uint32_t Sum = 0;
  for (std::size_t I = 0; I < Data.size(); I += 2) {
    std::uint32_t Lo = static_cast<unsigned char>(Data[I]);
    std::uint32_t Hi = I + 1 < Data.size() ? static_cast<unsigned char>(Data[I + 1]) : 0;
    Sum += Lo | (Hi << 8);
  }
  return static_cast<std::uint16_t>(Sum & 0xFFFF);
}

std::string RamGenHeader(std::uint8_t VersionHigh, std::uint8_t VersionLow,
                         const std::string& Signature) {
  std::string H = Signature.substr(0, 20);
  H.resize(20, '\0');
  H += static_cast<char>(VersionLow);
  H += static_cast<char>(VersionHigh);
  H.append(6, '\0');
  return H;
}

std::string RamGenEntry(const TRamGenEntry& E) {
  std::string Out;
  PutI32(Out, E.Length ? *E.Length : static_cast<std::int32_t>(24 + E.Data.size()));
  PutU16(Out, E.Mark);
  Out += '\0';
  std::string Name = E.Name.substr(0, 13);
  Name.resize(13, '\0');
  Out += Name;
  PutU16(Out, E.Checksum ? *E.Checksum : RamGenChecksum(E.Data));
  PutU16(Out, 0);
  return Out + E.Data;
}

std::string RamGenDump(const std::vector<TRamGenEntry>& Entries, bool Image, char ImageFill) {
  std::string Out = Image ? std::string(4096, ImageFill) : std::string();
  Out += RamGenHeader();
  for (const auto& E : Entries) Out += RamGenEntry(E);
  return Out + RamGenEnd();
}
} // namespace quorvin::test
