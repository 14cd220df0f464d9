// SPDX-License-Identifier: MIT
// Currency against wider arithmetic. The input is three little-endian
// values: two amounts in ten-thousandths (a, b) and a double (d).
//   - fromDouble(d) is the exact value of d rounded to the nearest
//     ten-thousandth, ties to even (the C library's exact decimal printing
//     is the reference), or OverflowError outside the range or when d is
//     not finite;
//   - a + b and a x b agree with __int128 arithmetic, or throw OverflowError
//     exactly when that result leaves the range; a product with a whole
//     factor is exact;
//   - the exact decimal text reads back as the same amount, and amounts of
//     up to half a trillion survive a trip through double.
#include "fuzz_check.h"

#include "core/platform/currency.h"
#include "core/platform/errors.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

using platform::Currency;

namespace {

using i128 = __int128;

constexpr i128 kMin = INT64_MIN;
constexpr i128 kMax = INT64_MAX;

bool inRange(i128 value) { return value >= kMin && value <= kMax; }

long long low64(i128 value) { return static_cast<long long>(value); }

// A decimal text such as "-12.3456" as a count of ten-thousandths; nullopt
// when it is far beyond anything a Currency holds.
std::optional<i128> tenThousandthsOf(const std::string &text)
{
    i128 value = 0;
    bool negative = false;
    std::size_t decimals = 0;
    bool afterPoint = false;
    for (const char c : text) {
        if (c == '-') {
            negative = true;
        } else if (c == '.') {
            afterPoint = true;
        } else {
            FUZZ_CHECK(c >= '0' && c <= '9', "unexpected '%c' in \"%s\"", c, text.c_str());
            value = value * 10 + (c - '0');
            if (value > (i128{1} << 100))
                return std::nullopt;
            if (afterPoint)
                ++decimals;
        }
    }
    FUZZ_CHECK(decimals == 4, "\"%s\" has %zu decimals", text.c_str(), decimals);
    return negative ? -value : value;
}

void checkFromDouble(double d)
{
    std::optional<i128> expected;
    if (std::isfinite(d)) {
        // glibc prints the double's exact binary value rounded to four
        // decimals, ties to even: the rule Currency must follow.
        char text[400];
        std::snprintf(text, sizeof text, "%.4f", d);
        expected = tenThousandthsOf(text);
        if (expected && !inRange(*expected))
            expected.reset();
    }
    try {
        const Currency c = Currency::fromDouble(d);
        FUZZ_CHECK(expected.has_value(), "%a converted to %lld instead of overflowing", d,
                   static_cast<long long>(c.tenThousandths()));
        FUZZ_CHECK(c.tenThousandths() == *expected, "%a converted to %lld, not %lld", d,
                   static_cast<long long>(c.tenThousandths()), low64(*expected));
    } catch (const platform::OverflowError &) {
        FUZZ_CHECK(!expected.has_value(), "%a overflowed; it is %lld", d, low64(*expected));
    }
}

void checkSum(std::int64_t a, std::int64_t b)
{
    const i128 sum = i128{a} + b;
    try {
        const Currency c = Currency::fromTenThousandths(a) + Currency::fromTenThousandths(b);
        FUZZ_CHECK(inRange(sum) && c.tenThousandths() == sum, "%lld + %lld gave %lld", static_cast<long long>(a),
                   static_cast<long long>(b), static_cast<long long>(c.tenThousandths()));
    } catch (const platform::OverflowError &) {
        FUZZ_CHECK(!inRange(sum), "%lld + %lld overflowed", static_cast<long long>(a), static_cast<long long>(b));
    }
    // A failed += leaves its target as it was.
    Currency target = Currency::fromTenThousandths(a);
    try {
        target += Currency::fromTenThousandths(b);
    } catch (const platform::OverflowError &) {
        FUZZ_CHECK(target.tenThousandths() == a, "a failed += changed %lld", static_cast<long long>(a));
    }
}

// (a / 10^4) x (b / 10^4) in ten-thousandths: a x b / 10^4, rounded to the
// nearest whole number, ties to even.
i128 productOf(std::int64_t a, std::int64_t b)
{
    const i128 exact = i128{a} * b; // at most 2^126 in magnitude
    i128 quotient = exact / 10000;  // truncates towards zero
    const i128 remainder = exact % 10000;
    const i128 twice = 2 * (remainder < 0 ? -remainder : remainder);
    if (twice > 10000 || (twice == 10000 && quotient % 2 != 0))
        quotient += exact < 0 ? -1 : 1;
    return quotient;
}

void checkProduct(std::int64_t a, std::int64_t b)
{
    const i128 product = productOf(a, b);
    try {
        const Currency c = Currency::fromTenThousandths(a) * Currency::fromTenThousandths(b);
        FUZZ_CHECK(inRange(product) && c.tenThousandths() == product, "%lld x %lld gave %lld, not %lld",
                   static_cast<long long>(a), static_cast<long long>(b), static_cast<long long>(c.tenThousandths()),
                   low64(product));
    } catch (const platform::OverflowError &) {
        FUZZ_CHECK(!inRange(product), "%lld x %lld overflowed", static_cast<long long>(a), static_cast<long long>(b));
    }

    // A rate is a 16-bit whole number: its product is exact.
    const auto whole = static_cast<std::int16_t>(a);
    const i128 exact = i128{whole} * b;
    try {
        const Currency c = Currency::fromInt16(whole) * Currency::fromTenThousandths(b);
        FUZZ_CHECK(inRange(exact) && c.tenThousandths() == exact, "%d x %lld units gave %lld", whole,
                   static_cast<long long>(b), static_cast<long long>(c.tenThousandths()));
    } catch (const platform::OverflowError &) {
        FUZZ_CHECK(!inRange(exact), "%d x %lld units overflowed", whole, static_cast<long long>(b));
    }
}

void checkConversions(std::int64_t a)
{
    const Currency c = Currency::fromTenThousandths(a);
    const std::string text = c.toDecimalString();
    const auto back = tenThousandthsOf(text);
    FUZZ_CHECK(back && *back == a, "%lld prints as \"%s\"", static_cast<long long>(a), text.c_str());

    // Below 2^39 currency units a double is fine-grained enough to tell
    // every ten-thousandth apart.
    constexpr std::int64_t kExactInDouble = (std::int64_t{1} << 39) * Currency::kScale;
    if (a > -kExactInDouble && a < kExactInDouble) {
        const Currency again = Currency::fromDouble(c.toDouble());
        FUZZ_CHECK(again == c, "%lld came back from double as %lld", static_cast<long long>(a),
                   static_cast<long long>(again.tenThousandths()));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzzing::ByteReader input(data, size);
    const auto a = input.value<std::int64_t>();
    const auto b = input.value<std::int64_t>();
    const auto d = input.value<double>();

    checkFromDouble(d);
    checkSum(a, b);
    checkProduct(a, b);
    checkProduct(b, a);
    checkConversions(a);
    checkConversions(b);
    return 0;
}
