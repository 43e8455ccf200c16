// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file: load it into the options, save them, load the saved
// file again. Once the program has written a file, loading and saving it
// again must write the same bytes: a file that changes with every save
// (grows, loses or moves a key) is a finding. The first save may tidy the
// user's own layout (blank lines, spaces around "=").
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "FuzzSupport.h"
#include "app/Application.h"
#include "app/Settings.h"
#include "core/IniFile.h"

using namespace quorvin;

namespace {

std::string LoadAndSave(const std::string& Path) {
  TIniFile Ini(Path);
  fuzz::TNullApp Null;
  LoadSettings(Ini, Null.App);
  SaveSettings(Ini, Null.App);
  if (!Ini.UpdateFile()) return std::string();
  std::ifstream In(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Path = fuzz::WriteInput("Quorvin.ini", Data, Size);
  LoadAndSave(Path);
  const std::string First = LoadAndSave(Path);
  const std::string Second = LoadAndSave(Path);
  if (First != Second) {
    std::fprintf(stderr, "a saved settings file does not read back the same:\n%s\n--- then:\n%s\n",
                 First.c_str(), Second.c_str());
    __builtin_trap();
  }
  return 0;
}
