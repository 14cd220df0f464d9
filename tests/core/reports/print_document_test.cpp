// SPDX-License-Identifier: MIT
// The print statement's rules, checked on the document model to the column.
#include "core/reports/print_document.h"
#include "core/reports/print_statement.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using reports::PrintDocument;
using reports::PrintRun;
using reports::PrintStatement;

namespace {

QString qs(const char *text) { return QString::fromUtf8(text); }

std::vector<QString> plainLines(const PrintDocument &document)
{
    std::vector<QString> lines;
    for (const auto &line : document.lines())
        lines.push_back(line.plainText());
    return lines;
}

PrintDocument printed(std::initializer_list<PrintStatement> statements)
{
    PrintDocument document;
    for (const auto &statement : statements)
        document.print(statement);
    return document;
}

// One statement and the lines it prints, as plain text with blanks.
struct StatementCase {
    const char *name;
    PrintStatement statement;
    std::vector<const char *> lines;
};

void PrintTo(const StatementCase &c, std::ostream *out) { *out << c.name; }

class PrintStatementRules : public testing::TestWithParam<StatementCase> {};

TEST_P(PrintStatementRules, PrintTheseLines)
{
    PrintDocument document;
    document.print(GetParam().statement);
    std::vector<QString> expected;
    for (const char *line : GetParam().lines)
        expected.push_back(qs(line));
    EXPECT_EQ(plainLines(document), expected);
    EXPECT_EQ(document.currentColumn(), 1) << "every statement here ends its line";
}

INSTANTIATE_TEST_SUITE_P(Table, PrintStatementRules, testing::Values(
    // print zones start at 1, 15, 29, 43, ...
    StatementCase{"ZoneFromStart", PrintStatement().nextZone().text("x").endLine(), {"              x"}},
    StatementCase{"TwoZones", PrintStatement().nextZone().nextZone().text("x").endLine(),
                  {"                            x"}},
    StatementCase{"CommaAfterText", PrintStatement().add(qs("ab"), reports::Separator::NextZone).text("c").endLine(),
                  {"ab            c"}},
    StatementCase{"CommaAtZoneStartStillMoves",
                  PrintStatement().nextZone().add(qs(""), reports::Separator::NextZone).text("c").endLine(),
                  {"                            c"}},
    StatementCase{"TextFillingItsZoneSkipsTheNextStart",
                  PrintStatement().add(qs("12345678901234"), reports::Separator::NextZone).text("z").endLine(),
                  {"12345678901234              z"}},
    StatementCase{"TextCrossingZoneEdge",
                  PrintStatement().add(qs("123456789012345"), reports::Separator::NextZone).text("z").endLine(),
                  {"123456789012345             z"}},
    // column moves
    StatementCase{"MoveForward", PrintStatement().moveTo(5).text("x").endLine(), {"    x"}},
    StatementCase{"MoveToWhereWeAre", PrintStatement().text("abcd").moveTo(5).text("x").endLine(), {"abcdx"}},
    StatementCase{"MoveBackGoesToNextLine", PrintStatement().text("abcdef").moveTo(5).text("x").endLine(),
                  {"abcdef", "    x"}},
    StatementCase{"MoveToZeroCountsAsOne", PrintStatement().moveTo(0).text("x").endLine(), {"x"}},
    StatementCase{"MoveToNegativeCountsAsOne", PrintStatement().moveTo(-7).text("x").endLine(), {"x"}},
    StatementCase{"MoveToMostNegative", PrintStatement().moveTo(INT16_MIN).text("x").endLine(), {"x"}},
    StatementCase{"MoveBelowOneAfterText", PrintStatement().text("ab").moveTo(0).text("x").endLine(), {"ab", "x"}},
    StatementCase{"MoveAsLastElement", PrintStatement().text("ab").moveTo(1).endLine(), {"ab", ""}},
    // 16-bit integers: a blank or a minus before, a blank after
    StatementCase{"Positive", PrintStatement().integer(24).text("|").endLine(), {" 24 |"}},
    StatementCase{"Zero", PrintStatement().integer(0).text("|").endLine(), {" 0 |"}},
    StatementCase{"Negative", PrintStatement().integer(-5).text("|").endLine(), {"-5 |"}},
    StatementCase{"Largest", PrintStatement().integer(INT16_MAX).text("|").endLine(), {" 32767 |"}},
    StatementCase{"Smallest", PrintStatement().integer(INT16_MIN).text("|").endLine(), {"-32768 |"}},
    // texts print unchanged, empty ones not at all
    StatementCase{"EmptyStatementIsEmptyLine", PrintStatement(), {""}},
    StatementCase{"EmptyTextIsEmptyLine", PrintStatement().text("").endLine(), {""}},
    StatementCase{"TextsJoin", PrintStatement().text("a").text("").text(" b ").text("c").endLine(), {"a b c"}},
    StatementCase{"NonLatinCounts", PrintStatement().text("Ørsted").moveTo(8).text("x").endLine(), {"Ørsted x"}},
    // columns count characters as the reader sees them
    StatementCase{"WideCharactersTakeTwo", PrintStatement().text("山田").moveTo(4).text("x").endLine(),
                  {"山田", "   x"}},
    StatementCase{"WideCharactersEndWhereTheyEnd", PrintStatement().text("山田").moveTo(5).text("x").endLine(),
                  {"山田x"}},
    StatementCase{"LetterAndItsMarksTakeOne", PrintStatement().text("e\u0301\u0323").moveTo(2).text("x").endLine(),
                  {"e\u0301\u0323x"}},
    StatementCase{"EmojiWithModifierTakesTwo", PrintStatement().text("\U0001F44D\U0001F3FD").moveTo(3).text("x").endLine(),
                  {"\U0001F44D\U0001F3FDx"}}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(PrintDocument, RunsRecordTheColumnEachTextStartsAt)
{
    const PrintDocument document = printed({PrintStatement().moveTo(5).text("Jones").moveTo(45).integer(24).endLine()});
    ASSERT_EQ(document.lineCount(), 1u);
    const std::vector<PrintRun> expected{{5, qs("Jones")}, {45, qs(" 24 ")}};
    EXPECT_EQ(document.line(0).runs, expected);
    EXPECT_EQ(expected[1].endColumn(), 49);
}

TEST(PrintDocument, AnOpenLineCarriesOverToTheNextStatement)
{
    PrintDocument document;
    document.print(PrintStatement().text("ab")); // ends with ";"
    EXPECT_EQ(document.currentColumn(), 3);
    document.print(PrintStatement().add(qs("cd"), reports::Separator::NextZone)); // ends with ","
    EXPECT_EQ(document.currentColumn(), 15);
    document.print(PrintStatement().text("e").endLine());
    document.print(PrintStatement().text("f").endLine());
    EXPECT_EQ(plainLines(document), (std::vector<QString>{qs("abcd          e"), qs("f")}));
}

TEST(PrintDocument, AnEmptyStatementEndsAnOpenLineWithoutAddingOne)
{
    PrintDocument document;
    document.print(PrintStatement().text("ab"));
    document.print(PrintStatement());
    document.print(PrintStatement());
    EXPECT_EQ(plainLines(document), (std::vector<QString>{qs("ab"), qs("")}));
}

TEST(PrintDocument, ControlCharactersArePrintedAsReplacementsInTheirColumns)
{
    const QString text = QStringLiteral("a\tb\nc\rd\u0085e\u2028f\x7f");
    const PrintDocument document = printed({PrintStatement().text(text).text("|").endLine()});
    ASSERT_EQ(document.lineCount(), 1u);
    EXPECT_EQ(document.line(0).plainText(),
              QStringLiteral("a\uFFFDb\uFFFDc\uFFFDd\uFFFDe\uFFFDf\uFFFD|"));
    EXPECT_EQ(reports::printableText(qs("plain text, kept as it is")), qs("plain text, kept as it is"));
}

// Marks taken at several points, each rolled back after more printing.
TEST(PrintDocument, RollBackReturnsExactlyToTheMark)
{
    const std::vector<PrintStatement> before[] = {
        {},
        {PrintStatement().text("one").endLine()},
        {PrintStatement().text("one").endLine(), PrintStatement().text("open ")},
        {PrintStatement().text("one"), PrintStatement().moveTo(10)},
    };
    for (const auto &statements : before) {
        PrintDocument document;
        for (const auto &statement : statements)
            document.print(statement);
        const auto linesBefore = plainLines(document);
        const int columnBefore = document.currentColumn();
        const auto mark = document.mark();

        document.print(PrintStatement().text("added").moveTo(3).text("x"));
        document.print(PrintStatement().nextZone().text("more").endLine());
        document.print(PrintStatement());
        document.rollBack(mark);

        EXPECT_EQ(plainLines(document), linesBefore);
        EXPECT_EQ(document.currentColumn(), columnBefore);
        // and it goes on exactly as if nothing had been printed since
        document.print(PrintStatement().text("next").endLine());
        PrintDocument fresh;
        for (const auto &statement : statements)
            fresh.print(statement);
        fresh.print(PrintStatement().text("next").endLine());
        EXPECT_EQ(plainLines(document), plainLines(fresh));
    }
}

} // namespace
