// SPDX-License-Identifier: MIT
#include "accounting/pricing.h"

#include "accounting/rate_table.h"
#include "platform/conversions.h"
#include "platform/errors.h"

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
        throw platform::OverflowError("the number of hours is larger than the program can hold");
    }
    price.size = platform::textToInt16(sizeText);
    price.rate = rateForSize(price.size);
    try {
        price.charge = price.rate * price.hours;
    } catch (const platform::OverflowError &) {
        throw platform::OverflowError("the charge is larger than the program can hold");
    }
    return price;
}

CharterPrice priceCharter(std::string_view hoursText, std::string_view sizeText)
{
    return priceCharter(hoursText, sizeText, &RateForSize);
}

} // namespace accounting
