// SPDX-License-Identifier: MIT
#include "print_bench_data.h"

#include "core/accounting/pricing.h"
#include "core/accounting/rate_table.h"

#include <array>
#include <string>

namespace bench {
namespace {

constexpr std::array kTypes{"C & C", "Catalina", "Coronada", "Excalibur",
                            "Hans Christian", "Hobie", "Ranger", "WaveLength"};

} // namespace

Charter nextCharter(int index, accounting::RunningTotals &totals, const platform::RegionalFormat &format)
{
    const std::int16_t size = accounting::kRateTable[static_cast<std::size_t>(index % 7)].sizeInFeet;
    const int tenths = 5 + (index * 7) % 95;
    const std::string hours = std::to_string(tenths / 10) + '.' + std::to_string(tenths % 10);
    const auto price = accounting::priceCharter(accounting::readHours(hours), std::to_string(size));
    totals.recordCharter(price.hours, price.charge);
    return {QStringLiteral("Customer %1").arg(index + 1, 5, 10, QLatin1Char('0')),
            QString::fromLatin1(kTypes[static_cast<std::size_t>(index % 8)]), size,
            format.formatNumber(price.hours, 1), format.formatCurrency(price.charge)};
}

Day makeDay(int count)
{
    const platform::RegionalFormat format("en_US");
    accounting::RunningTotals totals;
    Day day;
    day.charters.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        day.charters.push_back(nextCharter(i, totals, format));
    if (count > 0) {
        const auto figures = totals.summaryFigures(format);
        day.averageText = figures.averageText;
        day.revenueText = figures.revenueText;
    }
    return day;
}

} // namespace bench
