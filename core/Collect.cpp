// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Collect.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace quorvin {

TCollection::TCollection(int ALimit, int ADelta) : FDelta(ADelta) { SetLimit(ALimit); }

TCollection::~TCollection() {
  // Slots called from a destructor are this class's own; descendants that
  // free items their own way call FreeAllItems in their destructors.
  FreeAllItems();
  SetLimit(0);
}

namespace {
// Read by whichever thread misuses a collection while another may install.
std::atomic<TRunErrorHandler> RunErrorHandler = nullptr;
} // namespace

void SetRunErrorHandler(TRunErrorHandler Handler) { RunErrorHandler.store(Handler); }

void TCollection::Error(int Code, int /*Info*/) {
  const int RunError = 212 - Code;
  if (const TRunErrorHandler Handler = RunErrorHandler.load()) Handler(RunError);
  std::exit(RunError);
}

void TCollection::FreeItem(TObject* Item) { delete Item; }

int TCollection::IndexOf(TObject* Item) {
  for (int I = 0; I < FCount; ++I)
    if (FItems[static_cast<std::size_t>(I)] == Item) return I;
  return -1;
}

void TCollection::Insert(TObject* Item) { InsertAt(FCount, Item); }

void TCollection::SetLimit(int ALimit) {
  if (ALimit < FCount) ALimit = FCount;
  if (ALimit > MaxCollectionSize) ALimit = MaxCollectionSize;
  if (ALimit == FLimit) return;
  std::size_t Want = static_cast<std::size_t>(ALimit);
  if (Want > FItems.capacity()) FItems.reserve(std::max(Want, FItems.capacity() * 2));
  if (ALimit == 0) {
    FItems.clear();
    FItems.shrink_to_fit();
  }
  FLimit = ALimit;
}

TObject* TCollection::ItemAt(int Index) {
  if (Index < 0 || Index >= FCount) {
    Error(-1, Index);
    return nullptr;
  }
  return FItems[static_cast<std::size_t>(Index)];
}

void TCollection::InsertAt(int Index, TObject* Item) {
  if (Index < 0 || Index > FCount) {
    Error(-1, Index);
    return;
  }
  if (FCount == FLimit) {
    SetLimit(FCount + FDelta);
    if (FCount == FLimit) {
      Error(-2, Index);
      return;
    }
  }
  FItems.insert(FItems.begin() + Index, Item);
  ++FCount;
}

void TCollection::FreeAllItems() {
  for (int I = 0; I < FCount; ++I) FreeItem(FItems[static_cast<std::size_t>(I)]);
  FItems.clear();
  FCount = 0;
}

void TCollection::FreeItemsBefore(int Index) {
  if (Index < 0 || Index > FCount) {
    Error(-1, Index);
    return;
  }
  for (int I = 0; I < Index; ++I) FreeItem(FItems[static_cast<std::size_t>(I)]);
  FItems.erase(FItems.begin(), FItems.begin() + Index);
  FCount -= Index;
}

int TSortedCollection::IndexOf(TObject* Item) {
  int I = 0;
  if (!Search(KeyOf(Item), I)) return -1;
  if (Duplicates)
    while (I < FCount && ItemAt(I) != Item) ++I;
  return I < FCount ? I : -1;
}

void TSortedCollection::Insert(TObject* Item) {
  int I = 0;
  if (!Search(KeyOf(Item), I) || Duplicates) InsertAt(I, Item);
}

bool TSortedCollection::Search(TKey Key, int& Index) {
  int L = 0, H = FCount - 1;
  bool Found = false;
  while (L <= H) {
    int I = static_cast<int>((static_cast<unsigned>(L) + static_cast<unsigned>(H)) >> 1);
    int C = Compare(KeyOf(ItemAt(I)), Key);
    if (C < 0) {
      L = I + 1;
    } else {
      H = I - 1;
      if (C == 0) {
        Found = true;
        if (!Duplicates) L = I;
      }
    }
  }
  Index = L;
  return Found;
}

TKey TSortedCollection::KeyOf(TObject* Item) { return reinterpret_cast<TKey>(Item); }

} // namespace quorvin
