// SPDX-License-Identifier: MIT
#include "core/accounting/running_totals.h"
#include "core/platform/errors.h"
#include "core/platform/regional_format.h"

#include <gtest/gtest.h>

using accounting::RunningTotals;
using platform::Currency;

namespace {

Currency units(std::int64_t tenThousandths) { return Currency::fromTenThousandths(tenThousandths); }

TEST(RunningTotals, StartAtZero)
{
    const RunningTotals totals;
    EXPECT_EQ(totals.charterCount(), 0);
    EXPECT_EQ(totals.totalHours(), Currency());
    EXPECT_EQ(totals.totalRevenue(), Currency());
    EXPECT_THROW(totals.averageHours(), platform::InvalidArgumentError);
}

TEST(RunningTotals, SumHoursAndRevenueAndAverageTheHours)
{
    RunningTotals totals;
    totals.recordCharter(units(25000), units(3425000));
    totals.recordCharter(units(30000), units(4800000));
    totals.recordCharter(units(40000), units(7680000));
    EXPECT_EQ(totals.charterCount(), 3);
    EXPECT_EQ(totals.totalHours(), units(95000));
    EXPECT_EQ(totals.totalRevenue(), units(15905000));
    EXPECT_DOUBLE_EQ(totals.averageHours(), 9.5 / 3);

    const auto figures = totals.summaryFigures(platform::RegionalFormat("en_US"));
    EXPECT_EQ(figures.averageText.toStdString(), "3.2");
    EXPECT_EQ(figures.revenueText.toStdString(), "$1,590.50");
}

TEST(RunningTotals, OneCharterOfSevenHoursAveragesSevenPointZero)
{
    RunningTotals totals;
    totals.recordCharter(units(70000), units(70000 * 95));
    EXPECT_EQ(totals.summaryFigures(platform::RegionalFormat("C")).averageText.toStdString(), "7.0");
    EXPECT_EQ(totals.summaryFigures(platform::RegionalFormat("de_DE")).averageText.toStdString(), "7,0");
}

TEST(RunningTotals, AChargeOfZeroStillCountsAndAddsItsHours)
{
    RunningTotals totals;
    totals.recordCharter(units(0), units(0));
    totals.recordCharter(units(20000), units(0));
    EXPECT_EQ(totals.charterCount(), 2);
    EXPECT_EQ(totals.totalHours(), units(20000));
    EXPECT_EQ(totals.totalRevenue(), units(0));
}

TEST(RunningTotals, TheLastCharterThatFitsIsRecordedAndTheNextRefusedWithNothingChanged)
{
    RunningTotals totals;
    for (int i = 0; i < 32766; ++i)
        totals.recordCharter(units(10000), units(950000));
    totals.recordCharter(units(10000), units(950000));
    EXPECT_EQ(totals.charterCount(), 32767);

    const RunningTotals before = totals;
    EXPECT_THROW(totals.recordCharter(units(10000), units(950000)), platform::OverflowError);
    EXPECT_EQ(totals.charterCount(), before.charterCount());
    EXPECT_EQ(totals.totalHours(), before.totalHours());
    EXPECT_EQ(totals.totalRevenue(), before.totalRevenue());
    EXPECT_EQ(totals.totalHours(), units(327670000));
}

TEST(RunningTotals, AnOverflowingSumChangesNoTotal)
{
    RunningTotals totals;
    totals.recordCharter(units(10000), Currency::max());
    // Revenue would overflow: hours and count stay.
    EXPECT_THROW(totals.recordCharter(units(10000), units(1)), platform::OverflowError);
    EXPECT_EQ(totals.charterCount(), 1);
    EXPECT_EQ(totals.totalHours(), units(10000));
    EXPECT_EQ(totals.totalRevenue(), Currency::max());

    // Hours would overflow, revenue would not: revenue stays too.
    RunningTotals other;
    other.recordCharter(Currency::max(), units(0));
    EXPECT_THROW(other.recordCharter(units(1), units(5)), platform::OverflowError);
    EXPECT_EQ(other.totalRevenue(), units(0));
    EXPECT_EQ(other.charterCount(), 1);
}

} // namespace
