// SPDX-License-Identifier: MIT
#pragma once

#include "core/platform/currency.h"

#include <array>
#include <cstdint>

namespace accounting {

struct SizeRate {
    std::int16_t sizeInFeet;
    std::int16_t hourlyRate; // whole currency units
};

// The fixed hourly rates by yacht size, in the order they are tested.
inline constexpr std::array<SizeRate, 7> kRateTable{{
    {.sizeInFeet = 22, .hourlyRate = 95},
    {.sizeInFeet = 24, .hourlyRate = 137},
    {.sizeInFeet = 30, .hourlyRate = 160},
    {.sizeInFeet = 32, .hourlyRate = 192},
    {.sizeInFeet = 36, .hourlyRate = 250},
    {.sizeInFeet = 38, .hourlyRate = 400},
    {.sizeInFeet = 45, .hourlyRate = 550},
}};

// The hourly rate of a yacht size; a size not in the table is priced at 0.
platform::Currency rateForSize(const std::int16_t &size);

} // namespace accounting
