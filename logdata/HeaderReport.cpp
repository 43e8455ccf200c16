// SPDX-License-Identifier: GPL-3.0-or-later
#include "logdata/HeaderReport.h"

#include <cstdio>
#include <stdexcept>

namespace quorvin {

namespace {

std::string Pad2(long long N) {
  char B[24];
  std::snprintf(B, sizeof B, "%02lld", N);
  return B;
}

// MM/DD/YYYY HH:MM:SS of a log time with the given separators.
std::string CSVDateTime(LogTime Secs, const TDateTimeFormat& Format) {
  int Year, Month, Day, Hour, Minute, Second;
  SecsToParts(Secs, Year, Month, Day, Hour, Minute, Second);
  char B[64];
  std::snprintf(B, sizeof B, "%02d%c%02d%c%04d %02d%c%02d%c%02d", Month, Format.DateSeparator, Day,
                Format.DateSeparator, Year, Hour, Format.TimeSeparator, Minute,
                Format.TimeSeparator, Second);
  return B;
}

// The line a sensor gets whose right digits, as the file holds them, are
// corrupt; a sound sensor gets none, so a sound log's report stays as it
// always was.
void CorruptRightDigits(ITextPane& Pane, const std::string& Name, int Stored) {
  if (Stored <= MaxRightDigits) return;
  Pane.AppendLine("Right Digits      : " + Name + " - " + std::to_string(Stored) +
                  " is corrupt, read as " + std::to_string(MaxRightDigits));
}

void Title(ITextPane& Pane, const std::string& Text) {
  Pane.Clear();
  Pane.SetBold(true);
  Pane.AppendLine(Text);
  Pane.SetBold(false);
  Pane.AppendLine("");
}

} // namespace

std::string FormatDuration(std::int64_t Secs, char TimeSeparator) {
  if (Secs < 0) Secs = 0;
  std::string Out = Pad2(Secs / 3600);
  Out += TimeSeparator;
  Out += Pad2(Secs % 3600 / 60);
  Out += TimeSeparator;
  Out += Pad2(Secs % 60);
  return Out;
}

bool ShowLogHeader(ITextPane& Pane, const TLogFile& Log, const std::string& TitleName,
                   const TDateTimeFormat& Format) {
  try {
    Title(Pane, "R630/R600 LOG HEADER FROM: " + UpperCase(TitleName));
    const THeader* H = Log.Header();
    if (!H) throw std::runtime_error("no header");
    // Only the time of day of these is shown: whole days are dropped.
    auto TimeOfDay = [&](std::int32_t Secs) {
      return FormatLogTime(Format.TimePattern, Secs % SecsPerDay, Format);
    };
    Pane.AppendLine("Version           : " + std::to_string(H->Version));
    Pane.AppendLine("Unit Name         : " + H->UnitName);
    Pane.AppendLine(
        "Start Date        : " +
        FormatLogTime(Format.DatePattern, static_cast<LogTime>(H->StartDay) * SecsPerDay, Format));
    Pane.AppendLine("Log Time          : " + TimeOfDay(H->LogTime));
    Pane.AppendLine("Logging Interval  : " + TimeOfDay(H->Interval));
    Pane.AppendLine("Record Size       : " + std::to_string(H->RecordSize));
    Pane.AppendLine("Number of Days    : " + std::to_string(H->NumDays));
    Pane.AppendLine("Total Length      : " +
                    std::to_string(static_cast<std::int32_t>(H->TotalLength)));
    Pane.AppendLine("Day Length        : " +
                    std::to_string(static_cast<std::int32_t>(H->DayLength)));
    Pane.AppendLine("Data Length       : " +
                    std::to_string(static_cast<std::int32_t>(H->DataLength)));
    Pane.AppendLine("Number of Sensors : " + std::to_string(H->NumSensors));
    Pane.AppendLine("Description Length: " + std::to_string(Log.DescriptionLength()));
    Pane.AppendLine("Sensor Info Length: " + std::to_string(Log.SensorInfoLength()));
    for (int I = 0; I < Log.Sensors().Count(); ++I) {
      const TSensor* S = Log.Sensors().Objects(I);
      if (!S) continue;
      std::string Name = S->Name;
      SplitAt('.', Name);
      CorruptRightDigits(Pane, Name, S->StoredRightDigits);
    }
    return true;
  } catch (...) {
    return false;
  }
}

bool ShowCSVLogInfo(ITextPane& Pane, const TCSVLogFile& Log, const std::string& TitleName,
                    const TDateTimeFormat& Format) {
  try {
    Title(Pane, "CSV LOG INFO FROM: " + UpperCase(TitleName));
    Pane.AppendLine("CSV File Name     : " + Log.FileName());
    Pane.AppendLine("Start Date        : " + CSVDateTime(Log.FirstTime(), Format));
    Pane.AppendLine("End Date          : " + CSVDateTime(Log.LastTime(), Format));
    if (Log.MixedIntervals()) {
      for (int I = 0; I < Log.Sensors().Count(); ++I) {
        const TCSVSensor* S = Log.Sensors().Objects(I);
        Pane.AppendLine("Logging Interval  : " + S->Name +
                        (S->VariableInterval
                             ? std::string(" - variable")
                             : " - " + FormatDuration(S->Interval, Format.TimeSeparator)));
      }
    } else {
      Pane.AppendLine("Logging Interval  : " +
                      FormatDuration(Log.Interval(), Format.TimeSeparator));
    }
    Pane.AppendLine("Number of Sensors : " + std::to_string(Log.Sensors().Count()));
    for (int I = 0; I < Log.Sensors().Count(); ++I)
      CorruptRightDigits(Pane, Log.Sensors().Objects(I)->Name,
                         Log.Sensors().Objects(I)->StoredRightDigits);
    return true;
  } catch (...) {
    return false;
  }
}

} // namespace quorvin
