// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli as a farm runs it: one process per file. Each case starts the
// built tool (or a peer) as a process and reports its wall time, the
// processor time of the process and its children (cpu_ms per run) and the
// largest resident size of one run (peak_MB):
//   --version; header and prn of the 9 KB sample; prn of a 200,000-record,
//   16-sensor log, and the pandas peer script converting the same log;
//   1,000 sample-sized logs through xargs -P2, one process per file,
//   against one --jobs 2 run over the same files, and /bin/true started
//   as often, the floor of the machine.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "BenchLog.h"
#include "generators/ScratchFiles.h"

extern char** environ;

namespace {

using namespace quorvin;
namespace fs = std::filesystem;

struct TChild {
  int Status = -1;
  double WallSecs = 0;
  double CpuSecs = 0;
};

// Runs Args[0] with Args in Folder, standard output and error to /dev/null.
TChild Run(const std::vector<std::string>& Args, const std::string& Folder) {
  std::vector<char*> Argv;
  for (const std::string& A : Args) Argv.push_back(const_cast<char*>(A.c_str()));
  Argv.push_back(nullptr);
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  posix_spawn_file_actions_addopen(&Actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&Actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addchdir_np(&Actions, Folder.c_str());
  TChild Child;
  const auto Start = std::chrono::steady_clock::now();
  pid_t Pid;
  if (posix_spawnp(&Pid, Argv[0], &Actions, nullptr, Argv.data(), environ) == 0) {
    struct rusage Usage {};
    if (::wait4(Pid, &Child.Status, 0, &Usage) == Pid) {
      Child.CpuSecs = double(Usage.ru_utime.tv_sec + Usage.ru_stime.tv_sec) +
                      double(Usage.ru_utime.tv_usec + Usage.ru_stime.tv_usec) / 1e6;
    }
  }
  Child.WallSecs = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  posix_spawn_file_actions_destroy(&Actions);
  return Child;
}

// The scratch folder of the run: the sample, the 200,000-record log, the
// 1,000 copies of the sample and their list, and an empty settings file.
const test::TScratchDir& Folder() {
  static const test::TScratchDir Dir;
  static const bool Made = [] {
    fs::copy_file(std::string(QUORVIN_EXAMPLES) + "/SITE1.LOG", Dir / "SITE1.LOG");
    test::WriteWhole(Dir / "none.ini", "");
    test::TGenLog Log = bench::BenchLog();
    test::WriteWhole(Dir / "BIG.LOG", test::LogFileBytes(Log, 200000));
    fs::create_directory(Dir / "many");
    std::string List;
    for (int I = 0; I < 1000; ++I) {
      char Name[16];
      std::snprintf(Name, sizeof Name, "S%04d.LOG", I);
      fs::copy_file(Dir / "SITE1.LOG", Dir / ("many/" + std::string(Name)));
      List += Dir / ("many/" + std::string(Name));
      List += '\n';
    }
    test::WriteWhole(Dir / "many.txt", List);
    return true;
  }();
  (void)Made;
  return Dir;
}

// The largest resident size of one run, as /usr/bin/time sees it: a child
// of this process would report this process's own size (a process's peak
// counts the memory it was started from).
double PeakMb(const std::vector<std::string>& Args) {
  const std::string Report = Folder() / "peak.txt";
  std::vector<std::string> Timed = {"/usr/bin/time", "-f", "%M", "-o", Report};
  Timed.insert(Timed.end(), Args.begin(), Args.end());
  if (Run(Timed, Folder().Path()).Status != 0) return 0;
  return std::atof(test::ReadWhole(Report).c_str()) / 1024.0;
}

void Measure(benchmark::State& State, const std::vector<std::string>& Args) {
  const std::string& Dir = Folder().Path();
  double Cpu = 0;
  for (auto _ : State) {
    const TChild C = Run(Args, Dir);
    if (C.Status != 0) {
      State.SkipWithError((Args[0] + " failed").c_str());
      return;
    }
    State.SetIterationTime(C.WallSecs);
    Cpu += C.CpuSecs;
  }
  State.counters["cpu_ms"] = 1000.0 * Cpu / double(State.iterations());
  State.counters["peak_MB"] = PeakMb(Args);
}

// The tool built beside, or another build of it named in QUORVIN_CLI (to
// set two builds side by side on one machine).
std::string CliPath() {
  const char* Other = std::getenv("QUORVIN_CLI");
  return Other && *Other ? Other : QUORVIN_CLI_PATH;
}

std::vector<std::string> Cli(std::vector<std::string> Args) {
  Args.insert(Args.begin(), {CliPath(), "--ini", Folder() / "none.ini"});
  return Args;
}

void BM_Version(benchmark::State& State) { Measure(State, {CliPath(), "--version"}); }
void BM_HeaderSample(benchmark::State& State) {
  Measure(State, Cli({"header", Folder() / "SITE1.LOG"}));
}
void BM_PrnSample(benchmark::State& State) { Measure(State, Cli({"prn", Folder() / "SITE1.LOG"})); }
void BM_Prn200k(benchmark::State& State) { Measure(State, Cli({"prn", Folder() / "BIG.LOG"})); }

void BM_Prn200kPandasPeer(benchmark::State& State) {
  if (Run({"/usr/bin/python3", "-c", "import pandas"}, Folder().Path()).Status != 0) {
    State.SkipWithError("python3 with pandas is not installed (scripts/setup.sh installs it)");
    return;
  }
  Measure(State,
          {"/usr/bin/python3", QUORVIN_PEER_SCRIPT, Folder() / "BIG.LOG", Folder() / "PEER.PRN"});
}

void BM_Many1000Xargs(benchmark::State& State) {
  Measure(State, {"xargs", "-P2", "-n1", "-a", Folder() / "many.txt", CliPath(), "--ini",
                  Folder() / "none.ini", "--jobs", "1", "prn"});
}
// What the machine allows: the same 1,000 starts of a program that does
// nothing.
void BM_Many1000XargsTrue(benchmark::State& State) {
  Measure(State, {"xargs", "-P2", "-n1", "-a", Folder() / "many.txt", "/bin/true"});
}
void BM_Many1000Jobs2(benchmark::State& State) {
  Measure(State, Cli({"--jobs", "2", "--files-from", Folder() / "many.txt", "prn"}));
}

BENCHMARK(BM_Version)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_HeaderSample)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PrnSample)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_Prn200k)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Prn200kPandasPeer)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Many1000Xargs)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Many1000XargsTrue)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Many1000Jobs2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
