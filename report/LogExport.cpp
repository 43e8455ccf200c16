// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/LogExport.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "core/FileNames.h"
#include "core/Messages.h"
#include "report/Formatting.h"
#include "report/LogLines.h"
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
  if (FWalk.Windowed)
    return DataTitleLine(FSel, SecsToDateTime(FWalk.WindowFrom), SecsToDateTime(FWalk.WindowTo),
                         FFormat);
  return DataTitleLine(FSel, FFormat);
}

void TLogExport::SetTimeWindow(LogTime From, LogTime To) {
  FWalk.Windowed = true;
  FWalk.WindowFrom = From;
  FWalk.WindowTo = To;
}

bool TLogExport::ApplyTimeWindow() {
  if (!FWalk.Windowed) return true;
  const LogTime FWindowFrom = FWalk.WindowFrom, FWindowTo = FWalk.WindowTo;
  auto Inside = [&](std::int64_t T) { return T >= FWindowFrom && T <= FWindowTo; };
  if (FWalk.Interval <= 0) {
    // The grid is the start and the end alone.
    const bool StartIn = Inside(FWalk.Start), EndIn = Inside(FWalk.End);
    if (!StartIn && !EndIn) return false;
    if (!StartIn) FWalk.Start = FWalk.End;
    if (!EndIn) FWalk.End = FWalk.Start;
    return true;
  }
  std::int64_t Start = FWalk.Start;
  if (Start < FWindowFrom)
    Start += (FWindowFrom - Start + FWalk.Interval - 1) / FWalk.Interval * FWalk.Interval;
  const std::int64_t End = std::min<std::int64_t>(FWalk.End, FWindowTo);
  if (Start > End) return false;
  FWalk.Start = static_cast<LogTime>(Start);
  FWalk.End = static_cast<LogTime>(End);
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
    FWalk.Interval = Log.Interval();
    FWalk.Start = Log.FirstTime();
    return true;
  }

  if (Checked.size() == 1) {
    const TLogSensor& S = Checked.front();
    FWalk.Interval = S.Interval;
    FWalk.Start = S.FirstTime;
    FWalk.End = S.LastTime;
    RecordByRecord = S.VariableInterval;
    return true;
  }

  const char* Warning;
  if (static_cast<int>(Checked.size()) == Log.SensorCount()) {
    FWalk.Interval = Log.Interval();
    FWalk.Start = Log.FirstTime();
    Warning = MsgIntervalsAll;
  } else {
    FWalk.Interval = LongestGridStep;
    FWalk.Start = 0;
    for (const TLogSensor& S : Checked) {
      if (S.Interval != 0 && S.Interval < FWalk.Interval) FWalk.Interval = S.Interval;
      if (FWalk.Start == 0 || S.FirstTime < FWalk.Start) FWalk.Start = S.FirstTime;
      if (S.LastTime != FWalk.End && S.LastTime < Log.LastTime()) FWalk.End = S.LastTime;
    }
    Warning = MsgIntervalsSome;
  }
  // A sensor with a single reading (interval 0) has no step to disagree
  // with the grid: it passes, and its reading shows where it meets the grid.
  for (const TLogSensor& S : Checked) {
    if (S.Interval != 0 && FWalk.Interval % S.Interval != 0) {
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
  if (Ok && FUi.Busy.Step(Chunk.ProgressDone, FWalk.ProgressTotal())) {
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
  FWalk.Log = FSel.Log;
  FWalk.RecordByRecord = false;
  FWalk.Start = FSel.StartTime;
  FWalk.End = FSel.EndTime;
  FWalk.Interval = FSel.LogInterval;
  FFirstChunk = true;
  FAppend = FOptions.AppendData;
  FFailed = false;
  FAnyChunkWritten = false;
}

std::vector<TValueColumn> TLogExport::MakeColumns(int SensorCount) {
  std::vector<TValueColumn> Columns;
  FWalk.SensorIndexes.clear();
  for (std::size_t i = 0; i < FSel.SensorChoices.size() && static_cast<int>(i) < SensorCount; ++i) {
    const TSensorChoice& C = FSel.SensorChoices[i];
    if (!C.Checked) continue;
    const int L = Length(C.ShortName);
    FWalk.SensorIndexes.push_back(static_cast<int>(i) + 1);
    Columns.push_back({C.RightDigits, FOptions.R600ASCII ? std::max(10, L) : std::max(8, L + 2),
                       NonRecordedText(FOptions, C.RightDigits)});
  }
  return Columns;
}

bool TLogExport::ShowLineSource(const std::string& Separator, std::vector<TValueColumn> Columns,
                                std::vector<std::string> Header) {
  // The title and the empty line after it in 10-point bold, as a chunk of
  // the display would put them.
  Header.insert(Header.begin(), {TitleLine(), std::string()});
  auto Lines =
      std::make_shared<TLogLines>(FWalk, Separator, UsesFixedColumns(FOptions, FCommandMode),
                                  FOptions, FFormat, std::move(Columns), std::move(Header), 2, 10);
  FUi.Pane.ShowLines(Lines);
  // A cancelled count shows what it counted, and fails as a cancelled
  // display does.
  return Lines->Reckoned() || Lines->Index(FUi.Busy, FUi.Pane);
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

  std::vector<TValueColumn> Columns = MakeColumns(SensorCount);
  FWalk.RecordByRecord = RecordByRecord && FWalk.SensorIndexes.size() == 1;
  if (!FWalk.RecordByRecord &&
      !ConfirmLongGrid(FSel, FWalk.Start, FWalk.End, FWalk.Interval, FFormat, FUi.Dialog))
    return false;
  if (!IsSaving(FCommandMode) && FUi.Pane.TakesLineSource())
    return ShowLineSource(Separator, std::move(Columns), std::move(Header));
  TLineMaker Maker(*this, Separator, UsesFixedColumns(FOptions, FCommandMode), FOptions, FFormat,
                   std::move(Columns), std::move(Header), FWalk.Start);
  Maker.Start(FWalk.Steps(), FFormatThreads, IsSaving(FCommandMode));
  FWalk.Run(Maker, FWalk.First());
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
