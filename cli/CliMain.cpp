#include <cerrno>
#include <exception>
#include <string>

#include "app/Settings.h"
#include "cli/CliContext.h"
#include "cli/Commands.h"
#include "cli/ConsoleUi.h"
#include "core/ChartService.h"
#include "core/IniFile.h"
#include "core/RegularFile.h"
#include "ramcard/MountPoints.h"

namespace quorvin::cli {

namespace {

const char* const GlobalUsage =
    "usage: quorvin-cli [--ini PATH] [--set KEY=VALUE]... [--yes] COMMAND ARGS...";

const TCommandEntry* FindCommand(const std::string& Name) {
  for (const TCommandEntry& E : CommandTable())
    if (Name == E.Name) return &E;
  return nullptr;
}

bool StartsWith(const std::string& Text, const char* Prefix) { return Text.rfind(Prefix, 0) == 0; }

} // namespace

std::string OptionValue(const std::vector<std::string>& Args, std::size_t& I) {
  if (I + 1 >= Args.size()) throw TUsageError(Args[I] + " needs a value");
  return Args[++I];
}

int RunCli(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err) {
  std::string IniPath = "Quorvin.ini";
  bool IniGiven = false;
  std::vector<std::pair<const TSetting*, std::string>> Sets;
  bool Yes = false;
  std::size_t I = 0;
  const TCommandEntry* Command = nullptr;
  try {
    for (; I < Args.size(); ++I) {
      const std::string& A = Args[I];
      if (A == "--ini") {
        IniPath = OptionValue(Args, I);
        IniGiven = true;
      } else if (A == "--set") {
        std::string KV = OptionValue(Args, I);
        std::size_t Eq = KV.find('=');
        if (Eq == std::string::npos || Eq == 0) throw TUsageError("--set takes KEY=VALUE");
        const std::string Key = KV.substr(0, Eq), Value = KV.substr(Eq + 1);
        const TSetting* Setting = FindSetting(Key);
        if (!Setting) throw TUsageError("unknown settings key: " + Key);
        // A value the settings file would silently replace by a default is
        // refused rather than ignored.
        if (!SettingAccepts(*Setting, Value))
          throw TUsageError("--set " + std::string(Setting->Key) + " takes one of " +
                            AcceptedValues(*Setting) + ", not \"" + Value + "\"");
        Sets.emplace_back(Setting, Value);
      } else if (A == "--version") {
        Out << "quorvin-cli " << QUORVIN_VERSION << "\n";
        return 0;
      } else if (A == "--yes") {
        Yes = true;
      } else if (A == "--help" || A == "-h") {
        Command = FindCommand("help");
        ++I;
        break;
      } else if (StartsWith(A, "--")) {
        throw TUsageError("unknown option: " + A);
      } else {
        Command = FindCommand(A);
        if (!Command) throw TUsageError("unknown command: " + A);
        ++I;
        break;
      }
    }
    if (!Command) throw TUsageError("no command given");
  } catch (const TUsageError& E) {
    Err << E.what() << " (" << GlobalUsage << ")\n";
    return 2;
  }

  TConsoleDialog Dialog(Err, Yes);
  TConsoleStatusBar Status;
  TConsolePane Pane(Out);
  TNoBusyCursor Busy;
  TNoChart Chart;
  TNoFileDialog FileDialog;
  TNoFolderBrowser FolderBrowser;
  TNoPrinter Printer;
  TNoHelpViewer Help;
  TSystemMountPoints Mounts;
  TAppServices Services{Dialog,     Status,        Pane,    Busy, Chart,
                        FileDialog, FolderBrowser, Printer, Help, Mounts};
  TApplication App(Services);

  // Options load exactly as the window loads them, and make the round trip
  // through the controls that the window makes before its commands; --set
  // acts as if the key had that value in the file. The tool never writes
  // the settings file.
  TIniFile Ini(IniPath);
  // A settings file named on purpose that is there but cannot be read must
  // not pass as the defaults; one that is not there gives them.
  if (IniGiven && Ini.LoadError() != 0 && Ini.LoadError() != ENOENT) {
    Err << "--ini " << IniPath << ": cannot be read (" << RegularFileProblem(Ini.LoadError())
        << ")\n";
    return 2;
  }
  for (const auto& [Setting, Value] : Sets)
    Ini.WriteString(std::string(Setting->Section), std::string(Setting->Key), Value);
  App.FormCreate(Ini);
  App.GetOptionsFromControls();

  TCliContext Ctx{App, Out, Err};
  std::vector<std::string> CommandArgs(Args.begin() + static_cast<std::ptrdiff_t>(I), Args.end());
  TCommandOutcome Outcome;
  try {
    Outcome = Command->Run(Ctx, CommandArgs);
  } catch (const TUsageError& E) {
    Out.flush();
    Err << E.what() << " (usage: quorvin-cli " << Command->Usage << ")\n";
    return 2;
  } catch (const std::exception& E) {
    Out.flush();
    Err << "error: " << E.what() << "\n";
    return 1;
  }
  Out.flush();
  std::string Final = Status.PanelText(1);
  // Progress texts are not a command's outcome.
  if (StartsWith(Final, "Importing from ")) Final.clear();
  if (!Final.empty()) Err << "status: " << Final << "\n";
  return Outcome.Succeeded ? 0 : 1;
}

} // namespace quorvin::cli
