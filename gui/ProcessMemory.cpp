// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ProcessMemory.h"

#include <cstdlib> // tells whether the C library is glibc
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quorvin::gui {

namespace {

// Blocks from this size on are the very large ones (the most the C library
// allows).
constexpr int LargeBlockBytes = 32 << 20;
// Free memory at the heap's end beyond this goes back to the system.
constexpr int RetainedBytes = 128 << 20;
// How many mappings of their own very large blocks may have at once (the C
// library's usual number).
constexpr int MostMappings = 65536;

} // namespace

void SetUpProcessMemory() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, LargeBlockBytes);
  mallopt(M_TRIM_THRESHOLD, RetainedBytes);
  MapLargeBlocks(false);
#endif
}

void MapLargeBlocks(bool Large) {
#if defined(__GLIBC__)
  mallopt(M_MMAP_MAX, Large ? MostMappings : 0);
#else
  (void)Large;
#endif
}

void ReleaseFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

} // namespace quorvin::gui
