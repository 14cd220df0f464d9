// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/currency.h"

#include <QString>

#include <cstdint>

namespace platform {
class RegionalFormat;
}

namespace accounting {

struct SummaryFigures {
    double averageHours = 0.0;
    QString averageText; // one decimal
    QString revenueText; // currency
};

// The running totals over every charter accepted since the program started.
// Nothing subtracts from them and nothing resets them.
class RunningTotals {
public:
    static constexpr std::int16_t kMaxCharters = INT16_MAX;

    // Adds one charter. All or nothing: when any total would overflow (a sum
    // past the Currency range, or a 32,768th charter) nothing changes and
    // OverflowError is thrown.
    void recordCharter(platform::Currency hours, platform::Currency charge);
    // Totals as an earlier run left them (the journal of unprinted lines).
    static RunningTotals restored(std::int16_t charterCount, platform::Currency totalHours,
                                  platform::Currency totalRevenue)
    {
        RunningTotals totals;
        totals.m_charterCount = charterCount;
        totals.m_totalHours = totalHours;
        totals.m_totalRevenue = totalRevenue;
        return totals;
    }

    std::int16_t charterCount() const { return m_charterCount; }
    platform::Currency totalHours() const { return m_totalHours; }
    platform::Currency totalRevenue() const { return m_totalRevenue; }

    // Only meaningful once a charter has been recorded; throws
    // InvalidArgumentError before that.
    double averageHours() const;
    SummaryFigures summaryFigures(const platform::RegionalFormat &format) const;

private:
    std::int16_t m_charterCount = 0;
    platform::Currency m_totalHours;
    platform::Currency m_totalRevenue;
};

} // namespace accounting
