// SPDX-License-Identifier: GPL-3.0-or-later
// The man pages and the shell completion are written by hand: they must name
// everything the parser knows, so a new command, option or settings key
// cannot ship undocumented.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "support/Scratch.h"

namespace quorvin::cli::test {
namespace {

using quorvin::test::ReadWhole;

std::string ReadSource(const std::string& RelativePath) {
  const std::filesystem::path Root =
      std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
  const std::string Text = ReadWhole((Root / RelativePath).string());
  EXPECT_FALSE(Text.empty()) << RelativePath;
  return Text;
}

std::string HelpText(const std::vector<std::string>& Args) {
  TCommandLine Line;
  std::ostringstream Out, Err;
  EXPECT_EQ(ParseCommandLine(Args, Line, Out, Err), -1) << Err.str();
  return Line.HelpText;
}

const std::regex OptionName("(^|[\\s,\\[|])(-h|--[a-z][a-z-]*)");

// The options a help text shows ("-h,--help", "--sensors LIST", ...).
std::set<std::string> HelpOptions(const std::vector<std::string>& Args) {
  const std::string Help = HelpText(Args);
  std::set<std::string> Options;
  for (std::sregex_iterator I(Help.begin(), Help.end(), OptionName), End; I != End; ++I)
    Options.insert((*I)[2]);
  return Options;
}

// Every help text: the tool's and each command's.
std::vector<std::vector<std::string>> EveryHelp() {
  std::vector<std::vector<std::string>> Helps = {{"help"}};
  for (const TCommandEntry& E : CommandTable()) Helps.push_back({"help", E.Name});
  return Helps;
}

// The text of a section ("# NAME") or subsection ("## NAME") of an scdoc
// page, up to the next heading of the same or a higher level.
std::string Section(const std::string& Page, const std::string& Heading) {
  const std::string Marks = Heading.substr(0, Heading.find(' ') + 1);
  const std::size_t Start = Page.find("\n" + Heading + "\n");
  if (Start == std::string::npos) return {};
  std::size_t End = Start + 1;
  do {
    End = Page.find("\n#", End + 1);
  } while (End != std::string::npos && Page.compare(End + 1, Marks.size(), Marks) != 0 &&
           Page.compare(End + 1, 2, "# ") != 0);
  return Page.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
}

bool Names(const std::string& Text, const std::string& Word) {
  return Text.find("*" + Word + "*") != std::string::npos;
}

// The entries of a page that describe Option: a line that starts with it,
// then the indented lines that follow. All of them, joined.
std::string Entries(const std::string& Page, const std::string& Option) {
  std::string Text;
  const std::string Heading = "\n*" + Option + "*";
  for (std::size_t At = Page.find(Heading); At != std::string::npos;
       At = Page.find(Heading, At + 1)) {
    std::size_t End = Page.find('\n', At + 1);
    while (End != std::string::npos && Page.compare(End + 1, 1, "\t") == 0)
      End = Page.find('\n', End + 1);
    Text += Page.substr(At, End == std::string::npos ? std::string::npos : End - At);
  }
  return Text;
}

TEST(ManPage, DocumentsEveryOptionOfTheToolAndOfEachCommandWhereItBelongs) {
  const std::string Page = ReadSource("man/quorvin-cli.1.scd");
  const std::string ToolSections = Section(Page, "# OPTIONS") + Section(Page, "# RUN OPTIONS");
  const std::set<std::string> ToolOptions = HelpOptions({"help"});
  EXPECT_TRUE(ToolOptions.count("--version") && ToolOptions.count("--set")); // the regex works
  for (const std::string& O : ToolOptions) EXPECT_TRUE(Names(ToolSections, O)) << O;

  const std::string Commands = Section(Page, "# COMMANDS");
  // The options several log commands share are described once, before the
  // first command.
  const std::string Shared = Commands.substr(0, Commands.find("\n## "));
  for (const TCommandEntry& E : CommandTable()) {
    const std::string Own = Section(Commands, std::string("## ") + E.Name);
    EXPECT_FALSE(Own.empty()) << "no section for " << E.Name;
    for (const std::string& O : HelpOptions({"help", E.Name}))
      EXPECT_TRUE(Names(Own, O) || Names(Shared, O) ||
                  (ToolOptions.count(O) && Names(ToolSections, O)))
          << E.Name << " " << O;
  }
  // The ramcard actions are words of their own.
  for (const char* Action : {"list", "save", "--out"})
    EXPECT_TRUE(Names(Section(Commands, "## ramcard"), Action)) << Action;
}

// Scripts lean on "-" (standard output or input) wherever the help offers
// it, and on "--", which ends the options: the page says so for each.
TEST(ManPage, DocumentsTheDashWhereverTheParserTakesIt) {
  const std::string Page = ReadSource("man/quorvin-cli.1.scd");
  std::set<std::string> Dashed;
  for (const std::vector<std::string>& Args : EveryHelp()) {
    std::istringstream Help(HelpText(Args));
    std::smatch Found;
    for (std::string Line; std::getline(Help, Line);)
      if (Line.find("'-'") != std::string::npos && std::regex_search(Line, Found, OptionName))
        Dashed.insert(Found[2]);
  }
  EXPECT_TRUE(Dashed.count("--summary") && Dashed.count("--png")); // the search works
  for (const std::string& O : Dashed) EXPECT_TRUE(Names(Entries(Page, O), "-")) << O;
  EXPECT_NE(Entries(Page, "--").find("start with *-*"), std::string::npos);
}

TEST(ManPage, BothPagesNameEverySettingsKey) {
  const std::string Cli = Section(ReadSource("man/quorvin-cli.1.scd"), "# SETTINGS KEYS");
  const std::string Window = Section(ReadSource("man/quorvin.1.scd"), "# SETTINGS");
  for (const TSetting& S : SettingsTable()) {
    const std::string Key(S.Key);
    EXPECT_TRUE(Names(Cli, Key)) << Key;
    EXPECT_TRUE(Names(Window, Key)) << Key;
    EXPECT_TRUE(Names(Cli, "[" + std::string(S.Section) + "]") ||
                Cli.find("## [" + std::string(S.Section) + "]") != std::string::npos)
        << S.Section;
  }
}

TEST(BashCompletion, KnowsEveryCommandOptionAndSettingsKey) {
  const std::string Script = ReadSource("cli/quorvin-cli.bash-completion");
  std::set<std::string> Words;
  const std::regex Word("[A-Za-z0-9-]+");
  for (std::sregex_iterator I(Script.begin(), Script.end(), Word), End; I != End; ++I)
    Words.insert(I->str());
  std::set<std::string> Wanted;
  for (const TCommandEntry& E : CommandTable()) Wanted.insert(E.Name);
  for (const std::vector<std::string>& Args : EveryHelp())
    for (const std::string& O : HelpOptions(Args)) Wanted.insert(O);
  for (const TSetting& S : SettingsTable()) Wanted.insert(std::string(S.Key));
  for (const std::string& W : Wanted) EXPECT_TRUE(Words.count(W)) << W;
}

} // namespace
} // namespace quorvin::cli::test
