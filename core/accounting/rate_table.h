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
    {22, 95},
    {24, 137},
    {30, 160},
    {32, 192},
    {36, 250},
    {38, 400},
    {45, 550},
}};

// The hourly rate of a yacht size; a size not in the table is priced at 0.
platform::Currency rateForSize(const std::int16_t &size);

} // namespace accounting
