// SPDX-License-Identifier: MIT
// The print statement rules on random statements: texts (any UTF-8, control
// characters included), 16-bit integers, column moves to any 16-bit column,
// every separator, and charter lines built from random texts. Checked:
//   - every text lands at column 1 or later and no run overlaps another on
//     the same line;
//   - every text lands where a plain model of the rules puts it: a move to n
//     goes to n on the same line when the position is at or before n, else
//     to n on the next line (n below 1 counts as 1); "," goes to the next
//     zone start (1, 15, 29, ...); a statement ends its line only when its
//     last element says so;
//   - no control character reaches a run: each is replaced in its column;
//   - a charter line's hours end in column 59 and its charge in column 74
//     whenever they can;
//   - folded onto narrow rows, every piece stays within its row and the
//     rows hold all of a line's text, in order;
//   - rolling back to a mark gives back exactly the document at the mark.
//
// Input: records, each starting with an operation byte. Its low two bits:
// 0 text (a length byte, then that many bytes of UTF-8), 1 integer (int16),
// 2 move to column (int16), 3 end of statement. Bits 2-3 choose the separator
// after an element (0 ";", 1 ",", 2 end of line, 3 ";"). On an end of
// statement, bit 4 takes the mark (the first time only) and bit 5 adds a
// charter line built from the next five values (name, type, size, hours,
// charge).
#include "fuzz_check.h"

#include "core/reports/layouts.h"
#include "core/reports/print_document.h"
#include "core/reports/print_statement.h"
#include "core/reports/row_folding.h"
#include "core/reports/text_columns.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using reports::PrintDocument;
using reports::PrintStatement;
using reports::Separator;

namespace {

QString takeText(fuzzing::ByteReader &input)
{
    const std::string_view bytes = input.bytes(input.byte());
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

Separator separatorOf(std::uint8_t op)
{
    switch ((op >> 2) & 3) {
    case 1:
        return Separator::NextZone;
    case 2:
        return Separator::EndOfLine;
    default:
        return Separator::Continue;
    }
}

bool isControl(QChar c)
{
    const auto category = c.category();
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

struct ModelRun {
    int column;
    QString text;
};

// The print position as the rules describe it, run beside the document.
class Model {
public:
    void print(const PrintStatement &statement)
    {
        if (!m_open) {
            m_lines.emplace_back();
            m_column = 1;
            m_open = true;
        }
        for (const auto &element : statement.elements()) {
            if (const auto *text = std::get_if<QString>(&element.item)) {
                put(*text);
            } else if (const auto *value = std::get_if<std::int16_t>(&element.item)) {
                put(QString::fromLatin1(*value < 0 ? "" : " ") + QString::number(*value) + QLatin1Char(' '));
            } else {
                const int target = std::max<int>(std::get<reports::MoveToColumn>(element.item).column, 1);
                if (m_column > target)
                    m_lines.emplace_back();
                m_column = target;
            }
            if (element.separator == Separator::NextZone)
                m_column = (m_column - 1) / 14 * 14 + 15;
        }
        if (statement.elements().empty() || statement.elements().back().separator == Separator::EndOfLine) {
            m_open = false;
            m_column = 1;
        }
    }

    const std::vector<std::vector<ModelRun>> &lines() const { return m_lines; }
    int column() const { return m_column; }

private:
    void put(const QString &text)
    {
        if (text.isEmpty())
            return;
        m_lines.back().push_back({m_column, text});
        // Columns count characters as the reader sees them (text_columns.h),
        // after control characters became replacement marks.
        m_column += reports::columnWidth(reports::printableText(text));
    }

    std::vector<std::vector<ModelRun>> m_lines;
    int m_column = 1;
    bool m_open = false;
};

bool sameLines(const PrintDocument &a, const PrintDocument &b)
{
    if (a.lineCount() != b.lineCount())
        return false;
    for (std::size_t i = 0; i < a.lineCount(); ++i) {
        if (a.line(i).runs != b.line(i).runs)
            return false;
    }
    return a.currentColumn() == b.currentColumn();
}

void checkAgainstModel(const PrintDocument &document, const Model &model)
{
    FUZZ_CHECK(document.lineCount() == model.lines().size(), "%zu lines, the model has %zu",
               document.lineCount(), model.lines().size());
    FUZZ_CHECK(document.currentColumn() == model.column(), "position %d, the model is at %d",
               document.currentColumn(), model.column());
    for (std::size_t i = 0; i < document.lineCount(); ++i) {
        const reports::PrintLine line = document.line(i);
        const auto &runs = line.runs;
        const auto &expected = model.lines()[i];
        FUZZ_CHECK(runs.size() == expected.size(), "line %zu has %zu runs, the model %zu", i, runs.size(),
                   expected.size());
        for (std::size_t r = 0; r < runs.size(); ++r) {
            const auto &run = runs[r];
            FUZZ_CHECK(run.column >= 1, "line %zu run %zu at column %d", i, r, run.column);
            FUZZ_CHECK(!run.text.isEmpty(), "line %zu run %zu is empty", i, r);
            if (r > 0)
                FUZZ_CHECK(runs[r - 1].endColumn() <= run.column, "line %zu: run %zu ends at %d, run %zu starts at %d",
                           i, r - 1, runs[r - 1].endColumn(), r, run.column);
            FUZZ_CHECK(run.column == expected[r].column, "line %zu run %zu at column %d, the model says %d", i, r,
                       run.column, expected[r].column);
            const QString &typed = expected[r].text;
            FUZZ_CHECK(run.text.size() == typed.size(), "line %zu run %zu changed length", i, r);
            for (qsizetype k = 0; k < typed.size(); ++k) {
                const QChar want = isControl(typed[k]) ? QChar(QChar::ReplacementCharacter) : typed[k];
                FUZZ_CHECK(run.text[k] == want, "line %zu run %zu character %lld is U+%04X, not U+%04X", i, r,
                           static_cast<long long>(k), run.text[k].unicode(), want.unicode());
            }
        }
    }
}

// Hours end in column 59 and the charge in column 74, on whatever line the
// column-move rule put them, unless the text is too long to start at 1.
void checkCharterLine(const PrintDocument &document, const QString &hours, const QString &charge)
{
    std::vector<reports::PrintRunView> tail;
    for (std::size_t line = document.lineCount(); line-- > 0 && tail.size() < 2;) {
        for (std::size_t run = document.runsEnd(line); run-- > document.runsBegin(line) && tail.size() < 2;)
            tail.push_back(document.run(run));
    }
    std::size_t next = 0;
    if (!charge.isEmpty() && 75 - reports::columnWidth(reports::printableText(charge)) >= 1) {
        FUZZ_CHECK(next < tail.size() && tail[next].endColumn() == 75, "the charge does not end in column 74");
    }
    if (!charge.isEmpty())
        ++next;
    if (!hours.isEmpty() && 60 - reports::columnWidth(reports::printableText(hours)) >= 1) {
        FUZZ_CHECK(next < tail.size() && tail[next].endColumn() == 60, "the hours do not end in column 59");
    }
}

// On narrow paper every piece of every line stays within its row, and the
// rows hold every printed character of the line, in order.
void checkFolding(const PrintDocument &document, int columns)
{
    const reports::RowFolding folding(document, columns, 5);
    const auto ink = [](QStringView text) {
        QString kept = text.toString();
        kept.remove(QLatin1Char(' '));
        return kept;
    };
    for (std::size_t line = 0; line < document.lineCount(); ++line) {
        QString printed, folded;
        for (std::size_t r = document.runsBegin(line); r < document.runsEnd(line); ++r)
            printed += ink(document.run(r).text);
        for (const reports::Row &row : folding.rows(line)) {
            for (const reports::RowPiece &piece : row) {
                FUZZ_CHECK(piece.column >= 1 && piece.column - 1 + piece.room <= columns,
                           "line %zu: a piece at column %d, %d wide, leaves a row of %d", line, piece.column,
                           piece.room, columns);
                folded += ink(piece.text);
            }
        }
        FUZZ_CHECK(folded == printed, "line %zu: its rows do not hold its text", line);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzzing::ByteReader input(data, size);
    PrintDocument document;
    Model model;
    std::optional<PrintDocument::Mark> mark;
    PrintDocument atMark;
    PrintStatement statement;
    bool pending = false;

    const auto flush = [&] {
        document.print(statement);
        model.print(statement);
        checkAgainstModel(document, model);
        statement = PrintStatement();
        pending = false;
    };

    while (!input.empty()) {
        const std::uint8_t op = input.byte();
        switch (op & 3) {
        case 0:
            statement.add(takeText(input), separatorOf(op));
            pending = true;
            break;
        case 1:
            statement.add(input.value<std::int16_t>(), separatorOf(op));
            pending = true;
            break;
        case 2:
            statement.add(reports::MoveToColumn{input.value<std::int16_t>()}, separatorOf(op));
            pending = true;
            break;
        default:
            flush();
            if ((op & 0x10) != 0 && !mark) {
                mark = document.mark();
                atMark = document;
            }
            if ((op & 0x20) != 0) {
                const QString name = takeText(input);
                const QString type = takeText(input);
                const auto yachtSize = input.value<std::int16_t>();
                const QString hours = takeText(input);
                const QString charge = takeText(input);
                statement = reports::charterLine(name, type, yachtSize, hours, charge);
                flush();
                checkCharterLine(document, hours, charge);
            }
            break;
        }
    }
    if (pending)
        flush();
    for (const int columns : {12, 48})
        checkFolding(document, columns);

    if (mark) {
        PrintDocument rolledBack = document;
        rolledBack.rollBack(*mark);
        FUZZ_CHECK(sameLines(rolledBack, atMark), "rolling back did not restore the document at the mark");
        // It goes on as the document at the mark would, open line and all.
        const PrintStatement next = PrintStatement().text(QStringLiteral("next")).moveTo(3).text(QStringLiteral("x"));
        rolledBack.print(next);
        atMark.print(next);
        FUZZ_CHECK(sameLines(rolledBack, atMark), "the rolled-back document goes on differently");
    }
    return 0;
}
