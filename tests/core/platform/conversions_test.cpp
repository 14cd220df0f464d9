// SPDX-License-Identifier: MIT
#include "core/platform/conversions.h"
#include "core/platform/errors.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

using platform::narrowToInt16;
using platform::OverflowError;
using platform::readLeadingNumber;
using platform::readNumber;
using platform::textToInt16;

namespace {

struct ReaderCase {
    const char *text;
    double expected;
};

void PrintTo(const ReaderCase &c, std::ostream *out) { *out << '"' << c.text << '"'; }

class LenientNumberReader : public testing::TestWithParam<ReaderCase> {};

TEST_P(LenientNumberReader, ReadsTheLongestLeadingNumber)
{
    EXPECT_EQ(readNumber(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, LenientNumberReader, testing::Values(
    // plain numbers
    ReaderCase{"2.5", 2.5}, ReaderCase{"4", 4}, ReaderCase{"0", 0}, ReaderCase{"100", 100},
    ReaderCase{".5", 0.5}, ReaderCase{"5.", 5}, ReaderCase{"0.00001", 0.00001},
    ReaderCase{"3.33333", 3.33333}, ReaderCase{"007", 7},
    // signs
    ReaderCase{"-3", -3}, ReaderCase{"+3", 3}, ReaderCase{"-.5", -0.5}, ReaderCase{"- 3", -3},
    // blanks, tabs and line feeds are skipped anywhere
    ReaderCase{"2 5", 25}, ReaderCase{"  2.5", 2.5}, ReaderCase{"\t1\n2", 12}, ReaderCase{"1 . 5", 1.5},
    ReaderCase{"1 E 2", 100},
    // exponents
    ReaderCase{"1E1", 10}, ReaderCase{"1e1", 10}, ReaderCase{"1D2", 100}, ReaderCase{"1d2", 100},
    ReaderCase{"1E", 1}, ReaderCase{"1E+", 1}, ReaderCase{"1E-", 1}, ReaderCase{"2.5E-1", 0.25},
    ReaderCase{"1Ex", 1}, ReaderCase{"1E-400", 0}, ReaderCase{"1D308", 1e308},
    ReaderCase{"0E999999999999999999999", 0},
    // hexadecimal and octal integers
    ReaderCase{"&H10", 16}, ReaderCase{"&hff", 255}, ReaderCase{"&O17", 15}, ReaderCase{"&o8", 0},
    ReaderCase{"&HFFFFFFFF", 4294967295.0}, ReaderCase{"&H", 0}, ReaderCase{"&X1", 0},
    ReaderCase{"&H1.5", 1},
    // what ends the number
    ReaderCase{"1,5", 1}, ReaderCase{"7x", 7}, ReaderCase{"$5", 0}, ReaderCase{"5$", 5},
    ReaderCase{"1.2.3", 1.2}, ReaderCase{"12-3", 12}, ReaderCase{"\r5", 0},
    // full-width digits and full stop count as ASCII ones, other scripts' digits not
    ReaderCase{"\uFF12\uFF0E\uFF15", 2.5}, ReaderCase{"\uFF10\uFF19 5", 95}, ReaderCase{"\uFF11\uFF1A", 1},
    ReaderCase{"\uFF0F1", 0}, ReaderCase{"&H\uFF11\uFF10", 16}, ReaderCase{"\uFF12\uFF0C\uFF15", 2},
    ReaderCase{"\u0662\u066B\u0665", 0}, ReaderCase{"\u0968", 0}, ReaderCase{"\xEF\xBC", 0},
    // no number at the start
    ReaderCase{"", 0}, ReaderCase{".", 0}, ReaderCase{"-", 0}, ReaderCase{"abc", 0}, ReaderCase{"E5", 0},
    ReaderCase{"+", 0}, ReaderCase{"-.", 0}));

TEST(LenientNumberReader, ReportsHowMuchOfTheTextWasTheNumber)
{
    EXPECT_EQ(readLeadingNumber("7x").length, 1u);
    EXPECT_EQ(readLeadingNumber("2 5 ").length, 3u);
    EXPECT_EQ(readLeadingNumber("1E").length, 1u);
    EXPECT_EQ(readLeadingNumber("1E5x").length, 3u);
    EXPECT_EQ(readLeadingNumber("abc").length, 0u);
    EXPECT_EQ(readLeadingNumber("&H1F ").length, 4u);
    EXPECT_EQ(readLeadingNumber("\uFF12\uFF0E\uFF15h").length, 9u); // bytes of UTF-8
}

TEST(LenientNumberReader, IsCorrectlyRoundedForLongDigitStrings)
{
    EXPECT_EQ(readNumber("0.1000000000000000055511151231257827"), 0.1);
    EXPECT_EQ(readNumber("922337203685477.5807"), 922337203685477.5807);
    EXPECT_EQ(readNumber("9007199254740993"), 9007199254740992.0); // tie to even
}

TEST(LenientNumberReader, KeepsTheSignOfZero)
{
    EXPECT_TRUE(std::signbit(readNumber("-0")));
    EXPECT_TRUE(std::signbit(readNumber("-1E-400")));
}

TEST(LenientNumberReader, OverflowsBeyondTheDoubleRange)
{
    for (const char *text : {"1E400", "-1E400", "1D309", "1E99999999999999999999999",
                             "&H10000000000000000", "&O2000000000000000000000",
                             "1E9223372036854775807"}) {
        EXPECT_THROW(readNumber(text), OverflowError) << text;
    }
    EXPECT_THROW(readNumber(std::string(400, '9')), OverflowError);
    EXPECT_THROW(readNumber("1E" + std::string(40, '0') + "9223372036854775807"), OverflowError);
    EXPECT_EQ(readNumber("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(readNumber("0.1E-9223372036854775807"), 0.0);
}

TEST(LenientNumberReader, IgnoresTheProcessLocale)
{
    // Under a locale with a decimal comma the C library stops "2.5" at the
    // point; the reader must not. Only takes effect where the locale exists.
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    const double value = readNumber("2.5");
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(value, 2.5);
}

TEST(TextToInt16, ConvertsSizeTexts)
{
    EXPECT_EQ(textToInt16("22"), 22);
    EXPECT_EQ(textToInt16("45"), 45);
    EXPECT_EQ(textToInt16(" -22 "), -22);
    EXPECT_EQ(textToInt16("32767"), 32767);
    EXPECT_EQ(textToInt16("-32768"), -32768);
    EXPECT_EQ(textToInt16("2.5"), 2);   // ties to even
    EXPECT_EQ(textToInt16("3.5"), 4);
}

TEST(TextToInt16, RejectsTextsOutOfRangeOrNotNumbers)
{
    EXPECT_THROW(textToInt16("32768"), OverflowError);
    EXPECT_THROW(textToInt16("-32769"), OverflowError);
    EXPECT_THROW(textToInt16("1E400"), OverflowError);
    EXPECT_THROW(textToInt16(""), platform::InvalidArgumentError);
    EXPECT_THROW(textToInt16("22 feet"), platform::InvalidArgumentError);
    EXPECT_THROW(textToInt16("abc"), platform::InvalidArgumentError);
}

TEST(NarrowToInt16, KeepsTheRangeAndOverflowsOutsideIt)
{
    EXPECT_EQ(narrowToInt16(32767), 32767);
    EXPECT_EQ(narrowToInt16(-32768), -32768);
    EXPECT_THROW(narrowToInt16(32768), OverflowError);
    EXPECT_THROW(narrowToInt16(-32769), OverflowError);
}

} // namespace
