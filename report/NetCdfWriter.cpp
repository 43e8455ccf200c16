// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/NetCdfWriter.h"

#include <netcdf.h>

#include <set>

namespace quorvin {

namespace {

std::mutex& LibraryLock() {
  static std::mutex Lock;
  return Lock;
}

// Rows per chunk of a series: large enough for few chunks, small enough
// that a short log stays small.
constexpr std::size_t ChunkRows = 16384;

} // namespace

std::string NetCdfName(const std::string& Name) {
  std::string Result;
  for (char C : Name) {
    const bool Letter = (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z');
    Result += Letter || (C >= '0' && C <= '9') || C == '_' ? C : '_';
  }
  if (Result.empty() || (Result[0] >= '0' && Result[0] <= '9')) Result.insert(0, "v_");
  return Result;
}

TNetCdfWriter::~TNetCdfWriter() {
  if (FId >= 0) nc_close(FId);
}

bool TNetCdfWriter::Check(int Status) {
  if (Status == NC_NOERR) return true;
  if (!FFailed) FReason = nc_strerror(Status);
  FFailed = true;
  return false;
}

bool TNetCdfWriter::Create(
    const std::string& Path, const std::string& TimeUnits,
    const std::vector<std::pair<std::string, std::string>>& TimeAttributes,
    const std::vector<TNetCdfSeries>& Series,
    const std::vector<std::pair<std::string, std::string>>& GlobalAttributes) {
  FLock = std::unique_lock<std::mutex>(LibraryLock());
  if (!Check(nc_create(Path.c_str(), NC_NETCDF4 | NC_CLOBBER, &FId))) {
    FReason = Path + ": " + FReason;
    FId = -1;
    return false;
  }
  const auto Text = [this](int Var, const std::string& Name, const std::string& Value) {
    return Check(nc_put_att_text(FId, Var, Name.c_str(), Value.size(), Value.c_str()));
  };
  int Dim;
  const std::size_t Chunk = ChunkRows;
  if (!Check(nc_def_dim(FId, "time", NC_UNLIMITED, &Dim)) ||
      !Check(nc_def_var(FId, "time", NC_INT64, 1, &Dim, &FTimeVar)) ||
      !Check(nc_def_var_chunking(FId, FTimeVar, NC_CHUNKED, &Chunk)) ||
      !Text(FTimeVar, "standard_name", "time") || !Text(FTimeVar, "long_name", "time") ||
      !Text(FTimeVar, "units", TimeUnits) || !Text(FTimeVar, "calendar", "standard") ||
      !Text(FTimeVar, "axis", "T"))
    return false;
  for (const auto& [Name, Value] : TimeAttributes)
    if (!Text(FTimeVar, Name, Value)) return false;
  std::set<std::string> Taken{"time"};
  for (const TNetCdfSeries& S : Series) {
    std::string Name = NetCdfName(S.Name);
    for (int N = 2; Taken.count(Name); ++N) Name = NetCdfName(S.Name) + "_" + std::to_string(N);
    Taken.insert(Name);
    int Var;
    const double Fill = NetCdfFillValue;
    if (!Check(nc_def_var(FId, Name.c_str(), NC_DOUBLE, 1, &Dim, &Var)) ||
        !Check(nc_def_var_chunking(FId, Var, NC_CHUNKED, &Chunk)) ||
        !Check(nc_def_var_fill(FId, Var, 0, &Fill)) || !Text(Var, "long_name", S.LongName) ||
        (!S.Units.empty() && !Text(Var, "units", S.Units)))
      return false;
    FVars.push_back(Var);
  }
  for (const auto& [Name, Value] : GlobalAttributes)
    if (!Text(NC_GLOBAL, Name, Value)) return false;
  return Check(nc_enddef(FId));
}

bool TNetCdfWriter::Append(const std::vector<long long>& Times,
                           const std::vector<std::vector<double>>& Columns) {
  if (FFailed || FId < 0) return false;
  if (Times.empty()) return true;
  const std::size_t Start = FRows, Count = Times.size();
  if (!Check(nc_put_vara_longlong(FId, FTimeVar, &Start, &Count, Times.data()))) return false;
  for (std::size_t S = 0; S < FVars.size() && S < Columns.size(); ++S)
    if (!Check(nc_put_vara_double(FId, FVars[S], &Start, &Count, Columns[S].data()))) return false;
  FRows += Count;
  return true;
}

bool TNetCdfWriter::Close() {
  if (FId >= 0) {
    Check(nc_close(FId));
    FId = -1;
  }
  if (FLock.owns_lock()) FLock.unlock();
  return !FFailed;
}

} // namespace quorvin
