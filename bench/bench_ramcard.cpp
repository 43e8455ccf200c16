// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of the dump reader over one large stored file: the checksum
// walk and the copy, both through the 40000-byte buffer.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "generators/RamCardGen.h"
#include "generators/ScratchFiles.h"
#include "ramcard/RamCard.h"

namespace {

using namespace quorvin;

struct TSilentDialog : IMessageDialog {
  TMsgResult Show(TMsgKind, const std::string&, TMsgButtons, const std::string&) override {
    return TMsgResult::OK;
  }
};

struct TBenchDump {
  std::string Folder;
  explicit TBenchDump(std::size_t DataBytes) {
    std::string Template = (std::filesystem::temp_directory_path() / "qvbenchXXXXXX").string();
    if (::mkdtemp(Template.data()) == nullptr) std::abort();
    Folder = Template;
    std::string Data(DataBytes, '\0');
    for (std::size_t I = 0; I < Data.size(); ++I) Data[I] = static_cast<char>(I * 31 + 7);
    test::WriteWhole(Folder + "/RAMCARD.RCD", test::RamGenDump({{"BIG.DAT", Data}}));
  }
  ~TBenchDump() {
    std::error_code Ec;
    std::filesystem::remove_all(Folder, Ec);
  }
};

// Opens the dump in Folder and steps onto its one entry.
bool OpenFirstEntry(TRamCard& Card, const std::string& Folder) {
  Card.DumpFileName = Folder;
  return Card.OpenDump() && Card.ValidateDump() && Card.NextEntry();
}

void BM_VerifyEntry(benchmark::State& State) {
  TBenchDump Dump(static_cast<std::size_t>(State.range(0)));
  TSilentDialog Dialog;
  TRamCard Card(Dialog);
  if (!OpenFirstEntry(Card, Dump.Folder)) {
    State.SkipWithError("dump not readable");
    return;
  }
  for (auto _ : State) benchmark::DoNotOptimize(Card.VerifyEntry());
  State.SetBytesProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_VerifyEntry)->Arg(16 << 20);

void BM_SaveEntry(benchmark::State& State) {
  TBenchDump Dump(static_cast<std::size_t>(State.range(0)));
  TSilentDialog Dialog;
  TRamCard Card(Dialog);
  if (!OpenFirstEntry(Card, Dump.Folder)) {
    State.SkipWithError("dump not readable");
    return;
  }
  const std::string Target = Dump.Folder + "/OUT.DAT";
  for (auto _ : State) benchmark::DoNotOptimize(Card.SaveEntry(Target));
  State.SetBytesProcessed(State.iterations() * State.range(0));
}
BENCHMARK(BM_SaveEntry)->Arg(16 << 20);

} // namespace

BENCHMARK_MAIN();
