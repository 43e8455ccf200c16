// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/SelectedLog.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace quorvin {

namespace {

std::int32_t NonNegativeMod(LogTime Value, std::int32_t Divisor) {
  if (Divisor <= 0) return 0;
  const std::int32_t R = Value % Divisor;
  return R < 0 ? R + Divisor : R;
}

} // namespace

void TSelectedLog::UseLog(std::unique_ptr<ILogReader> Opened) {
  Log = std::move(Opened);
  const int Count = Log->SensorCount();
  SensorChoices.assign(static_cast<std::size_t>(Count), TSensorChoice{});
  for (int i = 0; i < Count; ++i) {
    TLogSensor S = Log->Sensor(i + 1);
    TSensorChoice& C = SensorChoices[static_cast<std::size_t>(i)];
    C.FullName = std::move(S.Name);
    C.ShortName = std::move(S.ShortName);
    C.RightDigits = S.RightDigits;
    C.Slope = S.Slope;
    C.Offset = S.Offset;
    C.Units = std::move(S.Units);
  }
  LogInterval = Log->Interval();
  LogTitleName = Log->TitleName();
  if (Count > 0) {
    const TLogSensor First = Log->Sensor(1);
    SetRange(First.FirstTime, First.LastTime);
  } else {
    SetRange(Log->FirstTime(), Log->LastTime());
  }
}

void TSelectedLog::SetRange(LogTime Start, LogTime End) {
  StartTime = Start;
  EndTime = End;
  GridOffset = NonNegativeMod(StartTime, LogInterval);
  StartDate = SecsToDateTime(StartTime);
  EndDate = SecsToDateTime(EndTime);
}

std::int64_t CheckedReadings(const TSelectedLog& Selection) {
  std::int64_t Most = 0;
  if (!Selection.Log) return Most;
  const int Count = Selection.Log->SensorCount();
  for (int I = 0; I < Count && I < Selection.SensorChoiceCount(); ++I)
    if (Selection.SensorChoices[std::size_t(I)].Checked)
      Most = std::max<std::int64_t>(Most, Selection.Log->RecordCount(I + 1));
  return Most;
}

std::int64_t LogFileBytes(const TSelectedLog& Selection) {
  if (!Selection.Log) return 0;
  std::error_code Ec;
  const auto Size = std::filesystem::file_size(Selection.Log->FileName(), Ec);
  return Ec ? 0 : static_cast<std::int64_t>(Size);
}

double ExpectedGridBytes(const TSelectedLog& Selection, std::int64_t Start, std::int64_t End,
                         std::int64_t Interval, const TDateTimeFormat& Format) {
  if (End < Start) return 0;
  const double Lines = Interval > 0 ? double((End - Start) / Interval + 1) : 2;
  // The date and time in their fixed columns (or as long as a long pattern
  // makes them) with a separator and the line end, then per checked sensor
  // a separator and its value in a fixed column (or as long as its decimals
  // make it); the column header lines weigh as much again for four lines.
  const LogTime At = static_cast<LogTime>(Start);
  double LineBytes =
      std::max<double>(11, double(FormatLogTime(Format.DatePattern, At, Format).size())) +
      std::max<double>(8, double(FormatLogTime(Format.TimePattern, At, Format).size())) + 3;
  for (const TSensorChoice& C : Selection.SensorChoices)
    if (C.Checked)
      LineBytes += 1 + std::max({8.0, double(C.ShortName.size()) + 2, double(C.RightDigits) + 3});
  return (Lines + 4) * LineBytes;
}

bool ConfirmLongGrid(const TSelectedLog& Selection, std::int64_t Start, std::int64_t End,
                     std::int64_t Interval, const TDateTimeFormat& Format, IMessageDialog& Dialog) {
  if (Interval <= 0 || End < Start) return true;
  const std::int64_t Lines = (End - Start) / Interval + 1;
  const std::int64_t Readings = CheckedReadings(Selection);
  // What will be written is weighed, not the lines alone: a header that
  // makes every line thousands of columns wide multiplies a file's size as
  // surely as a stray date decades away.
  const double Expected = ExpectedGridBytes(Selection, Start, End, Interval, Format);
  const std::int64_t Input = LogFileBytes(Selection);
  if (Expected <= GridBytesFloor || Expected <= GridGrowthLimit * double(Input)) return true;
  const std::string Pattern = Format.DatePattern + " " + Format.TimePattern;
  const std::string Text = "This log spans " + std::to_string(Lines) + " lines from " +
                           FormatLogTime(Pattern, static_cast<LogTime>(Start), Format) + " to " +
                           FormatLogTime(Pattern, static_cast<LogTime>(End), Format) + " for " +
                           std::to_string(Readings) + " readings. Continue?";
  const std::string Detail = "About " + std::to_string(std::llround(Expected)) +
                             " bytes of lines from a file of " + std::to_string(Input) + " bytes.";
  return Dialog.Show(TMsgKind::Confirmation, Text, TMsgButtons::YesNo, Detail) == TMsgResult::Yes;
}

} // namespace quorvin
