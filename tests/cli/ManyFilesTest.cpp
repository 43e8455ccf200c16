// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli over many files: every file is handled as a run with that file
// alone would handle it, whatever the number of jobs.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "CliRun.h"
#include "cli/BatchRun.h"
#include "core/MiscUtil.h"
#include "generators/LogGen.h"
#include "support/SameBytes.h"

namespace quorvin::test {
namespace {

namespace fs = std::filesystem;

// Logs, CSV logs and DDR files, a missing file and one of another kind.
// a.1.LOG, a.2.LOG and a.3.LOG all write A.PRN; s.1.DDR and SAMPLE.DDR
// differ in their proposed outputs but meet in one --output.
const std::vector<std::string> Inputs = {"SITE1.LOG", "a.1.LOG", "site2.csv",  "a.2.LOG",
                                         "none.LOG",  "x.dat",   "SAMPLE.DDR", "a.3.LOG",
                                         "site3.csv", "s.1.DDR"};

void MakeInputs(const TScratchDir& Dir) {
  CopySamples(Dir, {"SITE1.LOG", "site2.csv", "site3.csv", "SAMPLE.DDR"});
  fs::copy_file(Dir / "SITE1.LOG", Dir / "a.1.LOG");
  fs::copy_file(Dir / "SITE1.LOG", Dir / "a.3.LOG");
  fs::copy_file(Dir / "SAMPLE.DDR", Dir / "s.1.DDR");
  TGenLog L;
  L.Sensors = {{"STAGE", 1.0, 0.0, 2}, {"RAIN", 0.01, 0.0, 1}, {"TEMP", 0.1, -40.0, 1}};
  WriteLogFile(Dir / "a.2.LOG", L, 200,
               [](long long K, int I) { return static_cast<std::uint16_t>(32767 + 10 * I + K); });
  WriteWhole(Dir / "x.dat", "x");
}

// Text with the folder's path written as "@", so runs in two folders compare.

struct TRunSeen {
  std::string Out, Err;
  std::map<std::string, std::string> Files;
  bool operator==(const TRunSeen&) const = default;
};

TRunSeen Seen(const TScratchDir& Dir, const std::string& Out, const std::string& Err) {
  TRunSeen S{Normal(Out, Dir.Path()), Normal(Err, Dir.Path()), {}};
  for (const std::string& Name : FolderNames(Dir.Path()))
    if (Name != "none.ini") S.Files[Name] = Normal(ReadWhole(Dir / Name), Dir.Path());
  return S;
}

std::vector<std::string> Join(std::vector<std::string> A, const std::vector<std::string>& B) {
  A.insert(A.end(), B.begin(), B.end());
  return A;
}

const std::vector<std::vector<std::string>> Commands = {
    {"prn"},
    {"--set", "AppendData=NO", "--set", "DisplayFixedFormat=YES", "prn"},
    {"--set", "R600ASCII=YES", "prn", "--display", "--sensors", "4"},
    {"header"},
    {"stats", "--start", "2024-05-15", "--sensors", "1,3"},
    {"ddr"},
    {"--set", "AddHeader=YES", "ddr", "--save"},
    {"--set", "AppendDDRData=YES", "ddr", "--save", "--output", "both.prn"},
};

TEST(ManyFiles, RunAsOneRunPerFileWhateverTheJobs) {
  for (const std::vector<std::string>& Command : Commands) {
    SCOPED_TRACE(Command.back());
    TScratchDir One;
    MakeInputs(One);
    std::string Out, Err;
    int Worst = 0;
    for (const std::string& Input : Inputs) {
      const TRun R = RunCliWithIni(One / "none.ini", Join(Command, {One / Input}));
      Out += R.Out;
      Err += R.Err;
      Worst = std::max(Worst, R.Code);
    }
    const TRunSeen Expected = Seen(One, Out, Err);
    ASSERT_FALSE(Expected.Err.empty());

    for (const char* Jobs : {"1", "3"}) {
      SCOPED_TRACE(Jobs);
      TScratchDir Many;
      MakeInputs(Many);
      std::vector<std::string> Args = Join({"--jobs", Jobs}, Command);
      for (const std::string& Input : Inputs) Args.push_back(Many / Input);
      const TRun R = RunCliWithIni(Many / "none.ini", Args);
      EXPECT_EQ(R.Code, Worst);
      const TRunSeen Got = Seen(Many, R.Out, R.Err);
      EXPECT_EQ(Got.Out, Expected.Out);
      EXPECT_EQ(Got.Err, Expected.Err);
      EXPECT_EQ(Got.Files, Expected.Files);
    }
  }
}

TEST(ManyFiles, SummaryHasOneLinePerInputAndTheWorstStatus) {
  TScratchDir Dir;
  MakeInputs(Dir);
  const TRun R = RunCliWithIni(Dir / "none.ini",
                               {"prn", Dir / "SITE1.LOG", Dir / "none.LOG", Dir / "site2.csv",
                                "--sensors", "4", "--summary", Dir / "run.tsv", "--jobs", "2"});
  EXPECT_EQ(R.Code, 2);
  EXPECT_EQ(Normal(ReadWhole(Dir / "run.tsv"), Dir.Path()),
            "input\tcommand\texit status\toutput file\tstatus\n"
            "@/SITE1.LOG\tprn\t0\t@/SITE1.PRN\tLog written to @/SITE1.PRN.\n"
            "@/none.LOG\tprn\t1\t\tError! Please select a valid file.\n"
            "@/site2.csv\tprn\t2\t\tthe log has no sensor 4\n");

  // A name holding a tab or a line end stays one field of one line.
  fs::copy_file(Dir / "SITE1.LOG", Dir / "t\tab.LOG");
  ASSERT_EQ(
      RunCliWithIni(Dir / "none.ini", {"--summary", Dir / "tab.tsv", "header", Dir / "t\tab.LOG"})
          .Code,
      0);
  EXPECT_EQ(Normal(ReadWhole(Dir / "tab.tsv"), Dir.Path()),
            "input\tcommand\texit status\toutput file\tstatus\n"
            "@/t\\tab.LOG\theader\t0\t\t\n");
}

// One output named two ways is one target: the runs writing it take turns,
// so with AppendData on the second adds its data lines to the first's file.
TEST(ManyFiles, OneOutputNamedTwoWaysIsWrittenByOneRunAtATime) {
  TScratchDir Dir;
  fs::create_directory(Dir / "d");
  TGenLog L;
  L.Sensors = {{"STAGE", 1.0, 0.0, 2}, {"RAIN", 0.01, 0.0, 1}};
  WriteLogFile(Dir / "d/SITE1.LOG", L, 20000);
  ASSERT_EQ(
      RunCliWithIni(Dir / "none.ini", {"--set", "AppendData=NO", "prn", Dir / "d/SITE1.LOG"}).Code,
      0);
  const std::string One = ReadWhole(Dir / "d/SITE1.PRN");
  fs::remove(Dir / "d/SITE1.PRN");
  ASSERT_EQ(RunCliWithIni(Dir / "none.ini",
                          {"--jobs", "2", "prn", Dir / "d/SITE1.LOG", Dir / "d/../d/SITE1.LOG"})
                .Code,
            0);
  std::string Data = One;
  for (int Header = 0; Header < 4; ++Header) Data.erase(0, Data.find("\r\n") + 2);
  EXPECT_TRUE(SameBytes(ReadWhole(Dir / "d/SITE1.PRN"), One + Data));
}

TEST(ManyFiles, NamesFromAListFromStandardInputAndFromPatterns) {
  TScratchDir Dir;
  MakeInputs(Dir);
  auto Names = [&](const std::vector<std::string>& Args, std::istream* In = nullptr) {
    std::vector<std::string> Full = Join({"--ini", TestIni(Dir / "none.ini")}, Args);
    std::ostringstream Out, Err;
    cli::TCliEnvironment Env;
    Env.In = In;
    const int Code = cli::RunCli(Full, Out, Err, Env);
    return std::to_string(Code) + ":" + Normal(Out.str(), Dir.Path());
  };
  const std::string Header = "R630/R600 LOG HEADER FROM: ";
  auto Titles = [&](const std::string& Text) {
    std::string R;
    for (std::size_t P = 0; (P = Text.find(Header, P)) != std::string::npos; P += Header.size())
      R += Text.substr(P + Header.size(), Text.find('\n', P) - P - Header.size()) + ";";
    return R;
  };

  WriteWhole(Dir / "list.txt", Dir / "a.2.LOG" + "\r\n\r\n" + Dir / "SITE1.LOG\n");
  EXPECT_EQ(Titles(Names({"header", Dir / "a.1.LOG", "--files-from", Dir / "list.txt"})),
            "SITE1;SITE1;SITE1;");
  std::istringstream In(Dir / "a.2.LOG" + "\n");
  EXPECT_EQ(Names({"--files-from", "-", "header"}, &In).substr(0, 2), "0:");
  // A quoted pattern is expanded in name order; one that matches nothing
  // is the file it names, and is reported as missing.
  const std::string Matched = Names({"header", Dir / "a.?.LOG"});
  EXPECT_EQ(Titles(Matched), "SITE1;SITE1;SITE1;");
  EXPECT_EQ(Names({"header", Dir / "b.*.LOG"}), "1:");
  EXPECT_EQ(Names({"--files-from", Dir / "nolist.txt", "header"}).substr(0, 2), "2:");
  // An empty list is a run of no files.
  WriteWhole(Dir / "empty.txt", "");
  EXPECT_EQ(Names({"--files-from", Dir / "empty.txt", "stats"}), "0:");
}

TEST(ManyFiles, ProgressLineOnlyOnATerminal) {
  TScratchDir Dir;
  MakeInputs(Dir);
  auto Run = [&](int Columns) {
    std::ostringstream Out, Err;
    cli::TCliEnvironment Env;
    Env.ErrTerminalColumns = Columns;
    cli::RunCli({"--ini", TestIni(Dir / "none.ini"), "--jobs", "1", "prn", Dir / "SITE1.LOG",
                 Dir / "none.LOG"},
                Out, Err, Env);
    return Normal(Err.str(), Dir.Path());
  };
  const std::string Messages = "status: Log written to @/SITE1.PRN.\n"
                               "error: File does not exist or is invalid. Please select another "
                               "file.\nstatus: Error! Please select a valid file.\n";
  EXPECT_EQ(Run(0), Messages);
  EXPECT_EQ(Run(400), "\r[0/2] @/SITE1.LOG\033[K\r\033[K"
                      "status: Log written to @/SITE1.PRN.\n"
                      "\r[1/2] @/SITE1.LOG\033[K\r[1/2] @/none.LOG\033[K\r\033[K"
                      "error: File does not exist or is invalid. Please select another file.\n"
                      "status: Error! Please select a valid file.\n");
}

// A terminal that cannot go back over a line (TERM=dumb) gets a plain line
// per file; names are shown with their control characters escaped.
TEST(ManyFiles, PlainProgressOnADumbTerminal) {
  TScratchDir Dir;
  MakeInputs(Dir);
  fs::copy_file(Dir / "SITE1.LOG", Dir / "E\x1b[2J.LOG");
  std::ostringstream Out, Err;
  cli::TCliEnvironment Env;
  Env.ErrTerminalColumns = 400;
  Env.PlainTerminal = true;
  cli::RunCli({"--ini", TestIni(Dir / "none.ini"), "--jobs", "1", "header", Dir / "E\x1b[2J.LOG",
               Dir / "none.LOG"},
              Out, Err, Env);
  EXPECT_EQ(Normal(Err.str(), Dir.Path()),
            "[0/2] @/E\\x1b[2J.LOG\n"
            "[1/2] @/none.LOG\n"
            "error: File does not exist or is invalid. Please select another file.\n"
            "status: Error! Please select a valid file.\n");
}

TEST(ManyFiles, ProgressTextFitsTheTerminal) {
  EXPECT_EQ(cli::ProgressText(3, 12, "logs/SITE1.LOG", 80), "[3/12] logs/SITE1.LOG");
  EXPECT_EQ(cli::ProgressText(3, 12, "logs/SITE1.LOG", 18), "[3/12] ...TE1.LOG");
  EXPECT_EQ(cli::ProgressText(3, 12, "logs/SITE1.LOG", 6), "[3/12");
}

} // namespace
} // namespace quorvin::test
