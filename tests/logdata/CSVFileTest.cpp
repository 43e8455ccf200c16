// SPDX-License-Identifier: GPL-3.0-or-later
#include "logdata/CSVFile.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>

#include "generators/LogGen.h"
#include "support/FloatBits.h"
#include "support/Scratch.h"

namespace quorvin {
namespace {

using test::Bits;
using test::NotRecorded;

const LogTime T1430 = PartsToSecs(1999, 3, 7, 14, 30, 0);

LogTime At(int Hour, int Minute, int Second = 0) {
  return PartsToSecs(1999, 3, 7, Hour, Minute, Second);
}

class CSVFileTest : public ::testing::Test {
protected:
  test::TScratchDir Dir;
  std::unique_ptr<TCSVLogFile> Reader;
  // Writes Text and opens it; the reader stays for the test's checks.
  bool Load(const std::string& Text) {
    const std::string P = (Dir / "site.csv");
    test::WriteWhole(P, Text);
    Reader = std::make_unique<TCSVLogFile>(P, "SITE");
    return Reader->Open();
  }
  const TCSVSensor& Sensor(const std::string& Name) {
    const TCSVSensor* S = Reader->Sensors().Objects(Reader->Sensors().IndexOf(Name));
    EXPECT_NE(S, nullptr) << Name;
    static const TCSVSensor None;
    return S ? *S : None;
  }
};

TEST_F(CSVFileTest, Layout1RowInBothDateTimeForms) {
  for (const char* Row :
       {"03/07/1999,14:30:00,TEMP,21.50,C,G\r\n", "03/07/1999 14:30:00,TEMP,21.50,C,G\r\n"}) {
    std::string Text = Row;
    Text += "03/07/1999,14:45:00,TEMP,22.5,C,G\r\n";
    ASSERT_TRUE(Load(Text)) << Row;
    ASSERT_EQ(Reader->Sensors().Count(), 1);
    EXPECT_EQ(Reader->Sensors().Names(0), "TEMP");
    const TCSVSensor& S = Sensor("TEMP");
    EXPECT_EQ(S.Units, "C");
    EXPECT_EQ(S.Status, "G");
    EXPECT_EQ(S.RightDigits, 2);
    EXPECT_EQ(S.RecordCount(), 2);
    EXPECT_EQ(Reader->GetValue(T1430, "TEMP"), 21.5f);
    EXPECT_EQ(Reader->RowLayout(), 1);
    EXPECT_EQ(Reader->FirstTime(), T1430);
    EXPECT_EQ(Reader->LastTime(), At(14, 45));
    EXPECT_EQ(Reader->Interval(), 900);
    EXPECT_FALSE(Reader->MixedIntervals());
    EXPECT_TRUE(Reader->IsOpen());
  }
}

// A bad reading never leaves a number behind, whatever came before it; a
// later good reading replaces it.
TEST_F(CSVFileTest, BadReadingsAreNotRecorded) {
  ASSERT_TRUE(Load("03/07/1999,14:30:00,TEMP,21.50,C,BAD\n"
                   "03/07/1999,14:45:00,TEMP,22.00,C,G\n"
                   "03/07/1999,14:45:00,TEMP,99.00,C,BaD\n"
                   "03/07/1999,15:00:00,TEMP,23.00,C,B\n"
                   "03/07/1999,15:00:00,TEMP,23.25,C,G\n"
                   "03/07/1999,15:15:00,TEMP,oops,C,G\n"
                   "03/07/1999,15:30:00,TEMP,1e39,C,G\n"));
  EXPECT_TRUE(NotRecorded(Reader->GetValue(T1430, "TEMP")));
  EXPECT_TRUE(NotRecorded(Reader->GetValue(At(14, 45), "TEMP")));
  EXPECT_EQ(Reader->GetValue(At(15, 0), "TEMP"), 23.25f);
  EXPECT_TRUE(NotRecorded(Reader->GetValue(At(15, 15), "TEMP")));
  EXPECT_TRUE(NotRecorded(Reader->GetValue(At(15, 30), "TEMP"))); // beyond a single
  EXPECT_EQ(Sensor("TEMP").Status, "BAD");
  EXPECT_EQ(Sensor("TEMP").RecordCount(), 5);
  EXPECT_EQ(Sensor("TEMP").Count, 7);
}

TEST_F(CSVFileTest, Layout2GroupRowsMakeNumberedSensors) {
  ASSERT_TRUE(Load("03/07/1999,14:30:00,WIND,5.1,180,12.25\r\n"
                   "03/07/1999,14:40:00,WIND,5.2,,12.5\r\n"));
  ASSERT_EQ(Reader->Sensors().Count(), 3);
  EXPECT_EQ(Reader->Sensors().Names(0), "WIND:1");
  EXPECT_EQ(Reader->Sensors().Names(2), "WIND:3");
  EXPECT_EQ(Reader->GetValue(T1430, "WIND:1"), 5.1f);
  EXPECT_EQ(Reader->GetValue(T1430, "wind:2"), 180.0f);
  EXPECT_EQ(Reader->GetValue(T1430, "WIND:3"), 12.25f);
  EXPECT_TRUE(NotRecorded(Reader->GetValue(At(14, 40), "WIND:2"))); // empty value
  EXPECT_EQ(Sensor("WIND:1").RightDigits, 1);
  EXPECT_EQ(Sensor("WIND:2").RightDigits, 0);
  EXPECT_EQ(Sensor("WIND:3").RightDigits, 2);
  EXPECT_EQ(Sensor("WIND:1").Units, "");
  EXPECT_EQ(Reader->RowLayout(), 2);
  EXPECT_EQ(Reader->Interval(), 600);
}

// Only an upper-case G, B or U in the sixth field, or an empty value, makes a
// row with a date first layout 1; anything else is a group row.
TEST_F(CSVFileTest, ClassificationByStatusAndValue) {
  ASSERT_TRUE(Load("03/07/1999,14:30:00,TEMP,21.5,C,g\n"
                   "03/07/1999,14:45:00,TEMP,21.5,C,g\n"
                   "03/07/1999,14:30:00,RH,,%,ok\n"
                   "03/07/1999,14:45:00,RH,50,%,Unchecked\n"));
  ASSERT_EQ(Reader->Sensors().Count(), 4);
  EXPECT_EQ(Reader->Sensors().Names(0), "TEMP:1");
  EXPECT_EQ(Reader->GetValue(T1430, "TEMP:1"), 21.5f);
  EXPECT_TRUE(NotRecorded(Reader->GetValue(T1430, "TEMP:2")));
  EXPECT_TRUE(NotRecorded(Reader->GetValue(T1430, "TEMP:3")));
  EXPECT_EQ(Reader->Sensors().Names(3), "RH");
  EXPECT_TRUE(NotRecorded(Reader->GetValue(T1430, "RH"))); // empty value: bad
  EXPECT_EQ(Reader->GetValue(At(14, 45), "RH"), 50.0f);
  EXPECT_EQ(Sensor("RH").Units, "%");
  EXPECT_EQ(Sensor("RH").Status, "B");
  EXPECT_EQ(Reader->RowLayout(), 1);
}

TEST_F(CSVFileTest, Layout3RowsNameFirst) {
  ASSERT_TRUE(Load("TEMP,03/07/1999,14:30:00,21.123456,G\n"
                   "TEMP,03/07/1999 14:35:00,21.5,G\n"
                   "RH,03/07/1999,14:30:00,55.1234567,G\n"
                   "RH,03/07/1999,14:35:00,56,B\n"));
  EXPECT_EQ(Sensor("TEMP").RightDigits, 3); // six digits count as three
  EXPECT_EQ(Sensor("RH").RightDigits, 7);
  EXPECT_EQ(Reader->GetValue(T1430, "TEMP"), 21.123456f);
  EXPECT_EQ(Reader->GetValue(At(14, 35), "TEMP"), 21.5f);
  EXPECT_TRUE(NotRecorded(Reader->GetValue(At(14, 35), "RH")));
  EXPECT_EQ(Sensor("TEMP").Units, "");
  EXPECT_EQ(Reader->RowLayout(), 3);
}

TEST_F(CSVFileTest, DatesAndTimesAsWritten) {
  ASSERT_TRUE(Load("A,03/07/99,14:30:00,1,G\n" // two-digit year: time of day only
                   "A,03/07/99,15:30:00,1,G\n"
                   "B,3-7-1999,14.30,2,G\n" // other separators, no seconds
                   "B,3-7-1999,14.45,2,G\n"
                   "C,12/31/2000 23:59:59,3,G\n"
                   "C,01/01/2001 00:00:09,3,G\n"));
  EXPECT_EQ(Sensor("A").FirstTime, 14 * 3600 + 30 * 60);
  EXPECT_EQ(Sensor("B").FirstTime, T1430);
  EXPECT_EQ(Sensor("B").Interval, 900);
  EXPECT_EQ(Sensor("C").FirstTime, PartsToSecs(2000, 12, 31, 23, 59, 59));
  EXPECT_EQ(Sensor("C").Interval, 10);
  EXPECT_EQ(Reader->FirstTime(), 14 * 3600 + 30 * 60);
}

// A row whose date the calendar cannot hold is skipped; the rest are read.
TEST_F(CSVFileTest, RowWithAnImpossibleDateIsSkipped) {
  const struct {
    const char* Text;
    const char* Sensor;
  } Cases[] = {
      {"03/07/1999,14:30:00,A,1,C,G\n03/07/10000,14:45:00,A,2,C,G\n03/07/1999,15:00:00,A,3,C,G\n",
       "A"},
      {"03/07/1999,14:30:00,W,1,5\n03/07/65535,14:45:00,W,2,5\n03/07/1999,15:00:00,W,3,5\n", "W:1"},
      {"A,03/07/1999,14:30:00,1,G\nA,99/07/9999 14:45:00,2,G\nA,03/07/1999,15:00:00,3,G\n", "A"},
  };
  for (const auto& C : Cases) {
    ASSERT_TRUE(Load(C.Text)) << C.Text;
    const TCSVSensor& S = Sensor(C.Sensor);
    EXPECT_EQ(S.RecordCount(), 2) << C.Text;
    EXPECT_EQ(S.Interval, 1800) << C.Text;
    EXPECT_EQ(Reader->GetValue(At(15, 0), C.Sensor), 3.0f) << C.Text;
  }
}

// A row whose date is no calendar day, or a day a log time cannot hold, is
// skipped too: it once set the log's span (a row dated 2099 made the log
// start in 1963). A column heading without a comment mark has no date at
// all. Two-digit years and the first and last log days are kept.
TEST_F(CSVFileTest, RowWithADateNoLogTimeHoldsIsSkipped) {
  for (const char* Date :
       {"02/30/2000", "13/45/2024", "1/1/1", "12/31/9999", "/", "//", "06/01/2099", "11/24/1963",
        "12/30/1984", "01/18/2053", "02/29/99", "00/10/1999", "Time"}) {
    ASSERT_TRUE(Load(std::string("A,03/07/1999,14:30:00,1,G\nA,") + Date +
                     ",14:45:00,2,G\nA,03/07/1999,15:00:00,3,G\n"))
        << Date;
    EXPECT_EQ(Sensor("A").RecordCount(), 2) << Date;
    EXPECT_EQ(Reader->FirstTime(), T1430) << Date;
    EXPECT_EQ(Reader->LastTime(), At(15, 0)) << Date;
  }
  EXPECT_TRUE(
      Load("Date,Time,Sensor,Value\nA,03/07/1999,14:30:00,1,G\nA,03/07/1999,15:00:00,3,G\n"));
  EXPECT_EQ(Reader->Sensors().Names(0), "A");
  ASSERT_TRUE(Load("A,12/31/1984,06:00:00,1,G\nA,02/29/00,07:00:00,2,G\n"
                   "A,01/17/2053,23:59:59,3,G\n"));
  EXPECT_EQ(Sensor("A").RecordCount(), 3);
  EXPECT_EQ(Reader->FirstTime(), 6 * 3600);
  EXPECT_EQ(Reader->LastTime(), PartsToSecs(2053, 1, 17, 23, 59, 59));
}

TEST_F(CSVFileTest, SensorIntervals) {
  ASSERT_TRUE(
      Load("A,03/07/1999,10:00:00,1,G\nA,03/07/1999,10:15:00,1,G\nA,03/07/1999,10:30:00,1,G\n"));
  EXPECT_EQ(Sensor("A").Interval, 900);
  EXPECT_FALSE(Sensor("A").VariableInterval);
  ASSERT_TRUE(
      Load("A,03/07/1999,10:00:00,1,G\nA,03/07/1999,10:15:00,1,G\nA,03/07/1999,10:30:00,1,G\n"
           "A,03/07/1999,11:00:00,1,G\n"));
  EXPECT_EQ(Sensor("A").Interval, 900);
  EXPECT_TRUE(Sensor("A").VariableInterval);
  EXPECT_EQ(Sensor("A").FirstTime, At(10, 0));
  EXPECT_EQ(Sensor("A").LastTime, At(11, 0));
  // Rows that never step forward are taken newest first.
  ASSERT_TRUE(
      Load("A,03/07/1999,11:00:00,1,G\nA,03/07/1999,10:30:00,1,G\nA,03/07/1999,10:30:00,1,G\n"
           "A,03/07/1999,10:15:00,1,G\nB,03/07/1999,10:00:00,1,G\nB,03/07/1999,10:00:00,1,G\n"));
  EXPECT_EQ(Sensor("A").Interval, 900);
  EXPECT_TRUE(Sensor("A").VariableInterval);
  EXPECT_EQ(Sensor("B").Interval, 0); // one time only
}

std::string Rows(const std::string& Name, int FromMinute, int StepMinutes, int Count) {
  std::string Out;
  for (int I = 0; I < Count; ++I) {
    const long long T = At(10, 0) + (FromMinute + I * StepMinutes) * 60LL;
    Out += Name + "," + test::GenDate(T) + "," + test::GenTime(T) + ",1.5,G\n";
  }
  return Out;
}

TEST_F(CSVFileTest, FileIntervalAndMixedIntervals) {
  ASSERT_TRUE(Load(Rows("SLOW", 0, 15, 4) + Rows("FAST", 0, 5, 12)));
  EXPECT_EQ(Reader->Interval(), 300);
  EXPECT_FALSE(Reader->MixedIntervals());
  ASSERT_TRUE(Load(Rows("SLOW", 0, 15, 4) + Rows("FAST", 5, 5, 12)));
  EXPECT_TRUE(Reader->MixedIntervals());
  ASSERT_TRUE(Load(Rows("SLOW", 0, 15, 4) + Rows("ODD", 0, 7, 4)));
  EXPECT_EQ(Reader->Interval(), 420);
  EXPECT_TRUE(Reader->MixedIntervals());
  // A first sensor with one row keeps the file interval at 0: unreadable.
  EXPECT_FALSE(Load(Rows("ONCE", 0, 15, 1) + Rows("FAST", 0, 5, 12)));
}

TEST_F(CSVFileTest, SkippedLinesAndNames) {
  ASSERT_TRUE(Load("'Title line\r\n"
                   ":Station 4\r\n"
                   ";Date,Time,Sensor,Value\r\n"
                   "\r\n"
                   "   \r\n"
                   "\n"
                   " TEMP,03/07/1999,14:30:00,1.0,G\r\n"
                   " TEMP,03/07/1999,14:45:00,1.5,G\r\n"
                   "temp,03/07/1999,14:30:00,2.0,G\r\n"
                   "Temp,03/07/1999,14:45:00,3.0,G")); // no line end at the end
  ASSERT_EQ(Reader->Sensors().Count(), 2);
  EXPECT_EQ(Reader->Sensors().Names(0), " TEMP");
  EXPECT_EQ(Reader->Sensors().Names(1), "temp");
  EXPECT_EQ(Sensor("TEMP").RecordCount(), 2);
  EXPECT_EQ(Reader->GetValue(T1430, "TEMP"), 2.0f);
  EXPECT_EQ(Reader->GetValue(At(14, 45), "tEmP"), 3.0f);
  EXPECT_TRUE(NotRecorded(Reader->GetValue(T1430, "RH")));
}

TEST_F(CSVFileTest, FilesThatDoNotOpen) {
  EXPECT_FALSE(Load(""));
  EXPECT_FALSE(Load("'only a comment\n;and another\n"));
  EXPECT_FALSE(Load("03/07/1999,14:30:00,TEMP,21.50,C,G\n")); // one row: no interval
  TCSVLogFile Missing((Dir / "none.csv"), "NONE");
  EXPECT_FALSE(Missing.Open());
  EXPECT_FALSE(Missing.IsOpen());
}

// Rows out of time order stay findable: each sensor's records are kept in
// time order, and a time already present reuses its record.
TEST_F(CSVFileTest, RowsOutOfTimeOrder) {
  ASSERT_TRUE(Load("A,03/07/1999,11:00:00,4,G\n"
                   "A,03/07/1999,10:00:00,1,G\n"
                   "A,03/07/1999,10:30:00,3,G\n"
                   "A,03/07/1999,10:15:00,2,G\n"
                   "A,03/07/1999,10:30:00,3.5,G\n"));
  const float Want[] = {1.0f, 2.0f, 3.5f, 4.0f};
  for (int I = 0; I < 4; ++I)
    EXPECT_EQ(Reader->GetValue(At(10, 15 * I == 45 ? 60 : 15 * I), "A"), Want[I]) << I;
  ASSERT_EQ(Sensor("A").RecordCount(), 4);
  float V;
  LogTime T = 0;
  for (int I = 0; I < 4; ++I) {
    Reader->GetValueAt(I, "a", V, T);
    EXPECT_EQ(V, Want[I]);
    EXPECT_EQ(T, I < 3 ? At(10, 15 * I) : At(11, 0));
  }
  T = 12345;
  Reader->GetValueAt(0, "NOPE", V, T);
  EXPECT_TRUE(NotRecorded(V));
  EXPECT_EQ(T, 12345);
}

// Newest-first files, with repeated times: the last row of a time decides
// its reading, as when each row overwrites the record in turn.
TEST_F(CSVFileTest, NewestFirstRowsWithRepeatedTimes) {
  std::string Text;
  for (int K = 40; K >= 0; --K) Text += Rows("A", K * 15, 15, 1);
  Text += "A,03/07/1999,10:30:00,7.5,G\n"   // over 1.5
          "A,03/07/1999,10:45:00,8.5,BAD\n" // over 1.5: not recorded
          "A,03/07/1999,10:45:00,9.5,B\n"
          "A,03/07/1999,11:00:00,2.5,BAD\n"
          "A,03/07/1999,11:00:00,3.5,G\n"; // a good row after a bad one
  ASSERT_TRUE(Load(Text));
  const TCSVSensor& S = Sensor("A");
  ASSERT_EQ(S.RecordCount(), 41);
  EXPECT_EQ(S.FirstTime, At(10, 0));
  EXPECT_EQ(S.LastTime, At(20, 0));
  EXPECT_EQ(Reader->GetValue(At(10, 0), "A"), 1.5f);
  EXPECT_EQ(Reader->GetValue(At(10, 30), "A"), 7.5f);
  EXPECT_TRUE(NotRecorded(Reader->GetValue(At(10, 45), "A")));
  EXPECT_EQ(Reader->GetValue(At(11, 0), "A"), 3.5f);
  EXPECT_EQ(Reader->GetValue(At(20, 0), "A"), 1.5f);
  float V;
  LogTime Prev = -1, T = 0;
  for (int P = 0; P < S.RecordCount(); ++P) {
    Reader->GetValueAt(P, "A", V, T);
    ASSERT_EQ(T, At(10, 0) + P * 900);
    ASSERT_GT(T, Prev);
    Prev = T;
  }
}

TEST_F(CSVFileTest, FutureRowsKeepTheParseTimeAsFirstTime) {
  const LogTime Before = NowSecs();
  ASSERT_TRUE(Load("A,01/01/2050,00:00:00,1,G\nA,01/01/2050,00:15:00,1,G\n"));
  EXPECT_GE(Reader->FirstTime(), Before);
  EXPECT_LE(Reader->FirstTime(), NowSecs());
  EXPECT_EQ(Sensor("A").FirstTime, Reader->FirstTime());
  EXPECT_EQ(Reader->LastTime(), PartsToSecs(2050, 1, 1, 0, 15, 0));
}

TEST_F(CSVFileTest, ClearForgetsAndReopenStartsAfresh) {
  ASSERT_TRUE(Load(Rows("SLOW", 0, 15, 4) + Rows("FAST", 5, 5, 12)));
  ASSERT_TRUE(Reader->MixedIntervals());
  Reader->Clear();
  EXPECT_EQ(Reader->Sensors().Count(), 0);
  EXPECT_FALSE(Reader->MixedIntervals());
  EXPECT_FALSE(Reader->IsOpen());
  EXPECT_TRUE(NotRecorded(Reader->GetValue(At(10, 0), "SLOW")));
  ASSERT_TRUE(Reader->Open());
  ASSERT_TRUE(Reader->Open());
  EXPECT_EQ(Reader->Sensors().Count(), 2);
  EXPECT_EQ(Sensor("FAST").RecordCount(), 12);
}

TEST_F(CSVFileTest, GeneratedLayoutsRoundTrip) {
  const long long T0 = test::GenPartsToSecs(2001, 6, 30, 22, 0, 0);
  ASSERT_TRUE(Load(test::CSVLayout1Text({"T1", "T2", "T3"}, {"C", "%", "m/s"}, T0, 600, 20)));
  EXPECT_EQ(Reader->FirstTime(), T0);
  EXPECT_EQ(Reader->LastTime(), T0 + 19 * 600);
  EXPECT_EQ(Sensor("T3").Units, "m/s");
  for (int K = 0; K < 20; ++K)
    for (int S = 0; S < 3; ++S) {
      double D = 0;
      ASSERT_TRUE(StrToFloatOK(test::GenValue(K, S), D));
      ASSERT_EQ(Reader->GetValue(static_cast<LogTime>(T0 + K * 600), "T" + std::to_string(S + 1)),
                static_cast<float>(D));
    }
  ASSERT_TRUE(Load(test::CSVLayout2Text("GRP", 4, T0, 300, 10)));
  EXPECT_EQ(Reader->Sensors().Count(), 4);
  EXPECT_EQ(Reader->Interval(), 300);
}

// Whatever the bytes, Open answers true or false without an exception; a
// true reader then has its first time no later than its last and answers
// every question with a value not recorded or a finite number.
void Exercise(TCSVLogFile& R) {
  bool Opened = false;
  ASSERT_NO_THROW(Opened = R.Open());
  if (!Opened) return;
  ASSERT_LE(R.FirstTime(), R.LastTime());
  for (int I = 0; I < R.Sensors().Count() && I < 50; ++I) {
    const TCSVSensor* S = R.Sensors().Objects(I);
    ASSERT_LE(S->FirstTime, S->LastTime) << S->Name;
    float V;
    LogTime T;
    for (int P = 0; P < S->RecordCount() && P < 50; ++P) {
      R.GetValueAt(P, S->Name, V, T);
      ASSERT_TRUE(NotRecorded(V) || std::isfinite(V)) << S->Name << " " << P;
      R.GetValue(T, S->Name, V);
      ASSERT_TRUE(NotRecorded(V) || std::isfinite(V)) << S->Name << " " << T;
      R.GetValue(T + 1, S->Name, V);
      ASSERT_TRUE(NotRecorded(V) || std::isfinite(V)) << S->Name << " " << T + 1;
    }
  }
}

TEST_F(CSVFileTest, EveryTruncationAndRandomCorruption) {
  const std::string Full = "'Mixed layouts\r\n"
                           "03/07/1999,14:30:00,TEMP,21.50,C,G\r\n"
                           "03/07/1999 14:45:00,TEMP,21.75,C,G\r\n"
                           "03/07/1999,14:30:00,WIND,5.1,180,12.25\r\n"
                           "03/07/1999,14:45:00,WIND,5.3,185,12.5\r\n"
                           "RH,03/07/1999,14:30:00,55.5,G\r\n"
                           "RH,03/07/1999 14:45:00,56.5,BAD\r\n";
  const std::string Path = (Dir / "t.csv");
  for (std::size_t Len = 0; Len <= Full.size(); ++Len) {
    test::WriteWhole(Path, Full.substr(0, Len));
    TCSVLogFile R(Path, "T");
    Exercise(R);
    ASSERT_FALSE(HasFatalFailure()) << Len;
  }
  std::mt19937 Rng(77);
  for (int Round = 0; Round < 800; ++Round) {
    std::string Bytes = Full;
    const int Flips = 1 + static_cast<int>(Rng() % 10);
    for (int I = 0; I < Flips; ++I) {
      static const char Interesting[] = "0123456789/:, .\r\nGB\0\xff";
      Bytes[Rng() % Bytes.size()] = (Round & 1) ? static_cast<char>(Rng() & 0xFF)
                                                : Interesting[Rng() % (sizeof Interesting - 1)];
    }
    if (Round % 9 == 0)
      for (char& C : Bytes) C = static_cast<char>(Rng() & 0xFF);
    test::WriteWhole(Path, Bytes);
    TCSVLogFile R(Path, "R");
    Exercise(R);
    ASSERT_FALSE(HasFatalFailure()) << Round;
  }
}

TEST_F(CSVFileTest, VeryLongLinesAndBinaryGarbage) {
  std::string Long(3 << 20, 'A'); // one line longer than the read buffer
  EXPECT_FALSE(Load(Long));
  std::string Group = "03/07/1999,14:30:00,G";
  for (int I = 0; I < 5000; ++I) Group += ",1.5";
  std::string Later = Group;
  Later.replace(14, 2, "45");
  ASSERT_TRUE(Load(Group + "\n" + Later + "\n"));
  EXPECT_EQ(Reader->Sensors().Count(), 5000);
  EXPECT_EQ(Reader->Interval(), 900);
  EXPECT_EQ(Reader->GetValue(At(14, 45), "G:5000"), 1.5f);
  std::string Garbage;
  std::mt19937 Rng(5);
  for (int I = 0; I < 200000; ++I) Garbage.push_back(static_cast<char>(Rng() & 0xFF));
  Reader = std::make_unique<TCSVLogFile>((Dir / "garbage.csv"), "G");
  test::WriteWhole((Dir / "garbage.csv"), Garbage);
  Exercise(*Reader);
}

} // namespace
} // namespace quorvin
