// SPDX-License-Identifier: GPL-3.0-or-later
// Turns a tab-separated text file named .XLS into a workbook in place.
#pragma once

#include <string>

namespace quorvin {

// After true, FileName holds a workbook with one row per text line and one
// cell per tab-separated field; after false the text file is as it was.
// A field that is a plain decimal number, blanks around it or not, becomes
// a number with as many decimals shown as it has; the first LabelColumns
// fields of every line (dates and times) stay text whatever they hold, so a
// column never holds two types.
bool ConvertTextToWorkbook(const std::string& FileName, int LabelColumns = 0);

// True when the file starts like a workbook (a zip package or an OLE2
// compound file) rather than text: such a file is never appended to.
bool LooksLikeWorkbook(const std::string& FileName);
// Whether text may be appended to FileName: not when the output is a
// workbook and the file already is one (the text would ruin it).
bool CanAppendText(const std::string& FileName, bool ExcelOutput);

} // namespace quorvin
