// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ThreadBudget.h"

#include <algorithm>

#include "core/Cores.h"

namespace quorvin {

unsigned TThreadBudget::Take(unsigned Wanted) {
  const std::lock_guard<std::mutex> Lock(FLock);
  const unsigned Granted =
      static_cast<unsigned>(std::clamp<long>(FFree, 0, static_cast<long>(Wanted)));
  FFree -= static_cast<long>(Granted);
  return Granted;
}

void TThreadBudget::TakeAnyway(unsigned Count) {
  const std::lock_guard<std::mutex> Lock(FLock);
  FFree -= static_cast<long>(Count);
}

void TThreadBudget::Give(unsigned Count) {
  const std::lock_guard<std::mutex> Lock(FLock);
  FFree += static_cast<long>(Count);
}

unsigned TThreadBudget::Free() const {
  const std::lock_guard<std::mutex> Lock(FLock);
  return static_cast<unsigned>(std::max<long>(FFree, 0));
}

TThreadBudget& ProcessThreads() {
  static TThreadBudget Budget(UsableCores());
  return Budget;
}

} // namespace quorvin
