// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics of all 16 sensors of a 1,000,000-record binary log against
// the PRN text export (saved, fixed columns) of the same range: the report
// walks the same grid and reads the same values, but folds them into a few
// lines per day instead of formatting and writing every one.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "BenchLog.h"
#include "app/LogSelection.h"
#include "core/UiServices.h"
#include "report/Formatting.h"
#include "report/LogExport.h"
#include "report/Statistics.h"

namespace {

using namespace quorvin;

using bench::BenchLog;
using bench::RecordCount;
using bench::SensorCount;

// A pane that only counts what it is given.
class TCountingPane : public ITextPane {
public:
  long long Lines = 0, Bytes = 0;
  void Clear() override {}
  void AppendLine(std::string_view Line) override {
    ++Lines;
    Bytes += static_cast<long long>(Line.size());
  }
  void SetBold(bool) override {}
  void SetPointSize(int) override {}
};

class TNoDialog : public IMessageDialog {
public:
  TMsgResult Show(TMsgKind, const std::string&, TMsgButtons, const std::string&) override {
    return TMsgResult::OK;
  }
};
class TNoStatus : public IStatusBar {
public:
  void SetPanelText(int, const std::string&) override {}
  std::string PanelText(int) const override { return {}; }
};

struct TBench {
  TNoDialog Dialog;
  TNoStatus Status;
  TCountingPane Pane;
  TNoBusyCursor Busy;
  TUiServices Ui{Dialog, Status, Pane, Busy};
  TLogSelection Sel;
  TLogPrnOptions Options;
  TDateTimeFormat Format;
  TStatAccumulators Acc;

  explicit TBench(const std::string& Path) {
    SetDateTimeFormat(Format, "MM/DD/YY HH:MM:SS");
    Options.AppendData = false;
    Options.DisplayFixedFormat = true;
    Sel.SelectAllClick(true);
    Sel.LogFileChange(PageLogStat, Path);
    Sel.edtFilenameExit(PageLogStat, Ui);
  }
  bool Loaded() const { return Sel.LogLoaded(); }

  long long Statistics() {
    Pane.Lines = 0;
    Acc.SetSize(Sel.CheckedSensorCount);
    TStatistics Stats(Sel, Format, Options, cmStatistics, Acc, Pane);
    Stats.Report();
    return Pane.Lines;
  }
  bool Export() {
    std::string Out;
    return ConvertLogToText(Sel, Options, Format, cmNone, GetFieldSeparator(Options, cmNone), Ui,
                            Out);
  }
};

void BM_Statistics(benchmark::State& State, const std::string& Path) {
  TBench B(Path);
  if (!B.Loaded()) {
    State.SkipWithError("cannot load the log");
    return;
  }
  long long Lines = 0;
  for (auto _ : State) benchmark::DoNotOptimize(Lines = B.Statistics());
  State.counters["report_lines"] = static_cast<double>(Lines);
  State.SetItemsProcessed(State.iterations() * RecordCount * SensorCount);
}

void BM_PrnExport(benchmark::State& State, const std::string& Path) {
  TBench B(Path);
  if (!B.Loaded()) {
    State.SkipWithError("cannot load the log");
    return;
  }
  for (auto _ : State)
    if (!B.Export()) State.SkipWithError("export failed");
  State.SetItemsProcessed(State.iterations() * RecordCount * SensorCount);
}

// Both in one run: the statistics' cost as a multiple of the export's.
void BM_StatsOverExport(benchmark::State& State, const std::string& Path) {
  TBench B(Path);
  if (!B.Loaded()) {
    State.SkipWithError("cannot load the log");
    return;
  }
  double StatSecs = 0, ExportSecs = 0;
  for (auto _ : State) {
    const auto A = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(B.Statistics());
    const auto M = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(B.Export());
    const auto E = std::chrono::steady_clock::now();
    StatSecs += std::chrono::duration<double>(M - A).count();
    ExportSecs += std::chrono::duration<double>(E - M).count();
  }
  const double N = static_cast<double>(State.iterations());
  State.counters["stats_s"] = StatSecs / N;
  State.counters["export_s"] = ExportSecs / N;
  State.counters["ratio"] = ExportSecs > 0 ? StatSecs / ExportSecs : 0;
}

} // namespace

int main(int argc, char** argv) {
  const std::filesystem::path Dir = std::filesystem::temp_directory_path() /
                                    ("quorvin-bench-stats-" + std::to_string(::getpid()));
  std::filesystem::create_directories(Dir);
  const std::string Path = (Dir / "BENCH.LOG").string();
  if (!test::WriteLogFile(Path, BenchLog(), RecordCount)) {
    std::fprintf(stderr, "cannot write %s\n", Path.c_str());
    return 1;
  }
  benchmark::RegisterBenchmark("Statistics/16x1000000", BM_Statistics, Path)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("PrnExport/16x1000000", BM_PrnExport, Path)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("StatsOverExport", BM_StatsOverExport, Path)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code Ec;
  std::filesystem::remove_all(Dir, Ec);
  return 0;
}
