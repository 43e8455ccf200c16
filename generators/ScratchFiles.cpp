// SPDX-License-Identifier: GPL-3.0-or-later
#include "generators/ScratchFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace quorvin::test {

TScratchDir::TScratchDir() {
  std::string Template = (std::filesystem::temp_directory_path() / "quorvin-XXXXXX").string();
  if (::mkdtemp(Template.data()) == nullptr) std::abort();
  FPath = Template;
}

TScratchDir::~TScratchDir() {
  std::error_code Ec;
  std::filesystem::remove_all(FPath, Ec);
}

std::string ReadWhole(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

bool WriteWhole(const std::string& Path, std::string_view Bytes) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  return static_cast<bool>(Out);
}

bool WriteWhole(const std::string& Path, std::span<const std::uint8_t> Bytes) {
  return WriteWhole(Path,
                    std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size()));
}

} // namespace quorvin::test
