// SPDX-License-Identifier: GPL-3.0-or-later
// The runner of many inputs: output in the order given whatever the order
// of finishing, inputs with one target never at the same time.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "cli/BatchRun.h"
#include "cli/CliContext.h"

namespace quorvin::cli {
namespace {

void Pause(int Milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
}

TEST(BatchRun, OutputOfEachInputTogetherInTheOrderGiven) {
  std::vector<TBatchItem> Items;
  for (const char* Name : {"a", "b", "c", "d", "e"}) Items.push_back({Name, ""});
  for (unsigned Jobs : {1u, 5u}) {
    std::ostringstream Both;
    // Later inputs finish first when they run side by side.
    const std::vector<TBatchResult> Results =
        RunBatch(Items, TBatchSettings{Jobs, 0}, Both, Both,
                 [&](const std::string& Input, std::ostream& Out, std::ostream& Err) {
                   Pause(10 * ('e' - Input[0]));
                   Out << "out " << Input << "\n";
                   Pause(5);
                   Err << "err " << Input << "\n";
                   return TBatchResult{Input == "c" ? 1 : 0, Input + ".PRN", "done " + Input};
                 });
    EXPECT_EQ(Both.str(), "out a\nerr a\nout b\nerr b\nout c\nerr c\nout d\nerr d\nout e\nerr e\n")
        << Jobs;
    ASSERT_EQ(Results.size(), 5u);
    EXPECT_EQ(Results[2].Code, 1);
    EXPECT_EQ(Results[4].OutputFile, "e.PRN");
    EXPECT_EQ(Results[3].Status, "done d");
  }
}

TEST(BatchRun, InputsWritingOneFileRunOneAfterTheOther) {
  const std::vector<TBatchItem> Items = {{"1", "A.PRN"}, {"2", "B.PRN"}, {"3", "A.PRN"},
                                         {"4", ""},      {"5", "A.PRN"}, {"6", "B.PRN"}};
  std::mutex Lock;
  std::map<std::string, int> Running;
  std::map<std::string, std::string> Order;
  bool Overlap = false;
  std::ostringstream Out;
  RunBatch(Items, TBatchSettings{4, 0}, Out, Out,
           [&](const std::string& Input, std::ostream&, std::ostream&) {
             const std::string Target = Items[std::stoul(Input) - 1].Target;
             {
               const std::lock_guard<std::mutex> L(Lock);
               Overlap = Overlap || (!Target.empty() && Running[Target]++ > 0);
               Order[Target] += Input;
             }
             Pause(20);
             const std::lock_guard<std::mutex> L(Lock);
             --Running[Target];
             return TBatchResult{};
           });
  EXPECT_FALSE(Overlap);
  EXPECT_EQ(Order["A.PRN"], "135");
  EXPECT_EQ(Order["B.PRN"], "26");
}

TEST(BatchRunDeathTest, RunErrorPrintsWhatWasDoneAndEndsWithItsNumber) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::vector<TBatchItem> Items = {{"a", ""}, {"b", ""}, {"c", ""}};
  EXPECT_EXIT(RunBatch(Items, TBatchSettings{1, 0}, std::cerr, std::cerr,
                       [](const std::string& Input, std::ostream& Out, std::ostream&) {
                         Out << "done " << Input << "\n";
                         if (Input == "b") ReportRunError(213);
                         return TBatchResult{};
                       }),
              ::testing::ExitedWithCode(213), "done a\ndone b\nRuntime error 213\n");
}

} // namespace
} // namespace quorvin::cli
