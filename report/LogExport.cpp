// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/LogExport.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>

#include "core/Cores.h"
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
const char* const MsgClosing = "Error closing Log Output file.";

// A grid step of three days: the start of the search for the smallest
// interval of the checked sensors.
constexpr std::int32_t LongestGridStep = 259200;

int Length(const std::string& Text) { return static_cast<int>(Text.size()); }

// Longest run of padding blanks a line ever gets.
constexpr int MaxPadding = 46;

// Below this many time steps a Save is formatted by the calling thread alone.
constexpr std::int64_t ParallelSteps = 16384;

} // namespace

// One checked sensor's column.
struct TLogExport::TColumn {
  int Position; // 0-based in the log's sensor order
  int RightDigits;
  int Width;           // fixed-column width of its values
  std::string Missing; // its text for a value not recorded
};

// The time steps of one chunk, as the reader answered them, and the lines
// they make. The lines of a chunk are those the conversion hands on at once:
// the column header (first chunk), blank day lines and the kept data lines.
struct TLogExport::TChunk {
  enum : std::uint8_t { BlankBefore = 1, NewDay = 2, Kept = 4 };
  std::vector<std::string> Head;
  std::vector<std::uint8_t> Flags; // one per time step
  // The time and the values (one per column) of each kept line.
  std::vector<LogTime> Times;
  std::vector<float> Values;
  std::int64_t ProgressDone = 0;

  // Made by a row formatter: the lines after the head, each ended by CR LF.
  // Text keeps its room from chunk to chunk.
  std::vector<char> Text;
  std::size_t TextSize = 0;
  bool Formatted = false; // guarded by the format pool's lock
  std::exception_ptr Error;

  std::size_t Steps() const { return Flags.size(); }
  void Clear() {
    Head.clear();
    Times.clear();
    Flags.clear();
    Values.clear();
    TextSize = 0;
    Formatted = false;
    Error = nullptr;
  }
};

// Writes the lines of chunks. Each thread has its own: the time texts it
// keeps are its own.
class TLogExport::TRowFormatter {
public:
  TRowFormatter(const std::string& Separator, bool Fixed, const TLogPrnOptions& Options,
                const TDateTimeFormat& Format, const std::vector<TColumn>& Columns)
      : FSeparator(Separator), FFixed(Fixed), FColumns(Columns),
        FTime(Separator, Fixed, Options, Format) {
    for (const TColumn& C : Columns) FValueColumns.push_back({C.RightDigits, C.Width, C.Missing});
    // A line's room: the time, then per column the separator, the padding
    // and the value (whose writing may go past its text, within its room).
    FRowRoom = FTime.Room() + 2;
    FLineBound = FTime.Room();
    for (const TColumn& C : Columns) {
      FRowRoom += Separator.size() + MaxPadding +
                  std::max(C.Missing.size(), FormattedValueRoom(C.RightDigits));
      // A single's value: sign, 39 digits, point, the decimals.
      FLineBound += Separator.size() + (Fixed ? MaxPadding : 0) +
                    std::max<std::size_t>(C.Missing.size(), std::max(C.RightDigits, 0) + 41);
    }
  }
  // The most characters a data line can have.
  std::size_t LineBound() const { return FLineBound; }

  void Format(TChunk& C) {
    C.TextSize = 0;
    const std::size_t Count = FColumns.size();
    const float* Values = C.Values.data();
    std::size_t Kept = 0;
    for (const std::uint8_t Flags : C.Flags) {
      if (C.Text.size() < C.TextSize + FRowRoom + 2)
        C.Text.resize(std::max(2 * C.Text.size(), C.TextSize + FRowRoom + 2));
      char* P = C.Text.data() + C.TextSize;
      if (Flags & TChunk::BlankBefore) {
        *P++ = '\r';
        *P++ = '\n';
        C.TextSize += 2;
      }
      if (!(Flags & TChunk::Kept)) continue;
      P = FTime.Put(P, Flags & TChunk::NewDay, C.Times[Kept++]);
      P = PutValues(P, Values, FValueColumns.data(), Count, FSeparator, FFixed);
      *P++ = '\r';
      *P++ = '\n';
      C.TextSize = static_cast<std::size_t>(P - C.Text.data());
      Values += Count;
    }
  }

private:
  std::string FSeparator;
  bool FFixed;
  const std::vector<TColumn>& FColumns;
  std::vector<TValueColumn> FValueColumns;
  TLineTimeFormatter FTime;
  std::size_t FRowRoom;
  std::size_t FLineBound;
};

// Worker threads that format chunks while the calling thread reads the log
// and writes the chunks out in order. A chunk no worker has taken yet when
// its turn to be written comes is formatted by the caller itself.
class TLogExport::TFormatPool {
public:
  using TMake = std::function<std::unique_ptr<TRowFormatter>()>;

  TFormatPool(unsigned Workers, const TMake& Make) {
    for (unsigned I = 0; I < Workers; ++I)
      FThreads.emplace_back([this, Formatter = Make()] { Work(*Formatter); });
  }
  ~TFormatPool() {
    {
      const std::lock_guard<std::mutex> Lock(FLock);
      FStop = true;
    }
    FWork.notify_all();
    for (std::thread& T : FThreads) T.join();
  }
  TFormatPool(const TFormatPool&) = delete;
  TFormatPool& operator=(const TFormatPool&) = delete;

  void Submit(TChunk& C) {
    {
      const std::lock_guard<std::mutex> Lock(FLock);
      FQueue.push_back(&C);
    }
    FWork.notify_one();
  }
  bool IsFormatted(const TChunk& C) {
    const std::lock_guard<std::mutex> Lock(FLock);
    return C.Formatted;
  }
  // Returns once C is formatted, by a worker or by Own.
  void Finish(TChunk& C, TRowFormatter& Own) {
    std::unique_lock<std::mutex> Lock(FLock);
    const auto Queued = std::find(FQueue.begin(), FQueue.end(), &C);
    if (Queued != FQueue.end()) {
      FQueue.erase(Queued);
      Lock.unlock();
      Run(C, Own);
      Lock.lock();
      C.Formatted = true;
      return;
    }
    FDone.wait(Lock, [&] { return C.Formatted; });
  }

private:
  static void Run(TChunk& C, TRowFormatter& Formatter) {
    try {
      Formatter.Format(C);
    } catch (...) {
      C.Error = std::current_exception();
    }
  }
  void Work(TRowFormatter& Formatter) {
    for (;;) {
      TChunk* C;
      {
        std::unique_lock<std::mutex> Lock(FLock);
        FWork.wait(Lock, [&] { return FStop || !FQueue.empty(); });
        if (FStop) return;
        C = FQueue.front();
        FQueue.pop_front();
      }
      Run(*C, Formatter);
      {
        const std::lock_guard<std::mutex> Lock(FLock);
        C->Formatted = true;
      }
      FDone.notify_all();
    }
  }

  std::mutex FLock;
  std::condition_variable FWork, FDone;
  std::deque<TChunk*> FQueue;
  bool FStop = false;
  std::vector<std::thread> FThreads;
};

TLogExport::TLogExport(TSelectedLog& Selection, const TLogPrnOptions& Options,
                       const TDateTimeFormat& Format, int CommandMode, TUiServices& Ui)
    : FSel(Selection), FOptions(Options), FFormat(Format), FCommandMode(CommandMode), FUi(Ui) {}

std::string TLogExport::MakeOutputFileName(const std::string& LogFileDir,
                                           const std::string& LogFileName, int OutputFormat) {
  return OutputNameBeside(LogFileDir, LogFileName, OutputFormat == OutputFormatExcel);
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
  for (std::size_t i = 0; Ok && i < Chunk.Head.size(); ++i) Ok = FOut.WriteLine(Chunk.Head[i]);
  if (Ok) Ok = FOut.Write(std::string_view(Chunk.Text.data(), Chunk.TextSize));
  if (!Ok) {
    const std::string Reason = FOut.FailureReason();
    FOut.Abandon();
    FUi.Dialog.Show(TMsgKind::Error, MsgClosing, TMsgButtons::OK, Reason);
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
  // A chunk whose lines could not be made fails as the caller's own work would.
  if (Chunk.Error) std::rethrow_exception(Chunk.Error);
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

// Takes the time steps of one conversion and hands their lines on in
// chunks. The lines are made by row formatters: on the calling thread, or
// for a large Save on worker threads as well, while this one reads the log
// and writes the chunks out in their order.
class TLogExport::TLineMaker {
public:
  TLineMaker(TLogExport& Export, std::vector<std::string> Head, const std::string& Separator)
      : FExport(Export), FSeparator(Separator),
        FFixed(UsesFixedColumns(Export.FOptions, Export.FCommandMode)),
        FExclude(NonRecordedMode(Export.FOptions) == TNonRecordedMode::Exclude),
        FPreviousDay(DayOfTime(Export.FStartTime)), FChunk(std::make_unique<TChunk>()) {
    FChunk->Head = std::move(Head);
    FLines = FChunk->Head.size();
    for (const std::string& Line : FChunk->Head) FBytes += Line.size();
  }
  ~TLineMaker() {
    // The workers end before the chunks they may still hold.
    FPool.reset();
  }

  std::vector<TColumn> Columns;
  bool Excluding() const { return FExclude; }

  // Once the columns are in: about Steps time steps will follow.
  void Start(std::int64_t Steps) {
    FOwn = MakeFormatter();
    FLineBytes = FOwn->LineBound();
    const unsigned Threads = FExport.FFormatThreads != 0 ? FExport.FFormatThreads : UsableCores();
    if (IsSaving(FExport.FCommandMode) && Threads > 1 && Steps >= ParallelSteps) {
      FPool = std::make_unique<TFormatPool>(Threads - 1, [this] { return MakeFormatter(); });
      FMostInFlight = 4 * Threads;
    }
  }

  // One time step; Fill(Values) writes the columns' values, in column order.
  // Recorded is how many values were. False when a chunk could not be handed
  // on.
  template <typename TFillFn>
  bool Step(LogTime T, TFillFn&& Fill, int& Recorded) {
    std::uint8_t Flags = EnterDay(DayOfTime(T));
    std::vector<float>& Values = FChunk->Values;
    const std::size_t At = Values.size();
    Values.resize(At + Columns.size());
    Fill(Values.data() + At);
    Recorded = 0;
    for (std::size_t I = At; I < Values.size(); ++I)
      Recorded += std::bit_cast<std::uint32_t>(Values[I]) != NonRecordedBits;
    if (FExclude && Recorded == 0) {
      Values.resize(At);
    } else {
      Flags |= TChunk::Kept;
      FChunk->Times.push_back(T);
      ++FLines;
      FBytes += FLineBytes;
    }
    FChunk->Flags.push_back(Flags);
    return Stepped();
  }

  // What Step does for a grid time whose line is excluded, without asking
  // for its values: the day it enters, and the chunk rule.
  bool StepExcluded(LogTime T) {
    FChunk->Flags.push_back(EnterDay(DayOfTime(T)));
    return Stepped();
  }

  // Hands on the rest, when a time step was made since the last chunk, and
  // waits for every chunk to be written.
  void Finish() {
    if (!FExport.FFailed && FChunk->Steps() > 0) HandOnChunk();
    if (FPool) WriteReady(true);
    FPool.reset();
  }

private:
  std::unique_ptr<TRowFormatter> MakeFormatter() const {
    return std::make_unique<TRowFormatter>(FSeparator, FFixed, FExport.FOptions, FExport.FFormat,
                                           Columns);
  }
  std::uint8_t EnterDay(std::int64_t Day) {
    std::uint8_t Flags = 0;
    if (FPreviousDay < Day) {
      if (FExport.FOptions.AddBlankLine) {
        Flags |= TChunk::BlankBefore;
        ++FLines;
      }
      FPreviousDay = Day;
      FNewDay = true;
    }
    if (FNewDay) Flags |= TChunk::NewDay;
    FNewDay = false;
    return Flags;
  }
  bool Stepped() {
    if (FLines > static_cast<std::size_t>(ChunkLines) || FBytes > ChunkBytes) return HandOnChunk();
    return true;
  }
  bool HandOnChunk() {
    FChunk->ProgressDone = FExport.FProgressDone;
    if (FPool) {
      FPool->Submit(*FChunk);
      FInFlight.push_back(std::move(FChunk));
      WriteReady(false);
    } else {
      FOwn->Format(*FChunk);
      FExport.HandOn(*FChunk);
      FSpare.push_back(std::move(FChunk));
    }
    FChunk = NewChunk();
    FLines = 0;
    FBytes = 0;
    return !FExport.FFailed;
  }
  // Writes out the oldest chunks in flight: those formatted already, and
  // more while too many are in flight (all with Wait).
  void WriteReady(bool Wait) {
    while (!FInFlight.empty() && !FExport.FFailed) {
      TChunk& C = *FInFlight.front();
      if (!Wait && FInFlight.size() < FMostInFlight && !FPool->IsFormatted(C)) break;
      FPool->Finish(C, *FOwn);
      FExport.HandOn(C);
      FSpare.push_back(std::move(FInFlight.front()));
      FInFlight.pop_front();
    }
  }
  std::unique_ptr<TChunk> NewChunk() {
    if (FSpare.empty()) return std::make_unique<TChunk>();
    std::unique_ptr<TChunk> C = std::move(FSpare.back());
    FSpare.pop_back();
    C->Clear();
    return C;
  }

  TLogExport& FExport;
  const std::string& FSeparator;
  bool FFixed;
  bool FExclude;
  bool FNewDay = true;
  std::int64_t FPreviousDay;
  // The chunk being filled and the lines it makes.
  std::unique_ptr<TChunk> FChunk;
  std::size_t FLines = 0;
  // At least the characters of its lines: very wide lines are handed on
  // before 256 of them add up to megabytes.
  std::size_t FBytes = 0;
  std::size_t FLineBytes = 0;
  std::unique_ptr<TRowFormatter> FOwn;
  // Chunks with the workers, oldest first, and chunks to use again.
  std::deque<std::unique_ptr<TChunk>> FInFlight;
  std::vector<std::unique_ptr<TChunk>> FSpare;
  std::size_t FMostInFlight = 0;
  std::unique_ptr<TFormatPool> FPool;
};

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

void TLogExport::AddColumns(TLineMaker& Maker, int SensorCount) const {
  for (std::size_t i = 0; i < FSel.SensorChoices.size() && static_cast<int>(i) < SensorCount; ++i) {
    const TSensorChoice& C = FSel.SensorChoices[i];
    if (!C.Checked) continue;
    const int L = Length(C.ShortName);
    Maker.Columns.push_back({static_cast<int>(i), C.RightDigits,
                             FOptions.R600ASCII ? std::max(10, L) : std::max(8, L + 2),
                             NonRecordedText(FOptions, C.RightDigits)});
  }
}

void TLogExport::RunRecordLoop(TLineMaker& Maker) {
  const int SensorIndex = Maker.Columns.front().Position + 1;
  const int Count = FSel.Log->RecordCount(SensorIndex);
  FProgressTotal = Count;
  Maker.Start(Count);
  for (int k = 0; k < Count; ++k) {
    FProgressDone = k;
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

std::int64_t TLogExport::NextRecordTime(const TLineMaker& Maker, std::int64_t From) const {
  constexpr std::int64_t None = INT64_MAX;
  if (From > INT32_MAX) return None;
  std::int64_t Next = None;
  for (const TColumn& Col : Maker.Columns) {
    LogTime T;
    if (FSel.Log->NextRecordTime(Col.Position + 1, static_cast<LogTime>(From), T))
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
  ILogReader& Log = *FSel.Log;
  std::int64_t T = FStartTime;
  FProgressTotal = std::max<std::int64_t>(End - T, 0);
  Maker.Start(Step > 0 ? (End - T) / Step + 1 : 2);
  std::vector<int> SensorIndexes;
  for (const TColumn& C : Maker.Columns) SensorIndexes.push_back(C.Position + 1);
  for (;;) {
    FProgressDone = T - FStartTime;
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
  FUi.Status.SetPanelText(1, "Importing from .LOG file " + Log.DisplayName() + " ...");
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

  TLineMaker Maker(*this, std::move(Header), Separator);
  AddColumns(Maker, SensorCount);
  if (RecordByRecord && Maker.Columns.size() == 1) {
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
                      const TDateTimeFormat& Format, int CommandMode, const std::string& Separator,
                      TUiServices& Ui, std::string& OutputFileName) {
  TLogExport Export(Selection, Options, Format, CommandMode, Ui);
  const bool Ok = Export.ConvertLogToText(Separator);
  OutputFileName = Export.OutputFileName();
  return Ok;
}

} // namespace quorvin
