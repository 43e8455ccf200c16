// SPDX-License-Identifier: GPL-3.0-or-later
// The kinds of log the program reads, each claiming files by their
// extension: .LOG binary logger files (TLogFile), .CSV and .TXT CSV logs
// (TCSVLogFile). A new kind is one reader class and one entry of the table
// in LogFormats.cpp.
#pragma once

#include <memory>
#include <string>

#include "logdata/LogReader.h"

namespace quorvin {

// Whether a kind of log claims FileName (its extension, in any case).
bool IsLogFileName(const std::string& FileName);

// A reader of the kind that claims FileName, not yet opened; DisplayName is
// the name status messages give the log. None when no kind claims the file.
std::unique_ptr<ILogReader> MakeLogReader(const std::string& FileName,
                                          const std::string& DisplayName);

} // namespace quorvin
