// SPDX-License-Identifier: GPL-3.0-or-later
// Scratch folders and whole-file helpers shared by every test folder: the
// scratch folder and whole-file reading and writing of generators/, and
// what only the tests need besides.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "generators/ScratchFiles.h"

namespace quorvin::test {

// The names in a folder (not recursive).
inline std::set<std::string> FolderNames(const std::string& Folder) {
  std::set<std::string> Names;
  std::error_code Ec;
  for (const auto& E : std::filesystem::directory_iterator(Folder, Ec))
    Names.insert(E.path().filename().string());
  return Names;
}

// Lines joined with carriage return and line feed after each.
inline std::string CRLFLines(const std::vector<std::string>& Lines) {
  std::string Text;
  for (const std::string& L : Lines) Text += L + "\r\n";
  return Text;
}

// The committed sample files of examples/.
inline std::string ExamplesDir() {
  return (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "examples")
      .string();
}

// Copies the named samples of examples/ into Dir.
inline void CopySamples(const TScratchDir& Dir, const std::vector<std::string>& Names) {
  for (const std::string& N : Names)
    std::filesystem::copy_file(ExamplesDir() + "/" + N, Dir / N,
                               std::filesystem::copy_options::overwrite_existing);
}

} // namespace quorvin::test
