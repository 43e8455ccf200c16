// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/LogExport.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "core/FileNames.h"
#include "core/Messages.h"
#include "report/Formatting.h"
#include "report/Titles.h"
#include "workbook/Workbook.h"

namespace quorvin {

namespace {

const char* const MsgIntervalsAll =
    "Sensors selected have different logging intervals. \r\nPlease select sensors with "
    "similiar logging intervals. \r\n View header for sensor logging intervals";
const char* const MsgIntervalsSome =
    "Sensors selected have different logging intervals. \r\n View header for sensor logging "
    "intervals";

// A grid step of three days: the start of the search for the smallest
// interval of the checked sensors.
constexpr std::int32_t LongestGridStep = 259200;

int Length(const std::string& Text) { return static_cast<int>(Text.size()); }

} // namespace

TLogExport::TLogExport(TSelectedLog& Selection, const TLogPrnOptions& Options,
                       const TDateTimeFormat& Format, TCommandMode CommandMode, TUiServices& Ui)
    : FSel(Selection), FOptions(Options), FFormat(Format), FCommandMode(CommandMode), FUi(Ui) {}

std::string TLogExport::MakeOutputFileName(const std::string& LogFileDir,
                                           const std::string& LogFileName,
                                           TOutputFormat OutputFormat) {
  return OutputNameBeside(LogFileDir, LogFileName, OutputFormat == TOutputFormat::Excel);
}

std::string TLogExport::TitleLine() const {
  if (FWindowed)
    return DataTitleLine(FSel, SecsToDateTime(FWindowFrom), SecsToDateTime(FWindowTo), FFormat);
  return DataTitleLine(FSel, FFormat);
}

void TLogExport::SetTimeWindow(LogTime From, LogTime To) {
  FWindowed = true;
  FWindowFrom = From;
  FWindowTo = To;
}

bool TLogExport::ApplyTimeWindow() {
  if (!FWindowed) return true;
  auto Inside = [this](std::int64_t T) { return T >= FWindowFrom && T <= FWindowTo; };
  if (FLogInterval <= 0) {
    // The grid is the start and the end alone.
    const bool StartIn = Inside(FStartTime), EndIn = Inside(FEndTime);
    if (!StartIn && !EndIn) return false;
    if (!StartIn) FStartTime = FEndTime;
    if (!EndIn) FEndTime = FStartTime;
    return true;
  }
  std::int64_t Start = FStartTime;
  if (Start < FWindowFrom)
    Start += (FWindowFrom - Start + FLogInterval - 1) / FLogInterval * FLogInterval;
  const std::int64_t End = std::min<std::int64_t>(FEndTime, FWindowTo);
  if (Start > End) return false;
  FStartTime = static_cast<LogTime>(Start);
  FEndTime = static_cast<LogTime>(End);
  return true;
}

void TLogExport::BuildColumnHeader(std::vector<std::string>& Lines,
                                   const std::string& Separator) const {
  const bool Fixed = UsesFixedColumns(FOptions, FCommandMode);
  const std::string& S = Separator;
  const std::string Q = "\"";
  auto Blanks = [&](int Count) { return Fixed ? PadBlanks(Count) : std::string(); };

  if (FOptions.R600ASCII) {
    std::string Names = "DATE" + Blanks(6) + S + "TIME" + Blanks(4);
    std::string Under =
        "----" + std::string(Fixed ? "------" : "") + S + "----" + std::string(Fixed ? "----" : "");
    for (const TSensorChoice& C : FSel.SensorChoices) {
      if (!C.Checked) continue;
      const int L = Length(C.ShortName);
      Names += S + C.ShortName + (L < 10 ? Blanks(10 - L) : std::string());
      Under += S + std::string(static_cast<std::size_t>(L), '-') +
               (Fixed && L < 10 ? std::string(static_cast<std::size_t>(10 - L), '-') : "");
    }
    Lines.push_back(Names);
    if (!FOptions.Excel()) Lines.push_back(Under);
    return;
  }

  // Standard layout: each row's label and its padding fill the 20 columns of
  // the date/time block, so the values stand under the names.
  auto Row = [&](const std::string& Label, int LabelPad, auto Text) {
    std::string Line = Q + Label + Q + S + Blanks(LabelPad);
    for (const TSensorChoice& C : FSel.SensorChoices) {
      if (!C.Checked) continue;
      const std::string V = Text(C);
      const int W = std::max(8, Length(C.ShortName) + 2);
      Line += S + Blanks(W - Length(V)) + V;
    }
    Lines.push_back(Line);
  };

  std::string Names = Q + "DATE" + Q + S + Blanks(7) + Q + "TIME" + Q;
  for (const TSensorChoice& C : FSel.SensorChoices) {
    if (!C.Checked) continue;
    const int L = Length(C.ShortName);
    Names += S + Blanks(std::max(8, L + 2) - (L + 2)) + Q + C.ShortName + Q;
  }
  Lines.push_back(Names);

  if (FSel.Log && FSel.Log->HasScaling()) {
    Row("SLOPE", 12, [](const TSensorChoice& C) { return FormatValue(C.Slope, C.RightDigits); });
    Row("OFFSET", 11, [](const TSensorChoice& C) { return FormatValue(C.Offset, C.RightDigits); });
  } else if (FSel.Log && FSel.Log->HasUnits()) {
    Row("UNITS", 12, [](const TSensorChoice& C) { return C.Units; });
  }
  Row("RIGHTDIGITS", 6, [](const TSensorChoice& C) { return std::to_string(C.RightDigits); });
}

bool TLogExport::SetUpOwnGrid(bool& RecordByRecord) {
  RecordByRecord = false;
  const ILogReader& Log = *FSel.Log;

  std::vector<TLogSensor> Checked;
  for (std::size_t i = 0; i < FSel.SensorChoices.size(); ++i)
    if (FSel.SensorChoices[i].Checked && static_cast<int>(i) < Log.SensorCount())
      Checked.push_back(Log.Sensor(static_cast<int>(i) + 1));

  // Without mixed intervals, or with nothing checked, the file's own grid.
  if (!Log.MixedIntervals() || Checked.empty()) {
    FLogInterval = Log.Interval();
    FStartTime = Log.FirstTime();
    return true;
  }

  if (Checked.size() == 1) {
    const TLogSensor& S = Checked.front();
    FLogInterval = S.Interval;
    FStartTime = S.FirstTime;
    FEndTime = S.LastTime;
    RecordByRecord = S.VariableInterval;
    return true;
  }

  const char* Warning;
  if (static_cast<int>(Checked.size()) == Log.SensorCount()) {
    FLogInterval = Log.Interval();
    FStartTime = Log.FirstTime();
    Warning = MsgIntervalsAll;
  } else {
    FLogInterval = LongestGridStep;
    FStartTime = 0;
    for (const TLogSensor& S : Checked) {
      if (S.Interval != 0 && S.Interval < FLogInterval) FLogInterval = S.Interval;
      if (FStartTime == 0 || S.FirstTime < FStartTime) FStartTime = S.FirstTime;
      if (S.LastTime != FEndTime && S.LastTime < Log.LastTime()) FEndTime = S.LastTime;
    }
    Warning = MsgIntervalsSome;
  }
  // A sensor with a single reading (interval 0) has no step to disagree
  // with the grid: it passes, and its reading shows where it meets the grid.
  for (const TLogSensor& S : Checked) {
    if (S.Interval != 0 && FLogInterval % S.Interval != 0) {
      FUi.Dialog.Show(TMsgKind::Warning, Warning, TMsgButtons::OK);
      return false;
    }
  }
  return true;
}

bool TLogExport::WriteOutputChunk(const TChunk& Chunk, bool FileExisted, bool Append,
                                  bool FirstChunk) {
  if (!FOut.IsOpen()) {
    bool Opened;
    if (FileExisted && Append) {
      // Text appended to a workbook would ruin it: such a file cannot take
      // appended lines.
      Opened = CanAppendText(FOutputFileName, FOptions.Excel()) && FOut.OpenAppend(FOutputFileName);
    } else {
      Opened = FOut.OpenReplace(FOutputFileName);
    }
    if (!Opened) {
      FUi.Dialog.Show(TMsgKind::Warning, MsgOpeningOutput(FOutputFileName), TMsgButtons::OK,
                      FOut.FailureReason());
      return false;
    }
  }
  bool Ok = true;
  if (FOptions.R600ASCII && FirstChunk) Ok = FOut.WriteLine(TitleLine()) && FOut.WriteLine("");
  for (std::size_t i = 0; Ok && i < Chunk.Head.size(); ++i) Ok = FOut.WriteLine(Chunk.Head[i]);
  if (Ok) Ok = FOut.Write(std::string_view(Chunk.Text.data(), Chunk.TextSize));
  if (!Ok) {
    const std::string Reason = FOut.FailureReason();
    FOut.Abandon();
    FUi.Dialog.Show(TMsgKind::Error, MsgClosingOutput, TMsgButtons::OK, Reason);
    return false;
  }
  FAnyChunkWritten = true;
  return true;
}

bool TLogExport::ShowOutputChunk(const TChunk& Chunk, bool FirstChunk) {
  try {
    ITextPane& Pane = FUi.Pane;
    if (FirstChunk) {
      Pane.SetPointSize(10);
      Pane.SetBold(true);
      Pane.AppendLine(TitleLine());
      Pane.AppendLine("");
    }
    Pane.SetBold(false);
    for (const std::string& Line : Chunk.Head) Pane.AppendLine(Line);
    Pane.AppendLines(std::string_view(Chunk.Text.data(), Chunk.TextSize));
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

bool TLogExport::HandOn(const TChunk& Chunk) {
  const bool Ok = IsSaving(FCommandMode)
                      ? WriteOutputChunk(Chunk, FFileExisted, FAppend, FFirstChunk)
                      : ShowOutputChunk(Chunk, FFirstChunk);
  FFirstChunk = false;
  FFileExisted = true;
  FAppend = true;
  if (!Ok) FFailed = true;
  // Each chunk reports progress; a user who cancels gets no output at all
  // (a replaced file keeps its old content).
  if (Ok && FUi.Busy.Step(Chunk.ProgressDone, FProgressTotal)) {
    FFailed = true;
    return false;
  }
  return Ok;
}

bool TLogExport::FinishOutput() {
  if (!IsSaving(FCommandMode) || !FOut.IsOpen()) return true;
  auto Fail = [this] {
    const std::string Reason = FOut.FailureReason();
    FOut.Abandon();
    FUi.Dialog.Show(TMsgKind::Error, MsgClosingOutput, TMsgButtons::OK, Reason);
    return false;
  };
  if (!FOut.Close()) return Fail();
  // The workbook is made from the complete text before it replaces the old
  // file, so a failed conversion leaves the old file as it was.
  // The date and time fields open every line: labels, never quantities.
  if (FOptions.Excel() && !ConvertTextToWorkbook(FOut.WrittenName(), LineTimeFields)) {
    FOut.Abandon();
    return false;
  }
  if (!FOut.Publish()) return Fail();
  return true;
}

void TLogExport::StartConversion() {
  FFileExisted = false;
  if (IsSaving(FCommandMode)) {
    FOutputFileName =
        FTargetFileName.empty()
            ? MakeOutputFileName(FSel.LogFileDir, FSel.LogFileName, FOptions.OutputFormat)
            : FTargetFileName;
    std::error_code Ec;
    FFileExisted = std::filesystem::exists(FOutputFileName, Ec);
  }
  // The grid starts as chosen; a CSV log sets up its own, for this
  // conversion only.
  FStartTime = FSel.StartTime;
  FEndTime = FSel.EndTime;
  FLogInterval = FSel.LogInterval;
  FFirstChunk = true;
  FAppend = FOptions.AppendData;
  FFailed = false;
  FAnyChunkWritten = false;
}

std::vector<TValueColumn> TLogExport::MakeColumns(int SensorCount) {
  std::vector<TValueColumn> Columns;
  FSensorIndexes.clear();
  for (std::size_t i = 0; i < FSel.SensorChoices.size() && static_cast<int>(i) < SensorCount; ++i) {
    const TSensorChoice& C = FSel.SensorChoices[i];
    if (!C.Checked) continue;
    const int L = Length(C.ShortName);
    FSensorIndexes.push_back(static_cast<int>(i) + 1);
    Columns.push_back({C.RightDigits, FOptions.R600ASCII ? std::max(10, L) : std::max(8, L + 2),
                       NonRecordedText(FOptions, C.RightDigits)});
  }
  return Columns;
}

void TLogExport::RunRecordLoop(TLineMaker& Maker) {
  const int SensorIndex = FSensorIndexes.front();
  const int Count = FSel.Log->RecordCount(SensorIndex);
  FProgressTotal = Count;
  Maker.Start(Count, FFormatThreads, IsSaving(FCommandMode));
  for (int k = 0; k < Count; ++k) {
    Maker.SetProgress(k);
    float V;
    LogTime T = 0;
    FSel.Log->GetValueAt(k, SensorIndex, V, T);
    if (FWindowed && (T < FWindowFrom || T > FWindowTo)) continue;
    int Recorded;
    if (!Maker.Step(
            T, [&](float* Values) { Values[0] = V; }, Recorded))
      break;
  }
}

std::int64_t TLogExport::NextRecordTime(std::int64_t From) const {
  constexpr std::int64_t None = INT64_MAX;
  if (From > INT32_MAX) return None;
  std::int64_t Next = None;
  for (const int SensorIndex : FSensorIndexes) {
    LogTime T;
    if (FSel.Log->NextRecordTime(SensorIndex, static_cast<LogTime>(From), T))
      Next = std::min<std::int64_t>(Next, T);
  }
  return Next;
}

bool TLogExport::SkipEmptyStretch(TLineMaker& Maker, std::int64_t& T, std::int64_t Step) {
  // The lines of days on which no checked sensor has a record are all
  // excluded: step over those days at once, doing for each what its steps
  // would have done (a blank line for the new day, the chunk rule).
  const std::int64_t Next = NextRecordTime(T);
  const std::int64_t Day = DayOfTime(T);
  const std::int64_t LastDay = DayOfTime(FEndTime);
  const std::int64_t TargetDay =
      Next == INT64_MAX ? LastDay + 1 : std::min(DayOfTime(Next), LastDay + 1);
  if (TargetDay <= Day) return true;
  // The first grid time on or after the first second of D.
  auto GridAt = [&](std::int64_t D) {
    const std::int64_t Start = D * 86400;
    return Start <= T ? T : T + (Start - T + Step - 1) / Step * Step;
  };
  for (std::int64_t D = Day; D < TargetDay; ++D) {
    const std::int64_t First = GridAt(D);
    if (First >= (D + 1) * 86400 || First > FEndTime) continue;
    if (!Maker.StepExcluded(static_cast<LogTime>(First))) return false;
  }
  T = GridAt(TargetDay);
  return true;
}

void TLogExport::RunGridLoop(TLineMaker& Maker) {
  // Times run in 64 bits so a range ending near the last log time cannot
  // wrap; an interval of 0 jumps to EndTime and ends after its line.
  const std::int64_t End = FEndTime;
  const std::int64_t Step = FLogInterval > 0 ? FLogInterval : 0;
  ILogReader& Log = *FSel.Log;
  std::int64_t T = FStartTime;
  FProgressTotal = std::max<std::int64_t>(End - T, 0);
  Maker.Start(Step > 0 ? (End - T) / Step + 1 : 2, FFormatThreads, IsSaving(FCommandMode));
  const std::vector<int>& SensorIndexes = FSensorIndexes;
  for (;;) {
    Maker.SetProgress(T - FStartTime);
    const LogTime LT = static_cast<LogTime>(T);
    int Recorded = 0;
    const bool Ok = Maker.Step(
        LT,
        [&](float* Values) {
          Log.GetValues(LT, SensorIndexes.data(), SensorIndexes.size(), Values);
        },
        Recorded);
    if (!Ok) break;
    if (Step == 0) {
      if (T >= End) break;
      T = End;
      continue;
    }
    T += Step;
    if (Maker.Excluding() && Recorded == 0 && T <= End && !SkipEmptyStretch(Maker, T, Step)) break;
    if (T > End) break;
  }
}

bool TLogExport::ConvertLogToText(const std::string& Separator) {
  // Without a loaded log there is nothing to show or save: a failure, so a
  // save never reports a file it did not write.
  if (!FSel.LogLoaded()) return false;

  ILogReader& Log = *FSel.Log;
  FUi.Status.SetProgressText("Importing from .LOG file " + Log.DisplayName() + " ...");
  StartConversion();
  const int SensorCount = Log.SensorCount();
  if (SensorCount == 0) return true;

  std::vector<std::string> Header;
  if (!(FFileExisted && FOptions.AppendData)) BuildColumnHeader(Header, Separator);
  bool RecordByRecord = false;
  // A log whose sensors have readings of their own is written on its own grid.
  if (!Log.RecordsHoldEverySensor() && !SetUpOwnGrid(RecordByRecord)) return false;
  // A window between two grid times holds no line: nothing to write.
  if (!RecordByRecord && !ApplyTimeWindow()) return true;

  TLineMaker Maker(*this, Separator, UsesFixedColumns(FOptions, FCommandMode), FOptions, FFormat,
                   MakeColumns(SensorCount), std::move(Header), FStartTime);
  if (RecordByRecord && FSensorIndexes.size() == 1) {
    RunRecordLoop(Maker);
  } else {
    if (!ConfirmLongGrid(FSel, FStartTime, FEndTime, FLogInterval, FFormat, FUi.Dialog))
      return false;
    RunGridLoop(Maker);
  }
  Maker.Finish();

  if (FFailed) {
    FOut.Abandon();
    return false;
  }
  if (IsSaving(FCommandMode) && FAnyChunkWritten) return FinishOutput();
  return true;
}

bool ConvertLogToText(TSelectedLog& Selection, const TLogPrnOptions& Options,
                      const TDateTimeFormat& Format, TCommandMode CommandMode,
                      const std::string& Separator, TUiServices& Ui, std::string& OutputFileName) {
  TLogExport Export(Selection, Options, Format, CommandMode, Ui);
  const bool Ok = Export.ConvertLogToText(Separator);
  OutputFileName = Export.OutputFileName();
  return Ok;
}

} // namespace quorvin
