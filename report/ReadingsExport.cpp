// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/ReadingsExport.h"

#include "core/FileNames.h"
#include "core/OutputFile.h"
#include "report/Formatting.h"
#include "report/NetCdfWriter.h"
#include "report/Readings.h"

namespace quorvin {

namespace {

// Rows handled between two reports of progress (and two NetCDF writes).
constexpr std::size_t BlockRows = 16384;

std::vector<int> RightDigitsOf(ILogReader& Log, const std::vector<int>& Sensors) {
  std::vector<int> Digits;
  for (int Index : Sensors) Digits.push_back(Log.Sensor(Index).RightDigits);
  return Digits;
}

class TRowSource {
public:
  TRowSource(ILogReader& Log, const TReadingsRequest& Request, TReadingsOutcome& Outcome,
             IBusyCursor& Busy)
      : FWalk(Log, Request.Sensors, Request.From, Request.To), FZone(Request.Zone),
        FOutcome(Outcome), FBusy(Busy), FTotal(FWalk.RowsLeft()), FValues(Request.Sensors.size()) {}

  // The next row, placed in the zone; false at the end or when cancelled.
  bool Next(LogTime& Time, TZonedTime& Placed) {
    if (++FSinceStep >= BlockRows) {
      FSinceStep = 0;
      if (FBusy.Step(FOutcome.Rows, FTotal)) {
        FOutcome.Cancelled = true;
        return false;
      }
    }
    if (!FWalk.Next(Time, FValues.data())) return false;
    Placed = FZone.Place(Time);
    if (FZone.HasZone()) FOutcome.Tally.Add(Time, Placed);
    ++FOutcome.Rows;
    return true;
  }
  const std::vector<float>& Values() const { return FValues; }

private:
  TReadingWalk FWalk;
  const TClockZone& FZone;
  TReadingsOutcome& FOutcome;
  IBusyCursor& FBusy;
  std::int64_t FTotal;
  std::vector<float> FValues;
  std::size_t FSinceStep = 0;
};

void WriteCsv(ILogReader& Log, const TReadingsRequest& Request, TReadingsOutcome& Outcome,
              IBusyCursor& Busy) {
  TOutputFile Out;
  if (!Out.OpenReplace(Request.FileName)) {
    Outcome.Reason = Out.FailureReason();
    return;
  }
  const std::vector<int> Digits = RightDigitsOf(Log, Request.Sensors);
  TRowSource Rows(Log, Request, Outcome, Busy);
  bool Ok = Out.WriteLine(ReadingsCsvHeader(Log, Request.Sensors));
  std::string Line;
  LogTime Time;
  TZonedTime Placed;
  while (Ok && Rows.Next(Time, Placed)) {
    Line = IsoClockText(LogTimeToUnix(Time));
    if (Request.Zone.HasZone()) Line += OffsetText(Placed.OffsetSecs);
    const std::vector<float>& Values = Rows.Values();
    for (std::size_t I = 0; I < Values.size(); ++I) {
      Line += ',';
      if (!IsNonRecorded(Values[I])) AppendFormattedValue(Line, Values[I], Digits[I]);
    }
    Ok = Out.WriteLine(Line);
  }
  if (Ok && !Outcome.Cancelled && Out.Commit()) {
    Outcome.Written = true;
    return;
  }
  Outcome.Reason = Out.FailureReason();
  Out.Abandon();
}

void WriteNetCdf(ILogReader& Log, const TReadingsRequest& Request, TReadingsOutcome& Outcome,
                 IBusyCursor& Busy) {
  // The library writes the file itself: into the temporary file that then
  // replaces the target.
  TOutputFile Out;
  if (!Out.OpenReplace(Request.FileName) || !Out.Close()) {
    Outcome.Reason = Out.FailureReason();
    Out.Abandon();
    return;
  }
  const bool Zoned = Request.Zone.HasZone();
  std::vector<TNetCdfSeries> Series;
  for (int Index : Request.Sensors) {
    const TLogSensor S = Log.Sensor(Index);
    Series.push_back(TNetCdfSeries{S.ShortName, S.Name, S.Units});
  }
  TNetCdfWriter Writer;
  bool Ok = Writer.Create(
      Out.WrittenName(),
      Zoned ? "seconds since 1970-01-01 00:00:00 UTC" : "seconds since 1970-01-01 00:00:00",
      {{"comment", Zoned ? "the logger's clock read in the time zone " + Request.Zone.Name()
                         : std::string("the logger's clock time as recorded; its time zone is "
                                       "not known")}},
      Series,
      {{"Conventions", "CF-1.8"},
       {"title", LogTitle(Log)},
       {"source", ExtractFileName(Log.FileName())}});
  const std::vector<int> Digits = RightDigitsOf(Log, Request.Sensors);
  TRowSource Rows(Log, Request, Outcome, Busy);
  std::vector<long long> Times;
  std::vector<std::vector<double>> Columns(Request.Sensors.size());
  LogTime Time;
  TZonedTime Placed;
  bool More = Ok;
  while (Ok && More) {
    Times.clear();
    for (auto& C : Columns) C.clear();
    while (Times.size() < BlockRows && (More = Rows.Next(Time, Placed))) {
      Times.push_back(Placed.UnixSecs);
      const std::vector<float>& Values = Rows.Values();
      for (std::size_t I = 0; I < Values.size(); ++I) {
        const double V = ReadingValue(Values[I], Digits[I]);
        Columns[I].push_back(V == V ? V : NetCdfFillValue);
      }
    }
    Ok = Writer.Append(Times, Columns);
  }
  Ok = Writer.Close() && Ok;
  if (Ok && !Outcome.Cancelled && Out.Publish()) {
    Outcome.Written = true;
    return;
  }
  Outcome.Reason =
      !Writer.Reason().empty() ? Request.FileName + ": " + Writer.Reason() : Out.FailureReason();
  Out.Abandon();
}

} // namespace

std::string LogTitle(const ILogReader& Log) {
  const std::string Title = Log.TitleName();
  if (Title.empty()) return Log.DisplayName();
  return Title == Log.FileName() ? ExtractFileName(Title) : Title;
}

std::string CsvField(const std::string& Text) {
  if (Text.find_first_of(",\"\r\n") == std::string::npos) return Text;
  std::string Quoted = "\"";
  for (char C : Text) {
    if (C == '"') Quoted += '"';
    Quoted += C;
  }
  return Quoted + '"';
}

std::string ReadingsCsvHeader(ILogReader& Log, const std::vector<int>& Sensors) {
  std::string Header = "time";
  for (int Index : Sensors) {
    const TLogSensor S = Log.Sensor(Index);
    Header += ',' + CsvField(S.Units.empty() ? S.ShortName : S.ShortName + " (" + S.Units + ")");
  }
  return Header;
}

TReadingsOutcome ExportReadings(ILogReader& Log, const TReadingsRequest& Request,
                                IBusyCursor& Busy) {
  TReadingsOutcome Outcome;
  TBusyScope Scope(Busy);
  if (Request.Format == TReadingsFormat::NetCdf)
    WriteNetCdf(Log, Request, Outcome, Busy);
  else
    WriteCsv(Log, Request, Outcome, Busy);
  return Outcome;
}

} // namespace quorvin
