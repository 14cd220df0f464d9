// SPDX-License-Identifier: MIT
#pragma once

#include "core/reports/print_document.h"
#include "printing/print_service.h"

#include <QFont>
#include <QMarginsF>
#include <QPageSize>
#include <QString>

class QPagedPaintDevice;
class QPainter;

// Puts a PrintDocument on paper. The document model knows only columns and
// lines; this is the one place that knows fonts, pages and device units. The
// program's printer and the tests' PDF files go through the same code.
namespace printing {

using reports::PrintDocument;
using reports::PrintLine;
using reports::PrintRun;
using reports::PrintRunView;

// Every document is printed in the system's fixed-pitch font at 10 point, so
// that a column is one character advance and columns line up on paper.
QFont printFont();

// The margin asked of every page, never less than the device can print.
inline constexpr double kPageMarginMillimetres = 15.0;

// Sets the device's paper and margins for printing a document: the program's
// margins, or more where the printer cannot print (`least`, millimetres).
// Call before painting.
void preparePage(QPagedPaintDevice &device, const QPageSize &pageSize = QPageSize(QPageSize::A4),
                 const QMarginsF &least = QMarginsF());

// The character grid of one page, in the device's units.
struct PageGrid {
    double advance = 0;    // width of one column
    double lineHeight = 0; // from one row to the next
    double ascent = 0;     // from the top of a row to its baseline
    int columns = 1;       // columns across the printable width
    int rows = 1;          // rows down the printable height
};

class PageRenderer {
public:
    // Measures the grid on the device as it is set up now.
    explicit PageRenderer(QPagedPaintDevice &device);

    const PageGrid &grid() const { return m_grid; }
    const QFont &font() const { return m_font; }

    // Rows a line takes: one, or more when it is wider than the page, since a
    // wide line goes on in the next row instead of being cut off.
    int rowCount(const PrintLine &line) const;
    int pageCount(const PrintDocument &document) const;

    // Paints the document with a painter already active on the device,
    // starting a new page whenever one is full. Column c of a row starts
    // (c - 1) advances right of the left margin. Throws PrinterError when the
    // device cannot start a new page.
    void render(const PrintDocument &document, QPainter &painter, PrintWatcher *watcher = nullptr) const;

private:
    int rowsFor(int lastPrintedColumn) const;

    QPagedPaintDevice &m_device;
    QFont m_font;
    PageGrid m_grid;
};

// Paints the whole document onto the device as one job: begins, renders and
// ends. `destination` names the device in its errors. Throws PrinterError
// when the device does not start, cannot turn a page or does not finish.
void paintDocument(QPagedPaintDevice &device, const PrintDocument &document, const QString &destination,
                   PrintWatcher *watcher = nullptr);

} // namespace printing
