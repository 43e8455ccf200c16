// SPDX-License-Identifier: GPL-3.0-or-later
// Scratch folders and file helpers for the RAM card tests.
#pragma once

#include "support/Scratch.h"
