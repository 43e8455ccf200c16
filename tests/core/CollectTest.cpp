// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Collect.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace quorvin {
namespace {

struct TItem : TObject {
  explicit TItem(int K, int* Freed = nullptr) : Key(K), FreedCount(Freed) {}
  ~TItem() override {
    if (FreedCount) ++*FreedCount;
  }
  int Key;
  int* FreedCount;
};

class TItemList : public TSortedCollection {
public:
  TItemList() : TSortedCollection(50, 50) {}
  int Compare(TKey A, TKey B) override { return A > B ? 1 : (A < B ? -1 : 0); }
  TKey KeyOf(TObject* Item) override { return static_cast<TItem*>(Item)->Key; }
};

TEST(CollectionTest, GrowsByDeltaAndNeverBelowCount) {
  TCollection C(50, 50);
  for (int I = 0; I < 50; ++I) C.Insert(new TItem(I));
  EXPECT_EQ(C.Limit(), 50);
  C.Insert(new TItem(50));
  EXPECT_EQ(C.Limit(), 100);
  for (int I = 51; I < 101; ++I) C.Insert(new TItem(I));
  EXPECT_EQ(C.Limit(), 150);
  TCollection D(50, 50);
  for (int I = 0; I < 20; ++I) D.Insert(new TItem(I));
  D.SetLimit(10);
  EXPECT_EQ(D.Limit(), 20);
}

TEST(CollectionTest, InsertAtKeepsOrderAndOwnsItems) {
  int Freed = 0;
  {
    TCollection C(2, 2);
    auto* A = new TItem(1, &Freed);
    auto* B = new TItem(2, &Freed);
    auto* X = new TItem(3, &Freed);
    C.InsertAt(0, A);
    C.InsertAt(1, B); // Count appends
    C.InsertAt(1, X);
    EXPECT_EQ(C.ItemAt(0), A);
    EXPECT_EQ(C.ItemAt(1), X);
    EXPECT_EQ(C.ItemAt(2), B);
    EXPECT_EQ(C.IndexOf(B), 2);
    EXPECT_EQ(C.IndexOf(nullptr), -1);
    C.FreeAllItems();
    EXPECT_EQ(Freed, 3);
    EXPECT_EQ(C.Count(), 0);
    EXPECT_EQ(C.Limit(), 4);
    C.Insert(new TItem(4, &Freed));
  }
  EXPECT_EQ(Freed, 4);
}

TEST(SortedCollectionTest, SearchGivesTheInsertionPosition) {
  TItemList L;
  for (int K : {20, 10, 30}) L.Insert(new TItem(K));
  int I = -1;
  EXPECT_TRUE(L.Search(20, I));
  EXPECT_EQ(I, 1);
  EXPECT_FALSE(L.Search(25, I));
  EXPECT_EQ(I, 2);
  EXPECT_FALSE(L.Search(5, I));
  EXPECT_EQ(I, 0);
  EXPECT_FALSE(L.Search(35, I));
  EXPECT_EQ(I, 3);
  EXPECT_EQ(L.Compare(5, 7), -1);
  EXPECT_EQ(L.Compare(7, 5), 1);
}

TEST(SortedCollectionTest, DuplicateKeysAreNotInserted) {
  TItemList L;
  for (int K : {10, 20, 30}) L.Insert(new TItem(K));
  TItem Second(20);
  L.Insert(&Second);
  EXPECT_EQ(L.Count(), 3);
  EXPECT_NE(L.ItemAt(1), &Second);
  // Without duplicates IndexOf answers the slot of the equal key.
  EXPECT_EQ(L.IndexOf(&Second), 1);
}

TEST(SortedCollectionTest, WithDuplicatesFindsTheFirstOfEqualKeys) {
  TItemList L;
  L.Duplicates = true;
  auto* A = new TItem(20);
  auto* B = new TItem(20);
  L.Insert(new TItem(10));
  L.Insert(A);
  L.Insert(B);
  int I = -1;
  EXPECT_TRUE(L.Search(20, I));
  EXPECT_EQ(I, 1);
  EXPECT_EQ(L.Count(), 3);
  EXPECT_EQ(L.IndexOf(A), 2);
  EXPECT_EQ(L.IndexOf(B), 1);
}

// A front end's handler: says which error stopped the program.
void PrintRunError(int RunError) { std::fprintf(stderr, "Runtime error %d\n", RunError); }

class CollectionDeathTest : public ::testing::Test {
protected:
  void SetUp() override { SetRunErrorHandler(PrintRunError); }
  void TearDown() override { SetRunErrorHandler(nullptr); }
};

TEST_F(CollectionDeathTest, IndexOutOfRangeStopsWithRuntimeError213) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TCollection C(1, 1);
  C.Insert(new TItem(1));
  EXPECT_EXIT(C.InsertAt(2, new TItem(2)), ::testing::ExitedWithCode(213), "Runtime error 213");
  EXPECT_EXIT(C.ItemAt(1), ::testing::ExitedWithCode(213), "Runtime error 213");
  EXPECT_EXIT(C.ItemAt(-1), ::testing::ExitedWithCode(213), "Runtime error 213");
}

TEST_F(CollectionDeathTest, OverflowStopsWithRuntimeError214) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TCollection C(1, 0);
  C.Insert(new TItem(1));
  EXPECT_EXIT(C.Insert(new TItem(2)), ::testing::ExitedWithCode(214), "Runtime error 214");
  // Without a handler the exit status alone tells, and nothing is printed.
  SetRunErrorHandler(nullptr);
  EXPECT_EXIT(C.Insert(new TItem(2)), ::testing::ExitedWithCode(214), "^$");
}

TEST(CollectionTest, FreeItemsBeforeDropsTheFrontInOneStep) {
  for (int Cut : {0, 2, 5}) {
    SCOPED_TRACE(Cut);
    int Freed = 0;
    TItemList L;
    for (int K = 10; K <= 50; K += 10) L.Insert(new TItem(K, &Freed));
    L.FreeItemsBefore(Cut);
    EXPECT_EQ(Freed, Cut);
    ASSERT_EQ(L.Count(), 5 - Cut);
    for (int I = 0; I < L.Count(); ++I)
      EXPECT_EQ(static_cast<TItem*>(L.ItemAt(I))->Key, 10 * (Cut + I + 1));
    int Index = -1;
    EXPECT_EQ(L.Search(50, Index), Cut < 5);
  }
  EXPECT_EXIT(
      {
        TCollection C(4, 4);
        C.Insert(new TItem(1));
        C.FreeItemsBefore(2);
      },
      ::testing::ExitedWithCode(213), "");
}

} // namespace
} // namespace quorvin
