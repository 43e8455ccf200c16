// SPDX-License-Identifier: GPL-3.0-or-later
// Lines kept in memory as a line source: the text pane's own lines (a
// header report, statistics, a DDR display), appended one by one. They
// live in one character buffer with an offset per line, far smaller than a
// text document's blocks, and each keeps the style it was appended in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/UiServices.h"

namespace quorvin {

class TLineStore final : public ILineSource {
public:
  void Clear();
  void Append(std::string_view Line, TLineStyle Style);
  // The longest line, in characters.
  std::size_t LongestLine() const { return FLongest; }
  std::size_t Bytes() const { return FText.capacity() + FEnds.capacity() * sizeof(std::uint64_t); }

  std::int64_t LineCount() const override { return static_cast<std::int64_t>(FEnds.size()); }
  void GetLines(std::int64_t From, std::int64_t Count, std::string& Out) override;
  TLineStyle Style(std::int64_t Line) const override;

private:
  // Every line followed by CR LF; where each line's CR LF ends.
  std::string FText;
  std::vector<std::uint64_t> FEnds;
  // The first line of each run of lines in one style.
  std::vector<std::pair<std::int64_t, TLineStyle>> FStyles;
  std::size_t FLongest = 0;
};

} // namespace quorvin
