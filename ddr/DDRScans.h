// SPDX-License-Identifier: GPL-3.0-or-later
// A DDR file's scans as numbers rather than text, for analysis: one row per
// scan with its time, one column per sensor, and the notes and events the
// text lists beside them. Filled block by block from the decoder, so every
// value is the one its text shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvin {

class TDDRObj;

struct TDDRScanColumn {
  std::string Name, Units;
  int RightDigits = 0;
  // One per scan; NaN where the sensor has no value (missing, of an unknown
  // type, or not in the setup of that scan's block).
  std::vector<double> Values;
};

// A note or an event block: its start time and its text or status name.
struct TDDRMark {
  std::int64_t Time = 0;
  std::string Text;
};

struct TDDRScanTable {
  // From the last Master block.
  std::string UnitID, Version;
  // Seconds on the log time base (clock time as recorded), one per scan.
  std::vector<std::int64_t> Times;
  // 1 for a scan from a "Bad Data" block.
  std::vector<std::uint8_t> Bad;
  // A sensor of several setups (the same name and units) keeps one column.
  std::vector<TDDRScanColumn> Columns;
  std::vector<TDDRMark> Notes, Events;

  // Takes the decoder's current block, already read and, unless it holds
  // data, decoded. Answers where its decoding stopped, as DecodeBlock's
  // ResumePosition: after the last scan of a data block (short of the bytes
  // read when the block ends early), DDRBlockFinished for any other.
  int AddBlock(const TDDRObj& DDR);

private:
  int AddScans(const TDDRObj& DDR);
  // The column of a sensor, new when none of that name and units is there
  // but those Taken by the block's sensors before it.
  std::size_t ColumnOf(const std::string& Name, const std::string& Units, int RightDigits,
                       const std::size_t* Taken, int TakenCount);
};

} // namespace quorvin
