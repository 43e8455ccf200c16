// SPDX-License-Identifier: GPL-3.0-or-later
#include "ddr/DDRScans.h"

#include <algorithm>
#include <limits>

#include "core/MiscUtil.h"
#include "ddr/DDRObj.h"

namespace quorvin {

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

int TDDRScanTable::AddBlock(const TDDRObj& DDR) {
  const TDDRBlockHeader& H = DDR.BlockHeader();
  switch (H.Status) {
  case dsData:
  case dsBadData:
    return AddScans(DDR);
  case dsMaster:
    UnitID = DDR.Master().UnitID;
    Version = DDR.Master().FirmwareVersion;
    break;
  case dsLogNote:
    Notes.push_back({H.Start, DDR.NoteText()});
    break;
  case dsSensor:
  case dsBase:
  case dsEnd:
    break;
  default:
    // The blocks the text lists by their time and status name.
    Events.push_back({H.Start, TDDRObj::StatusName(H)});
    break;
  }
  return DDRBlockFinished;
}

std::size_t TDDRScanTable::ColumnOf(const std::string& Name, const std::string& Units,
                                    int RightDigits, const std::size_t* Taken, int TakenCount) {
  for (std::size_t C = 0; C < Columns.size(); ++C)
    if (SameText(Columns[C].Name, Name) && Columns[C].Units == Units &&
        std::find(Taken, Taken + TakenCount, C) == Taken + TakenCount)
      return C;
  Columns.push_back({Name, Units, RightDigits, std::vector<double>(Times.size(), NaN)});
  return Columns.size() - 1;
}

int TDDRScanTable::AddScans(const TDDRObj& DDR) {
  const TDDRSetup& Setup = DDR.CurrentSetup();
  std::size_t Column[DDRMaxSensors];
  for (int I = 0; I < Setup.SensorCount; ++I) {
    const TDDRSensor& S = Setup.Sensors[I];
    Column[I] = ColumnOf(S.Name, S.Units, S.RightDigits, Column, I);
  }
  const std::uint8_t BadBlock = DDR.BlockHeader().Status == dsBadData;
  return DDR.WalkScans([&](std::int64_t ScanTime, const TDDRScanValue* Values) {
    Times.push_back(ScanTime);
    Bad.push_back(BadBlock);
    for (TDDRScanColumn& C : Columns) C.Values.push_back(NaN);
    for (int I = 0; I < Setup.SensorCount; ++I)
      Columns[Column[I]].Values.back() = Values[I].Value(Setup.Sensors[I].RightDigits);
  });
}

} // namespace quorvin
