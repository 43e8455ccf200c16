// SPDX-License-Identifier: GPL-3.0-or-later
// LOGPRN save of a 16-sensor x 1,000,000-record binary log, all sensors
// checked: as PRN text in the default layout (separated fields, "MM/DD/YY
// HH:MM:SS") and in fixed columns, and as an EXCEL workbook. Reports output
// MB/s and peak memory, the reader's record cache shown apart.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchUi.h"
#include "app/LogSelection.h"
#include "core/DateTimeFormat.h"
#include "core/UiServices.h"
#include "report/Formatting.h"
#include "report/LogExport.h"

namespace {

using namespace quorvin;

constexpr int SensorCount = 16;
constexpr int RecordCount = 1000000;

using bench::TQuietUi;

long StatusKb(const char* Key) {
  std::ifstream In("/proc/self/status");
  std::string Line;
  while (std::getline(In, Line))
    if (Line.rfind(Key, 0) == 0) return std::atol(Line.c_str() + std::strlen(Key));
  return 0;
}
double RssMb() { return StatusKb("VmRSS:") / 1024.0; }
double PeakMb() { return StatusKb("VmHWM:") / 1024.0; }
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

const std::string& Folder() {
  static const std::string Dir = [] {
    std::string D = (std::filesystem::temp_directory_path() / "quorvin_bench_export").string();
    std::filesystem::create_directories(D);
    return D;
  }();
  return Dir;
}

// The log, written once: 1,000,000 records every minute from 1999-01-01,
// values varying so every column has several widths.
const std::string& LogPath() {
  static const std::string Path = [] {
    const std::string P = Folder() + "/bench16.log";
    std::string B(54, '\0');
    auto Put16 = [](std::string& S, std::size_t At, unsigned V) {
      S[At] = static_cast<char>(V & 0xFF);
      S[At + 1] = static_cast<char>((V >> 8) & 0xFF);
    };
    std::memcpy(&B[2], "BENCH", 5);
    Put16(B, 10, 1999);
    Put16(B, 12, 1);
    Put16(B, 14, 1);
    Put16(B, 24, 1);
    Put16(B, 28, 2 * SensorCount);
    Put16(B, 52, SensorCount);
    for (int s = 0; s < SensorCount; ++s) {
      std::string D(28, '\0');
      const std::string Name = "SENSOR" + std::to_string(s + 1);
      std::memcpy(&D[0], Name.data(), Name.size());
      const double Slope = 1.0, Offset = 0.0;
      std::memcpy(&D[10], &Slope, 8);
      std::memcpy(&D[18], &Offset, 8);
      Put16(D, 26, static_cast<unsigned>(s % 4));
      B += D;
    }
    std::string Rec(2 * SensorCount, '\0');
    std::uint32_t X = 12345;
    for (int k = 0; k < RecordCount; ++k) {
      for (int s = 0; s < SensorCount; ++s) {
        X = X * 1103515245u + 12345u;
        unsigned V = 32767 + (X >> 16) % 20000 - 10000;
        if ((X >> 8) % 997 == 0) V = 0xFFFF;
        Put16(Rec, 2 * static_cast<std::size_t>(s), V);
      }
      B += Rec;
    }
    std::ofstream(P, std::ios::binary) << B;
    return P;
  }();
  return Path;
}

struct TRun {
  TQuietUi Ui;
  TNoBusyCursor Busy;
  TUiServices Services{Ui, Ui, Ui, Busy};
  TLogSelection Sel;
  TDateTimeFormat Format;
  TLogPrnOptions Options;

  TRun(TOutputFormat OutputFormat, bool Fixed = true) {
    SetDateTimeFormat(Format, Fixed ? "MM/DD/YYYY HH:MM:SS" : "MM/DD/YY HH:MM:SS");
    Options.OutputFormat = OutputFormat;
    Options.AppendData = false;
    Options.DisplayFixedFormat = Fixed;
    Sel.SelectAllClick(true);
    Sel.LogFileChange(PageLogPrn, LogPath());
    Sel.edtFilenameExit(PageLogPrn, Services);
  }
  bool Save(std::string& Output) {
    return ConvertLogToText(Sel, Options, Format, cmNone, GetFieldSeparator(Options, cmNone),
                            Services, Output);
  }
};

// Memory the reader's full record cache takes, measured with a warm pass.
double CacheMb() {
  static const double Mb = [] {
    malloc_trim(0);
    const double Before = RssMb();
    TRun Run(TOutputFormat::Text);
    ILogReader& Log = *Run.Sel.Log;
    float V;
    for (LogTime T = Run.Sel.StartTime; T <= Run.Sel.EndTime; T += Run.Sel.LogInterval)
      Log.GetValue(T, 1, V);
    return RssMb() - Before;
  }();
  return Mb;
}

void Export(benchmark::State& State, TOutputFormat OutputFormat, bool Fixed = true) {
  LogPath();
  const double Cache = CacheMb();
  std::int64_t Bytes = 0;
  double Peak = 0, Base = 0;
  for (auto _ : State) {
    State.PauseTiming();
    // Hand freed memory back so the next run's growth shows in the peak.
    malloc_trim(0);
    Base = RssMb();
    ResetPeak();
    {
      TRun Run(OutputFormat, Fixed);
      std::string Output;
      State.ResumeTiming();
      if (!Run.Save(Output)) State.SkipWithError("save failed");
      State.PauseTiming();
      Bytes += static_cast<std::int64_t>(std::filesystem::file_size(Output));
      Peak = PeakMb() - Base;
    }
    State.ResumeTiming();
  }
  State.SetBytesProcessed(Bytes);
  State.counters["file_MB"] = static_cast<double>(Bytes) / State.iterations() / 1e6;
  State.counters["cache_MB"] = Cache;
  State.counters["peak_MB"] = Peak;
  State.counters["peak_above_cache_MB"] = Peak - Cache;
}

void BM_SavePrnDefaultLayout(benchmark::State& State) { Export(State, TOutputFormat::Text, false); }
void BM_SavePrnFixedColumns(benchmark::State& State) { Export(State, TOutputFormat::Text); }
void BM_SaveExcelWorkbook(benchmark::State& State) { Export(State, TOutputFormat::Excel); }

BENCHMARK(BM_SavePrnDefaultLayout)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SavePrnFixedColumns)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_SaveExcelWorkbook)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
