// The rotation periods: a new index exactly at the boundary, and the
// session-folder name of the hand-over.
#include "collect/system/FolderRotation.h"

#include <gtest/gtest.h>

namespace {

using platform::MakeDateTime;

TEST(FolderRotationTest, PeriodsChangeAtTheFullHourMidnightAndMonday) {
    const auto index = [](RotationPeriod p, int month, int day, int hour, int minute) {
        return PeriodIndex(MakeDateTime(2026, month, day, hour, minute), p);
    };
    EXPECT_EQ(index(RotationPeriod::Daily, 12, 7, 23, 45),
              index(RotationPeriod::Daily, 12, 7, 0, 0));
    EXPECT_EQ(index(RotationPeriod::Daily, 12, 8, 0, 0),
              index(RotationPeriod::Daily, 12, 7, 23, 45) + 1);
    EXPECT_EQ(index(RotationPeriod::Daily, 1, 1, 0, 0) + 364,
              index(RotationPeriod::Daily, 12, 31, 0, 0));
    EXPECT_EQ(index(RotationPeriod::Hourly, 12, 7, 10, 45),
              index(RotationPeriod::Hourly, 12, 7, 10, 0));
    EXPECT_EQ(index(RotationPeriod::Hourly, 12, 8, 0, 0),
              index(RotationPeriod::Hourly, 12, 7, 23, 59) + 1);
    // 7 December 2026 is a Monday: Sunday 6 December belongs to the week before.
    EXPECT_EQ(index(RotationPeriod::Weekly, 12, 7, 0, 0),
              index(RotationPeriod::Weekly, 12, 6, 23, 45) + 1);
    EXPECT_EQ(index(RotationPeriod::Weekly, 12, 13, 23, 45),
              index(RotationPeriod::Weekly, 12, 7, 0, 0));
    EXPECT_EQ(PeriodIndex(MakeDateTime(1970, 1, 4, 12, 0), RotationPeriod::Weekly), -1);
    EXPECT_EQ(PeriodIndex(MakeDateTime(1970, 1, 5, 0, 0), RotationPeriod::Weekly), 0);
}

TEST(FolderRotationTest, WordsAndFolderNames) {
    EXPECT_EQ(ParseRotationPeriod("daily"), RotationPeriod::Daily);
    EXPECT_EQ(ParseRotationPeriod("hourly"), RotationPeriod::Hourly);
    EXPECT_EQ(ParseRotationPeriod("weekly"), RotationPeriod::Weekly);
    EXPECT_EQ(ParseRotationPeriod("none"), RotationPeriod::None);
    EXPECT_FALSE(ParseRotationPeriod("Daily").has_value());
    EXPECT_EQ(SessionFolderPath(u"/data/DATA/", MakeDateTime(2026, 12, 8, 0, 0), u"QAS"),
              u"/data/DATA/12080000.QAS/");
    EXPECT_EQ(SessionFolderPath(u"/data/DATA", MakeDateTime(2026, 3, 4, 5, 15), u"PRD"),
              u"/data/DATA/03040515.PRD/");
}

}  // namespace
