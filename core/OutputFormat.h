// SPDX-License-Identifier: GPL-3.0-or-later
// The two kinds of file Save writes, as both output-format lists offer them
// (in this order) and both settings keys hold them.
#pragma once

#include <cstdint>

namespace quorvin {

enum class TOutputFormat : std::uint8_t {
  Text = 0,  // a .PRN text file
  Excel = 1, // a .XLS workbook
};

// The entry of an output-format list (0 TEXT, 1 EXCEL); anything else is
// TEXT.
inline TOutputFormat OutputFormatOfItem(int Index) {
  return Index == 1 ? TOutputFormat::Excel : TOutputFormat::Text;
}
inline int ItemOfOutputFormat(TOutputFormat Format) { return static_cast<int>(Format); }

} // namespace quorvin
