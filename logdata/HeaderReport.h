// SPDX-License-Identifier: GPL-3.0-or-later
// The Header command's reports: a summary of the open log in the text pane.
// Each clears the pane, writes a bold title, a blank line and one line per
// item (a 20-character label, then the value), and answers false when a step
// failed (the lines written so far stay).
#pragma once

#include <string>

#include "core/DateTimeFormat.h"
#include "core/UiServices.h"
#include "logdata/CSVFile.h"
#include "logdata/LogFile.h"

namespace quorvin {

// Binary logger file. TitleName is the header's unit name as kept by the log
// selection; dates and times follow the current patterns and separators.
bool ShowLogHeader(ITextPane& Pane, const TLogFile& Log, const std::string& TitleName,
                   const TDateTimeFormat& Format);

// CSV log. TitleName is the reader's file name as kept by the log selection.
bool ShowCSVLogInfo(ITextPane& Pane, const TCSVLogFile& Log, const std::string& TitleName,
                    const TDateTimeFormat& Format);

// Hours, minutes and seconds of Secs, each at least two digits, joined by
// TimeSeparator; hours are not reduced modulo 24 (36 hours give 36:00:00).
std::string FormatDuration(std::int64_t Secs, char TimeSeparator);

} // namespace quorvin
