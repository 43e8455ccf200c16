// SPDX-License-Identifier: GPL-3.0-or-later
#include "logdata/LogFormats.h"

#include <gtest/gtest.h>

#include <bit>

#include "generators/LogGen.h"
#include "logdata/CSVFile.h"
#include "logdata/LogFile.h"
#include "support/Scratch.h"

namespace quorvin {
namespace {

std::string KindOf(const ILogReader* Reader) {
  if (dynamic_cast<const TLogFile*>(Reader)) return "binary";
  if (dynamic_cast<const TCSVLogFile*>(Reader)) return "csv";
  return Reader ? "other" : "";
}

TEST(LogFormats, TheExtensionInAnyCaseChoosesTheReader) {
  struct TRow {
    const char* Name;
    const char* Kind;
  };
  for (const TRow& R : {TRow{"A.LOG", "binary"}, TRow{"dir.csv/b.log", "binary"},
                        TRow{"c.Csv", "csv"}, TRow{"d.2.TXT", "csv"}, TRow{"e.ddr", ""},
                        TRow{"log", ""}, TRow{"f.log.bak", ""}, TRow{"g.logs", ""}}) {
    SCOPED_TRACE(R.Name);
    EXPECT_EQ(IsLogFileName(R.Name), *R.Kind != '\0');
    const auto Reader = MakeLogReader(R.Name, "SHOWN");
    EXPECT_EQ(KindOf(Reader.get()), R.Kind);
    if (Reader) {
      EXPECT_EQ(Reader->DisplayName(), "SHOWN");
    }
  }
}

// The same readings as a logger file and as a CSV file, asked through the
// one interface: STAGE every 15 minutes from 1999-03-07 00:00, RAIN missing
// at 00:15.
TEST(LogFormats, BothKindsAnswerTheSameReadingsAlike) {
  test::TScratchDir Dir;
  test::WriteBinaryLog(Dir / "s.log", "SITE", 1999, 3, 7, 900,
                       {{"STAGE", 1.0, 0.0, 2}, {"RAIN", 0.01, 0.0, 1}},
                       {{test::Raw(1.23, 2), test::Raw(0.5, 1)},
                        {test::Raw(1.25, 2), 0xFFFF},
                        {test::Raw(1.5, 2), test::Raw(0.7, 1)}});
  test::WriteWhole(Dir / "s.csv", "03/07/1999,00:00:00,STAGE,1.23,m,G\r\n"
                                  "03/07/1999,00:00:00,RAIN,0.5,mm,G\r\n"
                                  "03/07/1999,00:15:00,STAGE,1.25,m,G\r\n"
                                  "03/07/1999,00:30:00,STAGE,1.50,m,G\r\n"
                                  "03/07/1999,00:30:00,RAIN,0.7,mm,G\r\n");
  const LogTime T0 = PartsToSecs(1999, 3, 7, 0, 0, 0);
  for (const char* Name : {"s.log", "s.csv"}) {
    SCOPED_TRACE(Name);
    const auto Log = MakeLogReader(Dir / Name, "S");
    ASSERT_TRUE(Log && Log->Open());
    const bool Binary = Log->RecordsHoldEverySensor();
    ASSERT_EQ(Log->SensorCount(), 2);
    EXPECT_EQ(Log->Sensor(1).ShortName, "STAGE");
    EXPECT_EQ(Log->Sensor(2).RightDigits, 1);
    EXPECT_EQ(Log->Sensor(2).Slope, Binary ? 0.01f : 0.0f);
    EXPECT_EQ(Log->Sensor(2).Units, Binary ? "" : "mm");
    EXPECT_EQ(Log->Sensor(3).Name, "");
    EXPECT_EQ(Log->HasScaling(), Binary);
    EXPECT_EQ(Log->HasUnits(), !Binary);
    EXPECT_EQ(Log->Sensor(1).FirstTime, T0);
    EXPECT_EQ(Log->Interval(), 900);

    const int Indexes[] = {2, 1, 3};
    float Row[3];
    Log->GetValues(T0 + 900, Indexes, 3, Row);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(Row[0]), NonRecordedBits);
    EXPECT_EQ(Row[1], 1.25f);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(Row[2]), NonRecordedBits);
    EXPECT_EQ(Log->GetValue(T0 + 1800, 2), 0.7f);

    EXPECT_EQ(Log->RecordCount(1), 3);
    float V;
    LogTime T;
    Log->GetValueAt(2, 1, V, T);
    EXPECT_EQ(T, T0 + 1800);
    EXPECT_EQ(V, 1.5f);
    // No reading of RAIN lies between 00:00:01 and the answer.
    ASSERT_TRUE(Log->NextRecordTime(2, T0 + 1, T));
    EXPECT_GE(T, T0 + 1);
    EXPECT_LE(T, T0 + 1800);
    EXPECT_FALSE(Log->NextRecordTime(2, T0 + 2700, T));
  }
}

} // namespace
} // namespace quorvin
