// SPDX-License-Identifier: GPL-3.0-or-later
// A whole LOGPRN Display and a LOGSTAT Statistics run through the app layer,
// as the window and quorvin-cli run them, on a log of the input. The first
// byte picks the kind of log, the second and third the layout options and
// the date format; the range is cut to a few hundred steps.
#include <algorithm>
#include <cstdint>

#include "FuzzSupport.h"
#include "app/Application.h"

using namespace quorvin;

namespace {

constexpr std::int64_t MaxSteps = 300;
// A CSV grid longer than this is not run at all (see CSVGridIsShort).
constexpr std::int64_t MaxCSVSteps = 3000;

// The steps a CSV conversion could walk: the widest span any sensor gives
// over the smallest interval any sensor has. Such logs are cut short below
// only through the selection, which a single checked sensor with intervals
// of its own does not follow, so these are left out.
bool CSVGridIsShort(const ILogReader& Log) {
  std::int64_t First = Log.FirstTime(), Last = Log.LastTime(), Smallest = Log.Interval();
  for (int I = 1; I <= Log.SensorCount(); ++I) {
    const TLogSensor S = Log.Sensor(I);
    First = std::min<std::int64_t>(First, S.FirstTime);
    Last = std::max<std::int64_t>(Last, S.LastTime);
    if (S.Interval > 0 && (Smallest <= 0 || S.Interval < Smallest)) Smallest = S.Interval;
  }
  return Smallest > 0 && (Last - First) / Smallest <= MaxCSVSteps;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size < 3) return 0;
  const bool Binary = Data[0] & 1;
  const std::uint8_t Layout = Data[1];
  const std::uint8_t DateFormat = Data[2];
  const std::string Path = fuzz::WriteInput(Binary ? "F.LOG" : "F.csv", Data + 3, Size - 3);

  fuzz::TNullApp Null;
  TApplication& App = Null.App;
  TLogSelection& Sel = App.Selection;
  App.DtFormatChange(
      PageLogPrn,
      std::string(
          captions::LogPrnDtFormatNames[DateFormat % captions::LogPrnDtFormatNames.size()]));
  App.LogFileChange(PageLogPrn, Path);
  App.edtFilenameExit(PageLogPrn);
  if (!Sel.FileValid || !Sel.LogLoaded()) return 0;
  if (Data[0] & 2) Sel.SelectAllClick(true);
  if (!Sel.Log->RecordsHoldEverySensor() && !CSVGridIsShort(*Sel.Log)) return 0;

  // A range of at most MaxSteps steps from the start, set as the pickers set it.
  const std::int64_t Step = Sel.LogInterval > 0 ? Sel.LogInterval : 1;
  const std::int64_t End = std::min<std::int64_t>(Sel.EndTime, Sel.StartTime + MaxSteps * Step);
  Sel.EndTime = static_cast<LogTime>(End);
  Sel.EndDate = SecsToDateTime(Sel.EndTime);

  for (int I = 0; I < FileLayoutItemCount; ++I) App.chkFileLayoutClickCheck(I, Layout & (1 << I));
  App.gbxStdzeroClick((Layout >> 5) % 4 - 1);
  App.chkSysFormatClick(Data[0] & 4);

  App.OptionsDisplayExecute();
  App.PgCntrlLogChange(PageLogStat);
  App.OptionsStatsExecute();
  return 0;
}
