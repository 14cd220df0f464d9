// SPDX-License-Identifier: MIT
// Paper narrower than a charter line at 10 points (a receipt roll, A5, an
// envelope, an address label), rendered into PDF files and read back with
// pdftotext: every field of every charter and the summary's figures stand
// whole on one row within the page, a charter's fields in their order, its
// rows together.
#include "pdf_words.h"

#include "core/reports/layouts.h"
#include "printing/page_renderer.h"
#include "printing/pdf_file_sender.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetricsF>
#include <QSizeF>
#include <QTemporaryDir>

#include <optional>

namespace {

QString qs(const char *text) { return QString::fromUtf8(text); }

struct Paper {
    const char *name;
    QSizeF millimetres;
    std::optional<QMarginsF> printerEdges;
    int mostRowsOfACharter;
};

void PrintTo(const Paper &paper, std::ostream *out) { *out << paper.name; }

class NarrowPaper : public testing::TestWithParam<Paper> {};

TEST_P(NarrowPaper, EveryFieldStandsWholeOnOneRowWithinThePage)
{
    const Paper &paper = GetParam();
    const std::vector<QStringList> charters = {
        {qs("Jones"), qs("Hobie"), qs("24"), qs("2.5"), qs("$342.50")},
        {qs("Ørsted"), qs("Hans Christian"), qs("45"), qs("100.0"), qs("$55,000.00")},
        {qs("山田太郎"), qs("C & C"), qs("22"), qs("4.0"), qs("$380.00")},
        {qs("Lee"), qs("WaveLength"), qs("32767"), qs("10,000.0"), qs("$6,553,400.00")}};
    reports::PrintDocument document;
    for (const QStringList &c : charters)
        document.print(reports::charterLine(c[0], c[1], static_cast<std::int16_t>(c[2].toInt()), c[3], c[4]));
    for (const auto &statement : reports::summary(qs("2,526.6"), qs("$6,609,122.50")))
        document.print(statement);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("narrow.pdf"));
    printing::PdfFileSender(path, QPageSize(paper.millimetres, QPageSize::Millimeter), paper.printerEdges)
        .send(document, qs("narrow"), nullptr);

    // The rows read back, in order: words on the same baseline, left to right.
    const auto pages = testing_pdf::readWords(path);
    ASSERT_FALSE(pages.empty());
    QStringList rows;
    for (const auto &page : pages) {
        EXPECT_NEAR(page.width, paper.millimetres.width() * 72 / 25.4, 0.5);
        for (const auto &printed : testing_pdf::rowsOf(page)) {
            rows << QStringLiteral(" ");
            for (const auto &word : printed) {
                EXPECT_GE(word.xMin, 0.7) << word.text.toStdString() << " runs off the left edge";
                EXPECT_LE(word.xMax, page.width - 0.7) << word.text.toStdString() << " runs off the right edge";
                rows.back() += word.text + QLatin1Char(' ');
            }
        }
    }
    SCOPED_TRACE(rows.join(QLatin1Char('\n')).toStdString());
    // The row holding the field whole, from `from` on, or -1.
    const auto rowHolding = [&](const QString &field, qsizetype from) {
        for (qsizetype r = from; r < rows.size(); ++r)
            if (rows[r].contains(QLatin1Char(' ') + field + QLatin1Char(' ')))
                return r;
        return qsizetype{-1};
    };
    qsizetype row = 0;
    for (const QStringList &charter : charters) {
        const qsizetype first = rowHolding(charter[0], row);
        for (const QString &field : charter) {
            row = rowHolding(field, row);
            ASSERT_GE(row, 0) << field.toStdString() << " of " << charter[0].toStdString() << ", whole, in order";
        }
        EXPECT_LT(row - first, paper.mostRowsOfACharter) << charter[0].toStdString();
    }
    for (const char *figure : {"2,526.6", "$6,609,122.50"})
        EXPECT_GE(rowHolding(qs(figure), row), 0) << figure;
}

// The text is in the desktop's own fixed-pitch font, whichever that is;
// SELVARO_TEST_MONOSPACE names the one the test's fontconfig configuration
// makes the desktop's (tests/printing/CMakeLists.txt).
TEST(PrintFont, IsTheDesktopsFixedPitchFont)
{
    const QFont printed = printing::printFont();
    const QFontInfo font(printed);
    // What columns rest on: every ASCII character one advance. (fontconfig
    // does not call Noto Sans Mono monospaced, so neither does QFontInfo.)
    const QFontMetricsF metrics(printed);
    for (char c = ' '; c <= '~'; ++c)
        ASSERT_EQ(metrics.horizontalAdvance(QLatin1Char(c)), metrics.horizontalAdvance(QLatin1Char('0')))
            << font.family().toStdString() << ": '" << c << "'";
    const QString preferred = qEnvironmentVariable("SELVARO_TEST_MONOSPACE");
    if (!preferred.isEmpty()) {
        EXPECT_EQ(font.family(), preferred);
    }
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
