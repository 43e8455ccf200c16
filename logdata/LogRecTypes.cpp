// SPDX-License-Identifier: GPL-3.0-or-later
#include "logdata/LogRecTypes.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "core/ByteReader.h"

namespace quorvin {

namespace {

// Characters of a fixed field up to its first zero byte, or all of them.
std::string FixedText(std::span<const std::uint8_t> Bytes, std::size_t Offset, std::size_t Width) {
  const char* P = reinterpret_cast<const char*>(Bytes.data() + Offset);
  return std::string(P, ::strnlen(P, Width));
}

// The last day whose midnight is still a log time (2053-01-18).
constexpr int LastRepresentableDay = std::numeric_limits<LogTime>::max() / SecsPerDay;

} // namespace

bool THeader::Parse(std::span<const std::uint8_t> Block) {
  if (Block.size() < static_cast<std::size_t>(HeaderBlockSize)) return false;
  auto U16 = [&](std::size_t Offset) { return ReadU16LE(Block, Offset); };
  auto U32 = [&](std::size_t Offset) { return ReadU32LE(Block, Offset); };
  try {
    Version = U16(0);
    UnitName = FixedText(Block, 2, 8);
    StartDay = DayNumber(U16(10), U16(12), U16(14));
    const std::int32_t LogSecs = SecondsOfDay(U16(16), U16(18), U16(20));
    Interval = SecondsOfDay(U16(22), U16(24), U16(26));
    if (Interval == 0) Interval = DefaultLogInterval;
    LogTime = LogSecs % Interval;
    RecordSize = U16(28);
    NumDays = U16(30);
    TotalLength = U32(32);
    DayLength = U32(36);
    DataLength = U32(40);
    NumSensors = U16(52);
    DataOffset = HeaderBlockSize + SensorBlockSize * static_cast<std::int32_t>(NumSensors);
  } catch (...) {
    return false;
  }
  // A start day whose midnight overflows a log time would make every record
  // time wrap around; such a header is not a readable log.
  return StartDay <= LastRepresentableDay;
}

bool TSensor::Parse(std::span<const std::uint8_t> Block, const std::string& UnitName) {
  if (Block.size() < static_cast<std::size_t>(SensorBlockSize)) return false;
  const double S = ReadF64LE(Block, 10);
  const double O = ReadF64LE(Block, 18);
  const std::uint16_t Digits = ReadU16LE(Block, 26);
  Name = UnitName + "." + FixedText(Block, 0, 10);
  Slope = static_cast<float>(S);
  Offset = static_cast<float>(O);
  StoredRightDigits = Digits;
  RightDigits = std::min<int>(Digits, MaxRightDigits);
  return true;
}

TRecord* TRecord::Create(LogTime Time, int Count) {
  if (Count < 0) Count = 0;
  if (Count > 0xFFFF) Count = 0xFFFF;
  void* Mem =
      ::operator new(sizeof(TRecord) + static_cast<std::size_t>(Count) * sizeof(std::uint16_t));
  TRecord* R = ::new (Mem) TRecord(Time, static_cast<std::uint16_t>(Count));
  std::uninitialized_fill_n(R->Values(), Count, NonRecordedRaw);
  return R;
}

TRecord* TRecordList::Make(LogTime Time, int Count) {
  if (FSpare.empty() || FSpare.back()->Count() != Count) return TRecord::Create(Time, Count);
  TRecord* R = FSpare.back().release();
  FSpare.pop_back();
  R->Time = Time;
  std::fill_n(R->Values(), Count, NonRecordedRaw);
  return R;
}

void TRecordList::FreeItem(TObject* Item) {
  if (FSpare.size() < FSpareLimit) {
    FSpare.emplace_back(static_cast<TRecord*>(Item));
    return;
  }
  TSortedCollection::FreeItem(Item);
}

} // namespace quorvin
