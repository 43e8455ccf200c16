// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics report of the LOGSTAT page: minimum, maximum, mean and
// number of samples of every checked sensor, one block per calendar day of
// the chosen range. Also the data pass that feeds it, shared with the graph:
// it walks the time grid and hands the checked sensors' values, a row per
// time step, to a consumer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/CommandMode.h"
#include "core/DateTimeFormat.h"
#include "core/MiscUtil.h"
#include "core/UiServices.h"
#include "report/LogPrnOptions.h"
#include "report/SelectedLog.h"
#include "report/StatTable.h"

namespace quorvin {

// Rows are handed on once more than this many are pending.
constexpr int MaxPendingRows = 256;

// Start values of the accumulators: the widest finite singles the report
// knows (bit patterns 7F7FC99E and FF7FC99E).
constexpr float StatMinStart = 3.4e38f;
constexpr float StatMaxStart = -3.4e38f;

// The values of the checked sensors at successive time steps, one row per
// step with one value per checked sensor in log order, and each row's time.
class TPendingRows {
public:
  explicit TPendingRows(int Width) : FWidth(Width < 0 ? 0 : Width) {}
  int Width() const { return FWidth; }
  int Count() const { return static_cast<int>(FTimes.size()); }
  bool Empty() const { return FTimes.empty(); }
  // Appends a row for Time; answers its Width values to fill.
  float* AddRow(LogTime Time);
  const float* Row(int K) const { return FValues.data() + static_cast<std::size_t>(K) * FWidth; }
  LogTime Time(int K) const { return FTimes[static_cast<std::size_t>(K)]; }
  void Clear() {
    FValues.clear();
    FTimes.clear();
  }

private:
  int FWidth;
  std::vector<float> FValues;
  std::vector<LogTime> FTimes;
};

// What the data pass hands its rows to.
class IRowConsumer {
public:
  virtual ~IRowConsumer() = default;
  // Before the values of Time are read. Rows the consumer took must be
  // cleared by it.
  virtual void BeforeStep(LogTime Time, TPendingRows& Rows) = 0;
  // After the last step, with the rows still pending.
  virtual void AtEnd(TPendingRows& Rows) = 0;
};

// Positions (0-based, log order) of the checked sensors of the selection.
std::vector<int> CheckedPositions(const TSelectedLog& Selection);

// Walks the grid StartTime, StartTime + LogInterval, ... while the time is
// before EndTime (the first step is always taken), reading the checked
// sensors of the loaded log at each step. Without a consumer nothing is
// kept. A LogInterval that is not positive takes the first step only.
// Progress goes to Busy (when given) every few thousand steps; false when
// the user cancelled, the pass then stops where it was.
bool RunDataPass(TSelectedLog& Selection, IRowConsumer* Consumer, IBusyCursor* Busy = nullptr);

// The four accumulators, one element per checked sensor; they live from one
// Statistics command to the next.
struct TStatAccumulators {
  std::vector<float> Min;
  std::vector<float> Max;
  std::vector<float> Sum;
  std::vector<std::int32_t> Count;
  void SetSize(int N);
  int Size() const { return static_cast<int>(Count.size()); }
};

// #SAMPLES: Total / Sensors rounded to the nearest integer, halves to even.
std::int64_t RoundedSamples(std::int64_t Total, std::int64_t Sensors);

class TStatistics final : public IRowConsumer {
public:
  // In mode Statistics the report folds and prints; with any other mode the
  // report shows only its heading. Accumulators are sized to the checked
  // sensors of the selection as the report starts.
  TStatistics(TSelectedLog& Selection, const TDateTimeFormat& Format, const TLogPrnOptions& Options,
              TCommandMode CommandMode, TStatAccumulators& Acc, ITextPane& Pane,
              IBusyCursor* Busy = nullptr);

  // The report's figures also go into Table, made anew by the heading.
  void RecordInto(TStatTable& Table) { FTable = &Table; }
  // The heading, then the data pass; false when the user cancelled it.
  bool Report();
  void Heading();
  // Adds Rows to the accumulators (reset first when StartBlock) and prints
  // the block unless Silent.
  void Fold(const std::string& Label, const TPendingRows& Rows, bool StartBlock, bool Silent);

  void BeforeStep(LogTime Time, TPendingRows& Rows) override;
  void AtEnd(TPendingRows& Rows) override;

private:
  std::string DateText(LogTime Time) const;
  void PrintBlock(const std::string& Label);

  TSelectedLog& FSel;
  const TDateTimeFormat& FFormat;
  const TLogPrnOptions& FOptions;
  TCommandMode FCommandMode;
  TStatAccumulators& FAcc;
  ITextPane& FPane;
  IBusyCursor* FBusy;
  TStatTable* FTable = nullptr;
  // Right digits of the checked sensors, in order.
  std::vector<int> FRightDigits;

  // Block state of the running pass.
  std::string FLabel;
  int FBlockDay = 0;
  bool FStartBlock = true;
};

} // namespace quorvin
