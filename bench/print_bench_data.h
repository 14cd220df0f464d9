// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// Charters for the printing benchmarks: varied names, types, sizes and
// hours, priced and formatted as the entry window does it, so the printed
// lines have the lengths real ones have.
namespace bench {

struct Charter {
    QString name;
    QString type;
    std::int16_t size = 0;
    QString hoursText;
    QString chargeText;
};

struct Day {
    std::vector<Charter> charters;
    QString averageText; // the summary's figures over all of them
    QString revenueText;
};

// The same `count` charters for the same count, every time. At most 32,767,
// the most the running totals can count.
Day makeDay(int count);

} // namespace bench
