#include "gui/ProcessMemory.h"

#include <cstdlib> // tells whether the C library is glibc
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quorvin::gui {

namespace {

// Free memory at the heap's end beyond this goes back to the system.
constexpr int RetainedBytes = 256 << 20;

} // namespace

void SetUpProcessMemory() {
#if defined(__GLIBC__)
  // Large blocks from the heap, where a freed one serves the next request,
  // not from mappings of their own, which are unmapped when freed.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, RetainedBytes);
#endif
}

void ReleaseFreedMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

} // namespace quorvin::gui
