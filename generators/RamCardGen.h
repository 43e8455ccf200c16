// SPDX-License-Identifier: GPL-3.0-or-later
// Builds RAM card dumps byte by byte, for the tests and the sample generator.
// Independent of the reader, so a test does not check the
// reader against itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "generators/PutBytes.h"

namespace quorvin::test {

// Sum of little-endian 16-bit words, a final odd byte as the low byte.
std::uint16_t RamGenChecksum(const std::string& Data);

// The 28-byte header: signature, version word (high byte VersionHigh), 6 spare bytes.
std::string RamGenHeader(std::uint8_t VersionHigh = 1, std::uint8_t VersionLow = 0,
                         const std::string& Signature = "TAVRIX R630 RAM CARD");

struct TRamGenEntry {
  TRamGenEntry() = default;
  TRamGenEntry(std::string AName, std::string AData)
      : Name(std::move(AName)), Data(std::move(AData)) {}
  TRamGenEntry(std::string AName, std::string AData, std::uint16_t AChecksum)
      : Name(std::move(AName)), Data(std::move(AData)), Checksum(AChecksum) {}

  std::string Name;
  std::string Data;
  // A stored checksum other than the data's own, for damaged entries.
  std::optional<std::uint16_t> Checksum;
  // A stored Length other than 24 + data size.
  std::optional<std::int32_t> Length;
  std::uint16_t Mark = 18497;
};

// One 24-byte directory entry followed by its data. Names longer than 13
// bytes are cut; a 13-byte name has no NUL.
std::string RamGenEntry(const TRamGenEntry& E);

// The entry that ends the directory (Length -1).
inline std::string RamGenEnd() {
  TRamGenEntry E;
  E.Length = -1;
  return RamGenEntry(E);
}

// A whole dump: header, entries, end mark; an image carries 4096 bytes of
// ImageFill first.
std::string RamGenDump(const std::vector<TRamGenEntry>& Entries, bool Image = false,
                       char ImageFill = '\0');

} // namespace quorvin::test
