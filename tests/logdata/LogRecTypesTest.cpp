// SPDX-License-Identifier: GPL-3.0-or-later
#include "logdata/LogRecTypes.h"

#include <gtest/gtest.h>

#include <bit>
#include <memory>

#include "generators/LogGen.h"
#include "support/FloatBits.h"

namespace quorvin {
namespace {

using test::Bits;

std::span<const std::uint8_t> Span(const std::string& S) {
  return {reinterpret_cast<const std::uint8_t*>(S.data()), S.size()};
}

TEST(RawToValue, DividesByTenOneStepAtATimeInSinglePrecision) {
  EXPECT_EQ(Bits(RawToValue(32767, 0)), Bits(0.0f));
  EXPECT_EQ(RawToValue(0, 0), -32767.0f);
  EXPECT_EQ(RawToValue(65534, 0), 32767.0f);
  EXPECT_EQ(Bits(RawToValue(33001, 2)), 0x4015c28fu); // 2.34
  // Three steps of /10 differ in the last bit from one division by 1000.
  EXPECT_EQ(Bits(RawToValue(7, 3)), 0xc2030a3eu);
  // Each step divides by ten; multiplying by 0.1 would end one bit higher.
  EXPECT_EQ(Bits(RawToValue(32768, 3)), 0x3a83126eu);
  EXPECT_EQ(RawToValue(0xFFFF, 2), 0.0f);
  EXPECT_EQ(Bits(RawToValue(40000, 65535)), Bits(0.0f)); // hostile digit count
}

TEST(THeaderParse, DecodesEveryField) {
  test::TGenLog L;
  L.Version = 7;
  L.UnitName = "PEAK";
  L.Year = 1999, L.Month = 3, L.Day = 7;
  L.LogHour = 10, L.LogMinute = 20, L.LogSecond = 7;
  L.IntervalHours = 0, L.IntervalMinutes = 15, L.IntervalSeconds = 0;
  L.NumDays = 12;
  L.TotalLength = 0xFFFFFFF0u, L.DayLength = 4321, L.DataLength = 99;
  L.Sensors = {{"A"}, {"B"}, {"C"}};
  THeader H;
  ASSERT_TRUE(H.Parse(Span(test::LogHeaderBytes(L))));
  EXPECT_EQ(H.Version, 7);
  EXPECT_EQ(H.UnitName, "PEAK");
  EXPECT_EQ(H.StartDay, DayNumber(1999, 3, 7));
  EXPECT_EQ(H.Interval, 900);
  EXPECT_EQ(H.LogTime, (10 * 3600 + 20 * 60 + 7) % 900);
  EXPECT_EQ(H.RecordSize, 6);
  EXPECT_EQ(H.NumDays, 12);
  EXPECT_EQ(H.TotalLength, 0xFFFFFFF0u);
  EXPECT_EQ(H.DayLength, 4321u);
  EXPECT_EQ(H.DataLength, 99u);
  EXPECT_EQ(H.NumSensors, 3);
  EXPECT_EQ(H.DataOffset, 138);
}

TEST(THeaderParse, EdgeValuesOfNamesDatesAndIntervals) {
  test::TGenLog L;
  L.UnitName = "ABCDEFGH"; // all eight characters, no zero byte
  L.IntervalMinutes = 0;
  L.Year = 1984, L.Month = 6, L.Day = 1;
  THeader H;
  ASSERT_TRUE(H.Parse(Span(test::LogHeaderBytes(L))));
  EXPECT_EQ(H.UnitName, "ABCDEFGH");
  EXPECT_EQ(H.Interval, 900); // stored 0 means 15 minutes
  EXPECT_EQ(H.StartDay, 0);

  L.UnitName = std::string("AB\0CD", 5);
  ASSERT_TRUE(H.Parse(Span(test::LogHeaderBytes(L))));
  EXPECT_EQ(H.UnitName, "AB");

  L.Year = 65535; // the calendar rejects it
  EXPECT_FALSE(H.Parse(Span(test::LogHeaderBytes(L))));
  L.Year = 2060; // midnight of the start day is beyond the last log time
  EXPECT_FALSE(H.Parse(Span(test::LogHeaderBytes(L))));
  EXPECT_FALSE(H.Parse(Span(test::LogHeaderBytes(L).substr(0, 53))));
}

TEST(TSensorParse, NameSlopeOffsetDigits) {
  test::TGenLog L;
  L.Sensors = {{"TEMPERATUR", 0.1, -40.5, 3}}; // ten characters, no zero byte
  const std::string Bytes = test::LogHeaderBytes(L).substr(54);
  TSensor S;
  ASSERT_TRUE(S.Parse(Span(Bytes), "UNIT"));
  EXPECT_EQ(S.Name, "UNIT.TEMPERATUR");
  EXPECT_EQ(S.Slope, 0.1f);
  EXPECT_EQ(S.Offset, -40.5f);
  EXPECT_EQ(S.RightDigits, 3);
  EXPECT_FALSE(S.Parse(Span(Bytes.substr(0, 27)), "UNIT"));
}

TEST(TRecordList, KeepsRecordsSortedByTimeWithoutDuplicates) {
  TRecordList List;
  EXPECT_EQ(List.Compare(5, 7), -1);
  EXPECT_EQ(List.Compare(7, 5), 1);
  for (LogTime T : {30, 10, 20}) List.Insert(TRecord::Create(T, 2));
  TRecord* Dup = TRecord::Create(20, 2);
  List.Insert(Dup); // not inserted: stays ours
  delete Dup;
  ASSERT_EQ(List.Count(), 3);
  EXPECT_EQ(List.At(0)->Time, 10);
  EXPECT_EQ(List.At(2)->Time, 30);
  int Index = -1;
  EXPECT_FALSE(List.Search(25, Index));
  EXPECT_EQ(Index, 2);
  EXPECT_EQ(List.At(1)->Count(), 2);
  EXPECT_EQ(List.At(1)->Value(0), 0xFFFF);
  EXPECT_EQ(List.At(1)->Value(2), 0xFFFF); // outside the record
}

} // namespace
} // namespace quorvin
