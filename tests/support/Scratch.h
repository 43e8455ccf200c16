// SPDX-License-Identifier: GPL-3.0-or-later
// Scratch folders and whole-file helpers shared by every test folder, the
// benchmarks and the sample generators.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorvin::test {

// A fresh folder, removed with everything in it when the test ends.
class TScratchDir {
public:
  TScratchDir() {
    std::string Template = (std::filesystem::temp_directory_path() / "quorvin-XXXXXX").string();
    if (::mkdtemp(Template.data()) == nullptr) std::abort();
    FPath = Template;
  }
  ~TScratchDir() {
    std::error_code Ec;
    std::filesystem::remove_all(FPath, Ec);
  }
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;

  const std::string& Path() const { return FPath; }
  // With its trailing separator, as the program's folder fields hold one.
  std::string Folder() const { return FPath + "/"; }
  std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }

private:
  std::string FPath;
};

inline std::string ReadWhole(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

inline bool WriteWhole(const std::string& Path, std::string_view Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  return static_cast<bool>(Out);
}

inline bool WriteWhole(const std::string& Path, std::span<const std::uint8_t> Bytes) {
  return WriteWhole(Path, std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size()));
}

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
