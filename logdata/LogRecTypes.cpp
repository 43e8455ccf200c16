#include "logdata/LogRecTypes.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "logdata/ByteOrder.h"

namespace quorvin {

namespace {

// Characters of a fixed field up to its first zero byte, or all of them.
std::string FixedText(std::span<const std::uint8_t> Bytes, std::size_t Offset, std::size_t Width) {
  const char* P = reinterpret_cast<const char*>(Bytes.data() + Offset);
  return std::string(P, ::strnlen(P, Width));
}

// The last day whose midnight is still a log time (2053-01-18).
constexpr int LastRepresentableDay = std::numeric_limits<LogTime>::max() / 86400;

} // namespace

float RawToValue(std::uint16_t Raw, int RightDigits) {
  if (Raw == NonRecordedRaw) return 0.0f;
  float V = static_cast<float>(static_cast<int>(Raw) - 32767);
  // Once the value is zero further divisions cannot change it, so a hostile
  // digit count of 65535 costs no more than a handful of steps.
  for (int I = 0; I < RightDigits && V != 0.0f; ++I) V = V / 10.0f;
  return V;
}

bool THeader::Parse(std::span<const std::uint8_t> Block) {
  if (Block.size() < static_cast<std::size_t>(HeaderBlockSize)) return false;
  auto U16 = [&](std::size_t Offset) {
    std::uint16_t V = 0;
    ReadU16LE(Block, Offset, V);
    return V;
  };
  auto U32 = [&](std::size_t Offset) {
    std::uint32_t V = 0;
    ReadU32LE(Block, Offset, V);
    return V;
  };
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
  double S = 0.0, O = 0.0;
  std::uint16_t Digits = 0;
  ReadF64LE(Block, 10, S);
  ReadF64LE(Block, 18, O);
  ReadU16LE(Block, 26, Digits);
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

} // namespace quorvin
