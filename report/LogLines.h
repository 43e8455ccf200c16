// SPDX-License-Identifier: GPL-3.0-or-later
// The lines of a LOGPRN Display, made when the pane wants them: the title,
// the column header, then the lines of the walk. Where every step of a
// regular grid makes its line, line N is found from the grid by reckoning;
// otherwise one walk that counts the lines without writing them marks
// where each chunk begins. Either way a line is written by the same line
// maker a Save uses, walking again from the nearest place known.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/DateTimeFormat.h"
#include "core/UiServices.h"
#include "report/Formatting.h"
#include "report/LogPrnOptions.h"
#include "report/LogWalk.h"

namespace quorvin {

class TLogLines final : public ILineSource {
public:
  // Head: the lines before the first line of the walk (title, empty line,
  // column header), of which the first BoldLines are bold.
  TLogLines(TLogWalk Walk, std::string Separator, bool Fixed, const TLogPrnOptions& Options,
            const TDateTimeFormat& Format, std::vector<TValueColumn> Columns,
            std::vector<std::string> Head, int BoldLines, int PointSize);

  // Whether the lines are known without a walk (Index).
  bool Reckoned() const { return FReckoned; }
  // Walks the log once, counting the lines and marking the chunks, with
  // progress on Busy and Pane told as the lines grow. False when the user
  // cancelled: the lines counted so far stay.
  bool Index(IBusyCursor& Busy, ITextPane& Pane);

  std::int64_t LineCount() const override;
  void GetLines(std::int64_t From, std::int64_t Count, std::string& Out) override;
  TLineStyle Style(std::int64_t Line) const override;

private:
  // A place the walk can go on from: its first line among the walk's lines.
  struct TMark {
    std::int64_t Line = 0;
    std::int64_t At = 0;
    LogTime Previous = 0;
    bool First = true;
  };
  class TIndexSink;
  class TCopySink;

  // Day changes of a reckoned grid among its steps 1 to Step.
  std::int64_t DaysEntered(std::int64_t Step) const;
  // Lines of a reckoned grid before those of Step.
  std::int64_t LinesBefore(std::int64_t Step) const;
  TMark MarkFor(std::int64_t Line) const;

  TLogWalk FWalk;
  std::string FSeparator;
  bool FFixed;
  TLogPrnOptions FOptions;
  TDateTimeFormat FFormat;
  std::vector<TValueColumn> FColumns;
  std::vector<std::string> FHead;
  int FBoldLines;
  int FPointSize;
  bool FReckoned;
  std::int64_t FSteps = 0;
  // The walk's lines counted so far, and where its chunks begin.
  std::int64_t FWalkLines = 0;
  std::vector<TMark> FMarks;
};

} // namespace quorvin
