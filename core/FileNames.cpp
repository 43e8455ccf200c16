// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/FileNames.h"

#include "core/MiscUtil.h"

namespace quorvin {

std::string ExtractFilePath(const std::string& Path) {
  const auto Pos = Path.rfind('/');
  return Pos == std::string::npos ? std::string() : Path.substr(0, Pos + 1);
}

std::string ExtractFileName(const std::string& Path) {
  const auto Pos = Path.rfind('/');
  return Pos == std::string::npos ? Path : Path.substr(Pos + 1);
}

std::string ExtractFileExt(const std::string& Path) {
  const std::string Name = ExtractFileName(Path);
  const auto Pos = Name.rfind('.');
  return Pos == std::string::npos ? std::string() : Name.substr(Pos);
}

std::string ChangeFileExt(const std::string& Path, const std::string& Ext) {
  std::string Name = ExtractFileName(Path);
  const auto Pos = Name.rfind('.');
  if (Pos != std::string::npos) Name.erase(Pos);
  return ExtractFilePath(Path) + Name + Ext;
}

std::string UpperNameStem(const std::string& Path) {
  std::string Name = ExtractFileName(Path);
  return UpperCase(SplitAt('.', Name));
}

std::string OutputNameBeside(const std::string& Folder, const std::string& Input, bool Excel) {
  return Folder + UpperNameStem(Input) + OutputFileExt(Excel);
}

} // namespace quorvin
