// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Cores.h"

#include <sched.h>

#include <thread>

namespace quorvin {

unsigned UsableCores() {
  cpu_set_t Set;
  if (::sched_getaffinity(0, sizeof Set, &Set) == 0 && CPU_COUNT(&Set) > 0)
    return static_cast<unsigned>(CPU_COUNT(&Set));
  const unsigned N = std::thread::hardware_concurrency();
  return N > 0 ? N : 1;
}

} // namespace quorvin
