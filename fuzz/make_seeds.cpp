// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the first corpus of every fuzz target with the project's own file
// generators: make_seeds ROOT writes ROOT/<target>/seed-* files.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "Seeds.h"
#include "core/MiscUtil.h"
#include "generators/DDRGen.h"
#include "generators/LogGen.h"

namespace quorvin::fuzz {

bool WriteSeed(const std::string& Folder, const std::string& Name, const std::string& Bytes) {
  std::error_code Ec;
  std::filesystem::create_directories(Folder, Ec);
  std::ofstream Out(Folder + "/seed-" + Name, std::ios::binary | std::ios::trunc);
  Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  return static_cast<bool>(Out);
}

namespace {

using namespace quorvin::test;

std::vector<std::pair<std::string, std::string>> BinaryLogs() {
  TGenLog L;
  L.Sensors = {{"TEMP", 0.1, -40.0, 1}, {"RH", 1.0, 0.0, 0}, {"WIND", 0.1, 0.0, 3}};
  std::vector<std::pair<std::string, std::string>> R;
  R.emplace_back("three-sensors", LogFileBytes(L, 40));
  TGenLog Zero = L;
  Zero.IntervalMinutes = 0; // stored 0: the default interval
  Zero.LogHour = 25;
  R.emplace_back("interval-zero", LogFileBytes(Zero, 8));
  TGenLog Odd = L;
  Odd.RecordSize = 5; // narrower than two bytes per sensor
  R.emplace_back("narrow-records", LogFileBytes(Odd, 9));
  TGenLog Wide = L;
  Wide.RecordSize = 11;
  Wide.IntervalSeconds = 7;
  R.emplace_back("wide-records", LogFileBytes(Wide, 9));
  TGenLog Digits = L;
  Digits.Sensors[1].RightDigits = 65535;
  R.emplace_back("corrupt-digits", LogFileBytes(Digits, 6));
  TGenLog Late = L;
  Late.Year = 2053, Late.Month = 1, Late.Day = 17;
  Late.IntervalHours = 12, Late.IntervalMinutes = 0;
  R.emplace_back("near-the-end-of-time", LogFileBytes(Late, 5));
  TGenLog Cut = L;
  Cut.NumSensors = 5; // two descriptors missing
  R.emplace_back("cut-descriptors", LogHeaderBytes(Cut));
  return R;
}

std::vector<std::pair<std::string, std::string>> CSVLogs() {
  const long long T0 = GenPartsToSecs(2024, 7, 1);
  std::vector<std::pair<std::string, std::string>> R;
  R.emplace_back("layout1", CSVLayout1Text({"AIR", "SOIL"}, {"C", "C"}, T0, 900, 12));
  R.emplace_back("layout2", CSVLayout2Text("WIND", 3, T0, 600, 10));
  std::string L3;
  for (int K = 0; K < 8; ++K)
    L3 += "TEMP," + GenDate(T0 + K * 300) + "," + GenTime(T0 + K * 300) + "," + GenValue(K, 0) +
          (K == 3 ? ",BAD\r\n" : ",G\r\n");
  R.emplace_back("layout3", L3);
  // Two sensors on different grids, one with a gap, the date and time in one field.
  std::string Mixed = ";mixed\r\n";
  for (int K = 0; K < 6; ++K) {
    Mixed +=
        GenDate(T0 + K * 900) + " " + GenTime(T0 + K * 900) + ",A," + GenValue(K, 1) + ",mm,G\r\n";
    if (K != 2)
      Mixed += GenDate(T0 + 60 + K * 300) + "," + GenTime(T0 + 60 + K * 300) + ",B," +
               GenValue(K, 2) + ",mm,U\r\n";
  }
  R.emplace_back("mixed", Mixed);
  return R;
}

} // namespace

bool WriteLogSeeds(const std::string& Root) {
  bool Ok = true;
  for (const auto& [Name, Bytes] : BinaryLogs()) {
    Ok = WriteSeed(Root + "/fuzz_logfile", Name, Bytes) && Ok;
    // The app target: kind (binary, all sensors checked), layout, date format.
    Ok = WriteSeed(Root + "/fuzz_app", "log-" + Name, std::string("\x03\x05\x02", 3) + Bytes) && Ok;
    Ok =
        WriteSeed(Root + "/fuzz_app", "log-r600-" + Name, std::string("\x01\x50\x07", 3) + Bytes) &&
        Ok;
  }
  for (const auto& [Name, Bytes] : CSVLogs()) {
    Ok = WriteSeed(Root + "/fuzz_csvfile", Name, Bytes) && Ok;
    Ok = WriteSeed(Root + "/fuzz_app", "csv-" + Name, std::string("\x02\x0c\x04", 3) + Bytes) && Ok;
    Ok = WriteSeed(Root + "/fuzz_app", "csv-first-" + Name,
                   std::string("\x00\x40\x00", 3) + Bytes) &&
         Ok;
  }
  return Ok;
}

bool WriteDDRSeeds(const std::string& Root) {
  using namespace quorvin::ddrgen;
  std::vector<ddrgen::TGenSensor> S;
  for (int T = 0; T <= 9; ++T) {
    ddrgen::TGenSensor G{"sensor" + std::to_string(T), "u" + std::to_string(T)};
    G.DataType = static_cast<std::uint8_t>(T);
    G.RightDigits = static_cast<std::uint8_t>(T % 4);
    G.Flags = static_cast<std::uint8_t>(T & 1);
    S.push_back(G);
  }
  const std::int32_t T0 = DDRTime(2024, 6, 1);
  TBytes F;
  Append(F, MasterBlock(T0, T0, "V900 2.10", "creek-01"));
  Append(F, EventBlock(6, T0, T0));
  Append(F, SensorBlock(T0, T0, 900, S));
  Append(F, BaseBlock(T0, T0, std::vector<std::uint32_t>(10, BaseWord(-3))));
  TBytes Scans;
  for (int I = 0; I < 4; ++I)
    PutScan(Scans, S, {double(I), -1.0 * I, 7, Missing(), 1e6, -1e6, 0.5, 12.25, 0, 0});
  Append(F, DataBlock(T0, T0 + 3 * 900, Scans));
  Append(F, NoteBlock(T0 + 3600, T0 + 3600, "Site visit: gauge cleaned"));
  Append(F, DataBlock(T0 + 7200, T0 + 7200 + 3 * 900, Scans, 5));
  Append(F, EventBlock(11, T0 + 86340, T0 + 86340));
  Append(F, EventBlock(22, T0 + SecsPerDay, T0 + SecsPerDay));
  const std::string Bytes(F.begin(), F.end());
  // First byte: the page's switches (header, USGS station, workbook...).
  bool Ok = WriteSeed(Root + "/fuzz_ddr", "plain", std::string(1, '\x00') + Bytes);
  Ok = WriteSeed(Root + "/fuzz_ddr", "header-usgs", std::string(1, '\x79') + Bytes) && Ok;
  Ok = WriteSeed(Root + "/fuzz_ddr", "notes-only", std::string(1, '\x82') + Bytes) && Ok;
  return Ok;
}

} // namespace quorvin::fuzz

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds ROOT\n");
    return 2;
  }
  const std::string Root = argv[1];
  using namespace quorvin::fuzz;
  const bool Ok =
      WriteLogSeeds(Root) && WriteDDRSeeds(Root) && WriteRamCardSeeds(Root) && WriteIniSeeds(Root);
  if (!Ok) {
    std::fprintf(stderr, "make_seeds: cannot write into %s\n", Root.c_str());
    return 1;
  }
  return 0;
}
