// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LogReadings.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <utility>

#include <sys/mman.h>

#include "report/Readings.h"
#include "report/ReadingsExport.h"

namespace quorvin {

TValueBlock::TValueBlock(std::size_t Count) : FCount(Count) {
  if (Count == 0) return;
  if (Count > std::numeric_limits<std::size_t>::max() / sizeof(double)) throw std::bad_alloc();
  const std::size_t Bytes = Count * sizeof(double);
  constexpr std::size_t HugePage = std::size_t{2} << 20;
  if (Bytes >= 4 * HugePage) {
    const std::size_t Rounded = (Bytes + HugePage - 1) / HugePage * HugePage;
    void* P = ::mmap(nullptr, Rounded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (P == MAP_FAILED) throw std::bad_alloc();
    ::madvise(P, Rounded, MADV_HUGEPAGE); // a hint: without it, small pages
    FData = static_cast<double*>(P);
    FMapped = Rounded;
    return;
  }
  FData = new double[Count];
}

TValueBlock::~TValueBlock() { Release(); }

TValueBlock::TValueBlock(TValueBlock&& Other) noexcept
    : FData(std::exchange(Other.FData, nullptr)), FCount(std::exchange(Other.FCount, 0)),
      FMapped(std::exchange(Other.FMapped, 0)) {}

TValueBlock& TValueBlock::operator=(TValueBlock&& Other) noexcept {
  if (this != &Other) {
    Release();
    FData = std::exchange(Other.FData, nullptr);
    FCount = std::exchange(Other.FCount, 0);
    FMapped = std::exchange(Other.FMapped, 0);
  }
  return *this;
}

void TValueBlock::Release() {
  if (FMapped)
    ::munmap(FData, FMapped);
  else
    delete[] FData;
  FData = nullptr;
  FCount = FMapped = 0;
}

void DayRange(std::optional<TDateTime> FirstDay, std::optional<TDateTime> LastDay, LogTime& From,
              LogTime& To) {
  From = FirstDay ? DateTimeToSecs(std::floor(*FirstDay)) : std::numeric_limits<LogTime>::min();
  To = LastDay ? DateTimeToSecs(std::floor(*LastDay)) + (SecsPerDay - 1)
               : std::numeric_limits<LogTime>::max();
}

bool ReadCheckedReadings(TLogSelection& Sel, LogTime From, LogTime To, const TClockZone& Zone,
                         TReadingColumns& Columns) {
  if (!Sel.LogLoaded()) return false;
  Columns = TReadingColumns();
  Columns.Title = LogTitle(*Sel.Log);
  std::vector<int> Digits;
  for (int I = 0; I < Sel.SensorChoiceCount(); ++I)
    if (Sel.SensorChoices[std::size_t(I)].Checked) {
      Columns.Sensors.push_back(I + 1);
      Digits.push_back(Sel.SensorChoices[std::size_t(I)].RightDigits);
    }
  TReadingWalk Walk(*Sel.Log, Columns.Sensors, From, To);
  const std::size_t N = Columns.Sensors.size();
  // Exact for a log whose records hold every sensor; for one whose sensors
  // have readings of their own, rows shared by sensors make it less.
  Columns.Capacity = static_cast<std::size_t>(Walk.RowsLeft());
  Columns.Values = TValueBlock(N * Columns.Capacity);
  // Every row at once, straight into the columns: a log stored as records
  // is decoded in bulk on more than one thread.
  std::vector<double*> Out(N);
  for (std::size_t I = 0; I < N; ++I) Out[I] = Columns.Values.data() + I * Columns.Capacity;
  std::vector<LogTime> Times(Columns.Capacity);
  const std::size_t Rows =
      Walk.NextColumns(Columns.Capacity, Times.data(), &ReadingValue, Digits.data(), Out.data());
  Columns.Times.resize(Rows);
  for (std::size_t R = 0; R < Rows; ++R) {
    const TZonedTime Placed = Zone.Place(Times[R]);
    if (Zone.HasZone()) Columns.Tally.Add(Times[R], Placed);
    Columns.Times[R] = Placed.UnixSecs;
  }
  return true;
}

} // namespace quorvin
