// SPDX-License-Identifier: GPL-3.0-or-later
// Message texts that more than one part of the program shows.
#pragma once

#include <exception>
#include <new>
#include <string>

namespace quorvin {

inline constexpr const char* MsgFileMissing =
    "File does not exist or is invalid. Please select another file.";
inline constexpr const char* MsgFileInvalid = "File is invalid. Please select another file.";

// A Save whose output could not be written or finished (a full disk, a
// file-size limit); the system's reason goes beside it.
inline constexpr const char* MsgClosingOutput = "Error closing Log Output file.";

inline std::string MsgOpeningOutput(const std::string& FileName) {
  return "Error opening output file " + FileName + ".";
}

// Why an exception stopped something, in words: no memory left is said so.
inline std::string ExceptionReason(const std::exception& E) {
  if (dynamic_cast<const std::bad_alloc*>(&E)) return "not enough memory";
  return E.what();
}

// A command that something stopped on its way (no memory left, a value
// beyond what can be written), with the reason.
inline std::string StoppedMessage(const std::exception& E) {
  return "Error! The command stopped: " + ExceptionReason(E);
}

} // namespace quorvin
