// Small logs of our own for the report tests: a binary .LOG writer, text
// files, a scratch folder per test, and whole-file reads.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace quorvin::test {
// Its own inline namespace: support/LogGen.h has generators of the same names.
inline namespace exportfx {

struct TGenSensor {
  std::string Name;
  double Slope = 1.0;
  double Offset = 0.0;
  std::uint16_t RightDigits = 2;
};

inline void PutU16(std::string& B, std::size_t At, std::uint16_t V) {
  B[At] = static_cast<char>(V & 0xFF);
  B[At + 1] = static_cast<char>(V >> 8);
}

// A binary log starting at midnight of Year-Month-Day; Records[k][i] is the
// raw value of sensor i at record k (FFFF: not recorded).
inline void WriteBinaryLog(const std::string& Path, const std::string& UnitName, int Year,
                           int Month, int Day, int IntervalSecs,
                           const std::vector<TGenSensor>& Sensors,
                           const std::vector<std::vector<std::uint16_t>>& Records) {
  std::string B(54, '\0');
  PutU16(B, 0, 1);
  std::memcpy(&B[2], UnitName.data(), std::min<std::size_t>(8, UnitName.size()));
  PutU16(B, 10, static_cast<std::uint16_t>(Year));
  PutU16(B, 12, static_cast<std::uint16_t>(Month));
  PutU16(B, 14, static_cast<std::uint16_t>(Day));
  PutU16(B, 22, static_cast<std::uint16_t>(IntervalSecs / 3600));
  PutU16(B, 24, static_cast<std::uint16_t>(IntervalSecs % 3600 / 60));
  PutU16(B, 26, static_cast<std::uint16_t>(IntervalSecs % 60));
  PutU16(B, 28, static_cast<std::uint16_t>(2 * Sensors.size()));
  PutU16(B, 52, static_cast<std::uint16_t>(Sensors.size()));
  for (const TGenSensor& S : Sensors) {
    std::string D(28, '\0');
    std::memcpy(&D[0], S.Name.data(), std::min<std::size_t>(10, S.Name.size()));
    std::memcpy(&D[10], &S.Slope, 8);
    std::memcpy(&D[18], &S.Offset, 8);
    PutU16(D, 26, S.RightDigits);
    B += D;
  }
  for (const auto& R : Records) {
    std::string Rec(2 * Sensors.size(), '\0');
    for (std::size_t i = 0; i < Sensors.size() && i < R.size(); ++i) PutU16(Rec, 2 * i, R[i]);
    B += Rec;
  }
  std::ofstream(Path, std::ios::binary) << B;
}

// Raw value of Value with RightDigits decimals.
inline std::uint16_t Raw(double Value, int RightDigits) {
  for (int i = 0; i < RightDigits; ++i) Value *= 10;
  return static_cast<std::uint16_t>(32767 +
                                    static_cast<long>(Value >= 0 ? Value + 0.5 : Value - 0.5));
}

inline void WriteFile(const std::string& Path, const std::string& Text) {
  std::ofstream(Path, std::ios::binary) << Text;
}

inline std::string ReadFile(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

// Lines joined with CR LF, each ended by it.
inline std::string CrLf(const std::vector<std::string>& Lines) {
  std::string R;
  for (const auto& L : Lines) R += L + "\r\n";
  return R;
}

// A fresh folder per test, removed afterwards.
class TScratchDir {
public:
  TScratchDir() {
    std::string T = (std::filesystem::temp_directory_path() / "quorvin_report_XXXXXX").string();
    std::vector<char> Name(T.begin(), T.end());
    Name.push_back('\0');
    if (!mkdtemp(Name.data())) throw std::runtime_error("mkdtemp");
    FPath = Name.data();
  }
  ~TScratchDir() {
    std::error_code Ec;
    std::filesystem::remove_all(FPath, Ec);
  }
  // Path of a file in the folder.
  std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }
  const std::string& Path() const { return FPath; }
  // Names of the files in the folder, sorted.
  std::vector<std::string> Files() const {
    std::vector<std::string> R;
    for (const auto& E : std::filesystem::directory_iterator(FPath))
      R.push_back(E.path().filename().string());
    std::sort(R.begin(), R.end());
    return R;
  }

private:
  std::string FPath;
};

} // namespace exportfx
} // namespace quorvin::test
