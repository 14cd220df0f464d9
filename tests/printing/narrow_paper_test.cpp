// SPDX-License-Identifier: MIT
// Paper narrower than a charter line at 10 points (a receipt roll, A5, an
// envelope, an address label), rendered into PDF files and read back with
// pdftotext: every field of every charter and of the summary stands whole
// on one row within the page, a charter's fields in their order, and no
// record's rows mix with another's.
#include "pdf_words.h"

#include "core/reports/layouts.h"
#include "printing/pdf_file_sender.h"

#include <gtest/gtest.h>

#include <QSizeF>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

namespace {

QString qs(const char *text) { return QString::fromUtf8(text); }

struct Paper {
    const char *name;
    QSizeF millimetres;
    std::optional<QMarginsF> printerEdges;
    int mostRowsOfACharter;
};

void PrintTo(const Paper &paper, std::ostream *out) { *out << paper.name; }

struct Charter {
    QString name, type;
    std::int16_t size;
    QString hours, charge;
};

const std::vector<Charter> kCharters = {
    {qs("Jones"), qs("Hobie"), 24, qs("2.5"), qs("$342.50")},
    {qs("Ørsted"), qs("Hans Christian"), 45, qs("100.0"), qs("$55,000.00")},
    {qs("山田太郎"), qs("C & C"), 22, qs("4.0"), qs("$380.00")},
    {qs("Lee"), qs("WaveLength"), 32767, qs("10,000.0"), qs("$6,553,400.00")},
};
const QString kAverage = qs("Average Hours Chartered: 2,526.6");
const QString kRevenue = qs("Total Revenue: $6,609,122.50");

// A row of words as read back: where it is and its words, left to right.
struct ReadRow {
    int page;
    double top;
    std::vector<testing_pdf::Word> words;
    QString text() const
    {
        QStringList all;
        for (const auto &word : words)
            all << word.text;
        return all.join(QLatin1Char(' '));
    }
};

std::vector<ReadRow> rowsOf(const std::vector<testing_pdf::Page> &pages)
{
    std::vector<ReadRow> rows;
    for (std::size_t p = 0; p < pages.size(); ++p) {
        std::vector<testing_pdf::Word> words = pages[p].words;
        std::sort(words.begin(), words.end(),
                  [](const auto &a, const auto &b) { return std::tie(a.yMin, a.xMin) < std::tie(b.yMin, b.xMin); });
        for (const auto &word : words) {
            if (rows.empty() || rows.back().page != static_cast<int>(p) || word.yMin - rows.back().top > 1)
                rows.push_back({static_cast<int>(p), word.yMin, {}});
            rows.back().words.push_back(word);
        }
    }
    return rows;
}

// The row holding the field whole, from `from` on, or -1.
int rowHolding(const std::vector<ReadRow> &rows, const QString &field, int from)
{
    for (auto r = static_cast<std::size_t>(std::max(from, 0)); r < rows.size(); ++r)
        if ((QLatin1Char(' ') + rows[r].text() + QLatin1Char(' ')).contains(QLatin1Char(' ') + field + QLatin1Char(' ')))
            return static_cast<int>(r);
    return -1;
}

class NarrowPaper : public testing::TestWithParam<Paper> {};

TEST_P(NarrowPaper, EveryFieldStandsWholeOnOneRowWithinThePage)
{
    const Paper &paper = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("narrow.pdf"));
    reports::PrintDocument document;
    for (const Charter &c : kCharters)
        document.print(reports::charterLine(c.name, c.type, c.size, c.hours, c.charge));
    for (const auto &statement : reports::summary(kAverage.section(QLatin1Char(' '), -1),
                                                  kRevenue.section(QLatin1Char(' '), -1)))
        document.print(statement);
    printing::PdfFileSender(path, QPageSize(paper.millimetres, QPageSize::Millimeter), paper.printerEdges)
        .send(document, qs("narrow"), nullptr);
    const auto pages = testing_pdf::readWords(path);
    ASSERT_FALSE(pages.empty());

    const double edge = 0.7; // points; a printer's unprintable edge is no less
    for (const auto &page : pages) {
        EXPECT_NEAR(page.width, paper.millimetres.width() * 72 / 25.4, 0.5);
        EXPECT_NEAR(page.height, paper.millimetres.height() * 72 / 25.4, 0.5);
        for (const auto &word : page.words) {
            EXPECT_GE(word.xMin, edge) << word.text.toStdString() << " runs off the left edge";
            EXPECT_LE(word.xMax, page.width - edge) << word.text.toStdString() << " runs off the right edge";
            EXPECT_LE(word.yMax, page.height) << word.text.toStdString() << " runs off the bottom";
        }
    }

    const auto rows = rowsOf(pages);
    QString printed;
    for (const auto &row : rows)
        printed += row.text() + QLatin1Char('\n');
    SCOPED_TRACE(printed.toStdString());
    int row = 0;
    for (const Charter &c : kCharters) {
        // Each field whole on a row, in order, the record's rows together.
        const int first = rowHolding(rows, c.name, row);
        ASSERT_GE(first, 0) << c.name.toStdString();
        row = first;
        for (const QString &field : {c.type, QString::number(c.size), c.hours, c.charge}) {
            const int at = rowHolding(rows, field, row);
            ASSERT_GE(at, 0) << field.toStdString() << " is not whole on a row after " << c.name.toStdString();
            row = at;
        }
        EXPECT_LT(row - first, paper.mostRowsOfACharter) << c.name.toStdString();
    }
    for (const QString &figure : {kAverage, kRevenue})
        EXPECT_GE(rowHolding(rows, figure.section(QLatin1Char(' '), -1), row), 0) << figure.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, NarrowPaper, testing::Values(
    // 72 of 80 mm printable, as thermal receipt printers say
    Paper{"ReceiptRoll80mm", {80, 297}, QMarginsF(3, 0, 3, 0), 2},
    Paper{"A5", {148, 210}, std::nullopt, 1},
    Paper{"Envelope110mm", {110, 220}, std::nullopt, 2},
    // a 28.6 x 88.9 mm address label, as its driver describes it
    Paper{"AddressLabel", {28.58, 88.9}, QMarginsF(0.71, 5.26, 0.71, 5.26), 6}),
    [](const testing::TestParamInfo<Paper> &paper) { return std::string(paper.param.name); });

} // namespace
