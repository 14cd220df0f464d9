// SPDX-License-Identifier: MIT
#include "print_bench_data.h"

#include "core/accounting/pricing.h"
#include "core/accounting/rate_table.h"
#include "core/accounting/running_totals.h"
#include "core/platform/regional_format.h"

#include <array>
#include <random>
#include <string>

namespace bench {
namespace {

constexpr std::array kFirstNames{"Ann", "Bartholomew", "Chen", "Dagny", "Esteban", "Fiona", "Gwendolyn",
                                 "Hiroshi", "Ingrid", "José", "Kwame", "Lars", "Maximilian", "Nkechi"};
constexpr std::array kLastNames{"Jones", "Smith", "O'Neill", "Müller", "Nakamura", "Van der Berg", "Lee",
                                "Abernathy-Wolcott", "Ng", "Kowalczyk", "Silva", "Ørsted"};
constexpr std::array kTypes{"C & C", "Catalina", "Coronada", "Excalibur", "Hans Christian", "Hobie",
                            "Ranger", "WaveLength", "J Boat", "Beneteau Oceanis"};
constexpr std::array kHours{"0.5", "1", "2.5", "3", "4", "6.25", "8", "12", "24", "100", "1.75"};

template <typename Array>
auto pick(const Array &array, std::mt19937 &random)
{
    return array[std::uniform_int_distribution<std::size_t>(0, array.size() - 1)(random)];
}

} // namespace

Day makeDay(int count)
{
    const platform::RegionalFormat format("en_US");
    accounting::RunningTotals totals;
    std::mt19937 random(20240611); // fixed, so every run prints the same lines
    Day day;
    day.charters.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string hours = pick(kHours, random);
        const std::int16_t size = pick(accounting::kRateTable, random).sizeInFeet;
        const auto price = accounting::priceCharter(hours, std::to_string(size));
        totals.recordCharter(price.hours, price.charge);
        day.charters.push_back({QString::fromUtf8(pick(kFirstNames, random)) + QLatin1Char(' ')
                                    + QString::fromUtf8(pick(kLastNames, random)),
                                QString::fromUtf8(pick(kTypes, random)), size,
                                format.formatNumber(price.hours, 1), format.formatCurrency(price.charge)});
    }
    if (count > 0) {
        const auto figures = totals.summaryFigures(format);
        day.averageText = figures.averageText;
        day.revenueText = figures.revenueText;
    }
    return day;
}

} // namespace bench
