// SPDX-License-Identifier: GPL-3.0-or-later
// The window, off screen:
// - LOGPRN Display of 100,000 lines into the real text pane, against the
//   same conversion saved to a file (ratio display / save, for the first of
//   each in the process and for those after it);
// - LOGPLOT Graph of 8 sensors x 525,600 points (a year of one-minute data):
//   series creation and the first paint, against the statistics pass over
//   the same data (ratio graph / statistics);
// - the window's start to its first paint, and the peak memory with the
//   1,000,000-record log of the other benchmarks displayed;
// - LOGPRN Display of a 16-sensor, one-second log of 1, 10 and 100 million
//   records: the first screen, the end of the text and the peak memory;
// - a ten-year, one-second log of 4 sensors: Display, Statistics, Graph and
//   a zoom, with the peak memory (run it under `ulimit -v 3000000`).
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>

#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "BenchLog.h"
#include "chart/ChartPanel.h"
#include "generators/LogGen.h"
#include "gui/MainForm.h"
#include "gui/ProcessMemory.h"
#include "gui/TextPane.h"

namespace {

using namespace quorvin;
using namespace quorvin::gui;
using namespace quorvin::chart;
using Clock = std::chrono::steady_clock;

std::filesystem::path Dir;

long StatusKb(const char* Key) {
  std::ifstream In("/proc/self/status");
  std::string Line;
  while (std::getline(In, Line))
    if (Line.rfind(Key, 0) == 0) return std::atol(Line.c_str() + std::strlen(Key));
  return 0;
}

double Seconds(Clock::time_point From) {
  return std::chrono::duration<double>(Clock::now() - From).count();
}

// Processor time of this thread: on a machine shared with other work the
// wall-clock ratios wander, this one less.
double CpuSeconds() {
  timespec T;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
  return double(T.tv_sec) + double(T.tv_nsec) / 1e9;
}

class TQuietDialog : public IMessageDialog {
public:
  using IMessageDialog::Show;
  TMsgResult Show(TMsgKind, const std::string& Text, TMsgButtons, const std::string&) override {
    std::fprintf(stderr, "dialog: %s\n", Text.c_str());
    return TMsgResult::No;
  }
};

class TChosenFile : public IFileDialog {
public:
  std::string Path;
  bool Execute(const TFileDialogRequest&, std::string& Chosen) override {
    Chosen = Path;
    return true;
  }
};

// Lets the window handle what is pending and paint itself.
void Paint(TMainForm& Form) {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  Form.repaint();
}

struct TWindow {
  TQuietDialog Dialog;
  TChosenFile Files;
  TNoPrinter Printer;
  std::unique_ptr<TMainForm> Form;

  TWindow() {
    TInjectedServices S;
    S.Dialog = &Dialog;
    S.FileDialog = &Files;
    S.Printer = &Printer;
    Form = std::make_unique<TMainForm>(S);
    Form->FormCreate(Dir.string() + "/", Dir.string() + "/");
    Form->show();
    Paint(*Form);
  }
  // Opens Log with every sensor checked and no appending to old output.
  bool Open(const std::string& Log) {
    Files.Path = Log;
    Run(captions::actFileOpen);
    Form->App().Selection.SelectAllClick(true);
    Form->findChild<QCheckBox*>("chkAppend")->setChecked(false);
    return Form->App().Selection.LogLoaded();
  }
  void Run(captions::TActionId Id) { Form->Action(Id)->trigger(); }
};

std::string WriteLog(const std::string& Name, int Sensors, long long Records, int Year) {
  test::TGenLog L;
  L.UnitName = "BENCH";
  L.Year = static_cast<std::uint16_t>(Year);
  L.Month = 1;
  L.Day = 1;
  L.IntervalMinutes = 1;
  for (int I = 0; I < Sensors; ++I) {
    std::string Name = "S";
    Name += std::to_string(I + 1);
    L.Sensors.push_back({Name, 0.01, 0.0, 2});
  }
  const std::string Path = (Dir / Name).string();
  test::WriteLogFile(Path, L, Records);
  return Path;
}

// Ctrl+End in the pane, as the keyboard gives it.
void PressCtrlEnd(QWidget& Pane) {
  QKeyEvent Press(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
  QCoreApplication::sendEvent(&Pane, &Press);
}

// A drag with the left button from From to To.
void Drag(QWidget& Area, QPoint From, QPoint To) {
  QMouseEvent Press(QEvent::MouseButtonPress, From, Area.mapToGlobal(From), Qt::LeftButton,
                    Qt::LeftButton, {});
  QCoreApplication::sendEvent(&Area, &Press);
  QMouseEvent Move(QEvent::MouseMove, To, Area.mapToGlobal(To), Qt::NoButton, Qt::LeftButton, {});
  QCoreApplication::sendEvent(&Area, &Move);
  QMouseEvent Release(QEvent::MouseButtonRelease, To, Area.mapToGlobal(To), Qt::LeftButton,
                      Qt::NoButton, {});
  QCoreApplication::sendEvent(&Area, &Release);
}

void BM_DisplayOverSave(benchmark::State& State) {
  TWindow W;
  if (!W.Open(WriteLog("DISPLAY.LOG", 8, 100000, 2021))) {
    State.SkipWithError("cannot load the log");
    return;
  }
  W.Form->ShowPage(PageLogPrn);
  // The first save and display of a session take their memory fresh from
  // the system, later ones reuse what was freed: both are reported.
  struct TCost {
    double First = 0, Again = 0, Cpu = 0;
    void Add(bool IsFirst, double Wall, double CpuUsed) {
      (IsFirst ? First : Again) += Wall;
      Cpu += CpuUsed;
    }
  } Save, Display;
  int Lines = 0;
  bool First = true;
  for (auto _ : State) {
    auto T = Clock::now();
    double C = CpuSeconds();
    W.Run(captions::actFileSave);
    Save.Add(First, Seconds(T), CpuSeconds() - C);
    T = Clock::now();
    C = CpuSeconds();
    W.Run(captions::actOptionsDisplay);
    Lines = W.Form->Pane().LineCount();
    Paint(*W.Form);
    Display.Add(First, Seconds(T), CpuSeconds() - C);
    W.Run(captions::actOptionsDisplay);
    First = false;
  }
  const double Again = double(State.iterations()) - 1;
  State.counters["pane_lines"] = Lines;
  State.counters["first_save_ms"] = 1000 * Save.First;
  State.counters["first_display_ms"] = 1000 * Display.First;
  State.counters["first_ratio"] = Display.First / Save.First;
  State.counters["save_ms"] = 1000 * Save.Again / Again;
  State.counters["display_ms"] = 1000 * Display.Again / Again;
  State.counters["ratio"] = Display.Again / Save.Again;
  State.counters["cpu_ratio"] = Display.Cpu / Save.Cpu;
}

void BM_GraphOverStatistics(benchmark::State& State) {
  TWindow W;
  if (!W.Open(WriteLog("YEAR.LOG", 8, 525600, 2023))) {
    State.SkipWithError("cannot load the log");
    return;
  }
  double Stats = 0, Graph = 0, StatsCpu = 0, GraphCpu = 0;
  qsizetype Points = 0;
  for (auto _ : State) {
    W.Form->ShowPage(PageLogStat);
    auto T = Clock::now();
    double C = CpuSeconds();
    W.Run(captions::actOptionsStats);
    Stats += Seconds(T);
    StatsCpu += CpuSeconds() - C;
    W.Run(captions::actOptionsStats);
    W.Form->ShowPage(PageLogPlot);
    T = Clock::now();
    C = CpuSeconds();
    W.Run(captions::actOptionsGraph);
    Paint(*W.Form);
    Graph += Seconds(T);
    GraphCpu += CpuSeconds() - C;
    Points = W.Form->Chart().SeriesPoints(0).size();
    W.Run(captions::actOptionsGraph);
  }
  const double N = double(State.iterations());
  State.counters["points_per_series"] = double(Points);
  State.counters["stats_ms"] = 1000 * Stats / N;
  State.counters["graph_ms"] = 1000 * Graph / N;
  State.counters["ratio"] = Graph / Stats;
  State.counters["cpu_ratio"] = GraphCpu / StatsCpu;
}

void BM_StartToFirstPaint(benchmark::State& State) {
  for (auto _ : State) {
    TWindow W;
    benchmark::DoNotOptimize(W.Form.get());
    State.PauseTiming();
    W.Form.reset();
    QCoreApplication::processEvents();
    State.ResumeTiming();
  }
}

void BM_MillionRecordsDisplayed(benchmark::State& State) {
  const std::string Log = (Dir / "BENCH.LOG").string();
  test::WriteLogFile(Log, bench::BenchLog(), bench::RecordCount);
  for (auto _ : State) {
    TWindow W;
    if (!W.Open(Log)) {
      State.SkipWithError("cannot load the log");
      return;
    }
    const auto T = Clock::now();
    W.Run(captions::actOptionsDisplay);
    Paint(*W.Form);
    State.counters["display_s"] = Seconds(T);
    State.counters["pane_lines"] = W.Form->Pane().LineCount();
    // Scrolling to the end and painting there stays quick.
    const auto S = Clock::now();
    PressCtrlEnd(W.Form->Pane());
    Paint(*W.Form);
    State.counters["scroll_end_ms"] = 1000 * Seconds(S);
    State.counters["rss_MB"] = StatusKb("VmRSS:") / 1024.0;
    State.counters["peak_MB"] = StatusKb("VmHWM:") / 1024.0;
  }
}

// Peak memory from here on: the process's high-water mark starts again.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// A log of one-second readings from 2021 on.
std::string WriteSecondsLog(const std::string& Name, int Sensors, long long Records) {
  test::TGenLog L;
  L.UnitName = "SECONDS";
  L.Year = 2021;
  L.Month = 1;
  L.Day = 1;
  L.IntervalMinutes = 0;
  L.IntervalSeconds = 1;
  for (int I = 0; I < Sensors; ++I)
    L.Sensors.push_back({"S" + std::to_string(I + 1), 0.01, 0.0, 2});
  const std::string Path = (Dir / Name).string();
  test::WriteLogFile(Path, L, Records);
  return Path;
}

// Display in a pane 900 x 400: the command to the first lines painted, and
// Ctrl+End to the last lines painted.
void DisplayFirstAndEnd(TWindow& W, benchmark::State& State) {
  W.Form->ShowPage(PageLogPrn);
  auto T = Clock::now();
  W.Run(captions::actOptionsDisplay);
  Paint(*W.Form);
  State.counters["first_screen_ms"] = 1000 * Seconds(T);
  TTextPane& Pane = W.Form->Pane();
  State.counters["pane_lines"] = double(Pane.LineCount());
  T = Clock::now();
  PressCtrlEnd(Pane);
  Paint(*W.Form);
  State.counters["end_ms"] = 1000 * Seconds(T);
  if (Pane.FirstVisibleLine() + Pane.VisibleLines() < Pane.LineCount())
    State.SkipWithError("the end of the display is not in view");
}

void BM_DisplayLongLog(benchmark::State& State) {
  const std::string Log = WriteSecondsLog("LONG.LOG", 16, State.range(0));
  for (auto _ : State) {
    ResetPeak();
    TWindow W;
    W.Form->resize(900, 700);
    if (!W.Open(Log)) {
      State.SkipWithError("cannot load the log");
      return;
    }
    DisplayFirstAndEnd(W, State);
    State.counters["peak_mb"] = StatusKb("VmHWM:") / 1024.0;
  }
  std::filesystem::remove(Log);
}

void BM_TenYearLog(benchmark::State& State) {
  const std::string Log = WriteSecondsLog("TENYEARS.LOG", 4, 10LL * 365 * SecsPerDay);
  for (auto _ : State) {
    ResetPeak();
    TWindow W;
    W.Form->resize(900, 700);
    if (!W.Open(Log)) {
      State.SkipWithError("cannot load the log");
      return;
    }
    DisplayFirstAndEnd(W, State);
    W.Run(captions::actOptionsDisplay);
    W.Form->ShowPage(PageLogStat);
    auto T = Clock::now();
    W.Run(captions::actOptionsStats);
    State.counters["stats_s"] = Seconds(T);
    W.Run(captions::actOptionsStats);
    W.Form->ShowPage(PageLogPlot);
    T = Clock::now();
    W.Run(captions::actOptionsGraph);
    Paint(*W.Form);
    State.counters["graph_s"] = Seconds(T);
    // A drag across a tenth of the plot zooms into a year.
    TChartPanel& Chart = W.Form->Chart();
    const QPoint From = Chart.viewport()->rect().center() - QPoint(40, 0);
    T = Clock::now();
    Drag(*Chart.viewport(), From, From + QPoint(80, 0));
    Paint(*W.Form);
    State.counters["zoom_ms"] = 1000 * Seconds(T);
    State.counters["points_per_series"] = double(Chart.SeriesPoints(0).size());
    State.counters["peak_mb"] = StatusKb("VmHWM:") / 1024.0;
  }
  std::filesystem::remove(Log);
}

BENCHMARK(BM_DisplayOverSave)->Unit(benchmark::kMillisecond)->Iterations(4)->UseRealTime();
BENCHMARK(BM_GraphOverStatistics)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_StartToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_MillionRecordsDisplayed)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_DisplayLongLog)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Arg(100000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();
BENCHMARK(BM_TenYearLog)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The window program's own memory policy, so its figures are the program's.
  SetUpProcessMemory();
  QApplication App(argc, argv);
  Dir = std::filesystem::temp_directory_path() /
        ("quorvin-bench-window-" + std::to_string(::getpid()));
  std::filesystem::create_directories(Dir);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code Ec;
  std::filesystem::remove_all(Dir, Ec);
  return 0;
}
