// SPDX-License-Identifier: GPL-3.0-or-later
// The line pipeline of the LOGPRN conversion: the time steps it is given,
// each a time and the values of the columns, become data lines (with blank
// day lines and the column header before them) that are handed on in
// chunks, in order. For a large Save the lines are formatted on worker
// threads while the calling thread reads the log and writes the chunks out.
#pragma once

#include <bit>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "core/DateTimeFormat.h"
#include "core/MiscUtil.h"
#include "report/Formatting.h"
#include "report/LogPrnOptions.h"

namespace quorvin {

// Lines are handed on once more than this many are pending, or once they
// hold more than ChunkBytes characters (very wide lines).
constexpr int ChunkLines = 256;
constexpr std::size_t ChunkBytes = 1 << 20;
// Time steps a chunk holds at most, so a walk whose lines are nearly all
// excluded does not gather a step mark for each of millions of steps.
constexpr std::size_t ChunkSteps = 1 << 16;

// The time steps of one chunk, as the reader answered them, and the lines
// they make. The lines of a chunk are those the conversion hands on at once:
// the column header (first chunk), blank day lines and the kept data lines.
struct TChunk {
  enum : std::uint8_t { BlankBefore = 1, NewDay = 2, Kept = 4 };
  std::vector<std::string> Head;
  std::vector<std::uint8_t> Flags; // one per time step
  // The time and the values (one per column) of each kept line.
  std::vector<LogTime> Times;
  std::vector<float> Values;
  // How far the conversion had come when the chunk was handed on, and the
  // time of its last step: where a walk goes on after it.
  std::int64_t ProgressDone = 0;
  LogTime LastTime = 0;

  // Made by a row formatter: the lines after the head, each ended by CR LF.
  // Text keeps its room from chunk to chunk.
  std::vector<char> Text;
  std::size_t TextSize = 0;
  bool Formatted = false; // guarded by the format pool's lock
  // What formatting the chunk threw, for the caller to throw again.
  std::exception_ptr Error;

  std::size_t Steps() const { return Flags.size(); }
  void Clear();
};

// Where the chunks go, in their order.
class IChunkSink {
public:
  virtual ~IChunkSink() = default;
  // False when the conversion stops (a failed write, a cancel): no further
  // chunk is handed on.
  virtual bool HandOn(const TChunk& Chunk) = 0;
};

class TThreadsTaken;

class TLineMaker {
public:
  // Columns: the values of each line, in order. Head: the lines before the
  // first data line. The day of Start is the day the lines begin in.
  TLineMaker(IChunkSink& Sink, const std::string& Separator, bool Fixed,
             const TLogPrnOptions& Options, const TDateTimeFormat& Format,
             std::vector<TValueColumn> Columns, std::vector<std::string> Head, LogTime Start);
  ~TLineMaker();
  TLineMaker(const TLineMaker&) = delete;
  TLineMaker& operator=(const TLineMaker&) = delete;

  std::size_t ColumnCount() const { return FColumns.size(); }
  // Whether a line without a recorded value is left out.
  bool Excluding() const { return FExclude; }

  // About Steps time steps will follow. Threads: the threads a Save may
  // format on, the calling thread counted (0: what the process's thread
  // budget has left); Parallel: whether this conversion may use more than one.
  void Start(std::int64_t Steps, unsigned Threads, bool Parallel);
  // The steps from now on follow one at Previous (made by an earlier walk):
  // no new day unless the next step enters one.
  void ContinueAfter(LogTime Previous) {
    FPreviousDay = DayOfTime(Previous);
    FNewDay = false;
  }
  // The chunks are handed on without their text: for a walk that only
  // counts the lines.
  void CountOnly() { FCountOnly = true; }
  // How far the conversion has come, for the chunks handed on from now.
  void SetProgress(std::int64_t Done) { FProgress = Done; }

  // One time step; Fill(Values) writes the columns' values, in column order.
  // Recorded is how many values were. False when the conversion stopped.
  template <typename TFillFn>
  bool Step(LogTime T, TFillFn&& Fill, int& Recorded) {
    std::uint8_t Flags = EnterDay(DayOfTime(T));
    std::vector<float>& Values = FChunk->Values;
    const std::size_t At = Values.size();
    Values.resize(At + FColumns.size());
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
    FChunk->LastTime = T;
    return Stepped();
  }

  // What Step does for a grid time whose line is excluded, without asking
  // for its values: the day it enters, and the chunk rule.
  bool StepExcluded(LogTime T) {
    FChunk->Flags.push_back(EnterDay(DayOfTime(T)));
    FChunk->LastTime = T;
    return Stepped();
  }

  // Hands on the rest, when a time step was made since the last chunk, and
  // waits for every chunk to be handed on.
  void Finish();

private:
  class TRowFormatter;
  class TFormatPool;

  std::unique_ptr<TRowFormatter> MakeFormatter() const;
  // Every step enters a day: inline, as the step is.
  std::uint8_t EnterDay(std::int64_t Day) {
    std::uint8_t Flags = 0;
    if (FPreviousDay < Day) {
      if (FOptions.AddBlankLine) {
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
    if (FLines > static_cast<std::size_t>(ChunkLines) || FBytes > ChunkBytes ||
        FChunk->Flags.size() >= ChunkSteps)
      return HandOnChunk();
    return true;
  }
  bool HandOnChunk();
  void WriteReady(bool Wait);
  void Deliver(const TChunk& Chunk);
  std::unique_ptr<TChunk> NewChunk();

  IChunkSink& FSink;
  std::string FSeparator;
  bool FFixed;
  const TLogPrnOptions& FOptions;
  const TDateTimeFormat& FFormat;
  std::vector<TValueColumn> FColumns;
  bool FExclude;
  bool FStopped = false;
  bool FCountOnly = false;
  bool FNewDay = true;
  std::int64_t FPreviousDay;
  std::int64_t FProgress = 0;
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
  // The workers' threads, when taken from the process's budget.
  std::unique_ptr<TThreadsTaken> FWorkersTaken;
};

} // namespace quorvin
