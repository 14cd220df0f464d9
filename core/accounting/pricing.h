// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/currency.h"

#include <cstdint>
#include <string_view>

namespace accounting {

struct CharterPrice {
    platform::Currency hours; // rounded to the ten-thousandth before pricing
    std::int16_t size = 0;
    platform::Currency rate;
    platform::Currency charge; // rate x hours, exact
};

// The text of the hours field read once, leniently, as the number the entry
// window checks and priceCharter then prices. Throws OverflowError
// (HoursTooLarge) for a number beyond the double range.
double readHours(std::string_view hoursText);

// Prices one charter from the hours read and the text of the chosen size:
// hours rounded to Currency, the size converted to a 16-bit integer, its
// hourly rate from the rate table, then rate x hours. Throws OverflowError
// when the hours or the charge leave the Currency range.
CharterPrice priceCharter(double hours, std::string_view sizeText);

} // namespace accounting
