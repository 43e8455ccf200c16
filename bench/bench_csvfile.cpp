// CSV log reader Open throughput: 10 sensors x 100,000 rows in layout 1.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "BenchMemory.h"
#include "logdata/CSVFile.h"
#include "tests/support/LogGen.h"

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
      State.SkipWithError("cannot open the CSV log");
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
  const std::string Path =
      (std::filesystem::temp_directory_path() / ("quorvin-bench-" + std::to_string(::getpid()) + ".csv")).string();
  std::vector<std::string> Names, Units;
  for (int I = 0; I < SensorCount; ++I) {
    std::string Name = "SENSOR";
    Name += std::to_string(I + 1);
    Names.push_back(Name);
    Units.push_back(I % 2 ? "degC" : "m/s");
  }
  const std::string Text = test::CSVLayout1Text(Names, Units, test::GenPartsToSecs(2001, 1, 1), 600, RowCount);
  if (!test::WriteBytes(Path, Text)) {
    std::fprintf(stderr, "cannot write %s\n", Path.c_str());
    return 1;
  }
  benchmark::RegisterBenchmark("CSVOpen/layout1/10x100000", BM_CSVOpen, Path, Text.size())
      ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(Path);
  return 0;
}
