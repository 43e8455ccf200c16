// SPDX-License-Identifier: GPL-3.0-or-later
// The readings of the selected log's checked sensors as columns: what the
// Python module hands to NumPy, read as the export reads them.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/LogSelection.h"
#include "core/ClockZone.h"

namespace quorvin {

// Whole days FirstDay to LastDay as log times; none given: from the first
// reading, to the last.
void DayRange(std::optional<TDateTime> FirstDay, std::optional<TDateTime> LastDay, LogTime& From,
              LogTime& To);

// Room for Count doubles, not zeroed: a large block is mapped in huge pages
// where the system offers them, since faulting in 128 MB page by page costs
// more than reading the log into it.
class TValueBlock {
public:
  TValueBlock() = default;
  explicit TValueBlock(std::size_t Count);
  ~TValueBlock();
  TValueBlock(TValueBlock&& Other) noexcept;
  TValueBlock& operator=(TValueBlock&& Other) noexcept;
  TValueBlock(const TValueBlock&) = delete;
  TValueBlock& operator=(const TValueBlock&) = delete;

  double* data() { return FData; }
  const double* data() const { return FData; }
  std::size_t size() const { return FCount; }

private:
  void Release();
  double* FData = nullptr;
  std::size_t FCount = 0;
  std::size_t FMapped = 0; // bytes mapped; 0 when allocated
};

struct TReadingColumns {
  std::string Title;        // the logger's
  std::vector<int> Sensors; // 1-based, one per column
  // Seconds since 1970-01-01: the clock time as recorded, or UTC in a zone.
  std::vector<std::int64_t> Times;
  // The values as the outputs show them, NaN where none: one block of
  // Capacity per sensor, its first Times.size() used. One allocation, so a
  // table library can take the whole as one two-dimensional array.
  TValueBlock Values;
  std::size_t Capacity = 0;
  TPlacementTally Tally;
};

// False when no log is selected.
bool ReadCheckedReadings(TLogSelection& Sel, LogTime From, LogTime To, const TClockZone& Zone,
                         TReadingColumns& Columns);

} // namespace quorvin
