// SPDX-License-Identifier: GPL-3.0-or-later
// Path parts and the output names the program proposes, "/" being the
// separator. A folder is given with its trailing separator, or empty.
#pragma once

#include <string>

namespace quorvin {

// The folder of Path with its trailing separator; empty when it has none.
std::string ExtractFilePath(const std::string& Path);
// The part after the last separator.
std::string ExtractFileName(const std::string& Path);
// The extension of the file-name part with its full stop; empty when none.
std::string ExtractFileExt(const std::string& Path);
// Path with the extension of its file-name part replaced by Ext (added when
// it has none).
std::string ChangeFileExt(const std::string& Path, const std::string& Ext);

// The file-name part of Path up to its first full stop, in upper case: the
// name a log is shown by, and the stem of every output proposed beside an
// input (C:/DATA/site1.2.log gives SITE1).
std::string UpperNameStem(const std::string& Path);
// ".XLS" for a workbook, ".PRN" for text.
inline const char* OutputFileExt(bool Excel) { return Excel ? ".XLS" : ".PRN"; }
// The output proposed for Input: Folder + its upper-case stem + the
// extension of the output format.
std::string OutputNameBeside(const std::string& Folder, const std::string& Input, bool Excel);

} // namespace quorvin
