// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/RangeStatistics.h"

#include <algorithm>

#include "report/Formatting.h"

namespace quorvin {

namespace {

class TRangeFold final : public IRowConsumer {
public:
  explicit TRangeFold(std::vector<TRangeFigures>& Figures) : FFigures(Figures) {}
  void BeforeStep(LogTime, TPendingRows& Rows) override {
    if (Rows.Count() > MaxPendingRows) Fold(Rows);
  }
  void AtEnd(TPendingRows& Rows) override { Fold(Rows); }

private:
  void Fold(TPendingRows& Rows) {
    const int N = std::min(Rows.Width(), static_cast<int>(FFigures.size()));
    for (int K = 0; K < Rows.Count(); ++K)
      for (int J = 0; J < N; ++J) {
        const float V = Rows.Row(K)[J];
        if (IsNonRecorded(V)) continue;
        TRangeFigures& F = FFigures[static_cast<std::size_t>(J)];
        F.Min = std::min(F.Min, V);
        F.Max = std::max(F.Max, V);
        F.Sum += V;
        ++F.Count;
      }
    Rows.Clear();
  }
  std::vector<TRangeFigures>& FFigures;
};

} // namespace

bool RangeStatistics(TSelectedLog& Selection, LogTime From, LogTime To,
                     std::vector<TRangeFigures>& Figures, IBusyCursor* Busy) {
  Figures.clear();
  for (int P : CheckedPositions(Selection)) {
    const TSensorChoice& C = Selection.SensorChoices[static_cast<std::size_t>(P)];
    Figures.push_back(TRangeFigures{C.ShortName, C.RightDigits});
  }
  // The first grid time at or after From, and the last before EndTime.
  const std::int64_t Start = Selection.StartTime;
  const std::int64_t Step = Selection.LogInterval;
  std::int64_t First = Start;
  if (From > Start && Step > 0)
    First = Start + (std::int64_t(From) - Start + Step - 1) / Step * Step;
  const std::int64_t Last = std::min<std::int64_t>(To, std::int64_t(Selection.EndTime) - 1);
  if (First > Last || (Step <= 0 && From > Start)) return true;

  TSelectedLog Window;
  Window.Log = Selection.Log;
  Window.SensorChoices = Selection.SensorChoices;
  Window.LogInterval = Selection.LogInterval;
  Window.StartTime = static_cast<LogTime>(First);
  Window.EndTime = static_cast<LogTime>(Last + 1);
  TRangeFold Fold(Figures);
  return RunDataPass(Window, &Fold, Busy);
}

std::string RangeFiguresLine(const TRangeFigures& Figures) {
  if (Figures.Count == 0) return Figures.Name + ": no samples";
  const int RD = Figures.RightDigits;
  const auto Mean = static_cast<float>(Figures.Sum / static_cast<double>(Figures.Count));
  return Figures.Name + ": minimum " + FormatValue(Figures.Min, RD) + ", maximum " +
         FormatValue(Figures.Max, RD) + ", mean " + FormatValue(Mean, RD) + ", " +
         std::to_string(Figures.Count) + (Figures.Count == 1 ? " sample" : " samples");
}

} // namespace quorvin
