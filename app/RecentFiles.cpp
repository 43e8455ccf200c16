// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/RecentFiles.h"

#include <algorithm>
#include <filesystem>

#include "core/IniFile.h"

namespace quorvin {

namespace {

std::string Absolute(const std::string& Path) {
  std::error_code Ec;
  const std::filesystem::path Full = std::filesystem::absolute(Path, Ec);
  return Ec ? Path : Full.lexically_normal().string();
}

// The settings file trims values and ends them at a line end.
bool Storable(const std::string& Text) {
  auto Blank = [](char C) { return C == ' ' || C == '\t'; };
  return !Text.empty() && Text.find_first_of("\r\n") == std::string::npos && !Blank(Text.front()) &&
         !Blank(Text.back());
}

std::string FileKey(int Number) { return "File" + std::to_string(Number); }

} // namespace

bool TRecentFiles::Add(const std::string& Path) {
  const std::string Full = Absolute(Path);
  if (!Storable(Full)) return false;
  if (!FFiles.empty() && FFiles.front() == Full) return false;
  Remove(Full);
  FFiles.insert(FFiles.begin(), Full);
  if (FFiles.size() > std::size_t(MaxFiles)) FFiles.resize(std::size_t(MaxFiles));
  return true;
}

bool TRecentFiles::Remove(const std::string& Path) {
  const auto It = std::find(FFiles.begin(), FFiles.end(), Absolute(Path));
  if (It == FFiles.end()) return false;
  FFiles.erase(It);
  return true;
}

void TRecentFiles::Load(const TIniFile& Ini, std::string& Folder) {
  FFiles.clear();
  for (int Number = 1; Number <= MaxFiles; ++Number) {
    const std::string File = Ini.ReadString(Section, FileKey(Number), std::string());
    if (!File.empty() && std::find(FFiles.begin(), FFiles.end(), File) == FFiles.end())
      FFiles.push_back(File);
  }
  Folder = Ini.ReadString(Section, "Folder", std::string());
}

void TRecentFiles::Save(TIniFile& Ini, const std::string& Folder) const {
  Ini.EraseSection(Section);
  if (Storable(Folder)) Ini.WriteString(Section, "Folder", Folder);
  for (std::size_t I = 0; I < FFiles.size(); ++I)
    Ini.WriteString(Section, FileKey(int(I) + 1), FFiles[I]);
}

} // namespace quorvin
