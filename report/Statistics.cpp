// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/Statistics.h"

#include "report/Formatting.h"
#include "report/Titles.h"

namespace quorvin {

namespace {

// Reads the checked sensors of the loaded log, in log order.
class TRowReader {
public:
  explicit TRowReader(TSelectedLog& Sel) : FSel(Sel) {
    for (int P : CheckedPositions(Sel)) FSensorIndexes.push_back(P + 1);
  }
  int Width() const { return static_cast<int>(FSensorIndexes.size()); }
  void Read(LogTime Time, float* Row) {
    if (FSel.Log) {
      FSel.Log->GetValues(Time, FSensorIndexes.data(), FSensorIndexes.size(), Row);
    } else {
      for (int j = 0; j < Width(); ++j) Row[j] = NonRecordedValue();
    }
  }

private:
  TSelectedLog& FSel;
  std::vector<int> FSensorIndexes;
};

} // namespace

float* TPendingRows::AddRow(LogTime Time) {
  FTimes.push_back(Time);
  FValues.resize(FValues.size() + static_cast<std::size_t>(FWidth));
  return FValues.data() + FValues.size() - static_cast<std::size_t>(FWidth);
}

std::vector<int> CheckedPositions(const TSelectedLog& Selection) {
  std::vector<int> R;
  for (std::size_t i = 0; i < Selection.SensorChoices.size(); ++i)
    if (Selection.SensorChoices[i].Checked) R.push_back(static_cast<int>(i));
  return R;
}

bool RunDataPass(TSelectedLog& Selection, IRowConsumer* Consumer, IBusyCursor* Busy) {
  constexpr int StepsPerReport = 4096;
  TRowReader Reader(Selection);
  TPendingRows Rows(Reader.Width());
  const std::int64_t End = Selection.EndTime;
  const std::int64_t Step = Selection.LogInterval;
  // 64-bit, so a grid reaching the end of the log-time range cannot wrap.
  std::int64_t T = Selection.StartTime;
  const std::int64_t Total = End > T ? End - T : 0;
  bool Cancelled = false;
  for (int Count = 1;; ++Count) {
    const LogTime Now = static_cast<LogTime>(T);
    if (Consumer) Consumer->BeforeStep(Now, Rows);
    float* Row = Rows.AddRow(Now);
    Reader.Read(Now, Row);
    // Without a consumer nobody will look at the rows: keep none.
    if (!Consumer) Rows.Clear();
    if (Step <= 0) break;
    T += Step;
    if (!(T < End) || T > INT32_MAX) break;
    if (Busy && Count % StepsPerReport == 0 && Busy->Step(T - Selection.StartTime, Total)) {
      Cancelled = true;
      break;
    }
  }
  // A cancelled pass hands on nothing more: a half-folded day is not shown
  // as if it were complete.
  if (Consumer && !Cancelled) Consumer->AtEnd(Rows);
  Rows.Clear();
  return !Cancelled;
}

void TStatAccumulators::SetSize(int N) {
  const std::size_t S = N < 0 ? 0 : static_cast<std::size_t>(N);
  Min.assign(S, StatMinStart);
  Max.assign(S, StatMaxStart);
  Sum.assign(S, 0.0f);
  Count.assign(S, 0);
}

std::int64_t RoundedSamples(std::int64_t Total, std::int64_t Sensors) {
  if (Sensors <= 0) return 0;
  std::int64_t Q = Total / Sensors;
  const std::int64_t R2 = (Total % Sensors) * 2;
  if (R2 > Sensors || (R2 == Sensors && (Q % 2) != 0)) ++Q;
  return Q;
}

TStatistics::TStatistics(TSelectedLog& Selection, const TDateTimeFormat& Format,
                         const TLogPrnOptions& Options, TCommandMode CommandMode,
                         TStatAccumulators& Acc, ITextPane& Pane, IBusyCursor* Busy)
    : FSel(Selection), FFormat(Format), FOptions(Options), FCommandMode(CommandMode), FAcc(Acc),
      FPane(Pane), FBusy(Busy) {
  for (int P : CheckedPositions(FSel))
    FRightDigits.push_back(FSel.SensorChoices[static_cast<std::size_t>(P)].RightDigits);
}

std::string TStatistics::DateText(LogTime Time) const {
  return FormatLogTime(FFormat.DatePattern, Time, FFormat);
}

void TStatistics::Heading() {
  FPane.Clear();
  FPane.SetBold(true);
  FPane.SetPointSize(10);
  FPane.AppendLine(StatisticsTitleLine(FSel, FFormat));
  FPane.AppendLine("");
  std::string Names = "SENSORS            ";
  if (FTable) *FTable = TStatTable{};
  for (const TSensorChoice& C : FSel.SensorChoices) {
    if (!C.Checked) continue;
    Names += PadBlanks(10 - static_cast<int>(C.ShortName.size()));
    Names += C.ShortName;
    if (FTable) FTable->Sensors.push_back(C.ShortName);
  }
  FPane.AppendLine(Names);
}

bool TStatistics::Report() {
  if (FAcc.Size() != static_cast<int>(FRightDigits.size()))
    FAcc.SetSize(static_cast<int>(FRightDigits.size()));
  Heading();
  FStartBlock = true;
  FBlockDay = static_cast<int>(DayOfTime(FSel.StartTime));
  FLabel = DateText(FSel.StartTime);
  return RunDataPass(FSel, FCommandMode == cmStatistics ? this : nullptr, FBusy);
}

void TStatistics::BeforeStep(LogTime Time, TPendingRows& Rows) {
  if (Rows.Count() > MaxPendingRows) {
    Fold(FLabel, Rows, FStartBlock, true);
    FStartBlock = false;
    Rows.Clear();
  } else if (DayOfTime(Time) > FBlockDay) {
    Fold(FLabel, Rows, FStartBlock, false);
    FLabel = DateText(Time);
    FBlockDay = static_cast<int>(DayOfTime(Time));
    FStartBlock = true;
    Rows.Clear();
  }
}

void TStatistics::AtEnd(TPendingRows& Rows) {
  Fold(FLabel, Rows, FStartBlock, false);
  Rows.Clear();
}

void TStatistics::Fold(const std::string& Label, const TPendingRows& Rows, bool StartBlock,
                       bool Silent) {
  const int N = FAcc.Size() < Rows.Width() ? FAcc.Size() : Rows.Width();
  if (StartBlock) FAcc.SetSize(FAcc.Size());
  for (int k = 0; k < Rows.Count(); ++k) {
    const float* Row = Rows.Row(k);
    for (int j = 0; j < N; ++j) {
      const float V = Row[j];
      if (IsNonRecorded(V)) continue;
      const auto J = static_cast<std::size_t>(j);
      if (FAcc.Min[J] > V) FAcc.Min[J] = V;
      if (FAcc.Max[J] < V) FAcc.Max[J] = V;
      // Single precision on purpose: the figures are those of a float sum.
      FAcc.Sum[J] = static_cast<float>(FAcc.Sum[J] + V);
      ++FAcc.Count[J];
    }
  }
  if (Silent) return;
  PrintBlock(Label);
}

void TStatistics::PrintBlock(const std::string& Label) {
  const int N = FAcc.Size();
  std::int64_t Total = 0;
  for (int j = 0; j < N; ++j) Total += FAcc.Count[static_cast<std::size_t>(j)];
  const std::string LabelField = Label + PadBlanks(12 - static_cast<int>(Label.size()));
  TStatTableRow Row{Label, Total > 0 ? RoundedSamples(Total, N) : 0, {}, {}, {}};
  if (Total <= 0) {
    if (FTable) FTable->Rows.push_back(std::move(Row));
    FPane.AppendLine(LabelField + "NO DATA RECORDED");
    return;
  }
  std::string MinText, MaxText, MeanText;
  auto Column = [](std::string& Line, const std::string& Value) {
    Line += PadBlanks(10 - static_cast<int>(Value.size()));
    Line += Value;
  };
  for (int j = 0; j < N; ++j) {
    const auto J = static_cast<std::size_t>(j);
    const int RD = j < static_cast<int>(FRightDigits.size()) ? FRightDigits[J] : 0;
    const std::string Min = FormatValue(FAcc.Min[J], RD);
    const std::string Max = FormatValue(FAcc.Max[J], RD);
    Column(MinText, Min);
    Column(MaxText, Max);
    std::string Mean;
    if (FAcc.Count[J] > 0) {
      Mean = FormatValue(static_cast<float>(static_cast<double>(FAcc.Sum[J]) / FAcc.Count[J]), RD);
      Column(MeanText, Mean);
    } else {
      // Nothing to divide: the placeholder of a value that was not recorded.
      Column(MeanText, NonRecordedText(FOptions, RD));
    }
    // A spreadsheet is given no figure where there was none, rather than
    // the accumulators' start values.
    const bool Recorded = FAcc.Count[J] > 0;
    Row.Min.push_back(Recorded ? Min : std::string());
    Row.Max.push_back(Recorded ? Max : std::string());
    Row.Mean.push_back(Mean);
  }
  if (FTable) FTable->Rows.push_back(std::move(Row));
  const std::string Samples = std::to_string(RoundedSamples(Total, N));
  FPane.SetBold(false);
  FPane.AppendLine(LabelField + "MIN " + "   " + MinText);
  FPane.AppendLine("#SAMPLES" + std::string(4, ' ') + "MAX " + "   " + MaxText);
  FPane.AppendLine(Samples + PadBlanks(12 - static_cast<int>(Samples.size())) + "MEAN" + "   " +
                   MeanText);
  FPane.AppendLine("");
}

} // namespace quorvin
