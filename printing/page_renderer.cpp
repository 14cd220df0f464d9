// SPDX-License-Identifier: MIT
#include "printing/page_renderer.h"

#include "printing/program_info.h"
#include "core/reports/layouts.h"
#include "core/reports/row_folding.h"
#include "printing/fitted_text.h"
#include "printing/print_error.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>

namespace printing {
namespace {

// The reports' columns without their indent, as narrow paper shows them.
constexpr int kNarrowLayoutColumns = reports::kLayoutLastColumn - reports::kLayoutFirstColumn + 1;

// How many whole cells of `size` fit into `space`; a hair of rounding in the
// device's measures must not cost a cell.
int cellsThatFit(double space, double size)
{
    return std::max(1, static_cast<int>(std::floor(space / size + 1e-9)));
}

double advanceAt(double pointSize, QPagedPaintDevice &device)
{
    return QFontMetricsF(printFont(pointSize), &device).horizontalAdvance(QLatin1Char('0'));
}

// Whether the reports' lines fit `width` device units at 10 points.
bool fitsAtFullSize(double width, QPagedPaintDevice &device)
{
    return cellsThatFit(width, advanceAt(kPrintPointSize, device)) >= reports::kLayoutLastColumn;
}

// The largest size, in steps of a twentieth of a point, at which the
// reports' lines without their indent fit `width`, or the least size.
double narrowPointSize(double width, QPagedPaintDevice &device)
{
    const double exact = kPrintPointSize * width / (kNarrowLayoutColumns * advanceAt(kPrintPointSize, device));
    double size = std::clamp(std::floor(exact * 20) / 20, kLeastPrintPointSize, kPrintPointSize);
    while (size > kLeastPrintPointSize && cellsThatFit(width, advanceAt(size, device)) < kNarrowLayoutColumns)
        size = std::max(kLeastPrintPointSize, size - 0.05);
    return size;
}

// Draws a piece of a line on the row whose baseline is given; its ink stays
// on the row.
void drawAt(QPainter &painter, const PageGrid &grid, double baseline, const reports::RowPiece &piece)
{
    const QRectF cell((piece.column - 1) * grid.advance, baseline - grid.ascent, piece.room * grid.advance,
                      grid.lineHeight);
    // The document's own characters, not a copy of them.
    drawWithin(painter, cell, baseline, QString::fromRawData(piece.text.data(), piece.text.size()),
               piece.width * grid.advance);
}

// Draws a run at its column, leaving out blanks at either end: they put
// nothing on paper, and a job without them is smaller.
void drawRun(QPainter &painter, const PageGrid &grid, int column, double baseline, const PrintRunView &run)
{
    const reports::PrintedPart part = reports::printedPart(run);
    if (part.width > 0)
        drawAt(painter, grid, baseline,
               reports::RowPiece{.column = column + part.column - run.column,
                                 .text = part.text,
                                 .width = part.width,
                                 .room = part.width});
}

} // namespace

QFont printFont(double pointSize)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(pointSize); // points, so the size on paper does not depend on the resolution
    return font;
}

void preparePage(QPagedPaintDevice &device, const QPageSize &pageSize, const std::optional<QMarginsF> &printerEdges)
{
    device.setPageSize(pageSize);
    QPageLayout layout = device.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QMarginsF deviceLeast = layout.minimumMargins();
    const QMarginsF edges = printerEdges.value_or(QMarginsF());
    const auto marginsOf = [&](double least) {
        const auto margin = [least](double a, double b) { return std::max({least, a, b}); };
        return QMarginsF(margin(edges.left(), deviceLeast.left()), margin(edges.top(), deviceLeast.top()),
                         margin(edges.right(), deviceLeast.right()), margin(edges.bottom(), deviceLeast.bottom()));
    };
    QMarginsF margins = marginsOf(kPageMarginMillimetres);
    const double unitsPerMillimetre = device.logicalDpiX() / 25.4;
    const double width = layout.fullRect().width() - margins.left() - margins.right();
    if (!fitsAtFullSize(std::floor(width * unitsPerMillimetre), device))
        margins = marginsOf(printerEdges ? 0.0 : kNarrowPaperMarginMillimetres);
    // A device that refuses keeps margins of its own, which print just as well.
    device.setPageMargins(margins, QPageLayout::Millimeter);
}

QPageSize regionalPaper()
{
    return {QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4};
}

void writePdf(QIODevice &out, const PrintDocument &document, const QString &title, const QPageSize &paper,
              const std::optional<QMarginsF> &printerEdges, const QString &destination, PrintWatcher *watcher)
{
    QPdfWriter writer(&out);
    writer.setTitle(title);
    writer.setCreator(program_info::title() + QLatin1Char(' ') + program_info::version());
    preparePage(writer, paper, printerEdges);
    paintDocument(writer, document, destination, watcher);
}

PageRenderer::PageRenderer(QPagedPaintDevice &device) : m_device(device)
{
    m_narrow = !fitsAtFullSize(device.width(), device);
    m_font = printFont(m_narrow ? narrowPointSize(device.width(), device) : kPrintPointSize);
    const QFontMetricsF metrics(m_font, &device);
    // In a fixed-pitch font every character has this advance.
    m_grid.advance = metrics.horizontalAdvance(QLatin1Char('0'));
    m_grid.lineHeight = metrics.lineSpacing();
    m_grid.ascent = metrics.ascent();
    m_grid.columns = cellsThatFit(device.width(), m_grid.advance);
    m_grid.rows = cellsThatFit(device.height(), m_grid.lineHeight);
}

reports::RowFolding PageRenderer::rowsOf(const PrintDocument &document) const
{
    return {document, m_grid.columns, m_narrow ? reports::kLayoutFirstColumn : 1};
}

int PageRenderer::pageCount(const PrintDocument &document) const
{
    return pageCount(document, rowsOf(document));
}

int PageRenderer::pageCount(const PrintDocument &document, const reports::RowFolding &rows) const
{
    int pages = 1;
    int row = 0;
    for (std::size_t line = 0; line < document.lineCount(); ++line) {
        if (turnsBefore(document, rows, line, row))
            row = m_grid.rows;
        for (int count = rows.rowCount(line); count > 0; --count) {
            if (row == m_grid.rows) {
                ++pages;
                row = 0;
            }
            ++row;
        }
    }
    return pages;
}

bool PageRenderer::turnsBefore(const PrintDocument &document, const reports::RowFolding &rows, std::size_t line,
                               int row) const
{
    if (row == 0 || document.continuesStatement(line))
        return false;
    // A statement of one row that fits turns the page only when it is full.
    const auto last = [&] {
        std::size_t end = line + 1;
        while (end < document.lineCount() && document.continuesStatement(end))
            ++end;
        return end;
    }();
    if (last == line + 1 && rows.fitsAll())
        return false;
    int statementRows = 0;
    for (std::size_t next = line; next < last && statementRows <= m_grid.rows; ++next)
        statementRows += rows.rowCount(next);
    return row + statementRows > m_grid.rows && statementRows <= m_grid.rows;
}

void PageRenderer::render(const PrintDocument &document, QPainter &painter, PrintWatcher *watcher) const
{
    painter.setFont(m_font);
    const reports::RowFolding rows = rowsOf(document);
    const int pages = pageCount(document, rows);
    int page = 1;
    int row = 0; // on the current page
    const auto nextBaseline = [&] {
        if (row == m_grid.rows) {
            if (watcher)
                watcher->pageDone(page, pages);
            if (!m_device.newPage())
                throw PrinterError(PrintProblem::CouldNotTurnPage, QString(), QString(), page + 1);
            ++page;
            row = 0;
        }
        return row++ * m_grid.lineHeight + m_grid.ascent;
    };

    for (std::size_t line = 0; line < document.lineCount(); ++line) {
        if (turnsBefore(document, rows, line, row))
            row = m_grid.rows;
        if (rows.fits(line)) {
            const double baseline = nextBaseline();
            for (std::size_t r = document.runsBegin(line); r < document.runsEnd(line); ++r) {
                const PrintRunView run = document.run(r);
                drawRun(painter, m_grid, run.column - rows.offset(), baseline, run);
            }
            continue;
        }
        for (const reports::Row &folded : rows.rows(line)) {
            const double baseline = nextBaseline();
            for (const reports::RowPiece &piece : folded)
                drawAt(painter, m_grid, baseline, piece);
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
