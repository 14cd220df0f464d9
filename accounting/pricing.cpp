// SPDX-License-Identifier: MIT
#include "accounting/pricing.h"

#include "accounting/rate_table.h"
#include "platform/conversions.h"

namespace accounting {

CharterPrice priceCharter(std::string_view hoursText, std::string_view sizeText, RateLookup rateForSize)
{
    CharterPrice price;
    price.hours = platform::Currency::fromDouble(platform::readNumber(hoursText));
    price.size = platform::textToInt16(sizeText);
    price.rate = rateForSize(price.size);
    price.charge = price.rate * price.hours;
    return price;
}

CharterPrice priceCharter(std::string_view hoursText, std::string_view sizeText)
{
    return priceCharter(hoursText, sizeText, &RateForSize);
}

} // namespace accounting
