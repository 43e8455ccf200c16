// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli graph: the chart it draws receives what the window's chart
// receives for the same log, sensors, dates and scale; it reports as the
// other commands do.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "CliRun.h"
#include "app/ChartPicture.h"
#include "core/IniFile.h"
#include "support/FakeApp.h"

namespace quorvin::test {
namespace {

// A chart picture that records what it is told, and writes a few bytes as
// its picture (or fails, with a reason).
class TRecordingPicture : public IChartPicture {
public:
  TFakeChart Chart;
  const TDateTimeFormat* Format = nullptr;
  std::vector<std::string> Written;
  bool Fail = false;

  void UseFormat(const TDateTimeFormat& F) override { Format = &F; }
  void ShowColours(const TChartColours&) override {}
  bool WriteChart(const std::string& FileName, TChartFileType Type, std::string& Reason) override {
    Written.push_back(FileName);
    if (Fail || Type != TChartFileType::Png) {
      Reason = FileName + ": Permission denied";
      return false;
    }
    return WriteWhole(FileName, "PNG");
  }
  void RemoveAllSeries() override { Chart.RemoveAllSeries(); }
  int CreateDateTimeLineSeries() override { return Chart.CreateDateTimeLineSeries(); }
  void ClearTitle() override { Chart.ClearTitle(); }
  void AddTitleLine(const std::string& L) override { Chart.AddTitleLine(L); }
  void BottomAxisAutomaticOff() override { Chart.BottomAxisAutomaticOff(); }
  void SetBottomAxisMaximum(TDateTime V) override { Chart.SetBottomAxisMaximum(V); }
  void SetBottomAxisMinimum(TDateTime V) override { Chart.SetBottomAxisMinimum(V); }
  void SetBottomAxisDateTimeFormat(const std::string& P) override {
    Chart.SetBottomAxisDateTimeFormat(P);
  }
  void BottomAxisLabelsOnOneLine() override { Chart.BottomAxisLabelsOnOneLine(); }
  void SetLeftAxisMaximum(double V) override { Chart.SetLeftAxisMaximum(V); }
  void SetLeftAxisMinimum(double V) override { Chart.SetLeftAxisMinimum(V); }
  void AddPoint(int S, TDateTime X, double Y) override { Chart.AddPoint(S, X, Y); }
  void SetSeriesTitle(int S, const std::string& T) override { Chart.SetSeriesTitle(S, T); }
  void AttachSeriesToAxes(int S) override { Chart.AttachSeriesToAxes(S); }
  void ActivateSeries(int S) override { Chart.ActivateSeries(S); }
  void Repaint() override { Chart.Repaint(); }
};

// Runs the tool with charts made as recording pictures; the last one made
// stays for the test to look at.
struct TGraphRun {
  TRun Result;
  TRecordingPicture* Picture = nullptr;
  std::vector<std::pair<int, int>> Sizes;
};

class CmdGraph : public ::testing::Test {
protected:
  TScratchDir Dir;
  std::vector<std::unique_ptr<TRecordingPicture>> Made;
  bool FailWrites = false;

  void SetUp() override { CopySamples(Dir, {"SITE1.LOG"}); }

  TGraphRun Run(std::vector<std::string> Args, bool WithCharts = true) {
    TGraphRun R;
    cli::TCliEnvironment Environment;
    if (WithCharts)
      Environment.Charts = [&](int Width, int Height) -> std::unique_ptr<IChartPicture> {
        R.Sizes.emplace_back(Width, Height);
        // Kept past the run, so the test can look at what it received.
        Made.push_back(std::make_unique<TRecordingPicture>());
        Made.back()->Fail = FailWrites;
        R.Picture = Made.back().get();
        return std::make_unique<TBorrowed>(*Made.back());
      };
    Args.insert(Args.begin(), {"--ini", TestIni(Dir / "none.ini")});
    std::ostringstream Out, Err;
    R.Result.Code = cli::RunCli(Args, Out, Err, Environment);
    R.Result.Out = Out.str();
    R.Result.Err = Err.str();
    return R;
  }

  // Hands the calls on to a picture the test keeps.
  class TBorrowed : public IChartPicture {
  public:
    explicit TBorrowed(IChartPicture& To) : FTo(To) {}
    void UseFormat(const TDateTimeFormat& F) override { FTo.UseFormat(F); }
    void ShowColours(const TChartColours& C) override { FTo.ShowColours(C); }
    bool WriteChart(const std::string& N, TChartFileType T, std::string& R) override {
      return FTo.WriteChart(N, T, R);
    }
    void RemoveAllSeries() override { FTo.RemoveAllSeries(); }
    int CreateDateTimeLineSeries() override { return FTo.CreateDateTimeLineSeries(); }
    void ClearTitle() override { FTo.ClearTitle(); }
    void AddTitleLine(const std::string& L) override { FTo.AddTitleLine(L); }
    void BottomAxisAutomaticOff() override { FTo.BottomAxisAutomaticOff(); }
    void SetBottomAxisMaximum(TDateTime V) override { FTo.SetBottomAxisMaximum(V); }
    void SetBottomAxisMinimum(TDateTime V) override { FTo.SetBottomAxisMinimum(V); }
    void SetBottomAxisDateTimeFormat(const std::string& P) override {
      FTo.SetBottomAxisDateTimeFormat(P);
    }
    void BottomAxisLabelsOnOneLine() override { FTo.BottomAxisLabelsOnOneLine(); }
    void SetLeftAxisMaximum(double V) override { FTo.SetLeftAxisMaximum(V); }
    void SetLeftAxisMinimum(double V) override { FTo.SetLeftAxisMinimum(V); }
    void AddPoint(int S, TDateTime X, double Y) override { FTo.AddPoint(S, X, Y); }
    void SetSeriesTitle(int S, const std::string& T) override { FTo.SetSeriesTitle(S, T); }
    void AttachSeriesToAxes(int S) override { FTo.AttachSeriesToAxes(S); }
    void ActivateSeries(int S) override { FTo.ActivateSeries(S); }
    void Repaint() override { FTo.Repaint(); }

  private:
    IChartPicture& FTo;
  };
};

// Everything a chart was told, for comparing two charts whole.
std::string Received(const TFakeChart& C) {
  std::ostringstream S;
  S.precision(17);
  for (const std::string& Call : C.Calls) S << Call << "\n";
  for (const std::string& Line : C.Title) S << "title " << Line << "\n";
  S << "bottom " << C.BottomAutomatic << " " << C.BottomMinimum << " " << C.BottomMaximum << " "
    << C.BottomFormat << " " << C.BottomOneLine << "\n";
  S << "left " << C.LeftMinimum << " " << C.LeftMaximum << "\n";
  for (const TFakeSeries& Series : C.Series) {
    S << "series " << Series.Title << " " << Series.DateTimeX << Series.Attached << Series.Active
      << " " << Series.Points.size() << "\n";
    for (const auto& [X, Y] : Series.Points) S << X << " " << Y << "\n";
  }
  return S.str();
}

TEST_F(CmdGraph, TheChartReceivesWhatTheWindowsChartReceives) {
  struct TCase {
    const char* Name;
    std::vector<std::string> Args;
    // The same choices made on the window's LOGPLOT page.
    std::function<void(TApplication&)> OnPage;
  };
  const TCase Cases[] = {
      {"every sensor", {}, [](TApplication& A) { A.Selection.SelectAllClick(true); }},
      {"two sensors, one day, a scale of their own",
       {"--sensors", "TEMP,3", "--start", "2024-05-15", "--end", "2024-05-15", "--max", "50",
        "--min", "-10.5"},
       [](TApplication& A) {
         A.Selection.CheckSensorsClick(0, true);
         A.Selection.CheckSensorsClick(2, true);
         A.Selection.dtpStartChange(PageLogPlot, EncodeDate(2024, 5, 15));
         A.Selection.dtpEndChange(PageLogPlot, EncodeDate(2024, 5, 15));
         A.GraphLimits.edtMax = "50";
         A.GraphLimits.edtMin = "-10.5";
       }},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    const std::string Png = Dir / "graph.png";
    std::vector<std::string> Args = {"graph", Dir / "SITE1.LOG", "--png", Png};
    Args.insert(Args.end(), C.Args.begin(), C.Args.end());
    const TGraphRun R = Run(Args);
    EXPECT_EQ(R.Result.Code, 0);
    EXPECT_EQ(R.Result.Out, "");
    EXPECT_EQ(R.Result.Err, "status: Chart written to " + Png + ".\n");
    EXPECT_EQ(ReadWhole(Png), "PNG");
    ASSERT_NE(R.Picture, nullptr);
    const TRecordingPicture& Picture = *R.Picture;
    EXPECT_NE(Picture.Format, nullptr);

    TFakeApp Window;
    TIniFile Ini(Dir / "none.ini");
    Window.App.FormCreate(Ini);
    Window.App.PgCntrlLogChange(PageLogPlot);
    Window.App.LogFileChange(PageLogPlot, Dir / "SITE1.LOG");
    Window.App.edtFilenameExit(PageLogPlot);
    C.OnPage(Window.App);
    ASSERT_TRUE(Window.App.OptionsGraphExecute().Succeeded);

    ASSERT_GT(Window.Chart.PointCount(), 0);
    EXPECT_EQ(Received(Picture.Chart), Received(Window.Chart));
  }
}

TEST_F(CmdGraph, DrawsAtTheAskedSize) {
  const std::string Png = Dir / "graph.png";
  EXPECT_EQ(Run({"graph", Dir / "SITE1.LOG", "--png", Png}).Sizes,
            (std::vector<std::pair<int, int>>{{800, 600}}));
  EXPECT_EQ(Run({"graph", Dir / "SITE1.LOG", "--png", Png, "--size", "1200x400"}).Sizes,
            (std::vector<std::pair<int, int>>{{1200, 400}}));
}

TEST_F(CmdGraph, ReportsAsTheOtherCommands) {
  const std::string Png = Dir / "graph.png";
  const std::string Log = Dir / "SITE1.LOG";
  const std::string Usage = " (usage: quorvin-cli graph LOG [--sensors LIST] [--start YYYY-MM-DD] "
                            "[--end YYYY-MM-DD] --png FILE [--size WxH] [--max N] [--min N])\n";
  struct TCase {
    const char* Name;
    std::vector<std::string> Args;
    bool WithCharts, FailWrite;
    int Code;
    std::string Err;
  };
  const TCase Cases[] = {
      {"built without the window",
       {"graph", Log, "--png", Png},
       false,
       false,
       2,
       "graph is not available: quorvin-cli was built without the window\n"},
      {"no such log",
       {"graph", Dir / "NONE.LOG", "--png", Png},
       true,
       false,
       1,
       "error: File does not exist or is invalid. Please select another file.\n"
       "status: Error! Please select a file.\n"},
      {"picture not written",
       {"graph", Log, "--png", Png},
       true,
       true,
       1,
       "error: The chart could not be written to " + Png + ".\nreason: " + Png +
           ": Permission denied\nstatus: Error! Unable to save chart.\n"},
      {"no --png", {"graph", Log}, true, false, 2, "--png is required" + Usage},
      {"no log", {"graph", "--png", Png}, true, false, 2, "no log file given" + Usage},
      {"size not WxH",
       {"graph", Log, "--png", Png, "--size", "800"},
       true,
       false,
       2,
       "--size takes WIDTHxHEIGHT, each from 64 to 8192 pixels: 800" + Usage},
      {"size too large",
       {"graph", Log, "--png", Png, "--size", "9000x600"},
       true,
       false,
       2,
       "--size takes WIDTHxHEIGHT, each from 64 to 8192 pixels: 9000x600" + Usage},
      {"scale not a number",
       {"graph", Log, "--png", Png, "--max", "abc"},
       true,
       false,
       2,
       "--max takes a number: abc" + Usage},
      {"no sensor of that name",
       {"graph", Log, "--png", Png, "--sensors", "DEPTH"},
       true,
       false,
       2,
       "the log has no sensor DEPTH" + Usage},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    std::filesystem::remove(Png);
    FailWrites = C.FailWrite;
    const TGraphRun R = Run(C.Args, C.WithCharts);
    EXPECT_EQ(R.Result.Code, C.Code);
    EXPECT_EQ(R.Result.Err, C.Err);
    EXPECT_FALSE(std::filesystem::exists(Png));
  }
}

// "--png -" sends the picture to standard output; "--" ends the options.
TEST_F(CmdGraph, DashIsStandardOutput) {
  std::filesystem::copy_file(Dir / "SITE1.LOG", Dir / "-S.LOG");
  const std::filesystem::path Was = std::filesystem::current_path();
  std::filesystem::current_path(Dir.Path());
  const TGraphRun R = Run({"graph", "--png", "-", "--", "-S.LOG"});
  std::filesystem::current_path(Was);
  EXPECT_EQ(R.Result.Code, 0);
  EXPECT_EQ(R.Result.Out, "PNG");
  EXPECT_EQ(R.Result.Err, "status: Chart written to standard output.\n");
  EXPECT_EQ(FolderNames(Dir.Path()), (std::set<std::string>{"-S.LOG", "SITE1.LOG"}));
}

// No to the question before a long pass: the status says the graph was not
// drawn, as the window's message panel does, and no picture is written.
TEST_F(CmdGraph, DeclinedLongPassSaysSo) {
  std::string Csv = "01/01/1985,00:00:00,A,1.0,C,G\r\n";
  for (int M = 0; M < 1440; M += 15)
    Csv += "07/01/2024," + std::to_string(100 + M / 60).substr(1) + ":" +
           std::to_string(100 + M % 60).substr(1) + ":00,A,2.5,C,G\r\n";
  WriteWhole(Dir / "stray.csv", Csv);
  const TGraphRun R = Run({"graph", Dir / "stray.csv", "--png", Dir / "graph.png"});
  EXPECT_EQ(R.Result.Code, 1);
  EXPECT_EQ(R.Result.Err.substr(R.Result.Err.rfind('\n', R.Result.Err.size() - 2) + 1),
            "status: Graph cancelled.\n");
  EXPECT_FALSE(std::filesystem::exists(Dir / "graph.png"));
}

TEST_F(CmdGraph, AToolWithoutChartsHandsTheCommandOverAfterItsChecks) {
  int HandedOver = 0;
  cli::TCliEnvironment Environment;
  Environment.HandOverChart = [&](std::ostream& Err) {
    ++HandedOver;
    Err << "handed over\n";
    return 7;
  };
  auto Run = [&](std::vector<std::string> Args) {
    Args.insert(Args.begin(), {"--ini", TestIni(Dir / "none.ini")});
    std::ostringstream Out, Err;
    const int Code = cli::RunCli(Args, Out, Err, Environment);
    return std::pair{Code, Err.str()};
  };
  const std::string Log = Dir / "SITE1.LOG";
  EXPECT_EQ(Run({"graph", Log, "--png", Dir / "g.png"}),
            (std::pair{7, std::string("handed over\n")}));
  EXPECT_EQ(HandedOver, 1);
  EXPECT_EQ(Run({"graph", Log, "--png", Dir / "g.png", "--size", "800"}).first, 2);
  EXPECT_EQ(Run({"header", Log}).first, 0);
  EXPECT_EQ(HandedOver, 1);
}

} // namespace
} // namespace quorvin::test
