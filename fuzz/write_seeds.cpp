// SPDX-License-Identifier: MIT
// Writes the fuzz targets' seed corpora from the cases of the unit tests'
// tables, so that every target starts at the edges the tests know about.
//
//   write_seeds FUZZ_SOURCE_DIR     (the build's "seeds" target runs it)
//
// The seeds are committed; run this again after adding cases.

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path g_root;

void write(const std::string &target, const std::string &name, const std::string &bytes)
{
    const fs::path folder = g_root / "corpus" / target;
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

template <typename T> std::string le(T value)
{
    std::string bytes(sizeof(T), '\0');
    std::memcpy(bytes.data(), &value, sizeof(T));
    return bytes; // the build machines are little-endian, as the targets expect
}

void numberReaderSeeds()
{
    const char *texts[] = {
        "2.5", "4", "0", "100", ".5", "5.", "0.00001", "3.33333", "007", "-3", "+3", "-.5", "- 3", "2 5", "  2.5",
        "\t1\n2", "1 . 5", "1 E 2", "1E1", "1e1", "1D2", "1d2", "1E", "1E+", "1E-", "2.5E-1", "1Ex", "1E-400",
        "1D308", "0E999999999999999999999", "&H10", "&hff", "&O17", "&o8", "&HFFFFFFFF", "&H", "&X1", "&H1.5",
        "1,5", "7x", "$5", "5$", "1.2.3", "12-3", "\r5", ".", "-", "abc", "E5", "+", "-.", "1E400", "-1E400",
        "1D309", "1E99999999999999999999999", "&H10000000000000000", "&O2000000000000000000000",
        "0.1000000000000000055511151231257827", "922337203685477.5807", "922337203685477.5808", "9007199254740993",
        "-0", "-1E-400", "4.9E-324", "2.4703282292062328E-324", "1.7976931348623157E308", "1.7976931348623159E308",
        "\uFF12\uFF0E\uFF15", "\uFF10\uFF19 5", "\uFF11\uFF1A", "\uFF12\uFF0C\uFF15", "\u0662\u066B\u0665",
    };
    int n = 0;
    for (const char *text : texts)
        write("number_reader_fuzzer", "table-" + std::to_string(n++), text);
}

void textToInt16Seeds()
{
    const char *texts[] = {"22", "24", "30", "32", "36", "38", "45", " -22 ", "32767", "-32768", "2.5", "3.5",
                           "32768", "-32769", "1E400", "", "22 feet", "abc", "32767.5", "-32768.5", "&H7FFF", "&H8000"};
    int n = 0;
    for (const char *text : texts)
        write("text_to_int16_fuzzer", "table-" + std::to_string(n++), text);
}

void currencySeeds()
{
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    struct Case {
        const char *name;
        std::int64_t a, b;
        double d;
    };
    const Case cases[] = {
        {"pricing-45x1", 5500000, 10000, 1.0},
        {"pricing-22x0.5", 950000, 5000, 0.5},
        {"pricing-24x2.5", 1370000, 25000, 2.5},
        {"rounding-3.33333", 33333, 27183, 3.33333},
        {"rounding-2.71828", -27183, 1, 2.71828},
        {"rounding-0.00001", 0, 0, 0.00001},
        {"rounding-0.00005", 5, 1000, 0.00005},
        {"rounding-0.00015", 15, 1000, 0.00015},
        {"rounding-1.00005", 25, 1000, 1.00005},
        {"tie-0.03125", -15, 1000, 0.03125},
        {"tie-0.09375", 1, 2, 0.09375},
        {"max-plus-one", kMax, 1, 922337203685477.5},
        {"min-minus-one", kMin, -1, -922337203685477.5},
        {"max-plus-min", kMax, kMin, 922337203685477.6},
        {"minus-one-times-min", -10000, kMin, -922337203685477.7},
        {"two-times-half-max", 20000, kMax / 2 + 1, 1e300},
        {"rate-550-times-1e13", 5500000, 100000000000000000, 1e13},
        {"denormal", kMax - 1, kMin + 1, std::numeric_limits<double>::denorm_min()},
        {"infinity", 0, 0, std::numeric_limits<double>::infinity()},
        {"nan", 0, 0, std::numeric_limits<double>::quiet_NaN()},
        {"minus-zero", -1, 0, -0.0},
    };
    for (const Case &c : cases)
        write("currency_fuzzer", c.name, le(c.a) + le(c.b) + le(c.d));
}

// Records of the layout target: see print_layout_fuzzer.cpp.
std::string text(const std::string &utf8, int separator = 0)
{
    return std::string(1, static_cast<char>(0 | separator << 2)) + static_cast<char>(utf8.size()) + utf8;
}
std::string integer(std::int16_t value, int separator = 0)
{
    return std::string(1, static_cast<char>(1 | separator << 2)) + le(value);
}
std::string move(std::int16_t column, int separator = 0)
{
    return std::string(1, static_cast<char>(2 | separator << 2)) + le(column);
}
std::string endStatement(bool mark = false) { return std::string(1, static_cast<char>(3 | (mark ? 0x10 : 0))); }
std::string charterLine(const std::string &name, const std::string &type, std::int16_t size,
                        const std::string &hours, const std::string &charge)
{
    const auto field = [](const std::string &s) { return static_cast<char>(s.size()) + s; };
    return std::string(1, static_cast<char>(3 | 0x20)) + field(name) + field(type) + le(size) + field(hours) +
           field(charge);
}
constexpr int kZone = 1;
constexpr int kEnd = 2;

void layoutSeeds()
{
    const std::string k25(25, 'N');
    const std::string k26(26, 'N');
    const std::string k16(16, 'T');
    const std::vector<std::pair<const char *, std::string>> cases = {
        {"worked-example", charterLine("Jones", "Hobie", 24, "2.5", "$342.50")},
        {"name-25", charterLine(k25, "Hobie", 24, "2.5", "$342.50")},
        {"name-26", charterLine(k26, "Hobie", 24, "2.5", "$342.50")},
        {"type-16", charterLine("Jones", k16, 45, "4.0", "$2,200.00")},
        {"hours-12", charterLine("Lee", "Ranger", 22, "10,000,000.0", "$1.00")},
        {"charge-20", charterLine("Lee", "Ranger", 22, "2.5", "$1,234,567,890.12345")},
        {"empty-texts", charterLine("", "", -1, "", "")},
        {"hours-61", charterLine("A", "B", 22, std::string(61, '9'), "$1.00")},
        {"summary", endStatement() + text("", kZone) + text("Average Hours Chartered: 3.2", kEnd) + text("", kZone) +
                        text("Total Revenue: $342.50", kEnd)},
        {"yacht-list", endStatement() + text("", kZone) + text("", kZone) + text("Yacht List", kEnd) +
                           endStatement() + text("", kZone) + text("C & C", kEnd) + endStatement() +
                           text("", kZone) + text("Catalina", kEnd)},
        {"zones", text("ab", kZone) + text("c", kEnd) + endStatement() + text("12345678901234", kZone) +
                      text("z", kEnd) + endStatement() + text("123456789012345", kZone) + text("z", kEnd)},
        {"moves", move(5) + text("x", kEnd) + endStatement() + text("abcdef") + move(5) + text("x", kEnd) +
                      endStatement() + move(0) + text("x") + move(-7) + move(INT16_MIN) + text("y", kEnd) +
                      endStatement() + text("ab") + move(1, kEnd)},
        {"integers", integer(24) + integer(0) + integer(-5) + integer(INT16_MAX) + integer(INT16_MIN, kEnd)},
        {"open-line-then-mark", text("ab") + endStatement() + text("cd", kZone) + endStatement(true) +
                                    text("e", kEnd) + endStatement() + text("f", kEnd)},
        {"control-characters", text("a\tb\nc\rd\xc2\x85" "e\xe2\x80\xa8" "f\x7f") + text("|", kEnd)},
        {"non-latin", text("\xc3\x98rsted") + move(8) + text("x", kEnd)},
    };
    for (const auto &[name, bytes] : cases)
        write("print_layout_fuzzer", name, bytes);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: write_seeds FUZZ_SOURCE_DIR\n";
        return 2;
    }
    g_root = argv[1];
    numberReaderSeeds();
    textToInt16Seeds();
    currencySeeds();
    layoutSeeds();
    return 0;
}
