// SPDX-License-Identifier: MIT
#include "printing/page_renderer.h"

#include "printing/fitted_text.h"
#include "printing/print_error.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace printing {
namespace {

// The last column of a run holding something other than a blank, or 0.
int lastPrintedColumn(int column, QStringView text)
{
    qsizetype length = text.size();
    while (length > 0 && text[length - 1] == QLatin1Char(' '))
        --length;
    return length > 0 ? column + static_cast<int>(length) - 1 : 0;
}

// The last column of a line holding something other than a blank (0 for an
// empty line): trailing blanks, such as the one after a number, never push a
// line into an extra row.
int lastPrintedColumn(const PrintDocument &document, std::size_t line)
{
    for (std::size_t r = document.runsEnd(line); r-- > document.runsBegin(line);) {
        const PrintRunView run = document.run(r);
        if (const int last = lastPrintedColumn(run.column, run.text))
            return last;
    }
    return 0;
}

// How many whole cells of `size` fit into `space`; a hair of rounding in the
// device's measures must not cost a cell.
int cellsThatFit(double space, double size)
{
    return std::max(1, static_cast<int>(std::floor(space / size + 1e-9)));
}

// Draws the text starting at a column, leaving out blanks at either end:
// they put nothing on paper, and a job without them is smaller.
void drawAt(QPainter &painter, const PageGrid &grid, int column, double baseline, QStringView text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text[first] == QLatin1Char(' '))
        ++first;
    while (end > first && text[end - 1] == QLatin1Char(' '))
        --end;
    if (first == end)
        return;
    const QPointF origin((column - 1 + static_cast<int>(first)) * grid.advance, baseline);
    const double room = static_cast<double>(end - first) * grid.advance;
    // The document's own characters, not a copy of them.
    drawWithin(painter, origin, QString::fromRawData(text.data() + first, end - first), room);
}

} // namespace

QFont printFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(10); // points, so the size on paper does not depend on the resolution
    return font;
}

void preparePage(QPagedPaintDevice &device, const QPageSize &pageSize, const QMarginsF &least)
{
    device.setPageSize(pageSize);
    QPageLayout layout = device.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QMarginsF deviceLeast = layout.minimumMargins();
    const auto margin = [](double a, double b) { return std::max({kPageMarginMillimetres, a, b}); };
    const QMarginsF margins(margin(least.left(), deviceLeast.left()), margin(least.top(), deviceLeast.top()),
                            margin(least.right(), deviceLeast.right()),
                            margin(least.bottom(), deviceLeast.bottom()));
    // A device that refuses keeps margins of its own, which print just as well.
    device.setPageMargins(margins, QPageLayout::Millimeter);
}

PageRenderer::PageRenderer(QPagedPaintDevice &device) : m_device(device), m_font(printFont())
{
    const QFontMetricsF metrics(m_font, &device);
    // In a fixed-pitch font every character has this advance.
    m_grid.advance = metrics.horizontalAdvance(QLatin1Char('0'));
    m_grid.lineHeight = metrics.lineSpacing();
    m_grid.ascent = metrics.ascent();
    m_grid.columns = cellsThatFit(device.width(), m_grid.advance);
    m_grid.rows = cellsThatFit(device.height(), m_grid.lineHeight);
}

int PageRenderer::rowsFor(int lastColumn) const
{
    return lastColumn <= 0 ? 1 : (lastColumn - 1) / m_grid.columns + 1;
}

int PageRenderer::rowCount(const PrintLine &line) const
{
    int last = 0;
    for (const PrintRun &run : line.runs)
        last = std::max(last, lastPrintedColumn(run.column, run.text));
    return rowsFor(last);
}

int PageRenderer::pageCount(const PrintDocument &document) const
{
    long long rows = 0;
    for (std::size_t line = 0; line < document.lineCount(); ++line)
        rows += rowsFor(lastPrintedColumn(document, line));
    return std::max(1, static_cast<int>((rows + m_grid.rows - 1) / m_grid.rows));
}

void PageRenderer::render(const PrintDocument &document, QPainter &painter, PrintWatcher *watcher) const
{
    painter.setFont(m_font);
    const int pages = pageCount(document);
    int page = 1;
    int row = 0; // on the current page

    for (std::size_t line = 0; line < document.lineCount(); ++line) {
        const int lineRows = rowsFor(lastPrintedColumn(document, line));
        const std::size_t runsEnd = document.runsEnd(line);
        for (int part = 0; part < lineRows; ++part) {
            if (row == m_grid.rows) {
                if (watcher)
                    watcher->pageDone(page, pages);
                if (!m_device.newPage())
                    throw PrinterError(PrintProblem::CouldNotTurnPage, QString(), QString(), page + 1);
                ++page;
                row = 0;
            }
            const double baseline = row * m_grid.lineHeight + m_grid.ascent;
            if (lineRows == 1) {
                for (std::size_t r = document.runsBegin(line); r < runsEnd; ++r) {
                    const PrintRunView run = document.run(r);
                    drawAt(painter, m_grid, run.column, baseline, run.text);
                }
            } else {
                // This row shows the line's columns first..last; each run
                // contributes whatever part of it falls in between.
                const int first = part * m_grid.columns + 1;
                const int last = first + m_grid.columns - 1;
                for (std::size_t r = document.runsBegin(line); r < runsEnd; ++r) {
                    const PrintRunView run = document.run(r);
                    const int from = std::max(run.column, first);
                    const int to = std::min(run.endColumn() - 1, last);
                    if (from > to)
                        continue;
                    drawAt(painter, m_grid, from - first + 1, baseline, run.text.mid(from - run.column, to - from + 1));
                }
            }
            ++row;
        }
    }
    if (watcher)
        watcher->pageDone(pages, pages);
}

void paintDocument(QPagedPaintDevice &device, const PrintDocument &document, const QString &destination,
                   PrintWatcher *watcher)
{
    QPainter painter;
    if (!painter.begin(&device))
        throw PrinterError(PrintProblem::CouldNotStart, destination);
    try {
        PageRenderer(device).render(document, painter, watcher);
    } catch (...) {
        painter.end();
        throw;
    }
    if (!painter.end())
        throw PrinterError(PrintProblem::CouldNotFinish, destination);
}

} // namespace printing
