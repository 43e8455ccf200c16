// SPDX-License-Identifier: GPL-3.0-or-later
// A NetCDF-4 file of time series following the CF conventions: one
// unlimited dimension "time", its coordinate in whole seconds since
// 1970-01-01, and one double variable per series, written row block by row
// block. The netCDF library and the HDF5 one below it keep global state, so
// one writer at a time holds them, whatever thread it runs on.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace quorvin {

struct TNetCdfApi;

// What a series gives where it has no value.
inline constexpr double NetCdfFillValue = 9.9692099683868690e+36;

struct TNetCdfSeries {
  std::string Name;     // the variable's name (made valid and unique by the writer)
  std::string LongName; // long_name
  std::string Units;    // units; none written when empty
};

class TNetCdfWriter {
public:
  TNetCdfWriter() = default;
  ~TNetCdfWriter();
  TNetCdfWriter(const TNetCdfWriter&) = delete;
  TNetCdfWriter& operator=(const TNetCdfWriter&) = delete;

  // Creates Path (replacing what it holds) with the time coordinate in
  // TimeUnits, the series, and the global attributes (name, value) in
  // order. False, with Reason, on any failure.
  bool Create(const std::string& Path, const std::string& TimeUnits,
              const std::vector<std::pair<std::string, std::string>>& TimeAttributes,
              const std::vector<TNetCdfSeries>& Series,
              const std::vector<std::pair<std::string, std::string>>& GlobalAttributes);
  // Rows more: Times[i], and Columns[s][i] for series s.
  bool Append(const std::vector<long long>& Times, const std::vector<std::vector<double>>& Columns);
  // Closes the file; false when anything failed.
  bool Close();
  const std::string& Reason() const { return FReason; }

private:
  bool Check(int Status);

  const TNetCdfApi* FApi = nullptr;
  std::unique_lock<std::mutex> FLock;
  int FId = -1;
  int FTimeVar = -1;
  std::vector<int> FVars;
  std::size_t FRows = 0;
  bool FFailed = false;
  std::string FReason;
};

// Name made a valid, portable netCDF name: letters, digits and "_", not
// starting with a digit.
std::string NetCdfName(const std::string& Name);

} // namespace quorvin
