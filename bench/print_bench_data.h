// SPDX-License-Identifier: MIT
#pragma once

#include "core/accounting/running_totals.h"
#include "core/platform/regional_format.h"

#include <QString>

#include <cstdint>
#include <vector>

// Charters for the printing benchmarks, priced, recorded and formatted as
// the entry window does it: customer "Customer 00001" and on, the eight
// yacht types and seven sizes in turn, 0.5 to 9.9 hours; the same lines the
// printing floor of the performance tools draws, so both paginate alike.
namespace bench {

struct Charter {
    QString name;
    QString type;
    std::int16_t size = 0;
    QString hoursText;
    QString chargeText;
};

// Makes charter number `index` (from 0) and records it in `totals`.
Charter nextCharter(int index, accounting::RunningTotals &totals, const platform::RegionalFormat &format);

struct Day {
    std::vector<Charter> charters;
    QString averageText; // the summary's figures over all of them
    QString revenueText;
};

// The first `count` charters, at most 32,767 (the most the totals count).
Day makeDay(int count);

} // namespace bench
