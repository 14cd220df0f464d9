// SPDX-License-Identifier: MIT
#include "core/accounting/rate_table.h"

namespace accounting {

platform::Currency rateForSize(const std::int16_t &size)
{
    for (const SizeRate &entry : kRateTable) {
        if (entry.sizeInFeet == size)
            return platform::Currency::fromInt16(entry.hourlyRate);
    }
    return platform::Currency::fromInt16(0);
}

} // namespace accounting
