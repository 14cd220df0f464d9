// SPDX-License-Identifier: MIT
#include "accounting/running_totals.h"

#include "platform/errors.h"
#include "platform/regional_format.h"

namespace accounting {

// Hours and charge are both Currency amounts by design; the totals tests pin
// which is which.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
void RunningTotals::recordCharter(platform::Currency hours, platform::Currency charge)
{
    // Work everything out first so that a failure leaves the totals untouched.
    platform::Currency revenue;
    platform::Currency totalHours;
    try {
        revenue = m_totalRevenue + charge;
    } catch (const platform::OverflowError &) {
        throw platform::OverflowError("the total revenue would be larger than the program can hold");
    }
    try {
        totalHours = m_totalHours + hours;
    } catch (const platform::OverflowError &) {
        throw platform::OverflowError("the total hours would be larger than the program can hold");
    }
    if (m_charterCount >= kMaxCharters)
        throw platform::OverflowError("no more than 32,767 charters can be recorded while the program runs");
    m_totalRevenue = revenue;
    m_totalHours = totalHours;
    ++m_charterCount;
}

double RunningTotals::averageHours() const
{
    if (m_charterCount <= 0)
        throw platform::InvalidArgumentError("No charter has been recorded");
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

RunningTotals &programTotals()
{
    static RunningTotals totals;
    return totals;
}

} // namespace accounting
