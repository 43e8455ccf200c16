// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "CliRun.h"
#include "generators/DDRGen.h"

namespace quorvin::test {
namespace {

using namespace ddrgen;
namespace fs = std::filesystem;

using TDdrRun = TRun;

class CmdDdr : public ::testing::Test {
protected:
  TScratchDir Scratch;
  fs::path Dir{Scratch.Path()};
  std::string Ddr;

  void SetUp() override {
    Ddr = (Dir / "site.ddr").string();
    const std::int32_t T0 = DDRTime(2024, 3, 5, 10, 0, 0);
    std::vector<TGenSensor> S = {{"Stage", "ft"}};
    S[0].Flags = 1;
    TBytes F = MasterBlock(T0, T0, "V1", "u-7");
    Append(F, SensorBlock(T0, T0, 900, S));
    TBytes Scans;
    PutScan(Scans, S, {12345});
    PutScan(Scans, S, {Missing()});
    Append(F, DataBlock(T0, T0 + 900, Scans));
    Append(F, NoteBlock(T0, T0, "hi"));
    ASSERT_TRUE(WriteWhole(Ddr, F));
  }
  TDdrRun Cli(std::vector<std::string> Args) {
    return RunCliWithIni((Dir / "none.ini").string(), std::move(Args));
  }
  std::string Read(const std::string& Name) { return ReadWhole((Dir / Name).string()); }
};

const std::string Heading = "            "
                            "   Stage ft   \n"
                            "            "
                            "------------- \n";

TEST_F(CmdDdr, DisplayIsTheDefault) {
  TDdrRun R = Cli({"ddr", Ddr});
  EXPECT_EQ(R.Code, 0);
  const std::string Expected = "Unit ID: U-7\nVersion: V1\n" + Heading +
                               "030524 1000      123.45 ? \n"
                               "030524 1015        -.-- ? \n"
                               "030524 1000 hi\n";
  EXPECT_EQ(R.Out, Expected);
  EXPECT_EQ(R.Err, "");
  EXPECT_EQ(Cli({"ddr", "--display", Ddr}).Out, Expected);
}

TEST_F(CmdDdr, SummaryListsTheBlocks) {
  TDdrRun R = Cli({"--set", "DateTimeFormat=MM/DD/YYYY HH:MM:SS", "ddr", Ddr, "--summary"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Out, "\nSTART TIME          STOP TIME           STATUS         LEN  NOTE\n"
                   "------------------- ------------------- -------------- ---- ---------------\n"
                   "03/05/2024 10:00:00 03/05/2024 10:00:00 Master           88\n"
                   "03/05/2024 10:00:00 03/05/2024 10:00:00 Sensor           52\n"
                   "03/05/2024 10:00:00 03/05/2024 10:15:00 Data             16\n"
                   "03/05/2024 10:00:00 03/05/2024 10:00:00 Log Note         15 hi\n"
                   "Total Data: 4 Bytes; Non-data: 167 Bytes; Ratio:   2.34%;\n\n\n");
}

TEST_F(CmdDdr, SaveWritesTheProposedOrTheGivenOutput) {
  TDdrRun R = Cli({"--set", "AddNotes=NO", "--set", "USGSStation=yes", "ddr", Ddr, "--save"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Out, "");
  EXPECT_EQ(R.Err, "status: DDR Log written to " + (Dir / "SITE.PRN").string() + ".\n");
  EXPECT_EQ(Read("SITE.PRN"), "//STATION: U-7\r\nUnit ID: U-7\r\nVersion: V1\r\n"
                              "               Stage ft   \r\n"
                              "            ------------- \r\n"
                              "030524 1000      123.45 ? \r\n"
                              "030524 1015        -.-- ? \r\n");

  R = Cli({"ddr", Ddr, "--save", "--output", "other.prn"});
  EXPECT_EQ(R.Code, 0);
  EXPECT_EQ(R.Err, "status: DDR Log written to " + (Dir / "other.prn").string() + ".\n");
  EXPECT_EQ(Read("other.prn").substr(0, 12), "Unit ID: U-7");
}

TEST_F(CmdDdr, ExcelOutputBecomesAWorkbook) {
  TDdrRun R = Cli({"--set", "DDROutputFormat=excel", "ddr", Ddr, "--save"});
  EXPECT_EQ(R.Code, 0) << R.Err;
  EXPECT_EQ(R.Err, "status: DDR Log written to " + (Dir / "SITE.XLS").string() + ".\n");
  EXPECT_EQ(Read("SITE.XLS").substr(0, 2), "PK"); // a workbook, no longer text
}

// The tool run in a child process whose files may not grow past Limit bytes:
// a write beyond fails, as on a full disk. Its exit code and error output.
TDdrRun RunWithFileSizeLimit(rlim_t Limit, const std::function<TDdrRun()>& Run) {
  int Pipe[2];
  if (::pipe(Pipe) != 0) return {-1, "", "no pipe"};
  const pid_t Child = ::fork();
  if (Child == 0) {
    ::close(Pipe[0]);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit L{Limit, Limit};
    ::setrlimit(RLIMIT_FSIZE, &L);
    const TDdrRun R = Run();
    if (::write(Pipe[1], R.Err.data(), R.Err.size()) < 0) ::_exit(99);
    ::_exit(R.Code);
  }
  ::close(Pipe[1]);
  TDdrRun R{-1, "", ""};
  char Buf[256];
  ssize_t N;
  while ((N = ::read(Pipe[0], Buf, sizeof Buf)) > 0) R.Err.append(Buf, static_cast<std::size_t>(N));
  ::close(Pipe[0]);
  int Status = 0;
  if (Child > 0 && ::waitpid(Child, &Status, 0) == Child && WIFEXITED(Status))
    R.Code = WEXITSTATUS(Status);
  return R;
}

// An Excel Save that cannot finish leaves the workbook there byte for byte
// and no temporary file behind: appending text to it is refused, and a
// conversion that fails (a file-size limit here) replaces nothing.
TEST_F(CmdDdr, FailedExcelSaveKeepsTheOldWorkbook) {
  const std::vector<std::string> Save = {"--set", "DDROutputFormat=excel", "ddr", Ddr, "--save"};
  ASSERT_EQ(Cli(Save).Code, 0);
  const std::string Book = Read("SITE.XLS");
  ASSERT_EQ(Book.substr(0, 2), "PK");
  std::vector<std::string> Append = {"--set", "AppendDDRData=YES"};
  Append.insert(Append.end(), Save.begin(), Save.end());
  const std::string Failed = "status: Error! Unable to save DDR file.\n";
  const struct {
    const char* Name;
    TDdrRun Run;
    std::string Err;
  } Cases[] = {
      {"append", Cli(Append),
       "error: Error opening output file " + (Dir / "SITE.XLS").string() + ".\n" + Failed},
      {"conversion", RunWithFileSizeLimit(2048, [&] { return Cli(Save); }), Failed},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(C.Run.Code, 1) << C.Name;
    EXPECT_EQ(C.Run.Err, C.Err) << C.Name;
    EXPECT_TRUE(Read("SITE.XLS") == Book) << C.Name; // byte for byte
    std::vector<std::string> Files;
    for (const auto& E : fs::directory_iterator(Dir)) Files.push_back(E.path().filename());
    std::sort(Files.begin(), Files.end());
    EXPECT_EQ(Files, (std::vector<std::string>{"SITE.XLS", "site.ddr"})) << C.Name;
  }
}

// A Save stopped by a full disk (a file-size limit here) says why, as the
// LOGPRN Save does, naming the file asked for, not the temporary one.
TEST_F(CmdDdr, FullDiskSaysWhy) {
  const TDdrRun R = RunWithFileSizeLimit(64, [&] { return Cli({"ddr", Ddr, "--save"}); });
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "error: Error closing Log Output file.\nreason: " + (Dir / "SITE.PRN").string() +
                       ": File too large\nstatus: Error! Unable to save DDR file.\n");
  EXPECT_FALSE(fs::exists(Dir / "SITE.PRN"));
}

TEST_F(CmdDdr, FailuresAndUsage) {
  TDdrRun R = Cli({"ddr", (Dir / "none.ddr").string()});
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "error: File does not exist or is invalid. Please select another file.\n"
                   "status: Error! Please select a valid file.\n");

  R = Cli({"ddr", Ddr, "--save", "--output", "x.txt"});
  EXPECT_EQ(R.Code, 1);
  EXPECT_EQ(R.Err, "error: Please enter valid \"Text\" Output File Name.\n"
                   "status: Error! Unable to save DDR file.\n");

  for (const auto& Args : {std::vector<std::string>{"ddr"},
                           {"ddr", Ddr, "--display", "--save"},
                           {"ddr", Ddr, "--output", "x.prn"},
                           {"ddr", Ddr, "--save", "--output"},
                           {"ddr", Ddr, "--fast"}}) {
    R = Cli(Args);
    EXPECT_EQ(R.Code, 2) << Args.size();
    EXPECT_NE(R.Err.find(
                  "usage: quorvin-cli ddr DDR... [--display | --save | --summary] [--output PATH]"),
              std::string::npos)
        << R.Err;
  }
}

TEST_F(CmdDdr, SampleFileThroughTheProgram) {
  TRun R = RunCliProgram((Dir / "none.ini").string(),
                         {"ddr", ExamplesDir() + "/SAMPLE.DDR", "--summary"});
  EXPECT_EQ(R.Code, 0);
  const std::string& Out = R.Out;
  EXPECT_EQ(Out, "\nSTART TIME  STOP TIME   STATUS         LEN  NOTE\n"
                 "----------- ----------- -------------- ---- ---------------\n"
                 "060124 0000 060124 0000 Master           88\n"
                 "060124 0000 060124 0000 System Power-up  16\n"
                 "060124 0000 060124 0000 Sensor          148\n"
                 "060124 0000 060124 0000 Base             28\n"
                 "060124 0000 060124 0745 Data            492\n"
                 "060124 0400 060124 0400 Log Note         38 Site visit: gauge cleaned\n"
                 "060124 0800 060124 1545 Bad Data        492\n"
                 "060124 1600 060124 2345 Data            492\n"
                 "060124 2359 060124 2359 Low Battery      16\n"
                 "060224 0000 060224 0000 END              16\n"
                 "Total Data: 1440 Bytes; Non-data: 386 Bytes; Ratio:  78.86%;\n\n\n");
}

} // namespace
} // namespace quorvin::test
