// Scratch folders and file helpers for the RAM card tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace quorvin::test {

// A fresh folder removed with everything in it when the test ends.
class TScratchDir {
public:
  TScratchDir() {
    std::string Template = (std::filesystem::temp_directory_path() / "qvramXXXXXX").string();
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
  std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }

private:
  std::string FPath;
};

inline std::string ReadWhole(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

// The names in a folder (not recursive).
inline std::set<std::string> FolderNames(const std::string& Folder) {
  std::set<std::string> Names;
  std::error_code Ec;
  for (const auto& E : std::filesystem::directory_iterator(Folder, Ec))
    Names.insert(E.path().filename().string());
  return Names;
}

} // namespace quorvin::test
