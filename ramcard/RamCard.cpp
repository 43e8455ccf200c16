// SPDX-License-Identifier: GPL-3.0-or-later
#include "ramcard/RamCard.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/ByteReader.h"
#include "core/MiscUtil.h"
#include "core/OutputFile.h"

namespace quorvin {

const char* const RamCardSignature = "TAVRIX R630 RAM CARD";
const char* const RamCardDumpName = "RAMCARD.RCD";

namespace {

constexpr int SignatureSize = 20;

// The signature field up to its NUL.
std::string SignatureText(const std::uint8_t* Header) {
  std::size_t N = 0;
  while (N < SignatureSize && Header[N] != 0) ++N;
  return std::string(reinterpret_cast<const char*>(Header), N);
}

bool IsFolder(const std::string& Name) {
  struct stat St;
  return ::stat(Name.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

bool EntryExists(const std::string& Path) {
  struct stat St;
  // Anything there counts, a dangling link or a folder included.
  return ::lstat(Path.c_str(), &St) == 0 || errno != ENOENT;
}

} // namespace

std::string TRamEntry::NameText() const {
  std::size_t N = 0;
  while (N < RamNameSize && Name[N] != 0) ++N;
  return std::string(Name, N);
}

TRamEntry DecodeRamEntry(std::span<const std::uint8_t, RamEntrySize> Bytes) {
  TRamEntry E;
  E.Length = ReadI32LE(Bytes, 0);
  E.Mark = ReadU16LE(Bytes, 4);
  E.Flags = Bytes[6];
  std::memcpy(E.Name, Bytes.data() + 7, RamNameSize);
  E.Checksum = ReadU16LE(Bytes, 20);
  E.Reserved = ReadU16LE(Bytes, 22);
  return E;
}

std::uint16_t AddRamChecksum(std::uint16_t Sum, const std::uint8_t* Bytes, std::size_t Count,
                             int& Odd) {
  std::size_t I = 0;
  if (Odd >= 0 && Count > 0) {
    Sum = static_cast<std::uint16_t>(Sum + (Odd | (Bytes[0] << 8)));
    Odd = -1;
    I = 1;
  }
  const TByteSpan Data(Bytes, Count);
  for (; I + 1 < Count; I += 2) Sum = static_cast<std::uint16_t>(Sum + ReadU16LE(Data, I));
  if (I < Count) Odd = Bytes[I];
  return Sum;
}

std::string JoinRamPath(const std::string& Directory, const std::string& Name) {
  if (Directory.empty() || Directory.back() == '/') return Directory + Name;
  return Directory + "/" + Name;
}

bool IsSafeEntryName(const std::string& Name) {
  if (Name.empty() || Name == "." || Name == "..") return false;
  for (unsigned char C : Name)
    if (C < 0x20 || C == 0x7F || C == '/' || C == '\\') return false;
  return true;
}

std::string PrintableEntryName(const std::string& Name) {
  std::string Out;
  for (unsigned char C : Name) {
    if (C >= 0x20 && C < 0x7F) {
      Out += static_cast<char>(C);
    } else {
      char Hex[8];
      std::snprintf(Hex, sizeof Hex, "\\x%02x", C);
      Out += Hex;
    }
  }
  return Out;
}

TRamCard::TRamCard(IMessageDialog& Dialog) : FDialog(Dialog) {}

TRamCard::~TRamCard() { CloseDump(); }

void TRamCard::CloseDump() {
  if (FFile >= 0) ::close(FFile);
  FFile = -1;
  FFileSize = 0;
}

bool TRamCard::OpenDump() {
  if (DumpFileName.empty()) {
    DumpFileName = "D:\\RAMCARD.RCD";
  } else if (DumpFileName.size() == 2 && DumpFileName[1] == ':') {
    DumpFileName += "\\RAMCARD.RCD";
  } else if (DumpFileName.size() == 3 && DumpFileName[1] == ':' && DumpFileName[2] == '\\') {
    DumpFileName += RamCardDumpName;
  } else if (IsFolder(DumpFileName)) {
    // A mount point or any folder holding a copied dump.
    DumpFileName = JoinRamPath(DumpFileName, RamCardDumpName);
  }

  CloseDump();
  FFilePos = 0;
  FCurrentEntryPos = 0;
  FFirstEntryPos = 0;
  FEntryValid = false;

  // Non-blocking so that a pipe given as the dump cannot stall the open.
  int Fd = ::open(DumpFileName.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (Fd < 0) return false;
  struct stat St;
  if (::fstat(Fd, &St) != 0 || !(S_ISREG(St.st_mode) || S_ISBLK(St.st_mode))) {
    ::close(Fd);
    return false;
  }
  // A card read straight from its block device has no size in stat.
  off_t End = S_ISREG(St.st_mode) ? St.st_size : ::lseek(Fd, 0, SEEK_END);
  if (End < 0) {
    ::close(Fd);
    return false;
  }
  FFile = Fd;
  FFileSize = End;
  return true;
}

std::int64_t TRamCard::ReadAt(std::int64_t Pos, std::uint8_t* Dest, std::int64_t Count) {
  if (FFile < 0 || Pos < 0 || Count <= 0 || Pos >= FFileSize) return 0;
  if (Count > FFileSize - Pos) Count = FFileSize - Pos;
  std::int64_t Done = 0;
  while (Done < Count) {
    ssize_t N = ::pread(FFile, Dest + Done, static_cast<std::size_t>(Count - Done),
                        static_cast<off_t>(Pos + Done));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += N;
  }
  return Done;
}

bool TRamCard::ValidateDump() {
  FFirstEntryPos = 0;
  FCurrentEntryPos = 0;
  FEntryValid = false;
  std::int64_t HeaderPos = 0;
  std::int64_t Got = ReadAt(0, FDumpHeader.data(), RamHeaderSize);
  if (Got != RamHeaderSize || SignatureText(FDumpHeader.data()) != RamCardSignature) {
    FDumpHeader.fill(0);
    HeaderPos = RamImageOffset;
    Got = ReadAt(HeaderPos, FDumpHeader.data(), RamHeaderSize);
  }
  if (Got != RamHeaderSize) {
    FDialog.Show(TMsgKind::Error, "Error! File too short or cannot read file.", TMsgButtons::OK);
    return false;
  }
  if (UpperCase(SignatureText(FDumpHeader.data())) != RamCardSignature) {
    FDialog.Show(TMsgKind::Error, "Error! This file is not a Ram Card dump or image.",
                 TMsgButtons::OK);
    return false;
  }
  if (FDumpHeader[21] != 1) {
    FDialog.Show(TMsgKind::Error, "Error! Incompatible dump version ", TMsgButtons::OK);
    return false;
  }
  FFirstEntryPos = HeaderPos + RamHeaderSize;
  FFilePos = FFirstEntryPos;
  return true;
}

bool TRamCard::NextEntry() {
  // Only a validated dump has a directory to walk.
  if (FFile < 0 || FFirstEntryPos == 0) return false;
  std::int64_t Pos;
  if (FCurrentEntryPos == 0) {
    Pos = FFilePos;
  } else {
    // A walk that ended stays ended until it is rewound: the failed entry's
    // Length cannot be trusted to lead anywhere.
    if (!FEntryValid) return false;
    Pos = FCurrentEntryPos + FCurrentEntry.Length;
  }
  FEntryValid = false;
  FCurrentEntryPos = Pos;

  std::uint8_t Raw[RamEntrySize];
  std::int64_t Got = ReadAt(Pos, Raw, RamEntrySize);
  FFilePos = Pos + Got;
  if (Got == RamEntrySize) {
    FCurrentEntry = DecodeRamEntry(Raw);
  } else {
    FCurrentEntry = TRamEntry{};
    FCurrentEntry.Length = RamEndOfDirectory;
  }

  std::string Name = FCurrentEntry.NameText();
  if (Name.empty() || Name == ".") {
    std::string Fixed = "NONAME" + Name;
    std::memset(FCurrentEntry.Name, 0, RamNameSize);
    std::memcpy(FCurrentEntry.Name, Fixed.data(), Fixed.size());
  }

  if (Got != RamEntrySize || FCurrentEntry.Length == RamEndOfDirectory ||
      FCurrentEntry.Mark != RamEntryMark)
    return false;
  // The chain must move forward and its data must lie inside the file.
  if (FCurrentEntry.Length < RamEntrySize || FCurrentEntry.Length > FFileSize - Pos) return false;
  FEntryValid = true;
  return true;
}

bool TRamCard::VerifyEntry() {
  if (!FEntryValid) return false;
  FBuffer.resize(RamBufferSize);
  std::int64_t Pos = FCurrentEntryPos + RamEntrySize;
  std::int64_t Left = FCurrentEntry.DataLength();
  std::uint16_t Sum = 0;
  int Odd = -1;
  while (Left > 0) {
    std::int64_t Piece = Left < RamBufferSize ? Left : RamBufferSize;
    if (ReadAt(Pos, FBuffer.data(), Piece) != Piece) return false;
    Sum = AddRamChecksum(Sum, FBuffer.data(), static_cast<std::size_t>(Piece), Odd);
    Pos += Piece;
    Left -= Piece;
  }
  if (Odd >= 0) Sum = static_cast<std::uint16_t>(Sum + Odd);
  return Sum == FCurrentEntry.Checksum;
}

std::string TRamCard::UniqueEntryName(const std::string& Directory) {
  const std::string Name = FCurrentEntry.NameText();
  const std::string Stem = Name.size() > 2 ? Name.substr(0, Name.size() - 2) : std::string();
  for (int I = 0; I < 100; ++I) {
    std::string Candidate = Name;
    if (I > 0) {
      char Digits[3];
      std::snprintf(Digits, sizeof Digits, "%02d", I);
      Candidate = Stem + Digits;
    }
    if (!EntryExists(JoinRamPath(Directory, Candidate))) return Candidate;
  }
  return std::string();
}

bool TRamCard::SaveEntry(const std::string& Path, IBusyCursor* Progress) {
  FCancelled = false;
  if (!FEntryValid || Path.empty()) return false;
  TOutputFile Out;
  if (!Out.OpenReplace(Path)) return false;

  FBuffer.resize(RamBufferSize);
  std::int64_t Pos = FCurrentEntryPos + RamEntrySize;
  std::int64_t Left = FCurrentEntry.DataLength();
  bool Ok = true;
  while (Ok && Left > 0) {
    std::int64_t Piece = Left < RamBufferSize ? Left : RamBufferSize;
    Ok = ReadAt(Pos, FBuffer.data(), Piece) == Piece &&
         Out.Write(std::string_view(reinterpret_cast<const char*>(FBuffer.data()),
                                    static_cast<std::size_t>(Piece)));
    Pos += Piece;
    Left -= Piece;
    // Progress is the position in the dump, which the copies walk in order.
    if (Ok && Progress && Progress->Step(Pos, FFileSize)) {
      FCancelled = true;
      Ok = false;
    }
  }
  return Ok && Out.Commit();
}

void TRamCard::RewindEntries() {
  FCurrentEntryPos = 0;
  FEntryValid = false;
  FFilePos = FFirstEntryPos;
}

void TRamCard::ResumeEntriesAt(std::int64_t Pos) {
  RewindEntries();
  if (Pos > FFirstEntryPos) FFilePos = Pos;
}

} // namespace quorvin
