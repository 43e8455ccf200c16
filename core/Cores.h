// SPDX-License-Identifier: GPL-3.0-or-later
// How many cores this process may run on.
#pragma once

namespace quorvin {

// The cores the process may use (a taskset or a job slot may give it fewer
// than the machine has); at least 1.
unsigned UsableCores();

} // namespace quorvin
