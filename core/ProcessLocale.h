// SPDX-License-Identifier: GPL-3.0-or-later
// The process-wide locale, set up once at start-up in the same way by every
// front end.
#pragma once

namespace quorvin {

// The user's locale for everything the program takes from it (the system's
// date and time separators above all), but the C locale for numbers, so that
// nothing formatted or read through the C library turns "." into ",". The
// engines write their numbers locale-free in any case; this keeps a library
// that does not from following the user's decimal comma.
//
// The window calls it after its toolkit has made its application object (Qt
// sets the C locale from the environment there), the batch tool first thing.
void SetUpProcessLocale();

} // namespace quorvin
