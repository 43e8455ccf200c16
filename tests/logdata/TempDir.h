// A private temporary folder per test, removed afterwards.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace quorvin::test {

class TTempDir {
public:
  TTempDir() {
    std::string Pattern =
        (std::filesystem::temp_directory_path() / "quorvin-logdata-XXXXXX").string();
    if (::mkdtemp(Pattern.data())) FPath = Pattern;
  }
  ~TTempDir() {
    std::error_code Ec;
    if (!FPath.empty()) std::filesystem::remove_all(FPath, Ec);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  std::string File(const std::string& Name) const {
    return (std::filesystem::path(FPath) / Name).string();
  }

private:
  std::string FPath;
};

} // namespace quorvin::test
