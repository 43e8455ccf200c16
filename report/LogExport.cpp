#include "report/LogExport.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <filesystem>
#include <system_error>

#include "core/Messages.h"
#include "report/Formatting.h"
#include "report/Workbook.h"

namespace quorvin {

namespace {

const char* const MsgIntervalsAll =
    "Sensors selected have different logging intervals. \r\nPlease select sensors with "
    "similiar logging intervals. \r\n View header for sensor logging intervals";
const char* const MsgIntervalsSome =
    "Sensors selected have different logging intervals. \r\n View header for sensor logging "
    "intervals";
const char* const MsgClosing = "Error closing Log Output file.";

// A grid step of three days: the start of the search for the smallest
// interval of the checked sensors.
constexpr std::int32_t LongestGridStep = 259200;

int Length(const std::string& Text) { return static_cast<int>(Text.size()); }

// Longest run of padding blanks a line ever gets.
constexpr int MaxPadding = 46;

void AppendPadding(std::string& Line, int Count) {
  if (Count > 0) Line.append(static_cast<std::size_t>(std::min(Count, MaxPadding)), ' ');
}

} // namespace

// One checked sensor's column.
struct TLogExport::TColumn {
  int Position;     // 0-based in the log's sensor order
  std::string Name; // FullName, for the CSV reader
  int RightDigits;
  int Width;           // fixed-column width of its values
  std::string Missing; // its text for a value not recorded
};

// The lines waiting to be handed on. Line strings are reused from chunk to
// chunk, so a long conversion does not allocate per line.
class TLogExport::TPendingLines {
public:
  // The slot for the next line, emptied; it counts once Keep is called.
  std::string& Next() {
    if (FCount == FLines.size()) FLines.emplace_back();
    std::string& L = FLines[FCount];
    L.clear();
    return L;
  }
  void Keep() { FBytes += FLines[FCount++].size(); }
  void Add(const std::string& Line) {
    Next() = Line;
    Keep();
  }
  std::size_t Count() const { return FCount; }
  // Characters in the kept lines.
  std::size_t Bytes() const { return FBytes; }
  const std::string& operator[](std::size_t I) const { return FLines[I]; }
  void Clear() {
    // A very wide line's room is given back, so slots that once held wide
    // lines cannot add up to far more than one chunk.
    for (std::size_t I = 0; I < FCount; ++I)
      if (FLines[I].capacity() > ChunkBytes / 16) std::string().swap(FLines[I]);
    FCount = 0, FBytes = 0;
  }

private:
  std::vector<std::string> FLines;
  std::size_t FCount = 0;
  std::size_t FBytes = 0;
};

TLogExport::TLogExport(TLogSelection& Selection, const TLogPrnOptions& Options,
                       const TDateTimeFormat& Format, int CommandMode, TUiServices& Ui)
    : FSel(Selection), FOptions(Options), FFormat(Format), FCommandMode(CommandMode), FUi(Ui) {}

std::string TLogExport::MakeOutputFileName(const std::string& LogFileDir,
                                           const std::string& LogFileName, int OutputFormat) {
  return LogFileDir + TLogSelection::DisplayNameOf(LogFileName) +
         (OutputFormat == OutputFormatExcel ? ".XLS" : ".PRN");
}

std::string TLogExport::TitleLine() const {
  const std::string T1 =
      FormatLogTime(FFormat.DatePattern, DateTimeToSecs(FSel.StartDate), FFormat);
  const std::string T2 = FormatLogTime(FFormat.DatePattern, DateTimeToSecs(FSel.EndDate), FFormat);
  const std::string Source = FSel.CSVLogLoaded ? "CSV LOG DATA FROM: " : "R630/R600 DATA FROM: ";
  return Source + UpperCase(FSel.LogTitleName) + " DATE: " + T1 + " TO " + T2;
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
    if (FOptions.OutputFormat != OutputFormatExcel) Lines.push_back(Under);
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

  if (FSel.BinaryLogLoaded) {
    Row("SLOPE", 12, [](const TSensorChoice& C) { return FormatValue(C.Slope, C.RightDigits); });
    Row("OFFSET", 11, [](const TSensorChoice& C) { return FormatValue(C.Offset, C.RightDigits); });
  } else if (FSel.CSVLogLoaded && FSel.CSVLog && FSel.CSVLog->RowLayout() == 1) {
    Row("UNITS", 12, [](const TSensorChoice& C) { return C.Units; });
  }
  Row("RIGHTDIGITS", 6, [](const TSensorChoice& C) { return std::to_string(C.RightDigits); });
}

bool TLogExport::SetUpCSVGrid(bool& RecordByRecord) {
  RecordByRecord = false;
  TCSVLogFile& Log = *FSel.CSVLog;
  const auto& Sensors = Log.Sensors();

  std::vector<const TCSVSensor*> Checked;
  for (std::size_t i = 0; i < FSel.SensorChoices.size(); ++i)
    if (FSel.SensorChoices[i].Checked) {
      const TCSVSensor* S = Sensors.Objects(static_cast<int>(i));
      if (S) Checked.push_back(S);
    }

  // Without mixed intervals, or with nothing checked, the file's own grid.
  if (!Log.MixedIntervals() || Checked.empty()) {
    FLogInterval = Log.Interval();
    FStartTime = Log.FirstTime();
    return true;
  }

  if (Checked.size() == 1) {
    const TCSVSensor& S = *Checked.front();
    FLogInterval = S.Interval;
    FStartTime = S.FirstTime;
    FEndTime = S.LastTime;
    RecordByRecord = S.VariableInterval;
    return true;
  }

  const char* Warning;
  if (static_cast<int>(Checked.size()) == Sensors.Count()) {
    FLogInterval = Log.Interval();
    FStartTime = Log.FirstTime();
    Warning = MsgIntervalsAll;
  } else {
    FLogInterval = LongestGridStep;
    FStartTime = 0;
    for (const TCSVSensor* S : Checked) {
      if (S->Interval != 0 && S->Interval < FLogInterval) FLogInterval = S->Interval;
      if (FStartTime == 0 || S->FirstTime < FStartTime) FStartTime = S->FirstTime;
      if (S->LastTime != FEndTime && S->LastTime < Log.LastTime()) FEndTime = S->LastTime;
    }
    Warning = MsgIntervalsSome;
  }
  // A sensor with a single reading (interval 0) has no step to disagree
  // with the grid: it passes, and its reading shows where it meets the grid.
  for (const TCSVSensor* S : Checked) {
    if (S->Interval != 0 && FLogInterval % S->Interval != 0) {
      FUi.Dialog.Show(TMsgKind::Warning, Warning, TMsgButtons::OK);
      return false;
    }
  }
  return true;
}

bool TLogExport::WriteOutputChunk(TPendingLines& Lines, bool FileExisted, bool Append,
                                  bool FirstChunk) {
  if (!FOut.IsOpen()) {
    bool Opened;
    if (FileExisted && Append) {
      // Text appended to a workbook would ruin it: such a file cannot take
      // appended lines.
      Opened = CanAppendText(FOutputFileName, FOptions.OutputFormat == OutputFormatExcel) &&
               FOut.OpenAppend(FOutputFileName);
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
  for (std::size_t i = 0; Ok && i < Lines.Count(); ++i) Ok = FOut.WriteLine(Lines[i]);
  if (!Ok) {
    const std::string Reason = FOut.FailureReason();
    FOut.Abandon();
    FUi.Dialog.Show(TMsgKind::Error, MsgClosing, TMsgButtons::OK, Reason);
    return false;
  }
  FAnyChunkWritten = true;
  return true;
}

bool TLogExport::ShowOutputChunk(TPendingLines& Lines, bool FirstChunk) {
  try {
    ITextPane& Pane = FUi.Pane;
    if (FirstChunk) {
      Pane.SetPointSize(10);
      Pane.SetBold(true);
      Pane.AppendLine(TitleLine());
      Pane.AppendLine("");
    }
    Pane.SetBold(false);
    for (std::size_t i = 0; i < Lines.Count(); ++i) Pane.AppendLine(Lines[i]);
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

bool TLogExport::HandOn(TPendingLines& Lines) {
  const bool Ok = IsSaving(FCommandMode)
                      ? WriteOutputChunk(Lines, FFileExisted, FAppend, FFirstChunk)
                      : ShowOutputChunk(Lines, FFirstChunk);
  FFirstChunk = false;
  FFileExisted = true;
  FAppend = true;
  Lines.Clear();
  if (!Ok) FFailed = true;
  // Each chunk reports progress; a user who cancels gets no output at all
  // (a replaced file keeps its old content).
  if (Ok && FUi.Busy.Step(FProgressDone, FProgressTotal)) {
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
    FUi.Dialog.Show(TMsgKind::Error, MsgClosing, TMsgButtons::OK, Reason);
    return false;
  };
  if (!FOut.Close()) return Fail();
  // The workbook is made from the complete text before it replaces the old
  // file, so a failed conversion leaves the old file as it was.
  if (FOptions.OutputFormat == OutputFormatExcel && !ConvertTextToWorkbook(FOut.WrittenName())) {
    FOut.Abandon();
    return false;
  }
  if (!FOut.Publish()) return Fail();
  return true;
}

// Builds the lines of one conversion, one time step at a time, and hands
// them on in chunks.
class TLogExport::TLineMaker {
public:
  TLineMaker(TLogExport& Export, TPendingLines& Pending, const std::string& Separator)
      : FExport(Export), FPending(Pending), FSeparator(Separator),
        FFixed(UsesFixedColumns(Export.FOptions, Export.FCommandMode)),
        FExclude(NonRecordedMode(Export.FOptions) == TNonRecordedMode::Exclude),
        FLineTime(Separator, FFixed, Export.FOptions, Export.FFormat),
        FPreviousDay(DayOfTime(Export.FStartTime)) {}

  std::vector<TColumn> Columns;
  bool Excluding() const { return FExclude; }
  // A time step since the last chunk (also one whose line was excluded).
  bool Processed() const { return FProcessed; }

  // One time step; Value(Column) answers that column's value. Recorded is
  // how many values were. False when a chunk could not be handed on.
  template <typename TValueFn>
  bool Step(LogTime T, TValueFn&& Value, int& Recorded) {
    EnterDay(DayOfTime(T));
    std::string& Line = FPending.Next();
    FLineTime.Append(Line, FNewDay, T);
    FNewDay = false;
    Recorded = 0;
    for (const TColumn& Col : Columns) {
      const float V = Value(Col);
      Line += FSeparator;
      if (IsNonRecorded(V)) {
        if (FFixed) AppendPadding(Line, Col.Width - Length(Col.Missing));
        Line += Col.Missing;
      } else {
        ++Recorded;
        if (FFixed) {
          // Written first, then right-aligned by moving it behind its padding.
          const std::size_t At = Line.size();
          AppendFormattedValue(Line, V, Col.RightDigits);
          const int Pad = std::min(Col.Width - static_cast<int>(Line.size() - At), MaxPadding);
          if (Pad > 0) Line.insert(At, static_cast<std::size_t>(Pad), ' ');
        } else {
          AppendFormattedValue(Line, V, Col.RightDigits);
        }
      }
    }
    if (!(FExclude && Recorded == 0)) FPending.Keep();
    return Stepped();
  }

  // What Step does for a grid time whose line is excluded, without building
  // the line: the day it enters, and the chunk rule.
  bool StepExcluded(LogTime T) {
    EnterDay(DayOfTime(T));
    FNewDay = false;
    return Stepped();
  }

private:
  void EnterDay(std::int64_t Day) {
    if (FPreviousDay < Day) {
      if (FExport.FOptions.AddBlankLine) FPending.Add(std::string());
      FPreviousDay = Day;
      FNewDay = true;
    }
  }
  bool Stepped() {
    FProcessed = true;
    if (static_cast<int>(FPending.Count()) > ChunkLines || FPending.Bytes() > ChunkBytes) {
      FProcessed = false;
      return FExport.HandOn(FPending);
    }
    return true;
  }

  TLogExport& FExport;
  TPendingLines& FPending;
  const std::string& FSeparator;
  bool FFixed;
  bool FExclude;
  TLineTimeFormatter FLineTime;
  bool FNewDay = true;
  std::int64_t FPreviousDay;
  bool FProcessed = false;
};

void TLogExport::StartConversion() {
  FFileExisted = false;
  if (IsSaving(FCommandMode)) {
    FOutputFileName = MakeOutputFileName(FSel.LogFileDir, FSel.LogFileName, FOptions.OutputFormat);
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

void TLogExport::AddColumns(TLineMaker& Maker, int SensorCount) const {
  for (std::size_t i = 0; i < FSel.SensorChoices.size() && static_cast<int>(i) < SensorCount; ++i) {
    const TSensorChoice& C = FSel.SensorChoices[i];
    if (!C.Checked) continue;
    const int L = Length(C.ShortName);
    Maker.Columns.push_back({static_cast<int>(i), C.FullName, C.RightDigits,
                             FOptions.R600ASCII ? std::max(10, L) : std::max(8, L + 2),
                             NonRecordedText(FOptions, C.RightDigits)});
  }
}

void TLogExport::RunRecordLoop(TLineMaker& Maker) {
  const TColumn Col = Maker.Columns.front();
  const TCSVSensor* S = FSel.CSVLog->Sensors().Objects(Col.Position);
  const int Count = S ? S->RecordCount() : 0;
  FProgressTotal = Count;
  for (int k = 0; k < Count; ++k) {
    FProgressDone = k;
    float V;
    LogTime T = 0;
    FSel.CSVLog->GetValueAt(k, Col.Name, V, T);
    int Recorded;
    if (!Maker.Step(
            T, [&](const TColumn&) { return V; }, Recorded))
      break;
  }
}

std::int64_t TLogExport::NextRecordTime(const TLineMaker& Maker, std::int64_t From) const {
  constexpr std::int64_t None = INT64_MAX;
  if (From > INT32_MAX) return None;
  if (FSel.BinaryLogLoaded && FSel.BinaryLog) {
    const TLogFile& Log = *FSel.BinaryLog;
    if (From >= Log.LastTime()) return None;
    return std::max<std::int64_t>(From, Log.FirstTime());
  }
  std::int64_t Next = None;
  for (const TColumn& Col : Maker.Columns) {
    LogTime T;
    if (FSel.CSVLog->NextRecordTime(Col.Position, static_cast<LogTime>(From), T))
      Next = std::min<std::int64_t>(Next, T);
  }
  return Next;
}

bool TLogExport::SkipEmptyStretch(TLineMaker& Maker, std::int64_t& T, std::int64_t Step) {
  // The lines of days on which no checked sensor has a record are all
  // excluded: step over those days at once, doing for each what its steps
  // would have done (a blank line for the new day, the chunk rule).
  const std::int64_t Next = NextRecordTime(Maker, T);
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
  const bool Binary = FSel.BinaryLogLoaded && FSel.BinaryLog;
  std::int64_t T = FStartTime;
  FProgressTotal = std::max<std::int64_t>(End - T, 0);
  for (;;) {
    FProgressDone = T - FStartTime;
    const LogTime LT = static_cast<LogTime>(T);
    int Recorded = 0;
    bool Ok;
    if (Binary) {
      TLogFile& Log = *FSel.BinaryLog;
      Ok = Maker.Step(
          LT, [&](const TColumn& C) { return Log.GetValue(LT, C.Position + 1); }, Recorded);
    } else {
      TCSVLogFile& Log = *FSel.CSVLog;
      Ok = Maker.Step(
          LT, [&](const TColumn& C) { return Log.GetValue(LT, C.Name); }, Recorded);
    }
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

  const bool Binary = FSel.BinaryLogLoaded && FSel.BinaryLog;
  const std::string& DisplayName =
      Binary ? FSel.BinaryLog->DisplayName() : FSel.CSVLog->DisplayName();
  FUi.Status.SetPanelText(1, "Importing from .LOG file " + DisplayName + " ...");
  StartConversion();
  const int SensorCount =
      Binary ? FSel.BinaryLog->Sensors().Count() : FSel.CSVLog->Sensors().Count();
  if (SensorCount == 0) return true;

  TPendingLines Pending;
  if (!(FFileExisted && FOptions.AppendData)) {
    std::vector<std::string> Header;
    BuildColumnHeader(Header, Separator);
    for (const std::string& L : Header) Pending.Add(L);
  }
  bool RecordByRecord = false;
  if (!Binary && !SetUpCSVGrid(RecordByRecord)) return false;

  TLineMaker Maker(*this, Pending, Separator);
  AddColumns(Maker, SensorCount);
  if (RecordByRecord && Maker.Columns.size() == 1) {
    RunRecordLoop(Maker);
  } else {
    if (!ConfirmLongGrid(FSel, FStartTime, FEndTime, FLogInterval, FFormat, FUi.Dialog))
      return false;
    RunGridLoop(Maker);
  }

  if (!FFailed && Maker.Processed()) HandOn(Pending);
  if (FFailed) {
    FOut.Abandon();
    return false;
  }
  if (IsSaving(FCommandMode) && FAnyChunkWritten) return FinishOutput();
  return true;
}

bool ConvertLogToText(TLogSelection& Selection, const TLogPrnOptions& Options,
                      const TDateTimeFormat& Format, int CommandMode, const std::string& Separator,
                      TUiServices& Ui, std::string& OutputFileName) {
  TLogExport Export(Selection, Options, Format, CommandMode, Ui);
  const bool Ok = Export.ConvertLogToText(Separator);
  OutputFileName = Export.OutputFileName();
  return Ok;
}

} // namespace quorvin
