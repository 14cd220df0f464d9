// SPDX-License-Identifier: MIT
#include "core/platform/currency.h"
#include "core/platform/errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using platform::Currency;
using platform::OverflowError;

namespace {

__extension__ typedef __int128 i128;

Currency units(std::int64_t tenThousandths) { return Currency::fromTenThousandths(tenThousandths); }

struct FromDoubleCase {
    double value;
    std::int64_t expected;
};

void PrintTo(const FromDoubleCase &c, std::ostream *out) { *out << c.value; }

class CurrencyFromDouble : public testing::TestWithParam<FromDoubleCase> {};

TEST_P(CurrencyFromDouble, RoundsTheExactValueToTenThousandthsTiesToEven)
{
    EXPECT_EQ(Currency::fromDouble(GetParam().value).tenThousandths(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CurrencyFromDouble, testing::Values(
    FromDoubleCase{3.33333, 33333},
    FromDoubleCase{2.71828, 27183},
    FromDoubleCase{0.00001, 0},
    FromDoubleCase{2.5, 25000},
    FromDoubleCase{-2.71828, -27183},
    // 0.00005 is stored just above the midpoint, so it rounds up; a
    // computation of 0.00005 * 10000 in double would hide that.
    FromDoubleCase{0.00005, 1},
    FromDoubleCase{0.00015, 1},      // stored just below the midpoint
    FromDoubleCase{1.00005, 10001},  // stored just above it
    FromDoubleCase{-0.0, 0},
    FromDoubleCase{std::numeric_limits<double>::denorm_min(), 0},
    // The doubles nearest the ends that still lie inside the range.
    FromDoubleCase{922337203685477.5, 9223372036854775000},
    FromDoubleCase{-922337203685477.5, -9223372036854775000}));

TEST(CurrencyRounding, TiesGoToTheEvenTenThousandth)
{
    // Binary fractions m/32 are exact halves of a ten-thousandth.
    EXPECT_EQ(Currency::fromDouble(0.03125).tenThousandths(), 312);  // 312.5
    EXPECT_EQ(Currency::fromDouble(0.09375).tenThousandths(), 938);  // 937.5
    EXPECT_EQ(Currency::fromDouble(-0.03125).tenThousandths(), -312);
}

TEST(CurrencyRounding, OverflowsOutsideTheRangeAndOnNonFiniteValues)
{
    for (double value : {922337203685477.6, 922337203685478.0, -922337203685477.7, 1e300, -1e300,
                         std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::quiet_NaN()}) {
        EXPECT_THROW(Currency::fromDouble(value), OverflowError) << value;
    }
}

TEST(CurrencyArithmetic, AdditionIsExactUpToBothEnds)
{
    EXPECT_EQ((units(1) + units(2)).tenThousandths(), 3);
    EXPECT_EQ(Currency::max(), units(INT64_MAX - 1) + units(1));
    EXPECT_EQ(Currency::min(), units(INT64_MIN + 1) + units(-1));
    EXPECT_EQ(units(0), Currency::max() + Currency::min() + units(1));
}

TEST(CurrencyArithmetic, AdditionOverflowsOneStepPastEitherEnd)
{
    EXPECT_THROW(Currency::max() + units(1), OverflowError);
    EXPECT_THROW(Currency::min() + units(-1), OverflowError);
    Currency total = Currency::max();
    EXPECT_THROW(total += units(1), OverflowError);
    EXPECT_EQ(total, Currency::max()) << "a failed += must leave its target alone";
}

TEST(CurrencyArithmetic, ProductWithAWholeFactorKeepsTheFourDecimals)
{
    EXPECT_EQ(Currency::fromInt16(550) * Currency::fromDouble(1), units(5500000));
    EXPECT_EQ(Currency::fromInt16(95) * Currency::fromDouble(0.5), units(475000));
    EXPECT_EQ(Currency::fromInt16(137) * Currency::fromDouble(2.5), units(3425000));
    EXPECT_EQ(Currency::fromInt16(550) * units(1), units(550));
    EXPECT_EQ(Currency::fromInt16(-3) * units(7), units(-21));
    EXPECT_EQ(Currency::fromInt16(0) * Currency::min(), units(0));
}

TEST(CurrencyArithmetic, ProductReachesBothEndsAndOverflowsOneStepPast)
{
    EXPECT_EQ(Currency::fromInt16(1) * Currency::max(), Currency::max());
    EXPECT_EQ(Currency::fromInt16(-1) * Currency::max(), units(-INT64_MAX));
    EXPECT_EQ(Currency::fromInt16(1) * Currency::min(), Currency::min());
    EXPECT_THROW(Currency::fromInt16(-1) * Currency::min(), OverflowError);
    EXPECT_THROW(Currency::fromInt16(2) * units(INT64_MAX / 2 + 1), OverflowError);
    EXPECT_EQ(Currency::fromInt16(2) * units(INT64_MAX / 2), units(INT64_MAX - 1));
    EXPECT_THROW(Currency::fromInt16(550) * Currency::fromDouble(1e13), OverflowError);
}

TEST(CurrencyArithmetic, ProductOfTwoFractionsRoundsTiesToEven)
{
    EXPECT_EQ(units(5) * units(1000), units(0));   // 0.0005 x 0.1 = 0.00005 -> 0
    EXPECT_EQ(units(15) * units(1000), units(2));  // 0.00015 -> 0.0002
    EXPECT_EQ(units(25) * units(1000), units(2));  // 0.00025 -> 0.0002
    EXPECT_EQ(units(-15) * units(1000), units(-2));
}

TEST(CurrencyArithmetic, RandomSumsAndProductsAgreeWithWideArithmetic)
{
    std::mt19937_64 random(20261208);
    std::uniform_int_distribution<std::int64_t> anyUnits(INT64_MIN, INT64_MAX);
    std::uniform_int_distribution<std::int16_t> anyWhole(INT16_MIN, INT16_MAX);
    for (int i = 0; i < 20000; ++i) {
        const std::int64_t a = anyUnits(random) >> (random() % 64);
        const std::int64_t b = anyUnits(random) >> (random() % 64);
        const i128 sum = static_cast<i128>(a) + b;
        if (sum > INT64_MAX || sum < INT64_MIN)
            EXPECT_THROW(units(a) + units(b), OverflowError);
        else
            EXPECT_EQ((units(a) + units(b)).tenThousandths(), static_cast<std::int64_t>(sum));

        const std::int16_t whole = anyWhole(random);
        const i128 product = static_cast<i128>(a) * whole;
        if (product > INT64_MAX || product < INT64_MIN)
            EXPECT_THROW(units(a) * Currency::fromInt16(whole), OverflowError);
        else
            EXPECT_EQ((units(a) * Currency::fromInt16(whole)).tenThousandths(), static_cast<std::int64_t>(product));
    }
}

TEST(CurrencyConversion, ToDoubleAndExactText)
{
    EXPECT_EQ(units(95000).toDouble(), 9.5);
    EXPECT_EQ(units(33333).toDouble(), 3.3333);
    EXPECT_EQ(Currency::max().toDecimalString(), "922337203685477.5807");
    EXPECT_EQ(Currency::min().toDecimalString(), "-922337203685477.5808");
    EXPECT_EQ(units(0).toDecimalString(), "0.0000");
    EXPECT_EQ(units(-1).toDecimalString(), "-0.0001");
    EXPECT_EQ(units(5500000).toDecimalString(), "550.0000");
    EXPECT_EQ(Currency::fromInt16(-32768).toDecimalString(), "-32768.0000");
}

} // namespace
