// SPDX-License-Identifier: MIT
#include "core/accounting/pricing.h"

#include "core/accounting/rate_table.h"
#include "core/platform/conversions.h"
#include "core/platform/errors.h"

namespace accounting {

// Two field texts side by side, as the entry window hands them over; the
// pricing tests pin which is which.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
CharterPrice priceCharter(std::string_view hoursText, std::string_view sizeText, RateLookup rateForSize)
{
    CharterPrice price;
    try {
        price.hours = platform::Currency::fromDouble(platform::readNumber(hoursText));
    } catch (const platform::OverflowError &) {
        throw platform::OverflowError(platform::Fault::HoursTooLarge, "hours out of range");
    }
    price.size = platform::textToInt16(sizeText);
    price.rate = rateForSize(price.size);
    try {
        price.charge = price.rate * price.hours;
    } catch (const platform::OverflowError &) {
        throw platform::OverflowError(platform::Fault::ChargeTooLarge, "charge out of range");
    }
    return price;
}

CharterPrice priceCharter(std::string_view hoursText, std::string_view sizeText)
{
    return priceCharter(hoursText, sizeText, &rateForSize);
}

} // namespace accounting
