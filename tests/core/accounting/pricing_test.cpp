// SPDX-License-Identifier: MIT
#include "core/accounting/pricing.h"
#include "core/accounting/rate_table.h"
#include "core/platform/errors.h"

#include <gtest/gtest.h>

#include <optional>

using accounting::rateForSize;
using platform::Currency;

namespace {

Currency units(std::int64_t tenThousandths) { return Currency::fromTenThousandths(tenThousandths); }

// As the entry window prices: the hours field read once, then priced.
accounting::CharterPrice priceCharter(const char *hours, const char *size)
{
    return accounting::priceCharter(accounting::readHours(hours), size);
}

// Every size of the table is priced in the Pricing table below.
TEST(RateTable, SizesOutsideTheTableArePricedAtZero)
{
    for (std::int16_t size : std::initializer_list<std::int16_t>{23, 0, -22, 46, 21, INT16_MIN, INT16_MAX})
        EXPECT_EQ(rateForSize(size), Currency()) << size;
}

struct PricingCase {
    const char *hours;
    const char *size;
    std::int64_t expectedHours;
    std::int64_t expectedCharge;
};

void PrintTo(const PricingCase &c, std::ostream *out) { *out << '"' << c.hours << "\" at size " << c.size; }

class Pricing : public testing::TestWithParam<PricingCase> {};

TEST_P(Pricing, RoundsTheHoursFirstThenMultipliesExactly)
{
    const auto price = priceCharter(GetParam().hours, GetParam().size);
    EXPECT_EQ(price.hours, units(GetParam().expectedHours));
    EXPECT_EQ(price.charge, units(GetParam().expectedCharge));
}

INSTANTIATE_TEST_SUITE_P(Table, Pricing, testing::Values(
    PricingCase{"1", "45", 10000, 5500000},
    PricingCase{"0.5", "22", 5000, 475000},
    PricingCase{"2.5", "24", 25000, 3425000},
    PricingCase{"5", "30", 50000, 8000000},
    PricingCase{"3.33333", "36", 33333, 250 * 33333},   // 833.3250, not 833.3325
    PricingCase{"2.71828", "38", 27183, 400 * 27183},
    PricingCase{"0.00001", "45", 0, 0},
    PricingCase{"1,5", "22", 10000, 950000},
    PricingCase{"2 5", "22", 250000, 23750000},
    PricingCase{"1E1", "22", 100000, 9500000},
    PricingCase{"7x", "32", 70000, 13440000}));

TEST(Pricing, KeepsTheRateAndSizeItUsed)
{
    const auto price = priceCharter("2.5", "24");
    EXPECT_EQ(price.size, 24);
    EXPECT_EQ(price.rate, Currency::fromInt16(137));
}

// Which of the two left the range, since the clerk is told which.
std::optional<platform::Fault> overflowOf(const char *hours, const char *size)
{
    try {
        priceCharter(hours, size);
    } catch (const platform::OverflowError &error) {
        return error.fault();
    }
    return std::nullopt;
}

TEST(Pricing, HoursOrChargeOutsideTheMoneyRangeOverflow)
{
    EXPECT_EQ(overflowOf("1E15", "22"), platform::Fault::HoursTooLarge);
    EXPECT_EQ(overflowOf("1E400", "22"), platform::Fault::HoursTooLarge);
    // The hours fit, the charge does not.
    EXPECT_EQ(overflowOf("1E13", "45"), platform::Fault::ChargeTooLarge);
    EXPECT_EQ(priceCharter("1E13", "23").charge, Currency());
}

} // namespace
