// SPDX-License-Identifier: GPL-3.0-or-later
// The threads the process's work may keep busy at once: one per usable
// core. Whoever runs work on threads of its own (a batch over many files, a
// large Save's formatting pool) takes its threads from this one budget, so
// work started inside other work does not multiply the threads.
#pragma once

#include <mutex>

namespace quorvin {

class TThreadBudget {
public:
  explicit TThreadBudget(unsigned Total) : FFree(static_cast<long>(Total)) {}

  // Takes up to Wanted threads; answers how many were granted (maybe 0).
  unsigned Take(unsigned Wanted);
  // Takes Count threads whether or not the budget has them: threads the
  // user asked for by number.
  void TakeAnyway(unsigned Count);
  void Give(unsigned Count);
  // Threads left to take.
  unsigned Free() const;

private:
  mutable std::mutex FLock;
  long FFree;
};

// The process's budget, sized to the usable cores.
TThreadBudget& ProcessThreads();

// Threads taken from a budget for as long as the scope lasts.
class TThreadsTaken {
public:
  TThreadsTaken(TThreadBudget& Budget, unsigned Count) : FBudget(Budget), FCount(Count) {}
  ~TThreadsTaken() { FBudget.Give(FCount); }
  TThreadsTaken(const TThreadsTaken&) = delete;
  TThreadsTaken& operator=(const TThreadsTaken&) = delete;
  unsigned Count() const { return FCount; }

private:
  TThreadBudget& FBudget;
  unsigned FCount;
};

} // namespace quorvin
