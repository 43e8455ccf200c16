// SPDX-License-Identifier: GPL-3.0-or-later
// Not-recorded readings: the raw value a logger stores, a read value's bit
// pattern and whether it is the not-recorded one.
#pragma once

#include <bit>
#include <cstdint>

#include "core/MiscUtil.h"

namespace quorvin::test {

// The raw reading a logger stores when it recorded none.
inline constexpr std::uint16_t NR = 0xFFFF;

inline std::uint32_t Bits(float F) { return std::bit_cast<std::uint32_t>(F); }
inline bool NotRecorded(float F) { return Bits(F) == NonRecordedBits; }

} // namespace quorvin::test
