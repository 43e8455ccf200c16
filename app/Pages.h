// SPDX-License-Identifier: GPL-3.0-or-later
// The pages of the main window, in tab order: what a command does depends on
// the page showing, and quorvin-cli names the page its command belongs to.
#pragma once

namespace quorvin {

constexpr int PageLogPrn = 0;
constexpr int PageLogPlot = 1;
constexpr int PageLogStat = 2;
constexpr int PageRamCard = 3;
constexpr int PageDDRLog = 4;
constexpr int PageCount = 5;
// The first three share the log selection.
constexpr int LogPageCount = 3;

inline bool IsLogPage(int Page) { return Page >= 0 && Page < LogPageCount; }

} // namespace quorvin
