// SPDX-License-Identifier: GPL-3.0-or-later
// Message texts that more than one part of the program shows.
#pragma once

#include <string>

namespace quorvin {

inline constexpr const char* MsgFileMissing =
    "File does not exist or is invalid. Please select another file.";
inline constexpr const char* MsgFileInvalid = "File is invalid. Please select another file.";

inline std::string MsgOpeningOutput(const std::string& FileName) {
  return "Error opening output file " + FileName + ".";
}

} // namespace quorvin
