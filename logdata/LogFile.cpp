// SPDX-License-Identifier: GPL-3.0-or-later
#include "logdata/LogFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <system_error>
#include <thread>

#include "core/ByteReader.h"
#include "core/RegularFile.h"
#include "logdata/HeaderReport.h"

namespace quorvin {

namespace {

// Status of a read that found fewer bytes than asked for (the end of the file).
constexpr int ShortReadResult = 100;

// Bytes the stream reads from the file at a time.
constexpr std::size_t ReadBufferSize = 64 << 10;

// A column of a bulk decode: its place in a record and the value each raw
// reading becomes (none: the sensor is not in the records, always Missing).
struct TColumnCodes {
  std::size_t Offset = 0;
  const double* Values = nullptr; // NonRecordedRaw + 1 of them
  double Missing = 0;
  double* Out = nullptr;
};

// Reads Rows records from the file position Pos into Bulk, a part at a time,
// and decodes them into the columns from row First on. Records at or beyond
// FileSize are empty; one the file cuts short keeps the values it fully
// holds. The status of a failed read, or 0.
int DecodeRecords(int Fd, std::int64_t Pos, std::int64_t FileSize, std::size_t RecordSize,
                  std::size_t First, std::size_t Rows, const std::vector<TColumnCodes>& Codes,
                  std::vector<std::uint8_t>& Bulk) {
  const std::size_t PerRead = std::max<std::size_t>(1, Bulk.size() / RecordSize);
  int Error = 0;
  for (std::size_t Row = First, End = First + Rows; Row < End;) {
    const std::size_t N = std::min(PerRead, End - Row);
    const auto Held = static_cast<std::size_t>(
        std::clamp<std::int64_t>(FileSize - Pos, 0, std::int64_t(N * RecordSize)));
    std::size_t Got = 0;
    while (Got < Held) {
      const ssize_t R =
          ::pread(Fd, Bulk.data() + Got, Held - Got, static_cast<off_t>(Pos + std::int64_t(Got)));
      if (R < 0 && errno == EINTR) continue;
      if (R <= 0) {
        if (R < 0) Error = errno;
        break;
      }
      Got += static_cast<std::size_t>(R);
    }
    const std::size_t Whole = Got / RecordSize;
    for (const TColumnCodes& C : Codes) {
      double* Out = C.Out + Row;
      if (!C.Values) {
        std::fill(Out, Out + N, C.Missing);
        continue;
      }
      const std::uint8_t* In = Bulk.data() + C.Offset;
      std::size_t K = 0;
      for (; K < Whole; ++K, In += RecordSize) Out[K] = C.Values[In[0] | In[1] << 8];
      for (; K < N; ++K) {
        const std::size_t At = K * RecordSize + C.Offset;
        Out[K] = At + 2 <= Got ? C.Values[Bulk[At] | Bulk[At + 1] << 8] : C.Missing;
      }
    }
    Pos += std::int64_t(N * RecordSize);
    Row += N;
  }
  return Error;
}

} // namespace

TLogFile::TLogFile(std::string FileName, std::string DisplayName)
    : FFileName(std::move(FileName)), FDisplayName(std::move(DisplayName)) {}

TLogFile::~TLogFile() { Clear(); }

void TLogFile::CloseFile() {
  if (FFile) std::fclose(FFile);
  FFile = nullptr;
  FNextReadPos = -1;
}

bool TLogFile::Open() {
  if (FFile) CloseFile();
  FFile = OpenRegularFile(FFileName, FLastIOResult);
  if (FFile) {
    if (!FReadBuffer) FReadBuffer = std::make_unique_for_overwrite<char[]>(ReadBufferSize);
    std::setvbuf(FFile, FReadBuffer.get(), _IOFBF, ReadBufferSize);
    FNextReadPos = 0;
  }
  if (FLastIOResult == 0 && !FHeader) {
    if (!ReadHeader()) {
      CloseFile();
      FLastIOResult = 1;
    }
  }
  if (FLastIOResult != 0) CloseFile();
  return FFile != nullptr;
}

void TLogFile::Close() { CloseFile(); }

void TLogFile::Clear() {
  CloseFile();
  FCurrentRecord = nullptr;
  FRecords.reset();
  FSensors.Clear();
  FHeader.reset();
  FFileSize = 0;
  FFirstTime = 0;
  FLastTime = 0;
  FLastLocatedTime = 0;
  FLastLocatedPos = 0;
  FDescriptionLength = 0;
  FSensorInfoLength = 0;
}

bool TLogFile::ReadBytes(std::uint8_t* Dest, std::size_t Count, std::size_t& Got) {
  // The reader's file is its own: no other thread reads it, so the stream
  // need not take its lock for each record.
#ifdef __GLIBC__
  Got = Count == 0 ? 0 : ::fread_unlocked(Dest, 1, Count, FFile);
#else
  Got = Count == 0 ? 0 : std::fread(Dest, 1, Count, FFile);
#endif
  if (Got == Count) {
    FLastIOResult = 0;
    return true;
  }
  FLastIOResult = std::ferror(FFile) ? (errno != 0 ? errno : ShortReadResult) : ShortReadResult;
  std::clearerr(FFile);
  return false;
}

bool TLogFile::ReadHeader() {
  // Only a file that holds the whole header and every descriptor is a log:
  // a half-read header is never kept, so a later Open cannot pass on it.
  if (std::fseek(FFile, 0, SEEK_SET) != 0) return false;
  FNextReadPos = 0;
  std::uint8_t Block[HeaderBlockSize];
  std::size_t Got = 0;
  if (!ReadBytes(Block, sizeof Block, Got)) return false;
  auto H = std::make_unique<THeader>();
  if (!H->Parse(std::span<const std::uint8_t>(Block, Got))) return false;

  // The descriptors must fit the file, and every sensor's value must lie
  // inside a record: a sensor count flipped by one bit would otherwise read
  // thousands of descriptors out of the data and make every line that wide.
  // A record size of 0 (a header without data) holds no value to misplace.
  struct stat St {};
  if (::fstat(::fileno(FFile), &St) != 0 || St.st_size < H->DataOffset) return false;
  if (H->RecordSize != 0 && 2 * static_cast<int>(H->NumSensors) > H->RecordSize) return false;

  FSensors.Clear();
  std::uint8_t Desc[SensorBlockSize];
  for (int Id = 1; Id <= H->NumSensors; ++Id) {
    if (!ReadBytes(Desc, sizeof Desc, Got)) {
      FSensors.Clear();
      return false;
    }
    auto S = std::make_unique<TSensor>(this);
    S->Parse(std::span<const std::uint8_t>(Desc, Got), H->UnitName);
    S->Id = Id;
    std::string Name = S->Name;
    FSensors.Add(std::move(Name), std::move(S));
  }
  FNextReadPos = H->DataOffset;
  FHeader = std::move(H);
  FDescriptionLength = HeaderBlockSize;
  FSensorInfoLength = SensorBlockSize;
  InitDataRange();
  return true;
}

void TLogFile::InitDataRange() {
  FCurrentRecord = nullptr;
  FRecords = std::make_unique<TRecordList>();
  // A record costs its object, its values and the allocator's own words.
  const std::size_t RecordBytes = sizeof(TRecord) + 2u * FHeader->NumSensors + 16;
  FRecordCacheLimit = static_cast<int>(std::max<std::size_t>(64, RecordCacheBytes / RecordBytes));
  FRecords->SetSpareLimit(static_cast<std::size_t>(FRecordCacheLimit / 2));
  FLastLocatedTime = 0;
  FLastLocatedPos = 0;
  struct stat St {};
  FFileSize =
      (FFile && ::fstat(::fileno(FFile), &St) == 0) ? static_cast<std::int64_t>(St.st_size) : 0;
  FFirstTime = static_cast<LogTime>(FHeader->StartDay) * SecsPerDay;
  if (FHeader->RecordSize == 0 || FFileSize <= FHeader->DataOffset) {
    FLastTime = FFirstTime;
    return;
  }
  const std::int64_t Whole = (FFileSize - FHeader->DataOffset) / FHeader->RecordSize;
  const std::int64_t Last = FFirstTime + Whole * static_cast<std::int64_t>(FHeader->Interval);
  // Data reaching past 2053 is cut at the last representable log time.
  FLastTime =
      static_cast<LogTime>(std::min<std::int64_t>(Last, std::numeric_limits<LogTime>::max()));
}

std::int64_t TLogFile::DataEndTime() const {
  if (!FHeader || FHeader->RecordSize == 0 || FFileSize <= FHeader->DataOffset) return FLastTime;
  const std::int64_t Bytes = FFileSize - FHeader->DataOffset;
  const std::int64_t Slots = (Bytes + FHeader->RecordSize - 1) / FHeader->RecordSize;
  return FFirstTime + Slots * static_cast<std::int64_t>(FHeader->Interval);
}

void TLogFile::MarkRecordEmpty(TRecord& Rec) {
  std::uint16_t* V = Rec.Values();
  for (int I = 0; I < Rec.Count(); ++I) V[I] = NonRecordedRaw;
}

void TLogFile::ReadRecord(TRecord& Rec) {
  if (!FFile) Open();
  if (!FFile || !FHeader || Rec.Time < FFirstTime) {
    MarkRecordEmpty(Rec);
    return;
  }
  const std::int64_t Interval = FHeader->Interval;
  const std::int64_t Size = FHeader->RecordSize;
  std::int64_t Pos;
  if (FLastLocatedTime != 0 && FLastLocatedTime + Interval == Rec.Time)
    Pos = FLastLocatedPos + Size;
  else
    Pos =
        (static_cast<std::int64_t>(Rec.Time) - FFirstTime) / Interval * Size + FHeader->DataOffset;
  if (Pos >= FFileSize) {
    MarkRecordEmpty(Rec);
    return;
  }
  FLastLocatedTime = Rec.Time;
  FLastLocatedPos = Pos;
  if (Pos != FNextReadPos) {
    if (fseeko(FFile, static_cast<off_t>(Pos), SEEK_SET) != 0) {
      FLastIOResult = errno != 0 ? errno : 1;
      FNextReadPos = -1;
      MarkRecordEmpty(Rec);
      return;
    }
  }
  FScratch.resize(static_cast<std::size_t>(Size));
  std::size_t Got = 0;
  ReadBytes(FScratch.data(), FScratch.size(), Got);
  FNextReadPos = Pos + static_cast<std::int64_t>(Got);
  // A record cut short by the end of the file, or narrower than two bytes per
  // sensor, leaves the values it does not fully hold as not recorded.
  const std::span<const std::uint8_t> Bytes(FScratch.data(), Got);
  std::uint16_t* V = Rec.Values();
  for (int I = 0; I < Rec.Count(); ++I) {
    std::uint16_t Raw = NonRecordedRaw;
    ReadU16LE(Bytes, static_cast<std::size_t>(I) * 2, Raw);
    V[I] = Raw;
  }
}

void TLogFile::ReleaseRecordsBehind() {
  // Half the room is freed at once, so the move of the remaining references
  // is paid once per many records. The newest record (the current one) stays.
  const int Count = FRecords->Count();
  if (Count > FRecordCacheLimit) FRecords->FreeItemsBefore(Count - FRecordCacheLimit / 2);
}

const TRecord* TLogFile::RecordAt(LogTime Time) {
  if (!FCurrentRecord || FCurrentRecord->Time != Time) {
    // Ascending walks ask for a time beyond the last cached one: that is the
    // insertion point Search would give, without the search.
    int Index = FRecords->Count();
    const bool Beyond = Index > 0 && FRecords->At(Index - 1)->Time < Time;
    // A walk that starts again before a well-filled cache (the next command
    // over the same range) starts a cache of its own: putting each of its
    // records in front of the old ones would move them all every time.
    if (!Beyond && Index >= FRecordCacheLimit / 2 && FRecords->At(0)->Time > Time) {
      FRecords->FreeAllItems();
      FCurrentRecord = nullptr;
      Index = 0;
    }
    if (!Beyond && FRecords->Search(Time, Index)) {
      FCurrentRecord = FRecords->At(Index);
    } else {
      TRecord* Rec = FRecords->Make(Time, FHeader->NumSensors);
      ReadRecord(*Rec);
      FRecords->InsertAt(Index, Rec);
      FCurrentRecord = Rec;
      if (Index == FRecords->Count() - 1) ReleaseRecordsBehind();
    }
  }
  return FCurrentRecord;
}

void TLogFile::GetValue(LogTime Time, int SensorIndex, float& Value) {
  Value = NonRecordedValue();
  if (!FHeader || !FRecords || SensorIndex < 1 || SensorIndex > FSensors.Count()) return;
  const std::uint16_t Raw = RecordAt(Time)->Value(SensorIndex - 1);
  if (Raw == NonRecordedRaw) return;
  Value = RawToValue(Raw, FSensors.Objects(SensorIndex - 1)->RightDigits);
}

void TLogFile::GetValues(LogTime Time, const int* SensorIndexes, std::size_t Count, float* Values) {
  const bool Ready = FHeader && FRecords;
  const TRecord* Rec = Ready ? RecordAt(Time) : nullptr;
  const int Sensors = FSensors.Count();
  for (std::size_t I = 0; I < Count; ++I) {
    const int Index = SensorIndexes[I];
    Values[I] = NonRecordedValue();
    if (!Rec || Index < 1 || Index > Sensors) continue;
    const std::uint16_t Raw = Rec->Value(Index - 1);
    if (Raw != NonRecordedRaw)
      Values[I] = RawToValue(Raw, FSensors.Objects(Index - 1)->RightDigits);
  }
}

const std::vector<float>& TLogFile::RawValues(int RightDigits) {
  for (const auto& [Digits, Table] : FRawValues)
    if (Digits == RightDigits) return Table;
  std::vector<float> Table(std::size_t{NonRecordedRaw} + 1);
  for (std::size_t Raw = 0; Raw < Table.size(); ++Raw)
    Table[Raw] = RawToValue(static_cast<std::uint16_t>(Raw), RightDigits);
  FRawValues.emplace_back(RightDigits, std::move(Table));
  return FRawValues.back().second;
}

void TLogFile::GetValueRows(LogTime Time, std::size_t Rows, const int* SensorIndexes,
                            std::size_t Count, float* Values) {
  if (!FFile && FHeader) Open();
  const std::int64_t Step = FHeader ? FHeader->Interval : 0;
  const std::int64_t Size = FHeader ? FHeader->RecordSize : 0;
  // Times off the record grid read record by record, as GetValues does.
  if (!FFile || !FRecords || Step <= 0 || Size <= 0 || Time < FFirstTime ||
      (std::int64_t(Time) - FFirstTime) % Step != 0) {
    ILogReader::GetValueRows(Time, Rows, SensorIndexes, Count, Values);
    return;
  }
  // Each sensor's place in a record and its values; none for an index the
  // log does not have.
  std::vector<std::pair<std::size_t, const float*>> Columns(Count, {0, nullptr});
  for (std::size_t I = 0; I < Count; ++I) {
    const int Index = SensorIndexes[I];
    if (Index >= 1 && Index <= FSensors.Count())
      Columns[I] = {std::size_t(Index - 1) * 2,
                    RawValues(FSensors.Objects(Index - 1)->RightDigits).data()};
  }
  // About a megabyte of records at a time.
  const std::size_t PerRead = std::max<std::size_t>(1, (std::size_t{1} << 20) / std::size_t(Size));
  std::int64_t Pos = (std::int64_t(Time) - FFirstTime) / Step * Size + FHeader->DataOffset;
  for (std::size_t Row = 0; Row < Rows;) {
    const std::size_t N = std::min(PerRead, Rows - Row);
    // Records at or beyond the size the file had when opened are empty, and
    // a record it cuts short keeps the values it fully holds.
    const std::int64_t Held = std::clamp<std::int64_t>(FFileSize - Pos, 0, std::int64_t(N) * Size);
    FBulk.resize(static_cast<std::size_t>(Held));
    std::size_t Got = 0;
    while (Got < FBulk.size()) {
      const ssize_t R = ::pread(::fileno(FFile), FBulk.data() + Got, FBulk.size() - Got,
                                static_cast<off_t>(Pos + std::int64_t(Got)));
      if (R < 0 && errno == EINTR) continue;
      if (R <= 0) {
        if (R < 0) FLastIOResult = errno;
        break;
      }
      Got += static_cast<std::size_t>(R);
    }
    for (std::size_t K = 0; K < N; ++K, ++Row) {
      const std::size_t Start = K * std::size_t(Size);
      const std::size_t Avail = Got > Start ? std::min<std::size_t>(Got - Start, Size) : 0;
      const std::uint8_t* Rec = FBulk.data() + Start;
      float* Out = Values + Row * Count;
      for (std::size_t I = 0; I < Count; ++I) {
        const auto [Offset, Table] = Columns[I];
        std::uint16_t Raw = NonRecordedRaw;
        if (Table && Offset + 2 <= Avail) Raw = std::uint16_t(Rec[Offset] | Rec[Offset + 1] << 8);
        Out[I] = Raw == NonRecordedRaw ? NonRecordedValue() : Table[Raw];
      }
    }
    Pos += std::int64_t(N) * Size;
  }
}

void TLogFile::GetValueColumns(LogTime Time, std::size_t Rows, const int* SensorIndexes,
                               std::size_t Count, TValueMap Map, const int* Arguments,
                               double* const* Columns) {
  if (!FFile && FHeader) Open();
  const std::int64_t Step = FHeader ? FHeader->Interval : 0;
  const std::int64_t Size = FHeader ? FHeader->RecordSize : 0;
  if (!FFile || !FRecords || Step <= 0 || Size <= 0 || Time < FFirstTime ||
      (std::int64_t(Time) - FFirstTime) % Step != 0) {
    ILogReader::GetValueColumns(Time, Rows, SensorIndexes, Count, Map, Arguments, Columns);
    return;
  }
  // What each raw reading becomes, made once per scaling and argument: a
  // value is then decoded by one look-up.
  std::vector<std::pair<std::pair<const float*, int>, std::vector<double>>> Made;
  std::vector<TColumnCodes> Codes(Count);
  for (std::size_t I = 0; I < Count; ++I) {
    TColumnCodes& C = Codes[I];
    C.Out = Columns[I];
    C.Missing = Map(NonRecordedValue(), Arguments[I]);
    const int Index = SensorIndexes[I];
    if (Index < 1 || Index > FSensors.Count() || std::int64_t(Index) * 2 > Size) continue;
    C.Offset = std::size_t(Index - 1) * 2;
    const std::pair Key(RawValues(FSensors.Objects(Index - 1)->RightDigits).data(), Arguments[I]);
    auto It = std::find_if(Made.begin(), Made.end(), [&](const auto& M) { return M.first == Key; });
    if (It == Made.end()) {
      std::vector<double> Values(std::size_t{NonRecordedRaw} + 1);
      for (std::size_t Raw = 0; Raw < NonRecordedRaw; ++Raw)
        Values[Raw] = Map(Key.first[Raw], Key.second);
      Values[NonRecordedRaw] = C.Missing;
      It = Made.emplace(Made.end(), Key, std::move(Values));
    }
    C.Values = It->second.data();
  }
  // Many rows in parts, each on a thread of its own with a buffer of its own.
  constexpr std::size_t PartRows = 1 << 16, MaxParts = 4;
  const std::size_t Parts = std::clamp<std::size_t>(
      std::min<std::size_t>(std::thread::hardware_concurrency(), Rows / PartRows), 1, MaxParts);
  std::vector<std::vector<std::uint8_t>> Buffers(
      Parts, std::vector<std::uint8_t>(std::max<std::size_t>(std::size_t(Size), 256 << 10)));
  std::vector<int> Errors(Parts, 0);
  const std::int64_t Start = (std::int64_t(Time) - FFirstTime) / Step * Size + FHeader->DataOffset;
  const int Fd = ::fileno(FFile);
  auto Decode = [&](std::size_t P) {
    const std::size_t From = Rows * P / Parts, To = Rows * (P + 1) / Parts;
    Errors[P] = DecodeRecords(Fd, Start + std::int64_t(From) * Size, FFileSize, std::size_t(Size),
                              From, To - From, Codes, Buffers[P]);
  };
  std::vector<std::thread> Threads;
  Threads.reserve(Parts);
  for (std::size_t P = 1; P < Parts; ++P) {
    try {
      Threads.emplace_back(Decode, P);
    } catch (const std::system_error&) {
      Decode(P); // no thread to be had: on this one
    }
  }
  Decode(0);
  for (std::thread& T : Threads) T.join();
  for (int E : Errors)
    if (E) FLastIOResult = E;
}

std::string TLogFile::TitleName() const { return FHeader ? FHeader->UnitName : std::string(); }

TLogSensor TLogFile::Sensor(int SensorIndex) const {
  TLogSensor Info;
  const TSensor* S = FSensors.Objects(SensorIndex - 1);
  if (!S) return Info;
  Info.Name = FSensors.Names(SensorIndex - 1);
  Info.ShortName = Info.Name;
  SplitAt('.', Info.ShortName);
  Info.RightDigits = S->RightDigits;
  Info.Slope = S->Slope;
  Info.Offset = S->Offset;
  Info.FirstTime = FFirstTime;
  Info.LastTime = FLastTime;
  Info.Interval = Interval();
  return Info;
}

int TLogFile::RecordCount(int SensorIndex) const {
  if (SensorIndex < 1 || SensorIndex > FSensors.Count() || Interval() <= 0) return 0;
  return static_cast<int>((std::int64_t(FLastTime) - FFirstTime) / Interval());
}

void TLogFile::GetValueAt(int Position, int SensorIndex, float& Value, LogTime& Time) {
  Time = static_cast<LogTime>(FFirstTime + std::int64_t(Position) * Interval());
  GetValue(Time, SensorIndex, Value);
}

bool TLogFile::NextRecordTime(int /*SensorIndex*/, LogTime From, LogTime& Time) {
  // A record cut short by the end of the file still holds its first values.
  if (From >= DataEndTime()) return false;
  Time = std::max(From, FFirstTime);
  return true;
}

bool TLogFile::ShowHeader(ITextPane& Pane, const std::string& TitleName,
                          const TDateTimeFormat& Format) const {
  return ShowLogHeader(Pane, *this, TitleName, Format);
}

} // namespace quorvin
