// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/LineMaker.h"

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "core/Cores.h"
#include "core/ThreadBudget.h"

namespace quorvin {

namespace {

// Below this many time steps a Save is formatted by the calling thread alone.
constexpr std::int64_t ParallelSteps = 16384;

} // namespace

void TChunk::Clear() {
  Head.clear();
  Times.clear();
  Flags.clear();
  Values.clear();
  LastTime = 0;
  TextSize = 0;
  Formatted = false;
  Error = nullptr;
}

// Writes the lines of chunks. Each thread has its own: the time texts it
// keeps are its own.
class TLineMaker::TRowFormatter {
public:
  TRowFormatter(const std::string& Separator, bool Fixed, const TLogPrnOptions& Options,
                const TDateTimeFormat& Format, const std::vector<TValueColumn>& Columns)
      : FSeparator(Separator), FFixed(Fixed), FColumns(Columns),
        FTime(Separator, Fixed, Options, Format) {
    // A line's room: the time, then per column the separator, the padding
    // and the value (whose writing may go past its text, within its room).
    FRowRoom = FTime.Room() + 2;
    FLineBound = FTime.Room();
    for (const TValueColumn& C : Columns) {
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
      P = PutValues(P, Values, FColumns.data(), Count, FSeparator, FFixed);
      *P++ = '\r';
      *P++ = '\n';
      C.TextSize = static_cast<std::size_t>(P - C.Text.data());
      Values += Count;
    }
  }

private:
  std::string FSeparator;
  bool FFixed;
  const std::vector<TValueColumn>& FColumns;
  TLineTimeFormatter FTime;
  std::size_t FRowRoom;
  std::size_t FLineBound;
};

// Worker threads that format chunks while the calling thread reads the log
// and writes the chunks out in order. A chunk no worker has taken yet when
// its turn to be written comes is formatted by the caller itself.
class TLineMaker::TFormatPool {
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

TLineMaker::TLineMaker(IChunkSink& Sink, const std::string& Separator, bool Fixed,
                       const TLogPrnOptions& Options, const TDateTimeFormat& Format,
                       std::vector<TValueColumn> Columns, std::vector<std::string> Head,
                       LogTime Start)
    : FSink(Sink), FSeparator(Separator), FFixed(Fixed), FOptions(Options), FFormat(Format),
      FColumns(std::move(Columns)), FExclude(NonRecordedMode(Options) == TNonRecordedMode::Exclude),
      FPreviousDay(DayOfTime(Start)), FChunk(std::make_unique<TChunk>()) {
  FChunk->Head = std::move(Head);
  FLines = FChunk->Head.size();
  for (const std::string& Line : FChunk->Head) FBytes += Line.size();
}

TLineMaker::~TLineMaker() {
  // The workers end before the chunks they may still hold.
  FPool.reset();
  FWorkersTaken.reset();
}

void TLineMaker::Start(std::int64_t Steps, unsigned Threads, bool Parallel) {
  FOwn = MakeFormatter();
  FLineBytes = FOwn->LineBound();
  if (!Parallel || FCountOnly || Steps < ParallelSteps) return;
  // Workers beside this thread: as many as were asked for, or what the
  // process's threads have left (other files of a batch may hold them).
  unsigned Workers;
  if (Threads != 0) {
    Workers = Threads - 1;
  } else {
    Workers = ProcessThreads().Take(UsableCores() - 1);
    FWorkersTaken = std::make_unique<TThreadsTaken>(ProcessThreads(), Workers);
  }
  if (Workers == 0) return;
  FPool = std::make_unique<TFormatPool>(Workers, [this] { return MakeFormatter(); });
  FMostInFlight = 4 * (Workers + 1);
}

void TLineMaker::Finish() {
  if (!FStopped && FChunk->Steps() > 0) HandOnChunk();
  if (FPool) WriteReady(true);
  FPool.reset();
  FWorkersTaken.reset();
}

std::unique_ptr<TLineMaker::TRowFormatter> TLineMaker::MakeFormatter() const {
  return std::make_unique<TRowFormatter>(FSeparator, FFixed, FOptions, FFormat, FColumns);
}

bool TLineMaker::HandOnChunk() {
  FChunk->ProgressDone = FProgress;
  if (FPool) {
    FPool->Submit(*FChunk);
    FInFlight.push_back(std::move(FChunk));
    WriteReady(false);
  } else {
    if (!FCountOnly) FOwn->Format(*FChunk);
    Deliver(*FChunk);
    FSpare.push_back(std::move(FChunk));
  }
  FChunk = NewChunk();
  FLines = 0;
  FBytes = 0;
  return !FStopped;
}

// Hands on the oldest chunks in flight: those formatted already, and more
// while too many are in flight (all with Wait).
void TLineMaker::WriteReady(bool Wait) {
  while (!FInFlight.empty() && !FStopped) {
    TChunk& C = *FInFlight.front();
    if (!Wait && FInFlight.size() < FMostInFlight && !FPool->IsFormatted(C)) break;
    FPool->Finish(C, *FOwn);
    Deliver(C);
    FSpare.push_back(std::move(FInFlight.front()));
    FInFlight.pop_front();
  }
}

void TLineMaker::Deliver(const TChunk& Chunk) {
  // A chunk whose lines could not be made fails as the caller's own work would.
  if (Chunk.Error) std::rethrow_exception(Chunk.Error);
  if (!FSink.HandOn(Chunk)) FStopped = true;
}

std::unique_ptr<TChunk> TLineMaker::NewChunk() {
  if (FSpare.empty()) return std::make_unique<TChunk>();
  std::unique_ptr<TChunk> C = std::move(FSpare.back());
  FSpare.pop_back();
  C->Clear();
  return C;
}

} // namespace quorvin
