// SPDX-License-Identifier: MIT
#include "pdf_words.h"

#include "printing/page_renderer.h"

#include <QPdfWriter>
#include <QProcess>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace testing_pdf {
namespace {

constexpr double kTolerance = 0.15; // of a column or a row

double attribute(const QXmlStreamReader &xml, const char *name)
{
    return xml.attributes().value(QLatin1String(name)).toDouble();
}

// pdftotext boxes a word from its font's ascent to its descent, and says
// nothing of the baseline between them. In the fonts desktops bring, the
// baseline lies 0.74 (Liberation Mono) to 0.80 (DejaVu, Noto Sans CJK,
// WenQuanYi) of the box's height below its top: taken as 0.78, it is off by
// a twentieth of a row at most, while rows are a whole row apart.
double baselineOf(const Word &word)
{
    return word.yMin + 0.78 * (word.yMax - word.yMin);
}

} // namespace

std::vector<Page> readWords(const QString &pdfPath, QString *error)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdfPath, QStringLiteral("-")});
    if (!tool.waitForFinished(120'000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        if (error)
            *error = QStringLiteral("pdftotext failed: %1 %2")
                         .arg(tool.errorString(), QString::fromUtf8(tool.readAllStandardError()));
        return {};
    }
    std::vector<Page> pages;
    QXmlStreamReader xml(tool.readAllStandardOutput());
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            pages.push_back({attribute(xml, "width"), attribute(xml, "height"), {}});
        } else if (xml.name() == QLatin1String("word") && !pages.empty()) {
            Word word;
            word.xMin = attribute(xml, "xMin");
            word.yMin = attribute(xml, "yMin");
            word.xMax = attribute(xml, "xMax");
            word.yMax = attribute(xml, "yMax");
            word.text = xml.readElementText();
            pages.back().words.push_back(word);
        }
    }
    if (xml.hasError() && error)
        *error = xml.errorString();
    return pages;
}

std::vector<std::vector<Word>> rowsOf(const Page &page)
{
    std::vector<Word> words = page.words;
    std::stable_sort(words.begin(), words.end(),
                     [](const Word &a, const Word &b) { return baselineOf(a) < baselineOf(b); });
    std::vector<std::vector<Word>> rows;
    for (const Word &word : words) {
        const double height = word.yMax - word.yMin;
        if (rows.empty() || baselineOf(word) - baselineOf(rows.back().front()) > 0.4 * height)
            rows.emplace_back();
        rows.back().push_back(word);
    }
    for (auto &row : rows)
        std::stable_sort(row.begin(), row.end(), [](const Word &a, const Word &b) { return a.xMin < b.xMin; });
    return rows;
}

GridInPoints gridOf(QPagedPaintDevice &device)
{
    const printing::PageRenderer renderer(device);
    const double toPoints = 72.0 / device.logicalDpiX();
    const QRectF area = device.pageLayout().paintRect(QPageLayout::Point);
    GridInPoints grid;
    grid.left = area.left();
    grid.top = area.top();
    grid.width = area.width();
    grid.height = area.height();
    grid.advance = renderer.grid().advance * toPoints;
    grid.lineHeight = renderer.grid().lineHeight * toPoints;
    grid.columns = renderer.grid().columns;
    grid.rows = renderer.grid().rows;
    return grid;
}

GridInPoints a4Grid()
{
    QPdfWriter writer(QString{}); // never opened
    printing::preparePage(writer);
    return gridOf(writer);
}

std::vector<PlacedWord> placeWords(const std::vector<Page> &pages, const GridInPoints &grid)
{
    std::vector<PlacedWord> placed;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        for (const Word &word : pages[page].words) {
            const double column = (word.xMin - grid.left) / grid.advance;
            const double row = (word.yMin - grid.top) / grid.lineHeight;
            PlacedWord p;
            p.page = static_cast<int>(page);
            p.row = static_cast<int>(std::lround(row));
            p.column = static_cast<int>(std::lround(column)) + 1;
            p.text = word.text;
            p.onGrid = std::abs(column - std::round(column)) < kTolerance
                       && std::abs(row - std::round(row)) < kTolerance;
            placed.push_back(p);
        }
    }
    // pdftotext gives words in its idea of reading order (blocks of text);
    // the printed order is row by row.
    std::stable_sort(placed.begin(), placed.end(), [](const PlacedWord &a, const PlacedWord &b) {
        return std::tie(a.page, a.row, a.column) < std::tie(b.page, b.row, b.column);
    });
    return placed;
}

std::vector<PlacedWord> expectedWords(const reports::PrintDocument &document, int rows)
{
    std::vector<PlacedWord> words;
    int row = 0;
    for (const auto &line : document.lines()) {
        const QString text = line.plainText();
        for (qsizetype i = 0; i < text.size();) {
            if (text[i] == QLatin1Char(' ')) {
                ++i;
                continue;
            }
            qsizetype end = i;
            while (end < text.size() && text[end] != QLatin1Char(' '))
                ++end;
            words.push_back({row / rows, row % rows, reports::columnWidth(QStringView(text).left(i)) + 1,
                             text.mid(i, end - i), true});
            i = end;
        }
        ++row;
    }
    return words;
}

QString offGrid(const std::vector<PlacedWord> &words)
{
    QString list;
    for (const PlacedWord &word : words)
        if (!word.onGrid)
            list += QStringLiteral("page %1 row %2 column %3 \"%4\"\n")
                        .arg(word.page)
                        .arg(word.row)
                        .arg(word.column)
                        .arg(word.text);
    return list;
}

} // namespace testing_pdf
