// SPDX-License-Identifier: GPL-3.0-or-later
// Owning growable arrays of objects, and a sorted variant found by binary
// search. Misuse (an index out of range, an overflow) is a programming error
// and stops the program with run-time error 213 or 214.
#pragma once

#include <cstdint>
#include <vector>

namespace quorvin {

class TObject {
public:
  virtual ~TObject() = default;
};

// A key is pointer-sized: an item reference, or a number such as a log time.
using TKey = std::intptr_t;

constexpr int MaxCollectionSize = 536870911;

// What misuse of a collection does. Each front end installs its handler (the
// batch tool prints "Runtime error N", the window shows it); the handler is
// told the run-time error number and the program then ends with it as its
// exit status, whether or not a handler is installed. A handler may end the
// program itself (a program running engines on several threads must, since
// std::exit with other threads still running is not safe).
using TRunErrorHandler = void (*)(int RunError);
void SetRunErrorHandler(TRunErrorHandler Handler);

class TCollection {
public:
  TCollection(int ALimit, int ADelta);
  virtual ~TCollection();
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;

  int Count() const { return FCount; }
  int Limit() const { return FLimit; }

  TObject* ItemAt(int Index);
  void InsertAt(int Index, TObject* Item);
  void FreeAllItems();
  // Frees the items before Index and moves the rest to the front in one step
  // (a cache dropping what lies behind it). Index may be 0 to Count.
  void FreeItemsBefore(int Index);

  virtual void Error(int Code, int Info);
  virtual void FreeItem(TObject* Item);
  virtual int IndexOf(TObject* Item);
  virtual void Insert(TObject* Item);
  virtual void SetLimit(int ALimit);

protected:
  int FCount = 0;
  int FLimit = 0;
  int FDelta = 0;

private:
  // Room is reserved geometrically beneath the stepwise Limit, so a cache of
  // a million records does not copy its references twenty thousand times.
  std::vector<TObject*> FItems;
};

class TSortedCollection : public TCollection {
public:
  using TCollection::TCollection;

  bool Duplicates = false;

  int IndexOf(TObject* Item) override;
  void Insert(TObject* Item) override;
  virtual int Compare(TKey Key1, TKey Key2) = 0;
  virtual bool Search(TKey Key, int& Index);
  virtual TKey KeyOf(TObject* Item);
};

} // namespace quorvin
