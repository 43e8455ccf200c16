// SPDX-License-Identifier: GPL-3.0-or-later
#include "logdata/CSVFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <limits>
#include <memory>
#include <vector>

#include "core/RegularFile.h"
#include "logdata/HeaderReport.h"

namespace quorvin {

namespace {

// The next comma-separated field of Rest, consumed with its comma. A field
// is taken as it is: no trimming, no quoting.
std::string_view NextField(std::string_view& Rest) {
  const std::size_t Comma = Rest.find(',');
  std::string_view Field = Rest.substr(0, Comma);
  Rest = Comma == std::string_view::npos ? std::string_view() : Rest.substr(Comma + 1);
  return Field;
}

bool IsBadStatus(std::string_view Status) {
  return (Status.size() == 1 && UpCase(Status[0]) == 'B') ||
         (Status.size() == 3 && UpCase(Status[0]) == 'B' && UpCase(Status[1]) == 'A' &&
          UpCase(Status[2]) == 'D');
}

// Reads month/day/year hour:minute:second from Date, one space and Time:
// runs of digits with exactly one character of any kind between two numbers;
// missing trailing parts count as 0. The date must be a calendar day that a
// log time holds (1984-12-31 to 2053-01-17), except that a two-digit year, the
// loggers' short form, keeps only the time of day (the reading lands on
// 1984-12-31). False for any other date (02/30/2000, 13/45/2024, 1/1/1,
// 12/31/9999, a date without numbers) and for a time past the last log time:
// such a row is skipped, so it cannot stretch the log over decades.
bool ParseDateTime(std::string_view Date, std::string_view Time, LogTime& Result) {
  const std::size_t N = Date.size() + 1 + Time.size();
  auto At = [&](std::size_t P) -> char {
    if (P < Date.size()) return Date[P];
    if (P == Date.size()) return ' ';
    return Time[P - Date.size() - 1];
  };
  int Parts[6] = {0, 0, 0, 0, 0, 0};
  std::size_t YearDigits = 0;
  std::size_t P = 0;
  for (int K = 0; K < 6 && P < N; ++K) {
    int V = 0;
    const std::size_t From = P;
    while (P < N && At(P) >= '0' && At(P) <= '9') {
      V = std::min(V * 10 + (At(P) - '0'), 65535);
      ++P;
    }
    Parts[K] = V;
    if (K == 2) YearDigits = P - From;
    ++P; // the one separator
  }
  const int Month = Parts[0], Day = Parts[1], Year = Parts[2];
  std::int64_t DayNo = 0;
  if (YearDigits == 2) {
    // The century DaysBeforeYear reads a two-digit year in.
    if (!IsCalendarDate(Year >= 85 ? 1900 + Year : 2000 + Year, Month, Day)) return false;
  } else {
    if (!IsCalendarDate(Year, Month, Day) || !IsLogDate(Year, Month, Day)) return false;
    DayNo = DayNumber(Year, Month, Day);
  }
  const std::int64_t Secs =
      DayNo * SecsPerDay + std::int64_t{Parts[3]} * 3600 + std::int64_t{Parts[4]} * 60 + Parts[5];
  if (Secs > std::numeric_limits<LogTime>::max()) return false;
  Result = static_cast<LogTime>(Secs);
  return true;
}

// A value field: its number (65535 when it does not convert) and its right
// digits (characters after the first full stop). A number beyond the range
// of a single does not convert: it would be read as infinite.
bool ConvertValue(std::string_view Field, float& Value, std::uint16_t& RightDigits) {
  const std::size_t Dot = Field.find('.');
  RightDigits =
      Dot == std::string_view::npos
          ? 0
          : static_cast<std::uint16_t>(std::min<std::size_t>(Field.size() - Dot - 1, 65535));
  double D = 0.0;
  if (!Field.empty() && StrToFloatOK(std::string(Field), D) &&
      std::isfinite(static_cast<float>(D))) {
    Value = static_cast<float>(D);
    return true;
  }
  Value = CSVBadValue;
  return false;
}

// One row of the interval rule, D being its distance from the sensor's
// previous row: Interval is the smallest positive step so far, Variable tells
// that a step differed from the interval of that moment.
void StepInterval(std::int64_t D, std::int32_t& Interval, bool& Variable) {
  if (Interval != 0) {
    if (D != Interval) Variable = true;
    if (D > 0 && D < Interval) Interval = static_cast<std::int32_t>(D);
  } else if (D > 0) {
    Interval = static_cast<std::int32_t>(
        std::min<std::int64_t>(D, std::numeric_limits<std::int32_t>::max()));
  }
}

bool IsBlank(std::string_view Line) {
  return Line.find_first_not_of(" \t") == std::string_view::npos;
}

} // namespace

struct TCSVLogFile::TParseState {
  LogTime Now = 0;
  // Sensors that had a row earlier than their latest: their records are
  // appended as they come and put in order once at the end, so a file
  // written newest first costs no more than one written oldest first.
  std::unordered_set<TCSVSensor*> OutOfOrder;
  // The row times, in file order, of each sensor whose rows have not yet
  // stepped forward (its Interval still 0); dropped at its first step forward.
  // A deque grows without moving what it holds, which for a long file
  // written newest first costs much less than a growing vector.
  std::unordered_map<TCSVSensor*, std::deque<LogTime>> NotForward;
};

void TCSVRecordList::SortByTime() {
  std::vector<TCSVRecord*> Items;
  Items.reserve(static_cast<std::size_t>(Count()));
  for (int I = 0; I < Count(); ++I) Items.push_back(At(I));
  FKeepItems = true;
  FreeAllItems();
  FKeepItems = false;
  std::stable_sort(Items.begin(), Items.end(),
                   [](const TCSVRecord* A, const TCSVRecord* B) { return A->Time < B->Time; });
  for (std::size_t I = 0; I < Items.size(); ++I) {
    if (I + 1 < Items.size() && Items[I + 1]->Time == Items[I]->Time)
      delete Items[I];
    else
      InsertAt(Count(), Items[I]);
  }
}

TCSVLogFile::TCSVLogFile(std::string FileName, std::string DisplayName)
    : FFileName(std::move(FileName)), FDisplayName(std::move(DisplayName)) {}

TCSVLogFile::~TCSVLogFile() { Clear(); }

bool TCSVLogFile::Open() {
  Clear();
  TParseState State;
  bool Ok = false;
  try {
    Ok = Parse(State);
  } catch (...) {
    SortOutOfOrderSensors(State);
    Ok = false;
  }
  FIsOpen = Ok;
  return Ok;
}

void TCSVLogFile::SortOutOfOrderSensors(TParseState& State) {
  for (TCSVSensor* S : State.OutOfOrder) S->Records.SortByTime();
  State.OutOfOrder.clear();
}

// A sensor whose rows never stepped forward although they hold two or more
// times was written newest first: its interval comes from its rows taken in
// reverse file order, as if the file had been written oldest first.
void TCSVLogFile::IntervalsOfNewestFirstSensors(TParseState& State) {
  for (auto& [S, Times] : State.NotForward) {
    if (S->Interval != 0) continue;
    const auto [Min, Max] = std::minmax_element(Times.begin(), Times.end());
    if (Min == Times.end() || *Min == *Max) continue;
    // The first row's previous time is its own, at most the parse time.
    LogTime Prev = std::min(State.Now, Times.back());
    for (auto It = Times.rbegin() + 1; It != Times.rend(); ++It) {
      StepInterval(static_cast<std::int64_t>(*It) - Prev, S->Interval, S->VariableInterval);
      Prev = *It;
    }
  }
  State.NotForward.clear();
}

void TCSVLogFile::Close() { FIsOpen = false; }

void TCSVLogFile::Clear() {
  Close();
  FSensors.Clear();
  FIndex.clear();
  FMixedIntervals = false;
  FInterval = 0;
  FRowLayout = 0;
}

TCSVSensor* TCSVLogFile::Find(std::string_view Name) {
  auto It = FIndex.find(UpperCase(Name));
  return It == FIndex.end() ? nullptr : FSensors.Objects(It->second);
}

bool TCSVLogFile::Parse(TParseState& State) {
  State.Now = NowSecs();
  FFirstTime = State.Now;
  FLastTime = 0;

  int OpenError = 0;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> F(OpenRegularFile(FFileName, OpenError),
                                                    &std::fclose);
  if (F) {
    std::vector<char> Buf(ReadBlockSize(F.get(), 1 << 20));
    std::string Carry;
    std::size_t Got;
    while ((Got = std::fread(Buf.data(), 1, Buf.size(), F.get())) > 0) {
      const std::string_view Chunk(Buf.data(), Got);
      std::size_t Start = 0;
      for (;;) {
        const std::size_t Nl = Chunk.find('\n', Start);
        if (Nl == std::string_view::npos) {
          Carry.append(Chunk.substr(Start));
          break;
        }
        if (Carry.empty()) {
          ParseLine(Chunk.substr(Start, Nl - Start), State);
        } else {
          Carry.append(Chunk.substr(Start, Nl - Start));
          ParseLine(Carry, State);
          Carry.clear();
        }
        Start = Nl + 1;
      }
    }
    if (!Carry.empty()) ParseLine(Carry, State);
  }
  SortOutOfOrderSensors(State);
  IntervalsOfNewestFirstSensors(State);

  if (FSensors.Count() == 0) return false;
  FInterval = FSensors.Objects(0)->Interval;
  for (int I = 0; I < FSensors.Count(); ++I) {
    const std::int32_t SI = FSensors.Objects(I)->Interval;
    if (SI > 0 && SI < FInterval) FInterval = SI;
  }
  if (FInterval == 0 || FFirstTime == 0) return false;
  FMixedIntervals = false;
  for (int I = 0; I < FSensors.Count(); ++I) {
    const TCSVSensor* S = FSensors.Objects(I);
    if (static_cast<std::int64_t>(S->Interval) % FInterval != 0 ||
        static_cast<std::int64_t>(S->FirstTime) % FFirstTime != 0)
      FMixedIntervals = true;
  }
  return true;
}

void TCSVLogFile::ParseLine(std::string_view Line, TParseState& State) {
  if (!Line.empty() && Line.back() == '\r') Line.remove_suffix(1);
  if (Line.empty() || IsBlank(Line)) return;
  if (Line[0] == '\'' || Line[0] == ':' || Line[0] == ';') return;

  std::string_view Rest = Line;
  const std::string_view First = NextField(Rest);

  if (First.find('/') == std::string_view::npos) {
    // Layout 3: name, date, time, value, status (date and time may share a field).
    FRowLayout = 3;
    std::string_view Date = NextField(Rest);
    std::string_view Time;
    if (const std::size_t Sp = Date.find(' '); Sp != std::string_view::npos) {
      Time = Date.substr(Sp + 1);
      Date = Date.substr(0, Sp);
    } else {
      Time = NextField(Rest);
    }
    const std::string_view ValueField = NextField(Rest);
    std::string_view Status = NextField(Rest);
    float Value;
    std::uint16_t Digits;
    if (!ConvertValue(ValueField, Value, Digits)) Status = "B";
    if (Digits == 6) Digits = 3;
    LogTime T;
    if (!ParseDateTime(Date, Time, T)) return;
    AddReading(First, T, Value, Digits, std::string_view(), Status, State);
    return;
  }

  // Fields in layout 1 order, the date and time possibly sharing the first.
  std::string_view Date = First, Time;
  if (const std::size_t Sp = First.find(' '); Sp != std::string_view::npos) {
    Date = First.substr(0, Sp);
    Time = First.substr(Sp + 1);
  } else {
    Time = NextField(Rest);
  }
  const std::string_view Name = NextField(Rest);
  const std::string_view ValueField = NextField(Rest);
  const std::string_view Units = NextField(Rest);
  std::string_view Status = NextField(Rest);

  if (ValueField.empty() || Status.find_first_of("GBU") != std::string_view::npos) {
    FRowLayout = 1;
    float Value;
    std::uint16_t Digits;
    if (!ConvertValue(ValueField, Value, Digits)) Status = "B";
    LogTime T;
    if (!ParseDateTime(Date, Time, T)) return;
    AddReading(Name, T, Value, Digits, Units, Status, State);
    return;
  }

  // Layout 2: date, time and base name are the first three fields; every
  // further field is the next value of the group.
  FRowLayout = 2;
  std::string_view Group = Line;
  const std::string_view GDate = NextField(Group);
  const std::string_view GTime = NextField(Group);
  const std::string Base(NextField(Group));
  LogTime T;
  if (!ParseDateTime(GDate, GTime, T)) return;
  std::string SensorName;
  for (int K = 1; !Group.empty(); ++K) {
    const std::string_view ValueField = NextField(Group);
    float Value;
    std::uint16_t Digits;
    const bool Ok = ConvertValue(ValueField, Value, Digits);
    SensorName = Base;
    SensorName += ':';
    SensorName += std::to_string(K);
    AddReading(SensorName, T, Value, Digits, std::string_view(), Ok ? std::string_view() : "B",
               State);
  }
}

void TCSVLogFile::AddReading(std::string_view Name, LogTime Time, float Value,
                             std::uint16_t RightDigits, std::string_view Units,
                             std::string_view Status, TParseState& State) {
  const LogTime Now = State.Now;
  TCSVSensor* S = Find(Name);
  TCSVRecord* Rec = nullptr;
  if (!S) {
    auto NS = std::make_unique<TCSVSensor>(this);
    NS->Name = std::string(Name);
    NS->FirstTime = std::min(Now, Time);
    NS->LastTime = std::max<LogTime>(0, Time);
    NS->PrevTime = NS->FirstTime;
    NS->Status = std::string(Status);
    NS->Units = std::string(Units);
    NS->StoredRightDigits = RightDigits;
    NS->RightDigits = std::min<std::uint16_t>(RightDigits, MaxRightDigits);
    NS->Count = 1;
    Rec = new TCSVRecord(Time, NS.get());
    NS->Records.InsertAt(0, Rec);
    State.NotForward[NS.get()].push_back(Time);
    FIndex.emplace(UpperCase(Name), FSensors.Count());
    std::string ListName = NS->Name;
    FSensors.Add(std::move(ListName), std::move(NS));
  } else {
    S->FirstTime = std::min(S->FirstTime, Time);
    S->LastTime = std::max(S->LastTime, Time);
    S->StoredRightDigits = std::max(S->StoredRightDigits, RightDigits);
    S->RightDigits = std::min<std::uint16_t>(S->StoredRightDigits, MaxRightDigits);
    const std::int64_t D = static_cast<std::int64_t>(Time) - S->PrevTime;
    const bool NotForwardYet = S->Interval == 0;
    StepInterval(D, S->Interval, S->VariableInterval);
    if (NotForwardYet) {
      const auto It = State.NotForward.find(S);
      if (It != State.NotForward.end()) {
        if (S->Interval == 0)
          It->second.push_back(Time);
        else
          State.NotForward.erase(It);
      }
    }
    ++S->Count;
    S->PrevTime = Time;
    // Each sensor's records end up sorted by time whatever the row order, so
    // every reading stays findable; a time already present reuses its record.
    TCSVRecordList& List = S->Records;
    const int N = List.Count();
    if (N > 0 && List.At(N - 1)->Time == Time) {
      Rec = List.At(N - 1);
    } else if (N > 0 && List.At(N - 1)->Time > Time) {
      int Index = N;
      if (!State.OutOfOrder.contains(S) && List.Search(Time, Index)) {
        Rec = List.At(Index);
      } else {
        State.OutOfOrder.insert(S);
        Rec = new TCSVRecord(Time, S);
        List.InsertAt(N, Rec);
      }
    } else {
      Rec = new TCSVRecord(Time, S);
      List.InsertAt(N, Rec);
    }
  }
  // A bad reading never leaves a value behind; a later good row replaces it.
  if (IsBadStatus(Status)) {
    Rec->Value = CSVBadValue;
    Rec->Missing = true;
  } else {
    Rec->Value = Value;
    Rec->Missing = false;
  }
  FFirstTime = std::min(FFirstTime, Time);
  FLastTime = std::max(FLastTime, Time);
}

void TCSVLogFile::ValueAt(TCSVSensor* S, LogTime Time, float& Value) {
  Value = NonRecordedValue();
  if (!S) return;
  int Index = 0;
  if (!S->Records.Search(Time, Index)) return;
  const TCSVRecord* Rec = S->Records.At(Index);
  if (!Rec->Missing) Value = Rec->Value;
}

void TCSVLogFile::RecordAt(TCSVSensor* S, int Position, float& Value, LogTime& Time) {
  Value = NonRecordedValue();
  if (!S) return;
  const TCSVRecord* Rec = S->Records.At(Position);
  if (!Rec->Missing) Value = Rec->Value;
  Time = Rec->Time;
}

void TCSVLogFile::GetValue(LogTime Time, std::string_view SensorName, float& Value) {
  ValueAt(Find(SensorName), Time, Value);
}

void TCSVLogFile::GetValue(LogTime Time, int SensorIndex, float& Value) {
  ValueAt(FSensors.Objects(SensorIndex - 1), Time, Value);
}

void TCSVLogFile::GetValues(LogTime Time, const int* SensorIndexes, std::size_t Count,
                            float* Values) {
  for (std::size_t I = 0; I < Count; ++I)
    ValueAt(FSensors.Objects(SensorIndexes[I] - 1), Time, Values[I]);
}

void TCSVLogFile::GetValueAt(int Position, std::string_view SensorName, float& Value,
                             LogTime& Time) {
  RecordAt(Find(SensorName), Position, Value, Time);
}

void TCSVLogFile::GetValueAt(int Position, int SensorIndex, float& Value, LogTime& Time) {
  RecordAt(FSensors.Objects(SensorIndex - 1), Position, Value, Time);
}

int TCSVLogFile::RecordCount(int SensorIndex) const {
  const TCSVSensor* S = FSensors.Objects(SensorIndex - 1);
  return S ? S->RecordCount() : 0;
}

bool TCSVLogFile::NextRecordTime(int SensorIndex, LogTime From, LogTime& Time) {
  TCSVSensor* S = FSensors.Objects(SensorIndex - 1);
  if (!S) return false;
  int Position = 0;
  S->Records.Search(From, Position);
  if (Position >= S->Records.Count()) return false;
  Time = S->Records.At(Position)->Time;
  return true;
}

TLogSensor TCSVLogFile::Sensor(int SensorIndex) const {
  TLogSensor Info;
  const TCSVSensor* S = FSensors.Objects(SensorIndex - 1);
  if (!S) return Info;
  Info.Name = FSensors.Names(SensorIndex - 1);
  Info.ShortName = Info.Name;
  Info.Units = S->Units;
  Info.RightDigits = S->RightDigits;
  Info.FirstTime = S->FirstTime;
  Info.LastTime = S->LastTime;
  Info.Interval = S->Interval;
  Info.VariableInterval = S->VariableInterval;
  return Info;
}

bool TCSVLogFile::ShowHeader(ITextPane& Pane, const std::string& TitleName,
                             const TDateTimeFormat& Format) const {
  return ShowCSVLogInfo(Pane, *this, TitleName, Format);
}

} // namespace quorvin
