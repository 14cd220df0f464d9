// SPDX-License-Identifier: MIT
// The lenient number reader on any bytes a clerk could type or paste: it
// returns a finite number or throws OverflowError, and for texts made only of
// a sign, digits, one point and an exponent (blanks anywhere, digits and the
// point also in their full-width forms) it agrees with a model that reads the
// same text through the C library.
#include "fuzz_check.h"

#include "core/platform/conversions.h"
#include "core/platform/errors.h"

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

struct Reading {
    bool overflow = false;
    double value = 0.0;
    std::size_t length = 0;
};

Reading read(std::string_view text)
{
    try {
        const platform::LeadingNumber number = platform::readLeadingNumber(text);
        return {false, number.value, number.length};
    } catch (const platform::OverflowError &) {
        return {true, 0.0, 0};
    }
}

bool sameDouble(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int digitValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

struct Expected {
    bool overflow = false;
    double value = 0.0;
};

// &H / &O followed by nothing but digits of that base.
std::optional<Expected> radixModel(std::string_view text)
{
    const int base = (text[1] == 'H' || text[1] == 'h') ? 16 : 8;
    unsigned __int128 value = 0;
    for (const char c : text.substr(2)) {
        const int digit = digitValue(c);
        if (digit >= base)
            return std::nullopt;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (value > UINT64_MAX)
            return Expected{true, 0.0};
    }
    return Expected{false, static_cast<double>(static_cast<std::uint64_t>(value))};
}

// The model: blanks dropped, then the whole text must be
//   [sign] digits [. digits] [E|D [sign] digits]
// (either digit group of the mantissa may be empty, not both; an exponent
// without digits counts for nothing). A text whose mantissa has no digit
// reads as 0. The value is what strtod makes of the same number in the C
// locale, which the fuzzer never leaves; beyond the double range is overflow.
std::optional<Expected> model(std::string_view raw)
{
    // Blanks dropped; a full-width digit or full stop (UTF-8 EF BC 90 to 99,
    // EF BC 8E) stands for its ASCII form.
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto last = i + 2 < raw.size() ? static_cast<unsigned char>(raw[i + 2]) : 0;
        if (raw.substr(i, 2) == "\xEF\xBC" && ((last >= 0x90 && last <= 0x99) || last == 0x8E)) {
            text += last == 0x8E ? '.' : static_cast<char>('0' + (last - 0x90));
            i += 2;
        } else if (raw[i] != ' ' && raw[i] != '\t' && raw[i] != '\n') {
            text += raw[i];
        }
    }
    if (text.size() >= 2 && text[0] == '&' &&
        (text[1] == 'H' || text[1] == 'h' || text[1] == 'O' || text[1] == 'o'))
        return radixModel(text);

    std::size_t i = 0;
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        number += text[i++];
    std::size_t mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        number += text[i++];
        ++mantissaDigits;
    }
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && isDigit(text[i])) {
            number += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return Expected{false, 0.0};
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        ++i;
        std::string exponent = "e";
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            exponent += text[i++];
        bool digits = false;
        while (i < text.size() && isDigit(text[i])) {
            exponent += text[i++];
            digits = true;
        }
        if (digits)
            number += exponent;
    }
    if (i != text.size())
        return std::nullopt;

    errno = 0;
    const double value = std::strtod(number.c_str(), nullptr);
    if (std::isinf(value))
        return Expected{true, 0.0};
    return Expected{false, value};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const Reading reading = read(text);

    if (!reading.overflow) {
        FUZZ_CHECK(std::isfinite(reading.value), "value %g", reading.value);
        FUZZ_CHECK(reading.length <= text.size(), "length %zu of %zu", reading.length, text.size());
        FUZZ_CHECK(reading.length > 0 || reading.value == 0.0, "no number read, yet the value is %g", reading.value);
        // The part it took reads the same on its own.
        const Reading prefix = read(text.substr(0, reading.length));
        FUZZ_CHECK(!prefix.overflow && sameDouble(prefix.value, reading.value) && prefix.length == reading.length,
                   "the first %zu characters read %.17g (length %zu), the whole text %.17g", reading.length,
                   prefix.value, prefix.length, reading.value);
    }

    // A comma ends every number, so what follows one never matters.
    const Reading extended = read(std::string(text) + ",9E9");
    FUZZ_CHECK(extended.overflow == reading.overflow && sameDouble(extended.value, reading.value) &&
                   extended.length == reading.length,
               "appending \",9E9\" changed the reading from %.17g to %.17g", reading.value, extended.value);

    if (const auto expected = model(text)) {
        FUZZ_CHECK(expected->overflow == reading.overflow, "model says overflow=%d, the reader %d",
                   expected->overflow, reading.overflow);
        if (!expected->overflow)
            FUZZ_CHECK(sameDouble(expected->value, reading.value), "model reads %.17g, the reader %.17g",
                       expected->value, reading.value);
    }
    return 0;
}
