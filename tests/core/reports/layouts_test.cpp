// SPDX-License-Identifier: MIT
// The three printed reports, checked to the column on the document model.
#include "core/platform/errors.h"
#include "core/reports/layouts.h"
#include "core/reports/print_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using reports::PrintDocument;
using reports::PrintRun;

namespace {

QString qs(const char *text) { return QString::fromUtf8(text); }

PrintDocument printed(const std::vector<reports::PrintStatement> &statements)
{
    PrintDocument document;
    for (const auto &statement : statements)
        document.print(statement);
    return document;
}

// A run as (line, column, text); lines counted from 0.
struct Placed {
    std::size_t line;
    int column;
    QString text;
    bool operator==(const Placed &) const = default;
};

void PrintTo(const Placed &p, std::ostream *out)
{
    *out << "line " << p.line << " column " << p.column << " \"" << p.text.toStdString() << '"';
}

std::vector<Placed> placed(const PrintDocument &document)
{
    std::vector<Placed> all;
    for (std::size_t line = 0; line < document.lineCount(); ++line)
        for (const PrintRun &run : document.line(line).runs)
            all.push_back({line, run.column, run.text});
    return all;
}

struct CharterCase {
    const char *name;
    QString customer, type;
    std::int16_t size;
    QString hours, charge;
    std::vector<Placed> expected;
};

void PrintTo(const CharterCase &c, std::ostream *out) { *out << c.name; }

class CharterLine : public testing::TestWithParam<CharterCase> {};

TEST_P(CharterLine, PlacesEveryField)
{
    const CharterCase &c = GetParam();
    const PrintDocument document = printed({reports::charterLine(c.customer, c.type, c.size, c.hours, c.charge)});
    EXPECT_EQ(placed(document), c.expected);
    EXPECT_EQ(document.currentColumn(), 1) << "the line is ended";
}

const QString k25 = qs("Abcdefghijklmnopqrstuvwxy");
const QString k26 = qs("Abcdefghijklmnopqrstuvwxyz");
const QString k15 = qs("Hans Christians");
const QString k16 = qs("Hans Christian 2");

INSTANTIATE_TEST_SUITE_P(Table, CharterLine, testing::Values(
    // name at 5, type at 30, blank and size from 45, hours end in 59, charge in 74
    CharterCase{"WorkedExample", qs("Jones"), qs("Hobie"), 24, qs("2.5"), qs("$342.50"),
                {{0, 5, qs("Jones")}, {0, 30, qs("Hobie")}, {0, 45, qs(" 24 ")}, {0, 57, qs("2.5")},
                 {0, 68, qs("$342.50")}}},
    CharterCase{"NameOf25StaysOnTheLine", k25, qs("Hobie"), 24, qs("2.5"), qs("$342.50"),
                {{0, 5, k25}, {0, 30, qs("Hobie")}, {0, 45, qs(" 24 ")}, {0, 57, qs("2.5")}, {0, 68, qs("$342.50")}}},
    CharterCase{"NameOf26PushesTheTypeDown", k26, qs("Hobie"), 24, qs("2.5"), qs("$342.50"),
                {{0, 5, k26}, {1, 30, qs("Hobie")}, {1, 45, qs(" 24 ")}, {1, 57, qs("2.5")}, {1, 68, qs("$342.50")}}},
    CharterCase{"TypeOf15StaysOnTheLine", qs("Jones"), k15, 45, qs("4.0"), qs("$2,200.00"),
                {{0, 5, qs("Jones")}, {0, 30, k15}, {0, 45, qs(" 45 ")}, {0, 57, qs("4.0")}, {0, 66, qs("$2,200.00")}}},
    CharterCase{"TypeOf16PushesTheSizeDown", qs("Jones"), k16, 45, qs("4.0"), qs("$2,200.00"),
                {{0, 5, qs("Jones")}, {0, 30, k16}, {1, 45, qs(" 45 ")}, {1, 57, qs("4.0")}, {1, 66, qs("$2,200.00")}}},
    CharterCase{"HoursOf5Characters", qs("Lee"), qs("Ranger"), 22, qs("100.0"), qs("$9,500.00"),
                {{0, 5, qs("Lee")}, {0, 30, qs("Ranger")}, {0, 45, qs(" 22 ")}, {0, 55, qs("100.0")},
                 {0, 66, qs("$9,500.00")}}},
    CharterCase{"HoursOf7Characters", qs("Lee"), qs("Ranger"), 22, qs("1,000.0"), qs("$95,000.00"),
                {{0, 5, qs("Lee")}, {0, 30, qs("Ranger")}, {0, 45, qs(" 22 ")}, {0, 53, qs("1,000.0")},
                 {0, 65, qs("$95,000.00")}}},
    // hours so long they would start before the size ends: next line, still ending in 59
    CharterCase{"HoursOf12Characters", qs("Lee"), qs("Ranger"), 22, qs("10,000,000.0"), qs("$1.00"),
                {{0, 5, qs("Lee")}, {0, 30, qs("Ranger")}, {0, 45, qs(" 22 ")}, {1, 48, qs("10,000,000.0")},
                 {1, 70, qs("$1.00")}}},
    // a long charge text starting left of the hours' end goes to the next line
    CharterCase{"ChargeOf20Characters", qs("Lee"), qs("Ranger"), 22, qs("2.5"), qs("$1,234,567,890.12345"),
                {{0, 5, qs("Lee")}, {0, 30, qs("Ranger")}, {0, 45, qs(" 22 ")}, {0, 57, qs("2.5")},
                 {1, 55, qs("$1,234,567,890.12345")}}},
    CharterCase{"NegativeSizeAndEmptyTexts", qs(""), qs(""), -1, qs(""), qs(""),
                {{0, 45, qs("-1 ")}}},
    // a text longer than 60 gives a column below 1, which counts as 1
    CharterCase{"HoursOf61Characters", qs("A"), qs("B"), 22, QString(61, QLatin1Char('9')), qs("$1.00"),
                {{0, 5, qs("A")}, {0, 30, qs("B")}, {0, 45, qs(" 22 ")}, {1, 1, QString(61, QLatin1Char('9'))},
                 {1, 70, qs("$1.00")}}}),
    [](const auto &row) { return std::string(row.param.name); });

// 60 - L1 and 75 - L2 must fit in 16 bits.
TEST(CharterLine, ColumnsOutside16BitsAreOverflow)
{
    const QString fits1(60 + 32768, QLatin1Char('9'));  // 60 - L1 = -32768
    const QString over1(60 + 32769, QLatin1Char('9')); // -32769
    const QString fits2(75 + 32768, QLatin1Char('9'));
    const QString over2(75 + 32769, QLatin1Char('9'));

    const PrintDocument document = printed({reports::charterLine(qs("A"), qs("B"), 22, fits1, fits2)});
    ASSERT_EQ(document.lineCount(), 3u);
    EXPECT_EQ(document.line(1).runs.front().column, 1);
    EXPECT_EQ(document.line(2).runs.front().column, 1);

    EXPECT_THROW(reports::charterLine(qs("A"), qs("B"), 22, over1, qs("$1.00")), platform::OverflowError);
    EXPECT_THROW(reports::charterLine(qs("A"), qs("B"), 22, qs("2.5"), over2), platform::OverflowError);
}

TEST(Summary, BlankLineThenBothLabelsAtColumn15)
{
    const PrintDocument document = printed(reports::summary(qs("2.8"), qs("$1,027.50")));
    const std::vector<Placed> expected{{1, 15, qs("Average Hours Chartered: 2.8")},
                                       {2, 15, qs("Total Revenue: $1,027.50")}};
    EXPECT_EQ(placed(document), expected);
    ASSERT_EQ(document.lineCount(), 3u);
    EXPECT_TRUE(document.line(0).runs.empty());
}

TEST(Summary, FollowsWaitingCharterLinesOnLinesOfItsOwn)
{
    PrintDocument document;
    document.print(reports::charterLine(qs("Jones"), qs("Hobie"), 24, qs("2.5"), qs("$342.50")));
    for (const auto &statement : reports::summary(qs("2.5"), qs("$342.50")))
        document.print(statement);
    ASSERT_EQ(document.lineCount(), 4u);
    EXPECT_TRUE(document.line(1).runs.empty());
    EXPECT_EQ(document.line(3).plainText(), qs("              Total Revenue: $342.50"));
}

const QStringList kInitialTypes{qs("C & C"),          qs("Catalina"), qs("Coronada"), qs("Excalibur"),
                                qs("Hans Christian"), qs("Hobie"),    qs("Ranger"),   qs("WaveLength")};

TEST(YachtList, HeadingAt29ThenEachTypeAt15)
{
    const PrintDocument document = printed(reports::yachtList(kInitialTypes));
    std::vector<Placed> expected{{1, 29, qs("Yacht List")}};
    for (qsizetype i = 0; i < kInitialTypes.size(); ++i)
        expected.push_back({static_cast<std::size_t>(3 + i), 15, kInitialTypes[i]});
    EXPECT_EQ(placed(document), expected);
    EXPECT_EQ(document.lineCount(), 11u);
}

TEST(YachtList, EmptyListPrintsOnlyTheFirstThreeLines)
{
    const PrintDocument document = printed(reports::yachtList({}));
    ASSERT_EQ(document.lineCount(), 3u);
    EXPECT_EQ(document.line(1).plainText(), qs("                            Yacht List"));
    EXPECT_TRUE(document.line(0).runs.empty());
    EXPECT_TRUE(document.line(2).runs.empty());
}

TEST(YachtList, TypesAreUnchangedAndBlankTypesStillGetALine)
{
    const PrintDocument document = printed(reports::yachtList({qs(" "), qs("Ålesund 40"), qs("")}));
    ASSERT_EQ(document.lineCount(), 6u);
    EXPECT_EQ(document.line(3).plainText(), qs("               "));
    EXPECT_EQ(document.line(4).plainText(), qs("              Ålesund 40"));
    EXPECT_TRUE(document.line(5).runs.empty());
}

TEST(YachtList, CountBeyond16BitsIsOverflow)
{
    QStringList many(32767, qs("X"));
    EXPECT_EQ(reports::yachtList(many).size(), 3u + 32767u);
    many.append(qs("X"));
    EXPECT_THROW(reports::yachtList(many), platform::OverflowError);
}

} // namespace
