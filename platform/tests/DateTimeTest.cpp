#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include "platform/TimeFormat.h"

namespace platform {
namespace {

TEST(OleDateTest, KnownAnchors) {
    EXPECT_DOUBLE_EQ(OleDate::FromDateTime(MakeDateTime(1899, 12, 30)).Value(), 0.0);
    EXPECT_DOUBLE_EQ(OleDate::FromDateTime(MakeDateTime(1900, 1, 1)).Value(), 2.0);
    EXPECT_DOUBLE_EQ(OleDate::FromDateTime(MakeDateTime(2000, 1, 1, 12)).Value(), 36526.5);
    EXPECT_DOUBLE_EQ(OleDate::FromDateTime(MakeDateTime(1899, 12, 29, 6)).Value(), -1.25);
    DateTime t;
    ASSERT_TRUE(OleDate(-1.25).ToDateTime(t));
    EXPECT_EQ(t, MakeDateTime(1899, 12, 29, 6));
}

TEST(OleDateTest, RoundTripsEveryDayFrom1900To2100) {
    const int64_t first = DaysFromCivil(1900, 1, 1);
    const int64_t last = DaysFromCivil(2100, 12, 31);
    int checked = 0;
    for (int64_t day = first; day <= last; ++day) {
        DateTime date;
        CivilFromDays(day, date);
        const int seconds = static_cast<int>(((day - first) * 7919) % 86400);  // a time per day
        DateTime t = MakeDateTime(date.year, date.month, date.day, seconds / 3600,
                                  seconds / 60 % 60, seconds % 60);
        const OleDate ole = OleDate::FromDateTime(t);
        ASSERT_TRUE(ole.IsValid());
        DateTime back;
        ASSERT_TRUE(ole.ToDateTime(back));
        ASSERT_EQ(back, t) << t.year << "-" << t.month << "-" << t.day;
        ++checked;
    }
    EXPECT_EQ(checked, 73414);
}

TEST(OleDateTest, InvalidInputsGiveAnInvalidDate) {
    EXPECT_FALSE(OleDate::FromDateTime(MakeDateTime(2004, 2, 30)).IsValid());
    EXPECT_TRUE(OleDate::FromDateTime(MakeDateTime(2004, 2, 29)).IsValid());
    EXPECT_FALSE(OleDate::FromDateTime(MakeDateTime(2003, 2, 29)).IsValid());
    EXPECT_FALSE(OleDate::FromDateTime(MakeDateTime(2004, 1, 1, 24)).IsValid());
    EXPECT_FALSE(OleDate::FromDateTime(MakeDateTime(10000, 1, 1)).IsValid());
    DateTime t;
    EXPECT_FALSE(OleDate(std::numeric_limits<double>::quiet_NaN()).ToDateTime(t));
    EXPECT_FALSE(OleDate(1e12).ToDateTime(t));
    EXPECT_FALSE(OleDate(-1e12).ToDateTime(t));
}

TEST(DateTimeTest, WeekdaysAndLeapYears) {
    EXPECT_EQ(MakeDateTime(2026, 12, 6).dayOfWeek, 0);  // Sunday
    EXPECT_EQ(MakeDateTime(1970, 1, 1).dayOfWeek, 4);
    EXPECT_EQ(MakeDateTime(1900, 1, 1).dayOfWeek, 1);
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_EQ(MakeDateTime(2004, 12, 31).dayOfYear, 366);
}

TEST(TimeSourceTest, ManualSourceGivesLocalAndGmtTime) {
    ManualTimeSource source(TimePoint{}, 3600);  // one hour east of GMT
    source.SetLocal(MakeDateTime(2026, 12, 6, 15, 7, 0));
    EXPECT_EQ(source.LocalNow(), MakeDateTime(2026, 12, 6, 15, 7, 0));
    EXPECT_EQ(source.ToGmt(source.Now()), MakeDateTime(2026, 12, 6, 14, 7, 0));
    source.Advance(std::chrono::seconds(53 * 60));
    EXPECT_EQ(source.LocalNow(), MakeDateTime(2026, 12, 6, 16, 0, 0));
    EXPECT_EQ(source.FromLocal(MakeDateTime(2026, 12, 6, 16, 0, 0)), source.Now());
}

TEST(TimeSourceTest, InstalledSourceDrivesCurrentLocalTime) {
    auto manual = std::make_shared<ManualTimeSource>(TimePoint{}, 0);
    manual->SetLocal(MakeDateTime(2030, 1, 2, 3, 4, 5));
    SetTimeSource(manual);
    EXPECT_EQ(CurrentLocalTime(), MakeDateTime(2030, 1, 2, 3, 4, 5));
    SetTimeSource(nullptr);
    EXPECT_GE(CurrentLocalTime().year, 2024);
}

TEST(TimeFormatTest, MessageStampHasNoLeadingZerosAndEnglishNames) {
    const char16_t* stamp = u"  %#I:%M %p   %a, %b %#d, %Y  ";
    EXPECT_EQ(FormatDateTime(stamp, MakeDateTime(2026, 12, 6, 15, 7, 0)),
              u"  3:07 PM   Sun, Dec 6, 2026  ");
    EXPECT_EQ(FormatDateTime(stamp, MakeDateTime(2027, 1, 1, 0, 5, 0)),
              u"  12:05 AM   Fri, Jan 1, 2027  ");
    EXPECT_EQ(FormatDateTime(stamp, MakeDateTime(2027, 3, 15, 12, 0, 0)),
              u"  12:00 PM   Mon, Mar 15, 2027  ");
    EXPECT_EQ(FormatDateTime(stamp, MakeDateTime(2027, 2, 30)), u"Invalid DateTime");
}

TEST(TimeFormatTest, FileNameAndListingPatterns) {
    const DateTime t = MakeDateTime(2026, 3, 4, 5, 6, 7);
    EXPECT_EQ(FormatDateTime(u"%Y%m%d", t), u"20260304");
    EXPECT_EQ(FormatDateTime(u"%H%M%S", t), u"050607");
    EXPECT_EQ(FormatDateTime(u"%m%d%H%M", t), u"03040506");
    EXPECT_EQ(FormatDateTime(u"%m/%d/%Y %H:%M:%S", t), u"03/04/2026 05:06:07");
    EXPECT_EQ(FormatDateTime(u"%A %B %j %y %% %q", t), u"Wednesday March 063 26 % %q");
}

TEST(TimeFormatTest, SpanForm) {
    const double span = 3 + (5 * 3600 + 7 * 60 + 20) / 86400.0;
    EXPECT_EQ(FormatSpan(u"%D days, %H hrs, %M min", span), u"3 days, 05 hrs, 07 min");
    EXPECT_EQ(FormatSpan(u"%D days, %H hrs, %M min", 0.0), u"0 days, 00 hrs, 00 min");
    EXPECT_EQ(FormatSpan(u"%D days, %H hrs, %M min", 400.999999), u"401 days, 00 hrs, 00 min");
}

}  // namespace
}  // namespace platform
