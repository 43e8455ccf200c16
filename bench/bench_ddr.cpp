// SPDX-License-Identifier: GPL-3.0-or-later
// DDR conversion speed: a generated DDR file (12 sensors of mixed types, Data
// blocks filled with whole scans up to the 4096-byte limit) decoded to text
// in save mode. Reports input MB/s and the peak resident memory, for a 10 MB
// and a 100 MB file: equal peaks mean memory does not grow with the file.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "ddr/DDRPage.h"
#include "generators/DDRGen.h"

namespace {

using namespace quorvin;
using namespace quorvin::ddrgen;
namespace fs = std::filesystem;

class TNullDialog : public IMessageDialog {
public:
  TMsgResult Show(TMsgKind, const std::string&, TMsgButtons, const std::string&) override {
    return TMsgResult::Yes;
  }
};
class TNullStatus : public IStatusBar {
public:
  void SetPanelText(int, const std::string& Text) override { Last = Text; }
  std::string PanelText(int) const override { return Last; }
  std::string Last;
};
class TNullPane : public ITextPane {
public:
  void Clear() override {}
  void AppendLine(std::string_view) override {}
  void SetBold(bool) override {}
  void SetPointSize(int) override {}
};

std::vector<TGenSensor> BenchSensors() {
  const std::uint8_t Types[12] = {0, 1, 2, 3, 4, 5, 6, 7, 2, 3, 6, 2};
  std::vector<TGenSensor> S;
  for (int I = 0; I < 12; ++I) {
    TGenSensor G{"Sensor" + std::to_string(I + 1), "unit"};
    G.DataType = Types[I];
    G.RightDigits = static_cast<std::uint8_t>(I % 4);
    G.Flags = static_cast<std::uint8_t>(I == 5);
    S.push_back(G);
  }
  return S;
}

fs::path BenchDir() {
  fs::path D = fs::temp_directory_path() / ("quorvin_bench_ddr_" + std::to_string(::getpid()));
  fs::create_directories(D);
  return D;
}

// Writes a DDR file of about Megabytes MB once and returns its path.
std::string BenchFile(int Megabytes) {
  const std::string Path = (BenchDir() / ("BENCH" + std::to_string(Megabytes) + ".DDR")).string();
  if (fs::exists(Path)) return Path;
  const auto S = BenchSensors();
  const int Width = ScanWidth(S);
  const int ScansPerBlock = (4096 - 12) / Width;
  const std::int32_t Interval = 60;
  std::int32_t T = DDRTime(2020, 1, 1);
  std::ofstream F(Path, std::ios::binary);
  auto Put = [&F](const TBytes& B) {
    F.write(reinterpret_cast<const char*>(B.data()), static_cast<std::streamsize>(B.size()));
  };
  Put(MasterBlock(T, T, "V900 2.10", "bench-site"));
  Put(SensorBlock(T, T, Interval, S));
  Put(BaseBlock(T, T, std::vector<std::uint32_t>(12, BaseWord(1000))));
  std::mt19937 Rng(1);
  const long long Target = static_cast<long long>(Megabytes) * 1000 * 1000;
  long long Written = 0;
  TBytes Scans;
  while (Written < Target) {
    Scans.clear();
    for (int K = 0; K < ScansPerBlock; ++K) {
      std::vector<double> V(12);
      for (int I = 0; I < 12; ++I) {
        const std::uint32_t R = Rng();
        if (R % 97 == 0)
          V[I] = Missing();
        else if (S[static_cast<std::size_t>(I)].DataType >= 6)
          V[I] = static_cast<double>(R % 100000) / 37.0;
        else if (S[static_cast<std::size_t>(I)].DataType <= 1)
          V[I] = static_cast<double>(R % 120);
        else
          V[I] = static_cast<double>(R % 30000);
      }
      PutScan(Scans, S, V);
    }
    const TBytes B = DataBlock(T, T + Interval * (ScansPerBlock - 1), Scans);
    Put(B);
    Written += static_cast<long long>(B.size());
    T += Interval * ScansPerBlock;
  }
  Put(EventBlock(22, T, T));
  return Path;
}

double PeakRssMB() {
  rusage U{};
  getrusage(RUSAGE_SELF, &U);
  return static_cast<double>(U.ru_maxrss) / 1024.0;
}

// The Save command's conversion: decode every block and write the .PRN text.
void BM_DDRSaveAsText(benchmark::State& State) {
  const std::string Input = BenchFile(static_cast<int>(State.range(0)));
  TNullDialog Dialog;
  TNullStatus Status;
  TNullPane Pane;
  TNoBusyCursor Busy;
  TUiServices Ui{Dialog, Status, Pane, Busy};
  TDDRObj DDR(Dialog);
  TDateTimeFormat Format;
  SetDateTimeFormat(Format, "MM/DD/YYYY HH:MM:SS");
  bool FileValid = false;
  TDDRPage Page(DDR, Ui, Format, FileValid, [](const std::string&) { return true; });
  Page.SetDDRLogText(Input);
  Page.edtFilenameExit();
  if (!FileValid) {
    State.SkipWithError("cannot open the generated file");
    return;
  }
  const double RssBefore = PeakRssMB();
  long long OutBytes = 0;
  // Save as the application drives the page.
  for (auto _ : State) {
    if (!Page.ImportDDR(cmNone, "the save failed")) {
      State.SkipWithError(Status.Last.c_str());
      return;
    }
    OutBytes = static_cast<long long>(fs::file_size(DDR.DDROutputFileName));
  }
  const long long InBytes = static_cast<long long>(fs::file_size(Input));
  State.SetBytesProcessed(State.iterations() * InBytes);
  State.counters["input_MB"] = static_cast<double>(InBytes) / 1e6;
  State.counters["output_MB"] = static_cast<double>(OutBytes) / 1e6;
  State.counters["peak_rss_MB"] = PeakRssMB();
  State.counters["rss_growth_MB"] = PeakRssMB() - RssBefore;
  fs::remove(DDR.DDROutputFileName);
}
BENCHMARK(BM_DDRSaveAsText)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

// The decoder alone: blocks to text pieces, nothing written.
void BM_DDRDecodeOnly(benchmark::State& State) {
  const std::string Input = BenchFile(100);
  TNullDialog Dialog;
  TDDRObj DDR(Dialog);
  DDR.DDRFileName = Input;
  std::string Proposal;
  if (!DDR.OpenDDR(Proposal)) {
    State.SkipWithError("cannot open the generated file");
    return;
  }
  const std::string Pattern = "MM/DD/YYYY HH:MM:SS";
  std::string Text;
  long long Chars = 0;
  for (auto _ : State) {
    DDR.Rewind();
    int Count = 0, Width = 11, Resume = 0;
    std::int64_t ScanTime = 0;
    DDR.ReadBlock(Count);
    while (Count > DDRHeaderSize) {
      while (Resume < Count) {
        DDR.DecodeBlock(Text, Width, Pattern, Resume, DDRLineBudget, ScanTime, false);
        if (Text.empty()) break;
        Chars += static_cast<long long>(Text.size());
      }
      DDR.ReadBlock(Count);
      Resume = 0;
    }
  }
  State.SetBytesProcessed(State.iterations() * static_cast<long long>(fs::file_size(Input)));
  State.counters["text_MB_per_pass"] =
      static_cast<double>(Chars) / 1e6 / static_cast<double>(State.iterations());
}
BENCHMARK(BM_DDRDecodeOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code Ec;
  fs::remove_all(BenchDir(), Ec);
  return 0;
}
