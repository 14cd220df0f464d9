// SPDX-License-Identifier: MIT
#include "core/accounting/pricing.h"

#include "core/accounting/rate_table.h"
#include "core/platform/conversions.h"
#include "core/platform/errors.h"

namespace accounting {
namespace {

// Runs `compute`, telling an overflow as the fault named, since the clerk is
// told which value left its range.
template <typename Compute> auto overflowAs(platform::Fault fault, const char *what, Compute compute)
{
    try {
        return compute();
    } catch (const platform::OverflowError &) {
        throw platform::OverflowError(fault, what);
    }
}

auto overflowAsHours(auto compute)
{
    return overflowAs(platform::Fault::HoursTooLarge, "hours out of range", compute);
}

} // namespace

double readHours(std::string_view hoursText)
{
    return overflowAsHours([hoursText] { return platform::readNumber(hoursText); });
}

CharterPrice priceCharter(double hours, std::string_view sizeText)
{
    CharterPrice price;
    price.hours = overflowAsHours([hours] { return platform::Currency::fromDouble(hours); });
    price.size = platform::textToInt16(sizeText);
    price.rate = rateForSize(price.size);
    price.charge = overflowAs(platform::Fault::ChargeTooLarge, "charge out of range",
                              [&price] { return price.rate * price.hours; });
    return price;
}

} // namespace accounting
