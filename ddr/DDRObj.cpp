// SPDX-License-Identifier: GPL-3.0-or-later
#include "ddr/DDRObj.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/ByteReader.h"

namespace quorvin {

TDDRObj::TDDRObj(IMessageDialog& Dialog) : FDialog(Dialog) {}

TDDRObj::~TDDRObj() {
  CloseDDR();
  CloseOutput(false);
}

// ---------------------------------------------------------------------------
// Block reading

std::uint32_t TDDRObj::GetWord(int Offset) const {
  return Offset < 0 ? 0 : ReadU16LE(FBuffer, static_cast<std::size_t>(Offset));
}

std::uint32_t TDDRObj::GetLong(int Offset) const {
  return Offset < 0 ? 0 : ReadU32LE(FBuffer, static_cast<std::size_t>(Offset));
}

double TDDRObj::GetReal(int Offset, int Size) const {
  if (Offset < 0) return 0;
  if (Size == 4) return ReadF32LE(FBuffer, static_cast<std::size_t>(Offset));
  if (Size == 8) return ReadF64LE(FBuffer, static_cast<std::size_t>(Offset));
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
  std::uint8_t Buf[65536];
  int Fill = -1; // the padding byte, once the first byte is read
  for (long long Position = FBlockPosition;;) {
    if (Fill == 0x00) {
      // A hole of a sparse file reads as zero bytes: only its data is read.
      const off_t Data = ::lseek(FInput, static_cast<off_t>(Position), SEEK_DATA);
      if (Data < 0 && errno == ENXIO) return true;
      if (Data > Position) Position = Data;
    }
    const long long N = ReadAt(FInput, Buf, sizeof Buf, Position);
    if (N < 0) return false;
    if (N == 0) return true;
    if (Fill < 0) Fill = Buf[0];
    if (Fill != 0x00 && Fill != 0xFF) return false;
    // Every byte equals the fill when each equals the one after it.
    if (Buf[0] != Fill || std::memcmp(Buf, Buf + 1, static_cast<std::size_t>(N - 1)) != 0)
      return false;
    Position += N;
  }
}

std::string TDDRObj::BufferText(int Offset, int MaxChars, int End) const {
  std::string R;
  End = std::min({End, Offset + MaxChars, DDRBlockSize});
  for (int I = Offset; I < End && FBuffer[I] != 0; ++I) R.push_back(static_cast<char>(FBuffer[I]));
  return R;
}

} // namespace quorvin
