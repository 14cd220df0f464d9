// SPDX-License-Identifier: MIT
// Lines laid onto rows narrower than the reports: each case's rows drawn as
// text, "~" marking a piece given less room than it takes (drawn condensed).
#include "core/reports/layouts.h"
#include "core/reports/row_folding.h"
#include "core/reports/text_columns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using reports::PrintStatement;

namespace {

QString qs(const char *text) { return QString::fromUtf8(text); }

struct FoldCase {
    const char *name;
    std::vector<PrintStatement> statements;
    int columns;
    int firstColumn;
    std::vector<const char *> rows;
};

void PrintTo(const FoldCase &c, std::ostream *out) { *out << c.name; }

class Folding : public testing::TestWithParam<FoldCase> {};

TEST_P(Folding, LaysTheLinesOntoTheseRows)
{
    reports::PrintDocument document;
    for (const auto &statement : GetParam().statements)
        document.print(statement);
    const reports::RowFolding folding(document, GetParam().columns, GetParam().firstColumn);
    std::vector<std::string> rows;
    for (std::size_t line = 0; line < document.lineCount(); ++line) {
        const auto lineRows = folding.rows(line);
        EXPECT_EQ(folding.rowCount(line), static_cast<int>(lineRows.size()));
        for (const reports::Row &row : lineRows) {
            QString text;
            for (const reports::RowPiece &piece : row) {
                EXPECT_LE(piece.column - 1 + piece.room, GetParam().columns) << "beyond the row";
                text += QString(piece.column - 1 - reports::columnWidth(text), QLatin1Char(' '));
                text += (piece.room < piece.width ? QStringLiteral("~") : QString()) + piece.text.toString();
            }
            rows.push_back(text.toStdString());
        }
    }
    EXPECT_EQ(rows, std::vector<std::string>(GetParam().rows.begin(), GetParam().rows.end()));
}

PrintStatement charter(const char *name, const char *type, std::int16_t size, const char *hours, const char *charge)
{
    return reports::charterLine(qs(name), qs(type), size, qs(hours), qs(charge));
}

INSTANTIATE_TEST_SUITE_P(Table, Folding, testing::Values(
    // the indent left out, then every record folded the same way, figures
    // right-aligned in their own columns
    FoldCase{"RecordsFoldAlike",
             {charter("Jones", "Hobie", 24, "2.5", "$342.50"), charter("Lee", "Catalina", 30, "100.0", "$5,000.00")},
             45, 5,
             {"Jones                    Hobie           24", "  2.5        $342.50",
              "Lee                      Catalina        30", "100.0      $5,000.00"}},
    // a name longer than a row: at blanks, else between characters, never
    // splitting one; a figure wider than a row: given the row whole
    FoldCase{"LongTextWrapsFiguresNever",
             {PrintStatement().text(qs("Maria Dolores Castellanos")).endLine(),
              PrintStatement().text(qs("Abcdéfghijklmn\u0301op")).endLine(),
              PrintStatement().figure(qs("Total: $6,609,122.50")).endLine()},
             10, 1, {"Maria", "Dolores", "Castellano", "s", "Abcdéfghij", "klmn\u0301op", "Total:", "~$6,609,122.50"}},
    // one-run lines at the same column move left together
    FoldCase{"HeadingAndListMoveTogether", reports::yachtList({qs("Catalina"), qs("Hans Christian")}), 20, 1,
             {"", "          Yacht List", "", "      Catalina", "      Hans Christian"}}),
    [](const auto &row) { return std::string(row.param.name); });

} // namespace
