// SPDX-License-Identifier: GPL-3.0-or-later
// Peak memory of a LOGPRN save of a whole binary log: the benchmark log of
// 16 sensors x 1,000,000 records, and one ten times longer. A forward walk
// releases the records behind it, so the two peaks should be nearly equal.
// Each save runs in a child process whose peak resident size (ru_maxrss)
// is the figure reported.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "BenchLog.h"
#include "BenchUi.h"
#include "app/LogSelection.h"
#include "core/DateTimeFormat.h"
#include "core/UiServices.h"
#include "report/Formatting.h"
#include "report/LogExport.h"

namespace {

using namespace quorvin;

const std::string& Folder() {
  static const std::string Dir = [] {
    const std::string D =
        (std::filesystem::temp_directory_path() / "quorvin_bench_save_memory").string();
    std::filesystem::create_directories(D);
    return D;
  }();
  return Dir;
}

// The log of Times x the benchmark's records, written once per run.
std::string LogPath(int Times) {
  const std::string Path = Folder() + "/long" + std::to_string(Times) + ".log";
  if (!std::filesystem::exists(Path))
    test::WriteLogFile(Path, bench::BenchLog(), bench::RecordCount * Times);
  return Path;
}

using bench::TQuietUi;

// Saves the whole log as PRN text, all sensors checked; true on success.
bool SaveWholeLog(const std::string& Path) {
  TQuietUi Ui;
  TNoBusyCursor Busy;
  TUiServices Services{Ui, Ui, Ui, Busy};
  TLogSelection Sel;
  TDateTimeFormat Format;
  TLogPrnOptions Options;
  SetDateTimeFormat(Format, "MM/DD/YYYY HH:MM:SS");
  Options.AppendData = false;
  Sel.SelectAllClick(true);
  Sel.LogFileChange(PageLogPrn, Path);
  Sel.edtFilenameExit(PageLogPrn, Services);
  std::string Output;
  const bool Ok = ConvertLogToText(Sel, Options, Format, cmNone, GetFieldSeparator(Options, cmNone),
                                   Services, Output);
  std::error_code Ec;
  std::filesystem::remove(Output, Ec);
  return Ok;
}

void BM_SaveWholeLogPeakMemory(benchmark::State& State) {
  const int Times = static_cast<int>(State.range(0));
  const std::string Path = LogPath(Times);
  long PeakKb = 0;
  for (auto _ : State) {
    const pid_t Child = ::fork();
    if (Child == 0) ::_exit(SaveWholeLog(Path) ? 0 : 1);
    int Status = 0;
    struct rusage Usage {};
    if (Child < 0 || ::wait4(Child, &Status, 0, &Usage) != Child || !WIFEXITED(Status) ||
        WEXITSTATUS(Status) != 0) {
      State.SkipWithError("save failed");
      break;
    }
    PeakKb = Usage.ru_maxrss;
  }
  State.counters["records"] = static_cast<double>(bench::RecordCount * Times);
  State.counters["peak_rss_MB"] = PeakKb / 1024.0;
}

BENCHMARK(BM_SaveWholeLogPeakMemory)
    ->Arg(1)
    ->Arg(10)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  // The logs take a third of a gigabyte: they do not outlive the run.
  std::error_code Ec;
  std::filesystem::remove_all(Folder(), Ec);
  return 0;
}
