// SPDX-License-Identifier: GPL-3.0-or-later
// quorvin-cli graph LOG [--sensors LIST] [--start D] [--end D] --png FILE
//                       [--size WxH] [--max N] [--min N]
// The Graph command of the LOGPLOT page, drawn off screen by the window's own
// chart and written as a PNG picture.
#include <CLI/CLI.hpp>

#include <algorithm>

#include "cli/Commands.h"
#include "cli/LogArgs.h"

namespace quorvin::cli {

namespace {

constexpr int SmallestSide = 64;
constexpr int LargestSide = 8192;

// "800x600": whole numbers of pixels, each within the sides allowed.
bool ParseSize(const std::string& Text, int& Width, int& Height) {
  const std::size_t X = Text.find_first_of("xX");
  if (X == std::string::npos) return false;
  auto Side = [](const std::string& Digits, int& Value) {
    if (Digits.empty() || Digits.size() > 5 ||
        !std::all_of(Digits.begin(), Digits.end(), [](char C) { return C >= '0' && C <= '9'; }))
      return false;
    Value = std::stoi(Digits);
    return Value >= SmallestSide && Value <= LargestSide;
  };
  return Side(Text.substr(0, X), Width) && Side(Text.substr(X + 1), Height);
}

} // namespace

void DeclareGraph(CLI::App& Command, TCommandLine& Line) {
  TGraphArgs& G = Line.Graph;
  Command.add_option("LOG", G.Log, "A binary (.LOG) or CSV (.CSV, .TXT) log")->type_name("");
  DeclareLogOptions(Command, Line);
  Command
      .add_option("--png", G.Png, "Write the graph to FILE as a PNG picture ('-': standard output)")
      ->type_name("FILE")
      ->required();
  Command.add_option("--size", G.SizeText, "The picture's size in pixels (default 800x600)")
      ->type_name("WxH");
  Command
      .add_option("--max", G.Max,
                  "Maximum of the left axis (as the page's Maximum: " +
                      std::to_string(DefaultLeftAxisMaximum) + ")")
      ->type_name("N");
  Command
      .add_option("--min", G.Min,
                  "Minimum of the left axis (as the page's Minimum: " +
                      std::to_string(DefaultLeftAxisMinimum) + ")")
      ->type_name("N");
}

void CheckGraph(TCommandLine& Line) {
  TGraphArgs& G = Line.Graph;
  if (G.Log.empty()) throw TUsageError("no log file given");
  CheckLogArgs(Line);
  if (G.SizeText && !ParseSize(*G.SizeText, G.Width, G.Height))
    throw TUsageError("--size takes WIDTHxHEIGHT, each from " + std::to_string(SmallestSide) +
                      " to " + std::to_string(LargestSide) + " pixels: " + *G.SizeText);
  for (auto [Option, Text] : {std::pair{"--max", &G.Max}, std::pair{"--min", &G.Min}}) {
    double Number;
    if (*Text && !StrToFloatOK(**Text, Number))
      throw TUsageError(std::string(Option) + " takes a number: " + **Text);
  }
}

// The page as the window shows it: the log chosen, the sensors, dates and
// scale set, then Graph; the chart it drew is then saved.
TCommandOutcome RunGraph(TCliContext& Ctx, const std::string&) {
  const TGraphArgs& G = Ctx.Line.Graph;
  TApplication& App = Ctx.App;
  SelectLog(Ctx, G.Log, Ctx.Line.Log, PageLogPlot);
  if (G.Max) App.GraphLimits.edtMax = *G.Max;
  if (G.Min) App.GraphLimits.edtMin = *G.Min;
  Ctx.Chart->UseFormat(App.Format);
  Ctx.Chart->ShowColours(App.Colours);
  const TCommandOutcome Drawn = App.OptionsGraphExecute();
  if (!Drawn.Succeeded) return Drawn;
  if (G.Png == "-")
    return App.SaveChart(*Ctx.Chart, TChartFileType::Png, Ctx.Out, "standard output");
  return App.SaveChart(*Ctx.Chart, TChartFileType::Png, G.Png);
}

} // namespace quorvin::cli
