// Turns a tab-separated text file named .XLS into a workbook in place.
#pragma once

#include <string>

namespace quorvin {

// After true, FileName holds a workbook with one row per text line and one
// cell per tab-separated field; after false the text file is as it was.
bool ConvertTextToWorkbook(const std::string& FileName);

} // namespace quorvin
