// SPDX-License-Identifier: GPL-3.0-or-later
// Damaged and hostile inputs to the log readers: files that are not regular
// files, corrupt descriptors, long forward walks and logs beyond 4 GiB.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <fstream>

#include "generators/LogGen.h"
#include "logdata/CSVFile.h"
#include "logdata/HeaderReport.h"
#include "logdata/LogFile.h"
#include "support/FakeUi.h"
#include "support/Scratch.h"

namespace quorvin {
namespace {

using test::TGenLog;

class HostileInputTest : public ::testing::Test {
protected:
  test::TScratchDir Dir;
};

// A FIFO would block an open for reading until a writer comes, a device
// such as /dev/zero would feed the reader without end: neither is a log.
TEST_F(HostileInputTest, ReadersOpenOnlyRegularFiles) {
  ASSERT_EQ(::mkfifo((Dir / "x.LOG").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((Dir / "x.csv").c_str(), 0600), 0);
  std::filesystem::create_symlink("/dev/zero", (Dir / "zero.LOG"));
  std::filesystem::create_symlink("/dev/zero", (Dir / "zero.csv"));
  std::filesystem::create_directory((Dir / "folder.LOG"));
  std::filesystem::create_directory((Dir / "folder.csv"));
  for (const char* Name : {"x", "zero", "folder"}) {
    SCOPED_TRACE(Name);
    TLogFile Log((Dir / std::string(Name) + ".LOG"), "X");
    EXPECT_FALSE(Log.Open());
    EXPECT_NE(Log.LastIOResult(), 0);
    EXPECT_EQ(Log.Header(), nullptr);
    TCSVLogFile CSV((Dir / std::string(Name) + ".csv"), "X");
    EXPECT_FALSE(CSV.Open());
  }
}

TEST(CorruptRightDigits, AboveFifteenReadAsFifteen) {
  const struct {
    std::uint16_t Stored;
    int Read;
  } Cases[] = {{0, 0}, {9, 9}, {15, 15}, {16, 15}, {65535, 15}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Stored);
    TGenLog L;
    L.Sensors = {{"T", 1.0, 0.0, C.Stored}};
    const std::string Bytes = test::LogHeaderBytes(L).substr(HeaderBlockSize);
    TSensor S;
    ASSERT_TRUE(
        S.Parse(std::span(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size()), "U"));
    EXPECT_EQ(S.RightDigits, C.Read);
    EXPECT_EQ(S.StoredRightDigits, C.Stored);
  }
}

// The report of a sound log is unchanged; a corrupt descriptor adds one
// line naming that sensor.
TEST_F(HostileInputTest, HeaderReportNamesTheCorruptSensor) {
  TGenLog L;
  L.UnitName = "SITE1";
  L.Sensors = {{"TEMP", 1.0, 0.0, 2}, {"RH", 1.0, 0.0, 65535}, {"WIND", 1.0, 0.0, 16}};
  const std::string Path = (Dir / "SITE1.LOG");
  test::WriteWhole(Path, test::LogFileBytes(L, 2));
  TLogFile Log(Path, "SITE1");
  ASSERT_TRUE(Log.Open());
  EXPECT_EQ(Log.GetValue(Log.FirstTime(), 2), RawToValue(test::PatternRaw(0, 1), 15));
  test::TFakeTextPane Pane;
  TDateTimeFormat F;
  F.DatePattern = "MM/DD/YYYY", F.TimePattern = "HH:MM:SS";
  F.DateSeparator = '/', F.TimeSeparator = ':';
  ASSERT_TRUE(ShowLogHeader(Pane, Log, "SITE1", F));
  EXPECT_EQ(Pane.Text(), "R630/R600 LOG HEADER FROM: SITE1\n"
                         "\n"
                         "Version           : 3\n"
                         "Unit Name         : SITE1\n"
                         "Start Date        : 03/07/1999\n"
                         "Log Time          : 00:00:00\n"
                         "Logging Interval  : 00:15:00\n"
                         "Record Size       : 6\n"
                         "Number of Days    : 1\n"
                         "Total Length      : 0\n"
                         "Day Length        : 0\n"
                         "Data Length       : 0\n"
                         "Number of Sensors : 3\n"
                         "Description Length: 54\n"
                         "Sensor Info Length: 28\n"
                         "Right Digits      : RH - 65535 is corrupt, read as 15\n"
                         "Right Digits      : WIND - 16 is corrupt, read as 15\n");
}

// A value written "1." and 70,000 zeros once made that sensor's every value
// 65,535 decimals long: a CSV sensor's right digits are bounded as a
// descriptor's, and the report names the sensor.
TEST_F(HostileInputTest, CSVRightDigitsAboveFifteenReadAsFifteen) {
  const std::string Path = Dir / "wide.csv";
  test::WriteWhole(Path, "A,03/07/1999,14:30:00,1." + std::string(70000, '0') +
                             ",G\nA,03/07/1999,14:45:00,2.5,G\n"
                             "B,03/07/1999,14:30:00,1.000000000000000,G\n"
                             "B,03/07/1999,14:45:00,2,G\n");
  TCSVLogFile Log(Path, "WIDE");
  ASSERT_TRUE(Log.Open());
  EXPECT_EQ(Log.Sensors().Objects(0)->RightDigits, 15);
  EXPECT_EQ(Log.Sensors().Objects(0)->StoredRightDigits, 65535);
  EXPECT_EQ(Log.Sensors().Objects(1)->RightDigits, 15);
  test::TFakeTextPane Pane;
  ASSERT_TRUE(ShowCSVLogInfo(Pane, Log, Path, TDateTimeFormat{}));
  EXPECT_TRUE(Pane.Text().ends_with("Number of Sensors : 2\n"
                                    "Right Digits      : A - 65535 is corrupt, read as 15\n"))
      << Pane.Text();
}

// A sensor count flipped by one bit (16 + 32768) in a year of 16 sensors:
// the descriptors fit the file, but the sensors' values lie far beyond the
// 32-byte record. Such a header is damaged, as one that ends early.
TEST_F(HostileInputTest, SensorsBeyondTheRecordAreADamagedHeader) {
  TGenLog L;
  for (int I = 0; I < 16; ++I) L.Sensors.push_back({"S" + std::to_string(I), 1.0, 0.0, 1});
  const std::string Path = Dir / "FLIP.LOG";
  test::WriteWhole(Path, test::LogHeaderBytes(L));
  ASSERT_EQ(::truncate(Path.c_str(), 54 + 16 * 28 + 35040 * 32), 0);
  TLogFile Sound(Path, "FLIP");
  ASSERT_TRUE(Sound.Open());
  Sound.Clear();
  {
    std::fstream F(Path, std::ios::in | std::ios::out | std::ios::binary);
    F.seekp(53);
    F.put(static_cast<char>(0x80));
  }
  TLogFile Flipped(Path, "FLIP");
  EXPECT_FALSE(Flipped.Open());
  EXPECT_EQ(Flipped.Header(), nullptr);
  EXPECT_EQ(Flipped.Sensors().Count(), 0);
}

// A sparse log: the header, then Records records of zero bytes (raw 0 is the
// recorded value -32767) that cost no disk.
std::string SparseLog(const std::string& Path, const TGenLog& L, std::int64_t Records) {
  test::WriteWhole(Path, test::LogHeaderBytes(L));
  const std::int64_t Size = HeaderBlockSize + SensorBlockSize * std::int64_t(L.Sensors.size()) +
                            Records * 2 * std::int64_t(L.Sensors.size());
  EXPECT_EQ(::truncate(Path.c_str(), Size), 0);
  return Path;
}

TGenLog SixteenSensors() {
  TGenLog L;
  L.Year = 2000, L.Month = 1, L.Day = 1;
  L.IntervalMinutes = 0, L.IntervalSeconds = 1;
  for (int I = 0; I < 16; ++I) L.Sensors.push_back({"S" + std::to_string(I), 1.0, 0.0, 1});
  return L;
}

// An export walks forward through the whole range: the records behind it
// are released, so its memory does not grow with the range, and a record
// asked for again is read again.
TEST_F(HostileInputTest, ForwardWalkKeepsTheRecordCacheBounded) {
  const std::int64_t Records = 100000;
  TLogFile Log(SparseLog((Dir / "LONG.LOG"), SixteenSensors(), Records), "LONG");
  ASSERT_TRUE(Log.Open());
  int Largest = 0;
  for (LogTime T = Log.FirstTime(); T < Log.LastTime(); ++T) {
    for (int S = 1; S <= 16; ++S) ASSERT_EQ(Log.GetValue(T, S), -3276.7f);
    Largest = std::max(Largest, Log.Records()->Count());
  }
  EXPECT_LE(Largest, Log.RecordCacheLimit());
  EXPECT_LT(Largest, Records / 4);
  EXPECT_LE(std::int64_t(Log.RecordCacheLimit()) * (sizeof(TRecord) + 32), RecordCacheBytes);
  EXPECT_EQ(Log.GetValue(Log.FirstTime(), 1), -3276.7f);
  EXPECT_EQ(Log.GetValue(Log.FirstTime() + 1234, 16), -3276.7f);
}

// The next command walks the same range again from its start: its records
// are not put in front of the last walk's, so the cache stays bounded.
TEST_F(HostileInputTest, AWalkFromTheStartAgainKeepsTheRecordCacheBounded) {
  const std::int64_t Records = 100000;
  TLogFile Log(SparseLog(Dir / "LONG.LOG", SixteenSensors(), Records), "LONG");
  ASSERT_TRUE(Log.Open());
  for (int Walk = 0; Walk < 2; ++Walk) {
    int Largest = 0;
    for (LogTime T = Log.FirstTime(); T < Log.LastTime() && Largest <= Log.RecordCacheLimit();
         ++T) {
      ASSERT_EQ(Log.GetValue(T, 1 + Walk), -3276.7f);
      Largest = std::max(Largest, Log.Records()->Count());
    }
    EXPECT_LE(Largest, Log.RecordCacheLimit()) << Walk;
  }
}

// Records beyond 4 GiB are found where they are: offsets are 64-bit.
TEST_F(HostileInputTest, RecordsBeyondFourGiB) {
  const TGenLog L = SixteenSensors();
  const std::int64_t RecordBytes = 32, DataOffset = 54 + 16 * 28;
  const std::int64_t K = ((std::int64_t(1) << 32) - DataOffset) / RecordBytes + 7;
  const std::string Path = SparseLog((Dir / "HUGE.LOG"), L, K + 3);
  std::string Record;
  for (int S = 0; S < 16; ++S) test::PutU16(Record, static_cast<std::uint16_t>(33000 + S));
  const int Fd = ::open(Path.c_str(), O_WRONLY);
  ASSERT_GE(Fd, 0);
  ASSERT_EQ(::pwrite(Fd, Record.data(), Record.size(), DataOffset + K * RecordBytes),
            static_cast<ssize_t>(Record.size()));
  ::close(Fd);

  TLogFile Log(Path, "HUGE");
  ASSERT_TRUE(Log.Open());
  EXPECT_EQ(Log.FileSize(), DataOffset + (K + 3) * RecordBytes);
  EXPECT_EQ(std::int64_t(Log.LastTime()) - Log.FirstTime(), K + 3);
  const LogTime At = static_cast<LogTime>(Log.FirstTime() + K);
  EXPECT_EQ(Log.GetValue(At - 1, 3), -3276.7f);
  for (int S = 1; S <= 16; ++S) EXPECT_EQ(Log.GetValue(At, S), RawToValue(32999 + S, 1));
  EXPECT_EQ(Log.GetValue(At + 2, 16), -3276.7f);
  EXPECT_TRUE(IsNonRecorded(Log.GetValue(At + 3, 16)));
}

} // namespace
} // namespace quorvin
