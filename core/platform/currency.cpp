// SPDX-License-Identifier: MIT
#include "core/platform/currency.h"

#include "core/platform/errors.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace platform {
namespace {

__extension__ using u128 = unsigned __int128;

constexpr std::uint64_t kMagnitudeLimitPositive = static_cast<std::uint64_t>(INT64_MAX);
constexpr std::uint64_t kMagnitudeLimitNegative = kMagnitudeLimitPositive + 1;

// Divides by 2^shift, rounding the exact quotient to nearest, ties to even.
u128 shiftRightHalfEven(u128 value, int shift)
{
    if (shift == 0)
        return value;
    if (shift >= 127)
        return 0; // value < 2^126 here, so the quotient is below one half
    const u128 quotient = value >> shift;
    const u128 remainder = value & ((u128{1} << shift) - 1);
    const u128 half = u128{1} << (shift - 1);
    if (remainder > half || (remainder == half && (quotient & 1) != 0))
        return quotient + 1;
    return quotient;
}

// Divides by a positive divisor, rounding to nearest, ties to even.
u128 divideHalfEven(u128 value, u128 divisor)
{
    const u128 quotient = value / divisor;
    const u128 remainder = value % divisor;
    const u128 twice = remainder * 2;
    if (twice > divisor || (twice == divisor && (quotient & 1) != 0))
        return quotient + 1;
    return quotient;
}

std::int64_t signedFromMagnitude(u128 magnitude, bool negative)
{
    if (magnitude > (negative ? kMagnitudeLimitNegative : kMagnitudeLimitPositive))
        throw OverflowError();
    const auto bits = static_cast<std::uint64_t>(magnitude);
    // Two's complement negation through unsigned arithmetic is defined for 2^63.
    return negative ? static_cast<std::int64_t>(~bits + 1) : static_cast<std::int64_t>(bits);
}

u128 magnitudeOf(std::int64_t units)
{
    const auto bits = static_cast<std::uint64_t>(units);
    return units < 0 ? u128{~bits + 1} : u128{bits};
}

} // namespace

Currency Currency::fromDouble(double value)
{
    if (!std::isfinite(value))
        throw OverflowError();
    if (value == 0.0)
        return {};
    const bool negative = std::signbit(value);
    // |value| = mantissa * 2^exponent exactly, with a 53-bit integer mantissa.
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    exponent -= 53;
    if (exponent > 0)
        throw OverflowError(); // at least 2^54, far beyond the range
    const u128 scaled = u128{mantissa} * kScale; // below 2^67
    return Currency(signedFromMagnitude(shiftRightHalfEven(scaled, -exponent), negative));
}

double Currency::toDouble() const
{
    return static_cast<double>(m_units) / static_cast<double>(kScale);
}

std::string Currency::toDecimalString() const
{
    const auto magnitude = static_cast<std::uint64_t>(magnitudeOf(m_units));
    const auto scale = static_cast<std::uint64_t>(kScale);
    std::array<char, 32> buffer{};
    const int length = std::snprintf(buffer.data(), buffer.size(), "%s%llu.%04llu", m_units < 0 ? "-" : "",
                                     static_cast<unsigned long long>(magnitude / scale),
                                     static_cast<unsigned long long>(magnitude % scale));
    return {buffer.data(), static_cast<std::size_t>(length)};
}

Currency Currency::operator+(Currency other) const
{
    std::int64_t sum = 0;
    if (__builtin_add_overflow(m_units, other.m_units, &sum))
        throw OverflowError();
    return Currency(sum);
}

Currency Currency::operator*(Currency other) const
{
    const bool negative = (m_units < 0) != (other.m_units < 0);
    const u128 product = magnitudeOf(m_units) * magnitudeOf(other.m_units); // below 2^126
    return Currency(signedFromMagnitude(divideHalfEven(product, static_cast<u128>(kScale)), negative));
}

} // namespace platform
