// SPDX-License-Identifier: MIT
#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace platform {

// Fixed-point money: a signed 64-bit count of ten-thousandths, so four decimal
// places from -922337203685477.5808 to 922337203685477.5807. Every operation
// that would leave that range throws OverflowError instead of wrapping.
class Currency {
public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Currency() = default;

    static constexpr Currency fromTenThousandths(std::int64_t units) { return Currency(units); }
    static constexpr Currency fromInt16(std::int16_t whole) { return Currency(std::int64_t{whole} * kScale); }
    static constexpr Currency max() { return Currency(INT64_MAX); }
    static constexpr Currency min() { return Currency(INT64_MIN); }

    // Rounds the double's exact binary value to the nearest ten-thousandth,
    // ties to even. NaN, infinities and values outside the range overflow.
    static Currency fromDouble(double value);

    constexpr std::int64_t tenThousandths() const { return m_units; }
    double toDouble() const;

    // Exact decimal text with four decimals, e.g. "-12.5000"; no grouping,
    // point as separator. Used to hand the exact value to formatters.
    std::string toDecimalString() const;

    Currency operator+(Currency other) const;
    Currency &operator+=(Currency other) { return *this = *this + other; }
    // The product keeps four decimals. It is exact when either factor is whole
    // (a rate times hours); otherwise the last digit is rounded ties to even.
    Currency operator*(Currency other) const;

    constexpr auto operator<=>(const Currency &) const = default;

private:
    constexpr explicit Currency(std::int64_t units) : m_units(units) {}
    std::int64_t m_units = 0;
};

} // namespace platform
