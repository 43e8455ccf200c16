// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/LogLines.h"

#include <algorithm>
#include <cstring>

namespace quorvin {

// Counts the lines of each chunk of the indexing walk and marks where the
// next one begins.
class TLogLines::TIndexSink : public IChunkSink {
public:
  TIndexSink(TLogLines& Lines, IBusyCursor& Busy, ITextPane& Pane)
      : FLines(Lines), FBusy(Busy), FPane(Pane) {
    FNext.At = Lines.FWalk.First();
  }
  bool HandOn(const TChunk& Chunk) override {
    std::int64_t Count = 0;
    for (const std::uint8_t Flags : Chunk.Flags)
      Count += ((Flags & TChunk::BlankBefore) != 0) + ((Flags & TChunk::Kept) != 0);
    FNext.Line = FLines.FWalkLines;
    FLines.FMarks.push_back(FNext);
    FLines.FWalkLines += Count;
    FNext.First = false;
    FNext.Previous = Chunk.LastTime;
    FLines.FWalk.Next(Chunk.ProgressDone, Chunk.LastTime, FNext.At);
    FPane.LinesAdded();
    if (FBusy.Step(Chunk.ProgressDone, FLines.FWalk.ProgressTotal())) {
      Cancelled = true;
      return false;
    }
    return true;
  }
  bool Cancelled = false;

private:
  TLogLines& FLines;
  IBusyCursor& FBusy;
  ITextPane& FPane;
  TMark FNext;
};

// Takes the lines of the chunks a walk hands on, from the Skip-th on, until
// Want of them are taken.
class TLogLines::TCopySink : public IChunkSink {
public:
  TCopySink(std::int64_t Skip, std::int64_t Want, std::string& Out)
      : FSkip(Skip), FWant(Want), FOut(Out) {}
  bool HandOn(const TChunk& Chunk) override {
    const char* P = Chunk.Text.data();
    const char* const End = P + Chunk.TextSize;
    for (; FSkip > 0 && P < End; --FSkip)
      P = static_cast<const char*>(std::memchr(P, '\n', End - P)) + 1;
    const char* From = P;
    for (; FWant > 0 && P < End; --FWant)
      P = static_cast<const char*>(std::memchr(P, '\n', End - P)) + 1;
    FOut.append(From, P);
    return FWant > 0;
  }

private:
  std::int64_t FSkip;
  std::int64_t FWant;
  std::string& FOut;
};

TLogLines::TLogLines(TLogWalk Walk, std::string Separator, bool Fixed,
                     const TLogPrnOptions& Options, const TDateTimeFormat& Format,
                     std::vector<TValueColumn> Columns, std::vector<std::string> Head,
                     int BoldLines, int PointSize)
    : FWalk(std::move(Walk)), FSeparator(std::move(Separator)), FFixed(Fixed), FOptions(Options),
      FFormat(Format), FColumns(std::move(Columns)), FHead(std::move(Head)), FBoldLines(BoldLines),
      FPointSize(PointSize) {
  // A regular grid whose every step makes a line is reckoned; excluded
  // lines and record walks are counted by walking.
  FReckoned = !FWalk.RecordByRecord && FWalk.Interval > 0 &&
              NonRecordedMode(FOptions) != TNonRecordedMode::Exclude;
  if (FReckoned) {
    FSteps = FWalk.Steps();
    FWalkLines = FSteps + DaysEntered(FSteps - 1);
  }
}

std::int64_t TLogLines::DaysEntered(std::int64_t Step) const {
  if (!FOptions.AddBlankLine || Step <= 0) return 0;
  // Steps of a day or less leave no day without a step; longer steps each
  // enter a day of their own.
  if (FWalk.Interval >= SecsPerDay) return Step;
  return DayOfTime(std::int64_t(FWalk.Start) + Step * FWalk.Interval) - DayOfTime(FWalk.Start);
}

std::int64_t TLogLines::LinesBefore(std::int64_t Step) const {
  return Step + DaysEntered(Step - 1);
}

bool TLogLines::Index(IBusyCursor& Busy, ITextPane& Pane) {
  TIndexSink Sink(*this, Busy, Pane);
  // With the column header (after the bold title lines) in its first chunk,
  // the chunks are those a display of every line hands on, so a cancel
  // keeps the same lines.
  TLineMaker Maker(Sink, FSeparator, FFixed, FOptions, FFormat, FColumns,
                   std::vector<std::string>(FHead.begin() + FBoldLines, FHead.end()), FWalk.Start);
  Maker.CountOnly();
  Maker.Start(FWalk.Steps(), 1, false);
  FWalk.Run(Maker, FWalk.First());
  Maker.Finish();
  Pane.LinesAdded();
  return !Sink.Cancelled;
}

std::int64_t TLogLines::LineCount() const {
  // A walk that made no step shows nothing, not even the column header.
  if (!FReckoned && FMarks.empty()) return 0;
  return static_cast<std::int64_t>(FHead.size()) + FWalkLines;
}

TLineStyle TLogLines::Style(std::int64_t Line) const {
  return TLineStyle{Line < FBoldLines, FPointSize};
}

TLogLines::TMark TLogLines::MarkFor(std::int64_t Line) const {
  if (!FReckoned) {
    // The last chunk that begins at or before Line holds it.
    const auto After = std::upper_bound(FMarks.begin(), FMarks.end(), Line,
                                        [](std::int64_t L, const TMark& M) { return L < M.Line; });
    return *std::prev(After);
  }
  // The last step whose lines begin at or before Line.
  std::int64_t Low = 0, High = FSteps - 1;
  while (Low < High) {
    const std::int64_t Mid = Low + (High - Low + 1) / 2;
    if (LinesBefore(Mid) <= Line)
      Low = Mid;
    else
      High = Mid - 1;
  }
  TMark Mark;
  Mark.Line = LinesBefore(Low);
  Mark.At = std::int64_t(FWalk.Start) + Low * FWalk.Interval;
  Mark.First = Low == 0;
  Mark.Previous = static_cast<LogTime>(Mark.At - FWalk.Interval);
  return Mark;
}

void TLogLines::GetLines(std::int64_t From, std::int64_t Count, std::string& Out) {
  const std::int64_t Total = LineCount();
  if (From < 0) {
    Count += From;
    From = 0;
  }
  Count = std::min(Count, Total - From);
  const std::int64_t HeadLines = static_cast<std::int64_t>(FHead.size());
  for (; Count > 0 && From < HeadLines; ++From, --Count) {
    Out += FHead[static_cast<std::size_t>(From)];
    Out += "\r\n";
  }
  if (Count <= 0) return;
  const TMark Mark = MarkFor(From - HeadLines);
  TCopySink Sink(From - HeadLines - Mark.Line, Count, Out);
  TLineMaker Maker(Sink, FSeparator, FFixed, FOptions, FFormat, FColumns, {}, FWalk.Start);
  if (!Mark.First) Maker.ContinueAfter(Mark.Previous);
  Maker.Start(FWalk.Steps(), 1, false);
  FWalk.Run(Maker, Mark.At);
  Maker.Finish();
}

} // namespace quorvin
