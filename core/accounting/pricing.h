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

using RateLookup = platform::Currency (*)(const std::int16_t &size);

// Prices one charter from the texts of the hours field and of the chosen
// size: hours read leniently and rounded to Currency, the size converted to a
// 16-bit integer, its hourly rate looked up, then rate x hours. Throws
// OverflowError when the hours or the charge leave the Currency range.
CharterPrice priceCharter(std::string_view hoursText, std::string_view sizeText, RateLookup rateForSize);
CharterPrice priceCharter(std::string_view hoursText, std::string_view sizeText);

} // namespace accounting
