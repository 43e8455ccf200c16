// What the commands do on the log pages (LOGPRN, LOGSTAT). The window's
// command handlers and quorvin-cli both call these, so the checks, the order
// of the steps and the message texts exist once.
#pragma once

#include "app/Application.h"
#include "core/UiServices.h"

namespace quorvin {

// The common start of the view commands: clears the message panel, checks
// the date range and that a valid file is chosen (MissingFileText otherwise).
bool ViewPrologue(TApplication& App, TUiServices& Ui, const char* MissingFileText);

// Display switched on on LOGPRN: converts the checked sensors into the pane.
void LogPrnDisplay(TApplication& App, TUiServices& Ui);
// Header switched on on LOGPRN: the header report of the loaded log.
void LogPrnHeader(TApplication& App, TUiServices& Ui);
// Statistics switched on on LOGSTAT: the per-day report into the pane.
void LogStatStatistics(TApplication& App, TUiServices& Ui);
// Save on LOGPRN: converts the checked sensors into the output file.
void LogPrnSave(TApplication& App, TUiServices& Ui);

} // namespace quorvin
