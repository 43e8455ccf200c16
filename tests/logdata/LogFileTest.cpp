// SPDX-License-Identifier: GPL-3.0-or-later
#include "logdata/LogFile.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <random>

#include "generators/LogGen.h"
#include "support/FloatBits.h"
#include "support/Scratch.h"

namespace quorvin {
namespace {

using test::Bits;
using test::NotRecorded;

using test::TGenLog;

TGenLog ThreeSensors() {
  TGenLog L;
  L.UnitName = "SITE1";
  L.Sensors = {{"TEMP", 1.0, 0.0, 2}, {"RH", 1.0, 0.0, 1}, {"WIND", 1.0, 0.0, 0}};
  return L;
}

// The value the reader must give for record K of sensor Index (0-based).
float Expected(long long K, int Index, int Digits) {
  const std::uint16_t Raw = test::PatternRaw(K, Index);
  return Raw == 0xFFFF ? std::bit_cast<float>(NonRecordedBits) : RawToValue(Raw, Digits);
}

class LogFileTest : public ::testing::Test {
protected:
  test::TScratchDir Dir;
  std::string Write(const std::string& Bytes, const std::string& Name = "SITE1.LOG") {
    const std::string P = (Dir / Name);
    test::WriteWhole(P, Bytes);
    return P;
  }
};

TEST_F(LogFileTest, OpenReadsHeaderSensorsAndDataRange) {
  TGenLog L = ThreeSensors();
  L.Sensors[0].Slope = 0.5;
  L.Sensors[0].Offset = -3.25;
  TLogFile F(Write(test::LogFileBytes(L, 96)), "SITE1");
  EXPECT_FALSE(F.IsOpen());
  EXPECT_EQ(F.Header(), nullptr);
  ASSERT_TRUE(F.Open());
  ASSERT_NE(F.Header(), nullptr);
  EXPECT_EQ(F.DisplayName(), "SITE1");
  EXPECT_EQ(F.Header()->DataOffset, 138);
  EXPECT_EQ(F.DescriptionLength(), 54);
  EXPECT_EQ(F.SensorInfoLength(), 28);
  ASSERT_EQ(F.Sensors().Count(), 3);
  EXPECT_EQ(F.Sensors().Names(0), "SITE1.TEMP");
  EXPECT_EQ(F.Sensors().Objects(2)->Name, "SITE1.WIND");
  EXPECT_EQ(F.Sensors().Objects(2)->Id, 3);
  EXPECT_EQ(F.Sensors().Objects(0)->Slope, 0.5f);
  EXPECT_EQ(F.Sensors().Objects(0)->Offset, -3.25f);
  EXPECT_EQ(F.Sensors().Objects(1)->RightDigits, 1);
  EXPECT_EQ(F.Sensors().Objects(0)->LogFile, &F);
  EXPECT_EQ(F.FirstTime(), static_cast<LogTime>(DayNumber(1999, 3, 7)) * 86400);
  EXPECT_EQ(F.LastTime() - F.FirstTime(), 96 * 900);
  EXPECT_EQ(F.FileSize(), 138 + 6 * 96);
}

TEST_F(LogFileTest, ValuesOnTheGridAndAtTheEndsOfTheData) {
  TLogFile F(Write(test::LogFileBytes(ThreeSensors(), 96)), "SITE1");
  ASSERT_TRUE(F.Open());
  const LogTime T0 = F.FirstTime();
  EXPECT_EQ(F.GetValue(T0, 1), Expected(0, 0, 2));
  EXPECT_EQ(F.GetValue(T0 + 95 * 900, 3), Expected(95, 2, 0));
  EXPECT_EQ(F.GetValue(F.LastTime() - 900, 1), Expected(95, 0, 2));
  EXPECT_TRUE(NotRecorded(F.GetValue(F.LastTime(), 1)));
  EXPECT_TRUE(NotRecorded(F.GetValue(T0 - 1, 1)));
  // Sensor 2 of record 5 was not recorded (raw FFFF).
  EXPECT_TRUE(NotRecorded(F.GetValue(T0 + 5 * 900, 2)));
  // Halfway between two grid times: the earlier grid time's record.
  EXPECT_EQ(F.GetValue(T0 + 10 * 900 + 450, 1), Expected(10, 0, 2));
  // Indexes outside 1..NumSensors answer not recorded.
  EXPECT_TRUE(NotRecorded(F.GetValue(T0, 0)));
  EXPECT_TRUE(NotRecorded(F.GetValue(T0, 4)));
}

// The bulk read gives what GetValues gives at each time: across its reads
// of a megabyte, over a last record cut short, past the data, before it and
// off the grid, for a sensor index the log does not have and for sensors
// with the same and with other right digits.
TEST_F(LogFileTest, RowsReadInBulkEqualValuesReadOneTimeAtATime) {
  TGenLog L = ThreeSensors();
  L.Sensors.push_back({"RAIN", 1.0, 0.0, 2});
  const long long Records = 140000; // 1.1 MB of records
  std::string Bytes = test::LogFileBytes(L, Records);
  Bytes.resize(Bytes.size() - 3); // the last record keeps its first value
  TLogFile F(Write(Bytes), "SITE1");
  ASSERT_TRUE(F.Open());
  const int Indexes[] = {4, 0, 1, 3, 2, 5};
  constexpr std::size_t N = std::size(Indexes);
  const auto Check = [&](LogTime From, std::size_t Rows) {
    std::vector<float> Bulk(Rows * N), One(N);
    F.GetValueRows(From, Rows, Indexes, N, Bulk.data());
    for (std::size_t R = 0; R < Rows; ++R) {
      F.GetValues(static_cast<LogTime>(From + std::int64_t(R) * 900), Indexes, N, One.data());
      for (std::size_t I = 0; I < N; ++I)
        ASSERT_EQ(Bits(Bulk[R * N + I]), Bits(One[I])) << "row " << R << " column " << I;
    }
  };
  const LogTime T0 = F.FirstTime();
  Check(T0, std::size_t(Records) + 3);
  Check(T0 - 2 * 900, 5);
  Check(T0 + 7, 5);
  Check(static_cast<LogTime>(T0 + (Records - 3) * 900), 6);
}

// Decoded column by column, in parts on threads of their own, each value is
// the map of what GetValues gives with its column's argument: over a last
// record cut short and past the data, for a sensor index the log does not
// have, and for columns that share a scaling but not an argument.
TEST_F(LogFileTest, ColumnsDecodedInPartsEqualValuesReadOneTimeAtATime) {
  TGenLog L = ThreeSensors();
  L.Sensors.push_back({"RAIN", 1.0, 0.0, 2});
  const long long Records = 140000; // two parts and more
  std::string Bytes = test::LogFileBytes(L, Records);
  Bytes.resize(Bytes.size() - 3);
  TLogFile F(Write(Bytes), "SITE1");
  ASSERT_TRUE(F.Open());
  const int Indexes[] = {4, 0, 1, 1, 3, 2, 5};
  const int Arguments[] = {0, 1, 2, 3, 4, 5, 6};
  constexpr std::size_t N = std::size(Indexes);
  const ILogReader::TValueMap Map = [](float V, int A) {
    return NotRecorded(V) ? -1.0 - A : double(V) * 8 + A;
  };
  const LogTime T0 = F.FirstTime();
  const std::size_t Rows = std::size_t(Records) + 3;
  std::vector<std::vector<double>> Columns(N, std::vector<double>(Rows));
  std::vector<double*> Out;
  for (std::vector<double>& C : Columns) Out.push_back(C.data());
  F.GetValueColumns(T0, Rows, Indexes, N, Map, Arguments, Out.data());
  std::vector<float> One(N);
  for (std::size_t R = 0; R < Rows; ++R) {
    F.GetValues(static_cast<LogTime>(T0 + std::int64_t(R) * 900), Indexes, N, One.data());
    for (std::size_t I = 0; I < N; ++I)
      ASSERT_EQ(Columns[I][R], Map(One[I], Arguments[I])) << "row " << R << " column " << I;
  }
}

TEST_F(LogFileTest, CachedRecordsAnswerWithoutTheFileInAnyOrder) {
  const std::string Path = Write(test::LogFileBytes(ThreeSensors(), 50));
  TLogFile F(Path, "SITE1");
  ASSERT_TRUE(F.Open());
  const LogTime T0 = F.FirstTime();
  for (int K = 49; K >= 0; --K) // descending: every insertion keeps the order
    for (int S = 1; S <= 3; ++S)
      ASSERT_EQ(Bits(F.GetValue(T0 + K * 900, S)),
                Bits(Expected(K, S - 1, S == 1 ? 2 : (S == 2 ? 1 : 0))))
          << K << " " << S;
  ASSERT_EQ(F.Records()->Count(), 50);
  for (int I = 1; I < 50; ++I)
    EXPECT_LT(const_cast<TRecordList*>(F.Records())->At(I - 1)->Time,
              const_cast<TRecordList*>(F.Records())->At(I)->Time);
  // With the file gone, every time asked for before still answers from the cache.
  F.Close();
  std::filesystem::remove(Path);
  EXPECT_EQ(F.GetValue(T0 + 7 * 900, 1), Expected(7, 0, 2));
  EXPECT_EQ(F.GetValue(T0 + 20 * 900, 3), Expected(20, 2, 0));
  EXPECT_TRUE(NotRecorded(F.GetValue(T0 + 60 * 900, 1)));
}

TEST_F(LogFileTest, CloseReopensOnDemandAndClearForgetsEverything) {
  TLogFile F(Write(test::LogFileBytes(ThreeSensors(), 10)), "SITE1");
  ASSERT_TRUE(F.Open());
  F.Close();
  EXPECT_FALSE(F.IsOpen());
  ASSERT_NE(F.Header(), nullptr);
  EXPECT_EQ(F.GetValue(F.FirstTime() + 3 * 900, 1), Expected(3, 0, 2));
  EXPECT_TRUE(F.IsOpen());
  F.Clear();
  EXPECT_EQ(F.Header(), nullptr);
  EXPECT_EQ(F.Sensors().Count(), 0);
  EXPECT_TRUE(NotRecorded(F.GetValue(0, 1)));
  ASSERT_TRUE(F.Open());
  EXPECT_EQ(F.Sensors().Count(), 3);
}

TEST_F(LogFileTest, NamesDuplicatesAndEarlyStartDay) {
  TGenLog L;
  L.UnitName = "UNIT0001";
  L.Year = 1980;
  L.Sensors = {{"TEMPERATUR"}, {"TEMPERATUR"}, {std::string("RH\0XY", 5)}};
  TLogFile F(Write(test::LogFileBytes(L, 4)), "X");
  ASSERT_TRUE(F.Open());
  EXPECT_EQ(F.Sensors().Names(0), "UNIT0001.TEMPERATUR");
  EXPECT_EQ(F.Sensors().Names(1), "UNIT0001.TEMPERATUR");
  EXPECT_EQ(F.Sensors().Objects(1)->Id, 2);
  EXPECT_EQ(F.Sensors().Names(2), "UNIT0001.RH");
  EXPECT_EQ(F.FirstTime(), 0);
  EXPECT_EQ(F.GetValue(900, 2), Expected(1, 1, 2));
}

TEST_F(LogFileTest, OpenFailsOnMissingTruncatedOrUndecodableFiles) {
  TLogFile Missing((Dir / "NONE.LOG"), "NONE");
  EXPECT_FALSE(Missing.Open());
  EXPECT_NE(Missing.LastIOResult(), 0);

  const std::string Full = test::LogFileBytes(ThreeSensors(), 4);
  TLogFile InHeader(Write(Full.substr(0, 40), "A.LOG"), "A");
  EXPECT_FALSE(InHeader.Open());
  EXPECT_NE(InHeader.LastIOResult(), 0);

  // Ends inside the last descriptor: nothing of the header is kept, so a
  // second Open cannot succeed on half a header.
  TLogFile InSensors(Write(Full.substr(0, 54 + 28 * 2 + 10), "B.LOG"), "B");
  EXPECT_FALSE(InSensors.Open());
  EXPECT_EQ(InSensors.Header(), nullptr);
  EXPECT_FALSE(InSensors.Open());
  EXPECT_FALSE(InSensors.IsOpen());

  TGenLog Bad = ThreeSensors();
  Bad.Year = 65535;
  TLogFile BadDate(Write(test::LogFileBytes(Bad, 4), "C.LOG"), "C");
  EXPECT_FALSE(BadDate.Open());
  EXPECT_EQ(BadDate.LastIOResult(), 1);

  TGenLog Many = ThreeSensors();
  Many.NumSensors = 65535;
  TLogFile Huge(Write(test::LogFileBytes(Many, 4), "D.LOG"), "D");
  EXPECT_FALSE(Huge.Open());
}

TEST_F(LogFileTest, HeaderWithoutDataAndZeroRecordSize) {
  TLogFile NoData(Write(test::LogHeaderBytes(ThreeSensors()), "A.LOG"), "A");
  ASSERT_TRUE(NoData.Open());
  EXPECT_EQ(NoData.LastTime(), NoData.FirstTime());
  EXPECT_TRUE(NotRecorded(NoData.GetValue(NoData.FirstTime(), 1)));

  TGenLog Zero = ThreeSensors();
  Zero.RecordSize = 0;
  TLogFile ZeroSize(Write(test::LogHeaderBytes(Zero) + "123456", "B.LOG"), "B");
  ASSERT_TRUE(ZeroSize.Open());
  EXPECT_EQ(ZeroSize.LastTime(), ZeroSize.FirstTime());
  EXPECT_TRUE(NotRecorded(ZeroSize.GetValue(ZeroSize.FirstTime(), 1)));

  TGenLog NoSensors;
  TLogFile Empty(Write(test::LogHeaderBytes(NoSensors), "C.LOG"), "C");
  ASSERT_TRUE(Empty.Open());
  EXPECT_EQ(Empty.Sensors().Count(), 0);
  EXPECT_TRUE(NotRecorded(Empty.GetValue(Empty.FirstTime(), 1)));
}

// Values a record does not fully hold read as not recorded: a record cut
// short by the end of the file, and records wider than 2 bytes per sensor.
// A record too narrow for every sensor's value is a damaged header.
TEST_F(LogFileTest, ShortAndOddSizedRecords) {
  const std::string Full = test::LogFileBytes(ThreeSensors(), 3);
  TLogFile Cut(Write(Full + Full.substr(138, 3), "A.LOG"), "A"); // 1.5 values more
  ASSERT_TRUE(Cut.Open());
  EXPECT_EQ(Cut.LastTime() - Cut.FirstTime(), 3 * 900);
  EXPECT_EQ(Cut.GetValue(Cut.LastTime(), 1), Expected(0, 0, 2));
  EXPECT_TRUE(NotRecorded(Cut.GetValue(Cut.LastTime(), 2)));
  EXPECT_TRUE(NotRecorded(Cut.GetValue(Cut.LastTime(), 3)));

  TGenLog Narrow = ThreeSensors();
  Narrow.RecordSize = 3;
  TLogFile N(Write(test::LogFileBytes(Narrow, 5), "B.LOG"), "B");
  EXPECT_FALSE(N.Open());
  EXPECT_EQ(N.Header(), nullptr);

  TGenLog Wide = ThreeSensors();
  Wide.RecordSize = 10;
  TLogFile W(Write(test::LogFileBytes(Wide, 5), "C.LOG"), "C");
  ASSERT_TRUE(W.Open());
  for (int K = 0; K < 5; ++K) EXPECT_EQ(W.GetValue(W.FirstTime() + K * 900, 3), Expected(K, 2, 0));
}

// Walks the reader over a file the way an export does, from one step before
// the data on, asking every index and two outside the sensor range: every
// answer is either not recorded or a finite number.
void Walk(TLogFile& F, int Steps) {
  const LogTime T0 = F.FirstTime();
  const std::int32_t Step = F.Interval() > 0 ? F.Interval() : 900;
  const int N = F.Sensors().Count();
  for (int K = -1; K < Steps; ++K) {
    const std::int64_t T = static_cast<std::int64_t>(T0) + static_cast<std::int64_t>(K) * Step;
    if (T > std::numeric_limits<LogTime>::max() || T < std::numeric_limits<LogTime>::min()) break;
    for (int S = 0; S <= N + 1; ++S) {
      float V;
      F.GetValue(static_cast<LogTime>(T), S, V);
      ASSERT_TRUE(NotRecorded(V) || std::isfinite(V)) << T << " " << S << " " << V;
    }
  }
}

TEST_F(LogFileTest, EveryTruncationOpensOrFailsCleanly) {
  const std::string Full = test::LogFileBytes(ThreeSensors(), 12);
  const std::string Path = (Dir / "T.LOG");
  for (std::size_t Len = 0; Len <= Full.size(); ++Len) {
    test::WriteWhole(Path, Full.substr(0, Len));
    TLogFile F(Path, "T");
    const bool Ok = F.Open();
    ASSERT_EQ(Ok, Len >= 138) << Len;
    if (!Ok) continue;
    const long long Whole = static_cast<long long>(Len - 138) / 6;
    ASSERT_EQ(F.LastTime() - F.FirstTime(), Whole * 900) << Len;
    for (long long K = 0; K < 13; ++K)
      for (int S = 0; S < 3; ++S) {
        const float V = F.GetValue(F.FirstTime() + static_cast<LogTime>(K) * 900, S + 1);
        const bool Held = 138 + K * 6 + (S + 1) * 2 <= static_cast<long long>(Len);
        const int Digits = S == 0 ? 2 : (S == 1 ? 1 : 0);
        ASSERT_EQ(Bits(V), Held ? Bits(Expected(K, S, Digits)) : NonRecordedBits)
            << Len << " " << K;
      }
  }
}

TEST_F(LogFileTest, RandomCorruptionsNeverCrash) {
  const std::string Full = test::LogFileBytes(ThreeSensors(), 12);
  const std::string Path = (Dir / "R.LOG");
  std::mt19937 Rng(20261208);
  for (int Round = 0; Round < 600; ++Round) {
    std::string Bytes = Full;
    const int Flips = 1 + static_cast<int>(Rng() % 8);
    for (int I = 0; I < Flips; ++I) Bytes[Rng() % Bytes.size()] = static_cast<char>(Rng() & 0xFF);
    if (Round % 5 == 0) Bytes.resize(Rng() % Bytes.size());
    if (Round % 7 == 0) // random bytes altogether
      for (char& C : Bytes) C = static_cast<char>(Rng() & 0xFF);
    test::WriteWhole(Path, Bytes);
    TLogFile F(Path, "R");
    bool Opened = false;
    ASSERT_NO_THROW(Opened = F.Open()) << Round;
    if (!Opened) continue;
    ASSERT_LE(F.FirstTime(), F.LastTime()) << Round;
    ASSERT_NO_THROW(Walk(F, 20)) << Round;
    ASSERT_FALSE(HasFatalFailure()) << Round;
  }
}

} // namespace
} // namespace quorvin
