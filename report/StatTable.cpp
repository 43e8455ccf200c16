// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/StatTable.h"

namespace quorvin {

namespace {

// The cells joined by tabs and ended by a line feed.
std::string TsvLine(const std::vector<std::string>& Cells) {
  std::string Line;
  for (std::size_t I = 0; I < Cells.size(); ++I) {
    if (I > 0) Line += '\t';
    for (char C : Cells[I]) Line += C == '\t' || C == '\r' || C == '\n' ? ' ' : C;
  }
  return Line + '\n';
}

std::string Cell(const std::vector<std::string>& Texts, std::size_t J) {
  return J < Texts.size() ? Texts[J] : std::string();
}

} // namespace

std::string StatisticsTsv(const TStatTable& Table) {
  std::vector<std::string> Head = {"DATE", "#SAMPLES"};
  for (const std::string& Name : Table.Sensors)
    for (const char* Figure : {" MIN", " MAX", " MEAN"}) Head.push_back(Name + Figure);
  std::string Text = TsvLine(Head);
  for (const TStatTableRow& Row : Table.Rows) {
    std::vector<std::string> Cells = {Row.Label, std::to_string(Row.Samples)};
    for (std::size_t J = 0; J < Table.Sensors.size(); ++J) {
      Cells.push_back(Cell(Row.Min, J));
      Cells.push_back(Cell(Row.Max, J));
      Cells.push_back(Cell(Row.Mean, J));
    }
    Text += TsvLine(Cells);
  }
  return Text;
}

} // namespace quorvin
