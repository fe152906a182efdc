// The two saposcol checks of the connection test: the 13-hour freshness
// window and the plausibility sums.
#include <gtest/gtest.h>

#include <climits>

#include "collect/core/CollectorException.h"
#include "collect/system/SaposcolSums.h"
#include "collect/system/SaposcolTime.h"

namespace {

using platform::MakeDateTime;
using platform::OleDate;

TEST(SaposcolTimeTest, ThirteenHoursEitherSidePassExactlyOneSecondMoreFails) {
    const platform::DateTime now = MakeDateTime(2026, 12, 9, 13, 0, 0);
    struct Case {
        platform::DateTime last;
        int32_t seconds;
        bool passes;
    };
    const Case cases[] = {
        {MakeDateTime(2026, 12, 9, 0, 0, 0), 46800, true},
        {MakeDateTime(2026, 12, 8, 23, 59, 59), 46801, false},
        {MakeDateTime(2026, 12, 10, 2, 0, 0), -46800, true},
        {MakeDateTime(2026, 12, 10, 2, 0, 1), -46801, false},
        {now, 0, true},
    };
    for (const Case& c : cases) {
        const OleDate last = OleDate::FromDateTime(c.last);
        EXPECT_EQ(SaposcolDifferenceSeconds(now, last), c.seconds);
        bool passed = true;
        try {
            EXPECT_EQ(CheckSaposcolTime(now, u"qashost1", last), c.seconds);
        } catch (const CCollectorException& e) {
            passed = false;
            EXPECT_NE(e.ReportText().find(u"saposcol time not within 13 hours of GMT."),
                      std::u16string::npos);
            EXPECT_NE(e.ReportText().find(u"qashost1"), std::u16string::npos);
        }
        EXPECT_EQ(passed, c.passes) << c.seconds;
    }
}

TEST(SaposcolTimeTest, FarOffDatesSaturateInsteadOfOverflowing) {
    const platform::DateTime now = MakeDateTime(2026, 12, 9, 13, 0, 0);
    EXPECT_EQ(SaposcolDifferenceSeconds(now, OleDate(0.0)), INT32_MAX);
    EXPECT_EQ(SaposcolDifferenceSeconds(now, OleDate(2958465.0)), INT32_MIN);
}

TEST(SaposcolSumsTest, SumsWrapAroundAtThirtyTwoBits) {
    EXPECT_EQ(WrappingSum({}), 0);
    EXPECT_EQ(WrappingSum({1, 2, -3}), 0);
    EXPECT_EQ(WrappingSum({INT32_MAX, 1}), INT32_MIN);
    EXPECT_EQ(WrappingSum({INT32_MIN, -1}), INT32_MAX);
    EXPECT_EQ(WrappingSum({INT32_MAX, INT32_MAX, 2}), 0);
}

TEST(SaposcolSumsTest, CpuSumLeavesOutTheRowKeys) {
    CGetCpuAll::Row cpu{};
    cpu.TYPE = cpu.SUBTYPE = cpu.SERIALNR = 1000;
    EXPECT_EQ(CpuCheckSum(cpu), 0);
    cpu.NBR_CPU = 2;
    cpu.WAIT_TRUE = 5;
    EXPECT_EQ(CpuCheckSum(cpu), 7);
    // A counter near the top wraps the sum below zero: the host reads as empty.
    cpu.IDLE_TOTAL = INT32_MAX - 7;
    EXPECT_EQ(CpuCheckSum(cpu), INT32_MAX);
    cpu.IDLE_TRUE = 1;
    EXPECT_EQ(CpuCheckSum(cpu), INT32_MIN);
}

TEST(SaposcolSumsTest, PagingSumLeavesOutTheInterval) {
    CSpagAllRfc::Row spag{};
    spag.INTRVALSEC = 60;
    EXPECT_EQ(SpagCheckSum(spag), 0);
    spag.AVGPROCUTL = 40;
    spag.PG_IN_BNUM = 2;
    EXPECT_EQ(SpagCheckSum(spag), 42);
    spag.PG_OUT = INT32_MAX;
    EXPECT_LT(SpagCheckSum(spag), 0);
}

}  // namespace
