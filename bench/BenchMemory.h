// SPDX-License-Identifier: GPL-3.0-or-later
// Heap bytes in use, for memory counters of the benchmarks.
#pragma once

#include <malloc.h>

#include <cstddef>

namespace quorvin::bench {

inline std::size_t HeapInUse() {
  struct mallinfo2 M = ::mallinfo2();
  return M.uordblks + M.hblkhd;
}

} // namespace quorvin::bench
