// SPDX-License-Identifier: GPL-3.0-or-later
// Scratch folders and whole-file reading and writing, for the tests, the
// benchmarks and the sample generators.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quorvin::test {

// A fresh folder, removed with everything in it when it goes.
class TScratchDir {
public:
  TScratchDir();
  ~TScratchDir();
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;

  const std::string& Path() const { return FPath; }
  // With its trailing separator, as the program's folder fields hold one.
  std::string Folder() const { return FPath + "/"; }
  std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }

private:
  std::string FPath;
};

std::string ReadWhole(const std::string& Path);
bool WriteWhole(const std::string& Path, std::string_view Bytes);
bool WriteWhole(const std::string& Path, std::span<const std::uint8_t> Bytes);

} // namespace quorvin::test
