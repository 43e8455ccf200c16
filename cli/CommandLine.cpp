// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CommandLine.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <ostream>
#include <set>

#include "app/Captions.h"
#include "cli/Commands.h"
#include "cli/ConsoleUi.h"

namespace quorvin::cli {

namespace {

const char* const RunGroup = "Run options (prn, header, stats, ddr)";

bool IsHelpOrVersion(const CLI::Option* O) {
  const std::string Name = O->get_name();
  return Name == "--help" || Name == "--version";
}

// "--sensors LIST", or "--display" for a flag.
std::string OptionText(const CLI::Option* O) {
  std::string Text = O->get_name();
  const std::string Type = O->get_type_name();
  if (!Type.empty()) Text += " " + Type;
  return Text;
}

// The usage of one command level: its positionals, then its options in the
// order declared, options that exclude each other as one choice.
std::string Arguments(const CLI::App& Command, bool WithRunOptions) {
  std::string Text;
  const std::vector<const CLI::Option*> Options =
      Command.get_options([](const CLI::Option*) { return true; });
  for (const CLI::Option* O : Options) {
    if (!O->get_positional()) continue;
    const std::string Name = O->get_name(true);
    if (O->get_items_expected_max() > 1)
      Text += " " + Name + "...";
    else if (O->get_items_expected_min() == 0)
      Text += " [" + Name + "]";
    else
      Text += " " + Name;
  }
  std::set<const CLI::Option*> Done;
  for (std::size_t I = 0; I < Options.size(); ++I) {
    const CLI::Option* O = Options[I];
    if (O->get_positional() || IsHelpOrVersion(O) || Done.count(O)) continue;
    if (!WithRunOptions && O->get_group() == RunGroup) continue;
    const std::set<CLI::Option*> Excludes = O->get_excludes();
    if (!Excludes.empty()) {
      std::string Choice = OptionText(O);
      for (std::size_t J = I + 1; J < Options.size(); ++J)
        if (Excludes.count(const_cast<CLI::Option*>(Options[J]))) {
          Choice += " | " + OptionText(Options[J]);
          Done.insert(Options[J]);
        }
      Text += " [" + Choice + "]";
      continue;
    }
    Text += O->get_required() ? " " + OptionText(O) : " [" + OptionText(O) + "]";
    if (O->get_items_expected_max() > 1) Text += "...";
  }
  return Text;
}

// "prn LOG... [--sensors LIST] ...", or for a command with actions each
// action's form: "ramcard DUMP list | ramcard DUMP save NAME... [--out DIR]".
std::string CommandUsage(const CLI::App& Command) {
  if (!Command.get_parent()) return Arguments(Command, true).substr(1) + " COMMAND ARGS...";
  const std::string Head = Command.get_name() + Arguments(Command, false);
  const std::vector<const CLI::App*> Actions =
      Command.get_subcommands([](const CLI::App* A) { return !A->get_name().empty(); });
  if (Actions.empty()) return Head;
  std::string Text;
  for (const CLI::App* A : Actions) {
    if (!Text.empty()) Text += " | ";
    Text += Head + " " + A->get_name() + Arguments(*A, false);
  }
  return Text;
}

// The help of every level shows the usage as the error messages give it.
class TFormatter : public CLI::Formatter {
public:
  std::string make_usage(const CLI::App* App, std::string) const override {
    const CLI::App* Command = App;
    // An action's help shows the usage of its command.
    if (Command->get_parent() && Command->get_parent()->get_parent())
      Command = Command->get_parent();
    return "Usage: quorvin-cli " + CommandUsage(*Command) + "\n";
  }
  // The value's name only: the usage line already shows which options
  // exclude or need each other.
  std::string make_option_opts(const CLI::Option* O) const override {
    const std::string Type = O->get_type_name();
    return Type.empty() ? std::string() : " " + Type;
  }
};

void AddRunOptions(CLI::App& App, TCommandLine& Line) {
  auto Missing = [&](const char* Name) { return App.get_option_no_throw(Name) == nullptr; };
  if (Missing("--jobs"))
    App.add_option("--jobs", Line.JobsText,
                   "Files worked on at a time (default: one per core); the outputs are those "
                   "of --jobs 1")
        ->type_name("N")
        ->group(RunGroup);
  if (Missing("--files-from"))
    App.add_option("--files-from", Line.FilesFrom,
                   "Further input files, one a line, from LIST ('-': standard input)")
        ->type_name("LIST")
        ->group(RunGroup);
  if (Missing("--summary"))
    App.add_option("--summary", Line.SummaryFile,
                   "Write one tab-separated line per input file to FILE ('-': standard "
                   "output): input, command, exit status, output file, status text")
        ->type_name("FILE")
        ->group(RunGroup);
}

// The command the user chose (an action's command for ramcard), or null.
CLI::App* ChosenCommand(const CLI::App& Tool) {
  const std::vector<CLI::App*> Chosen = Tool.get_subcommands();
  return Chosen.empty() ? nullptr : Chosen.front();
}

std::string Before(const std::string& Text, const std::string& Mark) {
  return Text.substr(0, Text.find(Mark));
}

// The parser's own complaints in the tool's words.
std::string Problem(const CLI::ParseError& E, const CLI::App* Command) {
  const std::string What = E.what();
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&E) && What.rfind("-", 0) == 0)
    return Before(What, ":") + " needs a value";
  if (dynamic_cast<const CLI::RequiresError*>(&E))
    return Before(What, " requires ") + " goes with " + What.substr(What.find(" requires ") + 10);
  if (dynamic_cast<const CLI::ExcludesError*>(&E) && Command) {
    // The choice the named option belongs to, in the order declared.
    const auto All = Command->get_options([](const CLI::Option*) { return true; });
    const std::string Name = Before(What, " excludes ");
    const auto Named = std::find_if(All.begin(), All.end(),
                                    [&](const CLI::Option* O) { return O->get_name() == Name; });
    if (Named != All.end()) {
      const std::set<CLI::Option*> Others = (*Named)->get_excludes();
      std::string Names;
      for (const CLI::Option* O : All)
        if (O == *Named || Others.count(const_cast<CLI::Option*>(O)))
          Names += (Names.empty() ? "" : ", ") + O->get_name();
      return "choose one of " + Names;
    }
  }
  return What;
}

// The words a command did not take. "--", which ends the options (so that
// a file called "-x.LOG" can be named), is kept there by the parser, and
// left out here.
std::vector<std::string> Remaining(const CLI::App& App) {
  std::vector<std::string> R;
  auto Add = [&R](const CLI::App& A) {
    for (std::string& Word : A.remaining())
      if (Word != "--") R.push_back(std::move(Word));
  };
  Add(App);
  for (const CLI::App* A : App.get_subcommands()) Add(*A);
  return R;
}

void CheckSets(TCommandLine& Line) {
  for (const std::string& KV : Line.SetTexts) {
    const std::size_t Eq = KV.find('=');
    if (Eq == std::string::npos || Eq == 0) throw TUsageError("--set takes KEY=VALUE");
    const std::string Key = KV.substr(0, Eq), Value = KV.substr(Eq + 1);
    const TSetting* Setting = FindSetting(Key);
    if (!Setting) throw TUsageError("unknown settings key: " + Key);
    // A value the settings file would silently replace by a default is
    // refused rather than ignored.
    if (!SettingAccepts(*Setting, Value))
      throw TUsageError("--set " + std::string(Setting->Key) + " takes one of " +
                        AcceptedValues(*Setting) + ", not \"" + Value + "\"");
    Line.Sets.emplace_back(Setting, Value);
  }
}

void CheckRunOptions(TCommandLine& Line) {
  const bool Given = !Line.JobsText.empty() || Line.SummaryFile || Line.FilesFrom;
  if (Given && !Line.Command->ManyFiles)
    throw TUsageError("--jobs, --files-from and --summary go with prn, header, stats and ddr");
  if (Line.JobsText.empty()) return;
  const std::string& J = Line.JobsText;
  const bool Digits =
      J.size() < 6 && std::all_of(J.begin(), J.end(), [](char C) { return C >= '0' && C <= '9'; });
  if (!Digits || std::stoul(J) == 0)
    throw TUsageError("--jobs takes a whole number of 1 or more: " + J);
  Line.Jobs = static_cast<unsigned>(std::stoul(J));
}

// The arguments of command E, once.
void Declare(const TCommandEntry& E, CLI::App& Command, TCommandLine& Line) {
  // Until then a command has only the help flag every level gets.
  if (Command.get_options().size() > 1) return;
  E.Declare(Command, Line);
  if (E.ManyFiles) AddRunOptions(Command, Line);
}

// The tool's own options and its commands, each declaring its arguments.
void DeclareTool(CLI::App& Tool, TCommandLine& Line) {
  Tool.formatter(std::make_shared<TFormatter>());
  Tool.allow_extras();
  // One command per run: after it, a command's name is a plain word (a file
  // may be called "stats").
  Tool.require_subcommand(0, 1);
  Tool.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
  Tool.set_version_flag(
      "--version",
      std::string("quorvin-cli ") + QUORVIN_VERSION + "\n" + std::string(captions::CopyrightLine) +
          "\n" + std::string(captions::LicenceLine) + "\n" + std::string(captions::WarrantyLines),
      "Print the version and the licence, and exit");
  Tool.add_option("--ini", Line.IniPath,
                  "Read the options from the settings file PATH instead of Quorvin.ini")
      ->type_name("PATH")
      ->each([&Line](const std::string&) { Line.IniGiven = true; });
  Tool.add_option("--set", Line.SetTexts,
                  "For this run, as if the settings file held KEY=VALUE (may be repeated)")
      ->type_name("KEY=VALUE")
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  Tool.add_flag("--yes", Line.Yes, "Answer Yes to every question (otherwise No)");
  AddRunOptions(Tool, Line);

  // A command's arguments are declared when the parser reaches its name (or
  // its help is asked for): a run reads one command, and declaring every
  // command's would cost more than the run's own start.
  for (const TCommandEntry& E : CommandTable()) {
    CLI::App* Command = Tool.add_subcommand(E.Name, E.Description);
    Command->group("Commands");
    Command->allow_extras();
    Command->preparse_callback([&E, Command, &Line](std::size_t) { Declare(E, *Command, Line); });
  }
  // Set last, so the commands' own help does not repeat it.
  Tool.footer("The run options may also follow prn, header, stats and ddr (but --summary "
              "after ddr is its block summary).\n'quorvin-cli help COMMAND' shows the "
              "arguments of one command.");
}

// The help asked for: the tool's, or that of the command named.
void MakeHelpText(CLI::App& Tool, TCommandLine& Line) {
  if (Line.HelpTopic.empty()) {
    Line.HelpText =
        Tool.get_formatter()->make_help(&Tool, "quorvin-cli", CLI::AppFormatMode::Normal);
    return;
  }
  const std::string& Topic = Line.HelpTopic.front();
  const TCommandEntry* E = FindCommand(Topic);
  if (!E) throw TUsageError("unknown command: " + Topic);
  CLI::App* Sub = Tool.get_subcommand(E->Name);
  Declare(*E, *Sub, Line);
  Line.HelpText = Sub->get_formatter()->make_help(Sub, Sub->get_name(), CLI::AppFormatMode::Normal);
}

} // namespace

std::string UsageLine(const std::string& Problem, const std::string& Usage) {
  return ConsoleText(Problem) + " (usage: quorvin-cli " + Usage + ")";
}

int ParseCommandLine(const std::vector<std::string>& Args, TCommandLine& Line, std::ostream& Out,
                     std::ostream& Err) {
  CLI::App Tool("quorvin-cli converts and shows the files of environmental data loggers as "
                "the Quorvin window does, without a display.",
                "quorvin-cli");
  DeclareTool(Tool, Line);

  const CLI::App* Command = nullptr;
  std::string Usage = CommandUsage(Tool);
  try {
    std::vector<std::string> Reversed(Args.rbegin(), Args.rend());
    try {
      Tool.parse(Reversed);
    } catch (const CLI::CallForHelp&) {
      Out << Tool.help();
      return 0;
    } catch (const CLI::CallForAllHelp&) {
      Out << Tool.help();
      return 0;
    } catch (const CLI::CallForVersion& E) {
      Out << E.what() << "\n";
      return 0;
    } catch (const CLI::ParseError& E) {
      Command = ChosenCommand(Tool);
      if (Command) Usage = CommandUsage(*Command);
      throw TUsageError(Problem(E, Command));
    }

    // Words before the command are the tool's.
    const std::vector<std::string> Before = Tool.remaining();
    if (!Before.empty()) {
      const std::string& First = Before.front();
      throw TUsageError((First.rfind("-", 0) == 0 ? "unknown option: " : "unknown command: ") +
                        First);
    }
    CheckSets(Line);
    CLI::App* Chosen = ChosenCommand(Tool);
    if (!Chosen) throw TUsageError("no command given");
    Line.Command = FindCommand(Chosen->get_name());
    CheckRunOptions(Line);

    Command = Chosen;
    Usage = CommandUsage(*Chosen);
    Line.Usage = Usage;
    Line.Unparsed = Remaining(*Chosen);
    if (Line.Command->Check) Line.Command->Check(Line);
    if (!Line.Unparsed.empty()) {
      const std::string& First = Line.Unparsed.front();
      throw TUsageError((First.rfind("-", 0) == 0 ? "unknown option: " : "unexpected argument: ") +
                        First);
    }
    if (Line.Command->ManyFiles && Line.Files.empty() && !Line.FilesFrom)
      throw TUsageError(Line.Command->NoFile);

    if (Line.Command->Name == std::string("help")) MakeHelpText(Tool, Line);
  } catch (const TUsageError& E) {
    Err << UsageLine(E.what(), Usage) << "\n";
    return 2;
  }
  return -1;
}

} // namespace quorvin::cli
