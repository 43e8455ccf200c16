// SPDX-License-Identifier: GPL-3.0-or-later
// CSV log reader Open throughput: 10 sensors x 100,000 rows in layout 1.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <vector>

#include "BenchMemory.h"
#include "generators/LogGen.h"
#include "logdata/CSVFile.h"

namespace {

using namespace quorvin;

constexpr int SensorCount = 10;
constexpr long long RowCount = 100000;

void BM_CSVOpen(benchmark::State& State, const std::string& Path, std::size_t Bytes) {
  double HeapBytes = 0;
  for (auto _ : State) {
    const std::size_t Before = bench::HeapInUse();
    TCSVLogFile F(Path, "BENCH");
    if (!F.Open()) {
      State.SkipWithError("unexpected result of Open");
      return;
    }
    HeapBytes = static_cast<double>(bench::HeapInUse() - Before);
    benchmark::DoNotOptimize(F.Sensors().Count());
  }
  State.SetBytesProcessed(State.iterations() * static_cast<long long>(Bytes));
  State.counters["file_MB"] = static_cast<double>(Bytes) / 1e6;
  State.counters["readings"] = static_cast<double>(SensorCount * RowCount);
  State.counters["memory_MB"] = HeapBytes / 1e6;
}

} // namespace

int main(int argc, char** argv) {
  const std::string Path = (std::filesystem::temp_directory_path() /
                            ("quorvin-bench-" + std::to_string(::getpid()) + ".csv"))
                               .string();
  std::vector<std::string> Names, Units;
  for (int I = 0; I < SensorCount; ++I) {
    std::string Name = "SENSOR";
    Name += std::to_string(I + 1);
    Names.push_back(Name);
    Units.push_back(I % 2 ? "degC" : "m/s");
  }
  const std::string Text =
      test::CSVLayout1Text(Names, Units, test::GenPartsToSecs(2001, 1, 1), 600, RowCount);
  if (!test::WriteWhole(Path, Text)) {
    std::fprintf(stderr, "cannot write %s\n", Path.c_str());
    return 1;
  }
  benchmark::RegisterBenchmark("CSVOpen/layout1/10x100000", BM_CSVOpen, Path, Text.size())
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  // The same rows out of time order: newest first, and with every two
  // consecutive time steps swapped.
  std::vector<std::string_view> Lines;
  for (std::size_t B = 0; B < Text.size();) {
    std::size_t E = Text.find('\n', B);
    E = E == std::string::npos ? Text.size() : E + 1;
    Lines.emplace_back(Text.data() + B, E - B);
    B = E;
  }
  const std::string Reversed = Path + ".rev.csv", Swapped = Path + ".swap.csv";
  std::string Out;
  for (auto It = Lines.rbegin(); It != Lines.rend(); ++It) Out += *It;
  test::WriteWhole(Reversed, Out);
  Out.clear();
  Out += Lines[0]; // the comment line
  for (std::size_t Step = 0; Step < static_cast<std::size_t>(RowCount); ++Step) {
    const std::size_t From = 1 + (Step ^ 1) * SensorCount;
    for (int S = 0; S < SensorCount; ++S) Out += Lines[From + static_cast<std::size_t>(S)];
  }
  test::WriteWhole(Swapped, Out);
  benchmark::RegisterBenchmark("CSVOpen/layout1/10x100000/newest-first", BM_CSVOpen, Reversed,
                               Text.size())
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark("CSVOpen/layout1/10x100000/pairs-swapped", BM_CSVOpen, Swapped,
                               Text.size())
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(Path);
  std::filesystem::remove(Reversed);
  std::filesystem::remove(Swapped);
  return 0;
}
