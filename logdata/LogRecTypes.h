// SPDX-License-Identifier: GPL-3.0-or-later
// The binary logger file (.LOG): its 54-byte header block, its 28-byte sensor
// descriptors, the cached data records and the record cache.
//
// File layout (little-endian): header block at offset 0, then NumSensors
// descriptors, then records of RecordSize bytes back to back up to the end of
// the file. Record k holds one raw 16-bit value per sensor for the log time
// FirstTime + k x Interval; raw FFFF means "not recorded".
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/Collect.h"
#include "core/MiscUtil.h"

namespace quorvin {

class TLogFile;

constexpr int HeaderBlockSize = 54; // shown as "Description Length"
constexpr int SensorBlockSize = 28; // shown as "Sensor Info Length"
constexpr std::uint16_t NonRecordedRaw = 0xFFFF;
// An interval of 0 stored in a header means the loggers' default of 15 minutes.
constexpr std::int32_t DefaultLogInterval = 900;

// The engineering value of a raw reading: raw - 32767, then RightDigits
// single-precision divisions by 10 (never a multiplication by a power of ten,
// so the results match the loggers' own to the last bit).
// Inline: an export asks for it millions of times.
inline float RawToValue(std::uint16_t Raw, int RightDigits) {
  if (Raw == NonRecordedRaw) return 0.0f;
  float V = static_cast<float>(static_cast<int>(Raw) - 32767);
  // Once the value is zero further divisions cannot change it, so a hostile
  // digit count of 65535 costs no more than a handful of steps.
  for (int I = 0; I < RightDigits && V != 0.0f; ++I) V = V / 10.0f;
  return V;
}

// The decoded header block.
struct THeader {
  std::uint16_t Version = 0;
  std::string UnitName;
  std::uint16_t StartDay = 0;  // day number of the start date
  std::int32_t Interval = 0;   // seconds, never 0 after Parse
  std::int32_t LogTime = 0;    // seconds of day modulo Interval (display only)
  std::int32_t DataOffset = 0; // 54 + 28 x NumSensors
  std::uint16_t RecordSize = 0;
  std::uint16_t NumDays = 0;
  std::uint32_t TotalLength = 0;
  std::uint32_t DayLength = 0;
  std::uint32_t DataLength = 0;
  std::uint16_t NumSensors = 0;

  // Decodes a 54-byte block; false when it is short or its start date cannot
  // be a log time (the calendar rejects it, or it lies beyond 2053-01-18).
  bool Parse(std::span<const std::uint8_t> Block);
};

// One decoded sensor descriptor.
class TSensor : public TObject {
public:
  explicit TSensor(TLogFile* Owner = nullptr) : LogFile(Owner) {}

  std::string Name;    // unit name, ".", descriptor name (both as stored)
  int Id = 0;          // 1-based position among the descriptors
  int RightDigits = 0; // decimal places of the value, at most MaxRightDigits
  // The right-digits field as stored; above MaxRightDigits the descriptor is corrupt.
  std::uint16_t StoredRightDigits = 0;
  float Slope = 0.0f; // shown in export headers, never applied
  float Offset = 0.0f;
  TLogFile* LogFile = nullptr;

  // Decodes a 28-byte descriptor; the sensor's Name gets UnitName in front.
  // False (and nothing changed) when the block is short.
  bool Parse(std::span<const std::uint8_t> Block, const std::string& UnitName);
};

// One cached data record: its time and one raw value per sensor, the values
// held inline in the same allocation (a million-record cache stays compact).
class TRecord final : public TObject {
public:
  // A record with every value FFFF (not recorded).
  static TRecord* Create(LogTime Time, int Count);
  static void operator delete(void* P) { ::operator delete(P); }

  TRecord(const TRecord&) = delete;
  TRecord& operator=(const TRecord&) = delete;

  LogTime Time;
  int Count() const { return FCount; }
  std::uint16_t* Values() { return reinterpret_cast<std::uint16_t*>(this + 1); }
  const std::uint16_t* Values() const { return reinterpret_cast<const std::uint16_t*>(this + 1); }
  // Raw value of 0-based Index; FFFF outside 0..Count-1.
  std::uint16_t Value(int Index) const {
    return (Index >= 0 && Index < FCount) ? Values()[Index] : NonRecordedRaw;
  }

private:
  TRecord(LogTime ATime, std::uint16_t ACount) : Time(ATime), FCount(ACount) {}
  std::uint16_t FCount;
};

// The record cache: sorted by time ascending, no duplicates, owns its records.
// Records it frees are kept, up to a limit, for Make: a walk through a long
// log then allocates no record per time step.
class TRecordList : public TSortedCollection {
public:
  TRecordList() : TSortedCollection(50, 50) {}
  ~TRecordList() override {
    FSpareLimit = 0;
    FreeAllItems();
  }

  int Compare(TKey Key1, TKey Key2) override { return Key1 > Key2 ? 1 : (Key1 < Key2 ? -1 : 0); }
  TKey KeyOf(TObject* Item) override { return static_cast<TRecord*>(Item)->Time; }
  TRecord* At(int Index) { return static_cast<TRecord*>(ItemAt(Index)); }

  // TRecord::Create, with a kept record of the same count when there is one.
  TRecord* Make(LogTime Time, int Count);
  void SetSpareLimit(std::size_t Limit) { FSpareLimit = Limit; }
  void FreeItem(TObject* Item) override;

private:
  std::vector<std::unique_ptr<TRecord>> FSpare;
  std::size_t FSpareLimit = 0;
};

// An ordered list of names, entry i holding a name with its object (owned).
// Duplicate names are kept as separate entries.
template <class T>
class TSensorList {
public:
  int Count() const { return static_cast<int>(FEntries.size()); }
  // Name of entry i (0-based); empty outside the list.
  const std::string& Names(int I) const {
    static const std::string Empty;
    return InRange(I) ? FEntries[static_cast<std::size_t>(I)].first : Empty;
  }
  // Object of entry i (0-based); none outside the list.
  T* Objects(int I) {
    return InRange(I) ? FEntries[static_cast<std::size_t>(I)].second.get() : nullptr;
  }
  const T* Objects(int I) const {
    return InRange(I) ? FEntries[static_cast<std::size_t>(I)].second.get() : nullptr;
  }
  // Index of the first entry whose name equals Name without regard to case; -1 when none.
  int IndexOf(std::string_view Name) const {
    for (std::size_t I = 0; I < FEntries.size(); ++I)
      if (SameText(FEntries[I].first, Name)) return static_cast<int>(I);
    return -1;
  }
  void Add(std::string Name, std::unique_ptr<T> Object) {
    FEntries.emplace_back(std::move(Name), std::move(Object));
  }
  void Clear() { FEntries.clear(); }

private:
  bool InRange(int I) const { return I >= 0 && static_cast<std::size_t>(I) < FEntries.size(); }
  std::vector<std::pair<std::string, std::unique_ptr<T>>> FEntries;
};

} // namespace quorvin
