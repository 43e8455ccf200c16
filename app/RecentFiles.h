// SPDX-License-Identifier: GPL-3.0-or-later
// The files opened last, newest first, which the File menu offers again,
// and the folder the Open dialog starts in. They are kept in the settings
// file in a section of their own, apart from the options.
#pragma once

#include <string>
#include <vector>

namespace quorvin {

class TIniFile;

class TRecentFiles {
public:
  static constexpr int MaxFiles = 8;
  static constexpr const char* Section = "RecentFiles";

  const std::vector<std::string>& Files() const { return FFiles; }
  // Puts Path, made absolute, at the top; a path listed already moves
  // there, and the oldest beyond MaxFiles goes. A name the settings file
  // could not give back as it is (a line end, a blank at either end) is not
  // listed. False when the list stays as it was.
  bool Add(const std::string& Path);
  // False when Path was not listed.
  bool Remove(const std::string& Path);

  // Reads File1, File2, ... and Folder of the section; empty, repeated and
  // surplus entries are passed over.
  void Load(const TIniFile& Ini, std::string& Folder);
  // Writes the section anew, so entries no longer listed go with it.
  void Save(TIniFile& Ini, const std::string& Folder) const;

private:
  std::vector<std::string> FFiles;
};

} // namespace quorvin
