// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the DDR tests: a scratch folder, file helpers and a loop
// that decodes a whole file the way the import driver does.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "ddr/DDRObj.h"
#include "generators/DDRGen.h"
#include "support/Scratch.h"

namespace quorvin::test {

namespace fs = std::filesystem;

// The sample both the decoder's and the driver's tests use: a master, two
// sensors (a word with 2 decimals and a real with 1), base values, three
// scans, a note and two events, from 2024-03-05 10:00.
namespace ddrsample {
using namespace ddrgen;

inline const std::int32_t T0 = DDRTime(2024, 3, 5, 10, 0, 0);

inline std::vector<TGenSensor> TwoSensors() {
  TGenSensor Stage{"Stage", "ft"};
  Stage.RightDigits = 2;
  Stage.DataType = 2;
  TGenSensor Temp{"Temp", "C"};
  Temp.Flags = 1;
  Temp.RightDigits = 1;
  Temp.DataType = 6;
  return {Stage, Temp};
}

inline TBytes SampleFile() {
  const auto S = TwoSensors();
  TBytes F;
  Append(F, MasterBlock(T0, T0, "V1.23", "v900-17"));
  Append(F, SensorBlock(T0, T0, 900, S));
  Append(F, BaseBlock(T0, T0, {BaseWord(100), 0xFFFFFFFFu}));
  TBytes Scans;
  PutScan(Scans, S, {12345, 21.25});
  PutScan(Scans, S, {Missing(), -0.04});
  PutScan(Scans, S, {-5, 21.35});
  Append(F, DataBlock(T0, T0 + 1800, Scans));
  Append(F, NoteBlock(T0 + 1800, T0 + 1800, "Checked"));
  Append(F, EventBlock(6, T0 + 3600, T0 + 3600));
  Append(F, EventBlock(22, T0 + 3600, T0 + 3600));
  return F;
}
} // namespace ddrsample

// A scratch folder of the test's own (see support/Scratch.h).
class TDDRScratch {
public:
  std::string File(const std::string& Name) const { return FDir / Name; }
  std::string Dir() const { return FDir.Folder(); }
  fs::path Path() const { return FDir.Path(); }

private:
  TScratchDir FDir;
};

// Decodes every block from the current position as the driver does. Where
// the driver would report an unfinished block, "<unexpected end>\r\n" is put.
inline std::string DecodeAll(TDDRObj& DDR, const std::string& Pattern, bool Display,
                             int ColumnWidth = 11, int Budget = DDRLineBudget,
                             int* Pieces = nullptr) {
  std::string All, Text;
  int Count = 0;
  if (!DDR.ReadBlock(Count)) return "<read failed>";
  int Resume = 0;
  std::int64_t ScanTime = 0;
  int Guard = 0;
  while (Count > DDRHeaderSize) {
    while (Resume < Count) {
      if (++Guard > 1000000) return All + "<no end>";
      try {
        DDR.DecodeBlock(Text, ColumnWidth, Pattern, Resume, Budget, ScanTime, Display);
      } catch (const std::exception&) {
        return All + "<decode failed>";
      }
      if (Text.empty()) {
        if (Resume < Count) {
          All += "<unexpected end>\r\n";
          break;
        }
      } else {
        All += Text;
        if (Pieces) ++*Pieces;
      }
    }
    if (!DDR.ReadBlock(Count)) return All + "<read failed>";
    Resume = 0;
  }
  DDR.Rewind();
  return All;
}

inline std::string Bytes(const ddrgen::TBytes& B) { return std::string(B.begin(), B.end()); }

} // namespace quorvin::test
