// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

struct LeadingNumber {
    double value = 0.0;
    // Characters of the text that belong to the number (0 when there is none).
    std::size_t length = 0;
};

// The lenient number reader: reads the longest leading part of the text that
// forms a number and ignores the rest. Blanks, tabs and line feeds are skipped
// wherever they occur. Accepts a sign, digits, a point as the decimal
// separator whatever the regional settings, an exponent introduced by E or D
// (an exponent without digits is ignored), and &H / &O hexadecimal and octal
// integers. Full-width digits and the full-width full stop (U+FF10 to
// U+FF19, U+FF0E) count as their ASCII forms; other scripts' digits end the
// number. The text is UTF-8, and `length` counts its bytes. A text with no
// number at its start reads as 0. A number beyond
// the double range throws OverflowError; one too small for it reads as 0.
LeadingNumber readLeadingNumber(std::string_view text);

inline double readNumber(std::string_view text) { return readLeadingNumber(text).value; }

// Converts a text that holds nothing but a number (blanks around it allowed)
// to a 16-bit integer, rounding ties to even. Throws InvalidArgumentError when
// the text is not a number and OverflowError outside -32768..32767.
std::int16_t textToInt16(std::string_view text);

// Narrows a whole number to 16 bits, or throws OverflowError.
std::int16_t narrowToInt16(std::int64_t value);

} // namespace platform
