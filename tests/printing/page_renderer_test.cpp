// SPDX-License-Identifier: MIT
// The renderer, checked on paper: documents are rendered into PDF files
// through the program's own sender and read back with pdftotext, so every
// word is found at the column and row the document model gave it.
#include "pdf_words.h"

#include "core/platform/errors.h"
#include "printing/pdf_file_sender.h"
#include "printing/print_service.h"
#include "core/reports/layouts.h"
#include "printing/page_renderer.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

using reports::PrintDocument;
using reports::PrintStatement;
using testing_pdf::PlacedWord;

namespace {

QString qs(const char *text) { return QString::fromUtf8(text); }

class PdfOutput : public testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("out.pdf")); }

    // Sends the document through the program's printer service into a PDF
    // and reads it back word by word.
    std::vector<PlacedWord> printAndRead(const PrintDocument &document, int *pages = nullptr)
    {
        printing::PdfFileSender sender(path());
        sender.send(document, QStringLiteral("Selvaro's Yachts"), nullptr);
        QString error;
        const auto read = testing_pdf::readWords(path(), &error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        if (pages)
            *pages = static_cast<int>(read.size());
        const auto placed = testing_pdf::placeWords(read, testing_pdf::a4Grid());
        EXPECT_EQ(testing_pdf::offGrid(placed), QString()) << "words between columns or rows";
        return placed;
    }
};

PrintDocument documentOf(const std::vector<PrintStatement> &statements)
{
    PrintDocument document;
    for (const auto &statement : statements)
        document.print(statement);
    return document;
}

TEST_F(PdfOutput, TheGridFitsACharterLineOnA4)
{
    const auto grid = testing_pdf::a4Grid();
    EXPECT_GE(grid.columns, 74) << "the charge ends in column 74";
    EXPECT_LE(grid.columns, 100);
    EXPECT_GE(grid.rows, 40);
    // as many columns and rows as fit the printable area, and no more
    EXPECT_LE(grid.columns * grid.advance, grid.width + 1e-6);
    EXPECT_GT((grid.columns + 1) * grid.advance, grid.width);
    EXPECT_LE(grid.rows * grid.lineHeight, grid.height + 1e-6);
    EXPECT_GT((grid.rows + 1) * grid.lineHeight, grid.height);
    // 10 point fixed-pitch: an advance near 6 points, a row near 12
    EXPECT_NEAR(grid.advance, 6.0, 0.5);
    EXPECT_NEAR(grid.lineHeight, 12.5, 2.0);
}

TEST_F(PdfOutput, CharterLinesAndSummaryLandOnTheirColumns)
{
    PrintDocument document;
    document.print(reports::charterLine(qs("Jones"), qs("Hobie"), 24, qs("2.5"), qs("$342.50")));
    document.print(reports::charterLine(qs("Abcdefghijklmnopqrstuvwxyz"), qs("Hans Christian 2"), 45, qs("100.0"),
                                        qs("$55,000.00")));
    // two columns a character: the name ends in column 28
    document.print(reports::charterLine(qs("山田太郎山田太郎山田"), qs("Hobie"), 24, qs("2.5"), qs("$342.50")));
    for (const auto &statement : reports::summary(qs("51.3"), qs("$55,342.50")))
        document.print(statement);

    const std::vector<PlacedWord> expected{
        {0, 0, 5, qs("Jones")},      {0, 0, 30, qs("Hobie")},
        {0, 0, 46, qs("24")},        {0, 0, 57, qs("2.5")},
        {0, 0, 68, qs("$342.50")},   {0, 1, 5, qs("Abcdefghijklmnopqrstuvwxyz")},
        {0, 2, 30, qs("Hans")},      {0, 2, 35, qs("Christian")},
        {0, 2, 45, qs("2")},         {0, 3, 46, qs("45")},
        {0, 3, 55, qs("100.0")},     {0, 3, 65, qs("$55,000.00")},
        {0, 4, 5, qs("山田太郎山田太郎山田")}, {0, 4, 30, qs("Hobie")},
        {0, 4, 46, qs("24")},        {0, 4, 57, qs("2.5")},
        {0, 4, 68, qs("$342.50")},
        {0, 6, 15, qs("Average")},   {0, 6, 23, qs("Hours")},
        {0, 6, 29, qs("Chartered:")}, {0, 6, 40, qs("51.3")},
        {0, 7, 15, qs("Total")},     {0, 7, 21, qs("Revenue:")},
        {0, 7, 30, qs("$55,342.50")}};
    EXPECT_EQ(printAndRead(document), expected);
}

TEST_F(PdfOutput, YachtListLandsOnItsColumns)
{
    const auto document = documentOf(reports::yachtList({qs("C & C"), qs("Catalina"), qs("WaveLength")}));
    const std::vector<PlacedWord> expected{{0, 1, 29, qs("Yacht")}, {0, 1, 35, qs("List")},
                                           {0, 3, 15, qs("C")},     {0, 3, 17, qs("&")},
                                           {0, 3, 19, qs("C")},     {0, 4, 15, qs("Catalina")},
                                           {0, 5, 15, qs("WaveLength")}};
    EXPECT_EQ(printAndRead(document), expected);
}

TEST_F(PdfOutput, FullPagesBreakOntoNewOnes)
{
    const auto grid = testing_pdf::a4Grid();
    PrintDocument document;
    const int lines = 2 * grid.rows + 3;
    for (int i = 0; i < lines; ++i)
        document.print(PrintStatement().text(QStringLiteral("Line%1").arg(i)).moveTo(60).text(qs("end")).endLine());

    int pages = 0;
    const auto words = printAndRead(document, &pages);
    EXPECT_EQ(pages, 3);
    EXPECT_EQ(words, testing_pdf::expectedWords(document, grid.rows));
    // the first row of the second page holds the line after the last that fitted
    const PlacedWord firstOnPage2{1, 0, 1, QStringLiteral("Line%1").arg(grid.rows)};
    EXPECT_NE(std::find(words.begin(), words.end(), firstOnPage2), words.end());
}

// A line wider than the page is never cut off: a line of several runs is
// folded between them, a word wider than the page goes on in the next row.
TEST_F(PdfOutput, ALineWiderThanThePageIsFoldedNotCut)
{
    const auto grid = testing_pdf::a4Grid();
    QString longWord;
    for (int i = 0; longWord.size() < 2 * grid.columns + 10; ++i)
        longWord += QString::number(i % 10);
    PrintDocument document;
    document.print(PrintStatement().text(qs("before")).endLine());
    // a run crossing the edge and a run wholly beyond it: both on a row of
    // their own, at their distance from each other
    document.print(PrintStatement()
                       .moveTo(static_cast<std::int16_t>(grid.columns - 2))
                       .text(qs("edgeword"))
                       .moveTo(static_cast<std::int16_t>(grid.columns + 20))
                       .text(qs("beyond"))
                       .endLine());
    document.print(PrintStatement().text(longWord).endLine());
    // exactly as wide as the page: no extra row, even with a blank after it
    document.print(PrintStatement().moveTo(static_cast<std::int16_t>(grid.columns - 1)).integer(7).endLine());
    document.print(PrintStatement().text(qs("after")).endLine());

    const int c = grid.columns;
    const std::vector<PlacedWord> expected{
        {0, 0, 1, qs("before")},          {0, 1, 1, qs("edgeword")},
        {0, 1, 23, qs("beyond")},         {0, 2, 1, longWord.left(c)},
        {0, 3, 1, longWord.mid(c, c)},    {0, 4, 1, longWord.mid(2 * c)},
        {0, 5, c, qs("7")},               {0, 6, 1, qs("after")}};
    EXPECT_EQ(printAndRead(document), expected);
}

TEST_F(PdfOutput, EveryCharacterReachesThePaper)
{
    const QString names = qs("Ærøskøbing Müller-Lüdenscheidt Ñandú Œuvre Ångström Żółć");
    const auto document = documentOf({PrintStatement().moveTo(5).text(names).endLine(),
                                      PrintStatement().text(qs("tab\there")).endLine()});
    const auto words = printAndRead(document);
    QStringList texts;
    for (const auto &word : words)
        texts << word.text;
    EXPECT_EQ(texts.join(QLatin1Char(' ')), names + qs(" tab\uFFFDhere"));
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(words.front().column, 5);
}

// A script the fixed-pitch font lacks comes from another font, here with
// glyphs wider than a column: the run is condensed into the columns it was
// given, so that it ends before the next run starts.
TEST_F(PdfOutput, ARunInAWiderFallbackFontStaysWithinItsColumns)
{
    const QString name = QString(24, QChar(0x10A0)); // Georgian capitals, one column each: 5 to 28
    QPdfWriter probe{QString()};
    printing::preparePage(probe);
    const QFontMetricsF metrics(printing::printFont(), &probe);
    ASSERT_GT(metrics.horizontalAdvance(name), 25 * metrics.horizontalAdvance(QLatin1Char('0')))
        << "no font with wide Georgian glyphs is installed (tools/packages.sh)";

    const auto line = reports::charterLine(name, qs("Hobie"), 24, qs("2.5"), qs("$342.50"));
    const auto words = printAndRead(documentOf({line}));
    const auto pages = testing_pdf::readWords(path());
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_GE(words.size(), 2u);
    EXPECT_EQ(words[0], (PlacedWord{0, 0, 5, name}));
    EXPECT_EQ(words[1], (PlacedWord{0, 0, 30, qs("Hobie")}));
    const auto grid = testing_pdf::a4Grid();
    const double column29 = grid.left + 28 * grid.advance;
    EXPECT_LE(pages[0].words[0].xMax, column29 + 0.02 * grid.advance); // the file rounds to hundredths
    EXPECT_GT(pages[0].words[0].xMax, column29 - grid.advance) << "condensed no more than needed";
}

// Marks stacked on a letter (every combining mark of the basic block) reach
// above and below its row: whatever leaves the row is clipped, so that no
// ink lands on another row.
TEST_F(PdfOutput, StackedMarksStayOnTheirRow)
{
    QString stacked = qs("Z");
    for (char16_t mark = 0x0300; mark < 0x0370; ++mark)
        stacked += QChar(mark);
    printing::PdfFileSender(path()).send(documentOf({PrintStatement(), PrintStatement().moveTo(5).text(stacked).endLine()}),
                                         qs("marks"), nullptr);
    // At 288 dpi, four pixels a point.
    ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("288"), QStringLiteral("-gray"),
                                                            QStringLiteral("-singlefile"), path(), dir.filePath(QStringLiteral("page"))}), 0);
    const QImage page(dir.filePath(QStringLiteral("page.pgm")));
    const auto grid = testing_pdf::a4Grid();
    const double top = 4 * (grid.top + grid.lineHeight), bottom = top + 4 * grid.lineHeight;
    int inked = 0, astray = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 224) {
                ++inked;
                astray += y < top - 2 || y > bottom + 2;
            }
    EXPECT_GT(inked, 0) << "nothing was drawn";
    EXPECT_EQ(astray, 0) << "inked pixels outside the row";
}

TEST_F(PdfOutput, TheTextIsRealTextInAnEmbeddedFont)
{
    printAndRead(documentOf({PrintStatement().text(qs("Searchable")).endLine()}));
    QProcess fonts;
    fonts.start(QStringLiteral("pdffonts"), {path()});
    ASSERT_TRUE(fonts.waitForFinished(30'000));
    ASSERT_EQ(fonts.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(fonts.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3) << "no font at all: the text was drawn as outlines";
    // The columns of pdffonts' table, found from the dashes under its heading.
    const qsizetype embedded = lines[0].indexOf(QLatin1String("emb"));
    ASSERT_GE(embedded, 0);
    for (qsizetype i = 2; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].mid(embedded, 3), QLatin1String("yes")) << lines[i].toStdString();
}

TEST_F(PdfOutput, TheTitleIsTheJobName)
{
    printAndRead(documentOf({PrintStatement()}));
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path()});
    ASSERT_TRUE(info.waitForFinished(30'000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput())
                    .contains(QRegularExpression(QStringLiteral("^Title: +Selvaro's Yachts$"),
                                                 QRegularExpression::MultilineOption)));
}

TEST_F(PdfOutput, AFileThatCannotBeWrittenIsAPrinterError)
{
    printing::PrintService printer(std::make_unique<printing::PdfFileSender>(qs("/nonexistent-folder/out.pdf")));
    printer.print(PrintStatement().text(qs("kept")).endLine());
    const auto outcome = printer.printAndEndDoc(reports::summary(qs("1.0"), qs("$1.00")), qs("charters"));
    EXPECT_FALSE(outcome);
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_EQ(outcome.error->problem(), printing::PrintProblem::CouldNotStart);
    EXPECT_EQ(outcome.error->destination(), qs("/nonexistent-folder/out.pdf"));
    EXPECT_EQ(printer.document().lineCount(), 1u);
}

class Renderer : public testing::Test {
protected:
    QPdfWriter writer{QString()};
    Renderer() { printing::preparePage(writer); }
};

TEST_F(Renderer, PagesCountWholeRows)
{
    const printing::PageRenderer renderer(writer);
    const int rows = renderer.grid().rows;
    PrintDocument document;
    EXPECT_EQ(renderer.pageCount(document), 1);
    for (int i = 0; i < rows; ++i)
        document.print(PrintStatement().text(qs("x")).endLine());
    EXPECT_EQ(renderer.pageCount(document), 1);
    document.print(PrintStatement());
    EXPECT_EQ(renderer.pageCount(document), 2);
    // a wide line on the last row of a page spills onto the next
    PrintDocument wide;
    for (int i = 0; i < rows - 1; ++i)
        wide.print(PrintStatement());
    wide.print(PrintStatement().text(QString(renderer.grid().columns + 1, QLatin1Char('x'))).endLine());
    EXPECT_EQ(renderer.pageCount(wide), 2);
}

TEST_F(Renderer, ProgressIsReportedAfterEveryPage)
{
    QTemporaryDir dir;
    QPdfWriter pdf(dir.filePath(QStringLiteral("progress.pdf")));
    printing::preparePage(pdf);
    const int rows = printing::PageRenderer(pdf).grid().rows;
    PrintDocument document;
    for (int i = 0; i < 2 * rows + 1; ++i)
        document.print(PrintStatement().text(qs("line")).endLine());

    struct Seen final : printing::PrintWatcher {
        std::vector<std::pair<int, int>> pages;
        void pageDone(int done, int all) override { pages.emplace_back(done, all); }
    } seen;
    printing::paintDocument(pdf, document, qs("a test file"), &seen);
    EXPECT_EQ(seen.pages, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
}

} // namespace

namespace {

// A run of address labels (28.6 x 88.9 mm, as their driver describes them),
// each charter folded onto several rows: the page turns between charters,
// never within one, nor between a summary label and its figure. Every word
// of a charter is its own, so the page each lands on tells.
TEST_F(PdfOutput, LabelsTurnBetweenCharters)
{
    PrintDocument document;
    std::vector<QStringList> charters;
    for (int i = 1; i <= 12; ++i) {
        charters.push_back({QStringLiteral("Abernathy%1").arg(i), QStringLiteral("Type%1").arg(i),
                            QString::number(100 + i), QStringLiteral("%1.5").arg(i),
                            QStringLiteral("$%1,575.00").arg(i)});
        const QStringList &c = charters.back();
        document.print(reports::charterLine(c[0], c[1], static_cast<std::int16_t>(c[2].toInt()), c[3], c[4]));
    }
    for (const auto &statement : reports::summary(qs("26.5"), qs("$14,575.00")))
        document.print(statement);
    charters.push_back({qs("Chartered:"), qs("26.5")});
    charters.push_back({qs("Revenue:"), qs("$14,575.00")});
    printing::PdfFileSender(path(), QPageSize(QSizeF(28.58, 88.9), QPageSize::Millimeter),
                            QMarginsF(0.71, 5.26, 0.71, 5.26))
        .send(document, qs("labels"), nullptr);

    std::map<QString, std::size_t> pageOf;
    const auto pages = testing_pdf::readWords(path());
    for (std::size_t page = 0; page < pages.size(); ++page)
        for (const auto &word : pages[page].words)
            pageOf[word.text] = page;
    ASSERT_GE(pages.size(), 3u) << "labels enough to turn pages between";
    for (const QStringList &record : charters) {
        SCOPED_TRACE(record.join(QLatin1Char(' ')).toStdString());
        for (const QString &word : record) {
            ASSERT_TRUE(pageOf.contains(word)) << word.toStdString();
            EXPECT_EQ(pageOf[word], pageOf[record[0]]) << word.toStdString() << " on another label";
        }
    }
}

} // namespace
