// SPDX-License-Identifier: GPL-3.0-or-later
// The binary log reader under the export's access pattern: every grid time in
// ascending order, GetValue for every sensor; against a plain sequential
// read-and-decode of the same records.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "BenchLog.h"
#include "BenchMemory.h"
#include "logdata/LogFile.h"

namespace {

using namespace quorvin;

using bench::BenchLog;
using bench::RecordCount;
using bench::SensorCount;

// The export's walk; answers a checksum so nothing is optimised away.
double Walk(TLogFile& F) {
  double Sum = 0;
  const std::int32_t Step = F.Interval();
  for (LogTime T = F.FirstTime(); T < F.LastTime(); T += Step)
    for (int S = 1; S <= SensorCount; ++S) {
      float V;
      F.GetValue(T, S, V);
      if (!IsNonRecorded(V)) Sum += V;
    }
  return Sum;
}

// Reads the records front to back in 1 MB blocks and decodes every value.
double Reference(const std::string& Path, const std::vector<int>& Digits) {
  std::FILE* F = std::fopen(Path.c_str(), "rb");
  if (!F) return 0;
  const long Offset = 54 + 28 * SensorCount;
  std::fseek(F, Offset, SEEK_SET);
  const std::size_t RecBytes = 2 * SensorCount;
  std::vector<unsigned char> Buf(RecBytes * 32768);
  double Sum = 0;
  std::size_t Got;
  while ((Got = std::fread(Buf.data(), 1, Buf.size(), F)) >= RecBytes) {
    for (std::size_t R = 0; R + RecBytes <= Got; R += RecBytes)
      for (int S = 0; S < SensorCount; ++S) {
        const std::uint16_t Raw =
            static_cast<std::uint16_t>(Buf[R + 2 * S] | (Buf[R + 2 * S + 1] << 8));
        if (Raw != 0xFFFF) Sum += RawToValue(Raw, Digits[static_cast<std::size_t>(S)]);
      }
  }
  std::fclose(F);
  return Sum;
}

void BM_ExportWalk(benchmark::State& State, const std::string& Path) {
  double DataBytes = 0, CacheBytes = 0;
  for (auto _ : State) {
    const std::size_t Before = bench::HeapInUse();
    TLogFile F(Path, "BENCH");
    if (!F.Open()) {
      State.SkipWithError("cannot open the log");
      return;
    }
    benchmark::DoNotOptimize(Walk(F));
    CacheBytes = static_cast<double>(bench::HeapInUse() - Before);
    DataBytes = static_cast<double>(F.FileSize() - F.Header()->DataOffset);
  }
  State.counters["records"] = static_cast<double>(RecordCount);
  State.counters["data_MB"] = DataBytes / 1e6;
  State.counters["cache_MB"] = CacheBytes / 1e6;
  State.counters["cache_per_data"] = DataBytes > 0 ? CacheBytes / DataBytes : 0;
  State.SetItemsProcessed(State.iterations() * RecordCount * SensorCount);
}

void BM_SequentialReference(benchmark::State& State, const std::string& Path) {
  std::vector<int> Digits;
  for (const auto& S : BenchLog().Sensors) Digits.push_back(S.RightDigits);
  for (auto _ : State) benchmark::DoNotOptimize(Reference(Path, Digits));
  State.SetItemsProcessed(State.iterations() * RecordCount * SensorCount);
}

// Both in one program run, to give the walk's cost as a multiple of the reference's.
void BM_WalkOverReference(benchmark::State& State, const std::string& Path) {
  std::vector<int> Digits;
  for (const auto& S : BenchLog().Sensors) Digits.push_back(S.RightDigits);
  double WalkSecs = 0, RefSecs = 0;
  for (auto _ : State) {
    auto A = std::chrono::steady_clock::now();
    {
      TLogFile F(Path, "BENCH");
      F.Open();
      benchmark::DoNotOptimize(Walk(F));
    }
    auto B = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(Reference(Path, Digits));
    auto C = std::chrono::steady_clock::now();
    WalkSecs += std::chrono::duration<double>(B - A).count();
    RefSecs += std::chrono::duration<double>(C - B).count();
  }
  State.counters["walk_s"] = WalkSecs / static_cast<double>(State.iterations());
  State.counters["reference_s"] = RefSecs / static_cast<double>(State.iterations());
  State.counters["ratio"] = RefSecs > 0 ? WalkSecs / RefSecs : 0;
}

} // namespace

int main(int argc, char** argv) {
  const std::string Path = (std::filesystem::temp_directory_path() /
                            ("quorvin-bench-" + std::to_string(::getpid()) + ".LOG"))
                               .string();
  if (!test::WriteLogFile(Path, BenchLog(), RecordCount)) {
    std::fprintf(stderr, "cannot write %s\n", Path.c_str());
    return 1;
  }
  benchmark::RegisterBenchmark("ExportWalk/16x1000000", BM_ExportWalk, Path)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("SequentialReference/16x1000000", BM_SequentialReference, Path)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("WalkOverReference", BM_WalkOverReference, Path)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove(Path);
  return 0;
}
