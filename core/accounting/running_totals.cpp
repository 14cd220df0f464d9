// SPDX-License-Identifier: MIT
#include "core/accounting/running_totals.h"

#include "core/platform/errors.h"
#include "core/platform/regional_format.h"

namespace accounting {

// Hours and charge are both Currency amounts by design; the totals tests pin
// which is which.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
void RunningTotals::recordCharter(platform::Currency hours, platform::Currency charge)
{
    // Work everything out first so that a failure leaves the totals untouched.
    platform::Currency revenue;
    platform::Currency hoursSoFar;
    try {
        revenue = m_totalRevenue + charge;
    } catch (const platform::OverflowError &) {
        throw platform::OverflowError(platform::Fault::TotalRevenueTooLarge, "total revenue out of range");
    }
    try {
        hoursSoFar = m_totalHours + hours;
    } catch (const platform::OverflowError &) {
        throw platform::OverflowError(platform::Fault::TotalHoursTooLarge, "total hours out of range");
    }
    if (m_charterCount >= kMaxCharters)
        throw platform::OverflowError(platform::Fault::TooManyCharters, "charter count out of range");
    m_totalRevenue = revenue;
    m_totalHours = hoursSoFar;
    ++m_charterCount;
}

double RunningTotals::averageHours() const
{
    if (m_charterCount <= 0)
        throw platform::InvalidArgumentError(platform::Fault::ArgumentOutOfRange, "no charter recorded");
    return m_totalHours.toDouble() / static_cast<double>(m_charterCount);
}

SummaryFigures RunningTotals::summaryFigures(const platform::RegionalFormat &format) const
{
    SummaryFigures figures;
    figures.averageHours = averageHours();
    figures.averageText = format.formatNumber(figures.averageHours, 1);
    figures.revenueText = format.formatCurrency(m_totalRevenue);
    return figures;
}


} // namespace accounting
