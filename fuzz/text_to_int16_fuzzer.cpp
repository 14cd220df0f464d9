// SPDX-License-Identifier: MIT
// Text to 16-bit integer on any bytes: it returns a value, or throws
// InvalidArgumentError (not a number) or OverflowError (out of range), and
// nothing else. Plain decimal texts are checked against an exact model.
#include "fuzz_check.h"

#include "core/platform/conversions.h"
#include "core/platform/errors.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

enum class Outcome { Value, NotANumber, Overflow };

struct Conversion {
    Outcome outcome = Outcome::Value;
    std::int16_t value = 0;
};

Conversion convert(std::string_view text)
{
    try {
        return {Outcome::Value, platform::textToInt16(text)};
    } catch (const platform::InvalidArgumentError &) {
        return {Outcome::NotANumber, 0};
    } catch (const platform::OverflowError &) {
        return {Outcome::Overflow, 0};
    }
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Blanks, an optional sign, decimal digits and at most one point (blanks may
// also stand between them), nothing else: the exact decimal rounded to the
// nearest integer, ties to even, or overflow outside -32768..32767. Up to 15
// significant digits, so that reading through a double cannot move the
// value onto or across a tie.
std::optional<Conversion> decimalModel(std::string_view text)
{
    bool negative = false;
    bool seenSign = false;
    bool seenPoint = false;
    int digits = 0;
    int significant = 0;
    std::int64_t whole = 0;
    std::string fraction;
    for (const char c : text) {
        if (isBlank(c))
            continue;
        if ((c == '+' || c == '-') && !seenSign && digits == 0 && !seenPoint) {
            seenSign = true;
            negative = c == '-';
            continue;
        }
        if (c == '.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (c < '0' || c > '9')
            return std::nullopt;
        ++digits;
        if (significant > 0 || c != '0')
            ++significant;
        if (significant > 15)
            return std::nullopt;
        if (seenPoint)
            fraction += c;
        else
            whole = whole * 10 + (c - '0');
    }
    if (digits == 0)
        return std::nullopt;
    // Compare the fraction with one half.
    const auto firstNonZero = fraction.find_first_not_of('0', 1);
    const int half = fraction.empty() || fraction[0] < '5' ? -1
                     : fraction[0] > '5' || firstNonZero != std::string::npos ? 1
                                                                             : 0;
    if (half > 0 || (half == 0 && whole % 2 != 0))
        ++whole;
    const std::int64_t value = negative ? -whole : whole;
    if (value < INT16_MIN || value > INT16_MAX)
        return Conversion{Outcome::Overflow, 0};
    return Conversion{Outcome::Value, static_cast<std::int16_t>(value)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const Conversion conversion = convert(text);

    if (conversion.outcome == Outcome::Value) {
        // Only a text that is a number and nothing more converts, to the
        // nearest integer of what the lenient reader makes of it.
        const platform::LeadingNumber number = platform::readLeadingNumber(text);
        FUZZ_CHECK(number.length > 0, "converted to %d without a number", conversion.value);
        for (const char c : text.substr(number.length))
            FUZZ_CHECK(isBlank(c), "converted to %d with '%c' after the number", conversion.value, c);
        FUZZ_CHECK(std::fabs(number.value - conversion.value) <= 0.5, "%.17g converted to %d", number.value,
                   conversion.value);
    }

    if (const auto expected = decimalModel(text)) {
        FUZZ_CHECK(expected->outcome == conversion.outcome && expected->value == conversion.value,
                   "model: outcome %d value %d; conversion: outcome %d value %d",
                   static_cast<int>(expected->outcome), expected->value, static_cast<int>(conversion.outcome),
                   conversion.value);
    }

    // Narrowing a 64-bit integer: the value itself inside the range,
    // OverflowError outside it.
    if (size >= sizeof(std::int64_t)) {
        const auto wide = fuzzing::ByteReader(data, size).value<std::int64_t>();
        try {
            const std::int16_t narrow = platform::narrowToInt16(wide);
            FUZZ_CHECK(wide >= INT16_MIN && wide <= INT16_MAX && narrow == wide, "%lld narrowed to %d",
                       static_cast<long long>(wide), narrow);
        } catch (const platform::OverflowError &) {
            FUZZ_CHECK(wide < INT16_MIN || wide > INT16_MAX, "%lld refused", static_cast<long long>(wide));
        }
    }
    return 0;
}
