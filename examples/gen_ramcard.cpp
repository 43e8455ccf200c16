// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the sample RAM card dump RAMCARD.RCD: a few small files, every
// checksum sound. Usage: gen_ramcard [FOLDER] (default: examples).
#include <cstdio>
#include <string>

#include "generators/RamCardGen.h"
#include "generators/ScratchFiles.h"

using namespace quorvin::test;

int main(int argc, char** argv) {
  const std::string Folder = argc > 1 ? argv[1] : "examples";

  // A short binary record block: ascending 16-bit values around the raw zero.
  std::string Binary;
  for (int I = 0; I < 240; ++I) PutU16(Binary, static_cast<std::uint16_t>(32767 + I * 13 - 1500));

  std::string Csv;
  for (int Day = 1; Day <= 3; ++Day)
    for (int Hour = 0; Hour < 24; Hour += 6) {
      char Line[80];
      std::snprintf(Line, sizeof Line, "06/%02d/2024,%02d:00:00,TEMP1,%d.%d\r\n", Day, Hour,
                    12 + Hour / 2 + Day, (Day * 7 + Hour) % 10);
      Csv += Line;
    }

  const std::string Bytes = RamGenDump({
      {"README.TXT", "Sample RAM card made by gen_ramcard.\r\n"},
      {"SITE1.DAT", Binary},
      {"SITE1.CSV", Csv},
      {"EMPTY.TXT", ""},
      {"ODD.BIN", std::string("\x01\x02\x03", 3)},
  });
  const std::string Path = Folder + "/RAMCARD.RCD";
  if (!WriteWhole(Path, Bytes)) {
    std::fprintf(stderr, "cannot write %s\n", Path.c_str());
    return 1;
  }
  std::printf("%s: %zu bytes\n", Path.c_str(), Bytes.size());
  return 0;
}
