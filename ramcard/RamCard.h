// SPDX-License-Identifier: GPL-3.0-or-later
// The RAM card dump reader: a header followed by a chain of directory
// entries, each followed by the bytes of one stored file. Data areas are read
// and copied through one 40000-byte buffer, never held whole in memory.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/UiServices.h"

namespace quorvin {

constexpr int RamHeaderSize = 28;
constexpr int RamEntrySize = 24;
constexpr std::int64_t RamImageOffset = 4096;
constexpr int RamBufferSize = 40000;
constexpr std::uint16_t RamEntryMark = 18497; // bytes 41 48
constexpr std::int32_t RamEndOfDirectory = -1;
constexpr int RamNameSize = 13;

extern const char* const RamCardSignature; // "TAVRIX R630 RAM CARD"
extern const char* const RamCardDumpName;  // "RAMCARD.RCD"

// One directory entry as stored (24 bytes, little-endian).
struct TRamEntry {
  std::int32_t Length = 0; // entry header and data together; -1 ends the directory
  std::uint16_t Mark = 0;
  std::uint8_t Flags = 0; // not interpreted
  char Name[RamNameSize] = {};
  std::uint16_t Checksum = 0;
  std::uint16_t Reserved = 0;

  // The name up to its NUL (all 13 characters when there is none).
  std::string NameText() const;
  std::int64_t DataLength() const { return Length < RamEntrySize ? 0 : Length - RamEntrySize; }
};

TRamEntry DecodeRamEntry(std::span<const std::uint8_t, RamEntrySize> Bytes);
// 16-bit wrap-around sum of little-endian words; Odd carries a pending low
// byte between pieces (-1 when none).
std::uint16_t AddRamChecksum(std::uint16_t Sum, const std::uint8_t* Bytes, std::size_t Count,
                             int& Odd);

class TRamCard {
public:
  // Header problems are reported through Dialog.
  explicit TRamCard(IMessageDialog& Dialog);
  ~TRamCard();
  TRamCard(const TRamCard&) = delete;
  TRamCard& operator=(const TRamCard&) = delete;

  std::string DumpFileName;

  // Completes DumpFileName (empty, "X:", "X:\", a folder) and opens it.
  bool OpenDump();
  // Reads and checks the header (at 0, or at 4096 for a card image).
  bool ValidateDump();
  // Reads the next entry into CurrentEntry; false at the end of the
  // directory, on a damaged entry or a read error.
  bool NextEntry();
  // Checksum test of the current entry's data area.
  bool VerifyEntry();
  // A name for the current entry not yet used in Directory; empty when all
  // 100 candidates are taken.
  std::string UniqueEntryName(const std::string& Directory);
  // Copies the current entry's data area to Path through a temporary file in
  // the same folder, renamed to Path only when complete. Progress (when
  // given) hears of every buffer; a cancel there ends the copy as a failure
  // with Cancelled() true.
  bool SaveEntry(const std::string& Path, IBusyCursor* Progress = nullptr);
  bool Cancelled() const { return FCancelled; }
  // The next NextEntry reads the first entry again.
  void RewindEntries();
  // The next NextEntry reads the entry at Pos (an offset NextEntry reached).
  void ResumeEntriesAt(std::int64_t Pos);

  bool DumpOpen() const { return FFile >= 0; }
  const std::array<std::uint8_t, RamHeaderSize>& DumpHeader() const { return FDumpHeader; }
  const TRamEntry& CurrentEntry() const { return FCurrentEntry; }
  std::int64_t CurrentEntryPos() const { return FCurrentEntryPos; }
  std::int64_t FirstEntryPos() const { return FFirstEntryPos; }
  // Offset just past the current entry's data: where the next entry starts.
  std::int64_t NextEntryPos() const { return FCurrentEntryPos + FCurrentEntry.Length; }
  std::int64_t DumpSize() const { return FFileSize; }

private:
  // Reads up to Count bytes at Pos; answers the number read.
  std::int64_t ReadAt(std::int64_t Pos, std::uint8_t* Dest, std::int64_t Count);
  void CloseDump();

  IMessageDialog& FDialog;
  bool FCancelled = false;
  int FFile = -1;
  std::int64_t FFileSize = 0;
  std::int64_t FFilePos = 0;
  std::array<std::uint8_t, RamHeaderSize> FDumpHeader{};
  TRamEntry FCurrentEntry;
  bool FEntryValid = false;
  std::int64_t FCurrentEntryPos = 0;
  std::int64_t FFirstEntryPos = 0;
  std::vector<std::uint8_t> FBuffer;
};

// Joins a directory and a file name with one "/" between them.
std::string JoinRamPath(const std::string& Directory, const std::string& Name);
// A stored name is data from the card: it may be written only when it names
// a plain file inside the output folder and holds no control character.
bool IsSafeEntryName(const std::string& Name);
// A stored name as it may be shown: every byte outside printable ASCII as
// \xNN (two lower-case hex digits), so a name cannot drive a terminal.
std::string PrintableEntryName(const std::string& Name);

} // namespace quorvin
