// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/LineStore.h"

#include <algorithm>

namespace quorvin {

void TLineStore::Clear() {
  // The memory goes too: a long text is not kept for the next.
  std::string().swap(FText);
  std::vector<std::uint64_t>().swap(FEnds);
  FStyles.clear();
  FLongest = 0;
}

void TLineStore::Append(std::string_view Line, TLineStyle Style) {
  if (FStyles.empty() || !(FStyles.back().second == Style))
    FStyles.emplace_back(LineCount(), Style);
  FText.append(Line);
  FText.append("\r\n");
  FEnds.push_back(FText.size());
  FLongest = std::max(FLongest, Line.size());
}

void TLineStore::GetLines(std::int64_t From, std::int64_t Count, std::string& Out) {
  From = std::max<std::int64_t>(From, 0);
  const std::int64_t To = std::min(LineCount(), From + std::max<std::int64_t>(Count, 0));
  if (From >= To) return;
  const std::uint64_t Begin = From == 0 ? 0 : FEnds[static_cast<std::size_t>(From - 1)];
  Out.append(FText, Begin, FEnds[static_cast<std::size_t>(To - 1)] - Begin);
}

TLineStyle TLineStore::Style(std::int64_t Line) const {
  const auto After = std::upper_bound(
      FStyles.begin(), FStyles.end(), Line,
      [](std::int64_t L, const std::pair<std::int64_t, TLineStyle>& Run) { return L < Run.first; });
  return After == FStyles.begin() ? TLineStyle{} : std::prev(After)->second;
}

} // namespace quorvin
