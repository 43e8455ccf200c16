// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ClockZone.h"

#include <gtest/gtest.h>

namespace quorvin {
namespace {

using P = TClockPlacement;

TClockZone Zone(const std::string& Name) {
  TClockZone Z;
  std::string Error;
  EXPECT_TRUE(Z.Assign(Name, Error)) << Error;
  return Z;
}

TEST(ClockZoneTest, BothChangesOf2024InDenverAndBerlin) {
  struct TCase {
    const char* Zone;
    int Month, Day, Hour, Minute;
    const char* Offset;
    P Placement;
  };
  const TCase Cases[] = {
      {"America/Denver", 3, 10, 1, 59, "-07:00", P::Unique},
      {"America/Denver", 3, 10, 2, 0, "-07:00", P::Skipped},
      {"America/Denver", 3, 10, 2, 59, "-07:00", P::Skipped},
      {"America/Denver", 3, 10, 3, 0, "-06:00", P::Unique},
      {"America/Denver", 11, 3, 0, 59, "-06:00", P::Unique},
      {"America/Denver", 11, 3, 1, 0, "-06:00", P::Repeated},
      {"America/Denver", 11, 3, 1, 59, "-06:00", P::Repeated},
      {"America/Denver", 11, 3, 2, 0, "-07:00", P::Unique},
      {"Europe/Berlin", 3, 31, 1, 59, "+01:00", P::Unique},
      {"Europe/Berlin", 3, 31, 2, 0, "+01:00", P::Skipped},
      {"Europe/Berlin", 3, 31, 2, 59, "+01:00", P::Skipped},
      {"Europe/Berlin", 3, 31, 3, 0, "+02:00", P::Unique},
      {"Europe/Berlin", 10, 27, 1, 59, "+02:00", P::Unique},
      {"Europe/Berlin", 10, 27, 2, 0, "+02:00", P::Repeated},
      {"Europe/Berlin", 10, 27, 2, 59, "+02:00", P::Repeated},
      {"Europe/Berlin", 10, 27, 3, 0, "+01:00", P::Unique},
  };
  for (const TCase& C : Cases) {
    const LogTime Time = PartsToSecs(2024, C.Month, C.Day, C.Hour, C.Minute, 0);
    const TZonedTime Z = Zone(C.Zone).Place(Time);
    SCOPED_TRACE(std::string(C.Zone) + " " + IsoClockText(LogTimeToUnix(Time)));
    EXPECT_EQ(OffsetText(Z.OffsetSecs), C.Offset);
    EXPECT_EQ(Z.Placement, C.Placement);
    EXPECT_EQ(Z.UnixSecs, LogTimeToUnix(Time) - Z.OffsetSecs);
  }
  // The first pass through 01:30 in Denver is 07:30 UTC.
  EXPECT_EQ(Zone("America/Denver").Place(PartsToSecs(2024, 11, 3, 1, 30, 0)).UnixSecs, 1730619000);
}

TEST(ClockZoneTest, AWalkThroughTheYearAnswersAsSingleQuestionsDo) {
  for (const char* Name : {"America/Denver", "Europe/Berlin", "Australia/Lord_Howe"}) {
    const TClockZone Walking = Zone(Name);
    for (LogTime T = PartsToSecs(2024, 1, 1, 0, 0, 0); T < PartsToSecs(2025, 1, 1, 0, 0, 0);
         T += 600) {
      const TZonedTime A = Walking.Place(T), B = Zone(Name).Place(T);
      ASSERT_EQ(A.UnixSecs, B.UnixSecs) << Name << " " << IsoClockText(LogTimeToUnix(T));
      ASSERT_EQ(A.Placement, B.Placement);
    }
  }
}

TEST(ClockZoneTest, FixedOffsetsNoZoneAndRefusedTexts) {
  const LogTime T = PartsToSecs(2024, 5, 14, 0, 15, 0);
  EXPECT_EQ(Zone("-07:00").Place(T).UnixSecs, LogTimeToUnix(T) + 7 * 3600);
  EXPECT_EQ(Zone("+05:45").Place(T).OffsetSecs, 5 * 3600 + 45 * 60);
  const TClockZone None = Zone("");
  EXPECT_FALSE(None.HasZone());
  EXPECT_EQ(None.Place(T).UnixSecs, LogTimeToUnix(T));
  EXPECT_EQ(IsoClockText(LogTimeToUnix(T)), "2024-05-14T00:15:00");
  EXPECT_EQ(LogTimeToUnix(0), 473299200); // 1984-12-31T00:00:00Z
  for (const char* Bad :
       {"Mars/Olympus", "-7:00", "+24:00", "07:00", "-07:60", "../../etc/passwd"}) {
    TClockZone Z = Zone("UTC");
    std::string Error;
    EXPECT_FALSE(Z.Assign(Bad, Error)) << Bad;
    EXPECT_EQ(Error, ZoneRefused(Bad));
    EXPECT_EQ(Z.Name(), "UTC"); // a refused text leaves the zone as it was
  }
}

TEST(ClockZoneTest, TheWarningSaysHowReadingsWerePlaced) {
  const TClockZone Denver = Zone("America/Denver");
  TPlacementTally Tally;
  EXPECT_EQ(Tally.Warning("America/Denver"), "");
  for (LogTime T = PartsToSecs(2024, 11, 3, 0, 0, 0); T <= PartsToSecs(2024, 11, 3, 2, 0, 0);
       T += 900)
    Tally.Add(T, Denver.Place(T));
  Tally.Add(PartsToSecs(2024, 3, 10, 2, 30, 0), Denver.Place(PartsToSecs(2024, 3, 10, 2, 30, 0)));
  EXPECT_EQ(Tally.Warning("America/Denver"),
            "4 readings fall in an hour that America/Denver shows twice when clocks go back (the "
            "first at 2024-11-03T01:00:00); placed at the earlier offset, -06:00.\n"
            "1 reading falls in an hour that America/Denver skips when clocks go forward, which "
            "a clock keeping the zone never shows (the first at 2024-03-10T02:30:00); placed at "
            "the offset before the change, -07:00.");
}

} // namespace
} // namespace quorvin
