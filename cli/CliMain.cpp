// SPDX-License-Identifier: GPL-3.0-or-later
#include <glob.h>
#include <sys/stat.h>

#include <climits>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <istream>
#include <memory>
#include <mutex>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "app/Captions.h"
#include "app/Settings.h"
#include "cli/BatchRun.h"
#include "cli/CliContext.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ConsoleUi.h"
#include "core/ChartService.h"
#include "core/IniFile.h"
#include "core/OutputFile.h"
#include "core/RegularFile.h"

namespace quorvin::cli {

namespace {

namespace fs = std::filesystem;

// Long work stops at its next step once standard output cannot be written:
// nothing it makes could be shown.
class TConsoleBusy : public IBusyCursor {
public:
  explicit TConsoleBusy(const std::function<int()>& OutError) : FOutError(OutError) {}
  void Begin() override {}
  bool Step(long long, long long) override { return FOutError && FOutError() != 0; }
  void End() override {}

private:
  const std::function<int()>& FOutError;
};

// The settings of the run, loaded once; every run of the command gets its
// own copy, made one at a time.
class TRunSettings {
public:
  explicit TRunSettings(const TCommandLine& Line) : FIni(Line.IniPath) {
    // --set acts as if the key had that value in the file.
    for (const auto& [Setting, Value] : Line.Sets)
      FIni.WriteString(std::string(Setting->Section), std::string(Setting->Key), Value);
  }
  int LoadError() const { return FIni.LoadError(); }
  TIniFile Copy() const {
    const std::lock_guard<std::mutex> Lock(FLock);
    return TIniFile(FIni);
  }

private:
  TIniFile FIni;
  mutable std::mutex FLock;
};

// The console's services and an application loaded from the settings, as
// the window loads them: one per run of a command. The tool never writes
// the settings file.
struct TConsoleRun {
  TConsoleDialog Dialog;
  TConsoleStatusBar Status;
  TConsolePane Pane;
  TConsoleBusy Busy;
  TNoChart NoChart;
  TNoFileDialog FileDialog;
  TNoFolderBrowser FolderBrowser;
  TNoPrinter Printer;
  TNoHelpViewer Help;
  std::unique_ptr<IMountPoints> Mounts = SystemMountPoints();
  TAppServices Services;
  TApplication App{Services};

  // Chart: the chart of a command that draws one; none draws nothing.
  TConsoleRun(std::ostream& Out, std::ostream& Err, const TCommandLine& Line,
              const TRunSettings& Settings, const TCliEnvironment& Environment,
              IChart* Chart = nullptr)
      : Dialog(Err, Line.Yes), Pane(Out), Busy(Environment.OutError),
        Services{Dialog,     Status,        Pane,    Busy, Chart ? *Chart : NoChart,
                 FileDialog, FolderBrowser, Printer, Help, *Mounts} {
    TIniFile Ini = Settings.Copy();
    App.FormCreate(Ini);
  }
};

// One run of the command (on Input, for the commands over many files),
// exactly as the tool runs it on that file alone.
TBatchResult RunCommand(const TCommandLine& Line, const TRunSettings& Settings,
                        const std::string& Input, std::ostream& Out, std::ostream& Err,
                        const TCliEnvironment& Environment) {
  std::unique_ptr<IChartPicture> Chart;
  if (Line.Command->NeedsChart) Chart = Environment.Charts(Line.Graph.Width, Line.Graph.Height);
  TConsoleRun Run(Out, Err, Line, Settings, Environment, Chart.get());
  TCliContext Ctx{Run.App, Out, Err, Line, Chart.get()};
  TCommandOutcome Outcome;
  try {
    Outcome = Line.Command->Run(Ctx, Input);
  } catch (const TUsageError& E) {
    Out.flush();
    Err << UsageLine(E.what(), Line.Usage) << "\n";
    return TBatchResult{2, {}, E.what()};
  } catch (const std::exception& E) {
    Out.flush();
    Err << "error: " << ConsoleText(E.what()) << "\n";
    return TBatchResult{1, {}, E.what()};
  }
  Out.flush();
  std::string Final = Run.Status.Result();
  // Asked for nothing, the user is told so, as the window's Display does.
  if (Final.empty() && Outcome.NoSensorChecked) Final = captions::MsgNoSensorsSelected;
  if (!Final.empty()) Err << "status: " << ConsoleMessage(Final) << "\n";
  // A failure that left the panel empty is summed up by what it said.
  if (Final.empty() && !Outcome.Succeeded) Final = Run.Dialog.LastProblem();
  return TBatchResult{Outcome.Succeeded ? 0 : 1, Outcome.WrittenFile, Final};
}

// A name given with wildcards that names no file as it stands is expanded
// (so a list longer than a shell passes can be given quoted); one that
// matches nothing stays, and is then reported as the file it names.
void AddExpanded(const std::string& Name, std::vector<std::string>& Inputs) {
  std::error_code Ec;
  if (Name.find_first_of("*?[") == std::string::npos || fs::exists(Name, Ec)) {
    Inputs.push_back(Name);
    return;
  }
  glob_t Found{};
  if (::glob(Name.c_str(), 0, nullptr, &Found) == 0 && Found.gl_pathc > 0) {
    for (std::size_t I = 0; I < Found.gl_pathc; ++I) Inputs.emplace_back(Found.gl_pathv[I]);
  } else {
    Inputs.push_back(Name);
  }
  ::globfree(&Found);
}

// A list of names that cannot be taken: no file is worked on.
class TListError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// One name a line, taken as it stands; empty lines are passed over. A line
// longer than any path stops the reading, so an endless stream without line
// ends (/dev/zero) cannot fill the memory.
void AddListed(std::istream& List, const std::string& ListName, std::vector<std::string>& Inputs) {
  std::string Name;
  std::size_t LineNo = 1;
  for (std::streambuf* Buf = List.rdbuf();;) {
    const int C = Buf ? Buf->sbumpc() : EOF;
    if (C == EOF || C == '\n') {
      if (!Name.empty() && Name.back() == '\r') Name.pop_back();
      if (!Name.empty()) Inputs.push_back(Name);
      if (C == EOF) break;
      Name.clear();
      ++LineNo;
      continue;
    }
    // Room for the CR of a CR LF line end.
    if (Name.size() > PATH_MAX)
      throw TListError("--files-from " + ListName + ": line " + std::to_string(LineNo) +
                       " is longer than a path can be (" + std::to_string(PATH_MAX) + " bytes)");
    Name += static_cast<char>(C);
  }
}

std::vector<std::string> GatherInputs(const TCommandLine& Line, std::istream* In) {
  std::vector<std::string> Inputs;
  for (const std::string& Name : Line.Files) AddExpanded(Name, Inputs);
  if (!Line.FilesFrom) return Inputs;
  const std::string& ListName = *Line.FilesFrom;
  if (ListName == "-") {
    if (!In) throw TUsageError("--files-from -: there is no standard input");
    AddListed(*In, "-", Inputs);
    return Inputs;
  }
  // A regular file or a pipe (a FIFO, a shell's process substitution);
  // a folder or a device is no list.
  struct stat St {};
  if (::stat(ListName.c_str(), &St) != 0)
    throw TUsageError("--files-from " + ListName + ": cannot be read (" + SystemErrorText(errno) +
                      ")");
  if (!S_ISREG(St.st_mode) && !S_ISFIFO(St.st_mode))
    throw TUsageError("--files-from " + ListName + ": cannot be read (" +
                      RegularFileProblem(S_ISDIR(St.st_mode) ? EISDIR : NotARegularFile) + ")");
  std::ifstream List(ListName, std::ios::binary);
  if (!List) throw TUsageError("--files-from " + ListName + ": cannot be read");
  AddListed(List, ListName, Inputs);
  if (List.bad()) throw TUsageError("--files-from " + ListName + ": cannot be read");
  return Inputs;
}

// One name for every way of writing the path of one file.
std::string SameFileKey(const std::string& Target) {
  if (Target.empty()) return Target;
  std::error_code Ec;
  const fs::path Absolute = fs::absolute(Target, Ec);
  if (Ec) return Target;
  const fs::path Canonical = fs::weakly_canonical(Absolute, Ec);
  return Ec ? Absolute.lexically_normal().string() : Canonical.string();
}

// A field of the summary: tabs, line ends and backslashes written as \t,
// \n, \r and \\, other control characters as \xNN, so every input stays
// one line of as many fields and none drives a terminal showing it.
std::string SummaryField(const std::string& Text) {
  std::string R;
  for (char C : Text) {
    switch (C) {
    case '\\':
      R += "\\\\";
      break;
    case '\t':
      R += "\\t";
      break;
    case '\n':
      R += "\\n";
      break;
    case '\r':
      R += "\\r";
      break;
    default:
      R += C;
    }
  }
  return ConsoleText(R);
}

std::string SummaryText(const std::string& Command, const std::vector<TBatchItem>& Items,
                        const std::vector<TBatchResult>& Results) {
  std::string Text = "input\tcommand\texit status\toutput file\tstatus\n";
  for (std::size_t I = 0; I < Items.size(); ++I) {
    const TBatchResult& R = Results[I];
    Text += SummaryField(Items[I].Input) + "\t" + Command + "\t" + std::to_string(R.Code) + "\t" +
            SummaryField(R.OutputFile) + "\t" + SummaryField(R.Status) + "\n";
  }
  return Text;
}

// Writes the summary to FileName ("-": standard output); false when it
// could not be written, with the reason.
bool WriteSummary(const std::string& FileName, const std::string& Text, std::ostream& Out,
                  std::string& Reason) {
  if (FileName == "-") {
    // A failure of standard output is told with the others of the run.
    Out << Text;
    return true;
  }
  TOutputFile File;
  if (File.OpenReplace(FileName) && File.Write(Text) && File.Commit()) return true;
  Reason = File.FailureReason();
  return false;
}

// The first failed write to standard output, 0 while none failed.
int OutputError(std::ostream& Out, const TCliEnvironment& Environment) {
  Out.flush();
  const int Error = Environment.OutError ? Environment.OutError() : 0;
  if (Error != 0) return Error;
  return Out ? 0 : EIO;
}

} // namespace

void ReportRunError(int RunError) {
  if (EndBatchWithRunError(RunError)) return;
  std::fprintf(stderr, "Runtime error %d\n", RunError);
  std::fflush(stderr);
}

namespace {

int RunTool(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err,
            const TCliEnvironment& Environment) {
  TCommandLine Line;
  const int Parsed = ParseCommandLine(Args, Line, Out, Err);
  if (Parsed >= 0) return Parsed;
  const TRunSettings Settings(Line);
  // A settings file named on purpose must be there and readable: the
  // defaults must not pass for it. The usual one may be missing; one that
  // is there but cannot be read is worth a word.
  const int IniError = Settings.LoadError();
  if (Line.IniGiven && IniError != 0) {
    Err << "--ini " << ConsoleText(Line.IniPath) << ": cannot be read ("
        << RegularFileProblem(IniError) << ")\n";
    return 2;
  }
  if (!Line.IniGiven && IniError != 0 && IniError != ENOENT)
    Err << "warning: " << ConsoleText(Line.IniPath) << " cannot be read ("
        << RegularFileProblem(IniError) << "); the default options are used\n";
  const TCommandEntry& Command = *Line.Command;
  if (Command.NeedsChart && !Environment.Charts) {
    if (Environment.HandOverChart) {
      Out.flush();
      return Environment.HandOverChart(Err);
    }
    Err << Command.Name << " is not available: quorvin-cli was built without the window\n";
    return 2;
  }
  if (!Command.ManyFiles)
    return RunCommand(Line, Settings, std::string(), Out, Err, Environment).Code;

  std::vector<TBatchItem> Items;
  try {
    for (std::string& Input : GatherInputs(Line, Environment.In))
      Items.push_back(TBatchItem{std::move(Input), {}});
  } catch (const TUsageError& E) {
    Err << UsageLine(E.what(), Line.Usage) << "\n";
    return 2;
  } catch (const TListError& E) {
    Err << "error: " << ConsoleText(E.what()) << "\n";
    return 1;
  }
  if (Command.Target) {
    // The files the inputs will write, under the options in force.
    std::ostringstream Quiet;
    TConsoleRun Probe(Quiet, Quiet, Line, Settings, Environment);
    for (TBatchItem& Item : Items)
      Item.Target = SameFileKey(Command.Target(Probe.App, Line, Item.Input));
  }

  TBatchSettings Batch;
  Batch.Jobs = Line.Jobs != 0 ? Line.Jobs : std::max(Environment.Cores, 1u);
  // A run of one file looks as it always has.
  Batch.ProgressColumns = Items.size() > 1 ? Environment.ErrTerminalColumns : 0;
  Batch.PlainProgress = Environment.PlainTerminal;
  const std::vector<TBatchResult> Results =
      RunBatch(Items, Batch, Out, Err,
               [&](const std::string& Input, std::ostream& ItemOut, std::ostream& ItemErr) {
                 return RunCommand(Line, Settings, Input, ItemOut, ItemErr, Environment);
               });

  // The worst outcome: a usage error, a failure, or success.
  int Code = 0;
  for (const TBatchResult& R : Results) Code = std::max(Code, R.Code);
  std::string Reason;
  if (Line.SummaryFile &&
      !WriteSummary(*Line.SummaryFile, SummaryText(Command.Name, Items, Results), Out, Reason)) {
    Err << "error: the summary " << ConsoleText(*Line.SummaryFile) << " could not be written\n";
    if (!Reason.empty()) Err << "reason: " << ConsoleText(Reason) << "\n";
    Code = std::max(Code, 1);
  }
  return Code;
}

} // namespace

int RunCli(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err,
           const TCliEnvironment& Environment) {
  const int Code = RunTool(Args, Out, Err, Environment);
  // Whatever the tool made, it is not there if standard output lost it.
  if (const int Error = OutputError(Out, Environment)) {
    Err << "error: standard output could not be written: " << SystemErrorText(Error) << "\n";
    return std::max(Code, 1);
  }
  return Code;
}

} // namespace quorvin::cli
