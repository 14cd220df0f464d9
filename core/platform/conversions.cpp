// SPDX-License-Identifier: MIT
#include "core/platform/conversions.h"

#include "core/platform/errors.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace platform {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }
bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Walks the text, skipping blanks between the characters it accepts.
class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) { skipBlanks(); }

    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek() const { return atEnd() ? '\0' : current().character; }
    void advance()
    {
        m_pos += current().width;
        m_end = m_pos;
        skipBlanks();
    }
    // Just past the last accepted character, before any blanks that follow it.
    std::size_t end() const { return m_end; }

    template <typename Predicate> std::size_t collect(std::string &into, Predicate accepts)
    {
        std::size_t count = 0;
        while (!atEnd() && accepts(peek())) {
            into += peek();
            advance();
            ++count;
        }
        return count;
    }

private:
    struct Character {
        char character;
        std::size_t width;
    };

    // The character at the cursor; a full-width digit or full stop (UTF-8
    // EF BC 90 to 99, EF BC 8E), which an East Asian input method types in
    // its usual mode, stands for its ASCII form.
    Character current() const
    {
        const std::string_view rest = m_text.substr(m_pos);
        if (rest.size() >= 3 && rest[0] == '\xEF' && rest[1] == '\xBC') {
            const auto last = static_cast<unsigned char>(rest[2]);
            if (last >= 0x90 && last <= 0x99)
                return {.character = static_cast<char>('0' + (last - 0x90)), .width = 3};
            if (last == 0x8E)
                return {.character = '.', .width = 3};
        }
        return {.character = rest[0], .width = 1};
    }

    void skipBlanks()
    {
        while (!atEnd() && isBlank(m_text[m_pos]))
            ++m_pos;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_end = 0;
};

LeadingNumber readRadixInteger(Scanner &scanner, int base)
{
    std::string digits;
    scanner.collect(digits, base == 16 ? isHexDigit : isOctalDigit);
    if (digits.empty())
        return {};
    std::uint64_t value = 0;
    const auto [ptr, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (error == std::errc::result_out_of_range)
        throw OverflowError();
    return {.value = static_cast<double>(value), .length = scanner.end()};
}

// Decimal order of magnitude of the collected number: the value lies in
// [10^(order-1), 10^order). Used only to tell overflow from underflow. The
// parts come in the order they are written.
// NOLINTNEXTLINE(bugprone-easily-swappable-parameters)
std::int64_t orderOfMagnitude(std::string_view integerDigits, std::string_view fractionDigits,
                              std::string_view exponentText)
{
    std::int64_t order = 0;
    const auto firstSignificant = integerDigits.find_first_not_of('0');
    if (firstSignificant != std::string_view::npos) {
        order = static_cast<std::int64_t>(integerDigits.size() - firstSignificant);
    } else {
        const auto firstInFraction = fractionDigits.find_first_not_of('0');
        order = -static_cast<std::int64_t>(firstInFraction);
    }
    std::int64_t exponent = 0;
    if (!exponentText.empty()) {
        const char *first = exponentText.data();
        const char *last = first + exponentText.size();
        const bool negative = *first == '-';
        if (*first == '-' || *first == '+')
            ++first;
        // Exponents with more digits than fit are huge either way; capped so
        // that adding the order of the digits cannot overflow.
        constexpr std::int64_t kHuge = std::numeric_limits<std::int64_t>::max() / 2;
        if (std::from_chars(first, last, exponent).ec == std::errc::result_out_of_range || exponent > kHuge)
            exponent = kHuge;
        if (negative)
            exponent = -exponent;
    }
    return order + exponent;
}

} // namespace

LeadingNumber readLeadingNumber(std::string_view text)
{
    Scanner scanner(text);

    if (scanner.peek() == '&') {
        scanner.advance();
        const char radix = upper(scanner.peek());
        if (radix != 'H' && radix != 'O')
            return {};
        scanner.advance();
        return readRadixInteger(scanner, radix == 'H' ? 16 : 8);
    }

    bool negative = false;
    if (scanner.peek() == '+' || scanner.peek() == '-') {
        negative = scanner.peek() == '-';
        scanner.advance();
    }
    std::string integerDigits;
    std::string fractionDigits;
    scanner.collect(integerDigits, isDigit);
    if (scanner.peek() == '.') {
        scanner.advance();
        scanner.collect(fractionDigits, isDigit);
    }
    if (integerDigits.empty() && fractionDigits.empty())
        return {};
    std::size_t length = scanner.end();

    std::string exponent;
    const char marker = upper(scanner.peek());
    if (marker == 'E' || marker == 'D') {
        scanner.advance();
        if (scanner.peek() == '+' || scanner.peek() == '-') {
            exponent += scanner.peek();
            scanner.advance();
        }
        // An exponent without digits is ignored: "1E" and "1E+" read as 1.
        if (scanner.collect(exponent, isDigit) > 0)
            length = scanner.end();
        else
            exponent.clear();
    }

    std::string number = (negative ? "-" : "") + integerDigits + '.' + fractionDigits;
    if (!exponent.empty())
        number += 'e' + exponent;
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (orderOfMagnitude(integerDigits, fractionDigits, exponent) > 0)
            throw OverflowError();
        value = negative ? -0.0 : 0.0; // too small for a double
    }
    return {.value = value, .length = length};
}

std::int16_t textToInt16(std::string_view text)
{
    const LeadingNumber number = readLeadingNumber(text);
    const auto rest = text.substr(number.length);
    if (number.length == 0 || rest.find_first_not_of(" \t\n") != std::string_view::npos)
        throw InvalidArgumentError(Fault::NotANumber, "not a number");
    const double rounded = std::nearbyint(number.value); // ties to even
    if (!(rounded >= -32768.0 && rounded <= 32767.0))
        throw OverflowError();
    return static_cast<std::int16_t>(rounded);
}

std::int16_t narrowToInt16(std::int64_t value)
{
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        throw OverflowError();
    return static_cast<std::int16_t>(value);
}

} // namespace platform
