// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/NetCdfWriter.h"

#include <netcdf.h>

#include <set>

#include "core/SharedLibrary.h"

namespace quorvin {

// The netCDF library's functions, opened with the first NetCDF file.
struct TNetCdfApi {
  decltype(&::nc_create) Create = nullptr;
  decltype(&::nc_close) Close = nullptr;
  decltype(&::nc_def_dim) DefDim = nullptr;
  decltype(&::nc_def_var) DefVar = nullptr;
  decltype(&::nc_def_var_chunking) DefVarChunking = nullptr;
  decltype(&::nc_def_var_fill) DefVarFill = nullptr;
  decltype(&::nc_enddef) EndDef = nullptr;
  decltype(&::nc_put_att_text) PutAttText = nullptr;
  decltype(&::nc_put_vara_double) PutVaraDouble = nullptr;
  decltype(&::nc_put_vara_longlong) PutVaraLongLong = nullptr;
  decltype(&::nc_strerror) StrError = nullptr;
};

namespace {

std::mutex& LibraryLock() {
  static std::mutex Lock;
  return Lock;
}

// The library's functions, or null with Reason.
const TNetCdfApi* NetCdfApi(std::string& Reason) {
  static std::string LoadReason;
  static const TNetCdfApi* const Api = []() -> const TNetCdfApi* {
    void* Library = OpenSharedLibrary(QUORVIN_NETCDF_SONAME, LoadReason);
    if (!Library) return nullptr;
    static TNetCdfApi Loaded;
    if (FindSymbol(Library, "nc_create", Loaded.Create) &&
        FindSymbol(Library, "nc_close", Loaded.Close) &&
        FindSymbol(Library, "nc_def_dim", Loaded.DefDim) &&
        FindSymbol(Library, "nc_def_var", Loaded.DefVar) &&
        FindSymbol(Library, "nc_def_var_chunking", Loaded.DefVarChunking) &&
        FindSymbol(Library, "nc_def_var_fill", Loaded.DefVarFill) &&
        FindSymbol(Library, "nc_enddef", Loaded.EndDef) &&
        FindSymbol(Library, "nc_put_att_text", Loaded.PutAttText) &&
        FindSymbol(Library, "nc_put_vara_double", Loaded.PutVaraDouble) &&
        FindSymbol(Library, "nc_put_vara_longlong", Loaded.PutVaraLongLong) &&
        FindSymbol(Library, "nc_strerror", Loaded.StrError))
      return &Loaded;
    LoadReason = std::string(QUORVIN_NETCDF_SONAME) + ": a function is missing";
    return nullptr;
  }();
  if (!Api) Reason = "the NetCDF library cannot be loaded (" + LoadReason + ")";
  return Api;
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
  if (FId >= 0) FApi->Close(FId);
}

bool TNetCdfWriter::Check(int Status) {
  if (Status == NC_NOERR) return true;
  if (!FFailed) FReason = FApi->StrError(Status);
  FFailed = true;
  return false;
}

bool TNetCdfWriter::Create(
    const std::string& Path, const std::string& TimeUnits,
    const std::vector<std::pair<std::string, std::string>>& TimeAttributes,
    const std::vector<TNetCdfSeries>& Series,
    const std::vector<std::pair<std::string, std::string>>& GlobalAttributes) {
  FApi = NetCdfApi(FReason);
  if (!FApi) {
    FFailed = true;
    return false;
  }
  FLock = std::unique_lock<std::mutex>(LibraryLock());
  if (!Check(FApi->Create(Path.c_str(), NC_NETCDF4 | NC_CLOBBER, &FId))) {
    FReason = Path + ": " + FReason;
    FId = -1;
    return false;
  }
  const auto Text = [this](int Var, const std::string& Name, const std::string& Value) {
    return Check(FApi->PutAttText(FId, Var, Name.c_str(), Value.size(), Value.c_str()));
  };
  int Dim;
  const std::size_t Chunk = ChunkRows;
  if (!Check(FApi->DefDim(FId, "time", NC_UNLIMITED, &Dim)) ||
      !Check(FApi->DefVar(FId, "time", NC_INT64, 1, &Dim, &FTimeVar)) ||
      !Check(FApi->DefVarChunking(FId, FTimeVar, NC_CHUNKED, &Chunk)) ||
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
    if (!Check(FApi->DefVar(FId, Name.c_str(), NC_DOUBLE, 1, &Dim, &Var)) ||
        !Check(FApi->DefVarChunking(FId, Var, NC_CHUNKED, &Chunk)) ||
        !Check(FApi->DefVarFill(FId, Var, 0, &Fill)) || !Text(Var, "long_name", S.LongName) ||
        (!S.Units.empty() && !Text(Var, "units", S.Units)))
      return false;
    FVars.push_back(Var);
  }
  for (const auto& [Name, Value] : GlobalAttributes)
    if (!Text(NC_GLOBAL, Name, Value)) return false;
  return Check(FApi->EndDef(FId));
}

bool TNetCdfWriter::Append(const std::vector<long long>& Times,
                           const std::vector<std::vector<double>>& Columns) {
  if (FFailed || FId < 0) return false;
  if (Times.empty()) return true;
  const std::size_t Start = FRows, Count = Times.size();
  if (!Check(FApi->PutVaraLongLong(FId, FTimeVar, &Start, &Count, Times.data()))) return false;
  for (std::size_t S = 0; S < FVars.size() && S < Columns.size(); ++S)
    if (!Check(FApi->PutVaraDouble(FId, FVars[S], &Start, &Count, Columns[S].data()))) return false;
  FRows += Count;
  return true;
}

bool TNetCdfWriter::Close() {
  if (FId >= 0) {
    Check(FApi->Close(FId));
    FId = -1;
  }
  if (FLock.owns_lock()) FLock.unlock();
  return !FFailed;
}

} // namespace quorvin
