// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/BatchRun.h"

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <set>
#include <streambuf>
#include <thread>

#include "cli/ConsoleUi.h"
#include "core/ThreadBudget.h"

namespace quorvin::cli {

namespace {

class TOrderedOutput;

// Hands every write of one item's stream to the ordered output, unbuffered,
// so nothing waits in the stream when the item's turn comes.
class TItemBuf : public std::streambuf {
public:
  TItemBuf(TOrderedOutput& Owner, std::size_t Item, int Which)
      : FOwner(Owner), FItem(Item), FWhich(Which) {}

protected:
  std::streamsize xsputn(const char* Text, std::streamsize Count) override;
  int_type overflow(int_type C) override;

private:
  TOrderedOutput& FOwner;
  std::size_t FItem;
  int FWhich;
};

class TOrderedOutput {
public:
  TOrderedOutput(std::size_t Count, std::ostream& Out, std::ostream& Err, int Columns, bool Plain)
      : FReal{&Out, &Err}, FItems(Count), FColumns(Columns), FPlain(Plain) {
    for (std::size_t I = 0; I < Count; ++I)
      for (int W = 0; W < 2; ++W) {
        FItems[I].Buf[W] = std::make_unique<TItemBuf>(*this, I, W);
        FItems[I].Stream[W] = std::make_unique<std::ostream>(FItems[I].Buf[W].get());
      }
  }

  std::ostream& Stream(std::size_t Item, int Which) { return *FItems[Item].Stream[Which]; }

  void Write(std::size_t Item, int Which, const char* Text, std::size_t Count) {
    const std::lock_guard<std::mutex> Lock(FLock);
    if (Item == FNext) {
      ClearProgress();
      FReal[Which]->write(Text, static_cast<std::streamsize>(Count));
    } else {
      FItems[Item].Held[Which].append(Text, Count);
    }
  }

  void Started(const std::string& Input) {
    const std::lock_guard<std::mutex> Lock(FLock);
    FCurrent = Input;
    if (FPlain && FColumns > 0) {
      // A line per file started: nothing that would have to be taken back.
      FReal[0]->flush();
      *FReal[1] << ProgressText(FDone, FItems.size(), FCurrent, FColumns) << '\n';
      FReal[1]->flush();
      return;
    }
    DrawProgress();
  }

  void Finished(std::size_t Item) {
    const std::lock_guard<std::mutex> Lock(FLock);
    FItems[Item].Done = true;
    ++FDone;
    // The items whose turn has come print what they hold; the first that is
    // still running then writes straight through.
    while (FNext < FItems.size() && FItems[FNext].Done) {
      ++FNext;
      if (FNext < FItems.size()) PrintHeld(FItems[FNext]);
    }
    FReal[0]->flush();
    FReal[1]->flush();
    DrawProgress();
  }

  void EndProgress() {
    const std::lock_guard<std::mutex> Lock(FLock);
    ClearProgress();
  }

  [[noreturn]] void EndWithRunError(std::size_t Item, int RunError) {
    // Held for good: nothing else prints while the process ends.
    FLock.lock();
    ClearProgress();
    for (std::size_t I = FNext; I < Item; ++I)
      if (FItems[I].Done) PrintHeld(FItems[I]);
    PrintHeld(FItems[Item]);
    *FReal[1] << "Runtime error " << RunError << "\n";
    FReal[0]->flush();
    FReal[1]->flush();
    std::fflush(nullptr);
    // Other threads may still be inside the engines: no exit handlers run.
    std::_Exit(RunError);
  }

private:
  struct TItem {
    std::unique_ptr<TItemBuf> Buf[2];
    std::unique_ptr<std::ostream> Stream[2];
    std::string Held[2];
    bool Done = false;
  };

  void PrintHeld(TItem& Item) {
    for (int W = 0; W < 2; ++W) {
      if (Item.Held[W].empty()) continue;
      ClearProgress();
      FReal[W]->write(Item.Held[W].data(), static_cast<std::streamsize>(Item.Held[W].size()));
      std::string().swap(Item.Held[W]);
    }
  }

  void DrawProgress() {
    if (FColumns <= 0 || FDone >= FItems.size()) return;
    if (FPlain) return;
    // What standard output holds goes first, so the line stays the last one.
    FReal[0]->flush();
    *FReal[1] << '\r' << ProgressText(FDone, FItems.size(), FCurrent, FColumns) << "\033[K";
    FReal[1]->flush();
    FProgressShown = true;
  }

  void ClearProgress() {
    if (!FProgressShown) return;
    *FReal[1] << "\r\033[K";
    FReal[1]->flush();
    FProgressShown = false;
  }

  std::mutex FLock;
  std::ostream* FReal[2];
  std::vector<TItem> FItems;
  std::size_t FNext = 0; // the item whose turn it is to print
  std::size_t FDone = 0;
  std::string FCurrent;
  int FColumns;
  bool FPlain;
  bool FProgressShown = false;
};

std::streamsize TItemBuf::xsputn(const char* Text, std::streamsize Count) {
  if (Count > 0) FOwner.Write(FItem, FWhich, Text, static_cast<std::size_t>(Count));
  return Count;
}

TItemBuf::int_type TItemBuf::overflow(int_type C) {
  if (traits_type::eq_int_type(C, traits_type::eof())) return traits_type::not_eof(C);
  const char Ch = traits_type::to_char_type(C);
  FOwner.Write(FItem, FWhich, &Ch, 1);
  return C;
}

// The batch work running on this thread, for a run-time error.
thread_local TOrderedOutput* CurrentOutput = nullptr;
thread_local std::size_t CurrentItem = 0;

} // namespace

std::string ProgressText(std::size_t Done, std::size_t Total, const std::string& Current,
                         int Columns) {
  const std::string Name = ConsoleText(Current);
  std::string Text = "[" + std::to_string(Done) + "/" + std::to_string(Total) + "] ";
  // One column short of the width, so the line never wraps.
  const std::size_t Room = Columns > 1 ? static_cast<std::size_t>(Columns - 1) : 0;
  if (Text.size() + Name.size() <= Room) return Text + Name;
  if (Room <= Text.size() + 3) return Text.substr(0, Room);
  return Text + "..." + Name.substr(Name.size() - (Room - Text.size() - 3));
}

std::vector<TBatchResult> RunBatch(const std::vector<TBatchItem>& Items,
                                   const TBatchSettings& Settings, std::ostream& Out,
                                   std::ostream& Err, const TBatchWork& Work) {
  const std::size_t Count = Items.size();
  std::vector<TBatchResult> Results(Count);
  if (Count == 0) return Results;
  TOrderedOutput Output(Count, Out, Err, Settings.ProgressColumns, Settings.PlainProgress);

  // Items with one target form a chain: each waits for the one before it.
  constexpr std::size_t None = static_cast<std::size_t>(-1);
  std::vector<std::size_t> NextOfTarget(Count, None);
  std::set<std::size_t> Ready;
  std::map<std::string, std::size_t> LastOfTarget;
  for (std::size_t I = 0; I < Count; ++I) {
    if (Items[I].Target.empty()) {
      Ready.insert(I);
      continue;
    }
    const auto [It, First] = LastOfTarget.try_emplace(Items[I].Target, I);
    if (First) {
      Ready.insert(I);
    } else {
      NextOfTarget[It->second] = I;
      It->second = I;
    }
  }

  std::mutex Lock;
  std::condition_variable Changed;
  std::size_t Finished = 0;
  auto RunOne = [&](std::size_t I) {
    Output.Started(Items[I].Input);
    CurrentOutput = &Output;
    CurrentItem = I;
    try {
      Results[I] = Work(Items[I].Input, Output.Stream(I, 0), Output.Stream(I, 1));
    } catch (...) {
      Results[I] = TBatchResult{1, {}, {}};
    }
    CurrentOutput = nullptr;
    Output.Finished(I);
  };
  // The earliest ready item first, so the output moves on as soon as it can.
  auto Worker = [&] {
    // Asked for by number: taken whether or not the budget has them.
    ProcessThreads().TakeAnyway(1);
    const TThreadsTaken Held(ProcessThreads(), 1);
    for (;;) {
      std::size_t I;
      {
        std::unique_lock<std::mutex> L(Lock);
        Changed.wait(L, [&] { return !Ready.empty() || Finished == Count; });
        if (Ready.empty()) return;
        I = *Ready.begin();
        Ready.erase(Ready.begin());
      }
      RunOne(I);
      {
        const std::lock_guard<std::mutex> L(Lock);
        ++Finished;
        if (NextOfTarget[I] != None) Ready.insert(NextOfTarget[I]);
      }
      Changed.notify_all();
    }
  };

  const std::size_t Threads = std::min<std::size_t>(std::max(Settings.Jobs, 1u), Count);
  std::vector<std::thread> Others;
  for (std::size_t T = 1; T < Threads; ++T) Others.emplace_back(Worker);
  Worker();
  for (std::thread& T : Others) T.join();
  Output.EndProgress();
  return Results;
}

bool EndBatchWithRunError(int RunError) {
  if (!CurrentOutput) return false;
  CurrentOutput->EndWithRunError(CurrentItem, RunError);
}

} // namespace quorvin::cli
